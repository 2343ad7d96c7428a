#pragma once

#include <QByteArray>
#include <QImage>

#include <functional>
#include <QSize>
#include <QString>

/// Picture files made by the tests themselves, in the formats the program reads.
namespace picturefiles {

/// A picture of vertical bands of the given colours, equally wide.
QImage bands(int width, int height, const QList<QRgb> &colours);

/// The picture encoded by Qt ("BMP", "JPEG", "PNG").
QByteArray encoded(const QImage &image, const char *format);

/// A GIF of a picture with at most 256 colours (uncompressed codes, which every reader takes).
QByteArray gif(const QImage &image);

/// A placeable metafile of width × height pixels at 96 dots per inch: two filled rectangles,
/// the left half in left, the right half in right.
QByteArray wmf(int width, int height, QRgb left, QRgb right);

/// The encoded picture (BMP, PNG, JPEG or GIF) with its header changed to claim another size.
/// The pixel data stays as it was: only a reader that judges the header before decoding refuses
/// such a file for its size rather than for its damage. (A PNG's header checksum is not mended.)
QByteArray claimingSize(QByteArray bytes, QSize size);

/// A picture of these pixels (32-bit RGB).
QImage drawn(int width, int height, const std::function<QRgb(int x, int y)> &colour);

/// A PNG chunk of this type (four letters) and data, with its length and checksum.
QByteArray pngChunk(const char *type, const QByteArray &data);

/// Writes bytes to dir/name and returns the full path.
QString write(const QString &dir, const QString &name, const QByteArray &bytes);

} // namespace picturefiles
