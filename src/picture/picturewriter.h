#pragma once

#include "engine/packedcolour.h"

#include <QImage>
#include <QString>

#include <memory>
#include <span>
#include <vector>

class QIODevice;

namespace lumivex::picture {

/// The file formats pictures are written in.
enum class PictureFileFormat { Bmp, Png };

/// The format a file name asks for: PNG for a name ending in ".png" (in any letter case), BMP
/// for any other name.
PictureFileFormat pictureFileFormatFor(const QString &path);

/// The shape of a picture to be written.
struct PictureLayout
{
    int width = 0;
    int height = 0;
    /// Every colour the rows hold, when they come from at most sixteen: a PNG is then written
    /// with a colour table, four bits a pixel. Empty: full colour. BMP ignores it.
    std::vector<engine::Packed> palette;
    /// The resolution recorded in the file; 0: that of a new QImage, as Qt's writers record it.
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
};

class RowEncoder;

/// Writes a picture to a device row by row from the top, so that no copy of the whole picture
/// is ever made. BMP is written as 24-bit BMP with the 40-byte header, rows padded to four
/// bytes and stored bottom up (the device must be able to seek); PNG with fast compression.
/// The rows are encoded on a second thread while the caller makes the next ones.
///
/// A failure (a write error, a colour missing from the palette) is kept: later rows are
/// ignored, and finish() and errorString() report it.
class PictureWriter
{
public:
    PictureWriter(QIODevice &device, PictureFileFormat format, const PictureLayout &layout);
    ~PictureWriter();
    PictureWriter(const PictureWriter &) = delete;
    PictureWriter &operator=(const PictureWriter &) = delete;

    /// Hands over the next row: at least layout.width colours (more are ignored). False once
    /// the writer has failed; the failure may also be found only later.
    bool writeRow(std::span<const engine::Packed> row);

    /// Waits for the rows handed over and completes the file. False when anything failed or
    /// fewer rows than the layout's height were written.
    bool finish();

    /// Why the writer failed; empty while it has not.
    QString errorString() const;

private:
    struct Pipeline;
    std::unique_ptr<Pipeline> m_pipeline;
};

/// The distinct colours of an opaque picture when it has at most sixteen (sorted), else none.
std::vector<engine::Packed> smallPalette(const QImage &image);

/// Writes a whole picture (any format; transparency is dropped) with PictureWriter: a
/// picture of at most sixteen colours becomes a palette PNG. False on failure, with the
/// reason in *error when given.
bool writePicture(const QImage &image, QIODevice &device, PictureFileFormat format,
                  QString *error = nullptr);

/// writePicture into a file that is replaced whole or not at all (SafeFile): on failure the
/// file that was there stays as it was, and *error gives the reason.
bool writePictureFile(const QImage &image, const QString &path, PictureFileFormat format,
                      QString *error = nullptr);

} // namespace lumivex::picture
