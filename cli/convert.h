#pragma once

#include "options.h"

#include "engine/packedcolour.h"

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

} // namespace lumivex::cli
