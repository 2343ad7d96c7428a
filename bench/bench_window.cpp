// A 1024 × 768 random-dot conversion in a document window of the shown main window (offscreen),
// with everything the run does per row: the status text, the pending events, the row written
// into the stereo picture and its repaint.
//
// BM_PostedStart measures from the posted 開始 (PostCommand, which arms the window's 50 ms
// command timer) to the end of the run; BM_RunInTick the command tick alone.

#include "docwindow/documentwindow.h"
#include "docwindow/picturebox.h"
#include "prompts/prompts.h"
#include "picture/picture.h"
#include "document/sharedstate.h"
#include "engine/depth.h"
#include "shell/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QSlider>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using lumivex::docwindow::DocumentWindow;
using lumivex::shell::MainWindow;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

/// Nothing is asked during a run; closing at the end answers いいえ.
class NoPrompts : public lumivex::prompts::Prompts
{
public:
    Answer question(QWidget *, const QString &, const QString &) override { return Answer::No; }
    int choose(QWidget *, const QString &, const QString &, const QStringList &, int escape) override { return escape; }
    void exclamation(QWidget *, const QString &, const QString &) override {}
    void information(QWidget *, const QString &, const QString &) override {}
    QString askFile(QWidget *, const lumivex::prompts::FileRequest &) override { return {}; }
};

/// Depth bands, a raised disc and a ramp of steps: the shift changes often within a row.
QImage makeDesign()
{
    using lumivex::engine::DepthPalette;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int level = (x / 128 + y / 128) % 3 == 0 ? 4 : 0;
            const int dx = x - 600, dy = y - 400;
            if (dx * dx + dy * dy < 200 * 200)
                level = dx * dx + dy * dy < 100 * 100 ? 15 : 10;
            else if (x > 60 && x < 360 && y > 80 && y < 700)
                level = 1 + (x - 60) / 20 % 15;
            image.setPixel(x, y, lumivex::picture::unpackPixel(DepthPalette[level]));
        }
    }
    return image;
}

struct Session
{
    NoPrompts prompts;
    lumivex::docwindow::QtPrinter printer;
    lumivex::docwindow::QtClipboard clipboard;
    lumivex::shell::DesktopLauncher launcher;
    std::unique_ptr<MainWindow> window;
    DocumentWindow *document = nullptr;
    int runs = 0;

    Session()
    {
        window = std::make_unique<MainWindow>(lumivex::shell::Services{prompts, printer, clipboard, launcher});
        window->show();
        window->menuAction(QStringLiteral("mnuMono"))->trigger();
        document = window->activeDocument();
        document->setSeedSource([this] { return static_cast<std::uint64_t>(++runs); });
        document->picUra() = makeDesign();
        window->SetConvIdle();
        window->WriteDocState();  // as an insertion leaves it: a finished run reads it back
        QCoreApplication::processEvents();
    }
    ~Session() { window->close(); }
};

Session *g_session = nullptr;

Session &session()
{
    return *g_session;
}

void BM_PostedStart(benchmark::State &state)
{
    Session &s = session();
    for (auto _ : state) {
        const int before = s.runs;
        s.window->PostCommand(lumivex::document::Command::ConvStart);
        while (s.runs == before || s.window->shared().Converting)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (s.document->picAfter()->image().size() != QSize(kWidth - 1, kHeight - 1))
        state.SkipWithError("the stereo picture has the wrong size");
    else if (!s.document->picAfter()->isVisible())
        state.SkipWithError("the stereo picture is not shown");
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PostedStart)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_RunInTick(benchmark::State &state)
{
    Session &s = session();
    for (auto _ : state) {
        s.window->shared().CommandWord = lumivex::document::Command::ConvStart;
        s.document->OnTimer1();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_RunInTick)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Live conversion: from a slider change to the last row shown, with 自動変換 on. The slider
// alternates between two values so that every change is a real one.
void BM_LiveConversion(benchmark::State &state)
{
    Session &s = session();
    QAction *live = s.window->menuAction(QStringLiteral("mnuAutoConvert"));
    live->setChecked(true);
    for (auto _ : state) {
        const int before = s.runs;
        const int value = s.window->slider(1)->value() == 20 ? 21 : 20;
        s.window->slider(1)->setSliderPosition(value);  // as a drag moves it
        while (s.runs == before || s.window->shared().Converting)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    live->setChecked(false);
    if (!s.document->picAfter()->isVisible())
        state.SkipWithError("the stereo picture is not shown");
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_LiveConversion)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // State files go to a folder of the benchmark's own.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    {
        Session s;
        g_session = &s;
        benchmark::RunSpecifiedBenchmarks();
        g_session = nullptr;
    }
    benchmark::Shutdown();
    return 0;
}
