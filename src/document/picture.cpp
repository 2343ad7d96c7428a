#include "picture.h"

#include <QFileInfo>
#include <QImageReader>

namespace lumivex::document {

QImage loadPicture(const QString &path, QString *error)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) {
        if (error)
            *error = reader.errorString();
        return {};
    }
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
