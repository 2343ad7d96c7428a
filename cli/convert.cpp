#include "convert.h"

#include "designrows.h"
#include "outputname.h"
#include "report.h"

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
#include "engine/smoothdepth.h"
#include "engine/uniformrandom.h"

#include <algorithm>
#include <cmath>
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

// A depth shifted as far as the repeat width or further links each position back to one
// already drawn: the picture gets holes instead of depth. Such settings are refused, naming
// what would do. `shift` is in pixels, `reach` the verdict.
void refuseReach(const Options &options, const engine::DepthReach &reach, const QString &shift)
{
    if (reach.fits)
        return;
    if (reach.largestRittaido < 0)
        fail(QStringLiteral("a repeat width of %1 gives no picture; use --repeat 1 or more").arg(options.kurikaesi));
    fail(QStringLiteral("strength %1 shifts the nearest depth of the design picture %2 by %3 pixels, not less than "
                        "the repeat width %4, which gives no picture; the largest usable strength is %5 "
                        "(or use --repeat %6 or more)")
             .arg(options.rittaido)
             .arg(quoted(options.design))
             .arg(shift)
             .arg(options.kurikaesi)
             .arg(reach.largestRittaido)
             .arg(reach.smallestKurikaesi));
}

// Strengths scaled with a repeat width in millimetres may pass the slider's 50.
int strongestTried(const Options &options)
{
    return std::max(50, options.rittaido);
}

void checkReach(const Options &options, int nearestLevel)
{
    const engine::DepthReach reach =
        engine::depthReach(options.kurikaesi, options.rittaido, nearestLevel, strongestTried(options));
    refuseReach(options, reach, QString::number(reach.shift));
}

// Smooth depth is shifted in fractions of a pixel, rounded at the oversampled resolution.
void checkSmoothReach(const Options &options, int z)
{
    const engine::DepthReach reach =
        engine::smoothDepthReach(options.kurikaesi, options.rittaido, z, options.oversample, strongestTried(options));
    refuseReach(options, reach, QString::number(reach.shiftInPixels()));
}

// The depth levels of the design's rows, one after another. Drawings repeat their rows a lot:
// a row equal to the one before has its levels already. Each nearer depth met is checked
// against the settings (checkReach) before its row is converted; settings refused are refused
// for the nearest depth of all the rows the run takes, read on to the end, so that the strength
// and repeat width named are the ones that give the picture.
class DepthRows
{
public:
    /// `rows`: how many of the design's rows the run takes.
    DepthRows(DesignRows &design, int scanWidth, int rows, const Options &options)
        : m_design(design), m_scanWidth(scanWidth), m_rows(rows), m_options(options), m_row(makeRow(design.width())),
          m_before(makeRow(design.width())), m_depth(std::size_t(scanWidth) + 1)
    {
    }

    /// The levels of the design's next row, or of a row below the design (outside it).
    std::span<const std::int32_t> next(bool inDesign)
    {
        if (read(inDesign))
            checkNearest();
        return m_depth;
    }

private:
    // Whether the levels changed.
    bool read(bool inDesign)
    {
        if (!inDesign) {
            engine::GetDepthRow({}, m_scanWidth, m_depth);
            m_known = false;
            return true;
        }
        ++m_read;
        std::swap(m_row, m_before);
        m_design.colours(m_row);
        const bool changed = !m_known || m_row != m_before;
        if (changed)
            engine::GetDepthRow(m_row, m_scanWidth, m_depth);
        m_known = true;
        return changed;
    }

    int nearestOfRow() const { return *std::max_element(m_depth.begin(), m_depth.end()); }

    void checkNearest()
    {
        const int level = nearestOfRow();
        if (level <= m_nearest)
            return;
        m_nearest = level;
        if (engine::depthReach(m_options.kurikaesi, m_options.rittaido, level, strongestTried(m_options)).fits)
            return;
        while (m_read < m_rows && m_nearest < 15) {
            read(true);
            m_nearest = std::max(m_nearest, nearestOfRow());
        }
        checkReach(m_options, m_nearest);
    }

    DesignRows &m_design;
    int m_scanWidth;
    int m_rows;
    const Options &m_options;
    int m_nearest = -1;  // the nearest level met so far
    int m_read = 0;      // the design rows read
    Row m_row, m_before;
    std::vector<std::int32_t> m_depth;
    bool m_known = false; // m_depth holds the levels of m_row
};

// The smooth depths of the design's rows, over the run's columns (0 beyond the design), each
// nearer depth met checked against the settings as DepthRows checks them.
class SmoothRows
{
public:
    SmoothRows(DesignRows &design, int scanWidth, int rows, const Options &options)
        : m_design(design), m_options(options), m_rows(rows),
          m_row(std::size_t(std::max(design.width(), scanWidth + 1))),
          m_inside(std::size_t(std::min(design.width(), scanWidth + 1))), m_scan(std::size_t(scanWidth) + 1)
    {
    }

    std::span<const std::uint16_t> next(bool inDesign)
    {
        read(inDesign);
        const int z = nearestOfRow();
        if (z > m_nearest) {
            m_nearest = z;
            if (!reach(z).fits) {
                while (m_read < m_rows && m_nearest < engine::kSmoothNear) {
                    read(true);
                    m_nearest = std::max(m_nearest, nearestOfRow());
                }
                checkSmoothReach(m_options, m_nearest);
            }
        }
        return std::span<const std::uint16_t>(m_row).first(m_scan);
    }

private:
    void read(bool inDesign)
    {
        if (inDesign) {
            m_design.depths(m_row);
            ++m_read;
        }
        // Beyond the design, and below it, is outside: the farthest depth.
        std::fill(m_row.begin() + std::ptrdiff_t(inDesign ? m_inside : 0), m_row.begin() + std::ptrdiff_t(m_scan),
                  std::uint16_t(0));
    }

    int nearestOfRow() const { return *std::max_element(m_row.begin(), m_row.begin() + std::ptrdiff_t(m_scan)); }

    engine::DepthReach reach(int z) const
    {
        return engine::smoothDepthReach(m_options.kurikaesi, m_options.rittaido, z, m_options.oversample,
                                        strongestTried(m_options));
    }

    DesignRows &m_design;
    const Options &m_options;
    int m_rows;
    int m_read = 0;
    std::vector<std::uint16_t> m_row;
    std::size_t m_inside; // the run's columns within the design
    std::size_t m_scan;   // the run's columns
    int m_nearest = -1;
};

// Without --depth, a design found to be a grey depth map is read as smooth depth, and said so.
Options withDesignDepth(const Options &options, const DesignRows &design)
{
    if (!design.greyMapFound())
        return options;
    complain(QStringLiteral("the design picture %1 holds greys that are no depth colour and is read as a grey depth "
                            "map (smooth depth); use --depth colours to read it as painted in the depth colours")
                 .arg(quoted(options.design)));
    Options taken = options;
    taken.depth = DepthSource::Grey;
    return taken;
}

engine::SmoothOptions smoothOptions(const Options &options)
{
    return {.oversample = options.oversample,
            .start = options.startCentre ? engine::SmoothStart::Centre : engine::SmoothStart::Left};
}

// A repeat width given in millimetres becomes pixels at the output's resolution; the strength,
// unless given, grows with it from the default 20 at the default repeat width 70, so that the
// depth keeps its proportion to the repeat and looks the same at any resolution.
Options withPrintRepeat(const Options &options, int designWidth)
{
    if (!options.repeatMm)
        return options;
    Options taken = options;
    const long pixels = std::lround(*options.repeatMm / 25.4 * options.dpi);
    if (pixels < 1)
        fail(QStringLiteral("--repeat-mm %1 at %2 dpi is less than a pixel").arg(*options.repeatMm).arg(options.dpi));
    if (pixels > designWidth / 2)
        fail(QStringLiteral("--repeat-mm %1 at %2 dpi is a repeat width of %3 pixels, more than half the design "
                            "picture's width (%4 pixels); use a smaller --repeat-mm or --dpi, or a wider design "
                            "(--scale, --width)")
                 .arg(*options.repeatMm).arg(options.dpi).arg(pixels).arg(designWidth));
    taken.kurikaesi = int(pixels);
    taken.kurikaesiGiven = true;
    if (!options.rittaidoGiven)
        taken.rittaido = int(std::lround(20.0 * double(pixels) / 70.0));
    return taken;
}

// The output file; it appears under its name only when commit() succeeds. With --guides the
// guide band is written first and the file is taller by its rows.
class Output
{
public:
    Output(const Options &options, picture::PictureLayout layout)
        : m_path(options.output), m_name(options.output), m_file(m_name.writtenAs())
    {
        layout.dotsPerMeterX = layout.dotsPerMeterY = int(std::lround(options.dpi / 0.0254));
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

void convertDots(const Options &given)
{
    DesignRows design(given);
    const Options options = withPrintRepeat(withDesignDepth(given, design), design.width());
    const int width = design.width(), height = design.height();
    // The stereo picture is one pixel narrower and shorter than the design: a design of one
    // row or column would give an empty picture, which no file can hold.
    if (width < 2 || height < 2)
        fail(QStringLiteral("the design picture %1 is %2 × %3 pixels; random dot needs at least 2 × 2")
                 .arg(quoted(options.design)).arg(width).arg(height));
    const bool mono = options.mode == Mode::Mono;
    const engine::DotParams params{
        .kurikaesi = options.kurikaesi, .rittaido = options.rittaido, .mitudo = options.mitudo, .mono = mono};
    const std::uint64_t seed = options.seed ? *options.seed : engine::UniformRandom::clockSeed();

    // Black and white dots, or the sixteen dot colours: a colour table holds every picture but
    // one of colour dots oversampled, which are averaged to colours between them. (Oversampled
    // mono dots stay black and white.)
    picture::PictureLayout layout;
    layout.width = width - 1;
    layout.height = height - 1;
    if (mono)
        layout.palette = {engine::DotPalette[0], engine::DotPalette[15]};
    else if (!options.smooth() || options.oversample == 1)
        layout.palette.assign(engine::DotPalette.begin(), engine::DotPalette.end());
    Output output(options, layout);

    const int scanWidth = width - 1;
    Row stereoRow = makeRow(scanWidth);
    if (options.smooth()) {
        SmoothRows depth(design, scanWidth, height, options);
        engine::SmoothDot dots;
        dots.begin(params, smoothOptions(options), scanWidth, seed);
        for (int y = 0; y < height; ++y) {
            const bool drawn = y < height - 1;
            dots.row(depth.next(true), drawn ? std::span<Packed>(stereoRow) : std::span<Packed>{});
            if (drawn)
                output.writeRow(stereoRow);
        }
    } else {
        DepthRows depth(design, scanWidth, height, options);
        engine::RandomDot dots;
        dots.begin(params, scanWidth, seed);
        for (int y = 0; y < height; ++y) {
            const bool drawn = y < height - 1;
            dots.row(depth.next(true), drawn ? std::span<Packed>(stereoRow) : std::span<Packed>{});
            if (drawn)
                output.writeRow(stereoRow);
        }
    }
    design.readRest();
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
            refusePicture(QStringLiteral("field source picture"), options.fieldSource, source, kMaxFieldSourceWidth);
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

// Runs a field conversion (engine::ColourField or engine::SmoothField) over the rows of
// `depth` (DepthRows or SmoothRows).
template <typename Conversion, typename Depth>
void runField(Conversion &conv, Depth &depth, FieldRows &field, int designRows, Output &output)
{
    // A design smaller than the field is outside the picture (no depth) where it ends. (The run
    // also works one row beyond the field, which is never drawn.)
    Row fieldRow = makeRow(field.width()), stereoRow = makeRow(field.width());
    for (int y = 0; y < field.height(); ++y) {
        const auto levels = depth.next(y < designRows);
        field.readRow(y, fieldRow);
        conv.row(levels, fieldRow, stereoRow);
        output.writeRow(stereoRow);
    }
}

void convertFieldPicture(const Options &given)
{
    DesignRows design(given);
    FieldRows field(given, design.width(), design.height());
    const Options options = withTileRepeat(withPrintRepeat(withDesignDepth(given, design), design.width()), field);
    const int width = field.width(), height = field.height();
    picture::PictureLayout layout;
    layout.width = width;
    layout.height = height;
    Output output(options, layout);

    const engine::FieldParams params{.kurikaesi = options.kurikaesi, .rittaido = options.rittaido};
    const int designRows = std::min(design.height(), height);
    if (options.smooth()) {
        SmoothRows depth(design, width, designRows, options);
        engine::SmoothField conv;
        conv.begin(params, smoothOptions(options), width);
        runField(conv, depth, field, designRows, output);
    } else {
        DepthRows depth(design, width, designRows, options);
        engine::ColourField conv;
        conv.begin(params, width);
        runField(conv, depth, field, designRows, output);
    }
    design.readRest();
    output.commit();
}

} // namespace

Options conversionOptions(const Options &given, const DesignRows &design, bool tell, QSize *fieldSize)
{
    Options taken = withPrintRepeat(given, design.width());
    if (tell) {
        taken = withDesignDepth(taken, design);
    } else if (design.greyMapFound()) {
        taken.depth = DepthSource::Grey;
    }
    if (taken.mode != Mode::Field)
        return taken;
    const FieldRows field(taken, design.width(), design.height());
    if (fieldSize)
        *fieldSize = QSize(field.width(), field.height());
    return withTileRepeat(taken, field);
}

void checkDepthReach(const Options &options, int nearest)
{
    if (options.smooth())
        checkSmoothReach(options, nearest);
    else
        checkReach(options, nearest);
}

void convertAndSave(const Options &options)
{
    if (options.mode == Mode::Field)
        convertFieldPicture(options);
    else
        convertDots(options);
}

} // namespace lumivex::cli
