#pragma once

#include "engine/packedimage.h"

#include <QString>

#include <vector>

class QIODevice;

namespace lumivex::picture {

/// Writes frames of one size as an animated PNG (APNG: 8-bit RGB, every frame whole, shown
/// `delayMs` milliseconds each, looping for ever). A viewer that knows no animation shows the
/// first frame. False on failure, with the reason in *error when given.
bool writeAnimatedPng(QIODevice &device, const std::vector<engine::PackedImage> &frames, int delayMs,
                      QString *error = nullptr);

} // namespace lumivex::picture
