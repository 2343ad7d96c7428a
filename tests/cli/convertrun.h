#pragma once

// Helpers for the tests that run lumivex-convert: running it, and making input pictures.

#include "picture/picture.h"
#include "engine/depth.h"
#include "engine/packedimage.h"

#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QRect>
#include <QStringList>

#include <algorithm>

namespace lumivex::testing {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline Run convert(const QStringList &args, const QString &workDir)
{
    QProcess process;
    process.setWorkingDirectory(workDir);
    process.start(QStringLiteral(LUMIVEX_CONVERT), args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// Depth-palette blocks at random depths over a background, with a sprinkle of off-palette
// colours so that coarsening is exercised too.
inline QImage makeDesign(int width, int height, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(lumivex::picture::unpackPixel(lumivex::engine::DepthPalette[3]));
    for (int i = 0; i < 12; ++i) {
        const QRect block(random.bounded(width), random.bounded(height), 1 + random.bounded(width / 2 + 1),
                          1 + random.bounded(height / 2 + 1));
        const QRgb colour = lumivex::picture::unpackPixel(lumivex::engine::DepthPalette[random.bounded(16)]);
        for (int y = block.top(); y <= std::min(block.bottom(), height - 1); ++y)
            for (int x = block.left(); x <= std::min(block.right(), width - 1); ++x)
                image.setPixel(x, y, colour);
    }
    for (int i = 0; i < width * height / 50; ++i)
        image.setPixel(random.bounded(width), random.bounded(height), random.generate() | 0xff000000u);
    return image;
}

// Random colours, some of them pure black, which a link never carries.
inline QImage makeField(int width, int height, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, random.bounded(8) == 0 ? qRgb(0, 0, 0) : random.generate() | 0xff000000u);
    return image;
}

// As wide as the converter reads and writes them.
inline engine::PackedImage readPacked(const QString &path)
{
    return lumivex::picture::toPacked(lumivex::picture::readPicture(path, engine::kMaxRunWidth).image);
}

inline QString samplePath(const QString &name)
{
    return QStringLiteral(LUMIVEX_SAMPLES "/") + name;
}


} // namespace lumivex::testing
