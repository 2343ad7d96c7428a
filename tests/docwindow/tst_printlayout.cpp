// Where a picture goes on paper, without a printer: the poster's pages joined at their cut marks
// give back the picture at its size in millimetres, no page shows only what its neighbour
// shows, and the paper is turned to take the fewest pages. A picture made again at print
// resolution repeats at the width the millimetres need, from the design's original file.
#include "docwindow/printlayout.h"
#include "docwindow/printresolution.h"
#include "engine/reveal.h"
#include "picture/picture.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace lumivex::docwindow;

Q_DECLARE_METATYPE(PrintSize)

namespace {

/// A4 with 10 mm margins: 190 × 277 mm to print on, upright.
QPageLayout a4()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

/// The picture's stretch (in mm of the printed picture) a page keeps once cut at its marks,
/// across (x) or down.
std::pair<double, double> keptStretch(const PrintLayout &layout, const PrintPage &page, QSize picture, bool x)
{
    const double mmPerPixel = x ? layout.pictureMm.width() / picture.width() : layout.pictureMm.height() / picture.height();
    const double sourceStart = (x ? page.source.left() : page.source.top()) * mmPerPixel;
    const double targetStart = x ? page.target.left() : page.target.top();
    const double targetEnd = x ? page.target.right() : page.target.bottom();
    const QList<double> &cuts = x ? page.cutsX : page.cutsY;
    double start = sourceStart;
    double end = sourceStart + (targetEnd - targetStart);
    for (const double cut : cuts) {
        // A cut mark lies across the picture on its page, never beside it.
        if (!(cut > targetStart && cut < targetEnd))
            return {-1, -1};
        const double at = sourceStart + (cut - targetStart);
        if (cut - targetStart < (targetEnd - targetStart) / 2)
            start = at;
        else
            end = at;
    }
    return {start, end};
}

} // namespace

class TestPrintLayout : public QObject
{
    Q_OBJECT

private slots:
    void posterJoinsIntoPicture_data();
    void posterJoinsIntoPicture();
    void fewestPages_data();
    void fewestPages();
    void printResolution();
};

void TestPrintLayout::posterJoinsIntoPicture_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<PrintSize>("size");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    // Repeat width 70 pixels, 30 mm: 349.7 mm across, on pages that take 180 mm beside the
    // marks and share 10 mm: two, the second reaching the picture's end.
    QTest::newRow("816 px at 30 mm") << QSize(816, 200) << PrintSize::RepeatMm << 2 << 1;
    QTest::newRow("428.6 x 385.7 mm") << QSize(1000, 900) << PrintSize::RepeatMm << 3 << 2;
    QTest::newRow("one page, centred") << QSize(400, 300) << PrintSize::RepeatMm << 1 << 1;
    QTest::newRow("screen size, tall") << QSize(600, 2000) << PrintSize::Screen << 1 << 3;
    QTest::newRow("fitted") << QSize(3000, 2000) << PrintSize::FitPage << 1 << 1;
}

void TestPrintLayout::posterJoinsIntoPicture()
{
    QFETCH(QSize, picture);
    QFETCH(PrintSize, size);
    QFETCH(int, columns);
    QFETCH(int, rows);
    const PrintLayout layout = layoutPrint(picture, 70, {96, 96}, printableMm(a4(), QPageLayout::Portrait), {size, 30.0});
    QCOMPARE(layout.columns, columns);
    QCOMPARE(layout.rows, rows);
    QCOMPARE(layout.pages.size(), columns * rows);
    if (size == PrintSize::RepeatMm)
        QCOMPARE(layout.pictureMm.width(), picture.width() * 30.0 / 70);

    // Cut at the marks and joined, each row of pages gives back the picture's width, each
    // column its height: nothing twice, nothing left out.
    for (const bool x : {true, false}) {
        const int lines = x ? rows : columns;
        const int count = x ? columns : rows;
        const double total = x ? layout.pictureMm.width() : layout.pictureMm.height();
        for (int line = 0; line < lines; ++line) {
            double joined = 0;
            double shownTo = -1;  // how far into the picture the pages before reach
            for (int i = 0; i < count; ++i) {
                const PrintPage &page = layout.pages.at(x ? line * columns + i : i * columns + line);
                const auto [start, end] = keptStretch(layout, page, picture, x);
                QVERIFY2(end > 0, "a cut mark beside the picture");
                QVERIFY2(qAbs(start - joined) < 1e-6, qPrintable(QStringLiteral("page %1 starts at %2 mm, not %3").arg(i).arg(start).arg(joined)));
                joined = end;
                // Every page shows some of the picture that the one before does not.
                const double pageEnd = (x ? page.source.right() : page.source.bottom()) * total / (x ? picture.width() : picture.height());
                QVERIFY2(pageEnd > shownTo + 1, qPrintable(QStringLiteral("page %1 repeats its neighbour").arg(i)));
                shownTo = pageEnd;
            }
            QVERIFY2(qAbs(joined - total) < 1e-6, qPrintable(QStringLiteral("joined %1 mm of %2").arg(joined).arg(total)));
        }
    }
}

void TestPrintLayout::fewestPages_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<PrintSize>("size");
    QTest::addColumn<QPageLayout::Orientation>("orientation");
    // 428.6 × 128.6 mm: three pages upright, two across.
    QTest::newRow("wide poster") << QSize(1000, 300) << PrintSize::RepeatMm << QPageLayout::Landscape;
    QTest::newRow("tall poster") << QSize(300, 1000) << PrintSize::RepeatMm << QPageLayout::Portrait;
    // One page either way: as the picture is.
    QTest::newRow("wide, one page") << QSize(300, 200) << PrintSize::Screen << QPageLayout::Landscape;
    QTest::newRow("tall, one page") << QSize(200, 300) << PrintSize::Screen << QPageLayout::Portrait;
    QTest::newRow("wide, fitted") << QSize(3000, 2000) << PrintSize::FitPage << QPageLayout::Landscape;
}

void TestPrintLayout::fewestPages()
{
    QFETCH(QSize, picture);
    QFETCH(PrintSize, size);
    QFETCH(QPageLayout::Orientation, orientation);
    const PrintChoice choice{size, 30.0};
    QCOMPARE(fewestPagesOrientation(picture, 70, {96, 96}, a4(), choice), orientation);
    const auto other = orientation == QPageLayout::Portrait ? QPageLayout::Landscape : QPageLayout::Portrait;
    QVERIFY(layoutPrint(picture, 70, {96, 96}, printableMm(a4(), orientation), choice).pages.size()
            <= layoutPrint(picture, 70, {96, 96}, printableMm(a4(), other), choice).pages.size());
}

void TestPrintLayout::printResolution()
{
    // A design of 360 × 120 converted at repeat 70: a near square over the far plane.
    QImage design(360, 120, QImage::Format_RGB32);
    design.fill(Qt::black);
    QPainter(&design).fillRect(150, 30, 60, 60, Qt::white);
    PrintSource source{design, {}, false, {}, true, 70, 20, 30};
    const PrintResolution resolution(source);
    QVERIFY(resolution.possible());
    // 30 mm at 300 dpi: 354 pixels, the strength grown alike.
    const PrintResolutionPlan plan = resolution.plan(30.0);
    QVERIFY(plan.problem.isEmpty());
    QCOMPARE(plan.kurikaesi, 354);
    QCOMPARE(plan.rittaido, 101);
    QCOMPARE(qRound(plan.dpi), 300);
    QString problem;
    const QImage made = resolution.make(30.0, {}, &problem);
    QVERIFY2(!made.isNull(), qPrintable(problem));
    QCOMPARE(made.size(), QSize(qRound(360 * plan.scale) - 1, qRound(120 * plan.scale) - 1));
    const lumivex::engine::RepeatFound found = lumivex::engine::findRepeat(lumivex::picture::toPacked(made));
    QCOMPARE(found.width, 354);
    // Stopped, nothing is made.
    QVERIFY(resolution.make(30.0, [](int row, int) { return row == 0; }, &problem).isNull());

    // A design put in scaled down: the original's own pixels are scaled up, not the copy's.
    QTemporaryDir folder;
    QImage original(720, 240, QImage::Format_RGB32);
    original.fill(Qt::black);
    QPainter(&original).fillRect(0, 0, 40, 40, Qt::white);  // not in the document's copy
    source.designPath = folder.filePath(QStringLiteral("original.png"));
    QVERIFY(original.save(source.designPath));
    const QImage scaled = PrintResolution(source).scaledDesign(plan.scale);
    QCOMPARE(scaled.size(), QSize(qRound(360 * plan.scale), qRound(120 * plan.scale)));
    QCOMPARE(scaled.pixel(10, 10), qRgb(255, 255, 255));
    QCOMPARE(scaled.pixel(qRound(180 * plan.scale), qRound(60 * plan.scale)), qRgb(0, 0, 0));

    // A picture wider than a run can build is made as fine as it can be.
    source = {QImage(1000, 50, QImage::Format_RGB32), {}, false, {}, true, 10, 20, 30};
    const PrintResolutionPlan wide = PrintResolution(source).plan(60.0);
    QVERIFY(wide.problem.isEmpty());
    QVERIFY(1000 * wide.scale <= 16384);
    QVERIFY(wide.dpi > 16384 / 1000.0 * 10 * 25.4 / 60 * 0.95);  // about 69 dpi: no coarser than needed
}

QTEST_GUILESS_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"
