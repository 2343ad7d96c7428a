#include "printresolution.h"

#include "document/greydepth.h"
#include "engine/colourfield.h"
#include "engine/depth.h"
#include "engine/randomdot.h"
#include "engine/smoothdepth.h"
#include "picture/picture.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace lumivex::docwindow {

namespace {

constexpr double kMmPerInch = 25.4;
/// The most pixels a picture for print may have: an A3 sheet at 300 dpi is 17 million.
constexpr double kMostPixels = 40e6;

QString problemText(const char *text)
{
    return QCoreApplication::translate("lumivex::docwindow::PrintResolution", text);
}

QSize scaledSize(QSize size, double scale)
{
    return {std::max(1, int(std::lround(size.width() * scale))), std::max(1, int(std::lround(size.height() * scale)))};
}

/// The smooth runs build at four times the width unless every grey lies on the sixteen levels,
/// as the document's own runs do.
engine::SmoothOptions smoothOptions(const QImage &design)
{
    for (int y = 0; y < design.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(design.constScanLine(y));
        for (int x = 0; x < design.width(); ++x) {
            const engine::Packed packed = engine::pack(qRed(row[x]), qGreen(row[x]), qBlue(row[x]));
            if (engine::smoothDepth(packed) % engine::kSmoothPerLevel != 0)
                return {4, engine::SmoothStart::Left};
        }
    }
    return {1, engine::SmoothStart::Left};
}

} // namespace

PrintResolution::PrintResolution(PrintSource source)
    : m_source(std::move(source))
{
}

bool PrintResolution::possible() const
{
    return !m_source.design.isNull() && m_source.kurikaesi > 0
        && (m_source.field.isNull() || m_source.field.width() > 0);
}

PrintResolutionPlan PrintResolution::plan(double repeatMm) const
{
    PrintResolutionPlan plan;
    if (!possible() || repeatMm <= 0) {
        plan.problem = problemText(QT_TRANSLATE_NOOP("lumivex::docwindow::PrintResolution",
                                                     "変換するデザイン画像と繰返幅がありません。"));
        return plan;
    }
    // The picture's widest row and its pixels at a scale: the design's, or the field's, which
    // gives a colour field its size.
    const QSize picture = m_source.field.isNull() ? m_source.design.size() : m_source.field.size();
    const double widest = std::max(m_source.design.width(), m_source.field.width());
    double dpi = kDpi;
    for (int attempt = 0; attempt < 2; ++attempt) {
        plan.kurikaesi = std::max(1, int(std::lround(repeatMm / kMmPerInch * dpi)));
        plan.scale = double(plan.kurikaesi) / m_source.kurikaesi;
        const double tooWide = widest * plan.scale / engine::kMaxRunWidth;
        const double tooMany = double(picture.width()) * picture.height() * plan.scale * plan.scale / kMostPixels;
        const double over = std::max(tooWide, std::sqrt(tooMany));
        if (over <= 1)
            break;
        dpi = std::floor(dpi / over);  // as fine as a run can build it
    }
    plan.dpi = plan.kurikaesi * kMmPerInch / repeatMm;
    // The strength grows with the repeat, so that the depth keeps its proportion to it.
    plan.rittaido = int(std::lround(double(m_source.rittaido) * plan.kurikaesi / m_source.kurikaesi));
    return plan;
}

QImage PrintResolution::scaledDesign(double scale) const
{
    const QSize size = scaledSize(m_source.design.size(), scale);
    QImage from = m_source.design;
    bool toColours = false;
    if (!m_source.designPath.isEmpty()) {
        // The original, when the document holds a smaller copy of it.
        picture::LoadedPicture original = picture::readPicture(m_source.designPath, engine::kMaxRunWidth);
        if (original.ok() && original.image.width() > from.width()) {
            // A grey map the document cut into sixteen levels is cut after scaling, at its own
            // finer edges; one used as it is stays as it is.
            toColours = !m_source.smooth && document::isGreyDepthMap(original.image)
                && !document::isGreyDepthMap(m_source.design);
            from = std::move(original.image);
        }
    }
    // Greys in between, as smooth depth reads them; the depth colours stay colours.
    const bool grey = m_source.smooth || toColours;
    QImage scaled = from.convertToFormat(QImage::Format_RGB32)
                        .scaled(size, Qt::IgnoreAspectRatio, grey ? Qt::SmoothTransformation : Qt::FastTransformation);
    if (toColours)
        scaled = document::greyToDepthColours(scaled);
    return scaled.convertToFormat(QImage::Format_RGB32);
}

QImage PrintResolution::make(double repeatMm, const std::function<bool(int, int)> &progress, QString *problem) const
{
    const PrintResolutionPlan plan = this->plan(repeatMm);
    if (!plan.problem.isEmpty()) {
        if (problem)
            *problem = plan.problem;
        return {};
    }
    const QImage design = scaledDesign(plan.scale);
    const bool field = !m_source.field.isNull();
    const QImage fieldPicture = field ? m_source.field.convertToFormat(QImage::Format_RGB32)
                                            .scaled(scaledSize(m_source.field.size(), plan.scale), Qt::IgnoreAspectRatio,
                                                    Qt::SmoothTransformation)
                                            .convertToFormat(QImage::Format_RGB32)
                                      : QImage();
    // The geometry of the document's runs: random dot draws one column and row fewer than the
    // design; a colour field draws the field's size.
    const int scanWidth = field ? fieldPicture.width() : design.width() - 1;
    const int scanHeight = field ? fieldPicture.height() : design.height() - 1;
    if (scanWidth < 1 || scanHeight < 1) {
        if (problem)
            *problem = problemText(QT_TRANSLATE_NOOP("lumivex::docwindow::PrintResolution",
                                                     "変換するデザイン画像と繰返幅がありません。"));
        return {};
    }
    QImage result(scanWidth, scanHeight, QImage::Format_RGB32);
    if (result.isNull()) {
        if (problem)
            *problem = problemText(QT_TRANSLATE_NOOP("lumivex::docwindow::PrintResolution", "メモリーが足りません。"));
        return {};
    }

    const engine::SmoothOptions options = m_source.smooth ? smoothOptions(design) : engine::SmoothOptions{};
    const engine::DotParams dotParams{plan.kurikaesi, plan.rittaido, m_source.mitudo, m_source.mono};
    const engine::FieldParams fieldParams{plan.kurikaesi, plan.rittaido};
    const std::uint64_t seed = engine::UniformRandom::clockSeed();
    engine::RandomDot dots;
    engine::SmoothDot smoothDots;
    engine::ColourField colourField;
    engine::SmoothField smoothField;
    if (field)
        m_source.smooth ? smoothField.begin(fieldParams, options, scanWidth) : colourField.begin(fieldParams, scanWidth);
    else
        m_source.smooth ? smoothDots.begin(dotParams, options, scanWidth, seed) : dots.begin(dotParams, scanWidth, seed);

    std::vector<engine::Packed> designRow(static_cast<std::size_t>(design.width()));
    std::vector<engine::Packed> fieldRow(std::size_t(std::max(fieldPicture.width(), 1)));
    std::vector<engine::Packed> out(static_cast<std::size_t>(scanWidth));
    std::vector<std::int32_t> levels(static_cast<std::size_t>(scanWidth) + 1);
    std::vector<std::uint16_t> depths(static_cast<std::size_t>(scanWidth) + 1);
    // One row more than is drawn, as the document's runs work it.
    for (int y = 0; y <= scanHeight; ++y) {
        if (progress && y % 32 == 0 && !progress(y, scanHeight + 1))
            return {};
        std::span<const engine::Packed> designSpan;
        if (y < design.height()) {
            picture::packRow(design, y, designRow);
            designSpan = designRow;
        }
        if (m_source.smooth)
            engine::GetSmoothDepthRow(designSpan, scanWidth, depths, m_source.invert);
        else
            engine::GetDepthRow(designSpan, scanWidth, levels, m_source.invert);
        const std::span<engine::Packed> outRow = y < scanHeight ? std::span<engine::Packed>(out) : std::span<engine::Packed>();
        if (field) {
            std::span<const engine::Packed> colours;
            if (y < fieldPicture.height()) {
                picture::packRow(fieldPicture, y, fieldRow);
                colours = fieldRow;
            }
            if (m_source.smooth)
                smoothField.row(depths, colours, outRow);
            else
                colourField.row(levels, colours, outRow);
        } else if (m_source.smooth) {
            smoothDots.row(depths, outRow);
        } else {
            dots.row(levels, outRow);
        }
        if (y < scanHeight)
            picture::unpackRow(out, result, y);
    }
    if (progress)
        progress(scanHeight + 1, scanHeight + 1);
    return result;
}

} // namespace lumivex::docwindow
