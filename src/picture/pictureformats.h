#pragma once

// What a raster picture file's own structure says, read before any pixel is decoded: its
// format, its size from the header, and whether the file holds all of the picture. Qt's readers
// return a picture cut short as if whole (rows never written, grey blocks, a blank GIF), and
// some allocate what a damaged header claims; these checks come first.

#include "picture.h"

#include <QByteArray>
#include <QSize>
#include <QString>

namespace lumivex::picture {

/// The raster formats read through Qt's readers (metafiles are rendered apart).
enum class RasterFormat { Unknown, Bmp, Png, Jpeg, Gif };

struct RasterLayout
{
    RasterFormat format = RasterFormat::Unknown;
    QSize size; ///< as the reader will decode it; invalid until known
    PictureProblem problem = PictureProblem::None; ///< NotAPicture, Damaged or CutShort
    QString reason;
};

/// Recognises the format by its signature and reads the picture's size from the header. Only
/// the first bytes are looked at (a JPEG's up to its frame header), so data may be the start of
/// a file: CutShort then means that the header lies further on.
RasterLayout rasterHeader(const QByteArray &data);

/// Walks the whole file as the reader will: every chunk, block, marker or run must lie within
/// the data and the picture's data must be complete. Sets layout.problem to CutShort or Damaged
/// (with a reason) when it is not. A PNG's image data must also be able to hold its size.
void checkRasterStructure(const QByteArray &data, RasterLayout &layout);

/// Qt's name of the format ("bmp", "png", "jpeg", "gif").
const char *rasterFormatName(RasterFormat format);

} // namespace lumivex::picture
