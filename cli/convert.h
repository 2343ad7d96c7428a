#pragma once

#include "options.h"

#include "engine/packedcolour.h"

#include <QSize>

namespace lumivex::cli {

/// The converter takes design and field pictures as wide as the engine's runs (the window
/// keeps to its narrower pictures).
inline constexpr int kMaxDesignWidth = engine::kMaxRunWidth;

/// --dpi is at most this.
inline constexpr int kMaxDpi = 10000;
/// The widest repeat --reveal is told of: half the widest picture the converter reads.
inline constexpr int kMaxRevealRepeatOption = kMaxDesignWidth / 2;

/// A field source picture is at most this many pixels wide, as in the colour-field wizard.
inline constexpr int kMaxFieldSourceWidth = 200;

/// Reads the pictures the options name, makes the stereo picture that a new document window
/// holds after one complete run, and writes it to options.output (PNG when the name ends in
/// ".png", otherwise BMP; the options refuse other names). The output appears only when
/// everything succeeded: it is written under a temporary name in its folder and renamed at the
/// end. Throws Failure.
void convertAndSave(const Options &options);

class DesignRows;

/// The options a conversion of the design takes: a grey depth map found as such read as smooth
/// depth (said on standard error when `tell`), a repeat width in millimetres in pixels with its
/// strength, a tiled field's repeat width; for a colour field, `fieldSize` (when given) gets the
/// field's size, the picture's. Throws Failure.
Options conversionOptions(const Options &given, const DesignRows &design, bool tell, QSize *fieldSize = nullptr);

/// Refuses, as a conversion does, settings whose nearest depth present (a level, or a smooth
/// depth for smooth options) is shifted as far as the repeat width. Throws Failure.
void checkDepthReach(const Options &options, int nearest);

} // namespace lumivex::cli
