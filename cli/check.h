#pragma once

#include "options.h"

#include "engine/stereocheck.h"

namespace lumivex::cli {

/// The report --check prints: the figures of the check, one a line, and a line for each warning.
QString checkReport(const engine::StereoCheck &check, const Options &options);

/// Reads the design as the conversion would read it and prints the report of the picture it
/// would make on standard output. Settings the conversion refuses are refused here as well, and
/// the report is not printed. Throws Failure.
void printCheck(const Options &given);

} // namespace lumivex::cli
