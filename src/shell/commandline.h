#pragma once

#include <QString>
#include <QStringList>

namespace lumivex::shell {

/// What the program was started with: "lumivex [--help | --version] [FILE]". A file ending in
/// ".lvd" is a project, any other file a design picture (as a file manager or the desktop entry
/// hands them over).
struct CommandLine
{
    bool help = false;
    bool version = false;
    QString file;      ///< empty: none given
    QString problem;   ///< an option the program does not know, for the terminal

    bool fileIsProject() const;
};

/// Reads the arguments, without the program's name. "--" ends the options; of several files the
/// first is taken.
CommandLine parseCommandLine(const QStringList &arguments);

/// The text --help prints.
QString commandLineUsage();
/// The text --version prints.
QString commandLineVersion();

} // namespace lumivex::shell
