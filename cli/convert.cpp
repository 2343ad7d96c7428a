#include "convert.h"

#include "outputname.h"

#include "document/greydepth.h"
#include "picture/picture.h"
#include "picture/picturerows.h"
#include "picture/picturewriter.h"
#include "picture/safefile.h"
#include "engine/colourfield.h"
#include "engine/depth.h"
#include "engine/depthreach.h"
#include "engine/guides.h"
#include "engine/packedimage.h"
#include "engine/randomdot.h"
#include "engine/uniformrandom.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

// The pictures stream through the conversion a row at a time: design (and field) rows are
// decoded as they are needed, converted, and handed to the writer, which encodes them on a
// second thread. No whole picture exists but a design that its format makes the reader decode
// whole (any but PNG).

namespace lumivex::cli {

namespace {

using engine::Packed;
using Row = std::vector<Packed>;

Row makeRow(int width)
{
    return Row(static_cast<std::size_t>(std::max(width, 0)));
}

QString quoted(const QString &text)
{
    return u'\'' + text + u'\'';
}

[[noreturn]] void fail(const QString &message)
{
    throw Failure{message};
}

[[noreturn]] void refuse(const QString &what, const QString &path, const picture::LoadedPicture &picture,
                         int maxWidth)
{
    switch (picture.problem) {
    case picture::PictureProblem::TooWide:
        fail(QStringLiteral("the %1 %2 is %3 pixels wide; at most %4 are allowed")
                 .arg(what, quoted(path)).arg(picture.size.width()).arg(maxWidth));
    case picture::PictureProblem::TooLarge:
        if (picture.size.isValid())
            fail(QStringLiteral("the %1 %2 is too large for memory (%3 × %4 pixels)")
                     .arg(what, quoted(path)).arg(picture.size.width()).arg(picture.size.height()));
        fail(QStringLiteral("the %1 %2 is too large for memory: %3").arg(what, quoted(path), picture.reason));
    default:
        fail(QStringLiteral("cannot read the %1 %2: %3").arg(what, quoted(path), picture.reason));
    }
}

// An input picture read row by row; any failure, also one found in the middle of the picture,
// is the converter's one line.
class Input
{
public:
    Input(QString what, QString path, int maxWidth, bool grey = false)
        : m_what(std::move(what)), m_path(std::move(path)), m_maxWidth(maxWidth), m_grey(grey),
          m_rows(m_path, maxWidth)
    {
        check();
    }

    int width() const { return m_rows.width(); }
    int height() const { return m_rows.height(); }

    void readRow(std::span<Packed> out)
    {
        if (!m_rows.readRow(out))
            check();
        if (m_grey)
            document::greyRowToDepthColours(out.first(std::size_t(width())), out);
    }

    // The rows no conversion needed, read all the same: a file damaged further on is refused
    // as it would be when read whole.
    void readRest()
    {
        Row row = makeRow(width());
        while (m_rows.readRow(row)) {
        }
        check();
    }

private:
    void check() const
    {
        if (!m_rows.status().ok())
            refuse(m_what, m_path, m_rows.status(), m_maxWidth);
    }

    QString m_what;
    QString m_path;
    int m_maxWidth;
    bool m_grey;
    picture::PictureRows m_rows;
};

// A depth shifted as far as the repeat width or further links each position back to one
// already drawn: the picture gets holes instead of depth. Such settings are refused, naming
// what would do.
void checkReach(const Options &options, int nearestLevel)
{
    const engine::DepthReach reach = engine::depthReach(options.kurikaesi, options.rittaido, nearestLevel);
    if (reach.fits)
        return;
    if (reach.largestRittaido < 0)
        fail(QStringLiteral("a repeat width of %1 gives no picture; use --repeat 1 or more").arg(options.kurikaesi));
    fail(QStringLiteral("strength %1 shifts the nearest depth of the design picture %2 by %3 pixels, not less than "
                        "the repeat width %4, which gives no picture; the largest usable strength is %5 "
                        "(or use --repeat %6 or more)")
             .arg(options.rittaido)
             .arg(quoted(options.design))
             .arg(reach.shift)
             .arg(options.kurikaesi)
             .arg(reach.largestRittaido)
             .arg(reach.smallestKurikaesi));
}

// The depth levels of the design's rows, one after another. Drawings repeat their rows a lot:
// a row equal to the one before has its levels already. Each nearer depth met is checked
// against the settings (checkReach) before its row is converted.
class DepthRows
{
public:
    DepthRows(Input &design, int scanWidth, const Options &options)
        : m_design(design), m_scanWidth(scanWidth), m_options(options), m_row(makeRow(design.width())),
          m_before(makeRow(design.width())), m_depth(std::size_t(scanWidth) + 1)
    {
    }

    /// The levels of the design's next row, or of a row below the design (outside it).
    std::span<const std::int32_t> next(bool inDesign)
    {
        if (!inDesign) {
            engine::GetDepthRow({}, m_scanWidth, m_depth);
            m_known = false;
            checkNearest();
            return m_depth;
        }
        std::swap(m_row, m_before);
        m_design.readRow(m_row);
        if (!m_known || m_row != m_before) {
            engine::GetDepthRow(m_row, m_scanWidth, m_depth);
            checkNearest();
        }
        m_known = true;
        return m_depth;
    }

private:
    void checkNearest()
    {
        const int level = *std::max_element(m_depth.begin(), m_depth.end());
        if (level > m_nearest) {
            m_nearest = level;
            checkReach(m_options, level);
        }
    }

    Input &m_design;
    int m_scanWidth;
    const Options &m_options;
    int m_nearest = -1;  // the nearest level met so far
    Row m_row, m_before;
    std::vector<std::int32_t> m_depth;
    bool m_known = false; // m_depth holds the levels of m_row
};

std::unique_ptr<Input> openDesign(const Options &options)
{
    return std::make_unique<Input>(QStringLiteral("design picture"), options.design, kMaxDesignWidth,
                                   options.depth == DepthSource::Grey);
}

// The output file; it appears under its name only when commit() succeeds. With --guides the
// guide band is written first and the file is taller by its rows.
class Output
{
public:
    Output(const Options &options, picture::PictureLayout layout)
        : m_path(options.output), m_name(options.output), m_file(m_name.writtenAs())
    {
        std::optional<engine::GuideBand> band;
        if (options.guides) {
            band = engine::guideBand(layout.width, layout.height, options.kurikaesi);
            layout.height += band->height;
        }
        if (!m_file.open(QIODevice::WriteOnly))
            failed(m_file.errorString());
        m_writer.emplace(m_file, picture::pictureFileFormatFor(m_path), layout);
        if (band) {
            Row row = makeRow(layout.width);
            for (int y = 0; y < band->height; ++y) {
                engine::guideBandRow(*band, y, row);
                writeRow(row);
            }
        }
    }

    void writeRow(std::span<const Packed> row)
    {
        if (!m_writer->writeRow(row))
            finish();
    }

    void commit()
    {
        finish();
        if (!m_file.commit())
            failed(m_file.errorString());
        m_name.place();
    }

private:
    void finish()
    {
        if (!m_writer->finish()) {
            m_file.cancel();
            failed(m_writer->errorString());
        }
    }

    [[noreturn]] void failed(const QString &why) { fail(QStringLiteral("cannot write %1: %2").arg(quoted(m_path), why)); }

    QString m_path;
    OutputName m_name;
    // Written to a temporary file beside the output, which takes the output's place on commit()
    // only when every byte was written; when anything fails before that, the output stays as
    // it was and the temporary file is removed.
    picture::SafeFile m_file;
    std::optional<picture::PictureWriter> m_writer;
};

void convertDots(const Options &options)
{
    const std::unique_ptr<Input> design = openDesign(options);
    const int width = design->width(), height = design->height();
    // The stereo picture is one pixel narrower and shorter than the design: a design of one
    // row or column would give an empty picture, which no file can hold.
    if (width < 2 || height < 2)
        fail(QStringLiteral("the design picture %1 is %2 × %3 pixels; random dot needs at least 2 × 2")
                 .arg(quoted(options.design)).arg(width).arg(height));
    const bool mono = options.mode == Mode::Mono;
    const engine::DotParams params{
        .kurikaesi = options.kurikaesi, .rittaido = options.rittaido, .mitudo = options.mitudo, .mono = mono};
    const std::uint64_t seed = options.seed ? *options.seed : engine::UniformRandom::clockSeed();

    // Black and white dots, or the sixteen dot colours: a colour table holds every picture.
    picture::PictureLayout layout;
    layout.width = width - 1;
    layout.height = height - 1;
    if (mono)
        layout.palette = {engine::DotPalette[0], engine::DotPalette[15]};
    else
        layout.palette.assign(engine::DotPalette.begin(), engine::DotPalette.end());
    Output output(options, layout);

    const int scanWidth = width - 1;
    Row stereoRow = makeRow(scanWidth);
    DepthRows depth(*design, scanWidth, options);
    engine::RandomDot dots;
    dots.begin(params, scanWidth, seed);
    for (int y = 0; y < height; ++y) {
        const bool drawn = y < height - 1;
        dots.row(depth.next(true), drawn ? std::span<Packed>(stereoRow) : std::span<Packed>{});
        if (drawn)
            output.writeRow(stereoRow);
    }
    output.commit();
}

// The field rows: the field picture's own, or the small source tiled from the top left over
// the design's area, made as each row is needed.
class FieldRows
{
public:
    FieldRows(const Options &options, int designWidth, int designHeight)
    {
        if (!options.field.isEmpty()) {
            m_picture = std::make_unique<Input>(QStringLiteral("field picture"), options.field, kMaxDesignWidth);
            m_width = m_picture->width();
            m_height = m_picture->height();
            return;
        }
        const picture::LoadedPicture source = picture::readPicture(options.fieldSource, kMaxFieldSourceWidth);
        if (!source.ok())
            refuse(QStringLiteral("field source picture"), options.fieldSource, source, kMaxFieldSourceWidth);
        m_source = picture::toPacked(source.image);
        m_width = designWidth;
        m_height = designHeight;
    }

    int width() const { return m_width; }
    int height() const { return m_height; }
    /// The width of the tiled source; 0 for a field picture.
    int tileWidth() const { return m_picture ? 0 : m_source.width; }

    void readRow(int y, std::span<Packed> out)
    {
        if (m_picture) {
            m_picture->readRow(out);
            return;
        }
        const std::span<const Packed> from = m_source.row(y % m_source.height);
        for (std::size_t x = 0; x < out.size(); x += from.size())
            std::memcpy(out.data() + x, from.data(), std::min(from.size(), out.size() - x) * sizeof(Packed));
    }

private:
    std::unique_ptr<Input> m_picture;
    engine::PackedImage m_source;
    int m_width = 0;
    int m_height = 0;
};

// A tiled field repeats every tile width: without --repeat the repeat width is the tile's, as
// the wizard proposes, so that no repeat cuts through the pattern and shows a seam.
Options withTileRepeat(const Options &options, const FieldRows &field)
{
    Options taken = options;
    if (!options.kurikaesiGiven && field.tileWidth() > 0)
        taken.kurikaesi = field.tileWidth();
    return taken;
}

void convertFieldPicture(const Options &given)
{
    const std::unique_ptr<Input> design = openDesign(given);
    FieldRows field(given, design->width(), design->height());
    const Options options = withTileRepeat(given, field);
    const int width = field.width(), height = field.height();
    picture::PictureLayout layout;
    layout.width = width;
    layout.height = height;
    Output output(options, layout);

    // A design smaller than the field is outside the picture (no depth) where it ends. (The run
    // also works one row beyond the field, which is never drawn.)
    Row fieldRow = makeRow(width), stereoRow = makeRow(width);
    DepthRows depth(*design, width, options);
    engine::ColourField conv;
    conv.begin({.kurikaesi = options.kurikaesi, .rittaido = options.rittaido}, width);
    const int designRows = std::min(design->height(), height);
    for (int y = 0; y < height; ++y) {
        const std::span<const std::int32_t> levels = depth.next(y < designRows);
        field.readRow(y, fieldRow);
        conv.row(levels, fieldRow, stereoRow);
        output.writeRow(stereoRow);
    }
    if (designRows < design->height())
        design->readRest();
    output.commit();
}

} // namespace

void convertAndSave(const Options &options)
{
    if (options.mode == Mode::Field)
        convertFieldPicture(options);
    else
        convertDots(options);
}

} // namespace lumivex::cli
