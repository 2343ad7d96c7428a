// The converter as a user runs it: the whole process, from start to exit, on a generated
// 1024 × 4096 design read from PNG, for each mode (mono, colour, field) and each output format
// (png, bmp), and on a 1024 × 4096 grey depth map (16-bit PNG) converted as smooth depth,
// oversampled four times (the default). Reports the wall time per run and, as counters, the
// process's peak memory (its maximum resident set) and the size of the picture it wrote.
//
// The converter measured is the one built beside this benchmark; LUMIVEX_CONVERT in the
// environment names another (an older build, for a comparison).

#include "engine/depth.h"
#include "engine/packedcolour.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using lumivex::engine::DepthPalette;
using lumivex::engine::Packed;

constexpr int kWidth = 1024;
constexpr int kHeight = 4096;
constexpr int kSourceWidth = 128;

QRgb rgbOf(Packed c)
{
    return qRgb(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff);
}

// A depth drawing as people paint them: a background plane, discs and frames at several
// levels, a staircase, and a band of off-palette colours that the sampling coarsens.
QImage makeDesign()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            int level = 0;
            const int cy = y % 1024, dx = x - 600, dy = cy - 450;
            if (dx * dx + dy * dy < 260 * 260)
                level = dx * dx + dy * dy < 120 * 120 ? 15 : 10;
            else if (x > 60 && x < 360 && cy > 80 && cy < 900)
                level = 1 + (x - 60) / 20 % 15;
            else if ((x / 128 + y / 128) % 3 == 0)
                level = 4;
            line[x] = (x >= 900 && y % 64 < 32) ? qRgb(200, 100, 30) : rgbOf(DepthPalette[level]);
        }
    }
    return image;
}

// A small textured picture (soft colour waves with a little grain), tiled into the field.
QImage makeFieldSource()
{
    QImage image(kSourceWidth, kSourceWidth, QImage::Format_RGB32);
    std::uint32_t grain = 12345;
    for (int y = 0; y < kSourceWidth; ++y) {
        for (int x = 0; x < kSourceWidth; ++x) {
            grain = grain * 1664525u + 1013904223u;
            const int noise = static_cast<int>(grain >> 28) - 8;
            auto wave = [&](double phase) {
                const double v = 128 + 100 * std::sin((x + 2 * y) * 0.09 + phase);
                return std::clamp(static_cast<int>(v) + noise, 0, 255);
            };
            image.setPixel(x, y, qRgb(wave(0), wave(2), wave(4)));
        }
    }
    return image;
}

// A depth map as renderers write them, at 16 bits: domes of several sizes over a plane that
// slopes away from left to right, and a ramp across the whole width every 1024 rows.
QImage makeDepthMap()
{
    QImage image(kWidth, kHeight, QImage::Format_Grayscale16);
    for (int y = 0; y < kHeight; ++y) {
        auto *line = reinterpret_cast<quint16 *>(image.scanLine(y));
        const int cy = y % 1024;
        for (int x = 0; x < kWidth; ++x) {
            double z = 0.25 * (1.0 - double(x) / kWidth);
            for (const auto &[dx, dy, r] : {std::array{300, 300, 240}, std::array{760, 600, 200}, std::array{400, 850, 120}}) {
                const double d2 = double(x - dx) * (x - dx) + double(cy - dy) * (cy - dy);
                if (d2 < double(r) * r)
                    z = std::max(z, 0.3 + 0.7 * std::sqrt(1.0 - d2 / (double(r) * r)));
            }
            if (cy >= 980)
                z = double(x) / (kWidth - 1);
            line[x] = quint16(std::lround(z * 65535));
        }
    }
    return image;
}

struct Inputs
{
    QTemporaryDir dir;
    QString design;
    QString fieldSource;
    QString depthMap;
};

const Inputs &inputs()
{
    static Inputs made;
    if (made.design.isEmpty()) {
        made.design = made.dir.filePath(QStringLiteral("design.png"));
        made.fieldSource = made.dir.filePath(QStringLiteral("source.png"));
        made.depthMap = made.dir.filePath(QStringLiteral("depthmap.png"));
        if (!makeDesign().save(made.design, "PNG") || !makeFieldSource().save(made.fieldSource, "PNG")
            || !makeDepthMap().save(made.depthMap, "PNG"))
            std::abort();
    }
    return made;
}

std::string converterPath()
{
    const char *other = std::getenv("LUMIVEX_CONVERT");
    return other && *other ? std::string(other) : std::string(LUMIVEX_CONVERT);
}

struct Outcome
{
    bool ok = false;
    double peakMegabytes = 0;
};

// Runs the converter through the peak-memory helper and waits for both.
Outcome runConverter(const std::vector<std::string> &args)
{
    std::vector<char *> argv{const_cast<char *>(LUMIVEX_PEAKMEMORY)};
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string printed;
    char buffer[64];
    for (ssize_t n; spawned == 0 && (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        printed.append(buffer, std::size_t(n));
    close(pipeFds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child)
        return {};
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0, std::atof(printed.c_str()) / 1024.0};
}

void BM_Convert(benchmark::State &state, const char *mode, const char *format, bool smooth)
{
    const Inputs &in = inputs();
    const QString output = in.dir.filePath(QStringLiteral("out.") + QLatin1String(format));
    std::vector<std::string> args{converterPath(), "--mode", mode};
    if (smooth)
        args.insert(args.end(), {"--depth", "grey", "--oversample", "4"});
    if (std::string(mode) == "field") {
        args.push_back("--field-source");
        args.push_back(in.fieldSource.toStdString());
    } else {
        args.push_back("--seed");
        args.push_back("7");
    }
    args.push_back((smooth ? in.depthMap : in.design).toStdString());
    args.push_back(output.toStdString());

    double peak = 0;
    for (auto _ : state) {
        const Outcome outcome = runConverter(args);
        if (!outcome.ok) {
            state.SkipWithError("the converter failed");
            return;
        }
        peak = std::max(peak, outcome.peakMegabytes);
    }
    state.counters["peak_MB"] = peak;
    state.counters["file_KB"] = static_cast<double>(QFileInfo(output).size()) / 1024.0;
    state.SetItemsProcessed(state.iterations() * std::int64_t(kWidth) * kHeight);
}

} // namespace

#define LUMIVEX_CONVERT_BENCH(mode, format)                                              \
    BENCHMARK_CAPTURE(BM_Convert, mode##_##format, #mode, #format, false)                 \
        ->Unit(benchmark::kMillisecond)->UseRealTime()
#define LUMIVEX_SMOOTH_BENCH(mode, format)                                               \
    BENCHMARK_CAPTURE(BM_Convert, smooth_##mode##_##format, #mode, #format, true)         \
        ->Unit(benchmark::kMillisecond)->UseRealTime()

LUMIVEX_CONVERT_BENCH(mono, png);
LUMIVEX_CONVERT_BENCH(mono, bmp);
LUMIVEX_CONVERT_BENCH(color, png);
LUMIVEX_CONVERT_BENCH(color, bmp);
LUMIVEX_CONVERT_BENCH(field, png);
LUMIVEX_CONVERT_BENCH(field, bmp);
LUMIVEX_SMOOTH_BENCH(mono, png);
LUMIVEX_SMOOTH_BENCH(color, png);
LUMIVEX_SMOOTH_BENCH(field, png);

BENCHMARK_MAIN();
