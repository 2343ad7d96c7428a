#include "designs.h"
#include "reference.h"

#include "engine/colourfield.h"
#include "engine/depth.h"
#include "engine/packedimage.h"

#include <QTest>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

using namespace lumivex::engine;

namespace {

bool samePicture(const PackedImage &a, const PackedImage &b)
{
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

/// The design cut or widened (with black, the background) to width × height.
PackedImage resized(const PackedImage &design, int width, int height)
{
    return designs::make(width, height, [&](int x, int y) {
        const Packed c = design.at(x, y);
        return c == kOutside ? DepthPalette[0] : c;
    });
}

} // namespace

class TstColourField : public QObject
{
    Q_OBJECT

private slots:
    void pictureHasTheFieldsSize();
    void depthZeroRepeatsWithPeriodK();
    void flatDesignRepeatsWithPeriodKMinusShift_data();
    void flatDesignRepeatsWithPeriodKMinusShift();
    void designAndFieldOfDifferentSizes();
    void sameAsReference_data();
    void sameAsReference();
    void continueAtLaterRow();
    void runsOfChangingWidth();
    void tiling_data();
    void tiling();
};

void TstColourField::pictureHasTheFieldsSize()
{
    // Deep shifts link the extra column back over drawn pixels: its outside value never shows.
    const PackedImage field = designs::field(120, 30, 1, 10);
    const PackedImage result = convertField(designs::flat(200, 50, 15), field, {10, 50});
    QCOMPARE(result.width, 120);
    QCOMPARE(result.height, 30);
    QVERIFY(std::none_of(result.pixels.begin(), result.pixels.end(), [](Packed c) { return c == kOutside; }));

    // Numbers far out of range (a hand-edited project file) leave the run sound.
    for (const int extreme : {INT_MAX, INT_MIN})
        QCOMPARE(convertField(designs::noise(100, 20, 1), field, {extreme, extreme}).width, 120);

    // The widest run takes a field of kMaxRunWidth columns; a wider one is refused, not cut.
    QCOMPARE(convertField(designs::flat(10, 2, 9), designs::field(kMaxRunWidth, 2, 1, 0), {}).width, kMaxRunWidth);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             convertField(designs::flat(10, 2, 9), designs::field(kMaxRunWidth + 1, 2, 1, 0), {}));
}

void TstColourField::depthZeroRepeatsWithPeriodK()
{
    const int k = 37;
    const PackedImage field = designs::field(300, 40, 2, 8);
    const PackedImage result = convertField(designs::noise(300, 40, 2), field, {k, 0});
    for (int y = 0; y < result.height; ++y) {
        for (int x = 0; x < k; ++x)
            QCOMPARE(result.at(x, y), field.at(x, y));
        // Pure black is never carried: the field's own pixel shows instead.
        for (int x = k; x < result.width; ++x)
            QCOMPARE(result.at(x, y), result.at(x - k, y) != 0 ? result.at(x - k, y) : field.at(x, y));
    }
}

void TstColourField::flatDesignRepeatsWithPeriodKMinusShift_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("kurikaesi");
    QTest::addColumn<int>("rittaido");
    QTest::newRow("level 8, K 70, shift 16") << 8 << 70 << 20;
    QTest::newRow("level 3, K 9, shift 8") << 3 << 9 << 25;
    QTest::newRow("level 15, K 200, shift 75") << 15 << 200 << 50;
}

void TstColourField::flatDesignRepeatsWithPeriodKMinusShift()
{
    QFETCH(int, level);
    QFETCH(int, kurikaesi);
    QFETCH(int, rittaido);
    const int period = kurikaesi - depthShift(depthFactor(rittaido), level);
    const PackedImage field = designs::field(400, 20, 3, 0);
    const PackedImage result = convertField(designs::flat(401, 21, level), field, {kurikaesi, rittaido});
    for (int y = 0; y < result.height; ++y) {
        for (int x = 0; x < std::min(period, result.width); ++x)
            QCOMPARE(result.at(x, y), field.at(x, y));
        for (int x = period; x < result.width; ++x)
            QCOMPARE(result.at(x, y), result.at(x - period, y));
    }
}

void TstColourField::designAndFieldOfDifferentSizes()
{
    // Beyond the design the depth is the background plane, as if it were painted black; a design
    // larger than the field is sampled only over the field (plus the extra column and row).
    const PackedImage field = designs::field(250, 60, 4, 12);
    const PackedImage small = designs::noise(90, 25, 4);
    QVERIFY(samePicture(convertField(small, field, {50, 30}),
                        convertField(resized(small, 251, 61), field, {50, 30})));
    const PackedImage large = designs::noise(700, 300, 5);
    QVERIFY(samePicture(convertField(large, field, {50, 30}),
                        convertField(resized(large, 251, 61), field, {50, 30})));
}

void TstColourField::sameAsReference_data()
{
    QTest::addColumn<int>("kurikaesi");
    QTest::addColumn<int>("rittaido");
    QTest::addColumn<int>("width");
    QTest::newRow("defaults") << 70 << 20 << 300;
    QTest::newRow("K 0, deep") << 0 << 50 << 200;
    QTest::newRow("K 1") << 1 << 10 << 200;
    QTest::newRow("K beyond the picture") << 200 << 25 << 150;
    QTest::newRow("single precision factor") << 50 << 7 << 300;
    QTest::newRow("widest") << 200 << 50 << kMaxWidth;
    QTest::newRow("print width") << 200 << 50 << 2480;
    QTest::newRow("widest run") << 70 << 20 << kMaxRunWidth;
    QTest::newRow("widest run, links of 3000") << 3000 << 50 << kMaxRunWidth;
}

void TstColourField::sameAsReference()
{
    QFETCH(int, kurikaesi);
    QFETCH(int, rittaido);
    QFETCH(int, width);
    const PackedImage design = designs::noise(width + 20, 40, 6);
    const PackedImage field = designs::field(width, 30, 6, 6);
    PackedImage expected(field.width, field.height);
    reference::field(design, field, kurikaesi, rittaido, expected);
    QVERIFY(samePicture(convertField(design, field, {kurikaesi, rittaido}), expected));
}

void TstColourField::continueAtLaterRow()
{
    // Paused before row 20 and continued with new parameters: the rows above stay as drawn.
    const PackedImage design = designs::noise(200, 60, 7);
    const PackedImage field = designs::field(180, 50, 7, 9);
    PackedImage result(field.width, field.height);
    std::array<std::int32_t, kRowCapacity> depth{};
    ColourField conv;
    conv.begin({40, 20}, field.width);
    for (int y = 0; y < 20; ++y) {
        GetDepthRow(design.row(y), field.width, depth);
        conv.row(depth, field.row(y), result.row(y));
    }
    conv.begin({65, 45}, field.width);
    for (int y = 20; y <= field.height; ++y) {
        GetDepthRow(design.row(y), field.width, depth);
        conv.row(depth, field.row(y), y < result.height ? result.row(y) : std::span<Packed>{});
    }

    PackedImage expected = convertField(design, field, {40, 20});
    reference::field(design, field, 65, 45, expected, 20);
    QVERIFY(samePicture(result, expected));
}

void TstColourField::runsOfChangingWidth()
{
    // One window's conversion taken through fields of very different widths, narrow after wide
    // and wide after narrow: each picture is still the reference's.
    auto conv = std::make_unique<ColourField>();
    for (const int width : {180, kMaxRunWidth, 3, 2480, kMaxWidth, 0}) {
        const PackedImage design = designs::noise(width + 5, 6, static_cast<unsigned>(width));
        const PackedImage field = designs::field(width, 5, static_cast<unsigned>(width), 7);
        PackedImage result(field.width, field.height);
        std::vector<std::int32_t> depth(static_cast<std::size_t>(width) + 1);
        conv->begin({90, 40}, width);
        for (int y = 0; y <= field.height; ++y) {
            GetDepthRow(design.row(y), width, depth);
            conv->row(depth, field.row(y), y < result.height ? result.row(y) : std::span<Packed>{});
        }
        PackedImage expected(field.width, field.height);
        reference::field(design, field, 90, 40, expected);
        QVERIFY2(samePicture(result, expected), QByteArray::number(width));
    }
}

void TstColourField::tiling_data()
{
    QTest::addColumn<int>("sourceWidth");
    QTest::addColumn<int>("sourceHeight");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::newRow("300x200 from 64x64, last tiles cut") << 64 << 64 << 300 << 200 << 5 << 4;
    QTest::newRow("256x256 from 64x64, whole tiles") << 64 << 64 << 256 << 256 << 4 << 4;
    QTest::newRow("source wider than the design") << 150 << 60 << 100 << 80 << 1 << 2;
    QTest::newRow("200x1 over 1024x768") << 200 << 1 << 1024 << 768 << 6 << 768;
}

void TstColourField::tiling()
{
    QFETCH(int, sourceWidth);
    QFETCH(int, sourceHeight);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, columns);
    QFETCH(int, rows);
    // Every source pixel distinct, so that each tile's origin shows.
    const PackedImage source = designs::make(sourceWidth, sourceHeight, [](int x, int y) { return pack(x, y % 256, y / 256 + 1); });
    const PackedImage tiled = tileField(source, width, height);
    QCOMPARE(tiled.width, width);
    QCOMPARE(tiled.height, height);
    int origins = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Packed c = tiled.at(x, y);
            QCOMPARE(c, source.at(x % sourceWidth, y % sourceHeight));
            origins += c == source.at(0, 0);
        }
    }
    QCOMPARE(origins, columns * rows);
}

QTEST_GUILESS_MAIN(TstColourField)
#include "tst_colourfield.moc"
