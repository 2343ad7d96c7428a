#include "options.h"

#include <QSet>

#include <array>
#include <limits>

namespace lumivex::cli {

namespace {

struct OptionSpec
{
    QLatin1StringView name;
    bool takesValue;
};

constexpr std::array<OptionSpec, 8> kOptions = {{
    {QLatin1StringView("help"), false},
    {QLatin1StringView("mode"), true},
    {QLatin1StringView("field"), true},
    {QLatin1StringView("field-source"), true},
    {QLatin1StringView("kurikaesi"), true},
    {QLatin1StringView("rittaido"), true},
    {QLatin1StringView("mitudo"), true},
    {QLatin1StringView("seed"), true},
}};

const OptionSpec *findOption(const QString &name)
{
    for (const OptionSpec &known : kOptions) {
        if (known.name == name)
            return &known;
    }
    return nullptr;
}

QString quoted(const QString &text)
{
    return u'\'' + text + u'\'';
}

[[noreturn]] void fail(const QString &message)
{
    throw Failure{message};
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

void apply(Options &options, const QString &name, const QString &value)
{
    if (name == u"mode") {
        options.mode = parseMode(value);
    } else if (name == u"field" || name == u"field-source") {
        if (value.isEmpty())
            fail(QStringLiteral("--%1 needs a file name").arg(name));
        (name == u"field" ? options.field : options.fieldSource) = value;
    } else if (name == u"kurikaesi") {
        options.kurikaesi = parseBounded(name, value, 0, 200);
    } else if (name == u"rittaido") {
        options.rittaido = parseBounded(name, value, 0, 50);
    } else if (name == u"mitudo") {
        options.mitudo = parseBounded(name, value, 0, 100);
    } else if (name == u"seed") {
        options.seed = parseSeed(value);
    }
}

// Options that belong to one kind of conversion are refused in the other rather than
// silently ignored: a user who gives them expects them to change the picture.
void checkCombination(const Options &options, const QSet<QString> &seen)
{
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
                         .arg(QLatin1String(name)));
        }
    } else {
        for (const char *name : {"field", "field-source"}) {
            if (seen.contains(QLatin1String(name)))
                fail(QStringLiteral("--%1 is only used with --mode field").arg(QLatin1String(name)));
        }
    }
}

} // namespace

Options parseOptions(const QStringList &arguments)
{
    Options options;
    QStringList positional;
    QSet<QString> seen;
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
        if (seen.contains(name))
            fail(QStringLiteral("--%1 is given more than once").arg(name));
        seen.insert(name);
        if (!option->takesValue) {
            if (equals >= 0)
                fail(QStringLiteral("--%1 takes no value").arg(name));
            options.help = true;
            continue;
        }
        QString value;
        if (equals >= 0)
            value = arg.mid(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        else
            fail(QStringLiteral("--%1 needs a value").arg(name));
        apply(options, name, value);
    }
    if (options.help)
        return options;

    if (positional.size() < 2)
        fail(positional.isEmpty() ? QStringLiteral("missing DESIGN and OUTPUT (see --help)")
                                  : QStringLiteral("missing OUTPUT (see --help)"));
    if (positional.size() > 2)
        fail(QStringLiteral("unexpected argument %1: give only DESIGN and OUTPUT")
                 .arg(quoted(positional[2])));
    options.design = positional[0];
    options.output = positional[1];
    checkCombination(options, seen);
    return options;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: lumivex-convert [options] DESIGN OUTPUT\n"
        "Turns a depth picture (DESIGN, at most 1024 pixels wide) into an autostereogram.\n"
        "OUTPUT is written as PNG when its name ends in .png, otherwise as BMP.\n"
        "\n"
        "  --mode mono|color|field  random dot in black and white or in colour, or colour\n"
        "                           field (default mono)\n"
        "  --field FILE             field picture for --mode field (at most 1024 pixels wide)\n"
        "  --field-source FILE      small picture (at most 200 pixels wide) tiled from the\n"
        "                           top left over the design's area to make the field\n"
        "  --kurikaesi N            repeat width in pixels, 0..200 (default 70)\n"
        "  --rittaido N             depth strength, 0..50, applied divided by 10 (default 20)\n"
        "  --mitudo N               dot density in percent, 0..100, random dot only (default 30)\n"
        "  --seed N                 random dot only: the same seed gives the same picture;\n"
        "                           without it the clock seeds the dots\n"
        "  --help                   show this text\n"
        "\n"
        "Options take their value as \"--opt value\" or \"--opt=value\". On bad input the\n"
        "converter prints one line on standard error, writes nothing and exits with status 2.\n");
}

} // namespace lumivex::cli
