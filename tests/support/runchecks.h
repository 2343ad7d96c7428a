#pragma once

// What the tests of conversion runs compare with: the pictures a run must give, made with the
// engine row by row, the conversion controls in one line, and fixed seeds.

#include "docwindow/documentwindow.h"
#include "picture/picture.h"
#include "engine/colourfield.h"
#include "engine/depth.h"
#include "engine/randomdot.h"
#include "shell/mainwindow.h"

#include <QAction>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace runchecks {

namespace engine = lumivex::engine;
using lumivex::docwindow::DocumentWindow;
using lumivex::shell::MainWindow;

/// The status texts of a running and a paused run.
inline const QString kDotRunning = QStringLiteral("ランダムドット変換中です。しばらくお待ちください...");
inline const QString kDotPaused = QStringLiteral("ランダムドット変換を中断しています...");
inline const QString kFieldRunning = QStringLiteral("カラーフィールド変換中です。しばらくお待ちください...");
inline const QString kFieldPaused = QStringLiteral("カラーフィールド変換を中断しています...");

/// One stretch of random-dot rows worked by one start or continuation: rows from..to-1 (to < 0:
/// to the end), with its own seed and parameters. The window's engine carries on from one
/// stretch to the next, and a stretch that begins at row 0 clears the picture.
struct Leg
{
    int from;
    int to;
    std::uint64_t seed;
    engine::DotParams params;
};

/// The random-dot picture the stretches give, as the engine draws it row by row.
inline QImage referenceDots(const QImage &design, const std::vector<Leg> &legs)
{
    const int scanWidth = design.width() - 1;
    const int scanHeight = design.height() - 1;
    QImage picture(scanWidth, scanHeight, QImage::Format_RGB32);
    engine::RandomDot dots;
    std::array<engine::Packed, engine::kRowCapacity> designRow{};
    std::array<std::int32_t, engine::kRowCapacity> depth{};
    std::array<engine::Packed, engine::kRowCapacity> out{};
    for (const Leg &leg : legs) {
        if (leg.from == 0)
            picture.fill(Qt::white);
        dots.begin(leg.params, scanWidth, leg.seed);
        const int to = leg.to < 0 ? scanHeight + 1 : leg.to;
        for (int y = leg.from; y < to; ++y) {
            const auto row = std::span(designRow).first(static_cast<std::size_t>(design.width()));
            lumivex::picture::packRow(design, y, row);
            engine::GetDepthRow(row, scanWidth, depth);
            if (y < scanHeight) {
                const auto outRow = std::span(out).first(static_cast<std::size_t>(scanWidth));
                dots.row(depth, outRow);
                lumivex::picture::unpackRow(outRow, picture, y);
            } else {
                dots.row(depth, {});
            }
        }
    }
    return picture;
}

/// The colour-field picture of a whole run with the parameters.
inline QImage referenceField(const QImage &design, const QImage &field, const engine::FieldParams &params)
{
    const int width = field.width();
    const int height = field.height();
    QImage picture(width, height, QImage::Format_RGB32);
    engine::ColourField run;
    run.begin(params, width);
    std::array<engine::Packed, engine::kRowCapacity> designRow{};
    std::array<engine::Packed, engine::kRowCapacity> fieldRow{};
    std::array<std::int32_t, engine::kRowCapacity> depth{};
    std::array<engine::Packed, engine::kRowCapacity> out{};
    for (int y = 0; y <= height; ++y) {
        std::span<const engine::Packed> designPart;
        if (y < design.height()) {
            designPart = std::span(designRow).first(static_cast<std::size_t>(design.width()));
            lumivex::picture::packRow(design, y, designRow);
        }
        engine::GetDepthRow(designPart, width, depth);
        std::span<const engine::Packed> fieldPart;
        if (y < height) {
            fieldPart = std::span(fieldRow).first(static_cast<std::size_t>(width));
            lumivex::picture::packRow(field, y, fieldRow);
        }
        const auto outRow = std::span(out).first(static_cast<std::size_t>(y < height ? width : 0));
        run.row(depth, fieldPart, outRow);
        if (y < height)
            lumivex::picture::unpackRow(outRow, picture, y);
    }
    return picture;
}

inline engine::DotParams dotParams(bool mono, int kurikaesi = 70, int rittaido = 20, int mitudo = 30)
{
    engine::DotParams params;
    params.kurikaesi = kurikaesi;
    params.rittaido = rittaido;
    params.mitudo = mitudo;
    params.mono = mono;
    return params;
}

/// The conversion controls: start caption, and enabled 開始, 中断, 中止 (menus and buttons agree).
struct Controls
{
    QString caption;
    bool start;
    bool stop;
    bool exit;
};

/// The conversion controls of the main window in one line, to compare with expected().
inline QString describe(MainWindow &window)
{
    QAction *start = window.menuAction(QStringLiteral("mnuConvStart"));
    const auto flag = [](bool on) { return on ? QLatin1Char('1') : QLatin1Char('0'); };
    return start->text() + QLatin1Char(' ') + flag(start->isEnabled())
        + flag(window.isMenuEnabled(QStringLiteral("mnuConvStop")))
        + flag(window.isMenuEnabled(QStringLiteral("mnuConvExit"))) + QStringLiteral(" buttons ")
        + window.button(11)->toolTip() + QLatin1Char(' ') + flag(window.button(11)->isEnabled())
        + flag(window.button(12)->isEnabled()) + flag(window.button(13)->isEnabled());
}

inline QString expected(const Controls &c)
{
    const auto flag = [](bool on) { return on ? QLatin1Char('1') : QLatin1Char('0'); };
    return c.caption + QLatin1Char(' ') + flag(c.start) + flag(c.stop) + flag(c.exit) + QStringLiteral(" buttons ")
        + c.caption + QLatin1Char(' ') + flag(c.start) + flag(c.stop) + flag(c.exit);
}

inline const Controls kRunning{QStringLiteral("継続"), false, true, false};
inline const Controls kPaused{QStringLiteral("継続"), true, false, true};
inline const Controls kEnded{QStringLiteral("開始"), true, false, false};

/// Seeds 1, 2, 3, ... for the runs of a window.
inline void countSeeds(DocumentWindow *document)
{
    auto next = std::make_shared<std::uint64_t>(0);
    document->setSeedSource([next] { return ++*next; });
}

} // namespace runchecks
