// Grey depth maps (black far, white near) read as the sixteen depth levels.

#include "document/greydepth.h"
#include "picture/picture.h"
#include "engine/depth.h"

#include <QtTest>

using namespace lumivex;
using engine::pack;

class TestGreyDepth : public QObject
{
    Q_OBJECT

private slots:
    void levels_data();
    void levels();
    void picturesInDepthColours();
    void greyDepthMaps_data();
    void greyDepthMaps();
};

void TestGreyDepth::levels_data()
{
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::addColumn<int>("level");

    // Greys: round(g × 15 / 255) = round(g / 17); the steps lie between 17k + 8 and 17k + 9.
    const int greys[][2] = {{0, 0}, {8, 0}, {9, 1}, {17, 1}, {25, 1}, {26, 2}, {127, 7}, {128, 8},
                            {246, 14}, {247, 15}, {255, 15}};
    for (const auto &[grey, level] : greys)
        QTest::addRow("grey %d", grey) << grey << grey << grey << level;
    // Colours by their BT.601 brightness 0.299 R + 0.587 G + 0.114 B.
    QTest::newRow("red, depth colour 9: 76.2") << 255 << 0 << 0 << 4;
    QTest::newRow("green: 149.7") << 0 << 255 << 0 << 9;
    QTest::newRow("blue: 29.1") << 0 << 0 << 255 << 2;
    QTest::newRow("yellow: 226.0") << 255 << 255 << 0 << 13;
    QTest::newRow("sky: 176.4") << 100 << 200 << 255 << 10;
    // The brightness is taken exactly: 8.5 lies halfway between levels 0 and 1 and goes up;
    // just below and above it, the nearer level wins.
    QTest::newRow("brightness 8.5") << 1 << 13 << 5 << 1;
    QTest::newRow("brightness 8.499") << 7 << 8 << 15 << 0;
    QTest::newRow("brightness 8.501") << 10 << 9 << 2 << 1;
    QTest::newRow("brightness 127.5") << 1 << 173 << 225 << 8;
}

void TestGreyDepth::levels()
{
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    QFETCH(int, level);
    QCOMPARE(document::greyDepthLevel(pack(red, green, blue)), level);
}

void TestGreyDepth::picturesInDepthColours()
{
    // Every colour that a row, a packed picture and a QImage can hold maps the same way, to the
    // palette colour of its level; the engine then reads that colour as the same level.
    QImage image(64, 7, QImage::Format_ARGB32);
    engine::PackedImage packed(64, 7);
    quint32 state = 12345;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            const QRgb colour = (state >> 8) | 0xff000000u;
            image.setPixel(x, y, colour);
            packed.row(y)[static_cast<std::size_t>(x)] = picture::packPixel(colour);
        }
    }
    engine::PackedImage mapped = packed;
    document::greyToDepthColours(mapped);
    const QImage mappedImage = document::greyToDepthColours(image);
    QCOMPARE(mappedImage.format(), QImage::Format_RGB32);
    QCOMPARE(mappedImage.size(), image.size());
    QVERIFY(picture::toPacked(mappedImage).pixels == mapped.pixels);

    std::vector<engine::Packed> row(64);
    document::greyRowToDepthColours(packed.row(3), row);
    QVERIFY(std::equal(row.begin(), row.end(), mapped.row(3).begin()));
    for (int y = 0; y < packed.height; ++y) {
        for (int x = 0; x < packed.width; ++x) {
            const int level = document::greyDepthLevel(packed.at(x, y));
            QCOMPARE(mapped.at(x, y), engine::DepthPalette[static_cast<std::size_t>(level)]);
            QCOMPARE(engine::depthLevel(mapped.at(x, y)), level);
        }
    }
}

void TestGreyDepth::greyDepthMaps_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<bool>("greyMap");

    // A 4 × 3 picture of the given greys, the last one in its bottom right corner only, so that
    // a scan that stops early misses it.
    const auto picture = [](std::initializer_list<QRgb> colours, QImage::Format format = QImage::Format_RGB32) {
        QImage image(4, 3, format);
        image.fill(*colours.begin());
        image.setPixel(3, 2, *(colours.end() - 1));
        return image;
    };
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    QTest::newRow("the four depth greys") << picture({black, qRgb(128, 128, 128), qRgb(192, 192, 192), white})
                                          << false;
    QTest::newRow("black and white") << picture({black, white}) << false;
    QTest::newRow("one other grey, last") << picture({black, qRgb(129, 129, 129)}) << true;
    QTest::newRow("other greys only") << picture({qRgb(17, 17, 17), qRgb(200, 200, 200)}) << true;
    QTest::newRow("a colour among greys") << picture({qRgb(100, 100, 100), qRgb(100, 100, 101)}) << false;
    QTest::newRow("depth colours") << picture({qRgb(128, 0, 0), qRgb(0, 255, 255)}) << false;
    QTest::newRow("8-bit grey format") << picture({qRgb(60, 60, 60)}, QImage::Format_Grayscale8) << true;
    QTest::newRow("empty") << QImage() << false;
}

void TestGreyDepth::greyDepthMaps()
{
    QFETCH(QImage, picture);
    QFETCH(bool, greyMap);
    QCOMPARE(document::isGreyDepthMap(picture), greyMap);
}

QTEST_GUILESS_MAIN(TestGreyDepth)
#include "tst_greydepth.moc"
