#include "picturefiles.h"

#include <QBuffer>
#include <QFile>
#include <QList>

namespace picturefiles {

namespace {

void word(QByteArray &out, int value)
{
    out.append(char(value & 0xff)).append(char((value >> 8) & 0xff));
}

void dword(QByteArray &out, quint32 value)
{
    word(out, int(value & 0xffff));
    word(out, int(value >> 16));
}

QByteArray record(int function, const QList<int> &params)
{
    QByteArray r;
    dword(r, quint32(3 + params.size()));
    word(r, function);
    for (int p : params)
        word(r, p);
    return r;
}

// A null pen and a solid brush of the colour, selected as objects first and second.
QByteArray brush(QRgb colour, int firstObject)
{
    const quint32 ref = qRed(colour) | (qGreen(colour) << 8) | (qBlue(colour) << 16);
    return record(0x02FA, {5, 0, 0, 0, 0}) + record(0x012D, {firstObject})
        + record(0x02FC, {0, int(ref & 0xffff), int(ref >> 16), 0}) + record(0x012D, {firstObject + 1});
}

} // namespace

QImage bands(int width, int height, const QList<QRgb> &colours)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colours[x * colours.size() / width]);
    return image;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray gif(const QImage &image)
{
    QList<QRgb> palette;
    QByteArray indices;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) | 0xff000000u;
            qsizetype index = palette.indexOf(c);
            if (index < 0) {
                index = palette.size();
                palette.append(c);
            }
            indices.append(char(index));
        }
    }
    QByteArray out("GIF89a");
    word(out, image.width());
    word(out, image.height());
    out.append(char(0xF7)).append(char(0)).append(char(0));  // 256-entry global colour table
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    out.append(char(0x2C));
    word(out, 0);
    word(out, 0);
    word(out, image.width());
    word(out, image.height());
    out.append(char(0)).append(char(8));
    // Nine-bit codes throughout: a clear code often enough that the table never widens.
    QByteArray codes;
    quint32 bits = 0;
    int count = 0;
    const auto put = [&](int code) {
        bits |= quint32(code) << count;
        for (count += 9; count >= 8; count -= 8, bits >>= 8)
            codes.append(char(bits & 0xff));
    };
    for (qsizetype i = 0; i < indices.size(); ++i) {
        if (i % 250 == 0)
            put(256);
        put(quint8(indices[i]));
    }
    put(257);
    if (count > 0)
        codes.append(char(bits & 0xff));
    for (qsizetype i = 0; i < codes.size(); i += 255) {
        const QByteArray block = codes.mid(i, 255);
        out.append(char(block.size())).append(block);
    }
    out.append(char(0)).append(char(0x3B));
    return out;
}

QByteArray wmf(int width, int height, QRgb left, QRgb right)
{
    QByteArray records = record(0x020B, {0, 0}) + record(0x020C, {height, width});
    records += brush(left, 0) + record(0x041B, {height, width / 2, 0, 0});
    records += brush(right, 2) + record(0x041B, {height, width, 0, width / 2});
    records += record(0x0000, {});

    QByteArray head;
    dword(head, 0x9AC6CDD7u);
    word(head, 0);
    for (int v : {0, 0, width, height, 96})
        word(head, v);
    dword(head, 0);
    quint16 sum = 0;
    for (int i = 0; i < head.size(); i += 2)
        sum ^= quint8(head[i]) | (quint8(head[i + 1]) << 8);
    word(head, sum);

    QByteArray plain;
    word(plain, 1);
    word(plain, 9);
    word(plain, 0x0300);
    dword(plain, quint32((18 + records.size()) / 2));
    word(plain, 4);   // objects
    dword(plain, 8);  // largest record (the pen), in words
    word(plain, 0);
    return head + plain + records;
}

QString write(const QString &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace picturefiles
