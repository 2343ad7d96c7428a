// lumivex-convert's pictures must be exactly what the engine makes of the same input: the
// stereo picture a new document window holds after one complete run.

#include "convertrun.h"

#include "document/greydepth.h"
#include "engine/guides.h"
#include "engine/smoothdepth.h"

#include <QRegularExpression>

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace lumivex;
using engine::PackedImage;
using namespace lumivex::testing;

class TestConvert : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void randomDotMatchesEngine_data();
    void randomDotMatchesEngine();
    void fieldMatchesEngine_data();
    void fieldMatchesEngine();
    void greyDepthMatchesPaintedDesign_data();
    void greyDepthMatchesPaintedDesign();
    void refusalNamesWhatWorks_data();
    void refusalNamesWhatWorks();
    void checkReportsThePicture_data();
    void checkReportsThePicture();
    void startFromTheMiddle();
    void seedDecidesPicture();
    void formatFollowsName_data();
    void formatFollowsName();
    void guidesAboveThePicture_data();
    void guidesAboveThePicture();

private:
    QString input(const QString &name) const { return m_dir.filePath(QStringLiteral("in/") + name); }
    QString output(const QString &name) const { return m_dir.filePath(name); }
    void expectSuccess(const QStringList &args);

    QTemporaryDir m_dir;
};

void TestConvert::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("in")));
    QVERIFY(makeDesign(157, 61, 1).save(input(QStringLiteral("design.bmp"))));
    QVERIFY(makeDesign(300, 200, 2).save(input(QStringLiteral("design300.png"))));
    QVERIFY(makeDesign(1024, 20, 3).save(input(QStringLiteral("design1024.bmp"))));
    QVERIFY(makeDesign(16384, 3, 3).save(input(QStringLiteral("design16384.png"))));
    QVERIFY(makeDesign(2, 2, 4).save(input(QStringLiteral("design2.bmp"))));
    QVERIFY(makeDesign(80, 40, 5).save(input(QStringLiteral("design.jpg"))));
    QVERIFY(makeDesign(40, 30, 8).save(m_dir.filePath(QStringLiteral("-design.bmp"))));
    QVERIFY(makeField(157, 61, 9).save(input(QStringLiteral("field.bmp"))));
    QVERIFY(makeField(200, 90, 10).save(input(QStringLiteral("field-large.png"))));
    QVERIFY(makeField(90, 30, 11).save(input(QStringLiteral("field-small.bmp"))));
    QVERIFY(makeField(1024, 8, 12).save(input(QStringLiteral("field1024.bmp"))));
    QVERIFY(makeField(16384, 5, 12).save(input(QStringLiteral("field16384.png"))));
    QVERIFY(makeField(64, 64, 13).save(input(QStringLiteral("source64.bmp"))));
    QVERIFY(makeField(200, 7, 14).save(input(QStringLiteral("source200.bmp"))));
    QVERIFY(makeDesign(100, 421, 15).save(input(QStringLiteral("tall.png"))));
    QImage flat(800, 10, QImage::Format_RGB32);
    flat.fill(picture::unpackPixel(engine::DepthPalette[0]));
    QVERIFY(flat.save(input(QStringLiteral("flat800.bmp"))));
}

void TestConvert::expectSuccess(const QStringList &args)
{
    const Run run = convert(args, m_dir.path());
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray()); // quiet on success
}

void TestConvert::randomDotMatchesEngine_data()
{
    QTest::addColumn<QString>("design");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("kurikaesi");
    QTest::addColumn<int>("rittaido");
    QTest::addColumn<int>("mitudo");
    QTest::addColumn<bool>("mono");
    QTest::addColumn<int>("seed");

    const QString design = input(QStringLiteral("design.bmp"));
    QTest::newRow("defaults are mono 70 20 30") << design << QStringList{"--seed", "11"} << 70 << 20 << 30 << true << 11;
    QTest::newRow("colour, dense, deep") << design
        << QStringList{"--mode", "color", "--mitudo", "100", "--rittaido", "50", "--kurikaesi", "80", "--seed", "2"}
        << 80 << 50 << 100 << false << 2;
    QTest::newRow("English names") << design
        << QStringList{"--mode", "color", "--density", "45", "--strength=7", "--repeat", "33", "--seed", "5"}
        << 33 << 7 << 45 << false << 5;
    QTest::newRow("depth colours as the default") << design << QStringList{"--depth", "colours", "--seed", "11"} << 70 << 20 << 30 << true << 11;
    QTest::newRow("--opt=value form") << design
        << QStringList{"--mode=color", "--mitudo=45", "--rittaido=7", "--kurikaesi=33", "--seed=5"}
        << 33 << 7 << 45 << false << 5;
    // (A repeat width of 0 gives no picture and is refused.)
    QTest::newRow("repeat width 1, flat") << design << QStringList{"--kurikaesi", "1", "--rittaido", "0", "--seed", "3"} << 1 << 0 << 30 << true << 3;
    QTest::newRow("repeat width 200") << design << QStringList{"--kurikaesi", "200", "--seed", "3"} << 200 << 20 << 30 << true << 3;
    QTest::newRow("depth 0, density 0") << design << QStringList{"--rittaido", "0", "--mitudo", "0", "--seed", "3"} << 70 << 0 << 0 << true << 3;
    QTest::newRow("PNG design") << input(QStringLiteral("design300.png")) << QStringList{"--seed", "8"} << 70 << 20 << 30 << true << 8;
    QTest::newRow("JPEG design") << input(QStringLiteral("design.jpg")) << QStringList{"--seed", "8"} << 70 << 20 << 30 << true << 8;
    // 30 mm at 300 dpi: 354 pixels, the strength grown with it (20 × 354 / 70) unless given.
    QTest::newRow("30 mm at 300 dpi") << input(QStringLiteral("design1024.bmp")) << QStringList{"--dpi", "300", "--repeat-mm", "30", "--seed", "9"}
                                      << 354 << 101 << 30 << true << 9;
    QTest::newRow("30 mm at 300 dpi, strength given") << input(QStringLiteral("design1024.bmp"))
        << QStringList{"--dpi", "300", "--repeat-mm=30", "--strength", "35", "--seed", "9"} << 354 << 35 << 30 << true << 9;
    QTest::newRow("1024 wide") << input(QStringLiteral("design1024.bmp")) << QStringList{"--mode", "color", "--seed", "9"} << 70 << 20 << 30 << false << 9;
    QTest::newRow("16384 wide") << input(QStringLiteral("design16384.png")) << QStringList{"--mode", "color", "--seed", "9"} << 70 << 20 << 30 << false << 9;
    QTest::newRow("2 x 2 gives 1 x 1") << input(QStringLiteral("design2.bmp")) << QStringList{"--seed", "1"} << 70 << 20 << 30 << true << 1;
    QTest::newRow("after --") << QStringLiteral("-design.bmp") << QStringList{"--seed", "6", "--"} << 70 << 20 << 30 << true << 6;
    QTest::newRow("shipped sample") << samplePath(QStringLiteral("design-shapes.bmp")) << QStringList{"--seed", "4"} << 70 << 20 << 30 << true << 4;
}

void TestConvert::randomDotMatchesEngine()
{
    QFETCH(QString, design);
    QFETCH(QStringList, options);
    QFETCH(int, kurikaesi);
    QFETCH(int, rittaido);
    QFETCH(int, mitudo);
    QFETCH(bool, mono);
    QFETCH(int, seed);

    const QString out = output(QStringLiteral("dots.bmp"));
    expectSuccess(options << design << out);

    const PackedImage source = readPacked(QDir(m_dir.path()).absoluteFilePath(design));
    const engine::DotParams params{.kurikaesi = kurikaesi, .rittaido = rittaido, .mitudo = mitudo, .mono = mono};
    const PackedImage expected = engine::convertRandomDot(source, params, static_cast<std::uint64_t>(seed));
    const PackedImage actual = readPacked(out);
    QCOMPARE(actual.width, source.width - 1);
    QCOMPARE(actual.height, source.height - 1);
    QVERIFY(actual.pixels == expected.pixels);
}

void TestConvert::fieldMatchesEngine_data()
{
    QTest::addColumn<QString>("design");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("field");  // complete field picture, or empty
    QTest::addColumn<QString>("source"); // tiled field source, or empty
    QTest::addColumn<int>("kurikaesi");
    QTest::addColumn<int>("rittaido");

    const QString design = input(QStringLiteral("design.bmp"));
    const QString field = input(QStringLiteral("field.bmp"));
    QTest::newRow("same size, defaults") << design << QStringList{"--field", field} << field << QString() << 70 << 20;
    QTest::newRow("parameters, = form") << design << QStringList{"--field=" + field, "--kurikaesi=60", "--rittaido=35"}
                                        << field << QString() << 60 << 35;
    const QString large = input(QStringLiteral("field-large.png"));
    QTest::newRow("field larger than design") << design << QStringList{"--field", large} << large << QString() << 70 << 20;
    const QString small = input(QStringLiteral("field-small.bmp"));
    QTest::newRow("field smaller than design") << design << QStringList{"--field", small, "--kurikaesi", "50", "--rittaido", "10"} << small << QString() << 50 << 10;
    const QString wide = input(QStringLiteral("field1024.bmp"));
    QTest::newRow("field 1024 wide") << design << QStringList{"--field", wide} << wide << QString() << 70 << 20;
    const QString widest = input(QStringLiteral("field16384.png"));
    QTest::newRow("field 16384 wide") << design << QStringList{"--field", widest} << widest << QString() << 70 << 20;

    const QString design300 = input(QStringLiteral("design300.png"));
    const QString source64 = input(QStringLiteral("source64.bmp"));
    // Without --repeat a tile's width is the repeat width, so that no repeat cuts the tile.
    QTest::newRow("source 64 over 300 x 200") << design300 << QStringList{"--field-source", source64} << QString() << source64 << 64 << 20;
    QTest::newRow("source 64, --repeat given") << design300 << QStringList{"--field-source", source64, "--repeat", "70"}
                                               << QString() << source64 << 70 << 20;
    const QString source200 = input(QStringLiteral("source200.bmp"));
    QTest::newRow("source wider than design") << design << QStringList{"--field-source", source200, "--rittaido", "0"}
                                              << QString() << source200 << 200 << 0;
    const QString design16384 = input(QStringLiteral("design16384.png"));
    QTest::newRow("design 16384 wide, tiled source") << design16384 << QStringList{"--field-source", source64}
                                                     << QString() << source64 << 64 << 20;
    const QString confetti = samplePath(QStringLiteral("tile-confetti.bmp"));
    QTest::newRow("shipped samples") << samplePath(QStringLiteral("design-lumivex.bmp")) << QStringList{"--field-source", confetti}
                                     << QString() << confetti << 200 << 20;
}

void TestConvert::fieldMatchesEngine()
{
    QFETCH(QString, design);
    QFETCH(QStringList, options);
    QFETCH(QString, field);
    QFETCH(QString, source);
    QFETCH(int, kurikaesi);
    QFETCH(int, rittaido);

    const QString out = output(QStringLiteral("field.png"));
    expectSuccess(QStringList{"--mode", "field"} << options << design << out);

    const PackedImage depth = readPacked(design);
    const PackedImage fieldImage =
        field.isEmpty() ? engine::tileField(readPacked(source), depth.width, depth.height) : readPacked(field);
    const PackedImage expected = engine::convertField(depth, fieldImage, {.kurikaesi = kurikaesi, .rittaido = rittaido});
    const PackedImage actual = readPacked(out);
    QCOMPARE(actual.width, fieldImage.width);
    QCOMPARE(actual.height, fieldImage.height);
    QVERIFY(actual.pixels == expected.pixels);
}

void TestConvert::greyDepthMatchesPaintedDesign_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QStringList>("depth"); // how the picture is read
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QImage>("design"); // the same depth in the depth colours

    // A grey ramp over every value, black far and white near: level round(g × 15 / 255).
    // The sixteen greys level × 17 alone are the levels themselves, also as smooth depth.
    QImage ramp(256, 12, QImage::Format_Grayscale8), greys(256, 12, QImage::Format_Grayscale8);
    QImage rampDesign(256, 12, QImage::Format_RGB32), greysDesign(256, 12, QImage::Format_RGB32);
    for (int y = 0; y < ramp.height(); ++y) {
        for (int x = 0; x < 256; ++x) {
            const int grey = (x + 37 * y) % 256, level = (x / 3 + 5 * y) % 16;
            ramp.setPixel(x, y, qRgb(grey, grey, grey));
            rampDesign.setPixel(x, y, picture::unpackPixel(engine::DepthPalette[qRound(grey * 15 / 255.0)]));
            greys.setPixel(x, y, qRgb(level * 17, level * 17, level * 17));
            greysDesign.setPixel(x, y, picture::unpackPixel(engine::DepthPalette[level]));
        }
    }
    const QStringList levels{"--depth", "grey", "--levels", "16"}, whole{"--depth", "grey", "--oversample", "1"};
    const QStringList field{"--mode", "field", "--field-source", input(QStringLiteral("source64.bmp"))};
    QTest::newRow("grey ramp, random dot") << ramp << levels << QStringList{"--mode", "color", "--seed", "3"} << rampDesign;
    QTest::newRow("grey ramp, colour field") << ramp << levels << field << rampDesign;
    QTest::newRow("grey ramp, spelled gray") << ramp << QStringList{"--depth", "gray", "--levels", "16"}
                                             << QStringList{"--seed", "4"} << rampDesign;
    QTest::newRow("sixteen greys, smooth, random dot") << greys << whole << QStringList{"--mode", "color", "--seed", "3"} << greysDesign;
    QTest::newRow("sixteen greys, smooth, mono, 16-bit PNG") << QImage(greys).convertToFormat(QImage::Format_Grayscale16)
                                                             << whole << QStringList{"--seed", "3"} << greysDesign;
    QTest::newRow("sixteen greys, smooth, colour field") << greys << whole << field << greysDesign;
    // Resampled first: the depth colours by the nearest, grey maps bilinear (2 × 2 blocks of one grey halved).
    QTest::newRow("depth colours, scale 2") << greysDesign << QStringList{"--scale", "2"} << QStringList{"--seed", "3"}
                                            << greysDesign.scaled(512, 24);
    QTest::newRow("sixteen greys, smooth, scale 0.5") << greys.scaled(512, 24) << (whole + QStringList{"--scale", "0.5"})
                                                      << field << greysDesign;
    // --invert gives the picture of the design inverted: level L as 15 - L, grey g as 255 - g.
    QImage invertedGreys(greysDesign), invertedRamp(ramp), invertedRampDesign(rampDesign);
    invertedRamp.invertPixels();
    for (int y = 0; y < ramp.height(); ++y) {
        for (int x = 0; x < 256; ++x) {
            const auto inverted = [x, y](const QImage &from) {
                return picture::unpackPixel(engine::DepthPalette[15 - engine::depthLevel(picture::packPixel(from.pixel(x, y)))]);
            };
            invertedGreys.setPixel(x, y, inverted(greysDesign));
            invertedRampDesign.setPixel(x, y, inverted(rampDesign));
        }
    }
    QTest::newRow("inverted depth colours") << greysDesign << QStringList{"--invert"} << QStringList{"--seed", "3"} << invertedGreys;
    QTest::newRow("inverted grey ramp, levels") << ramp << (levels + QStringList{"--invert"}) << field << invertedRampDesign;
    QTest::newRow("inverted sixteen greys, smooth") << greys << (whole + QStringList{"--invert"}) << QStringList{"--seed", "6"}
                                                    << invertedGreys;
    QTest::newRow("inverted grey ramp, smooth") << ramp << QStringList{"--invert"}
                                                << QStringList{"--depth", "grey", "--mode", "color", "--seed", "3"} << invertedRamp;
    // A colour picture is taken by its brightness.
    const QImage colours = makeField(120, 40, 21);
    QTest::newRow("colour picture") << colours << levels << QStringList{"--seed", "5"} << document::greyToDepthColours(colours);
}

void TestConvert::greyDepthMatchesPaintedDesign()
{
    QFETCH(QImage, picture);
    QFETCH(QStringList, depth);
    QFETCH(QStringList, options);
    QFETCH(QImage, design);

    const QString source = input(QStringLiteral("depthmap.png"));
    QVERIFY(picture.save(source));
    const QString out = output(QStringLiteral("grey.png"));
    expectSuccess(QStringList(depth) << options << source << out);

    // The same run over the design painted in the depth colours.
    const QString painted = output(QStringLiteral("painted.png"));
    QVERIFY(design.save(painted));
    expectSuccess(QStringList(options) << painted << output(QStringLiteral("painted-out.png")));
    QVERIFY(readPacked(out).pixels == readPacked(output(QStringLiteral("painted-out.png"))).pixels);
}

void TestConvert::refusalNamesWhatWorks_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("rittaido"); // at repeat width 30
    QTest::addColumn<int>("strength"); // the largest usable one named
    QTest::addColumn<int>("repeat");   // the smallest usable one named
    const QStringList grey{"--depth", "grey"};
    QTest::newRow("depth colours' greys, read as painted") << QStringList() << 40 << 19 << 61;
    QTest::newRow("smooth, field") << (grey + QStringList{"--mode", "field", "--field-source", input("source64.bmp")})
                                   << 40 << 19 << 61;
    // 20 / 10 × 15 = 30 pixels, 120 quarter pixels: exactly the repeat width.
    QTest::newRow("smooth, at the width") << grey << 20 << 19 << 31;
}

void TestConvert::refusalNamesWhatWorks()
{
    // Refused settings name the largest strength and smallest repeat the design allows (its white lies below rows
    // of grey 192 that fail first): each is then taken in silence, one beyond it refused.
    QFETCH(QStringList, options);
    QFETCH(int, rittaido);
    QFETCH(int, strength);
    QFETCH(int, repeat);
    QImage design(120, 40, QImage::Format_Grayscale8);
    for (int i = 0; i < 120 * 40; ++i)
        design.setPixel(i % 120, i / 120, i > 120 * 30 && i % 120 > 40 ? 0xffffffffu : 0xffc0c0c0u);
    const QString in = input(QStringLiteral("reach.png")), out = output(QStringLiteral("reach.png"));
    QVERIFY(design.save(in));
    const auto run = [&](int k, int r) {
        QFile::remove(out);
        const Run made = convert(QStringList(options) << "--repeat" << QString::number(k) << "--strength"
                                                      << QString::number(r) << in << out, m_dir.path());
        return made.exitCode == 0 && QFile::exists(out) ? made.err : "refused: " + made.err;
    };
    const QRegularExpressionMatch named =
        QRegularExpression(QStringLiteral("largest usable strength is (\\d+) \\(or use --repeat (\\d+) or more\\)\\n$"))
            .match(QString::fromUtf8(run(30, rittaido)));
    QCOMPARE(named.captured(1).toInt(), strength);
    QCOMPARE(named.captured(2).toInt(), repeat);
    QVERIFY(run(30, strength).isEmpty() && run(30, strength + 1).startsWith("refused: "));
    QVERIFY(run(repeat, rittaido).isEmpty() && run(repeat - 1, rittaido).startsWith("refused: "));
}

void TestConvert::checkReportsThePicture_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("withOutput"); // the picture is also written, as without --check
    QTest::addColumn<QString>("report");
    // Greys 0 and 128 inverted: far 255 - 128 (shift 59.76 quarter pixels, 60), near 255 (120).
    // The far surface right of the step is hidden from the left eye for (220 - 160) / 8 pixels.
    const QString inverted = QStringLiteral("depths: 61 (distinct separations in 1/4 pixel steps from the farthest depth "
                                            "to the nearest)\n"
                                            "far separation: 55 pixels (4.66 mm at 300 dpi)\n"
                                            "near separation: 40 pixels (3.39 mm)\n"
                                            "smallest depth step: 10.85 arcseconds at 400 mm (eyes 65 mm apart)\n"
                                            "seen by one eye only: 3.50 % of the picture\n"
                                            "warning: the repeat is under 15 mm on paper: hard to fuse\n");
    const QStringList options{"--check", "--invert", "--depth", "grey", "--dpi", "300", "--mode", "color", "--seed", "3"};
    QTest::newRow("alone") << options << false << inverted;
    QTest::newRow("with the picture") << options << true << inverted;
    // The field, 90 rows high, is outside the design (the farthest depth) below its 20 rows.
    QTest::newRow("field beyond the design") << (options.mid(0, 6) << "--mode" << "field" << "--field" << input("field-large.png"))
                                             << true
                                             << QString(inverted).replace("depths: 61", "depths: 121")
                                                    .replace("55 pixels (4.66", "70 pixels (5.93").replace("3.50 %", "0.78 %");
    QTest::newRow("warnings") << QStringList{"--check", "--depth", "grey", "--oversample", "1", "--repeat", "60", "--dpi", "20",
                                             "--view-mm", "600"}
                              << false
                              << QStringLiteral("depths: 31 (distinct separations in whole pixels from the farthest depth to "
                                                "the nearest)\n"
                                                "far separation: 60 pixels (76.20 mm at 20 dpi)\n"
                                                "near separation: 30 pixels (38.10 mm)\n"
                                                "smallest depth step: 436.38 arcseconds at 600 mm (eyes 65 mm apart)\n"
                                                "seen by one eye only: 7.50 % of the picture\n"
                                                "warning: the near separation is at most half the far one: two near "
                                                "repeats fuse as one far repeat (double images)\n"
                                                "warning: the repeat is over 60 mm on paper: it cannot be viewed parallel\n");
}

void TestConvert::checkReportsThePicture()
{
    QFETCH(QStringList, options);
    QFETCH(bool, withOutput);
    QFETCH(QString, report);
    QImage design(200, 20, QImage::Format_Grayscale8);
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 20; ++y)
            design.setPixel(x, y, x < 100 ? qRgb(0, 0, 0) : options.contains("--invert") ? qRgb(128, 128, 128) : qRgb(255, 255, 255));
    const QString in = input(QStringLiteral("check.png")), out = output(QStringLiteral("checked.png"));
    QVERIFY(design.save(in));
    QFile::remove(out);
    const Run run = convert(QStringList(options) << in << (withOutput ? QStringList{out} : QStringList()), m_dir.path());
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), report);
    QCOMPARE(QFile::exists(out), withOutput);
    if (withOutput) {
        expectSuccess(options.mid(1) << in << output(QStringLiteral("unchecked.png")));
        QVERIFY(readPacked(out).pixels == readPacked(output(QStringLiteral("unchecked.png"))).pixels);
    }
}

void TestConvert::startFromTheMiddle()
{
    // A flat far design: the field shows as it is in the repeat width the rows start from,
    // (157 - 40) / 2 = 58 columns in, for both spellings.
    QImage black(157, 61, QImage::Format_Grayscale8);
    black.fill(Qt::black);
    QVERIFY(black.save(input(QStringLiteral("black.png"))));
    const PackedImage field = readPacked(input(QStringLiteral("field.bmp")));
    for (const char *start : {"centre", "center"}) {
        expectSuccess({"--depth", "grey", "--oversample", "1", "--start", start, "--mode", "field", "--field",
                       input(QStringLiteral("field.bmp")), "--repeat", "40", input(QStringLiteral("black.png")), output("mid.png")});
        const PackedImage picture = readPacked(output(QStringLiteral("mid.png")));
        for (int i = 0; i < 40 * picture.height; ++i)
            QCOMPARE(picture.at(58 + i % 40, i / 40), field.at(58 + i % 40, i / 40));
    }
}

void TestConvert::seedDecidesPicture()
{
    const QString design = input(QStringLiteral("design.bmp"));
    const auto picture = [&](const QStringList &options, const QString &name) {
        expectSuccess(QStringList{"--mode", "color"} << options << design << output(name));
        return readPacked(output(name)).pixels;
    };
    const auto first = picture({"--seed", "42"}, QStringLiteral("a.bmp"));
    QVERIFY(picture({"--seed", "42"}, QStringLiteral("b.bmp")) == first);
    QVERIFY(picture({"--seed", "43"}, QStringLiteral("c.bmp")) != first);
    // Without a seed the clock decides: two runs differ.
    QVERIFY(picture({}, QStringLiteral("d.bmp")) != picture({}, QStringLiteral("e.bmp")));
    // So do the depths below an 8-bit grey: a 16-bit ramp and its 8-bit copy differ.
    QImage ramp(1024, 4, QImage::Format_Grayscale16);
    for (int y = 0; y < ramp.height(); ++y)
        for (int x = 0; x < ramp.width(); ++x)
            reinterpret_cast<quint16 *>(ramp.scanLine(y))[x] = quint16(x * 16);
    QVERIFY(ramp.save(input(QStringLiteral("ramp16.png"))));
    QVERIFY(ramp.convertToFormat(QImage::Format_Grayscale8).save(input(QStringLiteral("ramp8.png"))));
    // Without --depth each is found to be a grey depth map, which one line says.
    const auto smooth = [&](const char *bits) {
        const QString name = QStringLiteral("ramp%1.png").arg(QLatin1String(bits));
        expectSuccess({"--depth", "grey", "--seed", "1", input(name), output(name)});
        const Run found = convert({"--seed", "1", input(name), output("found.png")}, m_dir.path());
        const bool said = found.err.count('\n') == 1 && found.err.contains("read as a grey depth map")
                          && found.err.contains("--depth colours");
        const auto pixels = readPacked(output(name)).pixels;
        return said && readPacked(output("found.png")).pixels == pixels ? pixels : std::vector<engine::Packed>();
    };
    // The 16-bit one is the smooth conversion of its samples as they are.
    const auto *samples = reinterpret_cast<const quint16 *>(ramp.constScanLine(0));
    const std::vector<std::uint16_t> depth(samples, samples + 1024);
    PackedImage expected(1023, 3);
    engine::SmoothDot dots;
    dots.begin({.kurikaesi = 70, .rittaido = 20, .mitudo = 30, .mono = true}, {}, 1023, 1);
    for (int y = 0; y <= expected.height; ++y)
        dots.row(depth, y < expected.height ? expected.row(y) : std::span<engine::Packed>{});
    const auto sixteen = smooth("16"), eight = smooth("8");
    QVERIFY(sixteen == expected.pixels);
    QVERIFY(!eight.empty() && eight != sixteen);
}

void TestConvert::formatFollowsName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("magic");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("dotsPerMeter"); // the resolution recorded in the file
    const auto row = [](const char *tag, const char *name, const char *magic, const QStringList &options = {},
                        QSize size = {156, 60}, int dotsPerMeter = 3780) {
        QTest::newRow(tag) << name << QByteArray(magic) << options << size << dotsPerMeter;
    };
    row("png", "out.png", "\x89PNG");
    row("PNG in capitals", "OUT.PNG", "\x89PNG");
    row("Png", "out.Png", "\x89PNG");
    row("bmp", "out.bmp", "BM");
    row("png not last", "out.png.bmp", "BM");
    row("300 dpi, PNG", "out.png", "\x89PNG", {"--dpi", "300"}, {156, 60}, 11811);
    row("300 dpi, BMP", "out.bmp", "BM", {"--dpi=300"}, {156, 60}, 11811);
    // The design (157 × 61) resampled, then one pixel narrower and shorter as always.
    row("scale 2", "out.bmp", "BM", {"--scale", "2"}, {313, 121});
    row("scale 0.5, grey", "out.png", "\x89PNG", {"--depth", "grey", "--scale", "0.5"}, {78, 30});
    row("width 1000, 72 dpi", "out.png", "\x89PNG", {"--width", "1000", "--dpi", "72"}, {999, 388}, 2835);
    row("field source, scale 1.5", "out.png", "\x89PNG", {"--mode", "field", "--field-source", input(QStringLiteral("source64.bmp")),
                                                          "--scale", "1.5"}, {236, 92});
}

void TestConvert::formatFollowsName()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, magic);
    QFETCH(QStringList, options);
    QFETCH(QSize, size);
    QFETCH(int, dotsPerMeter);
    expectSuccess(QStringList(options) << input(QStringLiteral("design.bmp")) << output(name));
    QFile file(output(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(magic.size()) == magic);
    const QImage written(output(name), magic == "BM" ? "BMP" : "PNG");
    QCOMPARE(written.size(), size);
    QCOMPARE(written.dotsPerMeterX(), dotsPerMeter);
    QCOMPARE(written.dotsPerMeterY(), dotsPerMeter);
}

void TestConvert::guidesAboveThePicture_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kurikaesi");

    const QString design = input(QStringLiteral("design.bmp"));
    QTest::newRow("mono, default repeat") << QStringList{"--seed", "3"} << design << "g.png" << 70;
    QTest::newRow("colour, odd repeat, BMP") << QStringList{"--mode", "color", "--repeat", "33", "--seed", "3"} << design
                                             << "g.bmp" << 33;
    QTest::newRow("colour field") << QStringList{"--mode", "field", "--field", input(QStringLiteral("field.bmp")), "--repeat=50"}
                                  << design << "g.png" << 50;
    QTest::newRow("tall: a twentieth of the height") << QStringList{"--seed", "2", "--kurikaesi", "64"}
                                                     << input(QStringLiteral("tall.png")) << "g.png" << 64;
    QTest::newRow("30 mm at 300 dpi, flat") << QStringList{"--seed", "2", "--dpi", "300", "--repeat-mm", "30"}
                                            << input(QStringLiteral("flat800.bmp")) << "g.png" << 354;
    QTest::newRow("repeat 200 in 299 pixels") << QStringList{"--seed", "2", "--kurikaesi", "200"}
                                              << input(QStringLiteral("design300.png")) << "g.png" << 200;
}

// The band as a viewer sees it: white but for two round dark dots in its middle, centred on the
// picture and one repeat width apart centre to centre; under it the picture made without it.
void TestConvert::guidesAboveThePicture()
{
    QFETCH(QStringList, options);
    QFETCH(QString, design);
    QFETCH(QString, name);
    QFETCH(int, kurikaesi);

    expectSuccess(QStringList(options) << design << output(QStringLiteral("plain.png")));
    expectSuccess(QStringList(options) << "--guides" << design << output(name));
    const PackedImage plain = readPacked(output(QStringLiteral("plain.png")));
    const PackedImage guided = readPacked(output(name));
    const int band = std::max(16, qRound(plain.height / 20.0));
    QCOMPARE(guided.width, plain.width);
    QCOMPARE(guided.height, plain.height + band);
    QVERIFY(std::equal(plain.pixels.begin(), plain.pixels.end(), guided.pixels.begin() + qsizetype(band) * plain.width));
    if (design.contains(QStringLiteral("flat"))) { // repeats at exactly the repeat width, not one pixel less
        const auto first = plain.row(0);
        QVERIFY(std::equal(first.begin() + kurikaesi, first.end(), first.begin()));
        QVERIFY(!std::equal(first.begin() + kurikaesi - 1, first.end(), first.begin()));
    }

    int middle = -1, most = 0;
    for (int y = 0; y < band; ++y) {
        const auto row = guided.row(y);
        QVERIFY(std::all_of(row.begin(), row.end(), [](engine::Packed p) {
            return p == engine::kGuideBackground || p == engine::kGuideDot;
        }));
        const auto dark = std::count(row.begin(), row.end(), engine::kGuideDot);
        QVERIFY2(dark == 0 || (y > 0 && y < band - 1), "the dots stay inside the band");
        if (dark > most)
            most = int(dark), middle = y;
    }
    QVERIFY(middle >= 0);
    QList<int> starts, ends;
    const auto row = guided.row(middle);
    for (int x = 0; x < guided.width; ++x) {
        if (row[x] == engine::kGuideDot && (x == 0 || row[x - 1] != engine::kGuideDot))
            starts << x;
        if (row[x] == engine::kGuideDot && (x == guided.width - 1 || row[x + 1] != engine::kGuideDot))
            ends << x;
    }
    QCOMPARE(starts.size(), 2);
    const int across = ends[0] - starts[0] + 1;
    QCOMPARE(ends[1] - starts[1] + 1, across);
    QVERIFY(across % 2 == 1 && across >= 3);
    const int left = starts[0] + across / 2, right = starts[1] + across / 2;
    QCOMPARE(right - left, kurikaesi);
    QVERIFY2(qAbs(left - (guided.width - 1 - right)) <= 1, "centred");
    int tall = 0;  // round: as tall as wide
    for (int y = 0; y < band; ++y)
        tall += guided.row(y)[left] == engine::kGuideDot;
    QCOMPARE(tall, across);
}

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
