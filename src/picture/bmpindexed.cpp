#include "bmpindexed.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <limits>

namespace lumivex::picture {

namespace {

constexpr quint32 kRle8 = 1;
constexpr quint32 kRle4 = 2;

/// Bounds-checked little-endian reads of a file's bytes.
class Bytes
{
public:
    explicit Bytes(const QByteArray &data)
        : m_data(reinterpret_cast<const uchar *>(data.constData())), m_size(data.size())
    {
    }

    bool has(qint64 pos, qint64 length) const { return pos >= 0 && length >= 0 && length <= m_size - pos; }
    uchar at(qint64 pos) const { return m_data[pos]; }
    const uchar *from(qint64 pos) const { return m_data + pos; }
    quint32 le16(qint64 pos) const { return m_data[pos] | (quint32(m_data[pos + 1]) << 8); }
    quint32 le32(qint64 pos) const { return le16(pos) | (le16(pos + 2) << 16); }
    qint64 size() const { return m_size; }

private:
    const uchar *m_data;
    qint64 m_size;
};

struct Header
{
    int headerSize = 0;
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bits = 0;
    quint32 compression = 0;
    qint64 colours = 0; ///< as the header gives them (0: as many as the depth has)
    qint64 offset = 0;  ///< of the pixels (0: right after the colour table)
};

LoadedPicture fail(PictureProblem problem, const QString &reason, QSize size = {})
{
    return LoadedPicture::failure(problem, reason, size);
}

LoadedPicture cutShort(QSize size)
{
    return fail(PictureProblem::CutShort, QStringLiteral("the file is cut short"), size);
}

LoadedPicture damaged(const char *why, QSize size = {})
{
    return fail(PictureProblem::Damaged, QStringLiteral("damaged picture: %1").arg(QLatin1String(why)), size);
}

// The file and info headers: the old 12-byte one, or a Windows 3 or later one (40 bytes and up).
bool readHeader(const Bytes &b, Header &h)
{
    if (!b.has(0, 18))
        return false;
    h.headerSize = int(std::min<quint32>(b.le32(14), 4096));
    if (!b.has(0, 14 + qint64(h.headerSize)))
        return false;
    h.offset = b.le32(10);
    if (h.headerSize == 12) {
        h.width = b.le16(18);
        h.height = b.le16(20);
        h.bits = int(b.le16(24));
        return true;
    }
    if (h.headerSize < 40)
        return false;
    h.width = qint32(b.le32(18));
    const qint64 height = qint32(b.le32(22));
    h.topDown = height < 0;
    h.height = h.topDown ? -height : height;
    h.bits = int(b.le16(28));
    h.compression = b.le32(30);
    h.colours = b.le32(46);
    return true;
}

// A row's pixels of 1, 4 or 8 bits, most significant bits first, through the colour table.
void decodeRow(const uchar *from, int bits, const std::array<QRgb, 256> &table, QRgb *line, int width)
{
    switch (bits) {
    case 8:
        for (int x = 0; x < width; ++x)
            line[x] = table[from[x]];
        break;
    case 4:
        for (int x = 0; x < width; ++x)
            line[x] = table[(from[x >> 1] >> (x & 1 ? 0 : 4)) & 15];
        break;
    default:
        for (int x = 0; x < width; ++x)
            line[x] = table[(from[x >> 3] >> (7 - (x & 7))) & 1];
        break;
    }
}

// Follows the run-length codes of 8 or 4 bits a pixel. Every pixel was filled with the table's
// first colour before: what the codes skip keeps it.
bool decodeRuns(const Bytes &b, const Header &h, const std::array<QRgb, 256> &table, QImage &image)
{
    const bool fourBit = h.compression == kRle4;
    const qint64 width = h.width;
    qint64 pos = h.offset;
    qint64 x = 0;
    qint64 y = 0;
    QRgb *line = nullptr;
    const auto toRow = [&] {
        line = y < h.height ? reinterpret_cast<QRgb *>(image.scanLine(int(h.topDown ? y : h.height - 1 - y))) : nullptr;
    };
    toRow();
    // Index i of a pair of pixels packed in a byte (four bits) or of one (eight bits).
    const auto pixel = [fourBit](uchar value, qint64 i) { return fourBit ? (i & 1 ? value & 15 : value >> 4) : value; };
    while (y < h.height) {
        if (!b.has(pos, 2))
            return false;
        const uchar count = b.at(pos);
        const uchar code = b.at(pos + 1);
        pos += 2;
        if (count > 0) { // a run of one value (two alternating ones of four bits)
            for (qint64 i = 0, n = std::min<qint64>(count, width - x); i < n; ++i)
                line[x + i] = table[pixel(code, i)];
            x += count;
        } else if (code == 0) { // end of line
            x = 0;
            ++y;
            toRow();
        } else if (code == 1) { // end of bitmap
            break;
        } else if (code == 2) { // move right and down
            if (!b.has(pos, 2))
                return false;
            x += b.at(pos);
            y += b.at(pos + 1);
            pos += 2;
            toRow();
        } else { // `code` pixels as they are, padded to a 16-bit boundary
            const qint64 bytes = fourBit ? (code + 1) / 2 : code;
            const qint64 padded = (bytes + 1) & ~qint64(1);
            if (!b.has(pos, padded))
                return false;
            for (qint64 i = 0, n = std::min<qint64>(code, width - x); i < n; ++i)
                line[x + i] = table[pixel(b.at(pos + (fourBit ? i / 2 : i)), i)];
            x += code;
            pos += padded;
        }
    }
    return true;
}

} // namespace

bool isIndexedBmp(const QByteArray &data)
{
    const Bytes b(data);
    Header h;
    return data.startsWith("BM") && readHeader(b, h) && h.bits > 0 && h.bits <= 8;
}

LoadedPicture decodeIndexedBmp(const QByteArray &data)
{
    const Bytes b(data);
    Header h;
    if (!data.startsWith("BM") || !readHeader(b, h))
        return cutShort({});
    if (h.width <= 0 || h.height <= 0 || h.width > std::numeric_limits<int>::max()
        || h.height > std::numeric_limits<int>::max())
        return damaged("impossible BMP header");
    const QSize size(int(h.width), int(h.height));
    if (h.bits != 1 && h.bits != 4 && h.bits != 8)
        return damaged("a BMP colour depth of no picture", size);
    if (h.compression != 0 && !(h.compression == kRle8 && h.bits == 8) && !(h.compression == kRle4 && h.bits == 4))
        return damaged("a BMP compression of no picture of its colour depth", size);

    // The colour table: as many colours as the header says, or the depth allows (more are
    // never used). An index beyond them is black, but for the second colour of a 1-bit
    // picture, white, as Qt's reader made them.
    const qint64 most = qint64(1) << h.bits;
    if (h.colours > 256)
        return damaged("impossible BMP colour table", size);
    const qint64 colours = h.colours == 0 ? most : std::min(h.colours, most);
    const int entryBytes = h.headerSize == 12 ? 3 : 4;
    const qint64 tableAt = 14 + qint64(h.headerSize);
    if (!b.has(tableAt, colours * entryBytes))
        return cutShort(size);
    std::array<QRgb, 256> table;
    table.fill(qRgb(0, 0, 0));
    table[1] = h.bits == 1 ? qRgb(255, 255, 255) : table[1];
    for (qint64 i = 0; i < colours; ++i) {
        const qint64 at = tableAt + i * entryBytes;
        table[std::size_t(i)] = qRgb(b.at(at + 2), b.at(at + 1), b.at(at));
    }
    Header layout = h;
    if (layout.offset == 0)
        layout.offset = tableAt + colours * entryBytes;

    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return fail(PictureProblem::TooLarge, QStringLiteral("out of memory"), size);
    if (h.compression == 0) {
        const qint64 rowBytes = (h.width * h.bits + 31) / 32 * 4;
        if (!b.has(layout.offset, 0) || (b.size() - layout.offset) / rowBytes < h.height)
            return cutShort(size);
        for (qint64 r = 0; r < h.height; ++r) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(int(h.topDown ? r : h.height - 1 - r)));
            decodeRow(b.from(layout.offset + r * rowBytes), h.bits, table, line, size.width());
        }
    } else {
        image.fill(table[0]);
        if (!decodeRuns(b, layout, table, image))
            return cutShort(size);
    }
    LoadedPicture result;
    result.size = size;
    result.image = std::move(image);
    return result;
}

} // namespace lumivex::picture
