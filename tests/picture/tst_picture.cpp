// Picture loading: every format by content, exact sizes and colours, metafiles through libwmf,
// damaged files refused with a reason, sizes judged from the header, and the packed-colour
// conversions.

#include "picture/picture.h"
#include "picture/wmfpicture.h"
#include "picturefiles.h"
#include "wmfwriter.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace lumivex;
using namespace lumivex::picture;

namespace {

using wmfwriter::putDword;
using wmfwriter::putWord;

// A GIF with a 256-colour table and one frame per picture of indices. The LZW stream sends every
// index as a 9-bit code and a clear code before the table would widen, which any decoder reads.
QByteArray makeGif(int width, int height, const QList<QRgb> &palette,
                   const QList<QByteArray> &frames, int transparentIndex = -1)
{
    QByteArray out("GIF89a");
    putWord(out, width);
    putWord(out, height);
    out.append(char(0xF7)).append(char(0)).append(char(0));
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    for (const QByteArray &indices : frames) {
        out.append("\x21\xF9\x04", 3);
        out.append(char(transparentIndex >= 0 ? 1 : 0));
        putWord(out, 10);
        out.append(char(transparentIndex >= 0 ? transparentIndex : 0)).append(char(0));
        out.append(char(0x2C));
        putWord(out, 0);
        putWord(out, 0);
        putWord(out, width);
        putWord(out, height);
        out.append(char(0)).append(char(8));
        QByteArray codes;
        quint32 bits = 0;
        int count = 0;
        auto putCode = [&](int code) {
            bits |= static_cast<quint32>(code) << count;
            for (count += 9; count >= 8; count -= 8, bits >>= 8)
                codes.append(char(bits & 0xff));
        };
        for (int i = 0; i < indices.size(); ++i) {
            if (i % 250 == 0)
                putCode(256);
            putCode(static_cast<quint8>(indices[i]));
        }
        putCode(257);
        if (count > 0)
            codes.append(char(bits & 0xff));
        for (int i = 0; i < codes.size(); i += 255) {
            const QByteArray block = codes.mid(i, 255);
            out.append(char(block.size())).append(block);
        }
        out.append(char(0));
    }
    out.append(char(0x3B));
    return out;
}

// A 24-bit bottom-up device-independent bitmap of 8 × 8 pixels in four quadrants, top first.
QByteArray quadrantDib(QRgb topLeft, QRgb topRight, QRgb bottomLeft, QRgb bottomRight)
{
    QByteArray out;
    for (quint32 v : {40u, 8u, 8u})
        putDword(out, v);
    putWord(out, 1);
    putWord(out, 24);
    for (quint32 v : {0u, 8u * 24u, 3780u, 3780u, 0u, 0u})
        putDword(out, v);
    for (int y = 7; y >= 0; --y) {
        for (int x = 0; x < 8; ++x) {
            const QRgb c = y < 4 ? (x < 4 ? topLeft : topRight) : (x < 4 ? bottomLeft : bottomRight);
            out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        }
    }
    return out;
}

// A picture of four vertical bands in depth colours, the same in every format.
const QList<QRgb> kBands{qRgb(0, 0, 0), qRgb(85, 85, 85), qRgb(170, 170, 170), qRgb(255, 255, 255)};

QImage bandPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, kBands[x * 4 / width]);
    return image;
}

QByteArray encoded(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

QByteArray bandGif(int width, int height)
{
    QByteArray indices;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            indices.append(char(x * 4 / width));
    return makeGif(width, height, kBands, {indices});
}

// A placeable metafile, 1440 units per inch, 2 × 1 inches: four bands of rectangles, a filled
// ellipse in the first band and a filled triangle in the last.
QByteArray bandWmf()
{
    WmfWriter w;
    w.window(0, 0, 2880, 1440);
    for (int i = 0; i < 4; ++i) {
        w.fill(kBands[i]);
        w.rectangle(i * 720, 0, (i + 1) * 720, 1440);
    }
    w.fill(qRgb(200, 40, 10));
    w.ellipse(60, 300, 660, 900);
    w.fill(qRgb(10, 90, 220));
    w.polygon({QPoint(2200, 200), QPoint(2800, 200), QPoint(2500, 1200)});
    return w.placeable(0, 0, 2880, 1440, 1440);
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QImage load(const QByteArray &bytes, QString *error)
{
    LoadedPicture result = readPictureData(bytes);
    *error = result.reason;
    return std::move(result.image);
}

int colourDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

} // namespace

class TestPicture : public QObject
{
    Q_OBJECT

private slots:
    void loadsEveryFormatByContent_data();
    void loadsEveryFormatByContent();
    void gifGivesItsFirstFrame();
    void transparencyBecomesWhite_data();
    void transparencyBecomesWhite();
    void placeableMetafileSize_data();
    void placeableMetafileSize();
    void metafileShapesAreFilled();
    void plainMetafileUsesItsExtents();
    void metafileHeaderCountsAreNotTrusted();
    void hugePenStillDraws();
    void metafileBitmaps_data();
    void metafileBitmaps();
    void damagedFilesFail_data();
    void damagedFilesFail();
    void sizeJudgedFromHeader_data();
    void sizeJudgedFromHeader();
    void metafilesBeyondTheRenderersMemory();
    void packedRoundTrip();

private:
    QTemporaryDir m_dir;
};

void TestPicture::loadsEveryFormatByContent_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("tolerance");
    const QImage bands = bandPicture(64, 24);
    QTest::newRow("bmp") << encoded(bands, "BMP") << 0;
    QTest::newRow("png") << encoded(bands, "PNG") << 0;
    QTest::newRow("jpeg") << encoded(bands, "JPEG", 100) << 6;
    QTest::newRow("gif") << bandGif(64, 24) << 0;
    QTest::newRow("indexed bmp") << encoded(bands.convertToFormat(QImage::Format_Indexed8), "BMP") << 0;
}

void TestPicture::loadsEveryFormatByContent()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, tolerance);
    // A misleading name: the content decides.
    const QString path = writeFile(m_dir, QStringLiteral("%1.wmf").arg(QTest::currentDataTag()), bytes);
    QString error;
    const QImage image = loadPicture(path, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QCOMPARE(image.size(), QSize(64, 24));
    for (int band = 0; band < 4; ++band) {
        // Away from the band edges, where JPEG blurs.
        const QRgb got = image.pixel(band * 16 + 8, 12);
        QVERIFY2(colourDistance(got, kBands[band]) <= tolerance,
                 qPrintable(QStringLiteral("band %1: %2").arg(band).arg(got, 8, 16)));
    }
}

void TestPicture::gifGivesItsFirstFrame()
{
    const QByteArray first(6 * 4, char(1));
    const QByteArray second(6 * 4, char(2));
    QString error;
    const QImage image = load(makeGif(6, 4, kBands, {first, second}), &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.pixel(3, 2), kBands[1]);
}

void TestPicture::transparencyBecomesWhite_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray indices(8 * 8, char(0));
    indices[9] = 1;
    QTest::newRow("gif") << makeGif(8, 8, {qRgb(12, 34, 56), qRgb(9, 9, 9)}, {indices}, 0);
    QImage argb(8, 8, QImage::Format_ARGB32);
    argb.fill(qRgba(12, 34, 56, 0));
    argb.setPixel(1, 1, qRgb(9, 9, 9));
    QTest::newRow("png") << encoded(argb, "PNG");
    WmfWriter w;
    w.window(0, 0, 96, 96);
    w.fill(qRgb(9, 9, 9));
    w.rectangle(0, 0, 3, 3);
    QTest::newRow("wmf") << w.placeable(0, 0, 96, 96, 96);
}

void TestPicture::transparencyBecomesWhite()
{
    QFETCH(QByteArray, bytes);
    QString error;
    const QImage image = load(bytes, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.pixel(1, 1), qRgb(9, 9, 9));
    QCOMPARE(image.pixel(7, 7), qRgb(255, 255, 255));
}

void TestPicture::placeableMetafileSize_data()
{
    QTest::addColumn<QList<int>>("header"); // left, top, right, bottom, units per inch
    QTest::addColumn<QSize>("size");
    QTest::newRow("1440 per inch") << QList<int>{0, 0, 2880, 1440, 1440} << QSize(192, 96);
    QTest::newRow("offset origin") << QList<int>{-720, 100, 1440, 1540, 1440} << QSize(144, 96);
    QTest::newRow("right before left") << QList<int>{1440, 1440, 0, 0, 1440} << QSize(96, 96);
    QTest::newRow("576 per inch") << QList<int>{0, 0, 1000, 300, 576} << QSize(166, 50);
    QTest::newRow("1024 wide") << QList<int>{0, 0, 1024, 10, 96} << QSize(1024, 10);
    QTest::newRow("tall") << QList<int>{0, 0, 30, 9000, 96} << QSize(30, 9000);
}

void TestPicture::placeableMetafileSize()
{
    QFETCH(QList<int>, header);
    QFETCH(QSize, size);
    const QRect area = QRect(QPoint(header[0], header[1]), QPoint(header[2], header[3])).normalized();
    WmfWriter w;
    w.window(area.left(), area.top(), area.width(), area.height());
    w.fill(qRgb(85, 85, 85));
    w.rectangle(area.left(), area.top(), area.right(), area.bottom());
    QString error;
    const QImage image =
        load(w.placeable(header[0], header[1], header[2], header[3], header[4]), &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.size(), size);
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QCOMPARE(image.pixel(size.width() / 2, size.height() / 2), qRgb(85, 85, 85));
}

void TestPicture::metafileShapesAreFilled()
{
    const QString path = writeFile(m_dir, QStringLiteral("bands.dat"), bandWmf());
    QString error;
    const QImage image = loadPicture(path, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.size(), QSize(192, 96));
    // Band centres outside the shapes keep their exact depth colour.
    QCOMPARE(image.pixel(24, 8), kBands[0]);
    QCOMPARE(image.pixel(72, 48), kBands[1]);
    QCOMPARE(image.pixel(120, 48), kBands[2]);
    QCOMPARE(image.pixel(150, 90), kBands[3]);
    // The ellipse spans 4..44 × 20..60 pixels: filled throughout, not just outlined.
    const QRgb red = qRgb(200, 40, 10);
    for (const QPoint p : {QPoint(24, 40), QPoint(10, 40), QPoint(38, 40), QPoint(24, 25), QPoint(24, 55)})
        QCOMPARE(image.pixel(p), red);
    QCOMPARE(image.pixel(5, 21), kBands[0]); // corner of its box, outside the ellipse
    // The triangle (146..186 × 13..80 pixels) is filled too.
    QCOMPARE(image.pixel(166, 40), qRgb(10, 90, 220));
    QCOMPARE(image.pixel(148, 75), kBands[3]);
}

void TestPicture::plainMetafileUsesItsExtents()
{
    WmfWriter w;
    w.window(0, 0, 400, 200);
    w.fill(qRgb(170, 170, 170));
    w.rectangle(0, 0, 400, 200);
    w.fill(qRgb(0, 0, 0));
    w.ellipse(100, 50, 300, 150);
    QString error;
    const QImage image = load(w.plain(), &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    // The drawing's extent gives the shape: twice as wide as high, at least as large as the
    // drawing's units.
    QVERIFY(image.width() >= 400);
    QVERIFY2(std::abs(image.width() - 2 * image.height()) <= image.width() / 100,
             qPrintable(QStringLiteral("%1 x %2").arg(image.width()).arg(image.height())));
    QCOMPARE(image.pixel(image.width() / 2, image.height() / 2), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(2, 2), qRgb(170, 170, 170));
}

void TestPicture::metafileHeaderCountsAreNotTrusted()
{
    // The file size and largest record of the header are often wrong in files from elsewhere;
    // a huge largest record once made the library ask for gigabytes.
    QByteArray bytes = bandWmf();
    qToLittleEndian<quint32>(0x7fffffffu, bytes.data() + 22 + 6);
    qToLittleEndian<quint32>(0xfffffff0u, bytes.data() + 22 + 12);
    QString error;
    const QImage image = load(bytes, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.pixel(24, 40), qRgb(200, 40, 10));
    // Nor is an end record needed after the last one.
    const QImage noEnd = load(bytes.chopped(6), &error);
    QVERIFY2(!noEnd.isNull(), qPrintable(error));
    QCOMPARE(noEnd.pixel(24, 40), qRgb(200, 40, 10));
}

void TestPicture::hugePenStillDraws()
{
    // A pen hundreds of inches wide across a one-inch picture covers all of it. The renderer
    // draws it no wider than it needs: at full width it would not finish in any time limit.
    WmfWriter w;
    w.window(0, 0, 96, 64);
    w.pen(30000, qRgb(0x20, 0x30, 0x10));
    w.record(0x0214, {32, 0});  // MOVETO
    w.record(0x0213, {32, 96}); // LINETO
    QString error;
    const QImage image = load(w.placeable(0, 0, 96, 64, 96), &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.pixel(0, 0), qRgb(0x20, 0x30, 0x10));
    QCOMPARE(image.pixel(95, 63), qRgb(0x20, 0x30, 0x10));
}

void TestPicture::metafileBitmaps_data()
{
    QTest::addColumn<QByteArray>("bitmap");
    QTest::addColumn<bool>("drawn");
    const QByteArray good =
        quadrantDib(qRgb(0, 0, 0), qRgb(85, 85, 85), qRgb(170, 170, 170), qRgb(255, 0, 0));
    QTest::newRow("24-bit") << good << true;
    QByteArray noWidth = good;
    qToLittleEndian<qint32>(0, noWidth.data() + 4); // once made the renderer divide by zero
    QTest::newRow("zero width") << noWidth << false;
    QTest::newRow("rows missing") << good.chopped(30) << false;
    QByteArray topDown = good;
    qToLittleEndian<qint32>(-2, topDown.data() + 8);
    QTest::newRow("top-down") << topDown << false;
    QByteArray depth = good;
    qToLittleEndian<quint16>(7, depth.data() + 14);
    QTest::newRow("7 bits per pixel") << depth << false;
}

void TestPicture::metafileBitmaps()
{
    // A bitmap drawn at its own size keeps its exact colours (stretched ones are smoothed by the
    // library); a bitmap that cannot be read is left out and the rest of the picture drawn.
    QFETCH(QByteArray, bitmap);
    QFETCH(bool, drawn);
    WmfWriter w;
    w.window(0, 0, 96, 96);
    w.fill(qRgb(9, 9, 9));
    w.rectangle(48, 48, 96, 96);
    // STRETCHDIB: copy, colours as given, source 8 × 8 at (0, 0), target 8 × 8 at (2, 2).
    w.record(0x0F43, {0x0020, 0x00CC, 0, 8, 8, 0, 0, 8, 8, 2, 2}, bitmap);
    QString error;
    const QImage image = load(w.placeable(0, 0, 96, 96, 96), &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.pixel(72, 72), qRgb(9, 9, 9));
    if (drawn) {
        QCOMPARE(image.pixel(2, 2), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(9, 2), qRgb(85, 85, 85));
        QCOMPARE(image.pixel(2, 9), qRgb(170, 170, 170));
        QCOMPARE(image.pixel(9, 9), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(14, 14), qRgb(255, 255, 255));
    } else {
        QCOMPARE(image.pixel(5, 5), qRgb(255, 255, 255));
    }
}

void TestPicture::damagedFilesFail_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QImage bands = bandPicture(40, 30);
    const QList<std::pair<const char *, QByteArray>> valid{
        {"bmp", encoded(bands, "BMP")}, {"png", encoded(bands, "PNG")},
        {"jpeg", encoded(bands, "JPEG")}, {"gif", bandGif(40, 30)}, {"wmf", bandWmf()}};
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("just some text, no picture\n");
    QRandomGenerator random(7);
    QByteArray noise(4096, '\0');
    for (char &c : noise)
        c = static_cast<char>(random.bounded(256));
    QTest::newRow("noise") << noise;
    for (const auto &[name, bytes] : valid) {
        // Cut inside the header, and the signature alone.
        QTest::addRow("%s header cut", name) << bytes.left(20);
        QTest::addRow("%s signature only", name) << bytes.left(name == QByteArray("wmf") ? 22 : 4);
    }
    for (const char *format : {"BMP", "PNG", "JPEG"}) {
        const QByteArray bytes = encoded(bands, format);
        QTest::addRow("%s body cut", format) << bytes.left(bytes.size() * 2 / 3);
    }
    QTest::newRow("gif body cut") << bandGif(40, 30).left(800);
    QTest::newRow("wmf record cut") << bandWmf().chopped(10);
    QByteArray badWmfHeader = bandWmf();
    badWmfHeader[24] = 7; // header size word after the placeable header
    QTest::newRow("wmf bad header") << badWmfHeader;
    QTest::newRow("wmf zero units per inch") << WmfWriter().placeable(0, 0, 100, 100, 0);
    QTest::newRow("wmf zero size") << WmfWriter().placeable(50, 50, 50, 90, 96);
}

void TestPicture::damagedFilesFail()
{
    QFETCH(QByteArray, bytes);
    const QString path = writeFile(m_dir, QStringLiteral("damaged.bin"), bytes);
    QString error;
    const QImage image = loadPicture(path, &error);
    QVERIFY(image.isNull());
    QVERIFY(!error.isEmpty());
}

void TestPicture::sizeJudgedFromHeader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("maxWidth");
    QTest::addColumn<int>("problem");
    QTest::addColumn<QSize>("size");
    using picturefiles::claimingSize;
    const auto tooWide = int(PictureProblem::TooWide);
    const auto tooLarge = int(PictureProblem::TooLarge);
    const QImage small = bandPicture(64, 48);

    // A camera photo: only its header is read, the rest would not decode to this size.
    QTest::newRow("jpeg 5000 x 4000") << claimingSize(encoded(small, "JPEG"), {5000, 4000})
                                      << kMaxPictureWidth << tooWide << QSize(5000, 4000);
    QTest::newRow("bmp 2000 wide") << encoded(bandPicture(2000, 3), "BMP") << kMaxPictureWidth << tooWide
                                   << QSize(2000, 3);
    QTest::newRow("png 1025 wide") << claimingSize(encoded(small, "PNG"), {1025, 2}) << kMaxPictureWidth
                                   << tooWide << QSize(1025, 2);
    QTest::newRow("gif 65535 wide") << claimingSize(bandGif(8, 8), {65535, 65535}) << kMaxPictureWidth
                                    << tooWide << QSize(65535, 65535);
    QTest::newRow("bmp 200000 square") << claimingSize(encoded(small, "BMP"), {200000, 200000})
                                       << kMaxPictureWidth << tooWide << QSize(200000, 200000);
    QTest::newRow("field source 201") << encoded(bandPicture(201, 2), "BMP") << 200 << tooWide << QSize(201, 2);
    QTest::newRow("field source 200") << encoded(bandPicture(200, 2), "BMP") << 200 << 0 << QSize(200, 2);
    QTest::newRow("wmf 1025 wide") << WmfWriter().window(0, 0, 1025, 5).placeable(0, 0, 1025, 5, 96)
                                   << kMaxPictureWidth << tooWide << QSize(1025, 5);
    WmfWriter plain;
    plain.window(0, 0, 1400, 100);
    plain.fill(qRgb(85, 85, 85)).rectangle(0, 0, 1400, 100);
    QTest::newRow("plain wmf 200 wide") << plain.plain() << 200 << tooWide << QSize();
    QTest::newRow("wmf whole inches") << WmfWriter().placeable(-32768, -32768, 32767, 32767, 1)
                                      << kMaxPictureWidth << tooWide << QSize();

    // Narrow enough, but more pixels than memory allows: refused before anything is allocated.
    QTest::newRow("bmp 1024 x 300000") << claimingSize(encoded(small, "BMP"), {1024, 300000})
                                       << kMaxPictureWidth << tooLarge << QSize(1024, 300000);
    QTest::newRow("png 1000 x 2^31") << claimingSize(encoded(small, "PNG"), {1000, 0x7fffffff})
                                     << kMaxPictureWidth << tooLarge << QSize(1000, 0x7fffffff);
    // Within the budget, but its data could never fill that size: not worth decoding.
    QTest::newRow("jpeg 1024 x 65535") << claimingSize(encoded(small, "JPEG"), {1024, 65535})
                                       << kMaxPictureWidth << int(PictureProblem::CutShort) << QSize(1024, 65535);
    QTest::newRow("wmf 20000 high") << WmfWriter().placeable(0, 0, 10, 20000, 96) << kMaxPictureWidth
                                    << tooLarge << QSize(10, 20000);
}

void TestPicture::sizeJudgedFromHeader()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, maxWidth);
    QFETCH(int, problem);
    QFETCH(QSize, size);
    const LoadedPicture result = readPictureData(bytes, maxWidth);
    if (problem == 0) {
        // Within the limits: decoded, or refused for its data, never for its size.
        QVERIFY(result.problem != PictureProblem::TooWide && result.problem != PictureProblem::TooLarge);
        if (size.isValid())
            QCOMPARE(result.image.size(), size);
        return;
    }
    QCOMPARE(int(result.problem), problem);
    QVERIFY(result.image.isNull());
    QVERIFY(!result.reason.isEmpty());
    if (size.isValid())
        QCOMPARE(result.size, size);
    if (result.problem == PictureProblem::TooWide)
        QVERIFY(result.size.width() > maxWidth);
}

void TestPicture::metafilesBeyondTheRenderersMemory()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the renderer's memory is not limited under AddressSanitizer");
#endif
    // A metafile of 72 MB (an escape record of zeros, a hole in the file) with 8 MB to spare: the child runs out of memory as it copies the
    // file, and must end there, never return into the caller's code as a second copy of this test (the marker file would show it).
    WmfWriter w;
    w.window(0, 0, 96, 96).fill(kBands[1]).rectangle(0, 0, 96, 96);
    QByteArray head = w.placeable(0, 0, 96, 96, 96).chopped(6); // without its end record
    const qint64 escapeWords = qint64(36) << 20;
    putDword(head, quint32(3 + escapeWords));
    putWord(head, 0x0626);
    QFile file(writeFile(m_dir, QStringLiteral("large.wmf"), head));
    QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(head.size() + 2 * escapeWords) && file.seek(file.size())
            && file.write("\x03\0\0\0\0\0", 6) == 6);
    file.close();
    const pid_t self = ::getpid();
    setWmfMemoryLimit(8 << 20);
    const LoadedPicture result = readPicture(file.fileName());
    if (::getpid() != self)
        ::_exit(QFile(m_dir.filePath(QStringLiteral("child returned"))).open(QIODevice::WriteOnly) ? 0 : 1);
    setWmfMemoryLimit(kWmfMemoryLimit);
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("child returned"))));
    QCOMPARE(result.reason, QLatin1String(kWmfOutOfMemory));
    QCOMPARE(result.problem, PictureProblem::TooLarge); // not damaged
    QCOMPARE(readPicture(file.fileName()).image.pixel(50, 50), kBands[1]); // with its usual memory

    // A larger file is refused before it is read.
    QVERIFY(file.resize(kMaxWmfFileBytes + 1));
    QCOMPARE(readPicture(file.fileName()).reason, QStringLiteral("the metafile is larger than 96 MB, more than its renderer may use"));
}

void TestPicture::packedRoundTrip()
{
    QCOMPARE(packPixel(qRgb(1, 2, 3)), engine::pack(1, 2, 3));
    QCOMPARE(packPixel(qRgb(255, 255, 255)), 0xffffff);
    QRandomGenerator random(11);
    QImage image(37, 5, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, 0xff000000u | random.bounded(0x1000000u));
    const engine::PackedImage packed = toPacked(image);
    QCOMPARE(packed.width, 37);
    QCOMPARE(packed.at(36, 4), packPixel(image.pixel(36, 4)));
    QCOMPARE(fromPacked(packed), image);
}

QTEST_GUILESS_MAIN(TestPicture)
#include "tst_picture.moc"
