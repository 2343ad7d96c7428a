#include "pngcheck.h"

#include <png.h>

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
};

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
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    reading.row.resize(png_get_rowbytes(png, info));
    const png_uint_32 height = png_get_image_height(png, info);
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, reading.row.data(), nullptr);
    }
    png_read_end(png, info);
    return true;
}

} // namespace

QString pngDamage(const QByteArray &data)
{
    Reading reading(data);
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return QStringLiteral("out of memory");
    }
    const bool read = readThrough(png, info, reading);
    png_destroy_read_struct(&png, &info, nullptr);
    return read ? QString() : QString::fromUtf8(reading.reason);
}

} // namespace lumivex::picture
