// lumivex-appicon FOLDER NAME: writes the program's icon for the desktop's icon theme, as
// FOLDER/<size>x<size>/apps/NAME.png at each size desktops ask for.
//
// The picture is the main window's own icon. Its drawing lives inside the shell's icon file,
// which offers the icon only at toolbar sizes (48 pixels at most), so the file is compiled in
// here to draw the same picture at the large sizes too. Run at build time: the installed icon
// never drifts from the window's.
#include "shell/icons.cpp"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

QImage renderApplicationIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The same 16 x 16 grid, scaled, as the window icon.
    painter.scale(size / 16.0, size / 16.0);
    lumivex::shell::drawApplication(painter);
    painter.end();
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("usage: lumivex-appicon FOLDER NAME\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    // The hicolor theme's usual application sizes.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QString file = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(dir) || !renderApplicationIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "lumivex-appicon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
