#include "picturerows.h"

#include "pictureformats.h"

#include "engine/smoothdepth.h"

#include <new>
#include <utility>

namespace lumivex::picture {

PictureRows::PictureRows(const QString &path, int maxWidth)
    : m_maxWidth(maxWidth)
{
    m_status = readPictureFile(path, m_data, maxWidth);
    if (m_status.ok())
        m_status = checkPictureData(m_data, maxWidth);
    if (!m_status.ok()) {
        m_data = QByteArray();
        return;
    }
    if (rasterHeader(m_data).format == RasterFormat::Png) {
        auto png = std::make_unique<PngRows>();
        if (png->open(m_data) && QSize(png->width(), png->height()) == m_status.size) {
            m_png = std::move(png);
            return;
        }
    }
    decodeWhole();
}

bool PictureRows::decodeWhole()
{
    m_png.reset();
    LoadedPicture whole;
    try {
        whole = readPictureData(std::exchange(m_data, QByteArray()), m_maxWidth);
    } catch (const std::bad_alloc &) {
        whole.problem = PictureProblem::TooLarge;
        whole.reason = QStringLiteral("out of memory");
        whole.size = m_status.size;
    }
    m_image = std::move(whole.image);
    whole.image = QImage();
    m_status = std::move(whole);
    return m_status.ok();
}

bool PictureRows::readRow(std::span<engine::Packed> out)
{
    return nextRow(out, {});
}

bool PictureRows::readDepthRow(std::span<engine::Packed> out, std::span<std::uint16_t> depth)
{
    const bool sixteen = m_png && m_png->sixteenBitGrey();
    if (!nextRow(out, sixteen ? depth : std::span<std::uint16_t>{}))
        return false;
    // (Should the row decoder have stopped at this row, the colours are the whole picture's.)
    if (!sixteen || !m_png) {
        for (int x = 0; x < width(); ++x)
            depth[std::size_t(x)] = engine::smoothDepth(out[std::size_t(x)]);
    }
    return true;
}

bool PictureRows::rewind()
{
    if (!m_status.ok())
        return false;
    m_next = 0;
    if (m_png) {
        auto png = std::make_unique<PngRows>();
        if (!png->open(m_data))
            return decodeWhole();
        m_png = std::move(png);
    }
    return true;
}

bool PictureRows::nextRow(std::span<engine::Packed> out, std::span<std::uint16_t> grey16)
{
    if (!m_status.ok() || m_next >= height())
        return false;
    // Should the row decoder stop, the whole-picture reader says why, or gives the rest.
    if (m_png && !m_png->readRow(out, grey16) && !decodeWhole())
        return false;
    if (!m_png)
        packRow(m_image, m_next, out);
    ++m_next;
    return true;
}

} // namespace lumivex::picture
