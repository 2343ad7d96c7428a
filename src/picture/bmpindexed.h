#pragma once

#include "picture.h"

#include <QByteArray>

namespace lumivex::picture {

/// Whether the bytes are a BMP of a colour table (1, 4 or 8 bits a pixel, or another depth of
/// 8 bits or fewer, which decodeIndexedBmp refuses), the kind decodeIndexedBmp reads.
bool isIndexedBmp(const QByteArray &data);

/// Decodes a BMP of a colour table, plain or run-length encoded (8 or 4 bits), into an opaque
/// Format_RGB32 picture of which every pixel is written from the file. Qt's reader leaves the
/// pixels a run-length encoded bitmap skips, and the rows of some damaged files, as the memory
/// held them. Here the pixels that the codes skip (moves, ends of lines and of the bitmap) take
/// the table's first colour, and an index beyond the table is black (white for the second colour
/// of a 1-bit picture), as Qt's reader made it. Runs past the end of a row are cut there. Data
/// that ends before the picture does is CutShort; a depth or compression of no colour-table
/// BMP is Damaged.
LoadedPicture decodeIndexedBmp(const QByteArray &data);

} // namespace lumivex::picture
