#include "shell/commandline.h"
#include "shell/icons.h"
#include "shell/mainwindow.h"
#include "shell/services.h"
#include "shell/translations.h"

#include <QApplication>

#include <cstdio>

namespace {

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char *argv[])
{
    // What the terminal asks is answered there, without a window or even a display.
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given.append(QString::fromLocal8Bit(argv[i]));
    const lumivex::shell::CommandLine asked = lumivex::shell::parseCommandLine(given);
    if (asked.help || asked.version) {
        print(stdout, asked.help ? lumivex::shell::commandLineUsage() : lumivex::shell::commandLineVersion());
        return 0;
    }

    // No organisation name: the per-user data folder is ~/.local/share/Lumivex.
    QApplication::setApplicationName(QStringLiteral("Lumivex"));
    QApplication app(argc, argv);
    // Qt has taken its own options (-platform, -style, ...) out of the arguments by now.
    const lumivex::shell::CommandLine line = lumivex::shell::parseCommandLine(QApplication::arguments().mid(1));
    if (!line.problem.isEmpty()) {
        print(stderr, QStringLiteral("lumivex: %1\n").arg(line.problem));
        print(stderr, lumivex::shell::commandLineUsage());
        return 2;
    }

    // The desktop entry's name: Wayland and the task bars match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.lumivex.Lumivex"));
    lumivex::shell::installTranslations(app);
    QApplication::setWindowIcon(lumivex::shell::applicationIcon());

    lumivex::shell::DesktopServices services;
    lumivex::shell::MainWindow window(services.services());
    window.show();
    // A file named on the command line, as the desktop hands over a project or a picture.
    if (!line.file.isEmpty()) {
        if (line.fileIsProject())
            window.openProject(line.file);
        else
            window.openPicture(line.file);
    }
    return app.exec();
}
