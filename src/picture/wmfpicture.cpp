#include "wmfpicture.h"

#include "wmfdevice.h"

#include <QDeadlineTimer>

#include <libwmf/gd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace lumivex::picture {

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7u;
constexpr int kPlaceableHeaderSize = 22;
constexpr int kMetaHeaderSize = 18;

quint16 word(const QByteArray &data, int offset)
{
    return static_cast<quint16>(static_cast<quint8>(data[offset])
                                | (static_cast<quint8>(data[offset + 1]) << 8));
}

quint32 dword(const QByteArray &data, int offset)
{
    return word(data, offset) | (static_cast<quint32>(word(data, offset + 2)) << 16);
}

bool isMetaHeader(const QByteArray &data, int offset)
{
    if (data.size() < offset + kMetaHeaderSize)
        return false;
    const quint16 type = word(data, offset);
    const quint16 headerWords = word(data, offset + 2);
    const quint16 version = word(data, offset + 4);
    return (type == 1 || type == 2) && headerWords == 9 && (version == 0x0100 || version == 0x0300);
}

void putDword(QByteArray &data, int offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        data[offset + i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

// Walks the records from the header at `offset` to the end-of-file record and rewrites the
// header's file size and largest record from what is really there: libwmf sizes its record
// buffer from that header field, so a damaged one made it ask for gigabytes. Data that ends
// between records without an end record gets one; a record that runs past the end of the data
// is refused.
bool checkRecords(QByteArray &data, int offset)
{
    const qsizetype end = data.size();
    qsizetype pos = offset + kMetaHeaderSize;
    quint32 largest = 3;
    for (;;) {
        if (end - pos < 6) {
            data.truncate(pos);
            data.append("\x03\0\0\0\0\0", 6);
            pos += 6;
            break;
        }
        const quint32 words = dword(data, static_cast<int>(pos));
        const quint16 function = word(data, static_cast<int>(pos + 4));
        if (words < 3 || words > static_cast<quint64>(end - pos) / 2)
            return false;
        largest = std::max(largest, words);
        pos += qsizetype(words) * 2;
        if (function == 0)
            break;
    }
    putDword(data, offset + 6, static_cast<quint32>((pos - offset) / 2));
    putDword(data, offset + 12, largest);
    return true;
}

bool sizeAcceptable(qint64 width, qint64 height)
{
    // The library's picture and ours, four bytes a pixel each, in half the renderer's memory.
    return width > 0 && height > 0 && width <= kMaxWmfSide && height <= kMaxWmfSide
           && width * height <= kMaxPicturePixels && width * height * 8 <= kWmfMemoryLimit / 2;
}

struct ApiDeleter
{
    void operator()(wmfAPI *api) const { wmf_api_destroy(api); }
};
using ApiPtr = std::unique_ptr<wmfAPI, ApiDeleter>;

LoadedPicture fail(PictureProblem problem, const QString &reason, QSize size = {})
{
    return LoadedPicture::failure(problem, reason, size);
}

// A size known before drawing: too wide for the caller, too large to draw, or of no use.
LoadedPicture judgeSize(QSize size, int maxWidth)
{
    if (size.width() > maxWidth)
        return fail(PictureProblem::TooWide, QStringLiteral("the picture is too wide"), size);
    if (!sizeAcceptable(size.width(), size.height()))
        return size.isEmpty() ? fail(PictureProblem::Damaged, QStringLiteral("unusable metafile size"), size)
                              : fail(PictureProblem::TooLarge, QStringLiteral("the metafile is too large to draw"), size);
    return {};
}

// gd's pixels are 0xAARRGGBB with a 7-bit alpha, 0 opaque and 127 transparent. Composite them
// over white, so a transparent background reads as white and opaque colours stay exact.
QRgb overWhite(int pixel)
{
    const int alpha = (pixel >> 24) & 0x7f;
    if (alpha == 0)
        return 0xff000000u | (static_cast<quint32>(pixel) & 0xffffffu);
    auto blend = [alpha](int c) { return (c * (127 - alpha) + 255 * alpha + 63) / 127; };
    return qRgb(blend((pixel >> 16) & 0xff), blend((pixel >> 8) & 0xff), blend(pixel & 0xff));
}

QImage toImage(const int *pixels, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const int *source = pixels + static_cast<qsizetype>(y) * size.width();
        for (int x = 0; x < size.width(); ++x)
            line[x] = overWhite(source[x]);
    }
    return image;
}

// The scan gives the drawing's extent, but a placeable picture is its header's rectangle,
// whatever is drawn in it. The device works in points from the window origin, which the player
// puts at the picture's top left corner.
wmfD_Rect placeableBox(const QByteArray &data)
{
    const double unitsPerInch = word(data, 14);
    const int width = std::abs(qint16(word(data, 10)) - qint16(word(data, 6)));
    const int height = std::abs(qint16(word(data, 12)) - qint16(word(data, 8)));
    wmfD_Rect box{};
    box.BR.x = static_cast<float>(width * 72.0 / unitsPerInch);
    box.BR.y = static_cast<float>(height * 72.0 / unitsPerInch);
    return box;
}

bool finite(const wmfD_Rect &box)
{
    return std::isfinite(box.TL.x) && std::isfinite(box.TL.y) && std::isfinite(box.BR.x)
           && std::isfinite(box.BR.y);
}

const QString kTooSlow = QStringLiteral("the metafile took too long to render");
const QString kDamaged = QStringLiteral("damaged metafile");

// The library's failure: a file that takes too long or more memory than the renderer has is
// not damaged.
LoadedPicture damaged(wmf_error_t status)
{
    if (status == wmf_E_InsMem)
        return fail(PictureProblem::TooLarge, QString::fromLatin1(kWmfOutOfMemory));
    return fail(PictureProblem::Damaged, status == wmf_E_UserExit ? kTooSlow : kDamaged);
}

} // namespace

bool looksLikeWmf(const QByteArray &data)
{
    if (data.size() >= kPlaceableHeaderSize && dword(data, 0) == kPlaceableKey)
        return true;
    return isMetaHeader(data, 0);
}

QSize placeableWmfSize(const QByteArray &data)
{
    if (data.size() < kPlaceableHeaderSize || dword(data, 0) != kPlaceableKey)
        return {};
    const auto left = static_cast<qint16>(word(data, 6));
    const auto top = static_cast<qint16>(word(data, 8));
    const auto right = static_cast<qint16>(word(data, 10));
    const auto bottom = static_cast<qint16>(word(data, 12));
    const int unitsPerInch = word(data, 14);
    if (unitsPerInch == 0)
        return {};
    // At most 65535 × 96: no overflow.
    const int width = std::abs(right - left) * kWmfDpi / unitsPerInch;
    const int height = std::abs(bottom - top) * kWmfDpi / unitsPerInch;
    return QSize(width, height);
}

LoadedPicture renderWmfInProcess(const QByteArray &data, int maxWidth, int timeLimitMs)
{
    if (!looksLikeWmf(data))
        return fail(PictureProblem::NotAPicture, QStringLiteral("not a Windows metafile"));
    const bool placeable = dword(data, 0) == kPlaceableKey;
    if (!isMetaHeader(data, placeable ? kPlaceableHeaderSize : 0))
        return fail(PictureProblem::Damaged, QStringLiteral("damaged metafile header"));
    QSize size;
    if (placeable) {
        size = placeableWmfSize(data);
        if (!size.isValid())
            return fail(PictureProblem::Damaged, QStringLiteral("unusable metafile size"));
        if (LoadedPicture refused = judgeSize(size, maxWidth); !refused.ok())
            return refused;
    }

    QByteArray bytes = data;
    if (!checkRecords(bytes, placeable ? kPlaceableHeaderSize : 0))
        return fail(PictureProblem::CutShort, QStringLiteral("damaged metafile (truncated or broken records)"));

    // The bytes and the patch outlive the api, which uses them until it is destroyed.
    WmfDevicePatch patch;
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR
                                | WMF_OPT_NO_DEBUG;
    wmfAPI *raw = nullptr;
    const wmf_error_t created = wmf_api_create(&raw, flags, &options);
    ApiPtr api(raw);
    if (created != wmf_E_None || !api)
        return fail(PictureProblem::Damaged, QStringLiteral("metafile renderer unavailable"));
    patchWmfDevice(api.get(), &patch);
    // The player asks between records whether to go on: a file of many slow records ends here
    // with a reason instead of running on until someone kills it.
    QDeadlineTimer deadline(timeLimitMs);
    wmf_status_function(api.get(), &deadline, [](void *context, float) -> int {
        return static_cast<QDeadlineTimer *>(context)->hasExpired() ? 1 : 0;
    });

    auto *input = reinterpret_cast<unsigned char *>(bytes.data());
    wmfD_Rect bbox{};
    if (wmf_mem_open(api.get(), input, bytes.size()) != wmf_E_None)
        return fail(PictureProblem::Damaged, kDamaged);
    if (const wmf_error_t scanned = wmf_scan(api.get(), 0, &bbox); scanned != wmf_E_None)
        return damaged(scanned);
    if (placeable) {
        bbox = placeableBox(data);
    } else {
        unsigned int width = 0;
        unsigned int height = 0;
        if (wmf_display_size(api.get(), &width, &height, kWmfDpi, kWmfDpi) != wmf_E_None
            || width > unsigned(std::numeric_limits<int>::max()) || height > unsigned(std::numeric_limits<int>::max()))
            return fail(PictureProblem::Damaged, QStringLiteral("unusable metafile size"));
        size = QSize(static_cast<int>(width), static_cast<int>(height));
        if (LoadedPicture refused = judgeSize(size, maxWidth); !refused.ok())
            return refused;
    }
    if (!finite(bbox))
        return fail(PictureProblem::Damaged, kDamaged);

    // Caps in points: a pen at most twice the picture's diagonal and 128 pixels wide, text at
    // most twice the picture's height and 2048 pixels high. Larger ones come from damaged files
    // and only cost time.
    const double width = bbox.BR.x - bbox.TL.x;
    const double height = bbox.BR.y - bbox.TL.y;
    patch.maxPen = std::min(2.0 * std::hypot(width, height), 96.0);
    patch.maxFontSize = std::min(2.0 * height, 1536.0);

    wmf_gd_t *device = WMF_GD_GetData(api.get());
    device->type = wmf_gd_image;
    device->width = static_cast<unsigned int>(size.width());
    device->height = static_cast<unsigned int>(size.height());
    device->bbox = bbox;
    const wmf_error_t played = wmf_play(api.get(), 0, &bbox);
    const std::unique_ptr<void, void (*)(void *)> gdImage(device->gd_image, destroyWmfGdImage);
    device->gd_image = nullptr;
    if (played != wmf_E_None || !gdImage)
        return damaged(played);
    const int *pixels = wmf_gd_image_pixels(gdImage.get());
    if (!pixels)
        return fail(PictureProblem::Damaged, QStringLiteral("metafile renderer failed"));
    LoadedPicture result;
    result.image = toImage(pixels, size);
    result.size = size;
    if (result.image.isNull())
        return fail(PictureProblem::TooLarge, QStringLiteral("out of memory"), size);
    return result;
}

} // namespace lumivex::picture
