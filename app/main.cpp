#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("Lumivex"));
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Lumivex"));
    window.show();
    return app.exec();
}
