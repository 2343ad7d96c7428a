#include "prompts/prompts.h"
#include "shell/icons.h"
#include "shell/mainwindow.h"
#include "shell/translations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // No organisation name: the per-user data folder is ~/.local/share/Lumivex.
    QApplication::setApplicationName(QStringLiteral("Lumivex"));
    QApplication app(argc, argv);
    // The desktop entry's name: Wayland and the task bars match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.lumivex.Lumivex"));
    lumivex::shell::installTranslations(app);
    QApplication::setWindowIcon(lumivex::shell::applicationIcon());

    lumivex::prompts::QtPrompts prompts;
    lumivex::shell::MainWindow window(prompts);
    window.show();
    // A project file named on the command line, as the desktop hands over a .lvd file.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && !arguments.at(1).startsWith(QLatin1Char('-')))
        window.openFile(arguments.at(1));
    return app.exec();
}
