#include "designrows.h"

#include "convert.h"

#include "document/greydepth.h"
#include "engine/depth.h"
#include "engine/smoothdepth.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace lumivex::cli {

namespace {

std::uint16_t mix(std::uint16_t a, std::uint16_t b, int weight)
{
    return std::uint16_t((std::uint32_t(a) * std::uint32_t(kTapOne - weight) + std::uint32_t(b) * std::uint32_t(weight)
                          + kTapOne / 2) >> kTapBits);
}

engine::Packed mix(engine::Packed a, engine::Packed b, int weight)
{
    return engine::mixTap(a, b, weight);
}

template <typename Sample>
void resampleRow(std::span<const Sample> source, const std::vector<Tap> &taps, std::vector<Sample> &out)
{
    out.resize(taps.size());
    for (std::size_t x = 0; x < taps.size(); ++x) {
        const Tap tap = taps[x];
        const Sample a = source[std::size_t(tap.index)];
        out[x] = tap.weight == 0 ? a : mix(a, source[std::size_t(tap.index) + 1], tap.weight);
    }
}

// The size the design is resampled to, refused beyond what the converter takes.
QSize outputSize(const Options &options, int width, int height)
{
    double factor = 1;
    QString asked;
    if (options.scale) {
        factor = *options.scale;
        asked = QStringLiteral("--scale %1").arg(factor);
    } else if (options.width > 0) {
        factor = double(options.width) / width;
        asked = QStringLiteral("--width %1").arg(options.width);
    } else {
        return {width, height};
    }
    const QSize size(options.width > 0 ? options.width : std::max(1, int(std::lround(width * factor))),
                     std::max(1, int(std::min(std::round(height * factor), 1e9))));
    if (size.width() > kMaxDesignWidth || qint64(size.width()) * size.height() > picture::kMaxPicturePixels)
        throw Failure{QStringLiteral("%1 makes the design picture %2 × %3 pixels; at most %4 wide and %5 pixels in "
                                     "all are allowed")
                          .arg(asked).arg(size.width()).arg(size.height()).arg(kMaxDesignWidth)
                          .arg(picture::kMaxPicturePixels)};
    return size;
}

} // namespace

void refusePicture(const QString &what, const QString &path, const picture::LoadedPicture &picture, int maxWidth)
{
    switch (picture.problem) {
    case picture::PictureProblem::TooWide:
        throw Failure{QStringLiteral("the %1 %2 is %3 pixels wide; at most %4 are allowed")
                          .arg(what, quoted(path)).arg(picture.size.width()).arg(maxWidth)};
    case picture::PictureProblem::TooLarge:
        if (picture.size.isValid())
            throw Failure{QStringLiteral("the %1 %2 is too large for memory (%3 × %4 pixels)")
                              .arg(what, quoted(path)).arg(picture.size.width()).arg(picture.size.height())};
        throw Failure{QStringLiteral("the %1 %2 is too large for memory: %3").arg(what, quoted(path), picture.reason)};
    default:
        throw Failure{QStringLiteral("cannot read the %1 %2: %3").arg(what, quoted(path), picture.reason)};
    }
}

Input::Input(QString what, QString path, int maxWidth)
    : m_what(std::move(what)), m_path(std::move(path)), m_maxWidth(maxWidth), m_rows(m_path, maxWidth)
{
    check();
}

void Input::readRow(std::span<engine::Packed> out)
{
    if (!m_rows.readRow(out))
        check();
}

void Input::readDepthRow(std::span<engine::Packed> colours, std::span<std::uint16_t> out)
{
    if (!m_rows.readDepthRow(colours, out))
        check();
}

void Input::readRest()
{
    std::vector<engine::Packed> row(std::size_t(std::max(width(), 1)));
    while (m_rows.readRow(row)) {
    }
    check();
}

bool Input::holdsGreyMap()
{
    // The greys among the depth colours, as smooth depths (a 16-bit grey's samples are its own).
    std::vector<std::uint16_t> levelGreys;
    for (const engine::Packed colour : engine::DepthPalette) {
        if (engine::redOf(colour) == engine::greenOf(colour) && engine::greenOf(colour) == engine::blueOf(colour))
            levelGreys.push_back(engine::smoothDepth(colour));
    }
    const auto isLevelGrey = [&](std::uint16_t z) {
        return std::find(levelGreys.begin(), levelGreys.end(), z) != levelGreys.end();
    };
    std::vector<engine::Packed> colours(std::size_t(std::max(width(), 1)));
    std::vector<std::uint16_t> depths(colours.size());
    bool offLevel = false, grey = true;
    for (int y = 0; y < height() && grey; ++y) {
        readDepthRow(colours, depths);
        for (int x = 0; x < width() && grey; ++x) {
            const engine::Packed c = colours[std::size_t(x)];
            grey = engine::redOf(c) == engine::greenOf(c) && engine::greenOf(c) == engine::blueOf(c);
            offLevel = offLevel || !isLevelGrey(depths[std::size_t(x)]);
        }
    }
    if (!m_rows.rewind())
        check();
    return grey && offLevel;
}

void Input::check() const
{
    if (!m_rows.status().ok())
        refusePicture(m_what, m_path, m_rows.status(), m_maxWidth);
}

DesignRows::DesignRows(const Options &options)
    : m_input(QStringLiteral("design picture"), options.design, kMaxDesignWidth),
      m_grey(options.depth == DepthSource::Grey), m_invert(options.invert)
{
    const QSize size = outputSize(options, m_input.width(), m_input.height());
    if (!options.depthGiven && m_input.holdsGreyMap())
        m_grey = m_greyFound = true;
    m_width = size.width();
    m_height = size.height();
    m_resampled = size != QSize(m_input.width(), m_input.height());
    m_source.resize(std::size_t(m_input.width()));
    // A grey map found without --depth is smooth depth (--levels needs --depth grey).
    if (options.smooth() || m_greyFound)
        m_sourceDepth.resize(std::size_t(m_input.width()));
    if (m_resampled) {
        m_across = resampleTaps(m_input.width(), m_width, m_grey);
        m_down = resampleTaps(m_input.height(), m_height, m_grey);
    }
}

// Output row m_next from the two source rows around it, each resampled across as it is read.
template <typename Sample, typename Read>
void DesignRows::resampled(std::vector<Sample> (&rows)[2], std::span<Sample> out, Read read)
{
    const Tap tap = m_down[std::size_t(m_next++)];
    const int last = tap.weight == 0 ? tap.index : tap.index + 1;
    while (m_lastRead < last) {
        std::swap(rows[0], rows[1]);
        ++m_lastRead;
        // Rows that no output row takes are read (the file is read through) but not resampled.
        if (m_lastRead >= tap.index)
            resampleRow<Sample>(read(), m_across, rows[1]);
        else
            read();
    }
    const std::vector<Sample> &upper = tap.index == m_lastRead ? rows[1] : rows[0];
    for (std::size_t x = 0; x < out.size() && x < upper.size(); ++x)
        out[x] = tap.weight == 0 ? upper[x] : mix(upper[x], rows[1][x], tap.weight);
}

void DesignRows::colours(std::span<engine::Packed> out)
{
    if (!m_resampled) {
        m_input.readRow(out);
    } else {
        resampled<engine::Packed>(m_colourRows, out.first(std::size_t(m_width)), [this] {
            m_input.readRow(m_source);
            return std::span<const engine::Packed>(m_source);
        });
    }
    if (m_grey)
        document::greyRowToDepthColours(out.first(std::size_t(m_width)), out);
    if (m_invert)
        engine::invertDepthColours(out.first(std::size_t(m_width)));
}

void DesignRows::depths(std::span<std::uint16_t> out)
{
    if (!m_resampled) {
        m_input.readDepthRow(m_source, out);
    } else {
        resampled<std::uint16_t>(m_depthRows, out.first(std::size_t(m_width)), [this] {
            m_input.readDepthRow(m_source, m_sourceDepth);
            return std::span<const std::uint16_t>(m_sourceDepth);
        });
    }
    if (m_invert)
        engine::invertSmoothDepths(out.first(std::size_t(m_width)));
}

} // namespace lumivex::cli
