// Throughput of the two conversions, worked row by row as the document window does:
// GetDepthRow, then the row conversion into a row of the stereo picture. The design is 1024 × 768
// (the window's widest picture) or the same drawing scaled to 2480 wide (an A4 page at 300 dpi,
// as the converter makes them). Reported as Mpixel/s of design processed. The smooth conversions
// run over a grey depth map of 1024 × 768 at oversampling 1, 4 and 8; their colour field is
// tiled (its rows repeat down the page), or a picture whose rows all differ.

#include "engine/colourfield.h"
#include "engine/depth.h"
#include "engine/packedimage.h"
#include "engine/randomdot.h"
#include "engine/smoothdepth.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

#include <cstdint>
#include <map>
#include <vector>

namespace {

using namespace lumivex::engine;

constexpr int kWindowWidth = 1024;
constexpr int kPrintWidth = 2480;

// A background with a raised frame, a disc, a ramp of steps and a few off-palette colours, so
// that the shift changes often within a row and the gap fill gets real work. Drawn on a
// 1024-wide grid and scaled to the width asked for; the height keeps the 4:3 shape.
PackedImage makeDesign(int width)
{
    const int height = width * 3 / 4;
    PackedImage design(width, height, DepthPalette[0]);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int u = x * kWindowWidth / width, v = y * kWindowWidth / width;
            Packed c = DepthPalette[0];
            const int dx = u - 600, dy = v - 400;
            if (dx * dx + dy * dy < 200 * 200)
                c = DepthPalette[(dx * dx + dy * dy) < 100 * 100 ? 15 : 10];
            else if (u > 60 && u < 360 && v > 80 && v < 700)
                c = DepthPalette[1 + (u - 60) / 20 % 15];
            else if (u >= 900 && v % 64 < 32)
                c = pack(200, 100, 30);
            else if ((u / 128 + v / 128) % 3 == 0)
                c = DepthPalette[4];
            design.row(y)[x] = c;
        }
    }
    return design;
}

struct Pictures
{
    PackedImage design;
    PackedImage field;
    PackedImage untiledField;
};

const Pictures &pictures(int width)
{
    static std::map<int, Pictures> made;
    auto it = made.find(width);
    if (it == made.end()) {
        PackedImage source(64, 48);
        for (int y = 0; y < source.height; ++y)
            for (int x = 0; x < source.width; ++x)
                source.row(y)[x] = (x * 7 + y * 13) % 5 == 0 ? 0 : pack(x * 4, y * 5, (x + y) * 2);
        PackedImage design = makeDesign(width);
        PackedImage field = tileField(source, design.width, design.height);
        PackedImage untiled(design.width, design.height);
        for (int y = 0; y < untiled.height; ++y) {
            for (int x = 0; x < untiled.width; ++x) {
                const std::uint32_t h = (static_cast<std::uint32_t>(x) * 2654435761u) ^ (y * 40503u + 17u) * 2246822519u;
                untiled.row(y)[x] = h >> 7 & 1 ? pack(x / 4 % 256, y / 3 % 256, h >> 12 & 255) : 0;
            }
        }
        it = made.emplace(width, Pictures{std::move(design), std::move(field), std::move(untiled)}).first;
    }
    return it->second;
}

void setRate(benchmark::State &state, const PackedImage &design)
{
    const double pixels = static_cast<double>(design.width) * design.height;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * design.width * design.height);
    state.counters["Mpixel"] = benchmark::Counter(pixels * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_RandomDot(benchmark::State &state, bool mono, int mitudo, int width)
{
    const PackedImage &d = pictures(width).design;
    PackedImage out(d.width - 1, d.height - 1);
    std::vector<std::int32_t> depth(static_cast<std::size_t>(d.width));
    RandomDot dots;
    const DotParams params{70, 20, mitudo, mono};
    std::uint64_t seed = 1;
    for (auto _ : state) {
        const int scanWidth = d.width - 1;
        dots.begin(params, scanWidth, seed++);
        for (int y = 0; y < d.height; ++y) {
            GetDepthRow(d.row(y), scanWidth, depth);
            dots.row(depth, y < out.height ? out.row(y) : std::span<Packed>{});
        }
        benchmark::DoNotOptimize(out.pixels.data());
        benchmark::ClobberMemory();
    }
    setRate(state, d);
}

void BM_ColourField(benchmark::State &state, int width)
{
    const PackedImage &d = pictures(width).design;
    const PackedImage &f = pictures(width).field;
    PackedImage out(f.width, f.height);
    std::vector<std::int32_t> depth(static_cast<std::size_t>(f.width) + 1);
    ColourField conv;
    for (auto _ : state) {
        const int scanWidth = f.width;
        conv.begin(FieldParams{70, 20}, scanWidth);
        for (int y = 0; y <= f.height; ++y) {
            GetDepthRow(d.row(y), scanWidth, depth);
            conv.row(depth, f.row(y), y < out.height ? out.row(y) : std::span<Packed>{});
        }
        benchmark::DoNotOptimize(out.pixels.data());
        benchmark::ClobberMemory();
    }
    setRate(state, d);
}

void BM_GetDepthRow(benchmark::State &state)
{
    const PackedImage &d = pictures(kWindowWidth).design;
    std::vector<std::int32_t> depth(static_cast<std::size_t>(d.width));
    for (auto _ : state) {
        for (int y = 0; y < d.height; ++y)
            GetDepthRow(d.row(y), d.width - 1, depth);
        benchmark::DoNotOptimize(depth.data());
        benchmark::ClobberMemory();
    }
    setRate(state, d);
}

// A grey depth map as renderers write them: a shallow ramp behind a dome and a tilted plate,
// so that the separation changes by a fraction of a pixel at almost every column.
const PackedImage &smoothDesign()
{
    static const PackedImage design = [] {
        PackedImage d(kWindowWidth, kWindowWidth * 3 / 4);
        for (int y = 0; y < d.height; ++y) {
            for (int x = 0; x < d.width; ++x) {
                const double dx = (x - 600) / 220.0, dy = (y - 380) / 220.0;
                double z = 0.2 * x / d.width;
                if (dx * dx + dy * dy < 1)
                    z = std::max(z, std::sqrt(1 - dx * dx - dy * dy));
                else if (x > 80 && x < 380 && y > 100 && y < 660)
                    z = 0.3 + 0.5 * (y - 100) / 560.0;
                const int g = static_cast<int>(std::lround(z * 255));
                d.row(y)[x] = pack(g, g, g);
            }
        }
        return d;
    }();
    return design;
}

// Smooth conversions of the grey design, reported as Mpixel/s of the picture drawn.
void BM_Smooth(benchmark::State &state, int kind, int oversample, SmoothStart start)
{
    const PackedImage &d = smoothDesign();
    const bool field = kind >= 2;
    const PackedImage &f = kind == 3 ? pictures(kWindowWidth).untiledField : pictures(kWindowWidth).field;
    const int scanWidth = field ? f.width : d.width - 1;
    PackedImage out(scanWidth, field ? f.height : d.height - 1);
    std::vector<std::uint16_t> depth(static_cast<std::size_t>(scanWidth) + 1);
    SmoothDot dots;
    SmoothField conv;
    const SmoothOptions options{oversample, start};
    std::uint64_t seed = 1;
    for (auto _ : state) {
        if (field)
            conv.begin(FieldParams{70, 20}, options, scanWidth);
        else
            dots.begin(DotParams{70, 20, 30, kind == 0}, options, scanWidth, seed++);
        for (int y = 0; y <= out.height; ++y) {
            GetSmoothDepthRow(d.row(y), scanWidth, depth);
            const std::span<Packed> row = y < out.height ? out.row(y) : std::span<Packed>{};
            if (field)
                conv.row(depth, f.row(y), row);
            else
                dots.row(depth, row);
        }
        benchmark::DoNotOptimize(out.pixels.data());
        benchmark::ClobberMemory();
    }
    setRate(state, out);
}

} // namespace

BENCHMARK_CAPTURE(BM_RandomDot, mono_density30, true, 30, kWindowWidth)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RandomDot, mono_density100, true, 100, kWindowWidth)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RandomDot, colour_density30, false, 30, kWindowWidth)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RandomDot, colour_density100, false, 100, kWindowWidth)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ColourField, window, kWindowWidth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetDepthRow)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RandomDot, mono_density30_print, true, 30, kPrintWidth)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RandomDot, colour_density30_print, false, 30, kPrintWidth)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ColourField, print, kPrintWidth)->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_Smooth, mono_q1, 0, 1, SmoothStart::Left)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Smooth, colour_q1, 1, 1, SmoothStart::Left)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Smooth, field_q1, 2, 1, SmoothStart::Left)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Smooth, mono_q4, 0, 4, SmoothStart::Left)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Smooth, colour_q4, 1, 4, SmoothStart::Left)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Smooth, field_q4, 2, 4, SmoothStart::Left)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Smooth, mono_q4_centre, 0, 4, SmoothStart::Centre)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Smooth, colour_q4_centre, 1, 4, SmoothStart::Centre)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Smooth, field_q4_centre, 2, 4, SmoothStart::Centre)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Smooth, field_q4_untiled, 3, 4, SmoothStart::Left)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Smooth, colour_q8, 1, 8, SmoothStart::Left)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
