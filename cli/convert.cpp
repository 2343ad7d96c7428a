#include "convert.h"

#include "document/greydepth.h"
#include "document/picture.h"
#include "engine/packedimage.h"
#include "engine/uniformrandom.h"

#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

namespace lumivex::cli {

namespace {

using engine::PackedImage;

QString quoted(const QString &text)
{
    return u'\'' + text + u'\'';
}

[[noreturn]] void fail(const QString &message)
{
    throw Failure{message};
}

// The QImage is dropped as soon as its packed copy exists: with a 1024 × 4096 design each
// full-size picture is 16 MB, and only two of them are alive at any moment.
PackedImage loadPacked(const QString &what, const QString &path, int maxWidth)
{
    const document::LoadedPicture picture = document::readPicture(path, maxWidth);
    switch (picture.problem) {
    case document::PictureProblem::None:
        break;
    case document::PictureProblem::TooWide:
        fail(QStringLiteral("the %1 %2 is %3 pixels wide; at most %4 are allowed")
                 .arg(what, quoted(path)).arg(picture.size.width()).arg(maxWidth));
    case document::PictureProblem::TooLarge:
        if (picture.size.isValid())
            fail(QStringLiteral("the %1 %2 is too large for memory (%3 × %4 pixels)")
                     .arg(what, quoted(path)).arg(picture.size.width()).arg(picture.size.height()));
        fail(QStringLiteral("the %1 %2 is too large for memory: %3").arg(what, quoted(path), picture.reason));
    default:
        fail(QStringLiteral("cannot read the %1 %2: %3").arg(what, quoted(path), picture.reason));
    }
    return document::toPacked(picture.image);
}

// The design in the depth colours the engine samples; a grey depth map is mapped onto them.
PackedImage loadDesign(const Options &options)
{
    PackedImage design = loadPacked(QStringLiteral("design picture"), options.design, kMaxDesignWidth);
    if (options.depth == DepthSource::Grey)
        document::greyToDepthColours(design);
    return design;
}

PackedImage convertDots(const Options &options)
{
    const PackedImage design = loadDesign(options);
    // The stereo picture is one pixel narrower and shorter than the design: a design of one
    // row or column would give an empty picture, which no file can hold.
    if (design.width < 2 || design.height < 2)
        fail(QStringLiteral("the design picture %1 is %2 × %3 pixels; random dot needs at least 2 × 2")
                 .arg(quoted(options.design)).arg(design.width).arg(design.height));
    const engine::DotParams params{.kurikaesi = options.kurikaesi,
                                   .rittaido = options.rittaido,
                                   .mitudo = options.mitudo,
                                   .mono = options.mode == Mode::Mono};
    const std::uint64_t seed = options.seed ? *options.seed : engine::UniformRandom::clockSeed();
    return engine::convertRandomDot(design, params, seed);
}

PackedImage convertFieldPicture(const Options &options)
{
    const PackedImage design = loadDesign(options);
    const PackedImage field = !options.field.isEmpty()
        ? loadPacked(QStringLiteral("field picture"), options.field, kMaxDesignWidth)
        : engine::tileField(loadPacked(QStringLiteral("field source picture"), options.fieldSource,
                                       kMaxFieldSourceWidth),
                            design.width, design.height);
    const engine::FieldParams params{.kurikaesi = options.kurikaesi, .rittaido = options.rittaido};
    return engine::convertField(design, field, params);
}

void save(const QImage &image, const QString &path)
{
    const QByteArray format = path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)
        ? QByteArrayLiteral("png")
        : QByteArrayLiteral("bmp");
    // QSaveFile writes to a temporary file beside the output and renames it on commit();
    // when anything fails before that, its destructor removes the temporary file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("cannot write %1: %2").arg(quoted(path), file.errorString()));
    QImageWriter writer(&file, format);
    if (!writer.write(image))
        fail(QStringLiteral("cannot write %1: %2").arg(quoted(path), writer.errorString()));
    if (!file.commit())
        fail(QStringLiteral("cannot write %1: %2").arg(quoted(path), file.errorString()));
}

} // namespace

void convertAndSave(const Options &options)
{
    QImage stereo;
    {
        const PackedImage result =
            options.mode == Mode::Field ? convertFieldPicture(options) : convertDots(options);
        stereo = document::fromPacked(result);
    }
    save(stereo, options.output);
}

} // namespace lumivex::cli
