// Throughput of the reveal: a 1024 × 768 stereogram (the window's widest picture) back to its
// depth, the repeat width found or given, for each kind of picture we make and for a scanned
// copy, and continuous depth from the classic algorithm. Reported as Mpixel/s of stereogram;
// the aim is 40 and more on one core.

#include "engine/colourfield.h"
#include "engine/depth.h"
#include "engine/packedimage.h"
#include "engine/randomdot.h"
#include "engine/reveal.h"
#include "sirds.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace {

using namespace lumivex::engine;

constexpr int kWidth = 1025, kHeight = 769;  // random dot makes a picture one pixel smaller

// A background with a disc of two levels, a staircase of eight steps, a frame and a few small
// blocks: depth edges on most rows, as a design drawn by hand has them.
PackedImage makeDesign()
{
    PackedImage design(kWidth, kHeight, DepthPalette[0]);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int level = 0;
            const int dx = x - 640, dy = y - 380;
            if (dx * dx + dy * dy < 180 * 180)
                level = dx * dx + dy * dy < 90 * 90 ? 15 : 10;
            else if (x > 80 && x < 400 && y > 100 && y < 680)
                level = 2 + (x - 80) / 40;
            else if ((x < 40 || y < 40 || y > kHeight - 40) && x < 900)
                level = 5;
            else if (x > 480 && x < 860 && (y / 60) % 3 == 0 && (x / 60) % 2 == 0)
                level = 12;
            design.row(y)[x] = DepthPalette[level];
        }
    }
    return design;
}

const PackedImage &design()
{
    static const PackedImage made = makeDesign();
    return made;
}

// Continuous depth: a dome on a slanted plane, drawn by the classic algorithm at four times
// the width with a tiled texture (the reveal refines every pixel's distance).
PackedImage smoothPicture()
{
    std::vector<float> depth, linked;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double r2 = ((x - 500.0) * (x - 500.0) + (y - 380.0) * (y - 380.0)) / (300.0 * 300.0);
            depth.push_back(float(0.4 * x / kWidth + 0.6 * std::max(0.0, 1 - r2)));
        }
    }
    return sirds::draw(kWidth, depth, 180, 4, true, linked);
}

PackedImage picture(int kind)
{
    switch (kind) {
    case 3:
        return smoothPicture();
    case 0:
        return convertRandomDot(design(), {70, 20, 30, true}, 1);
    case 1:
        return convertRandomDot(design(), {70, 20, 30, false}, 1);
    default: {
        std::mt19937 gen(2);
        PackedImage source(160, 120);
        for (Packed &c : source.pixels)
            c = static_cast<Packed>(gen() & 0xffffff);
        return convertField(design(), tileField(source, kWidth, kHeight), {70, 20});
    }
    }
}

// Every channel moved by up to ±16, as a scanner moves it.
PackedImage scanned(PackedImage image)
{
    std::mt19937 gen(3);
    const auto move = [&](int v) { return std::clamp(v + int(gen() % 33) - 16, 0, 255); };
    for (Packed &c : image.pixels)
        c = pack(move(redOf(c)), move(greenOf(c)), move(blueOf(c)));
    return image;
}

void BM_Reveal(benchmark::State &state, int kind, bool given, bool noisy)
{
    const PackedImage stereogram = noisy ? scanned(picture(kind)) : picture(kind);
    std::size_t levels = 0;
    for (auto _ : state) {
        const Reveal reveal = lumivex::engine::reveal(stereogram, {given ? 70 : 0});
        levels = reveal.distances.size();
        benchmark::DoNotOptimize(reveal.depth.pixels.data());
    }
    const double pixels = double(stereogram.width) * stereogram.height;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * pixels));
    state.counters["Mpixel"] = benchmark::Counter(pixels * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["levels"] = double(levels);
}

} // namespace

BENCHMARK_CAPTURE(BM_Reveal, mono, 0, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reveal, colour, 1, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reveal, field, 2, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reveal, mono_width_given, 0, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reveal, mono_scanned, 0, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reveal, field_scanned, 2, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reveal, smooth_texture_4x, 3, false, false)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
