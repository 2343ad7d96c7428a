#pragma once

// The file encoders behind PictureWriter. Each takes a picture's rows from the top, one at a
// time, and writes the file to its device as it goes.

#include "picturewriter.h"

#include <QString>

#include <memory>
#include <span>

class QIODevice;

namespace lumivex::picture {

class RowEncoder
{
public:
    virtual ~RowEncoder() = default;

    /// Encodes the next row (layout.width colours). False on failure, with the reason in error.
    virtual bool row(std::span<const engine::Packed> row) = 0;
    /// Completes the file after the last row.
    virtual bool finish() = 0;

    QString error;
};

/// 24-bit BMP as Qt writes it; rows are gathered in bands and stored bottom up.
std::unique_ptr<RowEncoder> makeBmpEncoder(QIODevice &device, const PictureLayout &layout);

/// PNG with a colour table when the layout has a palette, RGB otherwise.
std::unique_ptr<RowEncoder> makePngEncoder(QIODevice &device, const PictureLayout &layout);

} // namespace lumivex::picture
