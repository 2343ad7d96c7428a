#pragma once

#include <QString>

namespace lumivex::cli {

/// Prints "lumivex-convert: " and the message as one line (line breaks in paths and reader
/// messages become blanks) on standard error. Safe from any thread; a progress
/// line on the terminal is cleared first.
void complain(QString message);

/// Whether standard error is a terminal.
bool reportsToTerminal();

/// Shows a progress line on a terminal, each call rewriting the one before; on anything else
/// nothing is shown, so that logs and pipes get only the complaints.
void showProgress(const QString &text);

/// Ends the progress line with a line break, when one is shown.
void endProgress();

} // namespace lumivex::cli
