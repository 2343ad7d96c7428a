#pragma once

#include "document/picturefit.h"

#include <QImage>
#include <QSize>
#include <QString>

class QWidget;

namespace lumivex::prompts {
class Prompts;
}

namespace lumivex::docwindow {

/// A picture too wide for the window (the document floor's rule, picturefit), offered through
/// the prompts.
namespace screenfit {

using document::picturefit::fitted;
using document::picturefit::fittedSize;
using document::picturefit::Kind;
using document::picturefit::note;
using document::picturefit::widestTaken;

/// The too-wide message, then the offer to bring the picture (of `size`) down to the window's
/// width, or to cancel, in one box. Whether the user agreed; a picture wider than widestTaken()
/// gets the message alone.
bool offer(prompts::Prompts &prompts, QWidget *parent, const QString &tooWide, QSize size, Kind kind);

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
