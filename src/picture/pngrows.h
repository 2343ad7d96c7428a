#pragma once

#include "engine/packedcolour.h"

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <span>

namespace lumivex::picture {

/// Decodes a PNG file's rows one at a time from its bytes, without a picture of the whole. The
/// rows are what Qt's reader makes of the file, as readPicture gives them: opaque colours,
/// transparent pixels composited over white. Only plain PNG is taken: 8 bits a sample or fewer,
/// or 16-bit grey (depth maps), not interlaced; open() refuses others, which callers leave to
/// Qt's reader.
///
/// Meant for bytes that passed the loader's checks of a PNG's structure (every bound is checked
/// here all the same). A decoding error is reported by readRow(); whether the file is damaged is then for Qt's reader to say, so that
/// every file gets one verdict however it is read.
class PngRows
{
public:
    PngRows();
    ~PngRows();
    PngRows(const PngRows &) = delete;
    PngRows &operator=(const PngRows &) = delete;

    /// Starts decoding data (kept by the decoder until it is destroyed). False when the file
    /// is not one this decoder takes, or its header cannot be read.
    bool open(const QByteArray &data);

    int width() const { return m_width; }
    int height() const { return m_height; }

    /// Whether the file is 16-bit grey, whose samples readRow can give at full precision.
    bool sixteenBitGrey() const;

    /// Decodes the next row into out (at least width() entries). For a 16-bit grey file a
    /// non-empty grey16 (at least width() entries) also gets the samples as they are, the
    /// transparent grey as white (65535). False on a decoding error; no further rows are given
    /// then.
    bool readRow(std::span<engine::Packed> out, std::span<std::uint16_t> grey16 = {});

private:
    struct Context;
    std::unique_ptr<Context> m_context;
    int m_width = 0;
    int m_height = 0;
    int m_next = 0;
    bool m_failed = false;
};

} // namespace lumivex::picture
