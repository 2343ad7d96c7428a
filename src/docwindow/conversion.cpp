// The two conversions inside their run frame: one row at a time, with the user interface
// processing pending events before every row, so that pause, abort and close can reach the loop.
#include "documentwindow.h"

#include "mainfacade.h"
#include "pane.h"
#include "picturebox.h"

#include "document/inifile.h"
#include "picture/picture.h"
#include "document/sharedstate.h"
#include "engine/depth.h"
#include "engine/depthreach.h"
#include "engine/smoothdepth.h"

#include <QCoreApplication>

namespace lumivex::docwindow {

namespace {

// The status texts of a run, translated when the run starts.
const char kDotRunning[] = QT_TRANSLATE_NOOP("lumivex::docwindow::DocumentWindow", "ランダムドット変換中です。しばらくお待ちください...");
const char kDotPaused[] = QT_TRANSLATE_NOOP("lumivex::docwindow::DocumentWindow", "ランダムドット変換を中断しています...");
const char kFieldRunning[] = QT_TRANSLATE_NOOP("lumivex::docwindow::DocumentWindow", "カラーフィールド変換中です。しばらくお待ちください...");
const char kFieldPaused[] = QT_TRANSLATE_NOOP("lumivex::docwindow::DocumentWindow", "カラーフィールド変換を中断しています...");

// A smooth design's rows are built at four times their width and start at the left edge, as the
// classic conversion's do. A design whose greys all lie on the sixteen levels (level × 17) has only
// whole-pixel separations: oversampling would add no depth to it, only soften its dots, so it is
// built at whole pixels and gives exactly the picture of the same design in the depth colours.
engine::SmoothOptions smoothOptions(const QImage &design)
{
    const engine::PackedImage packed = picture::toPacked(design);
    for (const engine::Packed pixel : packed.pixels) {
        if (engine::smoothDepth(pixel) % engine::kSmoothPerLevel != 0)
            return {4, engine::SmoothStart::Left};
    }
    return {1, engine::SmoothStart::Left};
}

int readParameter(const QString &stateFile, const char *key, int fallback)
{
    return document::iniReadInt(stateFile, QString::fromLatin1(document::kSection), QString::fromLatin1(key),
                                fallback);
}

// The row buffers hold at most kRowCapacity positions; insertion never lets a wider picture in.
QImage forRows(const QImage &image, int maxWidth)
{
    QImage result = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    if (result.width() > maxWidth)
        result = result.copy(0, 0, maxWidth, result.height());
    return result;
}

} // namespace

void DocumentWindow::setRunLock(bool locked)
{
    m_main.lockDocuments(this, locked);
}

void DocumentWindow::beginRun(int &resumeRow)
{
    document::SharedState &s = m_main.shared();
    // A close refused earlier must not stop the new run at its first row.
    Unloading = false;
    setRunLock(true);
    m_runHeld = true;
    m_looping = true;
    s.Converting = true;
    m_main.report({DocumentEvent::Kind::RunStarted});
    if (s.AbortRequested) {
        s.AbortRequested = false;
        s.PauseRequested = false;
        resumeRow = 0;
    }
    if (resumeRow == 0) {
        picAfter()->clearImage();
        // The stereo picture drawn now is in no file: the project must not name the one it
        // replaces (the run's end reads the paths back from the state file).
        if (!s.StereoImagePath.isEmpty()) {
            s.StereoImagePath.clear();
            QString reason;
            const bool written = document::iniWriteString(s.StateFilePath, QString::fromLatin1(document::kSection),
                                                          QStringLiteral("PicStereoPath"), QString(), &reason);
            stateWritten(s.StateFilePath, written, reason);
        }
    }
}

DocumentWindow::RunStep DocumentWindow::rowCheck(int row, int &resumeRow, const QString &runningText,
                                                 const QString &pausedText)
{
    document::SharedState &s = m_main.shared();
    m_main.setStatusText(1, runningText);
    QCoreApplication::processEvents();
    if (s.PauseRequested) {
        s.PauseRequested = false;
        resumeRow = row;
        m_looping = false;
        m_main.report({DocumentEvent::Kind::RunPaused});
        m_main.setStatusText(1, pausedText);
        return RunStep::Paused;
    }
    if (Unloading) {
        Unloading = false;
        m_looping = false;
        return RunStep::Unloaded;
    }
    return RunStep::Row;
}

void DocumentWindow::endRun(int &resumeRow)
{
    document::SharedState &s = m_main.shared();
    resumeRow = 0;
    s.Converting = false;
    m_runHeld = false;
    m_looping = false;
    setRunLock(false);
    m_main.report({DocumentEvent::Kind::RunEnded});
    m_main.setStatusText(1, s.StateFilePath);
}

void DocumentWindow::releaseAfterUnload(int &resumeRow)
{
    // The window is closing (or was asked to): the other windows must not stay locked, and if
    // the close was refused this window stays usable and its next start begins afresh.
    document::SharedState &s = m_main.shared();
    resumeRow = 0;
    s.Converting = false;
    m_runHeld = false;
    setRunLock(false);
    if (!m_closed) {
        m_main.report({DocumentEvent::Kind::RunReleased});
        m_main.setStatusText(1, s.StateFilePath);
    }
}

void DocumentWindow::releaseClosedRun()
{
    // A paused run of a window that is going away: nothing will continue it, so the other
    // windows and the conversion flag are freed here.
    m_main.shared().Converting = false;
    m_runHeld = false;
    DotResumeRow = 0;
    FieldResumeRow = 0;
    setRunLock(false);
}

void DocumentWindow::abortRun()
{
    picAfter()->setImage(QImage());
    picAfter()->hide();
    picAfter()->resize(1, 1);
    m_runHeld = false;
}

void DocumentWindow::showSize(int width, int height)
{
    m_main.setStatusText(5, QString::number(width) + QStringLiteral(" \u00d7 ") + QString::number(height));
}

int DocumentWindow::nearestDesignLevel() const
{
    if (m_picUra.isNull())
        return -1;
    // Worked out once per design picture: the parameter strip asks at every slider step.
    const bool smooth = m_main.shared().DesignDepth == document::DepthKind::Grey;
    const bool invert = m_main.shared().InvertDepth;
    if (m_levelKey != m_picUra.cacheKey() || m_levelSmooth != smooth || m_levelInverted != invert) {
        const engine::PackedImage packed = picture::toPacked(m_picUra);
        if (smooth) {
            // The level at or beyond the nearest grey: a smooth depth between two levels is
            // shifted more than the lower one, and a hole it makes must not go unmentioned.
            const int nearest = engine::nearestSmoothDepth(packed.pixels, invert);
            m_nearestLevel = (nearest + engine::kSmoothPerLevel - 1) / engine::kSmoothPerLevel;
            m_nearestSmooth = nearest;
            m_smoothOversample = smoothOptions(m_picUra).oversample;  // the run's own factor
        } else {
            m_nearestLevel = engine::nearestLevel(packed.pixels, invert);
        }
        m_levelKey = m_picUra.cacheKey();
        m_levelSmooth = smooth;
        m_levelInverted = invert;
    }
    return m_nearestLevel;
}

QString DocumentWindow::fieldSizeNote() const
{
    if (m_main.shared().ModeWord != document::Mode::Field || m_picUra.isNull() || m_picUraField.isNull())
        return {};
    const QSize field = m_picUraField.size();
    if (field.width() >= m_picUra.width() && field.height() >= m_picUra.height())
        return {};
    // A first line that fits the status bar at the window's first size; the whole sentence is its tooltip.
    return tr("ステレオ画像 %1×%2（フィールドの大きさ）").arg(field.width()).arg(field.height()) + u'\n'
        + tr("ステレオ画像は %1 × %2（フィールド画像の大きさ）になります。").arg(field.width()).arg(field.height());
}

void DocumentWindow::ConvRandomDot()
{
    const std::uint64_t seed = m_seedSource ? m_seedSource() : engine::UniformRandom::clockSeed();
    beginRun(DotResumeRow);
    const document::SharedState &s = m_main.shared();
    engine::DotParams params;
    params.kurikaesi = readParameter(s.StateFilePath, "KurikaesiHaba", 70);
    params.rittaido = readParameter(s.StateFilePath, "Rittaido", 20);
    params.mitudo = readParameter(s.StateFilePath, "Mitudo", 30);
    params.mono = s.ColourWord == document::Colour::Mono;

    m_picUra = forRows(m_picUra, engine::kRowCapacity);
    const int designWidth = m_picUra.width();
    const int scanWidth = designWidth - 1;
    const int scanHeight = m_picUra.height() - 1;
    PictureBox *after = picAfter();
    after->resizeImage(scanWidth, scanHeight);
    after->show();
    showSize(scanWidth, scanHeight);
    picContAfter()->layoutScroll();

    const bool smooth = s.DesignDepth == document::DepthKind::Grey;
    const bool invert = s.InvertDepth;  // near becomes far, as the converter's --invert
    if (smooth)
        m_smoothDots.begin(params, smoothOptions(m_picUra), std::max(scanWidth, 0), seed);
    else
        m_dots.begin(params, std::max(scanWidth, 0), seed);
    const auto convertRow = [&](std::span<const engine::Packed> designRow, std::span<engine::Packed> outRow) {
        if (smooth) {
            engine::GetSmoothDepthRow(designRow, scanWidth, m_smoothRow, invert);
            m_smoothDots.row(m_smoothRow, outRow);
        } else {
            engine::GetDepthRow(designRow, scanWidth, m_depthRow, invert);
            m_dots.row(m_depthRow, outRow);
        }
    };
    std::array<engine::Packed, engine::kRowCapacity> design{};
    std::array<engine::Packed, engine::kRowCapacity> out{};
    const QString running = tr(kDotRunning);
    const QString paused = tr(kDotPaused);
    for (int y = DotResumeRow; y <= scanHeight; ++y) {
        switch (rowCheck(y, DotResumeRow, running, paused)) {
        case RunStep::Paused:
            return;
        case RunStep::Unloaded:
            releaseAfterUnload(DotResumeRow);
            return;
        case RunStep::Row:
            break;
        }
        const auto designRow = std::span(design).first(static_cast<std::size_t>(designWidth));
        picture::packRow(m_picUra, y, designRow);
        if (y < scanHeight) {
            const auto outRow = std::span(out).first(static_cast<std::size_t>(scanWidth));
            convertRow(designRow, outRow);
            picture::unpackRow(outRow, after->image(), y);
            after->rowChanged(y);
        } else {
            convertRow(designRow, {});
        }
    }
    endRun(DotResumeRow);
}

void DocumentWindow::ConvField()
{
    beginRun(FieldResumeRow);
    const document::SharedState &s = m_main.shared();
    engine::FieldParams params;
    params.kurikaesi = readParameter(s.StateFilePath, "KurikaesiHaba", 70);
    params.rittaido = readParameter(s.StateFilePath, "Rittaido", 20);

    m_picUra = forRows(m_picUra, engine::kRowCapacity);
    const int scanWidth = std::min(m_picUraField.width(), engine::kMaxWidth);
    const int scanHeight = m_picUraField.height();
    const QImage field = forRows(picField()->image(), scanWidth);
    const int designWidth = m_picUra.width();
    const int fieldWidth = field.width();
    PictureBox *after = picAfter();
    after->resizeImage(scanWidth, scanHeight);
    after->show();
    showSize(scanWidth, scanHeight);
    picContAfter()->layoutScroll();

    const bool smooth = s.DesignDepth == document::DepthKind::Grey;
    const bool invert = s.InvertDepth;  // near becomes far, as the converter's --invert
    if (smooth)
        m_smoothField.begin(params, smoothOptions(m_picUra), scanWidth);
    else
        m_field.begin(params, scanWidth);
    const auto convertRow = [&](std::span<const engine::Packed> designRow, std::span<const engine::Packed> colours,
                                std::span<engine::Packed> outRow) {
        if (smooth) {
            engine::GetSmoothDepthRow(designRow, scanWidth, m_smoothRow, invert);
            m_smoothField.row(m_smoothRow, colours, outRow);
        } else {
            engine::GetDepthRow(designRow, scanWidth, m_depthRow, invert);
            m_field.row(m_depthRow, colours, outRow);
        }
    };
    std::array<engine::Packed, engine::kRowCapacity> design{};
    std::array<engine::Packed, engine::kRowCapacity> fieldRow{};
    std::array<engine::Packed, engine::kRowCapacity> out{};
    // A stereo picture smaller than the design is no surprise when the status bar says so.
    const QString note = fieldSizeNote();
    const QString running = note.isEmpty() ? tr(kFieldRunning) : tr(kFieldRunning) + u'\n' + note.section(u'\n', 1);
    const QString paused = tr(kFieldPaused);
    for (int y = FieldResumeRow; y <= scanHeight; ++y) {
        switch (rowCheck(y, FieldResumeRow, running, paused)) {
        case RunStep::Paused:
            return;
        case RunStep::Unloaded:
            releaseAfterUnload(FieldResumeRow);
            return;
        case RunStep::Row:
            break;
        }
        std::span<const engine::Packed> designRow;
        if (y < m_picUra.height()) {
            designRow = std::span(design).first(static_cast<std::size_t>(designWidth));
            picture::packRow(m_picUra, y, design);
        }
        std::span<const engine::Packed> colours;
        if (y < field.height()) {
            colours = std::span(fieldRow).first(static_cast<std::size_t>(fieldWidth));
            picture::packRow(field, y, fieldRow);
        }
        if (y < scanHeight) {
            const auto outRow = std::span(out).first(static_cast<std::size_t>(scanWidth));
            convertRow(designRow, colours, outRow);
            picture::unpackRow(outRow, after->image(), y);
            after->rowChanged(y);
        } else {
            convertRow(designRow, colours, {});
        }
    }
    endRun(FieldResumeRow);
}

} // namespace lumivex::docwindow
