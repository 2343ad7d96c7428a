#pragma once

#include <QImage>

namespace lumivex::docwindow {

/// The system clipboard's picture, behind an interface so that tests can hand in their own.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    /// The clipboard's picture, or a null image when it holds none.
    virtual QImage image() = 0;
    /// Replaces what the clipboard holds with the picture. Whether the clipboard now holds it:
    /// a clipboard owned by another program, or no clipboard at all, may refuse it.
    virtual bool setImage(const QImage &image) = 0;
};

/// The application's clipboard (QGuiApplication::clipboard()).
class QtClipboard : public Clipboard
{
public:
    QImage image() override;
    bool setImage(const QImage &image) override;
};

} // namespace lumivex::docwindow
