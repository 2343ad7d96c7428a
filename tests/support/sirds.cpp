#include "sirds.h"

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <random>

namespace sirds {

using lumivex::engine::PackedImage;

PackedImage draw(int w, const std::vector<float> &depth, int eyes, int q, bool texture, std::vector<float> &linked)
{
    constexpr double mu = 1.0 / 3;  // depth of field
    const int width = w * q, height = int(depth.size()) / w;
    const auto separation = [&](double z) { return int(std::lround((1 - mu * z) * eyes * q / (2 - mu * z))); };
    linked.assign(depth.size(), -1.0f);
    std::mt19937 gen(5);
    const int tile = separation(0) / q / 3;  // texture cells of 3 pixels, 32 rows
    std::vector<int> cells(std::size_t(tile) * 32), same(static_cast<std::size_t>(width)), pix(same.size());
    std::generate(cells.begin(), cells.end(), [&] { return int(gen() & 255); });
    std::vector<double> z(same.size());
    PackedImage picture(w, height);
    for (int y = 0; y < height; ++y) {
        const float *row = depth.data() + std::size_t(y) * w;
        for (int x = 0; x < width; ++x) {  // depth between pixel centres, linearly
            const double u = std::clamp((x + 0.5) / q - 0.5, 0.0, w - 1.0), f = u - std::floor(u);
            z[std::size_t(x)] = (1 - f) * row[int(u)] + f * row[std::min(int(u) + 1, w - 1)];
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
            linked[std::size_t(y) * w + left / q] = float(zx);
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
            const int *cell = cells.data() + std::size_t(y / 3 % 32) * tile, a = int(u) % tile;
            pix[std::size_t(x)] = same[std::size_t(x)] != x ? pix[std::size_t(same[std::size_t(x)])]
                                  : texture ? int((1 - f) * cell[a] + f * cell[(a + 1) % tile]) : int(gen() & 1) * 255;
        }
        for (int x = 0; x < w; ++x) {
            const int grey = (std::accumulate(&pix[std::size_t(x * q)], &pix[std::size_t(x * q)] + q, 0) + q / 2) / q;
            picture.row(y)[x] = lumivex::engine::pack(grey, grey, grey);
        }
    }
    return picture;
}

PackedImage jpegCopy(PackedImage picture, int quality)
{
    QBuffer buffer;  // packed colours are the bytes of RGBX8888
    buffer.open(QIODevice::ReadWrite);
    QImage(reinterpret_cast<const uchar *>(picture.pixels.data()), picture.width, picture.height, QImage::Format_RGBX8888)
        .save(&buffer, "JPEG", quality);
    const QImage copy = QImage::fromData(buffer.data(), "JPEG").convertToFormat(QImage::Format_RGBX8888);
    std::memcpy(picture.pixels.data(), copy.constBits(), picture.pixels.size() * 4);
    for (auto &c : picture.pixels)
        c &= 0xffffff;
    return picture;
}

} // namespace sirds
