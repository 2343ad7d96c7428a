#include "clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace lumivex::docwindow {

QImage QtClipboard::image()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->image() : QImage();
}

bool QtClipboard::setImage(const QImage &image)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard || image.isNull())
        return false;
    clipboard->setImage(image);
    // Setting reports nothing: ask the clipboard what it holds now. Our own data answers from
    // memory, so the check costs no conversion of the picture.
    const QMimeData *data = clipboard->mimeData();
    return data && data->hasImage();
}

} // namespace lumivex::docwindow
