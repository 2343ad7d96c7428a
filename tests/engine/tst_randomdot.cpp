#include "designs.h"
#include "reference.h"

#include "engine/depth.h"
#include "engine/packedimage.h"
#include "engine/randomdot.h"

#include <QTest>

#include <algorithm>
#include <climits>
#include <memory>

using namespace lumivex::engine;

namespace {

constexpr Packed kBlack = 0;
constexpr Packed kWhite = 0xffffff;

bool samePicture(const PackedImage &a, const PackedImage &b)
{
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

} // namespace

Q_DECLARE_METATYPE(lumivex::engine::PackedImage)

class TstRandomDot : public QObject
{
    Q_OBJECT

private slots:
    void pictureSize();
    void parametersFarOutOfRange();
    void densityZeroIsAllBlack_data();
    void densityZeroIsAllBlack();
    void repeatWidthZeroDotsOnlyColumnZero();
    void depthZeroRepeatsWithPeriodK_data();
    void depthZeroRepeatsWithPeriodK();
    void flatDesignRepeatsWithPeriodKMinusShift_data();
    void flatDesignRepeatsWithPeriodKMinusShift();
    void dotColours();
    void stepDownFillsTheUnreachedPositions();
    void sameAsReference_data();
    void sameAsReference();
    void pauseAndContinue();
    void runsOfChangingWidth();
};

void TstRandomDot::pictureSize()
{
    // The last column and row are worked but not drawn.
    const PackedImage result = convertRandomDot(designs::flat(10, 6, 3), DotParams{}, 1);
    QCOMPARE(result.width, 9);
    QCOMPARE(result.height, 5);
    QCOMPARE(convertRandomDot(designs::flat(1, 1, 0), DotParams{}, 1).pixels.size(), 0u);

    // The widest run draws kMaxRunWidth columns; a design wider than that plus the undrawn
    // column is refused rather than cut.
    QCOMPARE(convertRandomDot(designs::flat(kMaxRunWidth + 1, 2, 5), DotParams{}, 1).width, kMaxRunWidth);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             convertRandomDot(designs::flat(kMaxRunWidth + 2, 2, 0), DotParams{}, 1));
}

void TstRandomDot::parametersFarOutOfRange()
{
    // A hand-edited project file may hold any number: the run must stay sound. A repeat width
    // beyond the row gives every column a dot of its own, however far beyond.
    const PackedImage design = designs::noise(200, 20, 2);
    const PackedImage wide = convertRandomDot(designs::flat(200, 20, 0), {5000, 20, 50, false}, 4);
    QVERIFY(samePicture(convertRandomDot(designs::flat(200, 20, 0), {INT_MAX, 20, 50, false}, 4), wide));
    for (const int extreme : {INT_MAX, INT_MIN}) {
        QCOMPARE(convertRandomDot(design, {extreme, extreme, 50, false}, 4).width, 199);
        QCOMPARE(convertRandomDot(design, {70, extreme, extreme, true}, 4).width, 199);
    }
}

void TstRandomDot::densityZeroIsAllBlack_data()
{
    QTest::addColumn<bool>("mono");
    QTest::addColumn<int>("kurikaesi");
    QTest::newRow("mono") << true << 70;
    QTest::newRow("colour") << false << 70;
    QTest::newRow("colour, repeat width beyond the picture") << false << 200;
}

void TstRandomDot::densityZeroIsAllBlack()
{
    QFETCH(bool, mono);
    QFETCH(int, kurikaesi);
    const PackedImage result = convertRandomDot(designs::noise(150, 40, 3), {kurikaesi, 30, 0, mono}, 7);
    QVERIFY(std::all_of(result.pixels.begin(), result.pixels.end(), [](Packed c) { return c == kBlack; }));
}

void TstRandomDot::repeatWidthZeroDotsOnlyColumnZero()
{
    // Links and gap fills then all point at columns already drawn.
    const PackedImage result = convertRandomDot(designs::noise(120, 200, 4), {0, 50, 100, true}, 3);
    int dotted = 0;
    for (int y = 0; y < result.height; ++y) {
        dotted += result.at(0, y) == kWhite;
        for (int x = 1; x < result.width; ++x)
            QCOMPARE(result.at(x, y), kBlack);
    }
    QVERIFY(dotted > result.height * 9 / 10);
}

void TstRandomDot::depthZeroRepeatsWithPeriodK_data()
{
    QTest::addColumn<bool>("mono");
    QTest::addColumn<int>("kurikaesi");
    QTest::newRow("colour K 30") << false << 30;
    QTest::newRow("mono K 70") << true << 70;
    QTest::newRow("mono K 1") << true << 1;
}

void TstRandomDot::depthZeroRepeatsWithPeriodK()
{
    QFETCH(bool, mono);
    QFETCH(int, kurikaesi);
    const int k = kurikaesi;
    const PackedImage result = convertRandomDot(designs::noise(300, 60, 5), {k, 0, 60, mono}, 11);
    for (int y = 0; y < result.height; ++y) {
        for (int x = k + 1; x < result.width; ++x)
            QCOMPARE(result.at(x, y), result.at(x - k, y));
        // Column K repeats column 0 unless that is black; then it gets a fresh dot.
        if (result.at(0, y) != kBlack)
            QCOMPARE(result.at(k, y), result.at(0, y));
    }
}

void TstRandomDot::flatDesignRepeatsWithPeriodKMinusShift_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("kurikaesi");
    QTest::addColumn<int>("rittaido");
    QTest::addColumn<bool>("mono");
    QTest::newRow("level 5, shift 10, K 70") << 5 << 70 << 20 << false;
    QTest::newRow("level 15, shift 75, K 200") << 15 << 200 << 50 << true;
    QTest::newRow("level 2, shift 10, K 12") << 2 << 12 << 50 << false;
    QTest::newRow("level 3, shift 8, K 9") << 3 << 9 << 25 << true;
}

void TstRandomDot::flatDesignRepeatsWithPeriodKMinusShift()
{
    QFETCH(int, level);
    QFETCH(int, kurikaesi);
    QFETCH(int, rittaido);
    QFETCH(bool, mono);
    const int period = kurikaesi - depthShift(depthFactor(rittaido), level);
    QVERIFY(period > 0);
    const PackedImage result = convertRandomDot(designs::flat(400, 50, level),
                                                {kurikaesi, rittaido, 50, mono}, 13);
    for (int y = 0; y < result.height; ++y) {
        for (int x = period; x < result.width; ++x) {
            // Within the first K columns a copied black dot is drawn afresh.
            if (x > kurikaesi || result.at(x - period, y) != kBlack)
                QCOMPARE(result.at(x, y), result.at(x - period, y));
        }
    }
}

void TstRandomDot::dotColours()
{
    const PackedImage design = designs::noise(400, 100, 6);
    const int k = 70;
    auto blackShareInFirstColumns = [&](const PackedImage &result) {
        int black = 0;
        for (int y = 0; y < result.height; ++y)
            for (int x = 0; x <= k; ++x)
                black += result.at(x, y) == kBlack;
        return double(black) / (result.height * (k + 1));
    };

    // Monochrome: black and white only; at density 100 a dot is black 1 time in 101.
    const PackedImage mono = convertRandomDot(design, {k, 20, 100, true}, 21);
    QVERIFY(std::all_of(mono.pixels.begin(), mono.pixels.end(),
                        [](Packed c) { return c == kBlack || c == kWhite; }));
    const double monoBlack = blackShareInFirstColumns(mono);
    QVERIFY2(monoBlack > 0.003 && monoBlack < 0.025, QByteArray::number(monoBlack));

    // Colour: all sixteen dot colours, black also from the colour draw (about 1 in 16).
    const PackedImage colour = convertRandomDot(design, {k, 20, 100, false}, 22);
    for (const Packed c : DotPalette)
        QVERIFY(std::find(colour.pixels.begin(), colour.pixels.end(), c) != colour.pixels.end());
    QVERIFY(std::all_of(colour.pixels.begin(), colour.pixels.end(), [](Packed c) {
        return std::find(DotPalette.begin(), DotPalette.end(), c) != DotPalette.end();
    }));
    const double colourBlack = blackShareInFirstColumns(colour);
    QVERIFY2(colourBlack > 0.04 && colourBlack < 0.11, QByteArray::number(colourBlack));
}

void TstRandomDot::stepDownFillsTheUnreachedPositions()
{
    // Columns 0..29 at shift 6, the rest at shift 2, K = 20: columns 0..29 link to 14..43,
    // columns 30.. to 48..; the step at column 30 must fill exactly 44..47.
    const PackedImage design = designs::make(60, 300, [](int x, int) { return DepthPalette[x < 30 ? 6 : 2]; });
    const PackedImage result = convertRandomDot(design, {20, 10, 50, true}, 17);
    int filled[4] = {};
    for (int y = 0; y < result.height; ++y) {
        QCOMPARE(result.at(43, y), result.at(29, y));
        QCOMPARE(result.at(48, y), result.at(30, y));
        for (int i = 0; i < 4; ++i)
            filled[i] += result.at(44 + i, y) == kWhite;
    }
    for (int i = 0; i < 4; ++i)
        QVERIFY2(filled[i] > result.height / 4, QByteArray::number(44 + i));
}

void TstRandomDot::sameAsReference_data()
{
    QTest::addColumn<PackedImage>("design");
    QTest::addColumn<int>("kurikaesi");
    QTest::addColumn<int>("rittaido");
    QTest::addColumn<int>("mitudo");
    QTest::addColumn<bool>("mono");

    QTest::newRow("defaults, mono") << designs::noise(320, 60, 1) << 70 << 20 << 30 << true;
    QTest::newRow("defaults, colour") << designs::noise(320, 60, 2) << 70 << 20 << 30 << false;
    QTest::newRow("deep, dense colour") << designs::noise(500, 40, 3) << 120 << 50 << 100 << false;
    QTest::newRow("half steps") << designs::noise(200, 40, 4) << 37 << 25 << 60 << true;
    QTest::newRow("single precision factor") << designs::noise(200, 40, 5) << 50 << 7 << 80 << false;
    QTest::newRow("K 0") << designs::noise(100, 20, 6) << 0 << 30 << 90 << false;
    QTest::newRow("K 1") << designs::noise(100, 20, 7) << 1 << 20 << 90 << true;
    QTest::newRow("K beyond the picture") << designs::noise(150, 20, 8) << 200 << 10 << 50 << false;
    QTest::newRow("one column") << designs::noise(1, 20, 9) << 70 << 20 << 50 << false;
    QTest::newRow("two by two") << designs::noise(2, 2, 10) << 70 << 20 << 50 << false;
    QTest::newRow("widest") << designs::noise(kMaxWidth, 12, 11) << 200 << 50 << 50 << false;
    // A deep surface that drops back near the right border: fill ranges past the last column.
    QTest::newRow("gap fill past the right border")
        << designs::make(kMaxWidth + 1, 8, [](int x, int) { return DepthPalette[x < 1001 && x % 150 < 100 ? 15 : 0]; })
        << 200 << 50 << 70 << false;
    // Each row ends deep and starts flat: the carried shift makes a fill range below column 0.
    QTest::newRow("carried shift into column 0")
        << designs::make(90, 30, [](int x, int) { return DepthPalette[x >= 80 ? 15 : x % 7]; })
        << 5 << 50 << 70 << false;
    // Wider than the window takes: a print at 300 dpi, and the widest run.
    QTest::newRow("print width") << designs::noise(2480, 16, 13) << 200 << 50 << 50 << false;
    QTest::newRow("widest run, mono") << designs::noise(kMaxRunWidth + 1, 6, 14) << 70 << 20 << 30 << true;
    QTest::newRow("widest run, gap fill past the right border")
        << designs::make(kMaxRunWidth + 1, 4, [](int x, int) {
               return DepthPalette[x < kMaxRunWidth - 23 && x % 150 < 100 ? 15 : 0];
           })
        << 200 << 50 << 70 << false;
    // Links that reach far beyond the window's widest picture (a hand-edited repeat width).
    QTest::newRow("widest run, links of 3000") << designs::noise(kMaxRunWidth + 1, 6, 15) << 3000 << 50 << 60 << false;
}

void TstRandomDot::sameAsReference()
{
    QFETCH(PackedImage, design);
    QFETCH(int, kurikaesi);
    QFETCH(int, rittaido);
    QFETCH(int, mitudo);
    QFETCH(bool, mono);
    const DotParams params{kurikaesi, rittaido, mitudo, mono};

    // On the heap, so that a write past the row buffer is caught by the address sanitizer.
    auto dots = std::make_unique<RandomDot>();
    PackedImage expected(std::max(design.width - 1, 0), std::max(design.height - 1, 0));
    reference::RandomDot ref;
    for (std::uint64_t seed : {1u, 2u}) {
        const PackedImage result = convertRandomDot(design, params, seed, *dots);
        ref.run(design, kurikaesi, rittaido, mitudo, mono, seed, expected);
        QVERIFY(samePicture(result, expected));
        QCOMPARE(dots->previousShift(), ref.previousShift);
    }
}

void TstRandomDot::pauseAndContinue()
{
    // Paused before row 40, continued with a new seed and new parameters: the shift of the
    // column processed last carries over, and the rest of the picture continues from there.
    PackedImage design = designs::noise(300, 80, 12);
    for (int y = 0; y < design.height; ++y)
        design.row(y)[design.width - 1] = DepthPalette[15];
    const int scanWidth = design.width - 1;
    const DotParams first{40, 20, 50, false};
    const DotParams second{60, 35, 80, false};

    PackedImage result(scanWidth, design.height - 1);
    std::array<std::int32_t, kRowCapacity> depth{};
    RandomDot dots;
    dots.begin(first, scanWidth, 5);
    for (int y = 0; y < 40; ++y) {
        GetDepthRow(design.row(y), scanWidth, depth);
        dots.row(depth, result.row(y));
    }
    QCOMPARE(dots.previousShift(), 30);
    dots.begin(second, scanWidth, 6);
    QCOMPARE(dots.previousShift(), 30);
    for (int y = 40; y < design.height; ++y) {
        GetDepthRow(design.row(y), scanWidth, depth);
        dots.row(depth, y < result.height ? result.row(y) : std::span<Packed>{});
    }

    PackedImage expected(scanWidth, design.height - 1);
    reference::RandomDot ref;
    ref.run(design, first.kurikaesi, first.rittaido, first.mitudo, first.mono, 5, expected, 0, 40);
    ref.run(design, second.kurikaesi, second.rittaido, second.mitudo, second.mono, 6, expected, 40);
    QVERIFY(samePicture(result, expected));
    QCOMPARE(dots.previousShift(), depthShift(depthFactor(35), 15));
}

void TstRandomDot::runsOfChangingWidth()
{
    // One window's conversion taken through runs of very different widths, narrow after wide
    // and wide after narrow: each picture is still the reference's, and the shift carried from
    // run to run too.
    auto dots = std::make_unique<RandomDot>();
    reference::RandomDot ref;
    std::uint64_t seed = 30;
    for (const int width : {300, kMaxRunWidth + 1, 2, 2480, kRowCapacity, 1}) {
        const PackedImage design = designs::noise(width, 5, static_cast<unsigned>(width));
        const DotParams params{90, 40, 70, seed % 2 == 0};
        PackedImage expected(width - 1, design.height - 1);
        ref.run(design, params.kurikaesi, params.rittaido, params.mitudo, params.mono, seed, expected);
        QVERIFY2(samePicture(convertRandomDot(design, params, seed, *dots), expected),
                 QByteArray::number(width));
        QCOMPARE(dots->previousShift(), ref.previousShift);
        ++seed;
    }
}

QTEST_GUILESS_MAIN(TstRandomDot)
#include "tst_randomdot.moc"
