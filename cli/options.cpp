#include "options.h"

#include "convert.h"
#include "reveal.h"
#include "views.h"

#include <QHash>

#include <array>
#include <limits>

namespace lumivex::cli {

namespace {

struct OptionSpec
{
    QLatin1StringView name;
    QLatin1StringView canonical; ///< the option this one spells differently
    bool takesValue;
};

// The English names beside the romanised ones are the same options under another spelling.
constexpr std::array<OptionSpec, 30> kOptions = {{
    {QLatin1StringView("help"), QLatin1StringView("help"), false},
    {QLatin1StringView("version"), QLatin1StringView("version"), false},
    {QLatin1StringView("reveal"), QLatin1StringView("reveal"), false},
    {QLatin1StringView("guides"), QLatin1StringView("guides"), false},
    {QLatin1StringView("invert"), QLatin1StringView("invert"), false},
    {QLatin1StringView("check"), QLatin1StringView("check"), false},
    {QLatin1StringView("view-mm"), QLatin1StringView("view-mm"), true},
    {QLatin1StringView("mode"), QLatin1StringView("mode"), true},
    {QLatin1StringView("depth"), QLatin1StringView("depth"), true},
    {QLatin1StringView("field"), QLatin1StringView("field"), true},
    {QLatin1StringView("field-source"), QLatin1StringView("field-source"), true},
    {QLatin1StringView("kurikaesi"), QLatin1StringView("kurikaesi"), true},
    {QLatin1StringView("repeat"), QLatin1StringView("kurikaesi"), true},
    {QLatin1StringView("rittaido"), QLatin1StringView("rittaido"), true},
    {QLatin1StringView("strength"), QLatin1StringView("rittaido"), true},
    {QLatin1StringView("mitudo"), QLatin1StringView("mitudo"), true},
    {QLatin1StringView("density"), QLatin1StringView("mitudo"), true},
    {QLatin1StringView("seed"), QLatin1StringView("seed"), true},
    {QLatin1StringView("out-dir"), QLatin1StringView("out-dir"), true},
    {QLatin1StringView("format"), QLatin1StringView("format"), true},
    {QLatin1StringView("levels"), QLatin1StringView("levels"), true},
    {QLatin1StringView("oversample"), QLatin1StringView("oversample"), true},
    {QLatin1StringView("start"), QLatin1StringView("start"), true},
    {QLatin1StringView("dpi"), QLatin1StringView("dpi"), true},
    {QLatin1StringView("repeat-mm"), QLatin1StringView("repeat-mm"), true},
    {QLatin1StringView("scale"), QLatin1StringView("scale"), true},
    {QLatin1StringView("width"), QLatin1StringView("width"), true},
    {QLatin1StringView("view"), QLatin1StringView("view"), true},
    {QLatin1StringView("disparity"), QLatin1StringView("disparity"), true},
    {QLatin1StringView("views"), QLatin1StringView("views"), true},
}};

const OptionSpec *findOption(const QString &name)
{
    for (const OptionSpec &known : kOptions) {
        if (known.name == name)
            return &known;
    }
    return nullptr;
}

// Only plain decimal digits: QString's own conversions would also take signs and blanks.
bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

int parseBounded(const QString &option, const QString &text, int low, int high)
{
    bool ok = allDigits(text);
    const qulonglong value = ok ? text.toULongLong(&ok) : 0;
    if (!ok || value < static_cast<qulonglong>(low) || value > static_cast<qulonglong>(high))
        fail(QStringLiteral("--%1 must be a whole number from %2 to %3, not %4")
                 .arg(option).arg(low).arg(high).arg(quoted(text)));
    return static_cast<int>(value);
}

std::uint64_t parseSeed(const QString &text)
{
    bool ok = allDigits(text);
    const qulonglong value = ok ? text.toULongLong(&ok) : 0;
    if (!ok)
        fail(QStringLiteral("--seed must be a whole number from 0 to %1, not %2")
                 .arg(std::numeric_limits<std::uint64_t>::max()).arg(quoted(text)));
    return value;
}

Mode parseMode(const QString &text)
{
    if (text == u"mono")
        return Mode::Mono;
    if (text == u"color")
        return Mode::Color;
    if (text == u"field")
        return Mode::Field;
    fail(QStringLiteral("unknown mode %1 (use mono, color or field)").arg(quoted(text)));
}

DepthSource parseDepth(const QString &text)
{
    if (text == u"colours" || text == u"colors")
        return DepthSource::Colours;
    if (text == u"grey" || text == u"gray")
        return DepthSource::Grey;
    fail(QStringLiteral("unknown depth %1 (use colours or grey)").arg(quoted(text)));
}

// A positive decimal number with digits only before and after one point ("2", "0.5", "25.4"),
// from low to high.
double parseDecimal(const QString &option, const QString &text, double low, double high)
{
    const qsizetype point = text.indexOf(u'.');
    const QString whole = point < 0 ? text : text.left(point), part = point < 0 ? QString() : text.mid(point + 1);
    bool ok = (allDigits(whole) || (whole.isEmpty() && !part.isEmpty())) && (point < 0 || allDigits(part));
    const double value = ok ? text.toDouble(&ok) : 0;
    if (!ok || value < low || value > high)
        fail(QStringLiteral("--%1 must be a number from %2 to %3, not %4").arg(option).arg(low).arg(high).arg(quoted(text)));
    return value;
}

int parseOversample(const QString &text)
{
    if (text == u"1" || text == u"2" || text == u"4" || text == u"8")
        return text.toInt();
    fail(QStringLiteral("--oversample must be 1, 2, 4 or 8, not %1").arg(quoted(text)));
}

bool &flagOf(Options &options, const QString &canonical)
{
    if (canonical == u"help")
        return options.help;
    if (canonical == u"reveal")
        return options.reveal;
    if (canonical == u"guides")
        return options.guides;
    if (canonical == u"invert")
        return options.invert;
    if (canonical == u"check")
        return options.check;
    return options.version;
}

// `name` is the option as typed, so that a complaint names what the user wrote.
void apply(Options &options, const QString &canonical, const QString &name, const QString &value)
{
    if (canonical == u"mode") {
        options.mode = parseMode(value);
    } else if (canonical == u"depth") {
        options.depth = parseDepth(value);
        options.depthGiven = true;
    } else if (canonical == u"field" || canonical == u"field-source") {
        if (value.isEmpty())
            fail(QStringLiteral("--%1 needs a file name").arg(name));
        (canonical == u"field" ? options.field : options.fieldSource) = value;
    } else if (canonical == u"out-dir") {
        if (value.isEmpty())
            fail(QStringLiteral("--out-dir needs a folder name"));
        options.outDir = value;
    } else if (canonical == u"format") {
        if (value != u"png" && value != u"bmp")
            fail(QStringLiteral("unknown format %1 (use png or bmp)").arg(quoted(value)));
        options.format = value;
    } else if (canonical == u"kurikaesi") {
        // The conversions take up to 200 pixels; the reveal reads the wider repeats of
        // print-resolution pictures as well (see checkCombination).
        options.kurikaesi = parseBounded(name, value, 0, kMaxRevealRepeatOption);
        options.kurikaesiGiven = true;
    } else if (canonical == u"rittaido") {
        options.rittaido = parseBounded(name, value, 0, 50);
        options.rittaidoGiven = true;
    } else if (canonical == u"levels") {
        if (value != u"16")
            fail(QStringLiteral("--levels takes only 16 (the sixteen depth levels), not %1").arg(quoted(value)));
        options.levels16 = true;
    } else if (canonical == u"oversample") {
        options.oversample = parseOversample(value);
    } else if (canonical == u"start") {
        if (value != u"left" && value != u"centre" && value != u"center")
            fail(QStringLiteral("unknown start %1 (use left or centre)").arg(quoted(value)));
        options.startCentre = value != u"left";
    } else if (canonical == u"dpi") {
        options.dpi = parseBounded(name, value, 1, kMaxDpi);
        options.dpiGiven = true;
    } else if (canonical == u"view-mm") {
        options.viewMm = parseDecimal(name, value, 100, 10000);
    } else if (canonical == u"repeat-mm") {
        options.repeatMm = parseDecimal(name, value, 0.1, 1000);
    } else if (canonical == u"scale") {
        options.scale = parseDecimal(name, value, 0.01, 100);
    } else if (canonical == u"width") {
        options.width = parseBounded(name, value, 2, kMaxDesignWidth);
    } else if (canonical == u"view") {
        if (value != u"anaglyph" && value != u"half-colour" && value != u"half-color" && value != u"parallel"
            && value != u"cross" && value != u"above-below" && value != u"wiggle")
            fail(QStringLiteral("unknown view %1 (use anaglyph, half-colour, parallel, cross, above-below or wiggle)")
                     .arg(quoted(value)));
        options.view = value;
    } else if (canonical == u"disparity") {
        options.disparity = parseDecimal(name, value, 0, kMaxViewDisparity);
    } else if (canonical == u"views") {
        options.views = parseBounded(name, value, 2, kMaxWiggleViews);
    } else if (canonical == u"mitudo") {
        options.mitudo = parseBounded(name, value, 0, 100);
    } else if (canonical == u"seed") {
        options.seed = parseSeed(value);
    }
}

// The reveal reads a stereogram and writes its depth: the options that make a picture have no
// part in it, and the repeat width, when given, must leave something to compare.
void checkReveal(const Options &options, const QHash<QString, QString> &seen)
{
    for (const char *name : {"mode", "depth", "field", "field-source", "rittaido", "mitudo", "seed", "out-dir", "format",
                             "guides", "levels", "oversample", "start", "dpi", "repeat-mm", "scale", "width",
                             "invert", "check", "view-mm"}) {
        if (seen.contains(QLatin1String(name)))
            fail(QStringLiteral("--%1 is not used with --reveal").arg(seen.value(QLatin1String(name))));
    }
    if (options.kurikaesiGiven && options.kurikaesi < kMinRevealRepeat)
        fail(QStringLiteral("--%1 must be a whole number from %2 to %3 with --reveal, not '%4'")
                 .arg(seen.value(QStringLiteral("kurikaesi")))
                 .arg(kMinRevealRepeat)
                 .arg(kMaxRevealRepeatOption)
                 .arg(options.kurikaesi));
}

// The options of smooth depth, of print sizes and of resampling, each with what it needs.
void checkDepthOptions(const Options &options, const QHash<QString, QString> &seen)
{
    for (const char *name : {"levels", "oversample", "start"}) {
        if (seen.contains(QLatin1String(name)) && options.depth != DepthSource::Grey)
            fail(QStringLiteral("--%1 is only used with --depth grey").arg(QLatin1String(name)));
    }
    for (const char *name : {"oversample", "start"}) {
        if (seen.contains(QLatin1String(name)) && options.levels16)
            fail(QStringLiteral("--%1 is for smooth depth, not --levels 16 (whole pixels from the left)")
                     .arg(QLatin1String(name)));
    }
    if (seen.contains(QStringLiteral("repeat-mm"))) {
        if (!seen.contains(QStringLiteral("dpi")))
            fail(QStringLiteral("--repeat-mm needs --dpi: millimetres become pixels at a resolution"));
        if (seen.contains(QStringLiteral("kurikaesi")))
            fail(QStringLiteral("give either --%1 or --repeat-mm, not both").arg(seen.value(QStringLiteral("kurikaesi"))));
    }
    if (seen.contains(QStringLiteral("scale")) && seen.contains(QStringLiteral("width")))
        fail(QStringLiteral("give either --scale or --width, not both"));
}

// The stereo pair is drawn from the depth alone: the options of the stereo picture's making
// have no part in it. The design's disparity is its depth strength's (the repeat width
// cancels out of it), or the one --disparity gives.
void checkViews(const Options &options, const QHash<QString, QString> &seen)
{
    if (options.view.isEmpty()) {
        if (seen.contains(QStringLiteral("disparity")))
            fail(QStringLiteral("--disparity is only used with --view"));
    }
    if (seen.contains(QStringLiteral("views")) && options.view != u"wiggle")
        fail(QStringLiteral("--views is only used with --view wiggle"));
    if (options.view.isEmpty())
        return;
    if (options.view == u"wiggle" && !options.output.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        fail(QStringLiteral("cannot write %1: a wiggle picture is an animated PNG, and its name must end in .png")
                 .arg(quoted(options.output)));
    for (const char *name : {"mode", "field", "field-source", "mitudo", "guides", "check", "view-mm", "out-dir", "format",
                             "oversample", "start", "dpi", "repeat-mm"}) {
        if (seen.contains(QLatin1String(name)))
            fail(QStringLiteral("--%1 is not used with --view").arg(seen.value(QLatin1String(name))));
    }
    if (!options.reveal && seen.contains(QStringLiteral("kurikaesi")))
        fail(QStringLiteral("--%1 does not change the views of a design: give --strength or --disparity")
                 .arg(seen.value(QStringLiteral("kurikaesi"))));
    if (seen.contains(QStringLiteral("rittaido")) && seen.contains(QStringLiteral("disparity")))
        fail(QStringLiteral("give either --%1 or --disparity, not both").arg(seen.value(QStringLiteral("rittaido"))));
}

// Options that belong to one kind of conversion are refused in the other rather than
// silently ignored: a user who gives them expects them to change the picture.
// `seen` maps each option given to the name it was typed as.
void checkCombination(const Options &options, const QHash<QString, QString> &seen)
{
    checkViews(options, seen);
    if (options.reveal) {
        checkReveal(options, seen);
        return;
    }
    if (options.kurikaesiGiven && options.kurikaesi > 200)
        fail(QStringLiteral("--%1 must be a whole number from 0 to 200, not '%2' (--repeat-mm with --dpi makes wider "
                            "repeats for print)")
                 .arg(seen.value(QStringLiteral("kurikaesi")))
                 .arg(options.kurikaesi));
    const bool hasField = seen.contains(QStringLiteral("field"));
    const bool hasSource = seen.contains(QStringLiteral("field-source"));
    if (options.mode == Mode::Field) {
        if (hasField && hasSource)
            fail(QStringLiteral("give either --field or --field-source, not both"));
        if (!hasField && !hasSource)
            fail(QStringLiteral("--mode field needs --field FILE or --field-source FILE"));
        for (const char *name : {"mitudo", "seed"}) {
            if (seen.contains(QLatin1String(name)))
                fail(QStringLiteral("--%1 is for random dot (--mode mono or color), not --mode field")
                         .arg(seen.value(QLatin1String(name))));
        }
    } else {
        for (const char *name : {"field", "field-source"}) {
            if (seen.contains(QLatin1String(name)))
                fail(QStringLiteral("--%1 is only used with --mode field").arg(QLatin1String(name)));
        }
    }
    checkDepthOptions(options, seen);
    if (options.check && options.isBatch())
        fail(QStringLiteral("--check is not used with --out-dir: check one design at a time"));
    if (seen.contains(QStringLiteral("view-mm")) && !options.check)
        fail(QStringLiteral("--view-mm is only used with --check"));
    if (!options.isBatch() && seen.contains(QStringLiteral("format")))
        fail(QStringLiteral("--format is only used with --out-dir; OUTPUT's name decides its format"));
}

// The format follows the output's name; any other name would get bytes that its extension
// does not describe.
void checkOutputName(const QString &output)
{
    if (!output.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)
        && !output.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
        fail(QStringLiteral("cannot write %1: the output's name must end in .png or .bmp").arg(quoted(output)));
}

void takePositional(Options &options, const QStringList &positional)
{
    if (options.isBatch() && !options.reveal && options.view.isEmpty()) {
        if (positional.isEmpty())
            fail(QStringLiteral("missing DESIGN: --out-dir needs at least one design (see --help)"));
        options.designs = positional;
        return;
    }
    const QString input = options.reveal ? QStringLiteral("STEREOGRAM") : QStringLiteral("DESIGN");
    // A check alone writes no picture.
    if (options.check && !options.reveal && positional.size() == 1) {
        options.design = positional[0];
        return;
    }
    if (positional.size() < 2)
        fail(positional.isEmpty() ? QStringLiteral("missing %1 and OUTPUT (see --help)").arg(input)
                                  : QStringLiteral("missing OUTPUT (see --help)"));
    if (positional.size() > 2)
        fail(options.reveal
                 ? QStringLiteral("unexpected argument %1: give only STEREOGRAM and OUTPUT").arg(quoted(positional[2]))
                 : QStringLiteral("unexpected argument %1: give only DESIGN and OUTPUT, or --out-dir DIR for several designs")
                       .arg(quoted(positional[2])));
    options.design = positional[0];
    options.output = positional[1];
    checkOutputName(options.output);
}

} // namespace

Options parseOptions(const QStringList &arguments)
{
    Options options;
    QStringList positional;
    QHash<QString, QString> seen;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (optionsEnded || arg == u"-" || !arg.startsWith(u'-')) {
            positional << arg;
            continue;
        }
        if (arg == u"--") {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = arg.indexOf(u'=');
        const QString name = arg == u"-h" ? QStringLiteral("help")
                                          : arg.mid(2, equals < 0 ? -1 : equals - 2);
        const OptionSpec *option = arg.startsWith(u"--") || arg == u"-h" ? findOption(name) : nullptr;
        if (!option)
            fail(QStringLiteral("unknown option %1 (see --help)").arg(quoted(arg.left(equals))));
        const QString canonical = option->canonical;
        if (seen.contains(canonical)) {
            const QString earlier = seen.value(canonical);
            fail(earlier == name ? QStringLiteral("--%1 is given more than once").arg(name)
                                 : QStringLiteral("--%1 and --%2 are the same option, given more than once")
                                       .arg(earlier, name));
        }
        seen.insert(canonical, name);
        if (!option->takesValue) {
            if (equals >= 0)
                fail(QStringLiteral("--%1 takes no value").arg(name));
            flagOf(options, canonical) = true;
            continue;
        }
        QString value;
        if (equals >= 0)
            value = arg.mid(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        else
            fail(QStringLiteral("--%1 needs a value").arg(name));
        apply(options, canonical, name, value);
    }
    if (options.help || options.version)
        return options;

    takePositional(options, positional);
    checkCombination(options, seen);
    return options;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: lumivex-convert [options] DESIGN OUTPUT\n"
        "       lumivex-convert [options] --out-dir DIR DESIGN...\n"
        "       lumivex-convert --check [options] DESIGN [OUTPUT]\n"
        "       lumivex-convert --reveal [--repeat N] STEREOGRAM OUTPUT\n"
        "       lumivex-convert --view KIND [options] DESIGN OUTPUT\n"
        "       lumivex-convert --view KIND --reveal [--repeat N] STEREOGRAM OUTPUT\n"
        "Turns a depth picture (DESIGN, at most %1 pixels wide) into an autostereogram,\n"
        "or with --reveal an autostereogram back into its depth (one line on standard error\n"
        "says the repeat width it was read at, and warns when the picture shows it unclearly).\n"
        "OUTPUT is written as PNG when its name ends in .png and as BMP when it ends in .bmp\n"
        "(in any letter case); other names are refused. OUTPUT is never one of the input files.\n"
        "\n"
        "  --mode mono|color|field  random dot in black and white or in colour, or colour\n"
        "                           field (default mono)\n"
        "  --depth colours|grey     how DESIGN gives depth: painted in the sixteen depth\n"
        "                           colours, or a grey depth map, black far and white near,\n"
        "                           as renderers and depth estimators write them, read as\n"
        "                           smooth depth at its full precision (8-bit greys, 16-bit\n"
        "                           PNG greys at 16 bits) without terraces; a colour picture\n"
        "                           is then taken by its brightness 0.299 R + 0.587 G +\n"
        "                           0.114 B (also spelled colors, gray). Without --depth a\n"
        "                           design all of greys, any of them none of the depth\n"
        "                           colours' greys (0, 128, 192, 255), is a grey depth map,\n"
        "                           which one line on standard error says; any other\n"
        "                           design is read in the depth colours\n"
        "  --levels 16              with --depth grey: cut the grey map into the sixteen depth\n"
        "                           levels, as if painted in the depth colours (terraces)\n"
        "  --oversample 1|2|4|8     smooth depth: build each row at this many times its width,\n"
        "                           so that depth moves in fractions of a pixel (default 4;\n"
        "                           1 gives whole pixels); above 1, mono dots stay black and\n"
        "                           white, colour dots and the field are averaged\n"
        "  --start left|centre      smooth depth: build each row from the left edge (default)\n"
        "                           or outward from the middle, which spreads a colour\n"
        "                           field's distortion to both edges (also spelled center)\n"
        "  --invert                 near becomes far: a depth colour's level L becomes 15 - L,\n"
        "                           a grey depth d becomes its maximum less d; for depth maps\n"
        "                           drawn the other way round, and for crossed eyes: viewed\n"
        "                           cross-eyed, a picture made for parallel viewing shows its\n"
        "                           depth inside out; --invert makes it for crossed eyes\n"
        "  --check                  print a report of the picture on standard output; OUTPUT\n"
        "                           may then be left out, and no picture is written: the\n"
        "                           number of distinct depths it can show at its resolution,\n"
        "                           the separations of the farthest and the nearest depth (in\n"
        "                           millimetres too with --dpi), the smallest depth step in\n"
        "                           arcseconds at the viewing distance (eyes 65 mm apart, at\n"
        "                           96 dpi without --dpi), the share of the picture seen by\n"
        "                           one eye only, and a warning when the near separation is\n"
        "                           at most half the far one (double images) or, with --dpi,\n"
        "                           when the repeat on paper is over 60 mm (too wide to view\n"
        "                           parallel) or under 15 mm\n"
        "  --view-mm M              with --check: the viewing distance in millimetres,\n"
        "                           100..10000 (default 400)\n"
        "  --field FILE             field picture for --mode field (at most %1 pixels wide)\n"
        "  --field-source FILE      small picture (at most %2 pixels wide) tiled from the\n"
        "                           top left over the design's area to make the field;\n"
        "                           without --repeat its width is the repeat width\n"
        "  --repeat N, --kurikaesi N\n"
        "                           repeat width in pixels, 0..200 (default 70, or the\n"
        "                           width of the --field-source picture); with --reveal\n"
        "                           8..8192, as print-resolution pictures repeat wider\n"
        "  --strength N, --rittaido N\n"
        "                           depth strength, 0..50, applied divided by 10 (default 20);\n"
        "                           a strength whose nearest depth's shift reaches the repeat\n"
        "                           width is refused, naming the largest usable strength and\n"
        "                           the smallest usable repeat width for the whole design\n"
        "  --density N, --mitudo N  dot density in percent, 0..100, random dot only (default 30)\n"
        "  --dpi N                  the resolution written into OUTPUT (PNG pHYs, BMP pixels\n"
        "                           per metre), so that it prints at its intended size:\n"
        "                           1..%3 dots per inch (default 96, as the window shows it)\n"
        "  --repeat-mm M            with --dpi: the repeat width in millimetres on paper,\n"
        "                           round(M / 25.4 × dpi) pixels, which may pass 200 up to\n"
        "                           half the design's width (about 30 mm suits most eyes;\n"
        "                           over 60 cannot be free-viewed). Unless --strength is\n"
        "                           given, the strength grows with it as 20 × pixels / 70\n"
        "                           (the default strength at the default repeat width), so\n"
        "                           that the depth looks the same at any resolution\n"
        "  --scale F                resample DESIGN by F (0.01..100) before converting:\n"
        "                           nearest for the depth colours, bilinear for grey maps\n"
        "  --width W                resample DESIGN to W pixels wide, its height in\n"
        "                           proportion (not with --scale)\n"
        "  --seed N                 random dot only: the same seed gives the same picture;\n"
        "                           without it the clock seeds the dots\n"
        "  --out-dir DIR            convert every DESIGN, in parallel, into the existing folder\n"
        "                           DIR, each as DIR/<its name without extension>.png; two\n"
        "                           designs of the same name are refused. A design that fails\n"
        "                           is named on standard error and the others are still made.\n"
        "                           On a terminal the count is shown as it goes and ends\n"
        "                           as one line: \"6 of 7 written; 1 failed\"\n"
        "  --format png|bmp         the pictures --out-dir writes (default png)\n"
        "  --guides                 add a white band above the picture (a twentieth of its\n"
        "                           height, at least 16 pixels) with two dark dots, centred\n"
        "                           and one repeat width apart centre to centre: look through\n"
        "                           the picture until the two dots become three\n"
        "  --reveal                 write the depth that STEREOGRAM shows as a grey picture,\n"
        "                           black far and white near: up to sixteen depths one grey\n"
        "                           each, evenly spaced (sixteen depths give the greys that\n"
        "                           --depth grey reads back as the same levels); smooth depth\n"
        "                           grey in proportion to the repeat distance, to a fraction\n"
        "                           of a pixel where the picture was built finer. A picture\n"
        "                           of one flat depth is written and told. Reads random\n"
        "                           dot and colour field pictures, other programs' too, and\n"
        "                           JPEG copies and scans of them. The repeat width (the\n"
        "                           farthest depth's) is found, or taken from --repeat; depths\n"
        "                           nearer than a fifth of it are not found. A surface seen by\n"
        "                           one eye only, and the last repeat width of each row, whose\n"
        "                           repeat would lie beyond the picture, take the depth to\n"
        "                           their left\n"
        "  --view anaglyph|half-colour|parallel|cross|above-below|wiggle\n"
        "                           instead of a stereogram, the stereo pair, for those who\n"
        "                           cannot free-view: the surface the depth describes, seen by\n"
        "                           each eye, as a red-cyan anaglyph (Dubois's colours, or\n"
        "                           half-colour: the left view's brightness in red), side by\n"
        "                           side for parallel or for crossed eyes, or the left view\n"
        "                           above the right one. DESIGN's surface is random grey\n"
        "                           dots (--seed repeats them); with --reveal, STEREOGRAM's\n"
        "                           depth with its own pixels as the surface. The farthest\n"
        "                           depth lies in the screen, nearer ones stand out of it.\n"
        "                           wiggle: an animated PNG showing the views in turn, and\n"
        "                           back, %5 ms each\n"
        "  --views N                with --view wiggle: views from eyes evenly spaced from\n"
        "                           the left to the right one, 2..%6 (default 2)\n"
        "  --disparity PX           with --view: the nearest depth's disparity in pixels,\n"
        "                           0..%4 (default: that of the stereogram, the far\n"
        "                           separation less the near one, which the design's\n"
        "                           strength gives at any repeat width)\n"
        "  --version                show the version\n"
        "  --help                   show this text\n"
        "\n"
        "Options take their value as \"--opt value\" or \"--opt=value\". On bad input the\n"
        "converter prints one line on standard error, writes nothing and exits with status 2;\n"
        "a batch exits with status 2 when any design failed. A success is silent but for the\n"
        "line that says a design was found to be a grey depth map, and the report of --check.\n"
        "\n"
        "Examples:\n"
        "  lumivex-convert --mode color --seed 7 shark.bmp shark-dots.png\n"
        "  lumivex-convert --mode field --field-source leaves.bmp --repeat 90 --strength 30 \\\n"
        "      shark.bmp shark-field.bmp\n"
        "  lumivex-convert --mode field --field backdrop.png --kurikaesi 80 shark.bmp out.png\n"
        "  lumivex-convert --depth grey --density 50 depthmap.png stereo.png\n"
        "  lumivex-convert --depth grey --oversample 8 --start centre --mode field \\\n"
        "      --field-source leaves.bmp dome.png dome-field.png\n"
        "  lumivex-convert --depth grey --levels 16 depthmap.png terraced.png\n"
        "  lumivex-convert --depth grey --width 3000 --dpi 300 --repeat-mm 30 \\\n"
        "      depthmap.png print.png\n"
        "  lumivex-convert --guides --mode color --repeat 90 shark.bmp shark-dots.png\n"
        "  lumivex-convert --depth grey --format bmp --out-dir stereo frames/*.png\n"
        "  lumivex-convert --reveal shark-dots.png shark-depth.png\n"
        "  lumivex-convert --check --depth grey --dpi 300 --invert depthmap.png\n"
        "  lumivex-convert --view anaglyph --reveal shark-dots.png shark-anaglyph.png\n")
        .arg(kMaxDesignWidth)
        .arg(kMaxFieldSourceWidth)
        .arg(kMaxDpi)
        .arg(kMaxViewDisparity)
        .arg(kWiggleDelayMs)
        .arg(kMaxWiggleViews);
}

QString versionText()
{
    return QStringLiteral("lumivex-convert " LUMIVEX_VERSION "\n");
}

} // namespace lumivex::cli
