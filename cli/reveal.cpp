#include "reveal.h"

#include "convert.h"
#include "outputcheck.h"
#include "outputname.h"
#include "report.h"

#include "picture/filenames.h"
#include "picture/picture.h"
#include "picture/picturewriter.h"
#include "picture/safefile.h"
#include "engine/reveal.h"

#include <QFile>

#include <sys/stat.h>

#include <vector>

namespace lumivex::cli {

namespace {

bool sameFile(const QString &a, const QString &b)
{
    struct stat first {}, second {};
    return ::stat(picture::encodeFileName(a).constData(), &first) == 0
        && ::stat(picture::encodeFileName(b).constData(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

[[noreturn]] void refuse(const Options &options, const engine::PackedImage &stereogram,
                         engine::RevealProblem problem)
{
    const QString what = QStringLiteral("cannot reveal the depth of %1: ").arg(quoted(options.design));
    switch (problem) {
    case engine::RevealProblem::TooSmall:
        fail(what + QStringLiteral("it is %1 × %2 pixels; a stereogram is at least %3 pixels wide")
                        .arg(stereogram.width).arg(stereogram.height).arg(engine::kMinRevealWidth));
    case engine::RevealProblem::NoRepeatAtWidth:
        fail(what + QStringLiteral("nothing in it repeats sideways at %1 pixels or between a fifth of that and %1; "
                                   "leave out --repeat to have the repeat width found")
                        .arg(options.kurikaesi));
    default:
        fail(what + QStringLiteral("nothing in it repeats sideways, so it shows no depth (a stereogram "
                                   "whose repeat is wider than a third of it needs --repeat)"));
    }
}

// The greys go through the writer the converter's stereo pictures use: a PNG of up to sixteen
// greys gets a colour table (continuous depth is written as plain 8-bit grey), and the file
// appears only when it is complete.
void save(const engine::Reveal &reveal, const QString &path)
{
    const engine::GreyImage &depth = reveal.depth;
    picture::PictureLayout layout;
    layout.width = depth.width;
    layout.height = depth.height;
    if (!reveal.continuous && reveal.greys.size() <= 16) {
        for (const std::uint8_t grey : reveal.greys)
            layout.palette.push_back(engine::pack(grey, grey, grey));
    }
    OutputName name(path);
    picture::SafeFile file(name.writtenAs());
    const auto failed = [&](const QString &why) { fail(QStringLiteral("cannot write %1: %2").arg(quoted(path), why)); };
    if (!file.open(QIODevice::WriteOnly))
        failed(file.errorString());
    picture::PictureWriter writer(file, picture::pictureFileFormatFor(path), layout);
    std::vector<engine::Packed> row(static_cast<std::size_t>(depth.width));
    for (int y = 0; y < depth.height; ++y) {
        const std::span<const std::uint8_t> greys = depth.row(y);
        for (std::size_t x = 0; x < row.size(); ++x)
            row[x] = engine::pack(greys[x], greys[x], greys[x]);
        if (!writer.writeRow(row))
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

} // namespace

// One line: the repeat width the depth was read at, whether it was found or given, and a
// warning where the picture did not show it clearly. A flat stereogram is rare, a misread is
// not: that is said too, though the depth is written.
QString readAt(const Options &options, const engine::Reveal &reveal)
{
    QString line = reveal.distances.size() == 1
        ? QStringLiteral("the stereogram %1 shows one flat depth (everything repeats at %2 pixels); %3 is one grey")
              .arg(quoted(options.design)).arg(reveal.distances.front()).arg(quoted(options.output))
        : QStringLiteral("the depth of %1 was read at a repeat width of %2 pixels (%3)")
              .arg(quoted(options.design))
              .arg(reveal.repeatWidth)
              .arg(options.kurikaesiGiven ? QStringLiteral("as given") : QStringLiteral("found in the picture"));
    if (!reveal.sure)
        line += options.kurikaesiGiven
            ? QStringLiteral("; little of the picture repeats within it, so the depth may be misread")
            : QStringLiteral("; the picture does not show its repeat clearly, so the depth may be misread: "
                             "give --repeat if the width is known");
    return line;
}

engine::PackedImage readStereogram(const QString &path)
{
    const picture::LoadedPicture picture = picture::readPicture(path, kMaxDesignWidth);
    switch (picture.problem) {
    case picture::PictureProblem::None:
        return picture::toPacked(picture.image);
    case picture::PictureProblem::TooWide:
        fail(QStringLiteral("the stereogram %1 is %2 pixels wide; at most %3 are allowed")
                 .arg(quoted(path)).arg(picture.size.width()).arg(kMaxDesignWidth));
    case picture::PictureProblem::TooLarge:
        if (picture.size.isValid())
            fail(QStringLiteral("the stereogram %1 is too large for memory (%2 × %3 pixels)")
                     .arg(quoted(path)).arg(picture.size.width()).arg(picture.size.height()));
        fail(QStringLiteral("the stereogram %1 is too large for memory: %2").arg(quoted(path), picture.reason));
    default:
        fail(QStringLiteral("cannot read the stereogram %1: %2").arg(quoted(path), picture.reason));
    }
}

engine::Reveal revealOf(const Options &options, const engine::PackedImage &stereogram)
{
    engine::Reveal reveal = engine::reveal(stereogram, {options.kurikaesiGiven ? options.kurikaesi : 0});
    if (!reveal.ok())
        refuse(options, stereogram, reveal.problem);
    return reveal;
}

void revealAndSave(const Options &options)
{
    if (sameFile(options.output, options.design))
        fail(QStringLiteral("cannot write %1: it is the stereogram %2, which would be overwritten")
                 .arg(quoted(options.output), quoted(options.design)));
    checkOutput(options);
    engine::Reveal reveal;
    {
        const engine::PackedImage stereogram = readStereogram(options.design);
        reveal = revealOf(options, stereogram);
    }
    save(reveal, options.output);
    complain(readAt(options, reveal));
}

} // namespace lumivex::cli
