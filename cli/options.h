#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace lumivex::cli {

/// A bad input or a failed write: the converter prints the message as its one line of
/// complaint and stops with exit status 2.
struct Failure
{
    QString message;
};

enum class Mode { Mono, Color, Field };

/// What the command line asks for, checked for ranges and combinations but not yet for files.
struct Options
{
    bool help = false;
    Mode mode = Mode::Mono;
    QString design;
    QString output;
    QString field;        ///< --field: a complete field picture
    QString fieldSource;  ///< --field-source: a small picture tiled into the field
    int kurikaesi = 70;
    int rittaido = 20;
    int mitudo = 30;
    std::optional<std::uint64_t> seed;  ///< none: seed from the clock
};

/// Parses the arguments (without the program name). Accepts "--opt value" and "--opt=value";
/// "--" ends the options. Throws Failure for anything it cannot make sense of.
Options parseOptions(const QStringList &arguments);

/// The text --help prints.
QString usageText();

} // namespace lumivex::cli
