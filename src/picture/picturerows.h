#pragma once

#include "picture.h"
#include "pngrows.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <span>

namespace lumivex::picture {

/// A picture file read row by row from the top, for work that needs no more than a row at a
/// time: a PNG is decoded as its rows are asked for, without a picture of the whole; other
/// formats are decoded whole by readPictureData and handed out from that picture.
///
/// The file passes every check readPicture makes, the rows are the pixels readPicture gives,
/// and every verdict on the file is readPicture's: should the row decoder stop at an error,
/// the file is decoded whole, which either says what is wrong with it or gives the rest.
class PictureRows
{
public:
    /// Opens and checks the file; status() tells whether it can be read.
    explicit PictureRows(const QString &path, int maxWidth = kMaxPictureWidth);

    /// The outcome so far, as readPicture reports it but with no image: ok() with the size, or
    /// the problem. A failed readRow() sets it.
    const LoadedPicture &status() const { return m_status; }

    int width() const { return m_status.size.width(); }
    int height() const { return m_status.size.height(); }

    /// Reads the next row into out (at least width() entries). False when the picture cannot
    /// be read after all (status() says why) or all its rows have been read.
    bool readRow(std::span<engine::Packed> out);

    /// Reads the next row as smooth depths (engine::smoothDepth) into depth, at least width()
    /// entries, with out as room for the colours: a 16-bit grey PNG decoded row by row gives
    /// its samples as they are, every other picture the depth of each colour. False as readRow.
    bool readDepthRow(std::span<engine::Packed> out, std::span<std::uint16_t> depth);

    /// Goes back to the first row, for a second pass over the picture: a PNG decoded row by row
    /// is decoded again from its bytes, which it keeps. False when the picture cannot be read.
    bool rewind();

private:
    bool nextRow(std::span<engine::Packed> out, std::span<std::uint16_t> grey16);
    bool decodeWhole();

    LoadedPicture m_status;
    int m_maxWidth = kMaxPictureWidth;
    QByteArray m_data; ///< the file, while the rows are decoded from it
    std::unique_ptr<PngRows> m_png; ///< while the rows are decoded one at a time
    QImage m_image;    ///< the whole picture, when it is not decoded row by row
    int m_next = 0;
};

} // namespace lumivex::picture
