#include "views.h"

#include "convert.h"
#include "designrows.h"
#include "outputcheck.h"
#include "outputname.h"
#include "report.h"
#include "reveal.h"

#include "engine/depth.h"
#include "engine/smoothdepth.h"
#include "engine/stereoviews.h"
#include "engine/uniformrandom.h"
#include "picture/animatedpng.h"
#include "picture/picturewriter.h"
#include "picture/safefile.h"

#include <vector>

namespace lumivex::cli {

namespace {

engine::ViewKind viewKind(const QString &name)
{
    if (name == u"anaglyph")
        return engine::ViewKind::Anaglyph;
    if (name == u"half-colour" || name == u"half-color")
        return engine::ViewKind::HalfColour;
    if (name == u"parallel")
        return engine::ViewKind::Parallel;
    if (name == u"cross")
        return engine::ViewKind::Cross;
    return engine::ViewKind::AboveBelow;
}

// The design's depth as the conversions sample it: the sixteen levels at their smooth depths,
// or smooth depth itself.
engine::DepthImage designDepth(const Options &options, DesignRows &design)
{
    engine::DepthImage depth{design.width(), design.height(), {}};
    depth.z.resize(static_cast<std::size_t>(depth.width) * static_cast<std::size_t>(depth.height));
    std::vector<engine::Packed> colours(static_cast<std::size_t>(depth.width));
    for (int y = 0; y < depth.height; ++y) {
        const std::span<std::uint16_t> row(depth.z.data() + static_cast<std::size_t>(y) * depth.width,
                                           static_cast<std::size_t>(depth.width));
        if (options.smooth()) {
            design.depths(row);
            continue;
        }
        design.colours(colours);
        for (std::size_t x = 0; x < colours.size(); ++x)
            row[x] = static_cast<std::uint16_t>(engine::depthLevel(colours[x]) * engine::kSmoothPerLevel);
    }
    design.readRest();
    return depth;
}

void save(const engine::PackedImage &picture, const QString &path)
{
    picture::PictureLayout layout;
    layout.width = picture.width;
    layout.height = picture.height;
    OutputName name(path);
    picture::SafeFile file(name.writtenAs());
    const auto failed = [&](const QString &why) { fail(QStringLiteral("cannot write %1: %2").arg(quoted(path), why)); };
    if (!file.open(QIODevice::WriteOnly))
        failed(file.errorString());
    picture::PictureWriter writer(file, picture::pictureFileFormatFor(path), layout);
    for (int y = 0; y < picture.height; ++y) {
        if (!writer.writeRow(picture.row(y)))
            break;
    }
    if (!writer.finish()) {
        file.cancel();
        failed(writer.errorString());
    }
    if (!file.commit())
        failed(file.errorString());
    name.place();
}

void saveAnimation(const std::vector<engine::PackedImage> &frames, const QString &path)
{
    OutputName name(path);
    picture::SafeFile file(name.writtenAs());
    QString why;
    if (!file.open(QIODevice::WriteOnly))
        why = file.errorString();
    else if (!picture::writeAnimatedPng(file, frames, kWiggleDelayMs, &why))
        file.cancel();
    else if (!file.commit())
        why = file.errorString();
    if (!why.isEmpty())
        fail(QStringLiteral("cannot write %1: %2").arg(quoted(path), why));
    name.place();
}

} // namespace

void viewAndSave(const Options &given)
{
    checkOutput(given);
    engine::DisparityMap disparity;
    engine::PackedImage texture;
    QString told;
    if (given.reveal) {
        texture = readStereogram(given.design);
        const engine::Reveal reveal = revealOf(given, texture);
        disparity = engine::revealedDisparity(reveal, given.disparity);
        // Silent when the depth was read clearly; the views of a flat stereogram are flat.
        if (reveal.distances.size() == 1)
            told = QStringLiteral("the stereogram %1 shows one flat depth (everything repeats at %2 pixels), and so "
                                  "do its views")
                       .arg(quoted(given.design)).arg(reveal.distances.front());
        else if (!reveal.sure)
            told = readAt(given, reveal);
    } else {
        DesignRows design(given);
        const Options options = conversionOptions(given, design, true);
        if (design.width() < 1 || design.height() < 1)
            fail(QStringLiteral("the design picture %1 is empty").arg(quoted(options.design)));
        disparity = engine::designDisparity(designDepth(options, design), options.rittaido, options.disparity);
        texture = engine::greyDots(design.width(), design.height(),
                                   options.seed ? *options.seed : engine::UniformRandom::clockSeed());
    }
    if (given.view == u"wiggle") {
        saveAnimation(engine::wiggleFrames(disparity, texture, given.views), given.output);
    } else {
        const engine::StereoViews views = engine::renderViews(disparity, texture);
        save(engine::composeViews(views.left.picture, views.right.picture, viewKind(given.view)), given.output);
    }
    if (!told.isEmpty())
        complain(told);
}

} // namespace lumivex::cli
