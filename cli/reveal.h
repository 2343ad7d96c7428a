#pragma once

#include "options.h"

#include "engine/reveal.h"

namespace lumivex::cli {

/// --repeat with --reveal is at least this.
inline constexpr int kMinRevealRepeat = engine::kMinRevealRepeat;

/// Reads the stereogram options.design names, finds the depth it shows and writes it to
/// options.output as an 8-bit grey picture (PNG when the name ends in ".png", otherwise BMP),
/// which appears only when everything succeeded. A depth that is one flat depth is written
/// and told in one line on standard error. Refuses an output that is the stereogram itself,
/// and every other output checkOutput refuses. Throws Failure.
void revealAndSave(const Options &options);

} // namespace lumivex::cli
