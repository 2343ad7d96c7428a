#include "check.h"

#include "convert.h"
#include "designrows.h"

#include "engine/depth.h"
#include "engine/smoothdepth.h"

#include <algorithm>
#include <type_traits>
#include <cstdio>
#include <vector>

namespace lumivex::cli {

namespace {

QString number(double value, int decimals = 2)
{
    return QString::number(value, 'f', decimals);
}

QString pixels(double value)
{
    return QString::number(value) + (value == 1 ? QStringLiteral(" pixel") : QStringLiteral(" pixels"));
}

} // namespace

QString checkReport(const engine::StereoCheck &check, const Options &options)
{
    const QString stepName = check.steps == 1 ? QStringLiteral("whole pixels")
                                              : QStringLiteral("1/%1 pixel steps").arg(check.steps);
    QString text = QStringLiteral("depths: %1 (distinct separations in %2 from the farthest depth to the nearest)\n")
                       .arg(check.distinctDepths).arg(stepName);
    const auto separation = [&](const char *name, double inPixels, const std::optional<double> &mm, bool withDpi) {
        text += QStringLiteral("%1 separation: %2").arg(QLatin1String(name), pixels(inPixels));
        if (mm)
            text += withDpi ? QStringLiteral(" (%1 mm at %2 dpi)").arg(number(*mm)).arg(options.dpi)
                            : QStringLiteral(" (%1 mm)").arg(number(*mm));
        text += u'\n';
    };
    separation("far", check.farPixels(), check.farMm, true);
    separation("near", check.nearPixels(), check.nearMm, false);
    text += QStringLiteral("smallest depth step: %1 arcseconds at %2 mm (eyes %3 mm apart%4)\n")
                .arg(number(check.depthStepArcsec))
                .arg(options.viewMm)
                .arg(engine::StereoCheckSettings{}.eyeMm)
                .arg(options.dpiGiven ? QString() : QStringLiteral(", pixels at %1 dpi").arg(engine::kScreenDpi));
    text += QStringLiteral("seen by one eye only: %1 % of the picture\n").arg(number(100 * check.oneEyeShare()));
    if (check.doubleImages)
        text += QStringLiteral("warning: the near separation is at most half the far one: two near repeats fuse as "
                               "one far repeat (double images)\n");
    if (check.tooWide)
        text += QStringLiteral("warning: the repeat is over %1 mm on paper: it cannot be viewed parallel\n")
                    .arg(engine::kWidestRepeatMm);
    if (check.tooNarrow)
        text += QStringLiteral("warning: the repeat is under %1 mm on paper: hard to fuse\n")
                    .arg(engine::kNarrowestRepeatMm);
    return text;
}

void printCheck(const Options &given)
{
    DesignRows design(given);
    // A colour field's picture has the field's size: the design where they overlap, outside
    // it (the farthest depth) beyond. Random dot's rows take the design's columns and rows.
    QSize size(design.width(), design.height());
    // The conversion that follows says what it finds of the design; a check alone says it here.
    const Options options = conversionOptions(given, design, given.output.isEmpty(), &size);
    engine::StereoCheckSettings settings;
    settings.kurikaesi = options.kurikaesi;
    settings.rittaido = options.rittaido;
    settings.smooth = options.smooth();
    settings.oversample = options.oversample;
    if (options.dpiGiven)
        settings.dpi = options.dpi;
    settings.viewMm = options.viewMm;
    engine::StereoSurvey survey(settings);

    const std::size_t inside = std::size_t(std::min(design.width(), size.width()));
    const std::size_t room = std::size_t(std::max(design.width(), size.width()));
    const int designRows = std::min(design.height(), size.height());
    int nearest = 0;
    const auto take = [&](auto &row, int y, auto read) {
        if (y < designRows)
            read();
        std::fill(row.begin() + std::ptrdiff_t(y < designRows ? inside : 0), row.end(), 0);
        const auto taken = std::span(row).first(std::size_t(size.width()));
        survey.addRow(std::span<const typename std::decay_t<decltype(row)>::value_type>(taken));
        nearest = std::max(nearest, int(*std::max_element(taken.begin(), taken.end())));
    };
    std::vector<engine::Packed> colours(room);
    if (options.smooth()) {
        std::vector<std::uint16_t> depths(room);
        for (int y = 0; y < size.height(); ++y)
            take(depths, y, [&] { design.depths(depths); });
    } else {
        std::vector<std::int32_t> levels(room);
        for (int y = 0; y < size.height(); ++y)
            take(levels, y, [&] {
                design.colours(colours);
                engine::GetDepthRow(std::span(colours).first(inside), int(inside) - 1, levels);
            });
    }
    design.readRest();
    checkDepthReach(options, nearest);
    std::fputs(checkReport(survey.result(), options).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

} // namespace lumivex::cli
