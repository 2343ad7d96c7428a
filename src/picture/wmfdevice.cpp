// Qt first: libwmf defines U16 as a macro, which breaks Qt's headers included after it.
#include "wmfpicture.h"

#include "wmfdevice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace lumivex::picture {

namespace {

WmfDevicePatch &patchOf(wmfAPI *api)
{
    return *static_cast<WmfDevicePatch *>(api->user_data);
}

double capped(double value, double cap)
{
    if (!std::isfinite(value))
        return 0;
    return std::min(std::fabs(value), cap);
}

// gd draws a wide pen by stamping a pen-sized brush at every pixel of a line: a pen of
// thousands of pixels, which a damaged file asks for easily, takes minutes per line.
void capPen(wmfAPI *api, wmfDC *dc)
{
    if (!dc || !dc->pen)
        return;
    const double cap = patchOf(api).maxPen;
    dc->pen->width = capped(dc->pen->width, cap);
    dc->pen->height = capped(dc->pen->height, cap);
}

// The gd device fills no ellipse, it only outlines it. Hand it a polygon through the ellipse
// instead, so that the device's own polygon filling (with its exact brush colour) applies.
void drawEllipse(wmfAPI *api, wmfDrawArc_t *arc)
{
    const WmfDevicePatch &patch = patchOf(api);
    if (!arc || !patch.original.draw_polygon)
        return;
    const double cx = (double(arc->TL.x) + arc->BR.x) / 2.0;
    const double cy = (double(arc->TL.y) + arc->BR.y) / 2.0;
    const double rx = std::fabs(double(arc->BR.x) - arc->TL.x) / 2.0;
    const double ry = std::fabs(double(arc->BR.y) - arc->TL.y) / 2.0;
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(rx) || !std::isfinite(ry))
        return;
    capPen(api, arc->dc);

    // 512 sides keep the polygon within a third of a pixel of the ellipse at the largest size.
    constexpr int kSides = 512;
    std::vector<wmfD_Coord> points(kSides);
    for (int i = 0; i < kSides; ++i) {
        const double angle = 2.0 * M_PI * i / kSides;
        points[i].x = static_cast<float>(cx + rx * std::cos(angle));
        points[i].y = static_cast<float>(cy + ry * std::sin(angle));
    }
    wmfPolyLine_t polygon{};
    polygon.dc = arc->dc;
    polygon.pt = points.data();
    polygon.count = (U16)kSides;
    patch.original.draw_polygon(api, &polygon);
}

// One wrapper per pen-drawing call: cap the pen, then the device's own function.
template<typename Info, void (*wmfFunctionReference::*member)(wmfAPI *, Info *)>
void withCappedPen(wmfAPI *api, Info *info)
{
    if (!info)
        return;
    capPen(api, info->dc);
    if (auto function = patchOf(api).original.*member)
        function(api, info);
}

void regionFrame(wmfAPI *api, wmfPolyRectangle_t *info)
{
    if (!info)
        return;
    const double cap = patchOf(api).maxPen;
    info->width = static_cast<float>(capped(info->width, cap));
    info->height = static_cast<float>(capped(info->height, cap));
    if (auto function = patchOf(api).original.region_frame)
        function(api, info);
}

// FreeType renders a glyph as large as asked; a text height of a million points is a damaged
// file, not a picture.
void drawText(wmfAPI *api, wmfDrawText_t *info)
{
    if (!info || !std::isfinite(info->font_height) || !std::isfinite(info->font_ratio)
        || std::fabs(info->font_height) > patchOf(api).maxFontSize
        || std::fabs(info->font_ratio) > 100)
        return;
    if (auto function = patchOf(api).original.draw_text)
        function(api, info);
}

quint32 readDword(const unsigned char *p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (quint32(p[3]) << 24);
}

// Whether a device-independent bitmap is one the library's reader can take safely: a Windows 3
// or later header, a sane size, a known depth and compression, and for an uncompressed bitmap
// all its rows present. The reader trusts these fields.
bool plausibleBitmap(const unsigned char *buffer, long length)
{
    if (!buffer || length < 40)
        return false;
    const quint32 headerSize = readDword(buffer);
    const auto width = static_cast<qint32>(readDword(buffer + 4));
    const auto height = static_cast<qint32>(readDword(buffer + 8));
    const int planes = buffer[12] | (buffer[13] << 8);
    const int bits = buffer[14] | (buffer[15] << 8);
    const quint32 compression = readDword(buffer + 16);
    const quint32 coloursUsed = readDword(buffer + 32);
    if (headerSize < 40 || headerSize > 124 || headerSize > quint64(length))
        return false;
    // Top-down bitmaps (negative height) are refused: the reader takes the height as it stands.
    if (width <= 0 || height <= 0 || width > kMaxWmfSide || height > kMaxWmfSide
        || qint64(width) * height > kMaxWmfBitmapPixels || planes != 1)
        return false;
    const bool known = (compression == 0 && (bits == 1 || bits == 4 || bits == 8 || bits == 16
                                             || bits == 24 || bits == 32))
                       || (compression == 1 && bits == 8) || (compression == 2 && bits == 4)
                       || (compression == 3 && (bits == 16 || bits == 32));
    if (!known)
        return false;
    const quint64 tableEntries = bits <= 8 ? (coloursUsed ? coloursUsed : 1u << bits) : coloursUsed;
    if (bits <= 8 && tableEntries > (1u << bits))
        return false;
    const quint64 masks = compression == 3 && headerSize == 40 ? 12 : 0;
    const quint64 start = headerSize + masks + tableEntries * 4;
    if (start > quint64(length))
        return false;
    if (compression == 0 || compression == 3) {
        const quint64 rowBytes = ((quint64(width) * bits + 31) / 32) * 4;
        if (start + rowBytes * quint64(height) > quint64(length))
            return false;
    }
    return true;
}

// A bitmap the reader refuses, or reads as empty, is left out of the picture: the player then
// skips the record that uses it. An empty one made the device divide by zero.
void bmpRead(wmfAPI *api, wmfBMP_Read_t *info)
{
    if (!info)
        return;
    info->bmp = {};
    const WmfDevicePatch &patch = patchOf(api);
    if (!plausibleBitmap(info->buffer, info->length) || !patch.original.bmp_read)
        return;
    patch.original.bmp_read(api, info);
    if (info->bmp.data && (info->bmp.width == 0 || info->bmp.height == 0)) {
        if (patch.original.bmp_free)
            patch.original.bmp_free(api, &info->bmp);
        info->bmp = {};
    }
}

void bmpDraw(wmfAPI *api, wmfBMP_Draw_t *info)
{
    if (!info || !info->bmp.data || info->bmp.width == 0 || info->bmp.height == 0
        || info->crop.w == 0 || info->crop.h == 0
        || int(info->crop.x) + info->crop.w > info->bmp.width
        || int(info->crop.y) + info->crop.h > info->bmp.height
        || !std::isfinite(info->pixel_width) || !std::isfinite(info->pixel_height))
        return;
    capPen(api, info->dc);
    if (auto function = patchOf(api).original.bmp_draw)
        function(api, info);
}

// The gd image that libwmf hands over in image mode, laid out as in its libwmf/gd/gd.h (whose
// own includes need a search path of their own). The library exports no function to free it,
// and leaving it cost each render its picture's memory.
struct GdClipSet
{
    int max;
    int count;
    void *list;
};
struct GdImage
{
    unsigned char **pixels;
    int sx, sy, colorsTotal;
    int red[256], green[256], blue[256], open[256];
    int transparent;
    int *polyInts;
    int polyAllocated;
    GdImage *brush, *tile;
    int brushColorMap[256], tileColorMap[256];
    int styleLength, stylePos;
    int *style;
    int interlace, thick;
    int alpha[256];
    int trueColor;
    int **tpixels;
    int alphaBlendingFlag, saveAlphaFlag;
    GdClipSet *clip;
    int *contiguousPixels;
};
static_assert(sizeof(void *) != 8 || sizeof(GdImage) == 7288, "libwmf's gd image layout");

} // namespace

void destroyWmfGdImage(void *image)
{
    auto *im = static_cast<GdImage *>(image);
    if (!im)
        return;
    for (int y = 0; im->pixels && y < im->sy; ++y)
        std::free(im->pixels[y]);
    std::free(im->pixels);
    if (im->contiguousPixels)
        std::free(im->contiguousPixels); // the rows point into it
    else
        for (int y = 0; im->tpixels && y < im->sy; ++y)
            std::free(im->tpixels[y]);
    std::free(im->tpixels);
    std::free(im->polyInts);
    std::free(im->style);
    if (im->clip) {
        std::free(im->clip->list);
        std::free(im->clip);
    }
    std::free(im);
}

void patchWmfDevice(wmfAPI *api, WmfDevicePatch *patch)
{
    auto *functions = static_cast<wmfFunctionReference *>(api->function_reference);
    patch->original = *functions;
    api->user_data = patch;
    using F = wmfFunctionReference;
    functions->draw_ellipse = drawEllipse;
    functions->draw_pie = withCappedPen<wmfDrawArc_t, &F::draw_pie>;
    functions->draw_chord = withCappedPen<wmfDrawArc_t, &F::draw_chord>;
    functions->draw_arc = withCappedPen<wmfDrawArc_t, &F::draw_arc>;
    functions->draw_line = withCappedPen<wmfDrawLine_t, &F::draw_line>;
    functions->poly_line = withCappedPen<wmfPolyLine_t, &F::poly_line>;
    functions->draw_polygon = withCappedPen<wmfPolyLine_t, &F::draw_polygon>;
    functions->draw_polypolygon = withCappedPen<wmfPolyPoly_t, &F::draw_polypolygon>;
    functions->draw_rectangle = withCappedPen<wmfDrawRectangle_t, &F::draw_rectangle>;
    functions->region_frame = regionFrame;
    functions->draw_text = drawText;
    functions->bmp_read = bmpRead;
    functions->bmp_draw = bmpDraw;
}

} // namespace lumivex::picture
