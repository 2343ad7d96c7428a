#pragma once

#include "options.h"

#include "engine/packedcolour.h"
#include "engine/resample.h"
#include "picture/picturerows.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumivex::cli {

/// Says why a picture cannot be taken, as the converter's one line (throws Failure).
[[noreturn]] void refusePicture(const QString &what, const QString &path, const picture::LoadedPicture &picture,
                                int maxWidth);

/// An input picture read row by row; any failure, also one found in the middle of the picture,
/// is the converter's one line.
class Input
{
public:
    Input(QString what, QString path, int maxWidth);

    int width() const { return m_rows.width(); }
    int height() const { return m_rows.height(); }

    /// The next row's colours (at least width() entries).
    void readRow(std::span<engine::Packed> out);
    /// The next row's smooth depths (at least width() entries), with colours as room to read.
    void readDepthRow(std::span<engine::Packed> colours, std::span<std::uint16_t> out);

    /// The rows no conversion needed, read all the same: a file damaged further on is refused
    /// as it would be when read whole.
    void readRest();

    /// Whether every pixel is grey and some grey is none of the depth colours' greys: a grey
    /// depth map, which the depth colours would cut into terraces. Reads the picture through
    /// and goes back to its first row (a PNG's rows are decoded twice, no more is kept).
    bool holdsGreyMap();

private:
    void check() const;

    QString m_what;
    QString m_path;
    int m_maxWidth;
    picture::PictureRows m_rows;
};

// The resampling rule is the engine's, which the window uses to fit a picture too wide for it.
using engine::kTapBits;
using engine::kTapOne;
using engine::resampleTaps;
using engine::Tap;

/// The design as a conversion takes it, a row at a time from the top: at its own size, or
/// resampled to the size --scale or --width asks for, nearest for a design in the depth colours
/// (no colour between two depths is made) and bilinear for a grey depth map. Its rows come in
/// the depth colours (for the sixteen levels; a grey map is cut into them after resampling) or
/// as smooth depths. Only two rows of the source are kept. With --invert near becomes far as the
/// rows are given (level L becomes 15 - L, smooth depth z becomes kSmoothNear - z), so that every
/// use of the rows, the check of the reach too, sees the depth the picture shows.
class DesignRows
{
public:
    explicit DesignRows(const Options &options);

    int width() const { return m_width; }
    int height() const { return m_height; }
    /// The size of the design picture as read.
    int sourceWidth() const { return m_input.width(); }
    int sourceHeight() const { return m_input.height(); }

    /// The next row in the depth colours: width() entries.
    void colours(std::span<engine::Packed> out);
    /// The next row in smooth depths: width() entries.
    void depths(std::span<std::uint16_t> out);
    /// Reads the source rows no row needed (see Input::readRest).
    void readRest() { m_input.readRest(); }

    /// How the design gives depth: as --depth says or, without it, a grey depth map
    /// (Input::holdsGreyMap) as smooth depth and any other picture in the depth colours.
    DepthSource depthSource() const { return m_grey ? DepthSource::Grey : DepthSource::Colours; }
    /// Whether the design was found to be a grey depth map without --depth.
    bool greyMapFound() const { return m_greyFound; }

private:
    template <typename Sample, typename Read>
    void resampled(std::vector<Sample> (&rows)[2], std::span<Sample> out, Read read);

    Input m_input;
    bool m_grey = false;
    bool m_greyFound = false;
    bool m_invert = false;
    int m_width = 0;
    int m_height = 0;
    bool m_resampled = false;
    std::vector<Tap> m_across, m_down;
    int m_next = 0;     // the next output row
    int m_lastRead = -1; // the source row in rows[1]
    std::vector<engine::Packed> m_source;
    std::vector<std::uint16_t> m_sourceDepth;
    std::vector<engine::Packed> m_colourRows[2];
    std::vector<std::uint16_t> m_depthRows[2];
};

} // namespace lumivex::cli
