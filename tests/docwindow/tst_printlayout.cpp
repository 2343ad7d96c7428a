// Where a picture goes on paper, without a printer: the poster's pages joined at their cut marks give back the picture at its size in
// millimetres, no page shows only what its neighbour shows, and the paper is turned to take the fewest pages. A picture made again at print
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
    QTest::newRow("screen size, tall") << QSize(600, 2000) << PrintSize::Screen << 1 << 3;
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
    const double mmPerPixel = layout.pictureMm.width() / picture.width();
    // Cut at the marks (which cross the picture on its page) and joined, the first row of pages gives back the picture's width and the
    // first column its height, nothing twice; every page shows some of the picture that the one before does not.
    for (const bool x : {true, false}) {
        double joined = 0, shownTo = -1;
        for (int i = 0; i < (x ? columns : rows); ++i) {
            const PrintPage &page = layout.pages.at(x ? i : i * columns);
            const double from = (x ? page.source.left() : page.source.top()) * mmPerPixel, start = x ? page.target.left() : page.target.top(),
                         length = x ? page.target.width() : page.target.height();
            double end = from + length;
            for (const double cut : x ? page.cutsX : page.cutsY) {
                QVERIFY2(cut > start && cut < start + length, "a cut mark beside the picture");
                if (cut - start < length / 2)
                    QVERIFY2(qAbs(from + cut - start - joined) < 1e-6, qPrintable(QStringLiteral("page %1 does not join").arg(i)));
                else
                    end = from + cut - start;
            }
            QVERIFY2(from + length > shownTo + 1, qPrintable(QStringLiteral("page %1 repeats its neighbour").arg(i)));
            shownTo = from + length;
            joined = end;
        }
        QVERIFY2(qAbs(joined - (x ? layout.pictureMm.width() : layout.pictureMm.height())) < 1e-6,
                 qPrintable(QStringLiteral("joined %1 mm").arg(joined)));
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
    QTest::newRow("wide, fitted") << QSize(3000, 2000) << PrintSize::FitPage << QPageLayout::Landscape;
}

void TestPrintLayout::fewestPages()
{
    QFETCH(QSize, picture);
    QFETCH(PrintSize, size);
    QFETCH(QPageLayout::Orientation, orientation);
    QCOMPARE(fewestPagesOrientation(picture, 70, {96, 96}, a4(), {size, 30.0}), orientation);
}

void TestPrintLayout::printResolution()
{
    // A design of 360 × 120 converted at repeat 70, and its original file twice as large with a near square that the document's copy lacks.
    QImage design(360, 120, QImage::Format_RGB32);
    design.fill(Qt::black);
    QImage original = design.scaled(720, 240);
    QPainter(&original).fillRect(300, 60, 120, 120, Qt::white);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("original.png"));
    QVERIFY(original.save(path));
    const PrintResolution resolution(PrintSource{design, path, false, {}, true, 70, 20, 30});
    // 30 mm at 300 dpi: 354 pixels, the strength grown alike; the original's square in depth.
    const PrintResolutionPlan plan = resolution.plan(30.0);
    QCOMPARE(plan.rittaido, 101);
    QString problem;
    const QImage made = resolution.make(30.0, {}, &problem);
    QVERIFY2(!made.isNull(), qPrintable(problem));
    const lumivex::engine::Reveal depth = lumivex::engine::reveal(lumivex::picture::toPacked(made));
    QCOMPARE(depth.repeatWidth, 354);
    QCOMPARE(depth.distances.size(), std::size_t(2));
    // A picture wider than a run can build is made as fine as it can be (about 69 dpi here).
    const PrintResolutionPlan wide = PrintResolution({QImage(1000, 50, QImage::Format_RGB32), {}, false, {}, true, 10, 20, 30}).plan(60.0);
    QVERIFY(1000 * wide.scale <= 16384 && wide.dpi > 65);
}

QTEST_GUILESS_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"
