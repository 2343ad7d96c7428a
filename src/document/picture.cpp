#include "picture.h"

#include "wmfpicture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

namespace lumivex::document {

namespace {

// Larger files than this are no picture the program can use; refuse them before reading.
constexpr qint64 kMaxFileBytes = qint64(256) * 1024 * 1024;

QImage fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return {};
}

bool withinBudget(QSize size)
{
    return size.width() > 0 && size.height() > 0
           && qint64(size.width()) * size.height() <= kMaxPicturePixels;
}

// Whether an uncompressed BMP holds fewer bytes than its rows need. Qt's reader returns such a
// picture as if whole, its missing rows never written (black, or whatever the memory held).
bool bmpCutShort(const QByteArray &data)
{
    if (data.size() < 30 || !data.startsWith("BM"))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    const quint32 offset = qFromLittleEndian<quint32>(p + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(p + 14);
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
    quint32 compression = 0;
    if (headerSize == 12) {
        width = qFromLittleEndian<quint16>(p + 18);
        height = qFromLittleEndian<quint16>(p + 20);
        bits = qFromLittleEndian<quint16>(p + 24);
    } else if (headerSize >= 40 && data.size() >= 54) {
        width = qFromLittleEndian<qint32>(p + 18);
        height = std::abs(qint64(qFromLittleEndian<qint32>(p + 22)));
        bits = qFromLittleEndian<quint16>(p + 28);
        compression = qFromLittleEndian<quint32>(p + 30);
    }
    if (width <= 0 || height <= 0 || bits <= 0 || (compression != 0 && compression != 3))
        return false; // compressed or unknown: left to the reader
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    return qint64(offset) + rowBytes * height > data.size();
}

// Composites a picture with transparency over white, exactly: opaque pixels keep their colour.
QImage opaqueOverWhite(const QImage &source)
{
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    QImage result(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const int a = qAlpha(in[x]);
            auto blend = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            out[x] = qRgb(blend(qRed(in[x])), blend(qGreen(in[x])), blend(qBlue(in[x])));
        }
    }
    return result;
}

} // namespace

QImage loadPicture(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    if (file.size() > kMaxFileBytes)
        return fail(error, QStringLiteral("file too large"));
    const QByteArray data = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(error, file.errorString());
    return loadPictureData(data, error);
}

QImage loadPictureData(const QByteArray &data, QString *error)
{
    if (data.isEmpty())
        return fail(error, QStringLiteral("empty file"));
    if (looksLikeWmf(data))
        return renderWmf(data, error);

    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    // Only the formats the program offers: Qt's other readers (icons and whatever plugins are
    // installed) stay out of reach of files from elsewhere.
    static const QList<QByteArray> accepted = {"bmp", "jpeg", "gif", "png"};
    if (!accepted.contains(format))
        return fail(error, QStringLiteral("not a BMP, JPEG, GIF, PNG or WMF picture"));
    if (format == "bmp" && bmpCutShort(data))
        return fail(error, QStringLiteral("damaged picture: the file is cut short"));

    QImageReader reader(&buffer, format);
    reader.setAutoTransform(false);
    const QSize announced = reader.size();
    if (announced.isValid() && !withinBudget(announced))
        return fail(error, QStringLiteral("picture too large (%1 × %2 pixels)")
                               .arg(announced.width()).arg(announced.height()));
    const QImage image = reader.read(); // a GIF's first frame
    if (image.isNull())
        return fail(error, QStringLiteral("damaged picture: %1").arg(reader.errorString()));
    if (!withinBudget(image.size()))
        return fail(error, QStringLiteral("picture too large"));
    if (image.hasAlphaChannel())
        return opaqueOverWhite(image);
    return image.convertToFormat(QImage::Format_RGB32);
}

void packRow(const QImage &image, int y, std::span<engine::Packed> out)
{
    const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    const int width = image.width();
    for (int x = 0; x < width; ++x)
        out[x] = packPixel(line[x]);
}

void unpackRow(std::span<const engine::Packed> row, QImage &image, int y)
{
    auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
    const int width = std::min(static_cast<int>(row.size()), image.width());
    for (int x = 0; x < width; ++x)
        line[x] = unpackPixel(row[x]);
}

engine::PackedImage toPacked(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    engine::PackedImage result(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        packRow(image, y, result.row(y));
    return result;
}

QImage fromPacked(const engine::PackedImage &source)
{
    QImage image(source.width, source.height, QImage::Format_RGB32);
    for (int y = 0; y < source.height; ++y)
        unpackRow(source.row(y), image, y);
    return image;
}

} // namespace lumivex::document
