#pragma once

#include "options.h"

namespace lumivex::cli {

/// Refuses an output that would destroy an input or replace what is not a picture file, before
/// any work is done: an output that is the design, the field or the field source picture
/// (the same file under any spelling, through a symbolic link or a hard link), an existing
/// output that is not a regular file (a folder, a pipe, a device), and one whose folder does
/// not exist. Throws Failure.
void checkOutput(const Options &options);

} // namespace lumivex::cli
