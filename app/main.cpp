#include "docwindow/prompts.h"
#include "shell/icons.h"
#include "shell/mainwindow.h"
#include "shell/translations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // No organisation name: the per-user data folder is ~/.local/share/Lumivex.
    QApplication::setApplicationName(QStringLiteral("Lumivex"));
    QApplication app(argc, argv);
    lumivex::shell::installTranslations(app);
    QApplication::setWindowIcon(lumivex::shell::applicationIcon());

    lumivex::docwindow::QtPrompts prompts;
    lumivex::shell::MainWindow window(prompts);
    window.show();
    return app.exec();
}
