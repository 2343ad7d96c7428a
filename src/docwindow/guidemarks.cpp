#include "guidemarks.h"

#include "documentwindow.h"
#include "mainfacade.h"
#include "pane.h"
#include "picturebox.h"

#include "document/appsettings.h"
#include "document/inifile.h"
#include "document/picture.h"
#include "engine/depth.h"
#include "engine/guides.h"

#include <QPainter>

#include <vector>

namespace lumivex::docwindow {

QImage guideBandImage(QSize picture, int kurikaesi)
{
    if (picture.isEmpty())
        return {};
    // A repeat width from a hand-edited state file is held as the runs hold it.
    const engine::GuideBand band =
        engine::guideBand(picture.width(), picture.height(), engine::limitParameter(kurikaesi));
    QImage image(picture.width(), band.height, QImage::Format_RGB32);
    std::vector<engine::Packed> row(std::size_t(picture.width()));
    for (int y = 0; y < band.height; ++y) {
        engine::guideBandRow(band, y, row);
        document::unpackRow(row, image, y);
    }
    return image;
}

QImage withGuideBand(const QImage &picture, int kurikaesi)
{
    const QImage band = guideBandImage(picture.size(), kurikaesi);
    if (band.isNull())
        return picture;
    QImage result(picture.width(), band.height() + picture.height(), QImage::Format_RGB32);
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, band);
    painter.drawImage(0, band.height(), picture);
    return result;
}

// The document's side of the guide marks.

void DocumentWindow::setUpGuides()
{
    // The stereo picture is drawn or put in at the repeat width the document has then: the
    // state file holds every slider change at once.
    picAfter()->setRepeatSource([this] {
        return document::iniReadInt(m_lblIniName, QString::fromLatin1(document::kSection),
                                    QStringLiteral("KurikaesiHaba"), 70);
    });
    picAfter()->setGuidesShown(m_main.settings().guides());
}

void DocumentWindow::guidesChanged()
{
    picAfter()->setGuidesShown(m_main.settings().guides());
    picContAfter()->layoutScroll();
}

QImage DocumentWindow::stereoForOutput() const
{
    const PictureBox *stereo = picAfter();
    // A copy: a run may draw on while a dialog is open.
    if (!m_main.settings().guides())
        return stereo->image().copy();
    return withGuideBand(stereo->image(), stereo->repeatWidth());
}

} // namespace lumivex::docwindow
