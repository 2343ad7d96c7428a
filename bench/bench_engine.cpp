// Throughput of the two conversions, worked row by row as the document window does:
// GetDepthRow, then the row conversion into a row of the stereo picture. The design is 1024 × 768
// (the window's widest picture) or the same drawing scaled to 2480 wide (an A4 page at 300 dpi,
// as the converter makes them). Reported as Mpixel/s of design processed.

#include "engine/colourfield.h"
#include "engine/depth.h"
#include "engine/packedimage.h"
#include "engine/randomdot.h"

#include <benchmark/benchmark.h>

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
        it = made.emplace(width, Pictures{std::move(design), std::move(field)}).first;
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

BENCHMARK_MAIN();
