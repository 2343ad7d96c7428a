#include "pngcheck.h"

#include <png.h>

#include <QImage>

#include <cstdio>
#include <cstring>
#include <vector>

namespace lumivex::picture {

namespace {

struct Reading
{
    explicit Reading(const QByteArray &bytes) : data(bytes) {}

    const QByteArray &data;
    qsizetype at = 0;
    char reason[160] = {};
    std::vector<png_byte> row;
    QImage *picture = nullptr; ///< the picture decoded into, if any (16-bit colour only)
    std::vector<png_byte> passes; ///< an interlaced picture's rows while its passes come in
};

int be16(const png_byte *p)
{
    return p[0] << 8 | p[1];
}

// A row of 16-bit colour samples, with alpha or without, as opaque pixels: each sample rounded
// to 8 bits as Qt's conversions round, transparency over white as the loader composites it.
void toPixels(const png_byte *p, int channels, QRgb *line, int width)
{
    for (int x = 0; x < width; ++x, p += 2 * channels) {
        const int a = channels == 4 ? (be16(p + 6) + 128) / 257 : 255;
        auto blend = [a](int v) { return ((v + 128) / 257 * a + 255 * (255 - a) + 127) / 255; };
        line[x] = qRgb(blend(be16(p)), blend(be16(p + 2)), blend(be16(p + 4)));
    }
}

void readBytes(png_structp png, png_bytep out, png_size_t length)
{
    auto *reading = static_cast<Reading *>(png_get_io_ptr(png));
    if (length > std::size_t(reading->data.size() - reading->at))
        png_error(png, "file cut short");
    std::memcpy(out, reading->data.constData() + reading->at, length);
    reading->at += qsizetype(length);
}

[[noreturn]] void onError(png_structp png, png_const_charp message)
{
    auto *reading = static_cast<Reading *>(png_get_error_ptr(png));
    std::snprintf(reading->reason, sizeof reading->reason, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp)
{
}

// Everything between setjmp and a longjmp from libpng is plain data reached through `reading`:
// nothing here needs a destructor run when an error jumps back.
bool readThrough(png_structp png, png_infop info, Reading &reading)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &reading, readBytes);
    // The loader has judged the picture's size already; Qt's reader takes a deflate window as
    // large as the stream allows, and so does this check.
    png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
#if defined(PNG_SET_OPTION_SUPPORTED) && defined(PNG_MAXIMUM_INFLATE_WINDOW)
    png_set_option(png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
#endif
    png_read_info(png, info);
    if (reading.picture)
        png_set_tRNS_to_alpha(png); // the transparent colour, compared at all 16 bits, as alpha
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const int channels = png_get_channels(png, info);
    if (reading.picture && (png_get_bit_depth(png, info) != 16 || (channels != 3 && channels != 4)
                            || reading.picture->size() != QSize(int(width), int(height))))
        png_error(png, "not the picture expected");
    reading.row.assign(rowBytes, 0);
    // Passes after the first fill in pixels of rows the earlier ones began: an interlaced
    // picture's rows are kept whole (and zeroed first) until the last pass.
    if (reading.picture && passes > 1)
        reading.passes.assign(rowBytes * height, 0);
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_byte *row = reading.passes.empty() ? reading.row.data() : reading.passes.data() + rowBytes * y;
            png_read_row(png, row, nullptr);
            if (reading.picture && pass == passes - 1)
                toPixels(row, channels, reinterpret_cast<QRgb *>(reading.picture->scanLine(int(y))), int(width));
        }
    }
    png_read_end(png, info);
    return true;
}

QString readWithLibpng(Reading &reading)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return QStringLiteral("out of memory");
    }
    bool read = false;
    try {
        read = readThrough(png, info, reading);
    } catch (...) { // memory for the rows, out of libpng's own calls
        png_destroy_read_struct(&png, &info, nullptr);
        throw;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return read ? QString() : QString::fromUtf8(reading.reason);
}

} // namespace

QString pngDamage(const QByteArray &data)
{
    Reading reading(data);
    return readWithLibpng(reading);
}

bool isColour16Png(const QByteArray &data)
{
    return data.size() > 25 && data.at(24) == 16 && data.at(25) == 2;
}

QImage decodeColour16Png(const QByteArray &data, QSize size, QString &damage)
{
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull()) {
        damage = QStringLiteral("out of memory");
        return {};
    }
    Reading reading(data);
    reading.picture = &picture;
    damage = readWithLibpng(reading);
    return damage.isEmpty() ? picture : QImage();
}

} // namespace lumivex::picture
