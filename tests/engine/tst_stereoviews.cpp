// The left and right views of a depth: a stereo matcher recovers the depth's disparity from
// them; and the pictures made of the two views.

#include "engine/smoothdepth.h"
#include "engine/stereoviews.h"
#include "sirds.h"

#include <QTest>

#include <cmath>

using namespace lumivex::engine;

namespace {

// The disparity at which the 9 × 9 block around a left-view pixel best matches the right view
// (least sum of absolute differences), searched from 0 to `most`.
int matchedDisparity(const PackedImage &left, const PackedImage &right, int x, int y, int most)
{
    int best = 0;
    long bestCost = -1;
    for (int d = 0; d <= most; ++d) {
        long cost = 0;
        for (int j = -4; j <= 4; ++j)
            for (int i = -4; i <= 4; ++i)
                cost += std::abs(redOf(left.at(x + i, y + j)) - redOf(right.at(x + i - d, y + j)));
        if (bestCost < 0 || cost < bestCost)
            best = d, bestCost = cost;
    }
    return best;
}

} // namespace

class TestStereoViews : public QObject
{
    Q_OBJECT

private slots:
    void matcherFindsTheDisparity_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addRow("design, levels in steps") << 0;
        QTest::addRow("design, smooth dome") << 1;
        QTest::addRow("design, dome at a disparity of 12") << 2;
        QTest::addRow("classic stereogram, dots, revealed") << 3;
        QTest::addRow("classic stereogram, texture, revealed") << 4;
        QTest::addRow("classic stereogram, dots built 4 times finer, revealed") << 5;
    }
    void matcherFindsTheDisparity()
    {
        QFETCH(int, kind);
        const int w = 320, h = 96;
        // The disparity the views should show at each point of the depth picture.
        std::vector<float> truth(std::size_t(w) * h, -1);
        DisparityMap disparity;
        PackedImage texture;
        if (kind <= 2) {
            DepthImage depth {w, h, std::vector<std::uint16_t>(truth.size())};
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const double r = std::hypot(x - 160.0, y - 48.0) / 180;
                    const int level = x < 80 ? 3 : x < 150 ? 15 : x < 230 ? 8 : 3;
                    const int z = kind == 0 ? level * kSmoothPerLevel : int(kSmoothNear * std::max(0.0, 1 - r * r));
                    depth.z[std::size_t(y) * w + x] = std::uint16_t(z);
                }
            }
            // Strength 20: two pixels a level, 30 for the whole range of smooth depth, counted
            // from the farthest depth present (the dome's corners stay above 0); or 12 at most.
            const auto [low, high] = std::minmax_element(depth.z.begin(), depth.z.end());
            const double perUnit = kind == 2 ? 12.0 / (*high - *low) : 30.0 / kSmoothNear;
            for (std::size_t i = 0; i < truth.size(); ++i)
                truth[i] = float((depth.z[i] - *low) * perUnit);
            disparity = designDisparity(depth, 20, kind == 2 ? std::optional<double>(12) : std::nullopt);
            texture = greyDots(w, h, 7);
        } else {
            std::vector<float> depth(truth.size()), linked;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    depth[std::size_t(y) * w + x] = x > 110 && x < 220 && y > 20 && y < 76 ? (x < 165 ? 1.0f : 0.5f) : 0.0f;
            const int q = kind == 5 ? 4 : 1;
            texture = sirds::draw(w, depth, 180, q, kind == 4, linked);
            const auto separation = [q](double z) { return std::lround((1 - z / 3) * 180 * q / (2 - z / 3)) / double(q); };
            for (std::size_t i = 0; i < truth.size(); ++i)
                truth[i] = linked[i] < 0 ? -1.0f : float(separation(0) - separation(linked[i]));
            const Reveal revealed = reveal(texture);
            QVERIFY(revealed.ok());
            disparity = revealedDisparity(revealed);
        }
        const StereoViews views = renderViews(disparity, texture);
        const int most = int(std::ceil(disparity.range())) + 3;
        int seenByBoth = 0, within = 0;
        for (int y = 4; y < h - 4; ++y) {
            for (int x = 4 + most; x < w - 4; ++x) {
                const int u = views.left.source[std::size_t(y) * w + x];
                const float d = u < 0 ? -1 : truth[std::size_t(y) * w + u];
                if (d < 0)
                    continue;
                const int v = views.right.source[std::size_t(y) * w + x - int(std::lround(d))];
                if (v < 0 || std::abs(v - u) > 1)
                    continue;  // hidden from the right eye
                ++seenByBoth;
                within += std::abs(matchedDisparity(views.left.picture, views.right.picture, x, y, most) - d) <= 1;
            }
        }
        // Where points land on one pixel, the nearest shows.
        for (int side : {1, -1}) {
            const View &view = side > 0 ? views.left : views.right;
            for (int y = 0; y < h; ++y) {
                std::vector<float> nearest(std::size_t(w), -1);
                for (int u = 0; u < w; ++u) {
                    const float d = disparity.at(u, y);
                    const int t = int(std::floor(u + side * d / 2 + 0.5));
                    if (t >= 0 && t < w)
                        nearest[std::size_t(t)] = std::max(nearest[std::size_t(t)], d);
                }
                for (int t = 0; t < w; ++t)
                    QVERIFY(view.disparity[std::size_t(y) * w + t] >= nearest[std::size_t(t)] - 0.01f);
            }
        }
        QVERIFY2(seenByBoth > (w - most) * (h - 8) / 2, qPrintable(QString::number(seenByBoth)));
        QVERIFY2(within >= 0.95 * seenByBoth, qPrintable(QStringLiteral("%1 of %2").arg(within).arg(seenByBoth)));
        // The parts one eye alone sees are filled with texture, not one colour smeared along.
        if (kind <= 2) {
            for (const View *view : {&views.left, &views.right})
                for (std::size_t i = 2; i < view->source.size(); ++i)
                    QVERIFY(!(view->source[i] < 0 && view->source[i - 2] < 0 && view->picture.pixels[i] == view->picture.pixels[i - 1]
                              && view->picture.pixels[i] == view->picture.pixels[i - 2] && i % w >= 2));
        }
    }

    void compositions()
    {
        const PackedImage left = greyDots(5, 3, 1), right = greyDots(5, 3, 2);
        const PackedImage parallel = composeViews(left, right, ViewKind::Parallel);
        const PackedImage cross = composeViews(left, right, ViewKind::Cross);
        const PackedImage aboveBelow = composeViews(left, right, ViewKind::AboveBelow);
        QCOMPARE(parallel.width, 10);
        QCOMPARE(aboveBelow.height, 6);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                QCOMPARE(parallel.at(x, y), left.at(x, y));
                QCOMPARE(parallel.at(x + 5, y), cross.at(x, y));
                QCOMPARE(cross.at(x + 5, y), parallel.at(x, y));
                QCOMPARE(aboveBelow.at(x, y + 3), right.at(x, y));
            }
        }
        // The anaglyph's red comes from the left view, green and blue from the right (the
        // matrices' small cross terms are negative, so they darken and are cut at 0).
        const Packed red = pack(255, 0, 0), white = pack(255, 255, 255), black = 0;
        QCOMPARE(duboisAnaglyph(white, black), pack(255, 0, 0));
        QCOMPARE(duboisAnaglyph(black, white), pack(0, 255, 255));
        // Left red alone: 0.437 of full light in red (in linear light), sRGB 177.
        QCOMPARE(redOf(duboisAnaglyph(red, black)), 177);
        QCOMPARE(duboisAnaglyph(white, white), pack(255, 255, 255));
        // A wiggle of three views goes left, middle, right, middle.
        const DisparityMap ramp {5, 3, {0, 1, 2, 3, 4, 0, 1, 2, 3, 4, 4, 3, 2, 1, 0}};
        const std::vector<PackedImage> frames = wiggleFrames(ramp, left, 3);
        const StereoViews views = renderViews(ramp, left);
        QCOMPARE(frames.size(), 4u);
        QCOMPARE(frames[0].pixels, views.left.picture.pixels);
        QCOMPARE(frames[2].pixels, views.right.picture.pixels);
        QCOMPARE(frames[3].pixels, frames[1].pixels);
        QVERIFY(frames[1].pixels != frames[0].pixels && frames[1].pixels != frames[2].pixels);
        const PackedImage half = composeViews(PackedImage(1, 1, pack(200, 100, 10)), PackedImage(1, 1, pack(9, 80, 70)),
                                              ViewKind::HalfColour);
        QCOMPARE(half.at(0, 0), pack(120, 80, 70));
    }
};

QTEST_APPLESS_MAIN(TestStereoViews)
#include "tst_stereoviews.moc"
