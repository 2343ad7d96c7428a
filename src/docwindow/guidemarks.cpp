#include "guidemarks.h"

#include "documentwindow.h"
#include "mainfacade.h"
#include "pane.h"
#include "picturebox.h"

#include "document/appsettings.h"
#include "document/inifile.h"
#include "picture/picture.h"
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
        picture::unpackRow(row, image, y);
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

int guideBandAtTop(const QImage &picture)
{
    const int width = picture.width();
    const int height = picture.height();
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<engine::Packed> row(std::size_t(std::max(width, 0)));
    const auto rowMatches = [&](int y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if ((line[x] & 0xffffff) != (picture::unpackPixel(row[std::size_t(x)]) & 0xffffff))
                return false;
        }
        return true;
    };
    // The band is a twentieth of the height below it, at least 16 rows: few heights to try.
    for (int rows = 16; width > 0 && rows < height && rows <= height / 20 + 17; ++rows) {
        const engine::GuideBand shape = engine::guideBand(width, height - rows, 70);
        if (shape.height != rows)
            continue;
        // The repeat width is where the two dots' centres are in their middle row.
        const auto *middle = reinterpret_cast<const QRgb *>(rgb.constScanLine(shape.centreY));
        std::vector<int> centres;
        for (int x = 0; x < width && centres.size() <= 2;) {
            if ((middle[x] & 0xffffff) != 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && (middle[x] & 0xffffff) == 0)
                ++x;
            centres.push_back((start + x - 1) / 2);
        }
        if (centres.size() != 2)
            continue;
        const engine::GuideBand band = engine::guideBand(width, height - rows, centres[1] - centres[0]);
        bool same = band.height == rows;
        for (int y = 0; same && y < rows; ++y) {
            engine::guideBandRow(band, y, row);
            same = rowMatches(y);
        }
        if (same)
            return rows;
    }
    return 0;
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
    const QImage &picture = m_stereoFull.behind(stereo->image());
    // A copy: a run may draw on while a dialog is open.
    // Marks at a repeat width that is not known would mislead.
    if (!m_main.settings().guides() || guideBandAtTop(picture) > 0 || stereo->repeatWidth() <= 0)
        return picture.copy();
    return withGuideBand(picture, m_stereoFull.repeatBehind(stereo->image(), stereo->repeatWidth()));
}

} // namespace lumivex::docwindow
