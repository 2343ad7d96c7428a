#include "engine/depth.h"

#include <QTest>

#include <array>
#include <vector>

using namespace lumivex::engine;

class TstDepth : public QObject
{
    Q_OBJECT

private slots:
    void coarsening_data();
    void coarsening();
    void levels_data();
    void levels();
    void paletteMapsToItsOwnLevels();
    void rowSampling();
    void rowOutsideThePicture();
    void shifts_data();
    void shifts();
    void shiftTableOfOneFactor();
};

void TstDepth::coarsening_data()
{
    QTest::addColumn<int>("component");
    QTest::addColumn<int>("coarse");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("64") << 64 << 0;
    QTest::newRow("65") << 65 << 128;
    QTest::newRow("160") << 160 << 128;
    QTest::newRow("161") << 161 << 192;
    QTest::newRow("207") << 207 << 192;
    QTest::newRow("208") << 208 << 255;
    QTest::newRow("255") << 255 << 255;
}

void TstDepth::coarsening()
{
    QFETCH(int, component);
    QFETCH(int, coarse);
    QCOMPARE(lumivex::engine::coarsen(component), coarse);
}

void TstDepth::levels_data()
{
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::addColumn<int>("level");
    // The worked examples.
    QTest::newRow("200,200,200 silver") << 200 << 200 << 200 << 8;
    QTest::newRow("100,30,250 nearest by one") << 100 << 30 << 250 << 13;
    QTest::newRow("255,128,0 not in the table") << 255 << 128 << 0 << 3;
    QTest::newRow("192,0,0") << 192 << 0 << 0 << 9;
    // Each component on both sides of every boundary.
    QTest::newRow("red 64") << 64 << 0 << 0 << 0;
    QTest::newRow("red 65") << 65 << 0 << 0 << 1;
    QTest::newRow("red 160") << 160 << 0 << 0 << 1;
    QTest::newRow("red 161") << 161 << 0 << 0 << 9;
    QTest::newRow("green 64") << 0 << 64 << 0 << 0;
    QTest::newRow("green 65") << 0 << 65 << 0 << 2;
    QTest::newRow("green 161") << 0 << 161 << 0 << 10;
    QTest::newRow("blue 65") << 0 << 0 << 65 << 4;
    QTest::newRow("blue 161") << 0 << 0 << 161 << 8;
    QTest::newRow("grey 64") << 64 << 64 << 64 << 0;
    QTest::newRow("grey 65") << 65 << 65 << 65 << 7;
    QTest::newRow("grey 160") << 160 << 160 << 160 << 7;
    QTest::newRow("grey 161") << 161 << 161 << 161 << 8;
    QTest::newRow("grey 207") << 207 << 207 << 207 << 8;
    QTest::newRow("grey 208") << 208 << 208 << 208 << 15;
}

void TstDepth::levels()
{
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    QFETCH(int, level);
    QCOMPARE(depthLevel(pack(red, green, blue)), level);
}

void TstDepth::paletteMapsToItsOwnLevels()
{
    // A design painted in the sixteen depth colours maps exactly.
    const std::array<Packed, 16> colours = {
        pack(0, 0, 0),       pack(128, 0, 0),   pack(0, 128, 0),   pack(128, 128, 0),
        pack(0, 0, 128),     pack(128, 0, 128), pack(0, 128, 128), pack(128, 128, 128),
        pack(192, 192, 192), pack(255, 0, 0),   pack(0, 255, 0),   pack(255, 255, 0),
        pack(0, 0, 255),     pack(255, 0, 255), pack(0, 255, 255), pack(255, 255, 255),
    };
    for (int level = 0; level < 16; ++level) {
        QCOMPARE(DepthPalette[level], colours[level]);
        QCOMPARE(depthLevel(colours[level]), level);
    }
}

void TstDepth::rowSampling()
{
    const std::vector<Packed> design = {pack(255, 255, 255), pack(10, 10, 10), pack(200, 200, 200),
                                        pack(255, 128, 0), kOutside};
    std::array<std::int32_t, kRowCapacity> depth;
    depth.fill(99);
    GetDepthRow(design, 4, depth);
    const std::array<int, 5> expected = {15, 0, 8, 3, 0};
    for (int x = 0; x < 5; ++x)
        QCOMPARE(depth[x], expected[x]);
    QCOMPARE(depth[5], 99);  // only columns 0..scanWidth are touched
}

void TstDepth::rowOutsideThePicture()
{
    // Columns beyond the design and rows outside it are the background plane, level 0.
    QCOMPARE(depthLevel(kOutside), 0);
    const std::vector<Packed> design(3, pack(255, 255, 255));
    std::array<std::int32_t, kRowCapacity> depth;
    depth.fill(99);
    GetDepthRow(design, kMaxWidth, depth);
    QCOMPARE(depth[2], 15);
    for (int x = 3; x <= kMaxWidth; ++x)
        QCOMPARE(depth[x], 0);

    depth.fill(99);
    GetDepthRow({}, 10, depth);
    for (int x = 0; x <= 10; ++x)
        QCOMPARE(depth[x], 0);

    // A row too short for the columns asked for is refused, not overrun.
    std::array<std::int32_t, 4> small{};
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, GetDepthRow(design, 4, small));
}

void TstDepth::shifts_data()
{
    QTest::addColumn<int>("rittaido");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("shift");
    QTest::newRow("25 level 1: 2.5 to even") << 25 << 1 << 2;
    QTest::newRow("25 level 3: 7.5 to even") << 25 << 3 << 8;
    QTest::newRow("7 level 5: 0.7f lies below 0.7") << 7 << 5 << 3;
    QTest::newRow("1 level 5: 0.1f lies above 0.1") << 1 << 5 << 1;
    QTest::newRow("5 level 1: 0.5 to even") << 5 << 1 << 0;
    QTest::newRow("15 level 3: 4.5 to even") << 15 << 3 << 4;
    QTest::newRow("20 level 15") << 20 << 15 << 30;
    QTest::newRow("50 level 15") << 50 << 15 << 75;
    QTest::newRow("0 level 15") << 0 << 15 << 0;
    QTest::newRow("50 level 0") << 50 << 0 << 0;
}

void TstDepth::shifts()
{
    QFETCH(int, rittaido);
    QFETCH(int, level);
    QFETCH(int, shift);
    QCOMPARE(depthShift(depthFactor(rittaido), level), shift);
}

void TstDepth::shiftTableOfOneFactor()
{
    const std::array<int, 16> expected = {0, 2, 5, 8, 10, 12, 15, 18, 20, 22, 25, 28, 30, 32, 35, 38};
    QCOMPARE(shiftTable(depthFactor(25)), expected);
}

QTEST_GUILESS_MAIN(TstDepth)
#include "tst_depth.moc"
