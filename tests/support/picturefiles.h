#pragma once

#include <QByteArray>
#include <QImage>
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

/// Writes bytes to dir/name and returns the full path.
QString write(const QString &dir, const QString &name, const QByteArray &bytes);

} // namespace picturefiles
