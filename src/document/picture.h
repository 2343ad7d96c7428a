#pragma once

#include "engine/packedimage.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <span>

namespace lumivex::document {

/// Pictures are at most this many pixels wide (design, field and stereo pictures).
inline constexpr int kMaxPictureWidth = 1024;

/// Pictures loaded may hold at most this many pixels (1024 × 16384), whatever their shape, so that
/// a damaged header cannot make the program allocate without bound. Pictures wider than
/// kMaxPictureWidth but within this budget still load, so that the caller can refuse them by width.
inline constexpr qint64 kMaxPicturePixels = qint64(1024) * 16384;

/// Loads a picture file: BMP, JPEG, GIF (its first frame), PNG, and Windows metafiles (WMF,
/// placeable or not, rendered at the size their header gives at 96 dots per inch).
/// The format is decided from the content, not the file name.
/// The result is an opaque QImage::Format_RGB32 picture (transparent pixels become white); on
/// failure a null image, with a short reason in *error when given. A malformed file never crashes
/// or hangs the program.
QImage loadPicture(const QString &path, QString *error = nullptr);

/// As loadPicture, for a file's bytes already in memory.
QImage loadPictureData(const QByteArray &data, QString *error = nullptr);

/// Packed colour of a QImage pixel value (0xAARRGGBB) and back (opaque).
inline engine::Packed packPixel(QRgb rgb)
{
    return static_cast<engine::Packed>(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}
inline QRgb unpackPixel(engine::Packed c)
{
    return qRgb(engine::redOf(c), engine::greenOf(c), engine::blueOf(c));
}

/// Row y of an RGB32/ARGB32 picture as packed colours (out.size() >= width).
void packRow(const QImage &image, int y, std::span<engine::Packed> out);
/// Writes packed colours into row y of an RGB32 picture, from column 0.
void unpackRow(std::span<const engine::Packed> row, QImage &image, int y);

/// Whole-picture conversions between QImage and the engine's packed pictures.
engine::PackedImage toPacked(const QImage &image);
QImage fromPacked(const engine::PackedImage &image);

} // namespace lumivex::document
