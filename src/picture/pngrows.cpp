#include "pngrows.h"

#include <QtEndian>

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <utility>
#include <vector>

// The rows are inflated with ISA-L, several times faster than zlib on the long repeats that
// depth pictures are made of. Everything this decoder does not take as it is (an unknown
// critical chunk, a damaged checksum, a stream that ends early or runs on) is a failure here,
// and the whole-picture reader then has its say.

namespace lumivex::picture {

namespace {

constexpr std::uint32_t kIdat = 0x49444154u;
constexpr std::uint32_t kIend = 0x49454E44u;
constexpr std::uint32_t kPlte = 0x504C5445u;
constexpr std::uint32_t kTrns = 0x74524E53u;

// Scanlines are inflated about this many bytes at a time.
constexpr std::size_t kBlockBytes = 128 * 1024;

std::uint32_t be32(const unsigned char *p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

int be16(const unsigned char *p)
{
    return p[0] << 8 | p[1];
}

bool isCritical(std::uint32_t type)
{
    return (type & 0x20000000u) == 0; // an upper-case first letter
}

// Over white, rounded as the whole-picture reader composites transparent pixels.
engine::Packed overWhite(int r, int g, int b, int a)
{
    if (a == 255)
        return engine::pack(r, g, b);
    auto blend = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
    return engine::pack(blend(r), blend(g), blend(b));
}

int paeth(int a, int b, int c)
{
    // p = a + b - c; its distances to a, b and c.
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// The rows' plain byte loops, eight bytes at a time (the compiler leaves them byte by byte).
std::uint64_t load64(const unsigned char *p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

bool allZero(const unsigned char *p, std::size_t n)
{
    std::uint64_t any = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
        any |= load64(p + i);
    for (; i < n; ++i)
        any |= p[i];
    return any == 0;
}

// row[i] += prior[i] for every byte, without carries between the bytes of a word.
void addUp(unsigned char *__restrict row, const unsigned char *__restrict prior, std::size_t n)
{
    constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7full, kHigh = 0x8080808080808080ull;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const std::uint64_t a = load64(row + i), b = load64(prior + i);
        const std::uint64_t sum = ((a & kLow7) + (b & kLow7)) ^ ((a ^ b) & kHigh);
        std::memcpy(row + i, &sum, sizeof sum);
    }
    for (; i < n; ++i)
        row[i] = static_cast<unsigned char>(row[i] + prior[i]);
}

bool unfilter(int filter, unsigned char *__restrict row, const unsigned char *__restrict prior, std::size_t n,
              std::size_t bpp)
{
    const std::size_t head = std::min(bpp, n); // the bytes with no pixel to their left
    switch (filter) {
    case 0:
        return true;
    case 1:
        for (std::size_t i = bpp; i < n; ++i)
            row[i] = static_cast<unsigned char>(row[i] + row[i - bpp]);
        return true;
    case 2:
        addUp(row, prior, n);
        return true;
    case 3:
        for (std::size_t i = 0; i < head; ++i)
            row[i] = static_cast<unsigned char>(row[i] + (prior[i] >> 1));
        for (std::size_t i = bpp; i < n; ++i)
            row[i] = static_cast<unsigned char>(row[i] + ((row[i - bpp] + prior[i]) >> 1));
        return true;
    case 4:
        for (std::size_t i = 0; i < head; ++i)
            row[i] = static_cast<unsigned char>(row[i] + prior[i]);
        for (std::size_t i = bpp; i < n; ++i)
            row[i] = static_cast<unsigned char>(row[i] + paeth(row[i - bpp], prior[i], prior[i - bpp]));
        return true;
    default:
        return false;
    }
}

} // namespace

struct PngRows::Context
{
    QByteArray data;
    const unsigned char *bytes = nullptr;
    qint64 size = 0;
    qint64 next = 0; ///< the chunk after the IDAT being inflated

    int colourType = 0;
    int depth = 0;
    std::size_t rowBytes = 0;
    std::size_t bpp = 1; ///< bytes of a pixel, at least one, as the filters count them
    std::array<engine::Packed, 256> palette{};
    std::array<int, 256> paletteAlpha{};
    int paletteSize = 0;
    bool seenTrns = false;
    int transGrey = -1;                    ///< the transparent grey sample, or none
    std::array<int, 3> transRgb{-1, -1, -1}; ///< the transparent colour, or none

    std::unique_ptr<inflate_state> inflater = std::make_unique<inflate_state>();
    // Scanlines (filter byte and samples) are inflated a block at a time; the block's first
    // slot holds the scanline before them, which the filters refer to.
    std::size_t stride = 0;
    std::vector<unsigned char> block;
    int blockRows = 1;
    int filled = 0; ///< scanlines in the block
    int taken = 0;  ///< of which this many are done
    std::vector<engine::Packed> lastRow; ///< the pixels of the row before, for rows that repeat it

    // The chunk at `at`: its type and data, within the file.
    bool chunk(qint64 at, std::uint32_t &type, qint64 &dataAt, std::uint32_t &length) const
    {
        if (at < 0 || size - at < 12)
            return false;
        length = be32(bytes + at);
        type = be32(bytes + at + 4);
        dataAt = at + 8;
        return length <= 0x7fffffffu && size - dataAt - 4 >= qint64(length);
    }

    bool checksumOk(qint64 dataAt, std::uint32_t length) const
    {
        return crc32_gzip_refl(0, bytes + dataAt - 4, length + 4) == be32(bytes + dataAt + length);
    }

    bool readHeaderChunks();
    bool takeChunkBeforeData(std::uint32_t type, const unsigned char *d, std::uint32_t length, bool intact);
    bool nextData();
    bool inflateBlock(int rows);
    bool nextRow(std::span<engine::Packed> out, std::span<std::uint16_t> grey16, int width, bool last);
    bool finishFile();
    bool convert(const unsigned char *scanline, std::span<engine::Packed> out, int width) const;
    void takeSamples(const unsigned char *scanline, std::span<std::uint16_t> grey16, int width) const;
};

bool PngRows::Context::takeChunkBeforeData(std::uint32_t type, const unsigned char *d, std::uint32_t length,
                                           bool intact)
{
    if (!intact)
        return !isCritical(type); // a damaged ancillary chunk is passed over, as libpng does
    if (type == kPlte) {
        if (paletteSize != 0 || length % 3 != 0 || length == 0 || length > 768 || colourType == 0 || colourType == 4)
            return false;
        paletteSize = int(length / 3);
        for (int i = 0; i < paletteSize; ++i) {
            palette[std::size_t(i)] = engine::pack(d[3 * i], d[3 * i + 1], d[3 * i + 2]);
            paletteAlpha[std::size_t(i)] = 255;
        }
        return true;
    }
    if (type == kTrns) {
        if (std::exchange(seenTrns, true))
            return false;
        if (colourType == 3 && paletteSize > 0 && int(length) <= paletteSize) {
            for (std::uint32_t i = 0; i < length; ++i)
                paletteAlpha[i] = d[i];
            return true;
        }
        // Samples beyond the depth are read differently by different readers: left to the
        // whole-picture one.
        if (colourType == 0 && length == 2 && be16(d) < (1 << depth)) {
            transGrey = be16(d);
            return true;
        }
        if (colourType == 2 && length == 6 && std::max({be16(d), be16(d + 2), be16(d + 4)}) < 256) {
            transRgb = {be16(d), be16(d + 2), be16(d + 4)};
            return true;
        }
        return false;
    }
    return !isCritical(type);
}

bool PngRows::Context::readHeaderChunks()
{
    qint64 at = 8 + 25; // past the signature and the header chunk
    for (;;) {
        std::uint32_t type = 0, length = 0;
        qint64 dataAt = 0;
        if (!chunk(at, type, dataAt, length) || type == kIend)
            return false;
        if (type == kIdat)
            break;
        if (!takeChunkBeforeData(type, bytes + dataAt, length, checksumOk(dataAt, length)))
            return false;
        at = dataAt + length + 4;
    }
    if (colourType == 3 && paletteSize == 0)
        return false;
    next = at;
    isal_inflate_init(inflater.get());
    inflater->crc_flag = ISAL_ZLIB; // the stream's header and checksum are checked
    inflater->avail_in = 0;
    return nextData();
}

// Moves on to the next IDAT chunk, which must follow at once.
bool PngRows::Context::nextData()
{
    std::uint32_t type = 0, length = 0;
    qint64 dataAt = 0;
    if (!chunk(next, type, dataAt, length) || type != kIdat || !checksumOk(dataAt, length))
        return false;
    inflater->next_in = const_cast<unsigned char *>(bytes + dataAt);
    inflater->avail_in = length;
    next = dataAt + length + 4;
    return true;
}

bool PngRows::Context::inflateBlock(int rows)
{
    // The last scanline of the block before becomes the one the new ones refer to.
    if (filled > 0)
        std::copy_n(block.begin() + std::ptrdiff_t(std::size_t(filled) * stride), stride, block.begin());
    inflate_state &s = *inflater;
    s.next_out = block.data() + stride;
    s.avail_out = std::uint32_t(std::size_t(rows) * stride);
    while (s.avail_out > 0) {
        const std::uint32_t inBefore = s.avail_in, outBefore = s.avail_out;
        if (isal_inflate(&s) < 0)
            return false;
        if (s.avail_out == 0)
            break;
        if (s.block_state == ISAL_BLOCK_FINISH)
            return false; // the data ends before the picture does
        if (s.avail_in == 0) {
            if (!nextData())
                return false;
        } else if (s.avail_in == inBefore && s.avail_out == outBefore) {
            return false;
        }
    }
    filled = rows;
    taken = 0;
    return true;
}

bool PngRows::Context::nextRow(std::span<engine::Packed> out, std::span<std::uint16_t> grey16, int width,
                               bool last)
{
    unsigned char *scanline = block.data() + std::size_t(taken + 1) * stride;
    const unsigned char *prior = scanline - stride;
    ++taken;
    // A row that says "as the row above" in every byte (common in drawings) is that row again.
    if (scanline[0] == 2 && !lastRow.empty() && allZero(scanline + 1, stride - 1)) {
        std::copy(prior + 1, prior + stride, scanline + 1);
        std::copy(lastRow.begin(), lastRow.end(), out.begin());
    } else {
        if (!unfilter(scanline[0], scanline + 1, prior + 1, stride - 1, bpp) || !convert(scanline, out, width))
            return false;
        lastRow.assign(out.begin(), out.begin() + width);
    }
    if (!grey16.empty() && colourType == 0 && depth == 16)
        takeSamples(scanline, grey16, width);
    return !last || finishFile();
}

// After the last row: the stream must end there, with its checksum, and the chunks up to the
// end must be intact.
bool PngRows::Context::finishFile()
{
    inflate_state &s = *inflater;
    unsigned char spare[16];
    while (s.block_state != ISAL_BLOCK_FINISH) {
        s.next_out = spare;
        s.avail_out = sizeof spare;
        const std::uint32_t inBefore = s.avail_in;
        if (isal_inflate(&s) < 0 || s.avail_out != sizeof spare)
            return false;
        if (s.block_state == ISAL_BLOCK_FINISH)
            break;
        if (s.avail_in == 0) {
            if (!nextData())
                return false;
        } else if (s.avail_in == inBefore) {
            return false;
        }
    }
    for (qint64 at = next;;) {
        std::uint32_t type = 0, length = 0;
        qint64 dataAt = 0;
        if (!chunk(at, type, dataAt, length))
            return false;
        if (isCritical(type) && (type != kIdat && type != kIend))
            return false;
        if (isCritical(type) && !checksumOk(dataAt, length))
            return false;
        if (type == kIend)
            return true;
        at = dataAt + length + 4;
    }
}

bool PngRows::Context::convert(const unsigned char *scanline, std::span<engine::Packed> out, int width) const
{
    const unsigned char *p = scanline + 1;
    if (depth == 8) {
        switch (colourType) {
        case 2:
            if (transRgb[0] < 0) {
                // Red, green and blue are a packed colour's three lowest bytes: loaded four at a
                // time (the block has a byte to spare after its last scanline).
                for (int x = 0; x < width; ++x, p += 3)
                    out[std::size_t(x)] = engine::Packed(qFromLittleEndian<quint32>(p) & 0xffffffu);
                return true;
            }
            for (int x = 0; x < width; ++x, p += 3) {
                const bool clear = p[0] == transRgb[0] && p[1] == transRgb[1] && p[2] == transRgb[2];
                out[std::size_t(x)] = clear ? engine::pack(255, 255, 255) : engine::pack(p[0], p[1], p[2]);
            }
            return true;
        case 6:
            for (int x = 0; x < width; ++x, p += 4)
                out[std::size_t(x)] = overWhite(p[0], p[1], p[2], p[3]);
            return true;
        case 4:
            for (int x = 0; x < width; ++x, p += 2)
                out[std::size_t(x)] = overWhite(p[0], p[0], p[0], p[1]);
            return true;
        default:
            break;
        }
    }
    if (depth == 16) {
        // Grey of 16 bits (the only 16-bit kind taken), reduced to 8 as Qt's reader reduces it.
        for (int x = 0; x < width; ++x, p += 2) {
            const int v = be16(p), g = (v + 128) / 257;
            out[std::size_t(x)] = v == transGrey ? engine::pack(255, 255, 255) : engine::pack(g, g, g);
        }
        return true;
    }
    // Grey or colour table, one sample a pixel of 1, 2, 4 or 8 bits.
    const int mask = (1 << depth) - 1;
    for (int x = 0; x < width; ++x) {
        const int bit = x * depth;
        const int v = (p[bit >> 3] >> (8 - depth - (bit & 7))) & mask;
        if (colourType == 3) {
            // An index beyond the colour table: the whole-picture reader decides what it means.
            if (v >= paletteSize)
                return false;
            const engine::Packed c = palette[std::size_t(v)];
            out[std::size_t(x)] = overWhite(engine::redOf(c), engine::greenOf(c), engine::blueOf(c),
                                            paletteAlpha[std::size_t(v)]);
        } else {
            const int g = v * 255 / mask;
            out[std::size_t(x)] = v == transGrey ? engine::pack(255, 255, 255) : engine::pack(g, g, g);
        }
    }
    return true;
}

void PngRows::Context::takeSamples(const unsigned char *scanline, std::span<std::uint16_t> grey16, int width) const
{
    const unsigned char *p = scanline + 1;
    for (int x = 0; x < width; ++x, p += 2) {
        const int v = be16(p);
        grey16[std::size_t(x)] = std::uint16_t(v == transGrey ? 0xffff : v);
    }
}

PngRows::PngRows() = default;
PngRows::~PngRows() = default;

bool PngRows::open(const QByteArray &data)
{
    m_context = std::make_unique<Context>();
    Context &c = *m_context;
    c.data = data;
    c.bytes = reinterpret_cast<const unsigned char *>(c.data.constData());
    c.size = c.data.size();
    if (c.size < 8 + 25 || be32(c.bytes + 8) != 13 || be32(c.bytes + 12) != 0x49484452u
        || !c.checksumOk(16, 13))
        return false;
    const unsigned char *h = c.bytes + 16;
    const std::uint32_t width = be32(h), height = be32(h + 4);
    c.depth = h[8];
    c.colourType = h[9];
    const int channels = c.colourType == 0 ? 1 : c.colourType == 2 ? 3 : c.colourType == 3 ? 1
                       : c.colourType == 4 ? 2 : c.colourType == 6 ? 4 : 0;
    // Of the 16-bit kinds only grey is taken (depth maps); the others are left to the
    // whole-picture reader.
    const bool depthFits = c.colourType == 0 ? (c.depth == 1 || c.depth == 2 || c.depth == 4 || c.depth == 8 || c.depth == 16)
        : c.colourType == 3 ? (c.depth == 1 || c.depth == 2 || c.depth == 4 || c.depth == 8)
        : c.depth == 8;
    if (width == 0 || height == 0 || width > 0x7fffffu || height > 0x7fffffffu || channels == 0 || !depthFits
        || h[10] != 0 || h[11] != 0 || h[12] != 0)
        return false;
    c.rowBytes = (std::size_t(width) * std::size_t(channels * c.depth) + 7) / 8;
    c.bpp = std::max<std::size_t>(1, std::size_t(channels * c.depth / 8));
    c.stride = c.rowBytes + 1;
    c.blockRows = int(std::clamp<std::size_t>(kBlockBytes / c.stride, 1, height));
    c.block.assign((std::size_t(c.blockRows) + 1) * c.stride + 1, 0);
    if (!c.readHeaderChunks())
        return false;
    m_width = int(width);
    m_height = int(height);
    return true;
}

bool PngRows::sixteenBitGrey() const
{
    return m_context && m_context->colourType == 0 && m_context->depth == 16;
}

bool PngRows::readRow(std::span<engine::Packed> out, std::span<std::uint16_t> grey16)
{
    if (m_failed || !m_context || m_next >= m_height)
        return false;
    Context &c = *m_context;
    bool decoded = c.taken < c.filled || c.inflateBlock(std::min(c.blockRows, m_height - m_next));
    ++m_next;
    decoded = decoded && c.nextRow(out, grey16, m_width, m_next == m_height);
    if (!decoded)
        m_failed = true;
    return decoded;
}

} // namespace lumivex::picture
