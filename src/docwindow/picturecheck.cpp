#include "picturecheck.h"

#include "documentwindow.h"

#include "document/sharedstate.h"
#include "engine/depth.h"
#include "engine/smoothdepth.h"
#include "picture/picture.h"

#include <algorithm>
#include <vector>

namespace lumivex::docwindow {

std::optional<engine::StereoCheck> checkDocumentPicture(DocumentWindow &document, const document::SharedState &shared,
                                                        int kurikaesi, int rittaido)
{
    QImage design = document.picUra();
    if (design.isNull())
        return std::nullopt;
    if (design.format() != QImage::Format_RGB32 && design.format() != QImage::Format_ARGB32)
        design = design.convertToFormat(QImage::Format_RGB32);
    QSize size = design.size();
    if (shared.ModeWord == document::Mode::Field) {
        const QImage &field = document.picUraField();
        if (field.isNull())
            return std::nullopt;
        size = QSize(std::min(field.width(), engine::kMaxWidth), field.height());
    }
    if (size.isEmpty())
        return std::nullopt;

    engine::StereoCheckSettings settings;
    settings.kurikaesi = kurikaesi;
    settings.rittaido = rittaido;
    settings.smooth = shared.DesignDepth == document::DepthKind::Grey;
    // The factor the smooth run builds its rows at, as the reach of 開始 finds it.
    settings.oversample = settings.smooth ? document.designReach(kurikaesi, rittaido).oversample : 1;
    engine::StereoSurvey survey(settings);

    const int scanWidth = size.width() - 1;
    std::vector<engine::Packed> row(std::size_t(design.width()));
    std::vector<std::int32_t> levels(std::size_t(size.width()));
    std::vector<std::uint16_t> depths(std::size_t(size.width()));
    for (int y = 0; y < size.height(); ++y) {
        std::span<const engine::Packed> designRow;
        if (y < design.height()) {
            picture::packRow(design, y, row);
            designRow = row;
        }
        if (settings.smooth) {
            engine::GetSmoothDepthRow(designRow, scanWidth, depths, shared.InvertDepth);
            survey.addRow(std::span<const std::uint16_t>(depths));
        } else {
            engine::GetDepthRow(designRow, scanWidth, levels, shared.InvertDepth);
            survey.addRow(std::span<const std::int32_t>(levels));
        }
    }
    return survey.result();
}

} // namespace lumivex::docwindow
