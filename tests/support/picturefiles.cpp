#include "picturefiles.h"

#include "wmfwriter.h"

#include <QBuffer>
#include <QFile>
#include <QList>
#include <QtEndian>

namespace picturefiles {

using wmfwriter::putWord;

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
    putWord(out, image.width());
    putWord(out, image.height());
    out.append(char(0xF7)).append(char(0)).append(char(0));  // 256-entry global colour table
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    out.append(char(0x2C));
    putWord(out, 0);
    putWord(out, 0);
    putWord(out, image.width());
    putWord(out, image.height());
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
    WmfWriter w;
    w.window(0, 0, width, height);
    w.fill(left).rectangle(0, 0, width / 2, height);
    w.fill(right).rectangle(width / 2, 0, width, height);
    return w.placeable(0, 0, width, height, 96);
}

QByteArray claimingSize(QByteArray bytes, QSize size)
{
    auto *p = reinterpret_cast<uchar *>(bytes.data());
    if (bytes.startsWith("BM")) {
        qToLittleEndian<qint32>(size.width(), p + 18);
        qToLittleEndian<qint32>(size.height(), p + 22);
    } else if (bytes.startsWith("\x89PNG")) {
        qToBigEndian<quint32>(size.width(), p + 16);
        qToBigEndian<quint32>(size.height(), p + 20);
    } else if (bytes.startsWith("GIF")) {
        qToLittleEndian<quint16>(size.width(), p + 6);
        qToLittleEndian<quint16>(size.height(), p + 8);
    } else if (bytes.startsWith("\xFF\xD8")) {
        // The baseline or progressive frame header: marker, length, precision, height, width.
        for (qsizetype i = 2; i + 9 < bytes.size(); ++i) {
            if (p[i] == 0xFF && (p[i + 1] == 0xC0 || p[i + 1] == 0xC2)) {
                qToBigEndian<quint16>(size.height(), p + i + 5);
                qToBigEndian<quint16>(size.width(), p + i + 7);
                break;
            }
        }
    }
    return bytes;
}

QImage drawn(int width, int height, const std::function<QRgb(int x, int y)> &colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int i = 0; i < width * height; ++i)
        image.setPixel(i % width, i / width, colour(i % width, i / width));
    return image;
}

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    quint32 crc = 0xffffffffu;
    for (const char byte : body) {
        crc ^= uchar(byte);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    QByteArray chunk(8, '\0');
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    qToBigEndian<quint32>(crc ^ 0xffffffffu, chunk.data() + 4);
    return chunk.left(4) + body + chunk.mid(4);
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
