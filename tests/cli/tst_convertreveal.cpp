// lumivex-convert --reveal: a stereogram, also a JPEG copy of one, back to the depth it was made
// from, written as greys that a grey depth map reads back as the same levels; bad input fails
// with one line, exit status 2 and no file.

#include "convertrun.h"

#include "document/greydepth.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

using namespace lumivex;
using namespace lumivex::testing;

namespace {

constexpr int kWidth = 640, kHeight = 400, kMargin = 60, kInset = 30;

// The level of the design at (x, y): a 4 × 4 grid of blocks at levels 0..15 over a far
// background, clear of the last repeat width. -1 where a window of the reveal may reach across
// an edge, or a surface is hidden beside a block: those are not compared. Neither are the first
// columns, whose black dots a random-dot picture does not repeat.
int designLevel(int x, int y, bool withEdges = false)
{
    const int cellWidth = (kWidth - kMargin - 100) / 4, cellHeight = kHeight / 4;
    const int i = (x - kMargin) / cellWidth, u = (x - kMargin) % cellWidth, v = y % cellHeight;
    if (x < kMargin || i >= 4)
        return withEdges || (x > 3 && x < kMargin - 50) || x > kMargin + 4 * cellWidth + 4 ? 0 : -1;
    const int edge = withEdges ? 0 : 4;
    if (u >= kInset + edge && u < cellWidth - kInset - edge && v >= kInset + edge && v < cellHeight - kInset - edge)
        return 4 * (y / cellHeight) + i;
    const bool block = u >= kInset && u < cellWidth - kInset && v >= kInset && v < cellHeight - kInset;
    if (withEdges)
        return block ? 4 * (y / cellHeight) + i : 0;
    // Background beside a block: away from its edges, and not within the 30 pixels the
    // nearest block hides to its left.
    const bool clear = (v < kInset - 2 || v >= cellHeight - kInset + 2) || (u >= cellWidth - kInset + 4);
    return block ? -1 : clear ? 0 : -1;
}

QImage designPicture()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, picture::unpackPixel(engine::DepthPalette[designLevel(x, y, true)]));
    return image;
}

} // namespace

class TestConvertReveal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void jpegCopiesReadBackAsTheirLevels_data();
    void jpegCopiesReadBackAsTheirLevels();
    void formatFollowsName();
    void viewsOfDesignAndStereogram();
    void badInput_data();
    void badInput();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestConvertReveal::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(designPicture().save(path(QStringLiteral("design.png"))));
    QVERIFY(makeField(kWidth, kHeight, 3).save(path(QStringLiteral("field.png"))));
    QVERIFY(makeField(kWidth, kHeight, 4).save(path(QStringLiteral("noise.png"))));
    const Run run = convert({QStringLiteral("--seed"), QStringLiteral("5"), path(QStringLiteral("design.png")),
                             path(QStringLiteral("stereo.png"))},
                            m_dir.path());
    QCOMPARE(run.exitCode, 0);
}

void TestConvertReveal::jpegCopiesReadBackAsTheirLevels_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("quality");

    QTest::newRow("mono, JPEG 85") << QStringList{"--mode", "mono", "--seed", "9"} << 85;
    QTest::newRow("colour, JPEG 90") << QStringList{"--mode", "color", "--seed", "9", "--repeat", "90"} << 90;
    QTest::newRow("field, JPEG 90") << QStringList{"--mode", "field", "--field", "field.png", "--strength", "15"} << 90;
    QTest::newRow("mono, exact") << QStringList{"--mode", "mono", "--seed", "9", "--repeat", "100", "--strength", "25"} << -1;
}

void TestConvertReveal::jpegCopiesReadBackAsTheirLevels()
{
    QFETCH(QStringList, options);
    QFETCH(int, quality);

    Run run = convert(options + QStringList{"design.png", "made.png"}, m_dir.path());
    QCOMPARE(run.exitCode, 0);
    const QString stereo = quality > 0 ? QStringLiteral("made.jpg") : QStringLiteral("made.png");
    if (quality > 0)
        QVERIFY(QImage(path(QStringLiteral("made.png"))).save(path(stereo), "JPEG", quality));
    run = convert({QStringLiteral("--reveal"), stereo, QStringLiteral("depth.png")}, m_dir.path());
    QCOMPARE(run.exitCode, 0);
    const qsizetype given = options.indexOf(QStringLiteral("--repeat"));  // the width found is said in one line
    const QString repeat = given < 0 ? QStringLiteral("70") : options[given + 1];
    QCOMPARE(run.err, QStringLiteral("lumivex-convert: the depth of '%1' was read at a repeat width of %2 pixels (found in the picture)\n").arg(stereo, repeat).toUtf8());

    // Sixteen levels: greys 17 × level, each the level a grey depth map reads.
    const engine::PackedImage depth = readPacked(path(QStringLiteral("depth.png")));
    long compared = 0, wrong = 0;
    for (int y = 0; y < depth.height; ++y) {
        for (int x = 0; x < depth.width; ++x) {
            const int level = designLevel(x, y);
            if (level < 0)
                continue;
            ++compared;
            const engine::Packed grey = depth.at(x, y);
            QCOMPARE(engine::redOf(grey), engine::blueOf(grey));
            wrong += grey != engine::pack(17 * level, 17 * level, 17 * level)
                || document::greyDepthLevel(grey) != level;
        }
    }
    QVERIFY(compared > depth.width * depth.height / 2);
    // Four pixels and more from edges and hidden surfaces none are wrong in the exact picture;
    // in the JPEGs 0 to 0.3 % are (a colour field's noise blurs the left edges of near surfaces
    // by up to ten pixels): at most 0.5 %.
    QVERIFY2(wrong * 200 < compared, qPrintable(QStringLiteral("%1 of %2 wrong").arg(wrong).arg(compared)));
    if (quality < 0)
        QCOMPARE(wrong, 0);
}

void TestConvertReveal::formatFollowsName()
{
    for (const char *name : {"depth.bmp", "depth.PNG"}) {
        const Run run = convert({QStringLiteral("--reveal"), QStringLiteral("stereo.png"), QLatin1String(name)}, m_dir.path());
        QCOMPARE(run.exitCode, 0);
    }
    QCOMPARE(QImageReader(path(QStringLiteral("depth.bmp"))).format(), QByteArray("bmp"));
    QCOMPARE(QImageReader(path(QStringLiteral("depth.PNG"))).format(), QByteArray("png"));
    const engine::PackedImage bmp = readPacked(path(QStringLiteral("depth.bmp")));
    QCOMPARE(bmp.width, kWidth - 1);
    QCOMPARE(bmp.pixels, readPacked(path(QStringLiteral("depth.PNG"))).pixels);

    // One flat depth is written and told: a misread is likelier than a flat stereogram.
    QImage flat = designPicture();
    flat.fill(picture::unpackPixel(engine::DepthPalette[6]));
    QVERIFY(flat.save(path(QStringLiteral("flat-design.png"))));
    QCOMPARE(convert({QStringLiteral("flat-design.png"), QStringLiteral("flat.png")}, m_dir.path()).exitCode, 0);
    const Run run = convert({QStringLiteral("--reveal"), QStringLiteral("flat.png"), QStringLiteral("flat.bmp")}, m_dir.path());
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.count('\n') == 1 && run.err.contains("shows one flat depth"), run.err.constData());
    QVERIFY(QFile::exists(path(QStringLiteral("flat.bmp"))));

    // A stereogram below three times as many rows of noise: its repeat is found, and the line
    // warns that the picture hardly shows it.
    const QImage stereo = QImage(path(QStringLiteral("stereo.png"))).convertToFormat(QImage::Format_RGB32);
    QImage unsure = stereo.copy(0, -3 * stereo.height(), stereo.width(), 4 * stereo.height());
    quint32 seed = 3;
    for (int i = 0; i < 3 * stereo.height() * unsure.width(); ++i)
        unsure.setPixel(i % unsure.width(), i / unsure.width(), (seed = seed * 1664525u + 1013904223u) >> 8);
    QVERIFY(unsure.save(path(QStringLiteral("unsure.png"))));
    QCOMPARE(convert({QStringLiteral("--reveal"), QStringLiteral("unsure.png"), QStringLiteral("unsure-depth.png")}, m_dir.path()).err,
             "lumivex-convert: the depth of 'unsure.png' was read at a repeat width of 70 pixels (found in the picture); the picture "
             "does not show its repeat clearly, so the depth may be misread: give --repeat if the width is known\n");
}

// The stereo pair: a design's blocks at level L stand out by 2L pixels at strength 20 (the
// left view's point u + L is the right view's u - L); crossed is parallel with its halves
// swapped; a stereogram's pair has its size, and is made in silence.
void TestConvertReveal::viewsOfDesignAndStereogram()
{
    for (const char *kind : {"parallel", "cross"})
        QCOMPARE(convert({"--view", kind, "--seed", "4", "design.png", QStringLiteral("%1.png").arg(kind)}, m_dir.path()).exitCode, 0);
    const engine::PackedImage parallel = readPacked(path(QStringLiteral("parallel.png")));
    const engine::PackedImage cross = readPacked(path(QStringLiteral("cross.png")));
    QCOMPARE(parallel.width, 2 * kWidth);
    QCOMPARE(parallel.height, kHeight);
    long compared = 0, same = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            QCOMPARE(cross.at(x, y), parallel.at(x + kWidth, y));
            QCOMPARE(cross.at(x + kWidth, y), parallel.at(x, y));
            const int level = designLevel(x, y);
            if (level > 0) {
                ++compared;
                same += parallel.at(x + level, y) == parallel.at(kWidth + x - level, y);
            }
        }
    }
    QVERIFY(compared > 10000);
    QCOMPARE(same, compared);

    // A wiggle of three views: an animated PNG of four frames, the left view first.
    QCOMPARE(convert({"--view", "wiggle", "--views", "3", "--seed", "4", "design.png", "wiggle.png"}, m_dir.path()).exitCode, 0);
    QFile wiggle(path(QStringLiteral("wiggle.png")));
    QVERIFY(wiggle.open(QIODevice::ReadOnly));
    const QByteArray bytes = wiggle.readAll();
    QCOMPARE(bytes.mid(bytes.indexOf("acTL") + 4, 8), QByteArray("\0\0\0\4\0\0\0\0", 8));
    QCOMPARE(bytes.count("fdAT"), 3);
    const engine::PackedImage first = readPacked(path(QStringLiteral("wiggle.png")));
    QCOMPARE(first.width, kWidth);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            QCOMPARE(first.at(x, y), parallel.at(x, y));

    const Run run = convert({"--view", "above-below", "--reveal", "--disparity", "10", "stereo.png", "pair.bmp"}, m_dir.path());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    const engine::PackedImage pair = readPacked(path(QStringLiteral("pair.bmp")));
    QCOMPARE(pair.width, kWidth - 1);
    QCOMPARE(pair.height, 2 * (kHeight - 1));
}

void TestConvertReveal::badInput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("complaint");

    const QString stereo = QStringLiteral("stereo.png"), out = QStringLiteral("out.png");
    QTest::newRow("no arguments") << QStringList{"--reveal"} << "missing STEREOGRAM and OUTPUT";
    QTest::newRow("no output") << QStringList{"--reveal", stereo} << "missing OUTPUT";
    QTest::newRow("takes no value") << QStringList{"--reveal=yes", stereo, out} << "--reveal takes no value";
    QTest::newRow("not a picture option") << QStringList{"--reveal", "--mode", "color", stereo, out}
                                          << "--mode is not used with --reveal";
    QTest::newRow("no guide marks") << QStringList{"--reveal", "--guides", stereo, out} << "--guides is not used with --reveal";
    QTest::newRow("repeat too small") << QStringList{"--reveal", "--repeat", "5", stereo, out}
                                      << "--repeat must be a whole number from 8 to 8192 with --reveal, not '5'";
    QTest::newRow("unreadable") << QStringList{"--reveal", "nothere.png", out} << "cannot read the stereogram 'nothere.png'";
    QTest::newRow("overwrites itself") << QStringList{"--reveal", stereo, "./stereo.png"}
                                       << "it is the stereogram 'stereo.png', which would be overwritten";
    QTest::newRow("output name") << QStringList{"--reveal", stereo, "out.jpg"} << "must end in .png or .bmp";
    QTest::newRow("no repeat") << QStringList{"--reveal", "noise.png", out}
                               << "cannot reveal the depth of 'noise.png': nothing in it repeats sideways";
    QTest::newRow("unknown view") << QStringList{"--view", "wobble", stereo, out} << "unknown view 'wobble'";
    QTest::newRow("wiggle as BMP") << QStringList{"--view", "wiggle", "design.png", "out.bmp"}
                                   << "a wiggle picture is an animated PNG, and its name must end in .png";
    QTest::newRow("views without wiggle") << QStringList{"--view", "cross", "--views", "3", "design.png", out}
                                          << "--views is only used with --view wiggle";
    QTest::newRow("disparity without view") << QStringList{"--disparity", "5", "design.png", out}
                                            << "--disparity is only used with --view";
    QTest::newRow("view, not a picture option") << QStringList{"--view", "cross", "--mode", "color", "design.png", out}
                                                << "--mode is not used with --view";
    QTest::newRow("view, repeat of a design") << QStringList{"--view", "cross", "--repeat", "80", "design.png", out}
                                              << "--repeat does not change the views of a design";
    QTest::newRow("view, strength and disparity") << QStringList{"--view", "anaglyph", "--strength", "20", "--disparity", "9", "design.png", out}
                                                  << "give either --strength or --disparity, not both";
    QTest::newRow("view of no stereogram") << QStringList{"--view", "anaglyph", "--reveal", "noise.png", out}
                                           << "cannot reveal the depth of 'noise.png'";
    QTest::newRow("no repeat at the width given") << QStringList{"--reveal", "--kurikaesi", "30", stereo, out}
                                                  << "nothing in it repeats sideways at 30 pixels";
}

void TestConvertReveal::badInput()
{
    QFETCH(QStringList, args);
    QFETCH(QString, complaint);

    const QByteArray stereo = [&] {
        QFile file(path(QStringLiteral("stereo.png")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    const Run run = convert(args, m_dir.path());
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.startsWith("lumivex-convert: ") && run.err.count('\n') == 1, run.err.constData());
    QVERIFY2(QString::fromUtf8(run.err).contains(complaint), run.err.constData());
    QVERIFY(!QFile::exists(path(QStringLiteral("out.png"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("out.jpg"))));
    QFile file(path(QStringLiteral("stereo.png")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), stereo);
}

QTEST_GUILESS_MAIN(TestConvertReveal)
#include "tst_convertreveal.moc"
