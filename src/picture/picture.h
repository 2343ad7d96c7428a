#pragma once

#include "engine/packedimage.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <span>

namespace lumivex::picture {

/// Pictures are at most this many pixels wide (design, field and stereo pictures).
inline constexpr int kMaxPictureWidth = 1024;

/// Pictures loaded may hold at most this many pixels (1024 × 262144, 1 GiB at four bytes per
/// pixel), whatever their shape: any height a picture of the program's widths can use in memory,
/// yet a bound, so that a header that lies cannot make the program allocate without limit.
inline constexpr qint64 kMaxPicturePixels = qint64(1) << 28;

/// Why a picture was not loaded.
enum class PictureProblem {
    None,
    CannotOpen,  ///< missing, or not readable
    NotAFile,    ///< a folder, pipe or device: only regular files are read
    NotAPicture, ///< none of the formats the program reads
    Damaged,     ///< broken data
    CutShort,    ///< the file ends before the picture does
    TooWide,     ///< wider than the caller's limit; the picture was not decoded
    TooLarge,    ///< more pixels (or a larger file) than memory allows
};

/// The outcome of loading a picture file.
struct LoadedPicture
{
    QImage image;   ///< opaque Format_RGB32; null unless problem is None
    QSize size;     ///< the picture's pixel size as far as known (also for TooWide and TooLarge)
    PictureProblem problem = PictureProblem::None;
    QString reason; ///< a short English description of the problem; empty on success

    bool ok() const { return problem == PictureProblem::None; }

    /// A picture that was not loaded, for the reason given.
    static LoadedPicture failure(PictureProblem problem, const QString &reason, QSize size = {})
    {
        LoadedPicture result;
        result.problem = problem;
        result.reason = reason;
        result.size = size;
        return result;
    }
};

/// Loads a picture file: BMP, JPEG, GIF (its first frame), PNG, and Windows metafiles (WMF,
/// placeable or not, rendered at the size their header gives at 96 dots per inch). The format is
/// decided from the content, not the file name. Only regular files are opened, and nothing is
/// read from a file larger than a picture that fits in memory.
///
/// The size is judged from the header before anything is decoded: a picture wider than maxWidth
/// is refused as TooWide, one of more than kMaxPicturePixels as TooLarge. A file cut short, or
/// whose structure is broken, is refused instead of returned half decoded. Transparent pixels
/// become white, except in a BMP whose alpha bytes are all zero, which is opaque as Windows
/// shows it. A malformed file never crashes or hangs the program, and costs no more memory
/// than the picture its data can hold.
LoadedPicture readPicture(const QString &path, int maxWidth = kMaxPictureWidth);

/// As readPicture, for a file's bytes already in memory.
LoadedPicture readPictureData(QByteArray data, int maxWidth = kMaxPictureWidth);

/// readPicture's work up to decoding: the file's checks (a regular file, no larger than a
/// picture that fits in memory, a header within maxWidth and the pixel budget) and its bytes
/// read into data. The result has no image; it is ok() when the bytes are ready for
/// readPictureData or checkPictureData.
LoadedPicture readPictureFile(const QString &path, QByteArray &data, int maxWidth = kMaxPictureWidth);

/// readPictureData's checks of a file's bytes, without decoding anything: the header's size
/// against maxWidth and the pixel budget and, for BMP, JPEG, GIF and PNG, the file's structure
/// (cut short, damaged). The result has no image, and the size when the header gives it.
LoadedPicture checkPictureData(const QByteArray &data, int maxWidth = kMaxPictureWidth);

/// readPicture's image alone (null on any failure, with the reason in *error when given).
QImage loadPicture(const QString &path, QString *error = nullptr);

/// The message box text for a picture file that was not loaded: the file's name and, in a line
/// of its own, why. (A picture refused as too wide gets its caller's own message.)
QString pictureFailureMessage(const QString &path, const LoadedPicture &result);

/// The open-file dialog filter of every picture dialog.
QString pictureFileFilter();

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

} // namespace lumivex::picture
