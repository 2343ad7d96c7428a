#include "designs.h"

#include "engine/depth.h"
#include "engine/packedimage.h"
#include "engine/smoothdepth.h"
#include "engine/stereocheck.h"

#include <QTest>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <set>

using namespace lumivex::engine;

namespace {

enum Kind { Mono, Colour, Field };
using DepthAt = std::function<int(int x, int y)>;

// The field of a run: random, or with its first tileRows rows repeated down the picture.
PackedImage runField(int width, int height, int blackShare, int tileRows = 0)
{
    return tileRows > 0 ? tileField(designs::field(width, tileRows, 3, blackShare), width, height)
                        : designs::field(width, height, 3, blackShare);
}

// A run over a depth of width × height (the picture is one column and one row smaller for
// the dots, the field's size for the field) with K 70 and seed 7. The field's conversion is
// one object for all runs, as a window keeps it from one conversion to the next.
PackedImage smoothRun(Kind kind, int width, int height, int rittaido, SmoothOptions options, const DepthAt &z,
                      int blackShare = 9, int tileRows = 0)
{
    const PackedImage field = runField(width, height, blackShare, tileRows);
    const int scanWidth = kind == Field ? width : width - 1;
    PackedImage out(scanWidth, kind == Field ? height : height - 1);
    std::vector<std::uint16_t> depth(static_cast<std::size_t>(scanWidth) + 1);
    SmoothDot dots;
    static SmoothField conv;
    dots.begin({70, rittaido, 40, kind == Mono}, options, scanWidth, 7);
    conv.begin({70, rittaido}, options, scanWidth);
    for (int y = 0; y <= out.height; ++y) {
        for (int x = 0; x <= scanWidth; ++x)
            depth[x] = static_cast<std::uint16_t>(z(x, y));
        const std::span<Packed> row = y < out.height ? out.row(y) : std::span<Packed>{};
        kind == Field ? conv.row(depth, field.row(y), row) : dots.row(depth, row);
    }
    return out;
}

// The separation of row y in pixels: the offset d whose copy differs least, refined between
// d and its better neighbour by their differences, which grow with the distance to the
// separation.
double separationOf(const PackedImage &p, int y, int lowest, int highest)
{
    const auto difference = [&](int d) {
        long sum = 0;
        for (int x = 0; x + d < p.width; ++x)
            for (const int part : {0, 8, 16})
                sum += std::abs((p.at(x, y) >> part & 255) - (p.at(x + d, y) >> part & 255));
        return static_cast<double>(sum);
    };
    int best = lowest;
    for (int d = lowest; d <= highest; ++d)
        best = difference(d) < difference(best) ? d : best;
    const int low = difference(best - 1) < difference(best + 1) ? best - 1 : best;
    const double a = difference(low), b = difference(low + 1);
    return a + b > 0 ? low + a / (a + b) : low;
}

} // namespace

class TstSmoothDepth : public QObject
{
    Q_OBJECT

private slots:
    void sameAsSixteenLevels_data();
    void sameAsSixteenLevels();
    void flatDepthRepeats_data();
    void flatDepthRepeats();
    void rampHasSubPixelSteps_data();
    void rampHasSubPixelSteps();
    void fieldIsPlainLinksAtSubPixels();
    void checkFollowsItsFormulas_data();
    void checkFollowsItsFormulas();
};

void TstSmoothDepth::sameAsSixteenLevels_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("rittaido");
    QTest::newRow("mono dots") << int(Mono) << 20;
    QTest::newRow("colour dots, halves rounded to even") << int(Colour) << 5;
    QTest::newRow("field, strong") << int(Field) << 35;
}

void TstSmoothDepth::sameAsSixteenLevels()
{
    // Whole pixels from the left: the depths L × 4369 give the picture of levels L, row after
    // row (the shift carried over included), with the same parameters and seed.
    QFETCH(int, kind);
    QFETCH(int, rittaido);
    const PackedImage design = designs::noise(300, 40, 5);
    const auto z = [&](int x, int y) { return depthLevel(design.at(x, y)) * kSmoothPerLevel; };
    const PackedImage smooth = smoothRun(Kind(kind), 300, 40, rittaido, {1, SmoothStart::Left}, z);
    const PackedImage levels = kind == Field ? convertField(design, designs::field(300, 40, 3, 9), {70, rittaido})
                                             : convertRandomDot(design, {70, rittaido, 40, kind == Mono}, 7);
    QCOMPARE(smooth.pixels, levels.pixels);
}

void TstSmoothDepth::flatDepthRepeats_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("oversample");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("strip");  // the first column of the strip the links start from
    QTest::addColumn<int>("tileRows");  // the field's rows repeat (0: they do not)
    QTest::addColumn<int>("rows");
    for (const int q : {2, 4, 8}) {
        QTest::addRow("mono far q%d", q) << int(Mono) << q << 0 << 0 << 70 << 0 << 0 << 6;
        QTest::addRow("colour level 5 q%d", q) << int(Colour) << q << 0 << 5 * kSmoothPerLevel << 60 << 0 << 0 << 6;
    }
    QTest::newRow("field far q4") << int(Field) << 4 << 0 << 0 << 70 << 0 << 0 << 6;
    QTest::newRow("mono centre q4") << int(Mono) << 4 << 1 << 0 << 70 << 114 << 0 << 6;
    QTest::newRow("colour centre q2") << int(Colour) << 2 << 1 << 6 * kSmoothPerLevel << 58 << 114 << 0 << 6;
    QTest::newRow("field centre q1") << int(Field) << 1 << 1 << 3 * kSmoothPerLevel << 64 << 115 << 0 << 6;
    QTest::newRow("field left q1") << int(Field) << 1 << 0 << 3 * kSmoothPerLevel << 64 << 0 << 0 << 6;
    // Tiled fields after runs at other widths, and at four times the width after once.
    QTest::newRow("field tiled centre q1") << int(Field) << 1 << 1 << 3 * kSmoothPerLevel << 64 << 115 << 2 << 6;
    QTest::newRow("field tiled q4") << int(Field) << 4 << 0 << 0 << 70 << 0 << 2 << 6;
    // More rows of a field that never repeats than the run keeps sampled: the later rows are
    // sampled afresh and must not show an earlier row's field or links.
    QTest::newRow("field untiled q4, past the kept rows") << int(Field) << 4 << 0 << 0 << 70 << 0 << 0 << 800;
}

void TstSmoothDepth::flatDepthRepeats()
{
    // A flat depth repeats at exactly its separation on both sides of the strip (where a
    // black dot copied into the strip is drawn afresh); a field's own pixels lie in the strip.
    QFETCH(int, kind);
    QFETCH(int, oversample);
    QFETCH(int, start);
    QFETCH(int, depth);
    QFETCH(int, period);
    QFETCH(int, strip);
    QFETCH(int, tileRows);
    QFETCH(int, rows);
    const SmoothOptions options{oversample, start ? SmoothStart::Centre : SmoothStart::Left};
    const PackedImage p = smoothRun(Kind(kind), 300, rows, 20, options, [=](int, int) { return depth; }, 0, tileRows);
    const PackedImage field = runField(300, rows, 0, tileRows);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x + period < p.width; ++x) {
            if (x + period < strip || x + period > strip + 70)
                QCOMPARE(p.at(x + period, y), p.at(x, y));
        }
        for (int x = strip; kind == Field && oversample == 1 && x < strip + period; ++x)
            QCOMPARE(p.at(x, y), field.at(x, y));
        // At four times the width the strip reads the field at its sub-pixels' centres, 3/8
        // and 1/8 of a column to either side, and averages them.
        const auto sampled = [&](int x, int (*of)(Packed)) {
            const int own = of(field.at(x, y)), left = of(field.at(std::max(x - 1, 0), y));
            const int right = of(field.at(x + 1, y));
            const auto mix = [own](int other, int w) { return (own * (256 - w) + other * w + 128) >> 8; };
            return (mix(left, 96) + mix(left, 32) + mix(right, 32) + mix(right, 96) + 2) >> 2;
        };
        for (int x = strip; kind == Field && oversample == 4 && x < strip + period; ++x)
            QCOMPARE(p.at(x, y), pack(sampled(x, redOf), sampled(x, greenOf), sampled(x, blueOf)));
    }
}

void TstSmoothDepth::rampHasSubPixelSteps_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("oversample");
    QTest::newRow("mono q4") << int(Mono) << 4;
    QTest::newRow("colour q4") << int(Colour) << 4;
    QTest::newRow("colour q2") << int(Colour) << 2;
    QTest::newRow("field q4") << int(Field) << 4;
}

void TstSmoothDepth::rampHasSubPixelSteps()
{
    // Depth rising row by row from far to near: oversampling q gives q times as many distinct
    // separations, read back to a quarter pixel from the picture.
    QFETCH(int, kind);
    QFETCH(int, oversample);
    const auto steps = [&](int q) {
        const PackedImage p = smoothRun(Kind(kind), 600, 160, 10, {q, SmoothStart::Left},
                                        [](int, int y) { return std::min(y * kSmoothNear / 158, kSmoothNear); });
        std::set<long> found;
        for (int y = 0; y < p.height; ++y)
            found.insert(std::lround(4 * separationOf(p, y, 54, 71)));
        return static_cast<int>(found.size()) - 1;
    };
    const int whole = steps(1);
    QCOMPARE(whole, 15);
    QVERIFY2(steps(oversample) >= oversample * whole, qPrintable(QString::number(steps(oversample))));
}

void TstSmoothDepth::fieldIsPlainLinksAtSubPixels()
{
    // The field from its description: q positions a column, each no link reached reading the field between the two
    // nearest column centres, passing its colour on by its link; a column their mean (within 2: the engine rounds).
    const int width = 300;
    const auto z = [](int x, int y) { return std::min((x * 4 + y * 97) * kSmoothNear / (width * 5), kSmoothNear); };
    const PackedImage field = runField(width, 12, 0);
    for (const int q : {2, 4, 8}) {
        const PackedImage p = smoothRun(Field, width, 12, 20, {q, SmoothStart::Left}, z, 0);
        for (int y = 0; y < p.height; ++y) {
            std::vector<std::array<double, 3>> colour(q * (width + 1));
            std::vector<bool> linked(colour.size());
            for (int i = 0; i < q * width; ++i) {
                const double u = (i + 0.5) / q - 0.5, t = u - std::floor(u);
                const int a = static_cast<int>(std::floor(u));
                for (int c = 0; c < 3 && !linked[i]; ++c)
                    colour[i][c] = (field.at(std::clamp(a, 0, width - 1), y) >> 8 * c & 255) * (1 - t)
                                   + (field.at(std::clamp(a + 1, 0, width - 1), y) >> 8 * c & 255) * t;
                const std::size_t to = i + q * 70 - std::lrint(2.0 * 15 * q * z(i / q, y) / kSmoothNear);
                if (to < colour.size())
                    colour[to] = colour[i], linked[to] = true;
            }
            for (int i = 0; i < 3 * p.width; ++i) {
                const int x = i / 3, c = i % 3;
                const double mean =
                    std::accumulate(&colour[q * x], &colour[q * (x + 1)], 0.0, [c](double m, const auto &v) { return m + v[c]; });
                if (std::abs((p.at(x, y) >> 8 * c & 255) - mean / q) > 2)
                    QFAIL(qPrintable(QStringLiteral("q %1 row %2 column %3").arg(q).arg(y).arg(x)));
            }
        }
    }
}

void TstSmoothDepth::checkFollowsItsFormulas_data()
{
    // A design 200 wide of the depths far on the left half and near on the right (a step), or
    // (ramp) a ramp from far to near; oversample 0: the sixteen levels. Separations in steps.
    QTest::addColumn<QList<int>>("design"); // oversample, repeat, strength, far, near, ramp
    QTest::addColumn<double>("dpi");        // 0: none
    QTest::addColumn<QList<int>>("expected"); // distinct depths, far and near separation, one-eye pixels a row
    QTest::addColumn<QString>("warnings");
    QTest::addColumn<double>("arcsec"); // 0: not checked
    // A step hides (far - near) / 2 pixels left of it from the right eye.
    QTest::newRow("levels 0 to 15") << QList{0, 70, 20, 0, 15, 0} << 0.0 << QList{16, 70, 40, 15} << "" << 0.0;
    // Half a pixel a level, rounded to even: 0 0 1 2 2 2 3 4 4 4 5 6 6 6 7 8.
    QTest::newRow("levels, strength 5") << QList{0, 70, 5, 0, 15, 0} << 0.0 << QList{9, 70, 62, 4} << "" << 0.0;
    QTest::newRow("double images at half") << QList{0, 60, 20, 0, 15, 0} << 0.0 << QList{16, 60, 30, 15} << "double" << 0.0;
    QTest::newRow("none past half") << QList{0, 61, 20, 0, 15, 0} << 0.0 << QList{16, 61, 31, 15} << "" << 0.0;
    QTest::newRow("smooth step, q 4") << QList{4, 70, 20, 0, 65535, 0} << 0.0 << QList{121, 280, 160, 15} << "" << 0.0;
    QTest::newRow("smooth half step, q 8") << QList{8, 70, 20, 0, 32768, 0} << 0.0 << QList{121, 560, 440, 7} << "" << 0.0;
    QTest::newRow("smooth ramp, q 4") << QList{4, 70, 20, 0, 65535, 1} << 0.0 << QList{121, 280, 160, 0} << "" << 0.0;
    QTest::newRow("smooth ramp, q 1") << QList{1, 70, 20, 0, 65535, 1} << 0.0 << QList{31, 70, 40, 0} << "" << 0.0;
    // At 25.4 dpi a pixel is a millimetre.
    QTest::newRow("60 mm") << QList{0, 60, 20, 0, 0, 0} << 25.4 << QList{1, 60, 60, 0} << "" << 0.0;
    QTest::newRow("61 mm") << QList{0, 61, 20, 0, 0, 0} << 25.4 << QList{1, 61, 61, 0} << "wide" << 0.0;
    QTest::newRow("15 mm") << QList{0, 15, 20, 0, 0, 0} << 25.4 << QList{1, 15, 15, 0} << "" << 0.0;
    QTest::newRow("14 mm") << QList{0, 14, 20, 0, 0, 0} << 25.4 << QList{1, 14, 14, 0} << "narrow" << 0.0;
    // At the eyes' separation the rays are parallel: a millimetre nearer turns them by 2 atan(1 / 800).
    QTest::newRow("parallel") << QList{0, 65, 20, 0, 0, 0} << 25.4 << QList{1, 65, 65, 0} << "wide" << 515.6617;
    // A quarter pixel at 96 dpi: about 0.0661 mm / 400 mm, a little less off the middle.
    QTest::newRow("screen, q 4") << QList{4, 70, 20, 0, 0, 0} << 0.0 << QList{1, 280, 280, 0} << "" << 33.9943;
}

void TstSmoothDepth::checkFollowsItsFormulas()
{
    QFETCH(QList<int>, design);
    QFETCH(double, dpi);
    QFETCH(QList<int>, expected);
    QFETCH(QString, warnings);
    QFETCH(double, arcsec);
    StereoSurvey survey({.kurikaesi = design[1], .rittaido = design[2], .smooth = design[0] > 0, .oversample = design[0],
                         .dpi = dpi > 0 ? std::optional(dpi) : std::nullopt});
    const int width = 200, rows = 3, far = design[3], near = design[4];
    std::vector<std::int32_t> depth(width);
    for (int x = 0; x < width; ++x)
        depth[std::size_t(x)] = design[5] ? far + (near - far) * x / (width - 1) : x < width / 2 ? far : near;
    for (int y = 0; y < rows; ++y)
        design[0] > 0 ? survey.addRow(std::vector<std::uint16_t>(depth.begin(), depth.end())) : survey.addRow(depth);
    const StereoCheck check = survey.result();
    QCOMPARE((QList{check.distinctDepths, check.farSeparation, check.nearSeparation, int(check.oneEyePixels / rows)}),
             expected);
    QCOMPARE(check.oneEyeShare(), double(expected[3]) / width);
    QCOMPARE(QString(check.doubleImages ? "double" : check.tooWide ? "wide" : check.tooNarrow ? "narrow" : ""), warnings);
    QCOMPARE(check.nearMm.has_value(), dpi > 0);
    if (dpi > 0)
        QCOMPARE(*check.nearMm, check.nearPixels() * 25.4 / dpi);
    if (arcsec > 0)
        QVERIFY2(std::abs(check.depthStepArcsec - arcsec) < 1e-3, qPrintable(QString::number(check.depthStepArcsec)));
}

QTEST_APPLESS_MAIN(TstSmoothDepth)
#include "tst_smoothdepth.moc"
