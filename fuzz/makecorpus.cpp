// Writes the fuzzers' seed files: small valid pictures of every format and INI files like the
// program's own, made here so that the corpus holds nothing from elsewhere.
// Usage: makecorpus <folder>; writes <folder>/picture, <folder>/wmf and <folder>/ini.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPainter>

#include <algorithm>
#include <cstdio>

namespace {

void putWord(QByteArray &out, int value)
{
    out.append(static_cast<char>(value & 0xff));
    out.append(static_cast<char>((value >> 8) & 0xff));
}

void putDword(QByteArray &out, quint32 value)
{
    putWord(out, static_cast<int>(value & 0xffff));
    putWord(out, static_cast<int>(value >> 16));
}

// Metafile records; parameters are words, raw bytes may follow them.
class Wmf
{
public:
    Wmf &rec(int function, const QList<int> &params, const QByteArray &tail = {})
    {
        QByteArray body;
        for (int p : params)
            putWord(body, p);
        body += tail;
        if (body.size() % 2)
            body.append('\0');
        putDword(m_records, static_cast<quint32>(3 + body.size() / 2));
        putWord(m_records, function);
        m_records += body;
        return *this;
    }
    Wmf &brush(int r, int g, int b)
    {
        rec(0x02FC, {0, r | (g << 8), b, 0});
        return rec(0x012D, {m_objects++});
    }
    Wmf &pen(int style, int width, int r, int g, int b)
    {
        rec(0x02FA, {style, width, 0, r | (g << 8), b});
        return rec(0x012D, {m_objects++});
    }
    QByteArray bytes(bool placeable) const
    {
        QByteArray out;
        if (placeable) {
            putDword(out, 0x9AC6CDD7u);
            for (int v : {0, 0, 0, 1440, 960, 1440})
                putWord(out, v);
            putDword(out, 0);
            quint16 sum = 0;
            for (int i = 0; i < out.size(); i += 2)
                sum ^= static_cast<quint8>(out[i]) | (static_cast<quint8>(out[i + 1]) << 8);
            putWord(out, sum);
        }
        for (int v : {1, 9, 0x0300})
            putWord(out, v);
        putDword(out, static_cast<quint32>((18 + m_records.size() + 6) / 2));
        putWord(out, std::max(m_objects, 16)); // room for the objects made by hand
        putDword(out, static_cast<quint32>(m_records.size() / 2));
        putWord(out, 0);
        out += m_records;
        putDword(out, 3);
        putWord(out, 0);
        return out;
    }

private:
    QByteArray m_records;
    int m_objects = 0;
};

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

QList<QByteArray> metafiles()
{
    QList<QByteArray> files;
    Wmf shapes;
    shapes.rec(0x020B, {0, 0}).rec(0x020C, {960, 1440}).rec(0x0106, {1});
    shapes.pen(5, 0, 0, 0, 0).brush(85, 85, 85).rec(0x041B, {960, 720, 0, 0});
    shapes.brush(170, 170, 170).rec(0x0418, {800, 1300, 100, 800});
    shapes.brush(255, 255, 255).rec(0x0324, {3, 100, 100, 600, 100, 350, 800});
    files << shapes.bytes(true) << shapes.bytes(false);

    Wmf lines;
    lines.rec(0x020B, {0, 0}).rec(0x020C, {960, 1440}).pen(0, 30, 200, 10, 10);
    lines.rec(0x0214, {10, 10}).rec(0x0213, {900, 1400});
    lines.rec(0x0325, {4, 0, 0, 500, 900, 1000, 0, 1400, 900});
    lines.rec(0x0817, {0, 700, 480, 1400, 960, 1440, 0, 0});
    lines.rec(0x081A, {0, 700, 480, 1400, 960, 1440, 0, 0});
    lines.rec(0x0830, {0, 700, 480, 1400, 960, 1440, 0, 0});
    lines.rec(0x061C, {100, 100, 900, 1300, 100, 100});
    lines.rec(0x0538, {2, 3, 3, 0, 0, 100, 0, 50, 100, 200, 200, 300, 200, 250, 300});
    lines.rec(0x041F, {0x00ff, 0, 50, 50}).rec(0x0548, {0, 0, 0, 700, 700});
    files << lines.bytes(true);

    Wmf text;
    text.rec(0x020B, {0, 0}).rec(0x020C, {960, 1440});
    QByteArray face("Times New Roman");
    face.resize(32, '\0');
    text.rec(0x02FB, {-200, 0, 0, 0, 700, 0x0001, 0, 0, 0}, face).rec(0x012D, {0});
    text.rec(0x0209, {0x40, 0x80}).rec(0x0102, {1}).rec(0x012E, {0x18});
    QByteArray words("Depth");
    words.append('\0');
    putWord(words, 200);
    putWord(words, 300);
    text.rec(0x0521, {5}, words).rec(0x0A32, {300, 200, 4, 0}, QByteArray("Lumi"));
    files << text.bytes(true);

    Wmf bitmaps;
    bitmaps.rec(0x020B, {0, 0}).rec(0x020C, {960, 1440});
    for (const QByteArray &d : {dib(24, false), dib(8, false), dib(8, true)}) {
        // STRETCHDIB: raster operation SRCCOPY, colours from the table, source and target.
        bitmaps.rec(0x0F43, {0x0020, 0x00CC, 0, 4, 8, 0, 0, 480, 720, 0, 0}, d);
        bitmaps.rec(0x0B41, {0x0020, 0x00CC, 4, 8, 0, 0, 480, 720, 480, 720}, d);
        bitmaps.rec(0x0142, {0, 0}, d).rec(0x012D, {0}).rec(0x041B, {960, 1440, 480, 0}).rec(0x01F0, {0});
    }
    bitmaps.rec(0x001E, {}).rec(0x0416, {500, 500, 100, 100}).rec(0x0127, {0xffff});
    files << bitmaps.bytes(true) << bitmaps.bytes(false);
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
    return {encoded(image, "BMP"), encoded(image.convertToFormat(QImage::Format_Indexed8), "BMP"),
            encoded(image, "PNG"), encoded(alpha, "PNG"), encoded(image, "JPEG"), makeGif()};
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
