// Pictures as users bring them: files cut short in every format, damaged headers that must not
// cost memory, files that are no files, very tall pictures, and 32-bit BMPs whose alpha bytes
// Windows ignores.

#include "picture/picture.h"
#include "picturefiles.h"
#include "wmfwriter.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <array>
#include <csignal>
#include <functional>
#include <span>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumivex::picture;
using wmfwriter::putDword;
using wmfwriter::putWord;

Q_DECLARE_METATYPE(PictureProblem)

namespace {

const QList<QRgb> kGreys{qRgb(0, 0, 0), qRgb(85, 85, 85), qRgb(170, 170, 170), qRgb(255, 255, 255)};

QByteArray encoded(const QImage &image, const char *format, bool progressive = false, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

// A picture that compresses badly, so that its data is more than its headers.
QImage noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37 + y * 11) & 255, (x * x + y * 3) & 255, (y * y * 7 + x) & 255));
    return image;
}

// A bottom-up run-length encoded BMP (8 or 4 bits) with four greys and the codes given.
QByteArray rleBmp(int width, int height, int bits, const QByteArray &codes, const QList<QRgb> &greys = kGreys)
{
    QByteArray out("BM");
    putDword(out, 14 + 40 + 16 + quint32(codes.size()));
    putDword(out, 0);
    putDword(out, 14 + 40 + 16);
    for (quint32 v : {40u, quint32(width), quint32(height)})
        putDword(out, v);
    putWord(out, 1);
    putWord(out, bits);
    for (quint32 v : {bits == 8 ? 1u : 2u, quint32(codes.size()), 2835u, 2835u, 4u, 0u})
        putDword(out, v);
    for (QRgb c : greys)
        putDword(out, c & 0xffffff);
    return out + codes;
}

// 8 × 4 pixels: each row a literal run of three pixels (padded), then a run of five.
QByteArray rle8Codes(bool endCode)
{
    QByteArray codes;
    for (int row = 0; row < 4; ++row)
        codes.append(QByteArray("\0\3\1\2\3\0", 6)).append(char(5)).append(char(row)).append(QByteArray(2, '\0'));
    if (endCode)
        codes.append(QByteArray("\0\1", 2));
    return codes;
}

QByteArray rle4Codes()
{
    QByteArray codes;
    for (int row = 0; row < 4; ++row)
        codes.append(QByteArray("\0\3\x12\x30", 4)).append(char(5)).append(char(row * 0x11)).append(QByteArray(2, '\0'));
    return codes.append(QByteArray("\0\1", 2));
}

// A 32-bit BMP of 2 × 2 pixels (top: red, green; bottom: blue, grey) with these alpha bytes, an
// info header of headerSize bytes (40, 108 or 124), plain or with bit fields.
const std::array<QRgb, 4> kQuad{qRgb(200, 10, 20), qRgb(30, 180, 40), qRgb(20, 30, 220), qRgb(90, 90, 90)};

QByteArray bmp32(int headerSize, bool bitfields, const std::array<int, 4> &alpha)
{
    const int masks = headerSize == 40 && bitfields ? 12 : 0;
    QByteArray out("BM");
    putDword(out, quint32(14 + headerSize + masks + 16));
    putDword(out, 0);
    putDword(out, quint32(14 + headerSize + masks));
    for (quint32 v : {quint32(headerSize), 2u, 2u})
        putDword(out, v);
    putWord(out, 1);
    putWord(out, 32);
    for (quint32 v : {bitfields ? 3u : 0u, 16u, 2835u, 2835u, 0u, 0u})
        putDword(out, v);
    if (headerSize > 40 || bitfields) {
        for (quint32 v : {0x00ff0000u, 0x0000ff00u, 0x000000ffu})
            putDword(out, v);
    }
    if (headerSize > 40) {
        putDword(out, 0xff000000u); // alpha mask
        putDword(out, 0x73524742u); // sRGB
        out.append(QByteArray(headerSize - 60, '\0'));
    }
    for (int i : {2, 3, 0, 1}) { // bottom row first
        const QRgb c = kQuad[i];
        out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append(char(alpha[i]));
    }
    return out;
}

// The greys from white: the first colour of a table is not what a table padded with black, or memory of zeros, would give.
const QList<QRgb> kLightFirst{kGreys[3], kGreys[2], kGreys[1], kGreys[0]};

// The rows of rle8Codes and rle4Codes with kLightFirst, bottom up, in a picture of that height
// whose other pixels are the first colour: three of colours 1, 2 and 3, then five of the row's.
QImage rleRows(int height)
{
    return picturefiles::drawn(8, height, [height](int x, int y) {
        return height - 1 - y >= 4 ? kLightFirst[0] : kLightFirst[x < 3 ? x + 1 : height - 1 - y];
    });
}

// A 16-bit colour PNG of 11 × 9 with a transparent colour and a black background colour, interlaced or not:
// a third of the pixels are the transparent colour, some differ from it in one low byte only, the rest in every byte.
const std::array<quint16, 3> kClear{0x1234, 0x5678, 0x9abc};

std::array<quint16, 3> sample16(int x, int y)
{
    if ((x + y) % 3 != 2)
        return {quint16(kClear[0] + (x + y) % 3 * (x % 2)), kClear[1], kClear[2]};
    return {quint16(x * 5957 + y * 17), quint16(y * 7919 + 255), quint16(x * y * 613)};
}

QByteArray colour16Png(bool interlaced, QImage *truth)
{
    QByteArray header("\0\0\0\x0b\0\0\0\x09\x10\x02\0\0\0", 13), raw, clear;
    header[12] = char(interlaced);
    // The whole picture, or Adam7's seven passes: first column and row, steps across and down.
    const int passes[8][4] = {{0, 0, 1, 1}, {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    for (const auto &[x0, y0, dx, dy] : std::span(passes).subspan(interlaced ? 1 : 0, interlaced ? 7 : 1)) {
        for (int y = y0; x0 < 11 && y < 9; y += dy) {
            raw.append('\0'); // no filter
            for (int x = x0; x < 11; x += dx) {
                for (quint16 v : sample16(x, y))
                    raw.append(char(v >> 8)).append(char(v));
            }
        }
    }
    // The true pixels: the transparent colour white, each sample rounded to 8 bits.
    *truth = picturefiles::drawn(11, 9, [](int x, int y) {
        const auto [r, g, b] = sample16(x, y);
        return sample16(x, y) == kClear ? qRgb(255, 255, 255) : qRgb((r + 128) / 257, (g + 128) / 257, (b + 128) / 257);
    });
    for (quint16 v : kClear)
        clear.append(char(v >> 8)).append(char(v));
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + picturefiles::pngChunk("IHDR", header)
        + picturefiles::pngChunk("bKGD", QByteArray(6, '\0')) + picturefiles::pngChunk("tRNS", clear)
        + picturefiles::pngChunk("IDAT", qCompress(raw).mid(4)) + picturefiles::pngChunk("IEND", {});
}

// A PNG chunk whose length field says `length`, with data bytes and a checksum not worth making.
QByteArray pngChunk(const char *type, const QByteArray &data, quint32 length)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(length, chunk.data());
    return chunk.append(type).append(data).append(QByteArray(4, '\0'));
}

QByteArray insertedBefore(QByteArray bytes, const char *type, const QByteArray &chunk)
{
    return bytes.insert(bytes.indexOf(type) - 4, chunk);
}

// Where the second scan of a progressive JPEG starts.
qsizetype secondScan(const QByteArray &jpeg)
{
    return jpeg.indexOf("\xFF\xDA", jpeg.indexOf("\xFF\xDA") + 2);
}

// How much the resident memory rose at most while `work` ran in a child process of its own, in
// KiB (-1 when the child gave no answer). A child starts with the parent's pages counted.
qint64 peakGrowthKiB(const std::function<void()> &work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        work();
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        const qint64 growth = after.ru_maxrss - before.ru_maxrss;
        const bool written = ::write(fds[1], &growth, sizeof growth) == sizeof growth;
        ::_exit(written ? 0 : 1);
    }
    ::close(fds[1]);
    qint64 growth = -1;
    if (pid < 0 || ::read(fds[0], &growth, sizeof growth) != sizeof growth)
        growth = -1;
    ::close(fds[0]);
    int status = 0;
    if (pid > 0)
        ::waitpid(pid, &status, 0);
    return growth;
}

} // namespace

class TestPictureDamage : public QObject
{
    Q_OBJECT

private slots:
    void damagedHeadersCostNoMemory_data();
    void damagedHeadersCostNoMemory();
    void cutShortIsRefused_data();
    void cutShortIsRefused();
    void onlyRegularFiles();
    void tallPicturesLoad();
    void bmpAlpha_data();
    void bmpAlpha();
    void everyPixelFromTheFile_data();
    void everyPixelFromTheFile();

private:
    QTemporaryDir m_dir;
};

void TestPictureDamage::damagedHeadersCostNoMemory_data()
{
    QTest::addColumn<QByteArray>("bytes");
    using picturefiles::claimingSize;
    const QByteArray png = encoded(noise(20, 20), "PNG");
    QTest::newRow("png text chunk claiming 2 GiB after the data")
        << insertedBefore(png, "IEND", pngChunk("tEXt", "Comment", 0x7ffffff0)).chopped(12);
    QTest::newRow("png chunk claiming 2 GiB before the data")
        << insertedBefore(png, "IDAT", pngChunk("zTXt", "Comment", 0x7ffffff0));
    QTest::newRow("png 1024 x 200000 over 1 KB of data") << claimingSize(png, {1024, 200000});
    QTest::newRow("bmp 1024 x 200000 over 1 KB of data")
        << claimingSize(encoded(noise(20, 20), "BMP"), {1024, 200000});
    const QByteArray jpeg = encoded(noise(64, 48), "JPEG");
    QTest::newRow("jpeg 1024 x 60000 over its data") << claimingSize(jpeg, {1024, 60000});
    QTest::newRow("jpeg 5000 x 4000, too wide") << claimingSize(jpeg, {5000, 4000});
    QTest::newRow("gif 1024 x 60000 cut short")
        << claimingSize(picturefiles::gif(picturefiles::bands(64, 48, kGreys)), {1024, 60000}).chopped(40);
    QTest::newRow("rle 1024 x 60000 cut short") << rleBmp(1024, 60000, 8, rle8Codes(false).left(30));
}

void TestPictureDamage::damagedHeadersCostNoMemory()
{
    // A damaged file costs no more than the picture its data can hold: never what its header
    // claims (2 GiB for a PNG chunk once, hundreds of megabytes for a made-up size).
    QFETCH(QByteArray, bytes);
    bool refused = false;
    const qint64 growth = peakGrowthKiB([&bytes, &refused] {
        refused = !readPictureData(bytes).ok();
        if (!refused)
            ::_exit(3);
    });
    QVERIFY2(growth >= 0, "the load did not finish, or was not refused");
    QVERIFY2(growth < 48 * 1024, qPrintable(QStringLiteral("memory grew by %1 MiB").arg(growth / 1024)));
}

void TestPictureDamage::cutShortIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<PictureProblem>("problem");
    const auto cut = PictureProblem::CutShort;
    const auto whole = PictureProblem::None;

    const QByteArray gif = picturefiles::gif(picturefiles::bands(64, 48, kGreys));
    QTest::newRow("gif screen only") << gif.left(13) << cut;
    QTest::newRow("gif colour table") << gif.left(13 + 768) << cut;
    QTest::newRow("gif image descriptor") << gif.left(13 + 768 + 11) << cut;
    QTest::newRow("gif half its data") << gif.left(gif.size() / 2) << cut;
    QTest::newRow("gif without its block end") << gif.chopped(2) << cut;
    QTest::newRow("gif without its trailer") << gif.chopped(1) << whole;
    QTest::newRow("gif comment after the picture")
        << gif.chopped(1).append("\x21\xFE\x05hello\x00\x3B", 9) << whole;

    const QByteArray rle8 = rleBmp(8, 4, 8, rle8Codes(true));
    QTest::newRow("rle8 whole") << rle8 << whole;
    QTest::newRow("rle8 without its end code") << rleBmp(8, 4, 8, rle8Codes(false)) << whole;
    QTest::newRow("rle8 ending early") << rleBmp(8, 8, 8, rle8Codes(true)) << whole;
    QTest::newRow("rle8 half") << rle8.chopped(20) << cut;
    QTest::newRow("rle8 inside a literal run") << rleBmp(8, 4, 8, rle8Codes(false).left(4)) << cut;
    QTest::newRow("rle4 whole") << rleBmp(8, 4, 4, rle4Codes()) << whole;
    QTest::newRow("rle4 half") << rleBmp(8, 4, 4, rle4Codes().left(16)) << cut;

    const QByteArray jpeg = encoded(noise(160, 120), "JPEG");
    QTest::newRow("jpeg in the middle of its scan") << jpeg.left(jpeg.size() * 2 / 3) << cut;
    QTest::newRow("jpeg without its end marker") << jpeg.chopped(2) << cut;
    QTest::newRow("jpeg with bytes after its end") << jpeg + QByteArray(100, 'x') << whole;
    // Pictures of one colour pack into the fewest bytes a JPEG can have: still whole.
    QImage uniform(1024, 1024, QImage::Format_RGB32);
    uniform.fill(qRgb(250, 250, 250));
    QTest::newRow("jpeg of one colour") << encoded(uniform, "JPEG", false, 1) << whole;
    QTest::newRow("progressive grey jpeg of one colour")
        << encoded(uniform.convertToFormat(QImage::Format_Grayscale8), "JPEG", true, 1) << whole;
    const QByteArray progressive = encoded(noise(160, 120), "JPEG", true);
    QTest::newRow("progressive jpeg whole") << progressive << whole;
    QTest::newRow("progressive jpeg after its first scan") << progressive.left(secondScan(progressive)) << cut;
    QTest::newRow("progressive jpeg in its second scan") << progressive.left(secondScan(progressive) + 40) << cut;

    const QByteArray png = encoded(noise(80, 60), "PNG");
    QTest::newRow("png in the middle of its data") << png.left(png.size() / 2) << cut;
    QTest::newRow("png without its end chunk") << png.chopped(12) << cut;
    QTest::newRow("png text after the data") << insertedBefore(png, "IEND", pngChunk("tEXt", QByteArray("Title\0x", 7), 7)) << whole;
    QTest::newRow("png with bytes after its end") << png + QByteArray(50, '\0') << whole;
}

void TestPictureDamage::cutShortIsRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(PictureProblem, problem);
    const LoadedPicture result = readPictureData(bytes);
    QCOMPARE(result.problem, problem);
    QCOMPARE(result.image.isNull(), problem != PictureProblem::None);
    if (problem == PictureProblem::None)
        QVERIFY(result.image.width() >= 8);
    else
        QVERIFY(!result.reason.isEmpty());
}

void TestPictureDamage::onlyRegularFiles()
{
    // A pipe or a device would block the window or feed it without end; they are refused
    // without being read (the alarm ends the test if anything waits).
    const QString fifo = m_dir.filePath(QStringLiteral("design.bmp"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ::alarm(20);
    for (const QString &path : {fifo, QStringLiteral("/dev/zero"), m_dir.path()}) {
        const LoadedPicture result = readPicture(path);
        QCOMPARE(result.problem, PictureProblem::NotAFile);
        QVERIFY(!result.reason.isEmpty());
    }
    QCOMPARE(readPicture(m_dir.filePath(QStringLiteral("missing.bmp"))).problem, PictureProblem::CannotOpen);
    QCOMPARE(readPicture(QString()).problem, PictureProblem::CannotOpen);

    // A file far larger than any picture that fits in memory is not read at all (this one
    // takes no disk space: it has no data).
    const QString huge = m_dir.filePath(QStringLiteral("huge.bmp"));
    {
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(encoded(noise(8, 8), "BMP"));
        QVERIFY(file.resize(qint64(3) << 32));
    }
    QCOMPARE(readPicture(huge).problem, PictureProblem::TooLarge);
    ::alarm(0);

    // A link to a picture is read as the picture.
    const QString target = picturefiles::write(m_dir.path(), QStringLiteral("real.png"), encoded(noise(9, 7), "PNG"));
    const QString link = m_dir.filePath(QStringLiteral("link.png"));
    QVERIFY(QFile::link(target, link));
    QCOMPARE(readPicture(link).image.size(), QSize(9, 7));
}

void TestPictureDamage::tallPicturesLoad()
{
    // Only the width is limited: one row over 1024 × 16384 pixels, and a thin strip far taller.
    QImage tall = picturefiles::bands(1024, 16385, kGreys);
    tall.setPixel(5, 16384, qRgb(200, 0, 0));
    const LoadedPicture big = readPictureData(encoded(tall, "PNG"));
    QVERIFY2(big.ok(), qPrintable(big.reason));
    QCOMPARE(big.image.size(), QSize(1024, 16385));
    QCOMPARE(big.image.pixel(5, 16384), qRgb(200, 0, 0));
    QCOMPARE(big.image.pixel(1000, 16384), kGreys[3]);

    const QString strip = picturefiles::write(m_dir.path(), QStringLiteral("strip.bmp"),
                                              encoded(picturefiles::bands(3, 300000, kGreys), "BMP"));
    const LoadedPicture thin = readPicture(strip);
    QVERIFY2(thin.ok(), qPrintable(thin.reason));
    QCOMPARE(thin.image.size(), QSize(3, 300000));
}

void TestPictureDamage::bmpAlpha_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QRgb>>("pixels"); // top left, top right, bottom left, bottom right
    const QList<QRgb> colours(kQuad.begin(), kQuad.end());
    // Alpha bytes all zero: unused, as Windows takes them, in every header that can carry them.
    QTest::newRow("40 bytes, plain") << bmp32(40, false, {0, 0, 0, 0}) << colours;
    QTest::newRow("40 bytes, bit fields") << bmp32(40, true, {0, 0, 0, 0}) << colours;
    QTest::newRow("V4, bit fields") << bmp32(108, true, {0, 0, 0, 0}) << colours;
    QTest::newRow("V5, plain") << bmp32(124, false, {0, 0, 0, 0}) << colours;
    QTest::newRow("V5, bit fields") << bmp32(124, true, {0, 0, 0, 0}) << colours;
    // Real transparency stays transparency, on white.
    QTest::newRow("V5, real alpha") << bmp32(124, true, {0, 255, 255, 0})
                                    << QList<QRgb>{qRgb(255, 255, 255), kQuad[1], kQuad[2], qRgb(255, 255, 255)};
    QTest::newRow("V4, half transparent") << bmp32(108, true, {255, 255, 255, 128})
                                          << QList<QRgb>{kQuad[0], kQuad[1], kQuad[2], qRgb(172, 172, 172)};
}

void TestPictureDamage::bmpAlpha()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QRgb>, pixels);
    const LoadedPicture result = readPictureData(bytes);
    QVERIFY2(result.ok(), qPrintable(result.reason));
    QCOMPARE(result.image.format(), QImage::Format_RGB32);
    const QList<QRgb> got{result.image.pixel(0, 0), result.image.pixel(1, 0), result.image.pixel(0, 1),
                          result.image.pixel(1, 1)};
    QCOMPARE(got, pixels);
}

void TestPictureDamage::everyPixelFromTheFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QImage>("expected"); // null: refused

    // Run-length encoded bitmaps whose codes skip pixels: those are the first colour. (The
    // pictures are tall enough for memory that the allocator fills with its pattern.)
    QTest::newRow("rle8 ending early") << rleBmp(8, 200, 8, rle8Codes(true), kLightFirst) << rleRows(200);
    QTest::newRow("rle4 ending early") << rleBmp(8, 400, 4, rle4Codes(), kLightFirst) << rleRows(400);
    QTest::newRow("rle8 lines ended early and a move")
        << rleBmp(8, 200, 8, QByteArray("\2\1\0\0\0\2\3\1\2\2\0\1", 12), kLightFirst) << picturefiles::drawn(8, 200, [](int x, int y) {
               return kLightFirst[y == 199 && x < 2 ? 1 : y == 197 && (x == 3 || x == 4) ? 2 : 0]; });
    // Runs past the end of their row are cut there; indices beyond the table are black.
    QTest::newRow("rle8 runs past the row's end")
        << rleBmp(8, 2, 8, QByteArray("\x0c\3\0\0\0\x0a\x09\5\2\x09\5\2\x09\5\2\x09\0\1", 18))
        << picturefiles::drawn(8, 2, [](int x, int y) { return y == 1 ? kGreys[3] : x % 3 == 2 ? kGreys[2] : qRgb(0, 0, 0); });
    // A 1-bit picture whose pixels begin inside the colour table its header promises (the first two rows are the
    // table: black, white). Qt's reader took the table first and the rows after it, one row off, the last unwritten.
    QByteArray mono("BM");
    for (quint32 v : {14u + 40 + 4 * 300, 0u, 14u + 40, 40u, 32u, 300u})
        putDword(mono, v);
    putWord(mono, 1);
    putWord(mono, 1);
    for (quint32 v : {0u, 4u * 300, 2835u, 2835u, 2u, 0u})
        putDword(mono, v);
    QImage overlap(32, 300, QImage::Format_RGB32);
    for (int row = 0; row < 300; ++row) {
        const quint32 bits = row == 0 ? 0u : row == 1 ? 0xffffff00u : row % 2 ? 0xf00ff00fu : 0x0ff00ff0u;
        mono.append(char(bits >> 24)).append(char(bits >> 16)).append(char(bits >> 8)).append(char(bits));
        for (int x = 0; x < 32; ++x)
            overlap.setPixel(x, 299 - row, bits >> (31 - x) & 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
    QTest::newRow("1-bit, pixels inside the colour table") << mono << overlap;

    // Whole colour-table BMPs give the pixels Qt's reader gives them.
    const auto asQt = [](const QByteArray &bytes) { return QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32); };
    QList<QRgb> colours;
    for (int i = 0; i < 200; ++i)
        colours.append(qRgb(i, 255 - i, (i * 7) & 255));
    for (int count : {2, 16, 200}) {
        const QImage indexed = noise(13, 7).convertToFormat(QImage::Format_Indexed8, colours.mid(0, count));
        const QByteArray bytes = encoded(count == 2 ? indexed.convertToFormat(QImage::Format_Mono) : indexed, "BMP");
        QTest::addRow("%d colours, as Qt writes them", count) << bytes << asQt(bytes);
        if (count == 200) { // the same picture stored top-down
            QByteArray topDown = bytes;
            const qsizetype rowBytes = 16, offset = qFromLittleEndian<quint32>(bytes.constData() + 10);
            qToLittleEndian<qint32>(-7, topDown.data() + 22);
            for (int row = 0; row < 7; ++row)
                topDown.replace(offset + row * rowBytes, rowBytes, bytes.mid(offset + (6 - row) * rowBytes, rowBytes));
            QTest::newRow("200 colours, top-down") << topDown << asQt(bytes);
        }
    }
    QTest::newRow("rle8 whole") << rleBmp(8, 4, 8, rle8Codes(true)) << asQt(rleBmp(8, 4, 8, rle8Codes(true)));
    QTest::newRow("rle4 whole") << rleBmp(8, 4, 4, rle4Codes()) << asQt(rleBmp(8, 4, 4, rle4Codes()));

    // 16-bit colour with a transparent colour, interlaced or not: Qt's reader misplaces the
    // pixels and leaves some unwritten. Image data cut short is refused.
    QImage truth;
    QTest::newRow("16-bit colour, transparent colour") << colour16Png(false, &truth) << truth;
    QByteArray png = colour16Png(true, &truth);
    QTest::newRow("16-bit colour, transparent colour, interlaced") << png << truth;
    const qsizetype idat = png.indexOf("IDAT") - 4, length = qFromBigEndian<quint32>(png.constData() + idat);
    QTest::newRow("16-bit colour, image data cut short")
        << png.replace(idat, length + 12, picturefiles::pngChunk("IDAT", png.mid(idat + 8, length * 3 / 4))) << QImage();
}

void TestPictureDamage::everyPixelFromTheFile()
{
    // No pixel comes from memory the decoder did not write. Fresh memory is filled with a
    // pattern here (and valgrind's memcheck runs this test too), so that such a pixel shows.
    QFETCH(QByteArray, bytes);
    QFETCH(QImage, expected);
    mallopt(M_PERTURB, 0x5a);
    const LoadedPicture result = readPictureData(bytes);
    mallopt(M_PERTURB, 0);
    if (expected.isNull()) {
        QVERIFY(!result.ok());
        QVERIFY(result.reason.startsWith(QLatin1String("damaged picture")) || result.problem == PictureProblem::CutShort);
        return;
    }
    QVERIFY2(result.ok(), qPrintable(result.reason));
    QCOMPARE(result.image, expected);
}

QTEST_GUILESS_MAIN(TestPictureDamage)
#include "tst_picturedamage.moc"
