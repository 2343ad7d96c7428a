// 24-bit BMP written row by row. The file stores its rows bottom up; the rows arrive top down,
// so they are gathered in bands that are written, each in one piece, at their place in the file.

#include "rowencoder.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <vector>

namespace lumivex::picture {

namespace {

constexpr qint64 kHeaderBytes = 14 + 40;
constexpr qint64 kBandBytes = 256 * 1024;

class BmpEncoder final : public RowEncoder
{
public:
    BmpEncoder(QIODevice &device, const PictureLayout &layout)
        : m_device(device), m_width(layout.width), m_height(layout.height),
          m_stride((qint64(layout.width) * 3 + 3) / 4 * 4),
          m_bandRows(int(std::clamp<qint64>(kBandBytes / std::max<qint64>(m_stride, 1), 1, std::max(layout.height, 1))))
    {
        m_band.resize(std::size_t(m_stride) * std::size_t(m_bandRows));
        writeHeader(layout);
    }

    bool row(std::span<const engine::Packed> row) override
    {
        if (!error.isEmpty())
            return false;
        if (m_next >= m_height) {
            error = QStringLiteral("more rows than the picture has");
            return false;
        }
        if (m_bandFilled == 0)
            m_bandSize = std::min(m_bandRows, m_height - m_next);
        // Within a band the rows lie bottom up as well: the band's first row goes last.
        uchar *out = m_band.data() + std::size_t(m_bandSize - 1 - m_bandFilled) * std::size_t(m_stride);
        // Blue, green and red, stored four bytes at a time: each store's fourth byte is the
        // next pixel's first. The last pixel's are stored one by one: the row after it in the
        // band may be one written already.
        for (int x = 0; x < m_width - 1; ++x, out += 3)
            qToLittleEndian<quint32>(qFromBigEndian<quint32>(quint32(row[std::size_t(x)])) >> 8, out);
        if (m_width > 0) {
            const engine::Packed last = row[std::size_t(m_width - 1)];
            *out++ = uchar(engine::blueOf(last));
            *out++ = uchar(engine::greenOf(last));
            *out++ = uchar(engine::redOf(last));
        }
        std::fill(out, out + (m_stride - qint64(m_width) * 3), uchar(0));
        ++m_next;
        if (++m_bandFilled == m_bandSize)
            return writeBand();
        return true;
    }

    bool finish() override
    {
        if (!error.isEmpty())
            return false;
        if (m_next != m_height) {
            error = QStringLiteral("the picture is missing rows");
            return false;
        }
        return true;
    }

private:
    void writeHeader(const PictureLayout &layout)
    {
        const qint64 imageBytes = m_stride * m_height;
        std::array<uchar, kHeaderBytes> h{};
        auto put16 = [&h](int at, quint16 v) { qToLittleEndian(v, h.data() + at); };
        auto put32 = [&h](int at, quint32 v) { qToLittleEndian(v, h.data() + at); };
        h[0] = 'B';
        h[1] = 'M';
        put32(2, quint32(kHeaderBytes + imageBytes));
        put32(10, quint32(kHeaderBytes));
        put32(14, 40);
        put32(18, quint32(m_width));
        put32(22, quint32(m_height));
        put16(26, 1);  // planes
        put16(28, 24); // bits per pixel
        put32(34, quint32(imageBytes));
        put32(38, quint32(layout.dotsPerMeterX));
        put32(42, quint32(layout.dotsPerMeterY));
        if (m_device.write(reinterpret_cast<const char *>(h.data()), kHeaderBytes) != kHeaderBytes)
            error = m_device.errorString();
    }

    bool writeBand()
    {
        const qint64 at = kHeaderBytes + m_stride * (m_height - m_next);
        const qint64 bytes = m_stride * m_bandSize;
        m_bandFilled = 0;
        if (!m_device.seek(at) || m_device.write(reinterpret_cast<const char *>(m_band.data()), bytes) != bytes) {
            error = m_device.errorString();
            return false;
        }
        return true;
    }

    QIODevice &m_device;
    const int m_width;
    const int m_height;
    const qint64 m_stride;
    const int m_bandRows;
    std::vector<uchar> m_band;
    int m_next = 0;       // rows taken so far
    int m_bandSize = 0;   // rows of the band being gathered
    int m_bandFilled = 0; // of which this many are there
};

} // namespace

std::unique_ptr<RowEncoder> makeBmpEncoder(QIODevice &device, const PictureLayout &layout)
{
    return std::make_unique<BmpEncoder>(device, layout);
}

} // namespace lumivex::picture
