// PNG written row by row, compressed with ISA-L's fast deflate. A picture of at most sixteen
// colours gets a colour table and four bits a pixel (random-dot pictures: smaller and faster to
// compress than full colour); any other is written as 8-bit RGB.

#include "rowencoder.h"

#include <QIODevice>
#include <QtEndian>

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <cstdint>
#include <vector>

namespace lumivex::picture {

namespace {

// Finds a colour's place in a table of at most sixteen colours with one multiplication: the
// multiplier is chosen when the table is made, so that no two of its colours share a slot.
class PaletteIndex
{
public:
    explicit PaletteIndex(const std::vector<engine::Packed> &palette)
    {
        std::uint32_t multiplier = 0x9E3779B1u;
        for (int attempt = 0; attempt < 1000; ++attempt, multiplier = multiplier * 1664525u + 1013904223u) {
            m_multiplier = multiplier | 1u;
            m_slots.fill(Slot{});
            bool clash = false;
            for (std::size_t i = 0; i < palette.size() && !clash; ++i) {
                Slot &slot = m_slots[slotOf(palette[i])];
                clash = slot.used;
                slot = Slot{palette[i], std::uint8_t(i), true};
            }
            if (!clash)
                return;
        }
        m_slots.fill(Slot{}); // never for sixteen colours; every lookup then fails
    }

    /// The colour's index, or -1 when it is not in the table.
    int find(engine::Packed colour) const
    {
        const Slot &slot = m_slots[slotOf(colour)];
        return slot.used && slot.colour == colour ? slot.index : -1;
    }

private:
    struct Slot
    {
        engine::Packed colour = 0;
        std::uint8_t index = 0;
        bool used = false;
    };
    static constexpr int kBits = 10;

    std::size_t slotOf(engine::Packed colour) const
    {
        return (std::uint32_t(colour & 0xffffff) * m_multiplier) >> (32 - kBits);
    }

    std::uint32_t m_multiplier = 1;
    std::array<Slot, 1u << kBits> m_slots{};
};

// Four bits a pixel also for two colours: the dots repeat every repeat width along a row, and
// at four bits a repeat of any even width starts on a byte, where the matcher finds it. At one
// bit a black-and-white picture of 1023 × 4095 took 340 KB (more than in full colour), at four
// bits 200 KB.
constexpr int kPaletteBits = 4;

// Chunks are written whole: length, type, data and checksum in one write.
class PngEncoder final : public RowEncoder
{
public:
    PngEncoder(QIODevice &device, const PictureLayout &layout)
        : m_device(device), m_width(layout.width), m_height(layout.height), m_palette(layout.palette),
          m_index(layout.palette), m_bits(layout.palette.empty() ? 24 : kPaletteBits)
    {
        m_line.resize(1 + (std::size_t(m_width) * std::size_t(m_bits) + 7) / 8 + 1); // filter byte 0: none
        writeBytes("\x89PNG\r\n\x1a\n", 8);
        std::vector<std::uint8_t> header(13);
        put32(header.data(), std::uint32_t(layout.width));
        put32(header.data() + 4, std::uint32_t(layout.height));
        header[8] = std::uint8_t(m_palette.empty() ? 8 : m_bits);
        header[9] = m_palette.empty() ? 2 : 3; // RGB, or indices into a colour table
        writeChunk("IHDR", header);
        std::vector<std::uint8_t> phys(9);
        put32(phys.data(), std::uint32_t(layout.dotsPerMeterX));
        put32(phys.data() + 4, std::uint32_t(layout.dotsPerMeterY));
        phys[8] = 1; // per metre
        writeChunk("pHYs", phys);
        if (!m_palette.empty()) {
            std::vector<std::uint8_t> table;
            for (const engine::Packed c : m_palette)
                table.insert(table.end(), {std::uint8_t(engine::redOf(c)), std::uint8_t(engine::greenOf(c)),
                                           std::uint8_t(engine::blueOf(c))});
            writeChunk("PLTE", table);
        }
        // No row filter: the pictures repeat along their rows, which the matcher finds
        // unfiltered, and filtering gained nothing on them but time. Level 3 for a colour table
        // (a quarter smaller for little time: its rows are short), level 1 for full colour.
        const bool table = !m_palette.empty();
        m_levelBuffer.resize(table ? ISAL_DEF_LVL3_DEFAULT : ISAL_DEF_LVL1_DEFAULT);
        isal_deflate_init(m_stream.get());
        m_stream->level = table ? 3 : 1;
        m_stream->level_buf = m_levelBuffer.data();
        m_stream->level_buf_size = std::uint32_t(m_levelBuffer.size());
        m_stream->gzip_flag = IGZIP_ZLIB;
        m_stream->flush = NO_FLUSH;
        m_chunk.resize(8 + kChunkData + 4);
    }

    bool row(std::span<const engine::Packed> row) override
    {
        if (!error.isEmpty())
            return false;
        if (m_rows >= m_height) {
            error = QStringLiteral("more rows than the picture has");
            return false;
        }
        if (m_palette.empty())
            packRgb(row);
        else if (!packIndices(row))
            return false;
        ++m_rows;
        isal_zstream &z = *m_stream;
        z.next_in = m_line.data();
        z.avail_in = std::uint32_t(m_line.size() - 1);
        z.end_of_stream = m_rows == m_height ? 1 : 0;
        do {
            if (!deflateSome())
                return false;
        } while (z.avail_in > 0 || (z.end_of_stream && z.internal_state.state != ZSTATE_END));
        if (m_rows == m_height) {
            if (!flushData())
                return false;
            writeChunk("IEND", {});
        }
        return error.isEmpty();
    }

    bool finish() override
    {
        if (error.isEmpty() && m_rows != m_height)
            error = QStringLiteral("the picture is missing rows");
        return error.isEmpty();
    }

private:
    static constexpr std::size_t kChunkData = 64 * 1024;

    static void put32(std::uint8_t *at, std::uint32_t v)
    {
        at[0] = std::uint8_t(v >> 24);
        at[1] = std::uint8_t(v >> 16);
        at[2] = std::uint8_t(v >> 8);
        at[3] = std::uint8_t(v);
    }

    // Compresses into the data part of the chunk buffer, writing an IDAT chunk whenever it fills.
    bool deflateSome()
    {
        isal_zstream &z = *m_stream;
        z.next_out = m_chunk.data() + 8 + m_chunkFilled;
        z.avail_out = std::uint32_t(kChunkData - m_chunkFilled);
        if (isal_deflate(&z) != COMP_OK) {
            error = QStringLiteral("the compressor failed");
            return false;
        }
        m_chunkFilled = kChunkData - z.avail_out;
        return m_chunkFilled < kChunkData || flushData();
    }

    bool flushData()
    {
        if (m_chunkFilled == 0)
            return true;
        seal(m_chunk.data(), "IDAT", m_chunkFilled);
        const bool written = writeBytes(m_chunk.data(), 8 + m_chunkFilled + 4);
        m_chunkFilled = 0;
        return written;
    }

    // Fills in a chunk's length, type and checksum around the data at chunk + 8.
    static void seal(std::uint8_t *chunk, const char *type, std::size_t length)
    {
        put32(chunk, std::uint32_t(length));
        std::memcpy(chunk + 4, type, 4);
        put32(chunk + 8 + length, crc32_gzip_refl(0, chunk + 4, length + 4));
    }

    void writeChunk(const char *type, const std::vector<std::uint8_t> &data)
    {
        std::vector<std::uint8_t> chunk(8 + data.size() + 4);
        std::copy(data.begin(), data.end(), chunk.begin() + 8);
        seal(chunk.data(), type, data.size());
        writeBytes(chunk.data(), chunk.size());
    }

    bool writeBytes(const void *bytes, std::size_t length)
    {
        if (!error.isEmpty())
            return false;
        if (m_device.write(static_cast<const char *>(bytes), qint64(length)) == qint64(length))
            return true;
        error = m_device.errorString();
        return false;
    }

    void packRgb(std::span<const engine::Packed> row)
    {
        // A packed colour's bytes from the lowest are red, green and blue: stored four at a
        // time, each store's fourth byte is the next pixel's first (the line has one to spare).
        std::uint8_t *out = m_line.data() + 1;
        for (int x = 0; x < m_width; ++x, out += 3)
            qToLittleEndian<quint32>(quint32(row[std::size_t(x)]) & 0xffffffu, out);
    }

    // Indices packed from the most significant bits of each byte, as PNG stores them.
    bool packIndices(std::span<const engine::Packed> row)
    {
        const int perByte = 8 / m_bits;
        std::uint8_t *out = m_line.data() + 1;
        for (int x = 0; x < m_width; x += perByte) {
            unsigned byte = 0;
            const int n = std::min(perByte, m_width - x);
            for (int i = 0; i < n; ++i) {
                const int index = m_index.find(row[std::size_t(x + i)]);
                if (index < 0) {
                    error = QStringLiteral("a colour outside the picture's colour table");
                    return false;
                }
                byte |= unsigned(index) << (8 - m_bits * (i + 1));
            }
            *out++ = std::uint8_t(byte);
        }
        return true;
    }

    QIODevice &m_device;
    const int m_width;
    const int m_height;
    const std::vector<engine::Packed> m_palette;
    const PaletteIndex m_index;
    const int m_bits;
    std::vector<std::uint8_t> m_line;
    std::unique_ptr<isal_zstream> m_stream = std::make_unique<isal_zstream>();
    std::vector<std::uint8_t> m_levelBuffer;
    std::vector<std::uint8_t> m_chunk; ///< length and type, data, checksum
    std::size_t m_chunkFilled = 0;
    int m_rows = 0;
};

} // namespace

std::unique_ptr<RowEncoder> makePngEncoder(QIODevice &device, const PictureLayout &layout)
{
    return std::make_unique<PngEncoder>(device, layout);
}

} // namespace lumivex::picture
