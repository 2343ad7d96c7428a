// PNG decoded a row at a time against Qt's reader: every kind of plain PNG gives the same
// pixels, and every file the row decoder does not take, or finds damaged on the way, gets Qt's
// pixels or verdict, read whole or row by row.

#include "picture/picture.h"
#include "picture/picturerows.h"
#include "picture/pngrows.h"
#include "picturefiles.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <span>

using namespace lumivex;

namespace {

QByteArray be32(quint32 v)
{
    const char bytes[] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(bytes, 4);
}

using picturefiles::pngChunk;

struct PngKind
{
    int colourType = 2;
    int depth = 8;
    int width = 13;
    int height = 11;
    QByteArray transparency;    ///< tRNS data, if any
    QByteArray filters = "01234"; ///< the filter of each row, in turn
    int idatBytes = 0;          ///< image data split into chunks of this size (0: one chunk)
    bool extraChunks = false;   ///< text before and after the data, one with a damaged checksum
    bool repeatRows = false;    ///< every other row the same as the one above, as in drawings
    bool interlaced = false;    ///< Adam7: seven passes, each filtered as a picture of its own

    PngKind &sized(int w, int h) { width = w; height = h; return *this; }
    PngKind &transparent(const QByteArray &t) { transparency = t; return *this; }
    PngKind &filtered(const QByteArray &f) { filters = f; return *this; }
    PngKind &split(int bytes) { idatBytes = bytes; return *this; }
    PngKind &interlace() { interlaced = true; return *this; }
};

PngKind kindOf(int colourType, int depth = 8)
{
    PngKind kind;
    kind.colourType = colourType;
    kind.depth = depth;
    return kind;
}

int channelsOf(int colourType)
{
    return colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
}

// Filters a row as an encoder does, from the unfiltered rows.
QByteArray filtered(int filter, const QByteArray &row, const QByteArray &prior, int bpp)
{
    QByteArray out(row.size(), 0);
    for (int i = 0; i < row.size(); ++i) {
        const int a = i >= bpp ? uchar(row[i - bpp]) : 0, b = uchar(prior[i]), c = i >= bpp ? uchar(prior[i - bpp]) : 0;
        int predicted = 0;
        if (filter == 1)
            predicted = a;
        else if (filter == 2)
            predicted = b;
        else if (filter == 3)
            predicted = (a + b) / 2;
        else if (filter == 4) {
            const int p = a + b - c, pa = qAbs(p - a), pb = qAbs(p - b), pc = qAbs(p - c);
            predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        }
        out[i] = char(uchar(row[i]) - predicted);
    }
    return out;
}

QByteArray makePng(const PngKind &kind, quint32 seed)
{
    QRandomGenerator random(seed);
    const int bits = channelsOf(kind.colourType) * kind.depth;
    const int bpp = qMax(1, bits / 8);
    QByteArray header = be32(quint32(kind.width)) + be32(quint32(kind.height));
    header += char(kind.depth);
    header += char(kind.colourType);
    header += QByteArray(2, 0) + char(kind.interlaced ? 1 : 0);
    QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header);
    if (kind.extraChunks) {
        png += pngChunk("tEXt", "Comment\0made for a test");
        QByteArray broken = pngChunk("tEXt", "Title\0checksum wrong");
        broken[broken.size() - 1] = char(broken.back() ^ 0x55);
        png += broken;
    }
    if (kind.colourType == 3) {
        QByteArray table;
        for (int i = 0; i < (1 << kind.depth) * 3; ++i)
            table += char(random.bounded(256));
        png += pngChunk("PLTE", table);
    }
    if (!kind.transparency.isEmpty())
        png += pngChunk("tRNS", kind.transparency);

    // Each row's length and whether it begins a pass (interlaced: seven, each filtered alone).
    // A pass: first column and row, steps across and down; the whole picture, then Adam7's seven.
    const int passes[8][4] = {{0, 0, 1, 1}, {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    std::vector<std::pair<int, bool>> rows;
    for (const auto &[x0, y0, dx, dy] : std::span(passes).subspan(kind.interlaced ? 1 : 0, kind.interlaced ? 7 : 1)) {
        const int width = (kind.width - x0 + dx - 1) / dx, height = (kind.height - y0 + dy - 1) / dy;
        for (int y = 0; width > 0 && y < height; ++y)
            rows.emplace_back((width * bits + 7) / 8, y == 0);
    }
    QByteArray raw, prior;
    for (int y = 0; y < int(rows.size()); ++y) {
        const int rowBytes = rows[y].first;
        if (rows[y].second)
            prior = QByteArray(rowBytes, 0);
        QByteArray row(rowBytes, 0);
        // Runs of repeated bytes and noise, so that the filters and the matcher both get work.
        for (int i = 0; i < rowBytes; ++i)
            row[i] = random.bounded(4) == 0 && i > 0 ? row[i - 1] : char(random.bounded(256));
        if (kind.repeatRows && y % 2 == 1)
            row = prior;
        const int filter = kind.filters.at(y % kind.filters.size()) - '0';
        raw += char(filter) + filtered(filter, row, prior, bpp);
        prior = row;
    }
    const QByteArray stream = qCompress(raw, 6).mid(4); // qCompress puts the length first
    const int step = kind.idatBytes > 0 ? kind.idatBytes : int(stream.size());
    for (int at = 0; at < stream.size(); at += step)
        png += pngChunk("IDAT", stream.mid(at, step));
    if (kind.extraChunks)
        png += pngChunk("tEXt", "After\0the data");
    return png + pngChunk("IEND", {});
}

// Qt's own reader, transparency composited over white as the loader promises: the reference
// for the row decoder, which the loader also uses.
QImage qtPicture(const QByteArray &png)
{
    QImage decoded = QImage::fromData(png, "PNG");
    if (decoded.isNull() || !decoded.hasAlphaChannel())
        return decoded.convertToFormat(QImage::Format_RGB32);
    decoded = decoded.convertToFormat(QImage::Format_ARGB32);
    QImage opaque(decoded.size(), QImage::Format_RGB32);
    for (int y = 0; y < decoded.height(); ++y) {
        for (int x = 0; x < decoded.width(); ++x) {
            const QRgb p = decoded.pixel(x, y);
            const int a = qAlpha(p);
            auto blend = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            opaque.setPixel(x, y, qRgb(blend(qRed(p)), blend(qGreen(p)), blend(qBlue(p))));
        }
    }
    return opaque;
}

QImage wholePicture(const QByteArray &png)
{
    const picture::LoadedPicture loaded = picture::readPictureData(png, 1 << 14);
    return loaded.image;
}

QImage rowByRow(picture::PngRows &rows)
{
    QImage image(rows.width(), rows.height(), QImage::Format_RGB32);
    std::vector<engine::Packed> row(std::size_t(rows.width()));
    for (int y = 0; y < rows.height(); ++y) {
        if (!rows.readRow(row))
            return {};
        picture::unpackRow(row, image, y);
    }
    return image;
}

} // namespace

class TestPngRows : public QObject
{
    Q_OBJECT

private slots:
    void sameAsWholePicture_data();
    void sameAsWholePicture();
    void othersGetTheWholePictureReader_data();
    void othersGetTheWholePictureReader();

private:
    QTemporaryDir m_dir;
};

void TestPngRows::sameAsWholePicture_data()
{
    QTest::addColumn<PngKind>("kind");
    for (int depth : {1, 2, 4, 8}) {
        QTest::addRow("grey, %d bits", depth) << kindOf(0, depth);
        QTest::addRow("colour table, %d bits", depth) << kindOf(3, depth);
    }
    for (int width : {1, 2, 3, 7, 9})
        QTest::addRow("1-bit grey, %d wide", width) << kindOf(0, 1).sized(width, 11);
    QTest::newRow("grey, 2 bits, one grey transparent") << kindOf(0, 2).transparent(QByteArray("\0\2", 2));
    QTest::newRow("grey, 8 bits, one grey transparent") << kindOf(0).transparent(QByteArray("\0\x40", 2));
    QTest::newRow("grey, 16 bits") << kindOf(0, 16).sized(300, 40);
    QTest::newRow("grey, 16 bits, one grey transparent") << kindOf(0, 16).transparent(QByteArray("\x12\x34", 2));
    QTest::newRow("colour table, some transparent") << kindOf(3, 4).transparent(QByteArray("\0\x80\xff\x10", 4));
    QTest::newRow("grey and alpha") << kindOf(4);
    QTest::newRow("colour and alpha") << kindOf(6).sized(40, 11);
    QTest::newRow("colour") << kindOf(2).sized(40, 11);
    QTest::newRow("colour, one colour transparent") << kindOf(2).transparent(QByteArray("\0\x11\0\x22\0\x33", 6));
    for (char filter : QByteArray("01234"))
        QTest::addRow("colour, filter %c on every row", filter) << kindOf(2).filtered(QByteArray(1, filter));
    QTest::newRow("data in chunks of 7 bytes") << kindOf(6).sized(30, 11).split(7);
    QTest::newRow("empty data chunks between") << kindOf(2).split(1);
    PngKind withText = kindOf(3);
    withText.extraChunks = true;
    QTest::newRow("text chunks, one damaged") << withText;
    PngKind drawing = kindOf(3, 2).filtered("2");
    drawing.repeatRows = true;
    QTest::newRow("rows repeating the row above") << drawing;
    drawing = kindOf(6).filtered("2402");
    drawing.repeatRows = true;
    QTest::newRow("rows repeating, several filters") << drawing.sized(40, 30);
    QTest::newRow("tall and wide") << kindOf(2).sized(1024, 300).split(8192);
}

void TestPngRows::sameAsWholePicture()
{
    QFETCH(PngKind, kind);
    const QByteArray png = makePng(kind, 42);
    const QImage expected = qtPicture(png);
    QVERIFY(!expected.isNull());
    QCOMPARE(wholePicture(png), expected);
    picture::PngRows rows;
    QVERIFY(rows.open(png));
    QCOMPARE(rowByRow(rows), expected);
    if (kind.depth == 16) { // the samples as Qt reads them, and as the colours say (transparent: white)
        const QImage grey = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_Grayscale16);
        picture::PngRows samples;
        QVERIFY(samples.open(png) && samples.sixteenBitGrey());
        std::vector<engine::Packed> colours(std::size_t(kind.width));
        std::vector<std::uint16_t> depth(std::size_t(kind.width));
        for (int y = 0; y < kind.height; ++y) {
            QVERIFY(samples.readRow(colours, depth));
            for (int x = 0; x < kind.width; ++x) {
                QCOMPARE((depth[x] + 128) / 257, engine::redOf(colours[x]));
                if (kind.transparency.isEmpty())
                    QCOMPARE(depth[x], reinterpret_cast<const quint16 *>(grey.constScanLine(y))[x]);
            }
        }
    }
    std::vector<engine::Packed> beyond(std::size_t(kind.width));
    QVERIFY(!rows.readRow(beyond)); // no more rows
}

void TestPngRows::othersGetTheWholePictureReader_data()
{
    QTest::addColumn<QByteArray>("png");
    QTest::addColumn<bool>("rowDecoderTakesIt");

    const QByteArray plain = makePng(kindOf(2).sized(13, 40), 7);
    QTest::newRow("16-bit samples") << makePng(kindOf(2, 16), 7) << false;
    QTest::newRow("16-bit grey, interlaced") << makePng(kindOf(0, 16).interlace(), 7) << false;
    QByteArray interlaced = makePng(kindOf(2), 7);
    interlaced[28] = 1; // the header's checksum no longer fits either
    QTest::newRow("interlaced, damaged header") << interlaced << false;
    QTest::newRow("interlaced") << makePng(kindOf(3, 2).sized(13, 40).interlace(), 7) << false;

    // Damage that only decoding finds: the chunk checksums are made to fit again.
    const auto damaged = [&plain](int at, char value) {
        QByteArray png = plain;
        const int idat = int(png.indexOf("IDAT"));
        const int length = int(qFromBigEndian<quint32>(png.constData() + idat - 4));
        png[idat + 4 + at] = value;
        png.replace(idat - 4, length + 12, pngChunk("IDAT", png.mid(idat + 4, length)));
        return png;
    };
    QTest::newRow("data damaged in the middle") << damaged(int(plain.size() / 4), '\xff') << true;
    QTest::newRow("the stream's checksum wrong") << damaged(int(plain.indexOf("IEND")) - 12 - int(plain.indexOf("IDAT")) - 4 + 3, 0x5a) << true;
    QByteArray pixelsAfter = plain;
    pixelsAfter.insert(int(plain.indexOf("IEND")) - 4, pngChunk("IDAT", qCompress(QByteArray(50, 1)).mid(4)));
    QTest::newRow("more data after the stream") << pixelsAfter << true;
    QByteArray brokenEnd = plain;
    brokenEnd[brokenEnd.size() - 1] = char(brokenEnd.back() ^ 1);
    QTest::newRow("end chunk's checksum wrong") << brokenEnd << true;
    QByteArray unknown = plain;
    unknown.insert(int(plain.indexOf("IEND")) - 4, pngChunk("ZZZZ", "critical and unknown"));
    QTest::newRow("unknown critical chunk after the data") << unknown << true;
    QByteArray shortTable = makePng(kindOf(3), 3);
    const int plte = int(shortTable.indexOf("PLTE"));
    shortTable.replace(plte - 4, 8 + 768 + 4, pngChunk("PLTE", QByteArray(30, '\x7f')));
    QTest::newRow("indices beyond the colour table") << shortTable << true;
}

void TestPngRows::othersGetTheWholePictureReader()
{
    QFETCH(QByteArray, png);
    QFETCH(bool, rowDecoderTakesIt);
    picture::PngRows direct;
    QCOMPARE(direct.open(png), rowDecoderTakesIt);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".png"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(png) == png.size());
    file.close();
    const picture::LoadedPicture whole = picture::readPicture(path, 1 << 14);
    picture::PictureRows rows(path, 1 << 14);
    std::vector<engine::Packed> row(std::size_t(qMax(rows.width(), 1)));
    QImage image(rows.width(), rows.height(), QImage::Format_RGB32);
    int y = 0;
    for (; rows.status().ok() && y < rows.height(); ++y) {
        if (!rows.readRow(row))
            break;
        picture::unpackRow(row, image, y);
    }
    QCOMPARE(rows.status().problem, whole.problem);
    QCOMPARE(rows.status().reason, whole.reason);
    QCOMPARE(whole.ok(), !qtPicture(png).isNull());
    if (whole.ok()) {
        QCOMPARE(whole.image, qtPicture(png));
        QCOMPARE(y, whole.image.height());
        QCOMPARE(image, whole.image);
    }
}

QTEST_GUILESS_MAIN(TestPngRows)
#include "tst_pngrows.moc"
