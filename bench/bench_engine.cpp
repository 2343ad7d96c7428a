// Throughput of the two conversions on a 1024 × 768 design of several depth levels, worked
// row by row as the document window does: GetDepthRow, then the row conversion into a row
// of the stereo picture. Reported as Mpixel/s of design processed.

#include "engine/colourfield.h"
#include "engine/depth.h"
#include "engine/packedimage.h"
#include "engine/randomdot.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

namespace {

using namespace lumivex::engine;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// A background with a raised frame, a disc, a ramp of steps and a few off-palette colours, so
// that the shift changes often within a row and the gap fill gets real work.
PackedImage makeDesign()
{
    PackedImage design(kWidth, kHeight, DepthPalette[0]);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            Packed c = DepthPalette[0];
            const int dx = x - 600, dy = y - 400;
            if (dx * dx + dy * dy < 200 * 200)
                c = DepthPalette[(dx * dx + dy * dy) < 100 * 100 ? 15 : 10];
            else if (x > 60 && x < 360 && y > 80 && y < 700)
                c = DepthPalette[1 + (x - 60) / 20 % 15];
            else if (x >= 900 && y % 64 < 32)
                c = pack(200, 100, 30);
            else if ((x / 128 + y / 128) % 3 == 0)
                c = DepthPalette[4];
            design.row(y)[x] = c;
        }
    }
    return design;
}

const PackedImage &design()
{
    static const PackedImage d = makeDesign();
    return d;
}

const PackedImage &field()
{
    static const PackedImage f = [] {
        PackedImage source(64, 48);
        for (int y = 0; y < source.height; ++y)
            for (int x = 0; x < source.width; ++x)
                source.row(y)[x] = (x * 7 + y * 13) % 5 == 0 ? 0 : pack(x * 4, y * 5, (x + y) * 2);
        return tileField(source, kWidth, kHeight);
    }();
    return f;
}

void setRate(benchmark::State &state)
{
    const double pixels = static_cast<double>(kWidth) * kHeight;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight);
    state.counters["Mpixel"] = benchmark::Counter(pixels * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_RandomDot(benchmark::State &state, bool mono, int mitudo)
{
    const PackedImage &d = design();
    PackedImage out(kWidth - 1, kHeight - 1);
    std::array<std::int32_t, kRowCapacity> depth{};
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
    setRate(state);
}

void BM_ColourField(benchmark::State &state)
{
    const PackedImage &d = design();
    const PackedImage &f = field();
    PackedImage out(f.width, f.height);
    std::array<std::int32_t, kRowCapacity> depth{};
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
    setRate(state);
}

void BM_GetDepthRow(benchmark::State &state)
{
    const PackedImage &d = design();
    std::array<std::int32_t, kRowCapacity> depth{};
    for (auto _ : state) {
        for (int y = 0; y < d.height; ++y)
            GetDepthRow(d.row(y), d.width - 1, depth);
        benchmark::DoNotOptimize(depth.data());
        benchmark::ClobberMemory();
    }
    setRate(state);
}

} // namespace

BENCHMARK_CAPTURE(BM_RandomDot, mono_density30, true, 30)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RandomDot, mono_density100, true, 100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RandomDot, colour_density30, false, 30)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RandomDot, colour_density100, false, 100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourField)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetDepthRow)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
