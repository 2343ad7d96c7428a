#pragma once

#include "options.h"

namespace lumivex::cli {

/// Converts every design of options.designs into options.outDir, as
/// outDir/<the design's name without its extension>.<options.format>, running as many
/// conversions at once as there are cores. Each run is the single conversion of that design with
/// the same options, so with a seed each picture equals its single run. A design that fails is
/// named in one line on standard error and the others are still made. Returns the exit status:
/// 2 when any design failed, 0 otherwise.
///
/// Throws Failure, before anything is made, when the folder does not exist or when two designs
/// would be written to the same output.
int runBatch(const Options &options);

} // namespace lumivex::cli
