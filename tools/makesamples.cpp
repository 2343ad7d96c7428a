// lumivex-makesamples: paints the sample pictures shipped in resources/samples.
//
//     lumivex-makesamples FOLDER
//
// Design pictures use only the sixteen depth colours, painted without antialiasing, and are
// stored with those colours as their palette (index = depth level). Tiles (tile-*) are small
// patterns that the wizard repeats into a field; field pictures (field-*) are ready fields of a
// sample design's size, with no repeat of their own. Both are colourful and free of pure
// black, which a colour-field link never carries.

#include "picture/picture.h"
#include "engine/depth.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

using lumivex::picture::unpackPixel;
using lumivex::engine::DepthPalette;

QColor level(int depth)
{
    return QColor::fromRgb(unpackPixel(DepthPalette[static_cast<std::size_t>(depth)]));
}

QImage canvas(int width, int height, int background)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(level(background));
    return image;
}

// Block letters, 5 × 7 cells each: fonts differ between machines, these do not.
struct Glyph
{
    char letter;
    std::array<const char *, 7> rows;
};

constexpr std::array<Glyph, 9> kGlyphs = {{
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
}};

/// Draws text in block letters of cell × cell squares with its top-left corner at (x, y).
void drawWord(QPainter &painter, const char *text, int x, int y, int cell, int depth)
{
    for (; *text; ++text, x += 6 * cell) {
        for (const Glyph &glyph : kGlyphs) {
            if (glyph.letter != *text)
                continue;
            for (int row = 0; row < 7; ++row) {
                for (int col = 0; col < 5; ++col) {
                    if (glyph.rows[static_cast<std::size_t>(row)][col] == '#')
                        painter.fillRect(x + col * cell, y + row * cell, cell, cell, level(depth));
                }
            }
        }
    }
}

int wordWidth(const char *text, int cell)
{
    return static_cast<int>(std::strlen(text)) * 6 * cell - cell;
}

void setDepth(QPainter &painter, int depth)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(level(depth));
}

QImage shapes()
{
    QImage image = canvas(640, 400, 0);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    setDepth(painter, 5);
    painter.drawEllipse(QPoint(170, 200), 130, 130);
    setDepth(painter, 9);
    painter.drawEllipse(QPoint(170, 200), 70, 70);
    setDepth(painter, 15);
    painter.drawEllipse(QPoint(170, 200), 25, 25);
    setDepth(painter, 3);
    painter.drawRect(350, 60, 240, 140);
    setDepth(painter, 11);
    painter.drawRect(390, 90, 160, 80);
    setDepth(painter, 13);
    painter.drawPolygon(QPolygon({QPoint(470, 230), QPoint(590, 360), QPoint(350, 360)}));
    setDepth(painter, 7);
    painter.drawRect(40, 360, 260, 20);
    return image;
}

QImage lettering()
{
    QImage image = canvas(800, 600, 2);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    setDepth(painter, 7);
    painter.drawRect(100, 120, 600, 200);
    const int cell = 12;
    drawWord(painter, "LUMIVEX", (800 - wordWidth("LUMIVEX", cell)) / 2, 178, cell, 14);
    drawWord(painter, "3D", (800 - wordWidth("3D", 20)) / 2, 370, 20, 11);
    const std::array<int, 4> corners = {4, 8, 12, 15};
    for (int i = 0; i < 4; ++i) {
        setDepth(painter, corners[static_cast<std::size_t>(i)]);
        painter.drawEllipse(QPoint(i % 2 ? 720 : 80, i / 2 ? 530 : 70), 45, 45);
    }
    return image;
}

// A stepped pyramid through all sixteen levels, farthest at the border.
QImage steps()
{
    QImage image = canvas(640, 480, 0);
    QPainter painter(&image);
    for (int depth = 1; depth < 16; ++depth) {
        const int inset = 15 * depth;
        painter.fillRect(inset, inset, 640 - 2 * inset, 480 - 2 * inset, level(depth));
    }
    return image;
}

QImage checks()
{
    QImage image(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool odd = ((x / 8) + (y / 8)) % 2;
            const int hue = ((x + y) * 360 / 128 + (odd ? 180 : 0)) % 360;
            image.setPixel(x, y, QColor::fromHsv(hue, odd ? 200 : 120, odd ? 230 : 250).rgb());
        }
    }
    return image;
}

QImage waves()
{
    QImage image(120, 90, QImage::Format_RGB32);
    for (int y = 0; y < 90; ++y) {
        for (int x = 0; x < 120; ++x) {
            const double wave = std::sin((x * 2 * std::numbers::pi) / 120.0) * 12.0;
            const int band = static_cast<int>(std::floor((y + wave + 90) / 10.0));
            const int hue = (band * 47 + x) % 360;
            image.setPixel(x, y, QColor::fromHsv(hue, 180 + (band % 3) * 25, 200 + (band % 2) * 40).rgb());
        }
    }
    return image;
}

// Coloured spots on a pale ground, 200 pixels wide: the widest field source allowed.
QImage confetti()
{
    QImage image(200, 50, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(245, 240, 225));
    std::uint32_t state = 20240607u;
    const auto next = [&state](std::uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % range);
    };
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 90; ++i) {
        painter.setBrush(QColor::fromHsv(next(360), 150 + next(100), 150 + next(100)));
        const int r = 2 + next(5);
        painter.drawEllipse(QPoint(next(200), next(50)), r, r);
    }
    return image;
}

// A small deterministic generator, so that every machine paints the same samples.
class Dice
{
public:
    explicit Dice(std::uint32_t seed) : m_state(seed) {}
    int next(std::uint32_t range)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<int>((m_state >> 8) % range);
    }

private:
    std::uint32_t m_state;
};

// Pebbles: flat cells around points jittered on a 24-pixel grid (each pixel takes the nearest
// point's colour), with a pale seam where two cells meet. Nothing in it repeats.
QImage pebbles(int width, int height, std::uint32_t seed)
{
    constexpr int kCell = 24;
    const int columns = width / kCell + 2, rows = height / kCell + 2;
    struct Pebble
    {
        int x, y;
        QRgb colour;
    };
    std::vector<Pebble> points;
    Dice dice(seed);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int x = column * kCell + dice.next(kCell), y = row * kCell + dice.next(kCell);
            points.push_back({x, y, QColor::fromHsv(dice.next(360), 90 + dice.next(120), 150 + dice.next(100)).rgb()});
        }
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int nearest = -1, best = 0, second = 0;
            for (int row = y / kCell - 1; row <= y / kCell + 1; ++row) {
                for (int column = x / kCell - 1; column <= x / kCell + 1; ++column) {
                    if (row < 0 || column < 0 || row >= rows || column >= columns)
                        continue;
                    const Pebble &p = points[static_cast<std::size_t>(row * columns + column)];
                    const int d = (p.x - x) * (p.x - x) + (p.y - y) * (p.y - y);
                    if (nearest < 0 || d < best) {
                        second = nearest < 0 ? d : best;
                        best = d;
                        nearest = row * columns + column;
                    } else if (d < second) {
                        second = d;
                    }
                }
            }
            const bool seam = std::sqrt(double(second)) - std::sqrt(double(best)) < 1.5;
            image.setPixel(x, y, seam ? qRgb(236, 232, 220) : points[static_cast<std::size_t>(nearest)].colour);
        }
    }
    return image;
}

// Confetti as the tile has it, spread over a whole field without repeating.
QImage confettiField(int width, int height, std::uint32_t seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(245, 240, 225));
    Dice dice(seed);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < width * height / 110; ++i) {
        painter.setBrush(QColor::fromHsv(dice.next(360), 150 + dice.next(100), 150 + dice.next(100)));
        const int r = 2 + dice.next(5);
        painter.drawEllipse(QPoint(dice.next(std::uint32_t(width)), dice.next(std::uint32_t(height))), r, r);
    }
    return image;
}

bool onlyDepthColours(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const auto packed = lumivex::picture::packPixel(image.pixel(x, y));
            if (std::find(DepthPalette.begin(), DepthPalette.end(), packed) == DepthPalette.end())
                return false;
        }
    }
    return true;
}

bool noBlack(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qRgb(0, 0, 0) == (image.pixel(x, y) | 0xff000000u))
                return false;
        }
    }
    return true;
}

bool saveDesign(const QImage &image, const QString &path)
{
    if (!onlyDepthColours(image))
        return false;
    QList<QRgb> table;
    for (const auto colour : DepthPalette)
        table << unpackPixel(colour);
    // Palette index = depth level; every colour is in the table, so the mapping is exact.
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither);
    return indexed.convertToFormat(QImage::Format_RGB32) == image && indexed.save(path);
}

bool saveTile(const QImage &image, const QString &path)
{
    return image.width() <= 200 && noBlack(image) && image.save(path);
}

bool saveField(const QImage &image, const QString &path)
{
    return noBlack(image) && image.save(path);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: lumivex-makesamples FOLDER\n", stderr);
        return 2;
    }
    const QDir folder(args[1]);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "lumivex-makesamples: cannot create %s\n", qPrintable(args[1]));
        return 1;
    }
    const bool ok = saveDesign(shapes(), folder.filePath(QStringLiteral("design-shapes.bmp")))
        && saveDesign(lettering(), folder.filePath(QStringLiteral("design-lumivex.bmp")))
        && saveDesign(steps(), folder.filePath(QStringLiteral("design-steps.png")))
        && saveTile(checks(), folder.filePath(QStringLiteral("tile-checks.bmp")))
        && saveTile(waves(), folder.filePath(QStringLiteral("tile-waves.bmp")))
        && saveTile(confetti(), folder.filePath(QStringLiteral("tile-confetti.bmp")))
        // One ready field for each design's size: design-shapes, design-lumivex, design-steps.
        && saveField(pebbles(640, 400, 17u), folder.filePath(QStringLiteral("field-pebbles-640x400.png")))
        && saveField(confettiField(800, 600, 20240607u), folder.filePath(QStringLiteral("field-confetti-800x600.png")))
        && saveField(pebbles(640, 480, 29u), folder.filePath(QStringLiteral("field-pebbles-640x480.png")));
    if (!ok) {
        std::fputs("lumivex-makesamples: a sample could not be made or written\n", stderr);
        return 1;
    }
    return 0;
}
