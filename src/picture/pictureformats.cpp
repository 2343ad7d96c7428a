#include "pictureformats.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace lumivex::picture {

namespace {

/// Bounds-checked reads of a file's bytes.
class Bytes
{
public:
    explicit Bytes(const QByteArray &data)
        : m_data(reinterpret_cast<const uchar *>(data.constData())), m_size(data.size())
    {
    }

    qint64 size() const { return m_size; }
    /// Whether length bytes from pos lie within the data.
    bool has(qint64 pos, qint64 length) const { return pos >= 0 && length >= 0 && length <= m_size - pos; }
    uchar at(qint64 pos) const { return m_data[pos]; }
    quint32 le16(qint64 pos) const { return m_data[pos] | (quint32(m_data[pos + 1]) << 8); }
    quint32 le32(qint64 pos) const { return le16(pos) | (le16(pos + 2) << 16); }
    quint32 be16(qint64 pos) const { return (quint32(m_data[pos]) << 8) | m_data[pos + 1]; }
    quint32 be32(qint64 pos) const { return (be16(pos) << 16) | be16(pos + 2); }
    /// Position of the next 0xFF byte at or after pos, or -1.
    qint64 nextFF(qint64 pos) const
    {
        if (pos >= m_size)
            return -1;
        const void *found = std::memchr(m_data + pos, 0xFF, size_t(m_size - pos));
        return found ? static_cast<const uchar *>(found) - m_data : -1;
    }

private:
    const uchar *m_data;
    qint64 m_size;
};

const QString kCutShort = QStringLiteral("the file is cut short");

void refuse(RasterLayout &layout, PictureProblem problem, const QString &reason)
{
    layout.problem = problem;
    layout.reason = reason;
}

bool refused(RasterLayout &layout, PictureProblem problem, const QString &reason)
{
    refuse(layout, problem, reason);
    return false;
}

// ---- BMP -------------------------------------------------------------------------------------

struct BmpFields
{
    qint64 offset = 0;
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
    quint32 compression = 0;
};

// Reads the file and info headers: the old 12-byte one, or a Windows 3 or later one (40 bytes
// and up, the OS/2 2 variants among them).
bool bmpFields(const Bytes &b, BmpFields &f, RasterLayout &layout)
{
    if (!b.has(0, 18))
        return refused(layout, PictureProblem::CutShort, kCutShort);
    const quint32 headerSize = b.le32(14);
    if (headerSize != 12 && (headerSize < 40 || headerSize > 1024))
        return refused(layout, PictureProblem::Damaged, QStringLiteral("unknown BMP header"));
    if (!b.has(0, 14 + qint64(headerSize)))
        return refused(layout, PictureProblem::CutShort, kCutShort);
    f.offset = b.le32(10);
    if (headerSize == 12) {
        f.width = b.le16(18);
        f.height = b.le16(20);
        f.bits = int(b.le16(24));
    } else {
        f.width = qint32(b.le32(18));
        f.height = qint32(b.le32(22));
        f.bits = int(b.le16(28));
        f.compression = b.le32(30);
    }
    f.height = f.height < 0 ? -f.height : f.height; // negative: stored top-down
    if (f.width <= 0 || f.height == 0 || f.height > std::numeric_limits<int>::max() || f.bits == 0)
        return refused(layout, PictureProblem::Damaged, QStringLiteral("impossible BMP header"));
    return true;
}

// Follows a run-length encoded bitmap's codes until its end code or its last row. Qt's reader
// stops quietly where the data ends and returns the rows it never reached as if drawn.
bool rleComplete(const Bytes &b, const BmpFields &f)
{
    const bool fourBit = f.compression == 2;
    qint64 pos = f.offset;
    qint64 row = 0;
    while (row < f.height) {
        if (!b.has(pos, 2))
            return false;
        const uchar count = b.at(pos);
        const uchar code = b.at(pos + 1);
        pos += 2;
        if (count > 0)
            continue; // a run of one value
        if (code == 0) {
            ++row; // end of line
        } else if (code == 1) {
            return true; // end of bitmap: the rest stays background
        } else if (code == 2) {
            if (!b.has(pos, 2))
                return false;
            row += b.at(pos + 1); // move right and down
            pos += 2;
        } else {
            // A literal run of `code` pixels, padded to a 16-bit boundary.
            const qint64 bytes = fourBit ? (code + 1) / 2 : code;
            pos += (bytes + 1) & ~qint64(1);
            if (pos > b.size())
                return false;
        }
    }
    return true;
}

void checkBmp(const Bytes &b, RasterLayout &layout)
{
    BmpFields f;
    if (!bmpFields(b, f, layout))
        return;
    if (f.compression == 1 || f.compression == 2) {
        if (!rleComplete(b, f))
            refuse(layout, PictureProblem::CutShort, kCutShort);
        return;
    }
    if (f.compression != 0 && f.compression != 3 && f.compression != 6)
        return; // formats inside a BMP that the reader refuses by itself
    // Uncompressed rows, each padded to four bytes, all of them needed.
    const qint64 rowBytes = (f.width * f.bits + 31) / 32 * 4;
    if (f.offset > b.size() || (b.size() - f.offset) / rowBytes < f.height)
        refuse(layout, PictureProblem::CutShort, kCutShort);
}

// ---- PNG -------------------------------------------------------------------------------------

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

void pngHeader(const Bytes &b, RasterLayout &layout)
{
    if (!b.has(0, 8 + 8 + 13))
        return refuse(layout, PictureProblem::CutShort, kCutShort);
    if (b.be32(8) != 13 || b.be32(12) != 0x49484452u) // "IHDR"
        return refuse(layout, PictureProblem::Damaged, QStringLiteral("no PNG header chunk"));
    const quint32 width = b.be32(16);
    const quint32 height = b.be32(20);
    if (width == 0 || height == 0 || width > 0x7fffffffu || height > 0x7fffffffu)
        return refuse(layout, PictureProblem::Damaged, QStringLiteral("impossible PNG size"));
    layout.size = QSize(int(width), int(height));
}

// Bits per pixel of a PNG's colour type and sample depth (0 for combinations PNG does not have).
int pngBitsPerPixel(int colourType, int depth)
{
    const int channels = colourType == 0 ? 1 : colourType == 2 ? 3 : colourType == 3 ? 1
                       : colourType == 4 ? 2 : colourType == 6 ? 4 : 0;
    return channels * depth;
}

void checkPng(const Bytes &b, RasterLayout &layout)
{
    qint64 pos = 8;
    qint64 imageBytes = 0;
    for (;;) {
        // A chunk: length, type, data, checksum. A length past the end of the file is a file
        // cut short, never a reason to allocate what the length says.
        if (!b.has(pos, 8))
            return refuse(layout, PictureProblem::CutShort, kCutShort);
        const quint32 length = b.be32(pos);
        const quint32 type = b.be32(pos + 4);
        if (length > 0x7fffffffu)
            return refuse(layout, PictureProblem::Damaged, QStringLiteral("impossible PNG chunk length"));
        if (!b.has(pos + 8, qint64(length) + 4))
            return refuse(layout, PictureProblem::CutShort, kCutShort);
        pos += 12 + qint64(length);
        if (type == 0x49444154u) // "IDAT"
            imageBytes += length;
        else if (type == 0x49454E44u) // "IEND"
            break;
    }
    if (imageBytes == 0)
        return refuse(layout, PictureProblem::Damaged, QStringLiteral("no PNG image data"));
    // Deflate packs at most 1032 bytes into one: image data too short for the picture's
    // rows cannot hold it, however it is compressed.
    const int bits = pngBitsPerPixel(b.at(25), b.at(24));
    const double leastBytes = double(layout.size.width()) * layout.size.height() * bits / 8;
    if (leastBytes > double(imageBytes) * 1032 + 1024)
        refuse(layout, PictureProblem::CutShort, QStringLiteral("the image data is cut short"));
}

// ---- JPEG ------------------------------------------------------------------------------------

bool isFrameMarker(uchar m)
{
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// The number of 8 × 8 blocks the frame's components have at least (each is sampled at H / Hmax
// across and V / Vmax down), or -1 for a sampling factor of zero. `at` is the first component.
double jpegBlocks(const Bytes &b, qint64 at, int components, QSize size)
{
    int maxH = 0;
    int maxV = 0;
    for (int i = 0; i < components; ++i) {
        const uchar factors = b.at(at + 3 * i + 1);
        if ((factors >> 4) == 0 || (factors & 15) == 0)
            return -1;
        maxH = std::max(maxH, factors >> 4);
        maxV = std::max(maxV, factors & 15);
    }
    double blocks = 0;
    for (int i = 0; i < components; ++i) {
        const uchar factors = b.at(at + 3 * i + 1);
        blocks += double(size.width()) * (factors >> 4) / maxH * size.height() * (factors & 15) / maxV / 64;
    }
    return blocks;
}

// Walks the markers. With wholeFile false it stops at the frame header (the size); otherwise it
// goes through every scan's entropy-coded data to the end-of-image marker.
void walkJpeg(const Bytes &b, RasterLayout &layout, bool wholeFile)
{
    qint64 pos = 2;
    bool frame = false;
    bool huffman = false;
    bool scanned = false;
    qint64 scanBytes = 0; // entropy-coded data of every scan
    double leastBlocks = 0; // 8 × 8 blocks of all components, at least
    for (;;) {
        // Bytes between segments are skipped up to the next marker, as the decoder does.
        pos = b.nextFF(pos);
        while (pos >= 0 && b.has(pos, 2) && b.at(pos + 1) == 0xFF)
            ++pos; // fill bytes
        if (pos < 0 || !b.has(pos, 2))
            return refuse(layout, PictureProblem::CutShort, kCutShort);
        const uchar marker = b.at(pos + 1);
        pos += 2;
        if (marker == 0xD9) { // end of image
            if (!scanned)
                refuse(layout, PictureProblem::Damaged, QStringLiteral("no JPEG image data"));
            // Huffman coding spends at least one bit on every 8 × 8 block of every component
            // in the scans that carry its DC values: scans too short for the frame's blocks
            // cannot hold it. (Arithmetic coding has no such floor.)
            else if (huffman && double(scanBytes) * 8 < leastBlocks)
                refuse(layout, PictureProblem::CutShort, QStringLiteral("the image data is cut short"));
            return;
        }
        if ((marker >= 0xD0 && marker <= 0xD8) || marker == 0x01 || marker == 0x00)
            continue; // markers without a segment
        if (!b.has(pos, 2))
            return refuse(layout, PictureProblem::CutShort, kCutShort);
        const qint64 length = b.be16(pos);
        if (length < 2)
            return refuse(layout, PictureProblem::Damaged, QStringLiteral("damaged JPEG segment"));
        if (!b.has(pos, length))
            return refuse(layout, PictureProblem::CutShort, kCutShort);
        if (isFrameMarker(marker) && !frame) {
            const int components = length >= 8 ? b.at(pos + 7) : 0;
            if (components == 0 || length < 8 + 3 * components)
                return refuse(layout, PictureProblem::Damaged, QStringLiteral("damaged JPEG frame header"));
            const int height = int(b.be16(pos + 3));
            const int width = int(b.be16(pos + 5));
            if (width == 0 || height == 0)
                return refuse(layout, PictureProblem::Damaged, QStringLiteral("impossible JPEG size"));
            layout.size = QSize(width, height);
            frame = true;
            huffman = marker <= 0xC7;
            leastBlocks = jpegBlocks(b, pos + 8, components, layout.size);
            if (leastBlocks < 0)
                return refuse(layout, PictureProblem::Damaged, QStringLiteral("damaged JPEG frame header"));
            if (!wholeFile)
                return;
        }
        pos += length;
        if (marker != 0xDA)
            continue;
        if (!frame)
            return refuse(layout, PictureProblem::Damaged, QStringLiteral("JPEG scan before its frame"));
        scanned = true;
        // Entropy-coded data: 0xFF is followed by a stuffed zero or a restart marker inside
        // it; any other marker ends it.
        const qint64 scanStart = pos;
        for (;;) {
            pos = b.nextFF(pos);
            if (pos < 0 || !b.has(pos, 2))
                return refuse(layout, PictureProblem::CutShort, kCutShort);
            const uchar next = b.at(pos + 1);
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7) || next == 0xFF)
                pos += next == 0xFF ? 1 : 2;
            else
                break;
        }
        scanBytes += pos - scanStart;
    }
}

// ---- GIF -------------------------------------------------------------------------------------

// Skips a chain of data sub-blocks up to and past its empty terminator.
bool skipSubBlocks(const Bytes &b, qint64 &pos)
{
    for (;;) {
        if (!b.has(pos, 1))
            return false;
        const qint64 length = b.at(pos++);
        if (length == 0)
            return true;
        if (!b.has(pos, length))
            return false;
        pos += length;
    }
}

// Walks the blocks up to the end of the first image's data, the frame the program shows. With
// wholeFile false it stops at that image's descriptor.
void walkGif(const Bytes &b, RasterLayout &layout, bool wholeFile)
{
    if (!b.has(0, 13))
        return refuse(layout, PictureProblem::CutShort, kCutShort);
    const QSize screen(int(b.le16(6)), int(b.le16(8)));
    const uchar flags = b.at(10);
    qint64 pos = 13 + ((flags & 0x80) ? 3 << ((flags & 7) + 1) : 0);
    for (;;) {
        if (!b.has(pos, 1))
            return refuse(layout, PictureProblem::CutShort, kCutShort);
        const uchar block = b.at(pos++);
        if (block == 0x21) { // extension: a label, then sub-blocks
            ++pos;
            if (!skipSubBlocks(b, pos))
                return refuse(layout, PictureProblem::CutShort, kCutShort);
        } else if (block == 0x2C) { // image descriptor
            if (!b.has(pos, 9))
                return refuse(layout, PictureProblem::CutShort, kCutShort);
            const QSize frameSize(int(b.le16(pos + 4)), int(b.le16(pos + 6)));
            // The reader's picture is the logical screen, or the frame when the screen has none.
            layout.size = screen.isEmpty() ? frameSize : screen;
            if (layout.size.isEmpty())
                return refuse(layout, PictureProblem::Damaged, QStringLiteral("impossible GIF size"));
            if (!wholeFile)
                return;
            const uchar imageFlags = b.at(pos + 8);
            pos += 9 + ((imageFlags & 0x80) ? 3 << ((imageFlags & 7) + 1) : 0);
            ++pos; // smallest code size
            if (!skipSubBlocks(b, pos))
                refuse(layout, PictureProblem::CutShort, kCutShort);
            return;
        } else if (block == 0x3B) {
            return refuse(layout, PictureProblem::Damaged, QStringLiteral("a GIF without a picture"));
        } else {
            return refuse(layout, PictureProblem::Damaged, QStringLiteral("damaged GIF block"));
        }
    }
}

RasterFormat sniff(const QByteArray &data)
{
    if (data.startsWith("BM"))
        return RasterFormat::Bmp;
    if (data.startsWith(QByteArrayView(kPngSignature, 8)))
        return RasterFormat::Png;
    if (data.startsWith("\xFF\xD8\xFF"))
        return RasterFormat::Jpeg;
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        return RasterFormat::Gif;
    return RasterFormat::Unknown;
}

} // namespace

const char *rasterFormatName(RasterFormat format)
{
    switch (format) {
    case RasterFormat::Bmp:
        return "bmp";
    case RasterFormat::Png:
        return "png";
    case RasterFormat::Jpeg:
        return "jpeg";
    case RasterFormat::Gif:
        return "gif";
    case RasterFormat::Unknown:
        break;
    }
    return "";
}

RasterLayout rasterHeader(const QByteArray &data)
{
    RasterLayout layout;
    layout.format = sniff(data);
    const Bytes b(data);
    switch (layout.format) {
    case RasterFormat::Bmp: {
        BmpFields f;
        if (bmpFields(b, f, layout))
            layout.size = QSize(int(f.width), int(f.height));
        break;
    }
    case RasterFormat::Png:
        pngHeader(b, layout);
        break;
    case RasterFormat::Jpeg:
        walkJpeg(b, layout, false);
        break;
    case RasterFormat::Gif:
        walkGif(b, layout, false);
        break;
    case RasterFormat::Unknown:
        refuse(layout, PictureProblem::NotAPicture,
               QStringLiteral("not a BMP, JPEG, GIF, PNG or WMF picture"));
        break;
    }
    return layout;
}

void checkRasterStructure(const QByteArray &data, RasterLayout &layout)
{
    const Bytes b(data);
    switch (layout.format) {
    case RasterFormat::Bmp:
        checkBmp(b, layout);
        break;
    case RasterFormat::Png:
        checkPng(b, layout);
        break;
    case RasterFormat::Jpeg:
        walkJpeg(b, layout, true);
        break;
    case RasterFormat::Gif:
        walkGif(b, layout, true);
        break;
    case RasterFormat::Unknown:
        break;
    }
}

} // namespace lumivex::picture
