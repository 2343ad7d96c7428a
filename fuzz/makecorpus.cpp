// Writes the fuzzers' seed files: small valid pictures of every format and INI files like the
// program's own, made here so that the corpus holds nothing from elsewhere.
// Usage: makecorpus <folder>; writes <folder>/picture, <folder>/wmf and <folder>/ini.

#include "wmfwriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QPainter>

#include <algorithm>
#include <cstdio>

namespace {

using wmfwriter::putDword;
using wmfwriter::putWord;

// A bottom-up device-independent bitmap, 8 × 4 pixels: 24-bit, 8-bit, or 8-bit RLE.
QByteArray dib(int bits, bool rle)
{
    QByteArray out;
    QByteArray pixels;
    if (bits == 24) {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                pixels.append(char(x * 30)).append(char(y * 60)).append(char(128));
    } else if (rle) {
        for (int y = 0; y < 4; ++y)
            pixels.append(char(8)).append(char(y)).append('\0').append('\0');
        pixels.append('\0').append('\1');
    } else {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                pixels.append(char((x + y) % 4));
    }
    putDword(out, 40);
    putDword(out, 8);
    putDword(out, 4);
    putWord(out, 1);
    putWord(out, bits);
    putDword(out, rle ? 1 : 0);
    putDword(out, static_cast<quint32>(pixels.size()));
    putDword(out, 2835);
    putDword(out, 2835);
    putDword(out, bits == 8 ? 4 : 0);
    putDword(out, 0);
    if (bits == 8)
        for (int i = 0; i < 4; ++i)
            putDword(out, static_cast<quint32>(i * 0x404040));
    return out + pixels;
}

// Every metafile is drawn in a window of 1440 × 960 units, placed at 1440 units per inch.
QByteArray bytes(WmfWriter &w, bool placeable)
{
    w.reserveObjects(16);  // room for the objects the records select by hand
    return placeable ? w.placeable(0, 0, 1440, 960, 1440) : w.plain();
}

QList<QByteArray> metafiles()
{
    QList<QByteArray> files;
    WmfWriter shapes;
    shapes.window(0, 0, 1440, 960).record(0x0106, {1});
    shapes.fill(qRgb(85, 85, 85)).record(0x041B, {960, 720, 0, 0});
    shapes.brush(qRgb(170, 170, 170)).record(0x0418, {800, 1300, 100, 800});
    shapes.brush(qRgb(255, 255, 255)).record(0x0324, {3, 100, 100, 600, 100, 350, 800});
    files << bytes(shapes, true) << bytes(shapes, false);

    WmfWriter lines;
    lines.window(0, 0, 1440, 960).pen(30, qRgb(200, 10, 10));
    lines.record(0x0214, {10, 10}).record(0x0213, {900, 1400});
    lines.record(0x0325, {4, 0, 0, 500, 900, 1000, 0, 1400, 900});
    lines.record(0x0817, {0, 700, 480, 1400, 960, 1440, 0, 0});
    lines.record(0x081A, {0, 700, 480, 1400, 960, 1440, 0, 0});
    lines.record(0x0830, {0, 700, 480, 1400, 960, 1440, 0, 0});
    lines.record(0x061C, {100, 100, 900, 1300, 100, 100});
    lines.record(0x0538, {2, 3, 3, 0, 0, 100, 0, 50, 100, 200, 200, 300, 200, 250, 300});
    lines.record(0x041F, {0x00ff, 0, 50, 50}).record(0x0548, {0, 0, 0, 700, 700});
    files << bytes(lines, true);

    WmfWriter text;
    text.window(0, 0, 1440, 960);
    QByteArray face("Times New Roman");
    face.resize(32, '\0');
    text.record(0x02FB, {-200, 0, 0, 0, 700, 0x0001, 0, 0, 0}, face).record(0x012D, {0});
    text.record(0x0209, {0x40, 0x80}).record(0x0102, {1}).record(0x012E, {0x18});
    QByteArray words("Depth");
    words.append('\0');
    putWord(words, 200);
    putWord(words, 300);
    text.record(0x0521, {5}, words).record(0x0A32, {300, 200, 4, 0}, QByteArray("Lumi"));
    files << bytes(text, true);

    WmfWriter bitmaps;
    bitmaps.window(0, 0, 1440, 960);
    for (const QByteArray &d : {dib(24, false), dib(8, false), dib(8, true)}) {
        // STRETCHDIB: raster operation SRCCOPY, colours from the table, source and target.
        bitmaps.record(0x0F43, {0x0020, 0x00CC, 0, 4, 8, 0, 0, 480, 720, 0, 0}, d);
        bitmaps.record(0x0B41, {0x0020, 0x00CC, 4, 8, 0, 0, 480, 720, 480, 720}, d);
        bitmaps.record(0x0142, {0, 0}, d).record(0x012D, {0}).record(0x041B, {960, 1440, 480, 0}).record(0x01F0, {0});
    }
    bitmaps.record(0x001E, {}).record(0x0416, {500, 500, 100, 100}).record(0x0127, {0xffff});
    files << bytes(bitmaps, true) << bytes(bitmaps, false);
    return files;
}

QByteArray makeGif()
{
    QByteArray out("GIF89a");
    putWord(out, 4);
    putWord(out, 2);
    out.append(char(0x81)).append('\0').append('\0');
    for (int c : {0, 0, 0, 85, 85, 85, 170, 170, 170, 255, 255, 255})
        out.append(char(c));
    out.append("\x21\xF9\x04\x01\x0A\x00\x03\x00", 8);
    out.append(char(0x2C));
    for (int v : {0, 0, 4, 2})
        putWord(out, v);
    out.append('\0').append(char(2));
    // Codes of 3 bits: clear, 0,1,2,3,0,1,2,3, end.
    const int codes[] = {4, 0, 1, 2, 3, 0, 1, 2, 3, 5};
    QByteArray packed;
    quint32 bits = 0;
    int count = 0;
    int width = 3;
    int next = 6;
    for (int i = 0; i < 10; ++i) {
        bits |= static_cast<quint32>(codes[i]) << count;
        for (count += width; count >= 8; count -= 8, bits >>= 8)
            packed.append(char(bits & 0xff));
        if (i >= 2 && i < 9 && ++next == (1 << width) && width < 12)
            ++width;
    }
    if (count)
        packed.append(char(bits & 0xff));
    out.append(char(packed.size())).append(packed).append('\0').append(char(0x3B));
    return out;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? 0xedb88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

// A PNG chunk of this type and data, with its length and checksum.
QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    QByteArray chunk;
    for (int shift : {24, 16, 8, 0})
        chunk.append(char(data.size() >> shift));
    chunk.append(body);
    const quint32 crc = crc32(body);
    for (int shift : {24, 16, 8, 0})
        chunk.append(char(crc >> shift));
    return chunk;
}

// A PNG with a text chunk after its image data, where the reader meets it last.
QByteArray pngWithTrailingText(const QByteArray &png)
{
    QByteArray out = png;
    return out.insert(out.lastIndexOf("IEND") - 4, pngChunk("tEXt", QByteArray("Comment\0depth picture", 21)));
}

// A 16-bit colour PNG with a transparent colour (the grey of its second band).
QByteArray png16WithTransparentColour(const QImage &image)
{
    QByteArray out = encoded(image.convertToFormat(QImage::Format_RGBX64), "PNG");
    return out.insert(out.indexOf("IDAT") - 4, pngChunk("tRNS", QByteArray("\xaa\xaa\xaa\xaa\xaa\xaa", 6)));
}

// The GIF with a comment after its picture, before the trailer.
QByteArray gifWithTrailingComment(const QByteArray &gif)
{
    return gif.chopped(1) + QByteArray("\x21\xFE\x07comment\x00\x3B", 12);
}

// A 32-bit BMP with a version 5 header and alpha bytes all zero, as Windows tools write them.
QByteArray bmpV5()
{
    QByteArray out("BM");
    putDword(out, 14 + 124 + 4 * 2 * 4);
    putDword(out, 0);
    putDword(out, 14 + 124);
    for (quint32 v : {124u, 4u, 2u})
        putDword(out, v);
    putWord(out, 1);
    putWord(out, 32);
    for (quint32 v : {3u, 32u, 2835u, 2835u, 0u, 0u, 0x00ff0000u, 0x0000ff00u, 0x000000ffu, 0xff000000u, 0x73524742u})
        putDword(out, v);
    out.append(QByteArray(124 - 60, '\0'));
    for (int i = 0; i < 8; ++i)
        putDword(out, quint32(i * 0x202020));
    return out;
}

// A bitmap file of a device-independent bitmap whose pixels start `pixels` bytes into it.
QByteArray bmpFile(const QByteArray &dib, int pixels)
{
    QByteArray out("BM");
    putDword(out, quint32(14 + dib.size()));
    putDword(out, 0);
    putDword(out, quint32(14 + pixels));
    return out + dib;
}

QByteArray progressiveJpeg(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    return bytes;
}

QList<QByteArray> rasters()
{
    QImage image(12, 6, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, 6, 6, QColor(85, 85, 85));
    painter.fillRect(3, 2, 6, 3, QColor(170, 170, 170));
    painter.end();
    QImage alpha = image.convertToFormat(QImage::Format_ARGB32);
    alpha.setPixel(0, 0, qRgba(0, 0, 0, 0));
    // Also files with more after the picture's data: a text chunk, a comment, bytes after the
    // end marker or the rows.
    return {encoded(image, "BMP"), encoded(image.convertToFormat(QImage::Format_Indexed8), "BMP"),
            encoded(image, "PNG"), encoded(alpha, "PNG"), encoded(image, "JPEG"), makeGif(),
            pngWithTrailingText(encoded(image, "PNG")), gifWithTrailingComment(makeGif()),
            encoded(image, "JPEG") + QByteArray("trailing bytes"), progressiveJpeg(image),
            encoded(image, "BMP") + QByteArray(16, '\0'), bmpV5(), bmpFile(dib(8, true), 40 + 16),
            encoded(image.convertToFormat(QImage::Format_Mono), "BMP"), png16WithTransparentColour(image)};
}

QList<QByteArray> iniFiles()
{
    const QByteArray state = "[Lumivex Ver.2]\n"
                             "FileNamePath=/home/user/art/wave.lvd\n"
                             "PicDesignPath=/home/user/art/wave.bmp\n"
                             "PicFieldPath=\n"
                             "MONOorCOLOR=Mono\n"
                             "KurikaesiHaba=70\n"
                             "Rittaido=20\n"
                             "Mitudo=30\n"
                             "knButtons1=True\n"
                             "knText3=False\n";
    // Windows made: Shift-JIS path (デザイン), CR LF, another section and a comment.
    const QByteArray windows = "; made on Windows\r\n[Other]\r\nKey=1\r\n"
                               "[Lumivex Ver.2]\r\nPicDesignPath=C:\\\x83\x66\x83\x55\x83\x43\x83\x93.bmp\r\n"
                               "  Rittaido = 12abc \r\nEditorPath=\r\n";
    return {state, windows, QByteArray("[Lumivex Ver.2]")};
}

bool writeAll(const QString &folder, const QString &prefix, const QList<QByteArray> &files)
{
    if (!QDir().mkpath(folder))
        return false;
    for (qsizetype i = 0; i < files.size(); ++i) {
        QFile file(QDir(folder).filePath(QStringLiteral("%1-%2").arg(prefix).arg(i)));
        if (!file.open(QIODevice::WriteOnly) || file.write(files[i]) != files[i].size())
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makecorpus <folder>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QList<QByteArray> wmf = metafiles();
    const bool ok = writeAll(root.filePath(QStringLiteral("picture")), QStringLiteral("raster"), rasters())
                    && writeAll(root.filePath(QStringLiteral("picture")), QStringLiteral("wmf"), wmf)
                    && writeAll(root.filePath(QStringLiteral("wmf")), QStringLiteral("wmf"), wmf)
                    && writeAll(root.filePath(QStringLiteral("ini")), QStringLiteral("ini"), iniFiles());
    if (!ok) {
        std::fprintf(stderr, "makecorpus: cannot write under %s\n", argv[1]);
        return 1;
    }
    return 0;
}
