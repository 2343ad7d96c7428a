// The classic single-image stereogram algorithm as a program of its own, for comparing the
// converter's whole process against: reads a grey depth map, builds every row four times wider
// with symmetric links and hidden-surface removal, averages it down and writes a PNG.
//
//   classic_sirds DEPTH.png STEREO.png [oversample]

#include "sirds.h"

#include <QImage>

#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: classic_sirds DEPTH.png STEREO.png [oversample]\n");
        return 2;
    }
    const QImage grey = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_Grayscale16);
    if (grey.isNull()) {
        std::fprintf(stderr, "classic_sirds: cannot read %s\n", argv[1]);
        return 2;
    }
    const int oversample = argc > 3 ? std::atoi(argv[3]) : 4;
    std::vector<float> depth(static_cast<std::size_t>(grey.width()) * grey.height());
    for (int y = 0; y < grey.height(); ++y) {
        const auto *line = reinterpret_cast<const quint16 *>(grey.constScanLine(y));
        for (int x = 0; x < grey.width(); ++x)
            depth[static_cast<std::size_t>(y) * grey.width() + x] = line[x] / 65535.0f;
    }
    std::vector<float> linked;
    // 140 pixels between the eyes: a far repeat of 70, as the converter's default.
    const lumivex::engine::PackedImage stereo = sirds::draw(grey.width(), depth, 140, oversample, false, linked);
    const QImage out(reinterpret_cast<const uchar *>(stereo.pixels.data()), stereo.width, stereo.height,
                     QImage::Format_RGBX8888);
    return out.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
