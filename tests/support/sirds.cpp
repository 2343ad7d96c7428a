#include "sirds.h"

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

using lumivex::engine::PackedImage;

namespace sirds {

constexpr double mu = 1.0 / 3;  // depth of field

PackedImage draw(const DepthMap &depth, int eyes, int q, bool texture, DepthMap *linked)
{
    const int width = depth.width * q;
    const auto separation = [&](double z) { return int(std::lround((1 - mu * z) * eyes * q / (2 - mu * z))); };
    if (linked)
        *linked = {depth.width, depth.height, std::vector<float>(depth.z.size(), -1.0f)};
    std::mt19937 gen(5);
    const int tile = separation(0) / q / 3;  // texture cells of 3 pixels, 32 rows
    std::vector<int> cells(std::size_t(tile) * 32);
    for (int &c : cells)
        c = int(gen() & 255);
    std::vector<double> z(static_cast<std::size_t>(width));
    std::vector<int> same(z.size()), pix(z.size());
    PackedImage picture(depth.width, depth.height);
    for (int y = 0; y < depth.height; ++y) {
        for (int x = 0; x < width; ++x) {  // depth between pixel centres, linearly
            const double u = std::clamp((x + 0.5) / q - 0.5, 0.0, depth.width - 1.0), f = u - std::floor(u);
            const int i = int(u), j = std::min(i + 1, depth.width - 1);
            const float *row = depth.z.data() + std::size_t(y) * depth.width;
            z[std::size_t(x)] = (1 - f) * row[i] + f * row[j];
            same[std::size_t(x)] = x;
        }
        for (int x = 0; x < width; ++x) {
            const double zx = z[std::size_t(x)];
            int left = x - separation(zx) / 2, right = left + separation(zx);
            bool visible = left >= 0 && right < width;
            for (int t = 1; visible; ++t) {  // hidden-surface removal
                const double zt = zx + 2 * (2 - mu * zx) * t / (mu * eyes * q);
                visible = (x < t || z[std::size_t(x - t)] < zt) && (x + t >= width || z[std::size_t(x + t)] < zt);
                if (zt >= 1)
                    break;
            }
            if (!visible)
                continue;
            if (linked)
                linked->z[std::size_t(y) * depth.width + left / q] = float(zx);
            for (int l = same[std::size_t(left)]; l != left && l != right; l = same[std::size_t(left)]) {
                if (l < right)
                    left = l;
                else
                    same[std::size_t(left)] = right, left = right, right = l;
            }
            same[std::size_t(left)] = right;
        }
        for (int x = width - 1; x >= 0; --x) {
            const double u = double(x) / q / 3, f = u - std::floor(u);
            const int *row = cells.data() + std::size_t(y / 3 % 32) * tile, a = int(u) % tile;
            const int grey = int((1 - f) * row[a] + f * row[(a + 1) % tile]);
            pix[std::size_t(x)] = same[std::size_t(x)] != x ? pix[std::size_t(same[std::size_t(x)])]
                                  : texture                  ? grey
                                                             : int(gen() & 1) * 255;
        }
        for (int x = 0; x < depth.width; ++x) {
            int sum = 0;
            for (int k = 0; k < q; ++k)
                sum += pix[std::size_t(x * q + k)];
            const int grey = (sum + q / 2) / q;
            picture.row(y)[x] = lumivex::engine::pack(grey, grey, grey);
        }
    }
    return picture;
}

PackedImage jpegCopy(PackedImage picture, int quality)
{
    // Packed colours are the bytes red, green, blue, (unused) of RGBX8888.
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    QImage(reinterpret_cast<const uchar *>(picture.pixels.data()), picture.width, picture.height, QImage::Format_RGBX8888)
        .save(&buffer, "JPEG", quality);
    const QImage copy = QImage::fromData(buffer.data(), "JPEG").convertToFormat(QImage::Format_RGBX8888);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(picture.row(y).data(), copy.constScanLine(y), std::size_t(picture.width) * 4);
    for (auto &c : picture.pixels)
        c &= 0xffffff;
    return picture;
}

} // namespace sirds
