#pragma once

#include <QString>

namespace lumivex::cli {

/// Sends what libraries write straight to the standard error descriptor (libpng prints its
/// errors there itself) to /dev/null, so that a failure gives the converter's own line and no
/// other. The converter's lines keep going to the original standard error.
void divertLibraryOutput();

/// Prints "lumivex-convert: " and the message as one line (line breaks in paths and reader
/// messages become blanks) on the original standard error. Safe from any thread; a progress
/// line on the terminal is cleared first.
void complain(QString message);

/// Whether the original standard error is a terminal.
bool reportsToTerminal();

/// Shows a progress line on a terminal, each call rewriting the one before; on anything else
/// nothing is shown, so that logs and pipes get only the complaints.
void showProgress(const QString &text);

/// Ends the progress line with a line break, when one is shown.
void endProgress();

} // namespace lumivex::cli
