#pragma once

#include "options.h"

#include "engine/stereoviews.h"

namespace lumivex::cli {

/// --disparity is at most this many pixels.
inline constexpr int kMaxViewDisparity = 1000;
/// --views is at most this.
inline constexpr int kMaxWiggleViews = 16;
/// How long a wiggle picture shows each view.
inline constexpr int kWiggleDelayMs = engine::kWiggleDelayMs;

/// Makes the stereo pair that options.design shows, put together as options.view asks, and
/// writes it to options.output (PNG or BMP by its name; it appears only when complete). The
/// design's depth at its depth strength, with random grey dots as its surface (seeded by
/// --seed); with --reveal, the depth the stereogram shows, with its own pixels as the surface.
/// Throws Failure.
void viewAndSave(const Options &options);

} // namespace lumivex::cli
