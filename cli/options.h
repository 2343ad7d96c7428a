#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace lumivex::cli {

/// A bad input or a failed write: the converter prints the message as its one line of
/// complaint and stops with exit status 2 (in a batch: that design is not made).
struct Failure
{
    QString message;
};

/// A name or value as the converter's messages quote it.
inline QString quoted(const QString &text)
{
    return u'\'' + text + u'\'';
}

/// Ends the work at hand with the converter's one line (Failure is caught where the run began).
[[noreturn]] inline void fail(const QString &message)
{
    throw Failure{message};
}

enum class Mode { Mono, Color, Field };

/// How the design picture gives depth: painted in the sixteen depth colours, or as a grey depth
/// map (black far, white near) read as smooth depth, or with --levels 16 cut into the sixteen
/// levels.
enum class DepthSource { Colours, Grey };

/// What the command line asks for, checked for ranges and combinations but not yet for files.
struct Options
{
    bool help = false;
    bool version = false;
    bool reveal = false;  ///< --reveal: design names a stereogram, output gets its depth
    bool guides = false;  ///< --guides: the guide band above the stereo picture
    bool invert = false;  ///< --invert: near becomes far, as the design's rows are read
    bool check = false;   ///< --check: the report of the picture on standard output
    double viewMm = 400;  ///< --view-mm: the viewing distance the check works the depth step at
    Mode mode = Mode::Mono;
    DepthSource depth = DepthSource::Colours;
    bool depthGiven = false;  ///< --depth was given; without it a grey depth map is found as such
    QString design;
    QString output;       ///< empty only with --check: no picture is written
    QStringList designs;  ///< a batch: every design, converted into outDir
    QString outDir;       ///< --out-dir: empty for a single conversion
    QString format = QStringLiteral("png"); ///< --format of a batch's pictures: "png" or "bmp"
    QString field;        ///< --field: a complete field picture
    QString fieldSource;  ///< --field-source: a small picture tiled into the field
    int kurikaesi = 70;
    bool kurikaesiGiven = false;  ///< --kurikaesi (--repeat) was given, not defaulted
    int rittaido = 20;
    int mitudo = 30;
    std::optional<std::uint64_t> seed;  ///< none: seed from the clock
    bool levels16 = false;  ///< --levels 16: a grey map cut into the sixteen levels, as painted
    int oversample = 4;     ///< smooth depth: each row built at this many times its width
    bool startCentre = false; ///< smooth depth: rows built outward from the middle
    int dpi = 96;           ///< the resolution written into the output
    bool dpiGiven = false;  ///< --dpi was given: the check gives sizes on paper
    std::optional<double> repeatMm; ///< --repeat-mm: the repeat width in millimetres at dpi
    bool rittaidoGiven = false;     ///< --rittaido (--strength) was given, not defaulted
    std::optional<double> scale;    ///< --scale: the design resampled by this factor
    int width = 0;                  ///< --width: the design resampled to this width; 0: none
    /// --view: the stereo pair of the design or stereogram instead of a conversion: "anaglyph",
    /// "half-colour", "parallel", "cross", "above-below" or "wiggle"; empty: none.
    QString view;
    std::optional<double> disparity; ///< --disparity: the views' largest disparity in pixels
    int views = 2;                   ///< --views: the views a wiggle picture shows

    /// Whether the design is read as smooth depth (a grey map not cut into levels).
    bool smooth() const { return depth == DepthSource::Grey && !levels16; }

    bool isBatch() const { return !outDir.isEmpty(); }
};

/// Parses the arguments (without the program name). Accepts "--opt value" and "--opt=value";
/// "--" ends the options. Throws Failure for anything it cannot make sense of, including an
/// output whose name ends in neither ".png" nor ".bmp".
Options parseOptions(const QStringList &arguments);

/// The text --help prints.
QString usageText();

/// The text --version prints.
QString versionText();

} // namespace lumivex::cli
