#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class QWidget;

namespace lumivex::prompts {
class Prompts;
}

namespace lumivex::docwindow {

/// A design or stereo picture wider than the window takes, brought down to the window's width
/// (the height in proportion) when the user agrees: a grey depth map bilinear, a design in the
/// depth colours by the nearest pixel (no colour between two depths is made), a stereo picture
/// bilinear for the eye. Pictures up to the converter's width are taken.
namespace screenfit {

enum class Kind { Design, Stereo };

/// The widest picture offered to be brought down; a wider one is refused as before.
int widestTaken();

/// The size a picture of `size` takes at `width` pixels wide (the height at least 1).
QSize fittedSize(QSize size, int width);

/// The picture brought down to `width` pixels wide, by the kind's rule.
QImage fitted(const QImage &picture, int width, Kind kind);

/// The too-wide message, then the offer to bring the picture (of `size`) down to the window's
/// width, or to cancel, in one box. Whether the user agreed; a picture wider than widestTaken()
/// gets the message alone.
bool offer(prompts::Prompts &prompts, QWidget *parent, const QString &tooWide, QSize size, Kind kind);

/// The status-bar note of a picture brought down without asking (a project that kept its scale).
QString note(Kind kind, QSize original, QSize shown);

} // namespace screenfit

/// The stereo picture at its own size behind a pane that shows it brought down: printing,
/// export and the full view use its pixels. It stands behind that one shown picture only: once
/// the pane shows another (or a run draws into it), the pane's picture is the output again.
class FullSizePicture
{
public:
    /// repeat: the original's repeat width when it is known (0: measured from the shown one's).
    void keep(const QImage &original, const QImage &shown, int repeat = 0);
    void clear() { *this = {}; }

    /// The picture behind `shown`, or `shown` itself.
    const QImage &behind(const QImage &shown) const;
    /// A repeat width of `shown` measured on the picture behind it.
    int repeatBehind(const QImage &shown, int repeat) const;

private:
    bool stands(const QImage &shown) const { return !m_original.isNull() && shown.cacheKey() == m_shownKey; }

    QImage m_original;
    qint64 m_shownKey = 0;
    int m_shownWidth = 0;
    int m_repeat = 0;
};

} // namespace lumivex::docwindow
