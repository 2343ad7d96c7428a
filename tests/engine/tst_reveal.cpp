// The reveal turns our own stereograms back into the depth they were made from, and the guide
// band puts its dots exactly one repeat width apart.

#include "designs.h"

#include "engine/colourfield.h"
#include "engine/depth.h"
#include "engine/guides.h"
#include "engine/packedimage.h"
#include "engine/randomdot.h"
#include "engine/reveal.h"
#include "engine/smoothdepth.h"
#include "sirds.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <set>

using namespace lumivex::engine;

namespace {

enum class Kind { Mono, Colour, Field };

// A 4 × 4 grid of blocks over a far background, a block at each of the given levels (cycled),
// kept clear of the last repeat width, whose depth no stereogram holds. The background beside
// the blocks is wider than the surface a block hides to its left, so that some of it stays in
// view.
PackedImage blocks(int width, int height, const std::vector<int> &levels, int kurikaesi)
{
    constexpr int margin = 48, inset = 28;
    const int cellWidth = (width - margin - kurikaesi - 20) / 4, cellHeight = height / 4;
    return designs::make(width, height, [&](int x, int y) {
        const int i = (x - margin) / cellWidth, j = y / cellHeight, u = (x - margin) % cellWidth;
        const bool inside = x >= margin && i < 4 && u >= inset && u < cellWidth - inset && y % cellHeight >= inset
            && y % cellHeight < cellHeight - inset;
        return DepthPalette[inside ? levels[std::size_t(4 * j + i) % levels.size()] : 0];
    });
}

PackedImage stereogram(Kind kind, const PackedImage &design, int kurikaesi, int rittaido)
{
    // A field picture as large as the design: one tiled from a small picture repeats on its
    // own, where no link reaches and beside gaps, which the reveal rightly reads as surfaces.
    if (kind == Kind::Field)
        return convertField(design, designs::field(design.width, design.height, 5, 0), {kurikaesi, rittaido});
    return convertRandomDot(design, {kurikaesi, rittaido, 30, kind == Kind::Mono}, 11);
}

// Every channel moved by up to ±amount, as a scan moves it.
PackedImage withNoise(PackedImage picture, int amount)
{
    std::mt19937 gen(9);
    const auto move = [&](int v) { return std::clamp(v + int(gen() % (2 * amount + 1)) - amount, 0, 255); };
    for (Packed &c : picture.pixels)
        c = pack(move(redOf(c)), move(greenOf(c)), move(blueOf(c)));
    return picture;
}

// The repeat distance of each level of the design, nearest (smallest) last.
std::vector<int> distancesOf(const PackedImage &design, int kurikaesi, int rittaido)
{
    std::set<int, std::greater<>> distances;
    for (const Packed c : design.pixels)
        distances.insert(kurikaesi - depthShift(depthFactor(rittaido), depthLevel(c)));
    return {distances.begin(), distances.end()};
}

// The distance the reveal should find at each pixel of a picture of the given width: a pixel's
// own where its link to the right survives in the picture; where a later link overwrote it
// (a surface hidden behind a nearer one), or where it points beyond the picture, the one to its
// left.
PackedImage expectedDistances(const PackedImage &design, int width, int height, int kurikaesi, int rittaido)
{
    PackedImage expected(width, height);
    std::vector<int> distance(static_cast<std::size_t>(width)), writer(static_cast<std::size_t>(width) + 1024);
    for (int y = 0; y < height; ++y) {
        std::fill(writer.begin(), writer.end(), -1);
        for (int x = 0; x < width; ++x) {
            distance[std::size_t(x)] = kurikaesi - depthShift(depthFactor(rittaido), depthLevel(design.at(x, y)));
            writer[std::size_t(x + distance[std::size_t(x)])] = x;
        }
        int first = 0;
        const auto seen = [&](int x) { return x + distance[std::size_t(x)] < width && writer[std::size_t(x + distance[std::size_t(x)])] == x; };
        while (!seen(first))
            ++first;
        for (int x = 0; x < width; ++x)
            expected.row(y)[x] = x < first ? distance[std::size_t(first)] : seen(x) ? distance[std::size_t(x)] : expected.row(y)[x - 1];
    }
    return expected;
}

// Whether the expected distance changes within a few pixels of (x, y): a window there reaches
// across an edge.
bool nearEdge(const PackedImage &expected, int x, int y)
{
    const Packed d = expected.at(x, y);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
            const Packed n = expected.at(x + dx, y + dy);
            if (n != kOutside && n != d)
                return true;
        }
    }
    return false;
}

// Spearman's rank correlation, ties ranked alike (at their mean rank).
double rankCorrelation(const std::vector<double> &a, const std::vector<double> &b)
{
    const auto ranks = [](std::vector<double> v) {
        std::vector<double> sorted = v;
        std::sort(sorted.begin(), sorted.end());
        for (double &x : v) {
            const auto [first, end] = std::equal_range(sorted.begin(), sorted.end(), x);
            x = double(first - sorted.begin() + end - sorted.begin() - 1) / 2 - double(v.size() - 1) / 2;
        }
        return v;
    };
    const std::vector<double> ra = ranks(a), rb = ranks(b);
    const auto dot = [](const std::vector<double> &u, const std::vector<double> &v) {
        return std::inner_product(u.begin(), u.end(), v.begin(), 0.0);
    };
    return dot(ra, rb) / std::sqrt(dot(ra, ra) * dot(rb, rb));
}

// Our smooth colour dots (K 70, strength 1.0, unless told) over width depths a row of 0 to 1.
PackedImage smoothDots(const std::vector<float> &depth, int oversample, int rittaido = 10, int k = 70, bool mono = false, int width = 640)
{
    SmoothDot dots;
    dots.begin({k, rittaido, mono ? 30 : 40, mono}, {oversample, SmoothStart::Left}, width - 1, 5);
    PackedImage out(width - 1, int(depth.size()) / width);
    std::vector<std::uint16_t> row(static_cast<std::size_t>(width));
    for (int y = 0; y < out.height; ++y) {
        std::transform(depth.begin() + y * width, depth.begin() + (y + 1) * width, row.begin(), [](float z) { return std::uint16_t(z * kSmoothNear); });
        dots.row(row, out.row(y));
    }
    return out;
}

} // namespace

class TstReveal : public QObject
{
    Q_OBJECT

private slots:
    void recoversTheDepthOfOurPictures_data();
    void recoversTheDepthOfOurPictures();
    void hiddenSurfacesTakeTheDepthToTheirLeft();
    void readsClassicStereograms_data();
    void readsClassicStereograms();
    void readsMonoDotsBuiltFinerAtAWideRepeat();
    void leavesGuideBandsOut_data();
    void leavesGuideBandsOut();
    void refusesPicturesWithoutRepeat_data();
    void refusesPicturesWithoutRepeat();
    void guideDotsOneRepeatApart_data();
    void guideDotsOneRepeatApart();
};

void TstReveal::recoversTheDepthOfOurPictures_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<std::vector<int>>("levels");
    QTest::addColumn<int>("kurikaesi");
    QTest::addColumn<int>("rittaido");
    QTest::addColumn<int>("noise");
    QTest::addColumn<bool>("given");

    std::vector<int> all(16);
    for (int i = 0; i < 16; ++i)
        all[std::size_t(i)] = i;
    QTest::newRow("mono, all sixteen levels") << Kind::Mono << all << 70 << 20 << 0 << false;
    QTest::newRow("mono, strength 3.5, nearest at a quarter") << Kind::Mono << all << 70 << 35 << 0 << false;
    QTest::newRow("colour, all sixteen levels") << Kind::Colour << all << 70 << 20 << 0 << false;
    QTest::newRow("field, all sixteen levels") << Kind::Field << all << 70 << 20 << 0 << false;
    QTest::newRow("mono, four levels, wide repeat") << Kind::Mono << std::vector<int>{3, 7, 12} << 150 << 30 << 0 << false;
    QTest::newRow("colour, levels one pixel apart") << Kind::Colour << std::vector<int>{1, 2, 9} << 90 << 10 << 0 << false;
    QTest::newRow("field, five levels, repeat given") << Kind::Field << std::vector<int>{2, 5, 8, 15} << 110 << 30 << 0 << true;
    QTest::newRow("mono, scanned") << Kind::Mono << all << 70 << 20 << 24 << false;
    QTest::newRow("colour, scanned") << Kind::Colour << std::vector<int>{4, 10, 15} << 100 << 25 << 16 << false;
    QTest::newRow("field, scanned") << Kind::Field << all << 80 << 20 << 10 << false;
}

void TstReveal::recoversTheDepthOfOurPictures()
{
    QFETCH(Kind, kind);
    QFETCH(std::vector<int>, levels);
    QFETCH(int, kurikaesi);
    QFETCH(int, rittaido);
    QFETCH(int, noise);
    QFETCH(bool, given);

    const PackedImage design = blocks(800, 480, levels, kurikaesi);
    PackedImage picture = stereogram(kind, design, kurikaesi, rittaido);
    if (noise > 0)
        picture = withNoise(std::move(picture), noise);
    const Reveal reveal = lumivex::engine::reveal(picture, {given ? kurikaesi : 0});
    QVERIFY(reveal.ok());
    const std::vector<int> expected = distancesOf(design, kurikaesi, rittaido);
    QCOMPARE(reveal.repeatWidth, kurikaesi);
    QVERIFY(reveal.sure && (given || findRepeat(picture) == (RepeatFound{kurikaesi, true})));  // the survey alone, as printing needs it
    QCOMPARE(reveal.distances, expected);
    QCOMPARE(reveal.depth.width, picture.width);
    QCOMPARE(reveal.depth.height, picture.height);

    // Black far, white near, evenly spaced: sixteen levels read back as 17 × level.
    const int n = int(expected.size());
    std::map<int, int> greyOf;
    for (int i = 0; i < n; ++i)
        greyOf[expected[std::size_t(i)]] = (255 * i + (n - 1) / 2) / (n - 1);
    if (n == 16) {
        for (int level = 0; level < 16; ++level)
            QCOMPARE(greyOf[kurikaesi - depthShift(depthFactor(rittaido), level)], 17 * level);
    }
    const PackedImage distances = expectedDistances(design, picture.width, picture.height, kurikaesi, rittaido);
    long wrong = 0, wrongAway = 0, away = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const bool isAway = !nearEdge(distances, x, y);
            away += isAway;
            if (reveal.depth.at(x, y) != greyOf[distances.at(x, y)]) {
                ++wrong;
                wrongAway += isAway;
            }
        }
    }
    // Wrong pixels lie at depth edges, where a window reaches across: here 0.5 to 0.9 % of the
    // picture (these edge-laden designs have eight edges on most rows), at most 1.5 %; away
    // from edges 0 to 0.05 %, at most 0.1 %. At strength 3.5, 1.6 % and 0.9 % (of the 52 pixels
    // a near block hides, part is read as the nearer block beside): at most 3 % and 1.5 %.
    const double pixels = double(picture.width) * picture.height, strong = rittaido > 30 ? 2 : 1;
    QVERIFY2(wrong < 0.015 * strong * pixels, qPrintable(QStringLiteral("%1 wrong pixels").arg(wrong)));
    QVERIFY2(wrongAway < away / (strong > 1 ? 66 : 1000), qPrintable(QStringLiteral("%1 wrong away from edges").arg(wrongAway)));
}

void TstReveal::hiddenSurfacesTakeTheDepthToTheirLeft()
{
    // A near block in the middle (shift 30 at Rittaido 20) and one reaching the right border.
    const PackedImage design = designs::make(640, 200, [](int x, int y) {
        return DepthPalette[(x >= 200 && x < 400 && y >= 50 && y < 150) || (x >= 520 && y >= 80) ? 15 : 0];
    });
    const Reveal reveal = lumivex::engine::reveal(stereogram(Kind::Mono, design, 70, 20));
    QVERIFY(reveal.ok());
    QCOMPARE(reveal.distances, (std::vector<int>{70, 40}));
    for (int y = 55; y < 145; ++y) {
        // The background left of the block, 30 pixels of it seen by the left eye only, is
        // background to the last pixel but one: no stray depths.
        for (int x = 0; x < 198; ++x)
            QVERIFY2(reveal.depth.at(x, y) == 0, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
        for (int x = 203; x < 397; ++x)
            QVERIFY2(reveal.depth.at(x, y) == 255, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
    }
    // The last repeat width, whose partners would lie beyond the picture, continues the block.
    for (int y = 90; y < reveal.depth.height; ++y) {
        for (int x = 525; x < reveal.depth.width; ++x)
            QVERIFY2(reveal.depth.at(x, y) == 255, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
    }
}

void TstReveal::readsClassicStereograms_data()
{
    QTest::addColumn<int>("surface");  // a dome, a slope from far (left) to near, four steps, our ramp, our half sphere, the ramp at 2.0
    QTest::addColumn<bool>("texture");
    QTest::addColumn<int>("oversample");
    QTest::addColumn<int>("jpeg");  // quality of a JPEG copy, 0 for none
    QTest::addColumn<int>("scale"); // times as wide, as many times fewer rows, the repeat width given
    QTest::newRow("dome, dots") << 0 << false << 1 << 0 << 1;
    QTest::newRow("dome, texture 4x, JPEG") << 0 << true << 4 << 75 << 1;
    QTest::newRow("slope, texture") << 1 << true << 1 << 0 << 1;
    QTest::newRow("slope, texture 4x") << 1 << true << 4 << 0 << 1;
    QTest::newRow("slope, dots 4x") << 1 << false << 4 << 0 << 1;
    QTest::newRow("steps, dots, JPEG") << 2 << false << 1 << 75 << 1;
    QTest::newRow("steps, texture 4x") << 2 << true << 4 << 0 << 1;
    QTest::newRow("ramp row by row, our dots 4x") << 3 << false << 4 << 0 << 1;
    QTest::newRow("half sphere, steep rim, our dots") << 4 << false << 1 << 0 << 1;
    QTest::newRow("slope, dots, repeat 2340 (print resolution)") << 1 << false << 1 << 0 << 26;
    // The ramp at the default strength: its nearer rows, repeating between two pixels, were read as a far surface.
    QTest::newRow("ramp row by row, our dots 4x, default strength") << 5 << false << 4 << 0 << 1;
}

// Classic stereograms, compared where a link starts, short of the last repeat width.
void TstReveal::readsClassicStereograms()
{
    QFETCH(int, surface);
    QFETCH(bool, texture);
    QFETCH(int, oversample);
    QFETCH(int, jpeg);
    QFETCH(int, scale);
    const int width = 640 * scale, rittaido = surface >= 4 ? 20 : 10;
    std::vector<float> depth, truth;
    for (int i = 0; i < width * (320 / scale); ++i) {
        const int x = i % width, y = i / width, r2 = (x - 270) * (x - 270) + (y - 160) * (y - 160);
        depth.push_back(float(surface == 4   ? std::sqrt(std::max(0.0, 1 - r2 / 25600.0))
                              : surface == 0 ? std::max(0.0, 1 - r2 / 25600.0)
                              : surface == 1 ? x / (width - 1.0)
                              : surface == 2 ? std::min(x / 140, 3) / 3.0
                                             : y / 319.0));
    }
    const PackedImage picture = surface >= 3 ? smoothDots(depth, oversample, rittaido)
                                             : sirds::draw(width, depth, 180 * scale, oversample, texture, truth);
    if (surface >= 3)
        truth = depth;
    const Reveal reveal = lumivex::engine::reveal(jpeg > 0 ? sirds::jpegCopy(picture, jpeg) : picture, {scale > 1 ? 90 * scale : 0});
    QVERIFY(reveal.ok());
    QVERIFY(reveal.sure);
    std::vector<double> expected, found, stepSum(4), stepCount(4);
    for (std::size_t i = 0; i < truth.size(); ++i) {
        if (truth[i] >= 0 && int(i % width) < width - 90 * scale) {
            expected.push_back(truth[i]), found.push_back(reveal.depth.at(int(i % width), int(i / width)));
            stepSum[std::size_t(std::lround(truth[i] * 3))] += found.back(), ++stepCount[std::size_t(std::lround(truth[i] * 3))];
        }
    }
    for (std::size_t i = 1; surface == 2 && i < 4; ++i)
        QVERIFY(stepSum[i - 1] / stepCount[i - 1] < stepSum[i] / stepCount[i]);  // in their order
    // Our ramp: each row's median grey, white on the nearest row, and q times as many distinct
    // steps as whole pixels give (a stray surface read far nearer would grey the whole ramp).
    const auto medians = [](const Reveal &r) {
        std::vector<int> m;
        for (int y = 0; y < r.depth.height; ++y) {
            std::vector<int> row(r.depth.row(y).begin(), r.depth.row(y).begin() + 550);
            std::nth_element(row.begin(), row.begin() + 275, row.end());
            m.push_back(row[275]);
        }
        return std::pair(m.back(), std::set<int>(m.begin(), m.end()).size() - 1);
    };
    const auto [nearest, steps] = surface % 2 == 1 && surface > 1 ? medians(reveal) : std::pair(255, std::size_t(60));
    const std::size_t levels = std::size_t(15 * rittaido / 10);  // whole-pixel distances over the ramp
    const std::size_t whole = surface % 2 == 1 && surface > 1 ? medians(lumivex::engine::reveal(smoothDots(depth, 1, rittaido))).second : levels;
    QVERIFY2(nearest >= 240 && whole - levels <= 1 && steps >= std::size_t(oversample) * whole, qPrintable(QString::number(steps)));
    const double rho = rankCorrelation(expected, found);
    const std::size_t greys = std::set<double>(found.begin(), found.end()).size();  // a slope, when built finer
    const double least = surface == 5 ? 0.99 : 0.95;  // as with its repeat width given
    // A slope built finer is smooth along its rows, not saw-teeth (refined towards the wrong neighbour: the rank correlation
    // hardly sees it) nor steps: a column's mean strays from its 33 columns' by about 1 grey (saw-teeth 2.5, steps 4).
    std::vector<double> column(std::size_t(width - 90 * scale), 0.0);
    for (std::size_t i = 0; surface == 1 && oversample > 1 && i < reveal.depth.pixels.size(); ++i) {
        if (const std::size_t x = i % std::size_t(width); x < column.size())
            column[x] += reveal.depth.pixels[i] / double(reveal.depth.height);
    }
    double squares = 0;
    for (std::size_t x = 20; x + 20 < column.size(); ++x)
        squares += std::pow(column[x] - std::accumulate(&column[x - 16], &column[x + 17], 0.0) / 33, 2);
    QVERIFY2(squares < 1.6 * 1.6 * double(column.size() - 40), qPrintable(QString::number(std::sqrt(squares / double(column.size() - 40)))));
    QVERIFY2(surface == 2 || (rho >= least && (oversample == 1 || greys >= 64)), qPrintable(QString::number(rho)));
}

void TstReveal::readsMonoDotsBuiltFinerAtAWideRepeat()
{
    std::vector<float> depth(2000 * 800);  // a dome at print resolution: repeat 354, strength 10.1
    std::vector<double> expected, found;
    for (std::size_t i = 0; i < depth.size(); ++i)
        depth[i] = float(std::max(0.0, 1 - (std::pow(i % 2000 - 844.0, 2) + std::pow(i / 2000 - 400.0, 2)) / 250000));
    const Reveal reveal = lumivex::engine::reveal(smoothDots(depth, 4, 101, 354, true, 2000));
    for (std::size_t i = 0; i < depth.size(); i += 7) {
        if (i % 2000 < 2000 - 354)
            expected.push_back(depth[i]), found.push_back(reveal.depth.at(int(i % 2000), int(i / 2000)));
    }
    QVERIFY(rankCorrelation(expected, found) >= 0.95);
}

void TstReveal::leavesGuideBandsOut_data()
{
    QTest::addColumn<PackedImage>("picture");
    QTest::addColumn<int>("band");  // rows above the stereogram
    QTest::addColumn<bool>("sure");

    const PackedImage design = blocks(800, 480, {3, 9, 15}, 90);
    std::mt19937 gen(4);
    std::vector<Packed> blotches(64);  // a field of soft blotches, as a photograph of leaves gives
    std::generate(blotches.begin(), blotches.end(), [&] { return Packed(gen() & 0xffffff); });
    std::vector<float> steps(640 * 320), truth;
    for (std::size_t i = 0; i < steps.size(); ++i)
        steps[i] = float(std::min<std::size_t>(i % 640 / 140, 3)) / 3;
    const std::pair<const char *, PackedImage> pictures[] = {
        {"mono dots", stereogram(Kind::Mono, design, 90, 20)}, {"colour dots", stereogram(Kind::Colour, design, 90, 20)},
        {"colour field", stereogram(Kind::Field, design, 90, 20)},
        {"colour field of soft blotches", convertField(design, designs::make(800, 480, [&](int x, int y) {
             return blotches[std::size_t((x / 6 * 7 + y / 5 * 13 + x * y / 97) % 64)]; }), {90, 20})},
        {"classic dots", sirds::draw(640, steps, 180, 1, false, truth)}, {"classic texture", sirds::draw(640, steps, 180, 1, true, truth)}};
    // Above the picture: our guide band; another program's marks, two white squares on black; a
    // caption that repeats nowhere (noise); noise over three times the picture's rows.
    const char *kinds[] = {"our guide band", "marks on black", "a caption", "noise over three quarters (unsure)"};
    for (int kind = 0; kind < 4; ++kind) {
        for (const auto &[name, picture] : pictures) {
            const int rows = kind == 0 ? guideBand(picture.width, picture.height, 90).height : kind == 3 ? 3 * picture.height : 24;
            const PackedImage marked = kind == 0 ? withGuideBand(picture, 90) : designs::make(picture.width, picture.height + rows, [&](int x, int y) {
                const bool mark = y >= 8 && y < 16 && (std::abs(x - 300) < 4 || std::abs(x - 390) < 4);
                return y >= rows ? picture.at(x, y - rows) : kind >= 2 ? Packed(gen() & 0xffffff) : mark ? Packed(0xffffff) : Packed(0);
            });
            QTest::addRow("%s, %s", name, kinds[kind]) << marked << rows << (kind < 3);
        }
    }
}

// Rows that repeat nowhere are left out: the depth below them is the stereogram's own, theirs
// the first row's below them; the repeat is found, sure unless most rows repeat nowhere.
void TstReveal::leavesGuideBandsOut()
{
    QFETCH(PackedImage, picture);
    QFETCH(int, band);
    QFETCH(bool, sure);

    const Reveal reveal = lumivex::engine::reveal(picture);
    QVERIFY(reveal.ok() && reveal.repeatWidth == 90 && reveal.sure == sure && findRepeat(picture) == (RepeatFound{90, sure}));
    PackedImage below(picture.width, picture.height - band);
    std::copy(picture.pixels.begin() + std::ptrdiff_t(band) * picture.width, picture.pixels.end(), below.pixels.begin());
    const Reveal unmarked = lumivex::engine::reveal(below);
    QCOMPARE(reveal.distances, unmarked.distances);
    // (A caption's rows are surveyed with the others: a match's tolerance may differ a little.)
    const auto differ = std::inner_product(unmarked.depth.pixels.begin(), unmarked.depth.pixels.end(), reveal.depth.row(band).begin(),
                                           0L, std::plus<>(), std::not_equal_to<>());
    QVERIFY2(differ * (sure ? 1000 : 100) <= long(unmarked.depth.pixels.size()), qPrintable(QString::number(differ)));
    for (int y = 0; y < band; ++y)
        QVERIFY(std::equal(reveal.depth.row(y).begin(), reveal.depth.row(y).end(), reveal.depth.row(band).begin()));
}

void TstReveal::refusesPicturesWithoutRepeat_data()
{
    QTest::addColumn<PackedImage>("picture");
    QTest::addColumn<int>("kurikaesi");
    QTest::addColumn<RevealProblem>("problem");

    std::mt19937 gen(3);
    const auto random = [&](bool mono) {
        return designs::make(640, 400, [&](int, int) { return mono ? (gen() % 10 < 3 ? 0xffffff : 0) : Packed(gen() & 0xffffff); });
    };
    const PackedImage dots = stereogram(Kind::Mono, blocks(640, 400, {5, 9}, 70), 70, 20);
    QTest::newRow("black and white noise") << random(true) << 0 << RevealProblem::NoRepeat;
    QTest::newRow("colour noise") << random(false) << 0 << RevealProblem::NoRepeat;
    QTest::newRow("photograph") << designs::make(640, 400, [](int x, int y) {
        return pack((x * 7 + y * 3) / 10 % 256, (x * x / 900 + y) % 256, 100 + (x * y) % 61);
    }) << 0 << RevealProblem::NoRepeat;
    QTest::newRow("one colour") << designs::flat(640, 400, 7) << 0 << RevealProblem::NoRepeat;
    QTest::newRow("narrower than any repeat") << designs::flat(kMinRevealWidth - 1, 400, 7) << 0 << RevealProblem::TooSmall;
    QTest::newRow("noise at a given width") << random(true) << 70 << RevealProblem::NoRepeatAtWidth;
    QTest::newRow("a stereogram at half its width") << dots << 34 << RevealProblem::NoRepeatAtWidth;
    QTest::newRow("a width too small") << dots << kMinRevealRepeat - 1 << RevealProblem::NoRepeatAtWidth;
}

void TstReveal::refusesPicturesWithoutRepeat()
{
    QFETCH(PackedImage, picture);
    QFETCH(int, kurikaesi);
    QFETCH(RevealProblem, problem);

    const Reveal reveal = lumivex::engine::reveal(picture, {kurikaesi});
    QCOMPARE(reveal.problem, problem);
    QVERIFY(reveal.depth.pixels.empty());
    QVERIFY(kurikaesi > 0 || findRepeat(picture) == RepeatFound{});
}

void TstReveal::guideDotsOneRepeatApart_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("kurikaesi");
    QTest::addColumn<int>("bandHeight");

    QTest::newRow("1024 × 768, repeat 70") << 1024 << 768 << 70 << 38;
    QTest::newRow("short picture: 16 rows") << 640 << 100 << 90 << 16;
    QTest::newRow("odd width and repeat") << 801 << 600 << 81 << 30;
    QTest::newRow("tall picture, narrow repeat") << 300 << 2000 << 12 << 100;
    QTest::newRow("repeat wider than the picture") << 100 << 320 << 150 << 16;
}

void TstReveal::guideDotsOneRepeatApart()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, kurikaesi);
    QFETCH(int, bandHeight);

    const PackedImage picture = designs::noise(width, height, 7);
    const PackedImage guided = withGuideBand(picture, kurikaesi);
    QCOMPARE(guided.width, width);
    QCOMPARE(guided.height, height + bandHeight);
    QVERIFY(std::equal(picture.pixels.begin(), picture.pixels.end(), guided.pixels.begin() + std::ptrdiff_t(width) * bandHeight));

    // The dark pixels of each half of the band: round dots, their centres (the mean position of
    // their pixels) one repeat apart and centred on the picture.
    struct Dot { long long sumX = 0, sumY = 0, count = 0; int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1; };
    Dot dots[2];
    const GuideBand band = guideBand(width, height, kurikaesi);
    for (int y = 0; y < bandHeight; ++y) {
        for (int x = 0; x < width; ++x) {
            const Packed c = guided.row(y)[x];
            QVERIFY(c == kGuideBackground || c == kGuideDot);
            if (c != kGuideDot)
                continue;
            Dot &dot = dots[2 * x >= band.leftX + band.rightX];
            dot.sumX += x, dot.sumY += y, ++dot.count;
            dot.left = std::min(dot.left, x), dot.right = std::max(dot.right, x);
            dot.top = std::min(dot.top, y), dot.bottom = std::max(dot.bottom, y);
        }
    }
    QCOMPARE(band.rightX - band.leftX, kurikaesi);
    QVERIFY(band.leftX + band.rightX == width - 1 || band.leftX + band.rightX == width - 2);
    for (const Dot &dot : dots) {
        if (kurikaesi >= width)
            break; // the dots lie beyond the sides
        QVERIFY(dot.count > 0);
        QCOMPARE(dot.sumY, dot.count * band.centreY);
        QCOMPARE(dot.right - dot.left, dot.bottom - dot.top);  // as wide as high
        QVERIFY(dot.count * 10 > 7 * (dot.right - dot.left + 1) * (dot.bottom - dot.top + 1)); // round, not square
        QVERIFY(dot.top > 0 && dot.bottom < bandHeight - 1);
    }
    if (kurikaesi < width) {
        QCOMPARE(dots[0].sumX, dots[0].count * band.leftX);
        QCOMPARE(dots[1].sumX, dots[1].count * band.rightX);
        QVERIFY(dots[1].left - dots[0].right >= 3); // two dots, not one
    }
}

QTEST_APPLESS_MAIN(TstReveal)
#include "tst_reveal.moc"
