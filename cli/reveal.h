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

/// Reads the stereogram at path as the reveal takes it (at most kMaxDesignWidth wide). Throws
/// Failure.
engine::PackedImage readStereogram(const QString &path);

/// The depth the stereogram shows, as --reveal finds it (at --repeat when given); a stereogram
/// that shows none is refused, naming options.design. Throws Failure.
engine::Reveal revealOf(const Options &options, const engine::PackedImage &stereogram);

/// The line --reveal tells on standard error: the repeat width the depth was read at, and a
/// warning where the picture did not show it clearly.
QString readAt(const Options &options, const engine::Reveal &reveal);

} // namespace lumivex::cli
