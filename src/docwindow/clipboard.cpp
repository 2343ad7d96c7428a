#include "clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace lumivex::docwindow {

QImage QtClipboard::image()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->image() : QImage();
}

void QtClipboard::setImage(const QImage &image)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setImage(image);
}

} // namespace lumivex::docwindow
