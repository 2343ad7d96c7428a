#include "commandline.h"

namespace lumivex::shell {

bool CommandLine::fileIsProject() const
{
    return file.endsWith(QStringLiteral(".lvd"), Qt::CaseInsensitive);
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    bool options = true;
    for (const QString &argument : arguments) {
        if (options && argument == QLatin1String("--")) {
            options = false;
        } else if (options && (argument == QLatin1String("--help") || argument == QLatin1String("-h"))) {
            line.help = true;
        } else if (options && (argument == QLatin1String("--version") || argument == QLatin1String("-v"))) {
            line.version = true;
        } else if (options && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            // Qt's own options (-style, -platform, ...) are taken by QApplication before this;
            // whatever is left is unknown.
            if (line.problem.isEmpty())
                line.problem = QStringLiteral("unknown option: %1").arg(argument);
        } else if (line.file.isEmpty()) {
            line.file = argument;
        }
    }
    return line;
}

QString commandLineUsage()
{
    return QStringLiteral(
        "Usage: lumivex [OPTION] [FILE]\n"
        "Turns depth pictures into autostereograms.\n"
        "\n"
        "FILE is a project (*.lvd), which opens as with Open, or a design picture (BMP, PNG,\n"
        "JPEG, GIF, WMF, ...), which opens in a new random-dot (monochrome) document.\n"
        "\n"
        "  -h, --help     show this help and exit\n"
        "  -v, --version  show the version and exit\n"
        "\n"
        "The environment variable LUMIVEX_LANG=ja|en chooses the interface's language.\n"
        "Pictures are converted without the window by lumivex-convert.\n");
}

QString commandLineVersion()
{
    return QStringLiteral("lumivex " LUMIVEX_VERSION "\n");
}

} // namespace lumivex::shell
