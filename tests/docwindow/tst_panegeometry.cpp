#include "docwindow/panegeometry.h"
#include "testfiles.h"

#include <QTest>

#include <climits>

using namespace lumivex::docwindow;

Q_DECLARE_METATYPE(PaneMode)
Q_DECLARE_METATYPE(BarThickness)

namespace {

// What every layout must keep: no negative sizes, the left column as wide as the splitter's left,
// the stereo container right after the splitter.
void checkInvariants(const WindowLayout &l)
{
    for (const QRect &r : {l.picContBefore, l.picContField, l.picContAfter, l.picDrag}) {
        QVERIFY2(r.width() >= 0 && r.height() >= 0, "negative size");
    }
    QCOMPARE(l.picContBefore.width(), l.picDrag.left());
    QCOMPARE(l.picContAfter.left(), l.picDrag.left() + 2);
    QCOMPARE(l.picDrag.width(), 2);
}

// A new document window as it stands after creation, its first resize and the mode's column.
WindowLayout newWindow(QSize client, PaneMode mode)
{
    const WindowLayout created = initialLayout(client);
    const WindowLayout resized = windowLayout(created, {client, mode}).value_or(created);
    return newDocumentLayout(resized, client.height(), mode);
}

} // namespace

class TestPaneGeometry : public QObject
{
    Q_OBJECT

private slots:
    void creation();
    void newDocument_data();
    void newDocument();
    void resize_data();
    void resize();
    void minimised_data();
    void minimised();
    void splitterDrag_data();
    void splitterDrag();
    void scrollBars_data();
    void scrollBars();
    void everyPixelReachable();
    void scrollRangeLimit_data();
    void scrollRangeLimit();
    void modeWordAndScrolling();
};

void TestPaneGeometry::creation()
{
    // Before the first resize the splitter is only as high as the design container.
    const WindowLayout l = initialLayout(QSize(600, 400));
    QCOMPARE(l.picContBefore, QRect(0, 0, 299, 199));
    QCOMPARE(l.picContField, QRect(0, 201, 299, 199));
    QCOMPARE(l.picContAfter, QRect(301, 0, 299, 400));
    QCOMPARE(l.picDrag, QRect(299, 0, 2, 199));
    // Bars placed while hidden leave room for each other.
    const PaneScrollLayout bars = paneScrollLayout(QSize(299, 199), QSize(0, 0), {}, 1);
    QVERIFY(!bars.hsb.visible && !bars.vsb.visible);
    QCOMPARE(bars.vsb.rect, QRect(279, 0, 17, 179));
    QCOMPARE(bars.hsb.rect, QRect(0, 179, 279, 17));
    QCOMPARE(bars.view, QRect(0, 0, 297, 197));
}

void TestPaneGeometry::newDocument_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<PaneMode>("mode");
    QTest::addColumn<QRect>("before");
    QTest::addColumn<QRect>("field");
    QTest::addColumn<QRect>("after");
    QTest::addColumn<QRect>("drag");

    const auto F = PaneMode::Field;
    const auto R = PaneMode::RandomDot;
    QTest::newRow("field 600x400") << QSize(600, 400) << F << QRect(0, 0, 299, 199)
                                   << QRect(0, 201, 299, 199) << QRect(301, 0, 299, 400)
                                   << QRect(299, 0, 2, 400);
    QTest::newRow("random dot 600x400") << QSize(600, 400) << R << QRect(0, 0, 299, 400) << QRect()
                                        << QRect(301, 0, 299, 400) << QRect(299, 0, 2, 400);
    QTest::newRow("field odd 601x401") << QSize(601, 401) << F << QRect(0, 0, 299, 199)
                                       << QRect(0, 201, 299, 199) << QRect(301, 0, 300, 401)
                                       << QRect(299, 0, 2, 401);
    QTest::newRow("field 3x3") << QSize(3, 3) << F << QRect(0, 0, 0, 0) << QRect(0, 2, 0, 0)
                               << QRect(2, 0, 1, 3) << QRect(0, 0, 2, 3);
    QTest::newRow("field 1x1") << QSize(1, 1) << F << QRect(0, 0, 0, 0) << QRect(0, 2, 0, 0)
                               << QRect(2, 0, 0, 1) << QRect(0, 0, 2, 1);
    QTest::newRow("random dot 0x0") << QSize(0, 0) << R << QRect(0, 0, 0, 0) << QRect()
                                    << QRect(2, 0, 0, 0) << QRect(0, 0, 2, 0);
}

void TestPaneGeometry::newDocument()
{
    QFETCH(QSize, client);
    QFETCH(PaneMode, mode);
    QFETCH(QRect, before);
    QFETCH(QRect, field);
    QFETCH(QRect, after);
    QFETCH(QRect, drag);

    const WindowLayout l = newWindow(client, mode);
    checkInvariants(l);
    QCOMPARE(l.picContBefore, before);
    QCOMPARE(l.fieldVisible, mode == PaneMode::Field);
    if (l.fieldVisible)
        QCOMPARE(l.picContField, field);
    QCOMPARE(l.picContAfter, after);
    QCOMPARE(l.picDrag, drag);
}

void TestPaneGeometry::resize_data()
{
    QTest::addColumn<PaneMode>("mode");
    QTest::addColumn<int>("splitterX"); // dragged there first; -1: not dragged
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QRect>("before");
    QTest::addColumn<QRect>("after");

    const auto F = PaneMode::Field;
    const auto R = PaneMode::RandomDot;
    // All windows start at 600 x 400.
    QTest::newRow("wider keeps splitter") << F << -1 << QSize(800, 400) << QRect(0, 0, 299, 199)
                                          << QRect(301, 0, 499, 400);
    QTest::newRow("taller field") << F << -1 << QSize(600, 500) << QRect(0, 0, 299, 249)
                                  << QRect(301, 0, 299, 500);
    QTest::newRow("taller random dot") << R << -1 << QSize(600, 500) << QRect(0, 0, 299, 500)
                                       << QRect(301, 0, 299, 500);
    QTest::newRow("width at stereo left") << F << -1 << QSize(301, 400) << QRect(0, 0, 299, 199)
                                          << QRect(301, 0, 0, 400);
    QTest::newRow("narrower re-splits field") << F << -1 << QSize(300, 400) << QRect(0, 0, 149, 199)
                                              << QRect(151, 0, 149, 400);
    QTest::newRow("narrower re-splits random dot") << R << -1 << QSize(300, 300)
                                                   << QRect(0, 0, 149, 300) << QRect(151, 0, 149, 300);
    QTest::newRow("dragged splitter kept") << F << 450 << QSize(700, 300) << QRect(0, 0, 450, 149)
                                           << QRect(452, 0, 248, 300);
    QTest::newRow("dragged splitter re-split") << F << 450 << QSize(451, 400)
                                               << QRect(0, 0, 224, 199) << QRect(226, 0, 225, 400);
    QTest::newRow("splitter at right edge re-split") << R << 599 << QSize(600, 400)
                                                     << QRect(0, 0, 299, 400) << QRect(301, 0, 299, 400);
}

void TestPaneGeometry::resize()
{
    QFETCH(PaneMode, mode);
    QFETCH(int, splitterX);
    QFETCH(QSize, client);
    QFETCH(QRect, before);
    QFETCH(QRect, after);

    WindowLayout l = newWindow(QSize(600, 400), mode);
    if (splitterX >= 0)
        l = splitterDragLayout(l, 600, 10, splitterX).value();
    const std::optional<WindowLayout> r = windowLayout(l, {client, mode});
    QVERIFY(r);
    checkInvariants(*r);
    QCOMPARE(r->picContBefore, before);
    QCOMPARE(r->picContAfter, after);
    QCOMPARE(r->picDrag.height(), client.height());
    QCOMPARE(r->fieldVisible, mode == PaneMode::Field);
    if (mode == PaneMode::Field)
        QCOMPARE(r->picContField, before.translated(0, before.height() + 2));
}

void TestPaneGeometry::minimised_data()
{
    QTest::addColumn<bool>("document");
    QTest::addColumn<bool>("main");
    QTest::newRow("document minimised") << true << false;
    QTest::newRow("main window minimised") << false << true;
    QTest::newRow("both") << true << true;
    QTest::newRow("neither") << false << false;
}

void TestPaneGeometry::minimised()
{
    QFETCH(bool, document);
    QFETCH(bool, main);
    // Narrow enough that an unskipped layout would re-split.
    const WindowLayout l = newWindow(QSize(600, 400), PaneMode::Field);
    const auto r = windowLayout(l, {QSize(100, 60), PaneMode::Field, document, main});
    QCOMPARE(r.has_value(), !document && !main);
    if (r)
        QCOMPARE(r->picContAfter, QRect(51, 0, 49, 60));
}

void TestPaneGeometry::splitterDrag_data()
{
    QTest::addColumn<PaneMode>("mode");
    QTest::addColumn<int>("xInTarget");
    QTest::addColumn<int>("xInClient");
    QTest::addColumn<bool>("moves");
    QTest::addColumn<QRect>("after");

    const auto F = PaneMode::Field;
    const auto R = PaneMode::RandomDot;
    // A 600 x 400 window, splitter at 299, stereo container from 301.
    QTest::newRow("over design pane to 150") << F << 150 << 150 << true << QRect(152, 0, 448, 400);
    QTest::newRow("random dot to 150") << R << 150 << 150 << true << QRect(152, 0, 448, 400);
    QTest::newRow("over stereo pane to 400") << F << 99 << 400 << true << QRect(402, 0, 198, 400);
    QTest::newRow("on target border") << F << 0 << 301 << false << QRect(301, 0, 299, 400);
    QTest::newRow("one pixel inside") << F << 1 << 302 << true << QRect(304, 0, 296, 400);
    QTest::newRow("right edge 597") << R << 296 << 597 << true << QRect(599, 0, 1, 400);
    QTest::newRow("right edge 598") << R << 297 << 598 << true << QRect(600, 0, 0, 400);
    QTest::newRow("right edge 599") << F << 298 << 599 << true << QRect(601, 0, 0, 400);
}

void TestPaneGeometry::splitterDrag()
{
    QFETCH(PaneMode, mode);
    QFETCH(int, xInTarget);
    QFETCH(int, xInClient);
    QFETCH(bool, moves);
    QFETCH(QRect, after);

    const WindowLayout l = newWindow(QSize(600, 400), mode);
    const std::optional<WindowLayout> r = splitterDragLayout(l, 600, xInTarget, xInClient);
    QCOMPARE(r.has_value(), moves);
    if (!r)
        return;
    checkInvariants(*r);
    QCOMPARE(r->picDrag, QRect(xInClient, 0, 2, 400));
    QCOMPARE(r->picContAfter, after);
    // Heights stay; both left containers take the new width.
    QCOMPARE(r->picContBefore, QRect(0, 0, xInClient, l.picContBefore.height()));
    QCOMPARE(r->picContField, QRect(l.picContField.topLeft(), QSize(xInClient, l.picContField.height())));
}

void TestPaneGeometry::scrollBars_data()
{
    QTest::addColumn<QSize>("container");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<BarThickness>("bars");
    QTest::addColumn<QRect>("hsb"); // empty: hidden
    QTest::addColumn<int>("hsbMax");
    QTest::addColumn<QRect>("vsb");
    QTest::addColumn<int>("vsbMax");
    QTest::addColumn<QSize>("view");

    // 200 x 150 outside a 1-pixel border: 198 x 148 inside, 180 wide beside a vertical bar of
    // 17 (+ 3), 130 high above a horizontal one.
    const QSize c(200, 150);
    const BarThickness std17;
    const QRect hsbAlone(0, 130, 197, 17);
    const QRect vsbAlone(180, 0, 17, 147);
    const QRect hsbBoth(0, 130, 180, 17);
    const QRect vsbBoth(180, 0, 17, 130);
    QTest::newRow("fills the inside") << c << QSize(198, 148) << std17 << QRect() << 0 << QRect()
                                      << 0 << QSize(198, 148);
    QTest::newRow("smaller") << c << QSize(100, 100) << std17 << QRect() << 0 << QRect() << 0
                             << QSize(198, 148);
    // The border hides a pixel on each side: a picture as large as the container overflows.
    QTest::newRow("as large as the container") << c << c << std17 << hsbBoth << 20 << vsbBoth << 20
                                               << QSize(180, 130);
    QTest::newRow("one wider, low") << c << QSize(199, 100) << std17 << hsbAlone << 1 << QRect()
                                    << 0 << QSize(198, 130);
    QTest::newRow("one taller, narrow") << c << QSize(100, 149) << std17 << QRect() << 0
                                        << vsbAlone << 1 << QSize(180, 148);
    // A bar takes room from the other direction and brings the other bar with it.
    QTest::newRow("one wider, full height") << c << QSize(199, 148) << std17 << hsbBoth << 19
                                            << vsbBoth << 18 << QSize(180, 130);
    QTest::newRow("one taller, full width") << c << QSize(198, 149) << std17 << hsbBoth << 18
                                            << vsbBoth << 19 << QSize(180, 130);
    QTest::newRow("one taller, beside the bar") << c << QSize(180, 149) << std17 << QRect() << 0
                                                << vsbAlone << 1 << QSize(180, 148);
    QTest::newRow("wider, shorter") << c << QSize(1024, 20) << std17 << hsbAlone << 826 << QRect()
                                    << 0 << QSize(198, 130);
    QTest::newRow("uneven bars") << c << QSize(300, 400) << BarThickness{15, 20}
                                 << QRect(0, 132, 177, 15) << 123 << QRect(177, 0, 20, 132) << 268
                                 << QSize(177, 132);
    QTest::newRow("tiny container both") << QSize(10, 12) << QSize(50, 50) << std17
                                         << QRect(0, -8, 0, 17) << 50 << QRect(-10, 0, 17, 0) << 50
                                         << QSize(0, 0);
    QTest::newRow("tiny container across") << QSize(2, 100) << QSize(50, 60) << std17
                                           << QRect(0, 80, 0, 17) << 50 << QRect() << 0
                                           << QSize(0, 80);
}

void TestPaneGeometry::scrollBars()
{
    QFETCH(QSize, container);
    QFETCH(QSize, picture);
    QFETCH(BarThickness, bars);
    QFETCH(QRect, hsb);
    QFETCH(int, hsbMax);
    QFETCH(QRect, vsb);
    QFETCH(int, vsbMax);
    QFETCH(QSize, view);

    const PaneScrollLayout p = paneScrollLayout(container, picture, bars, 1);
    const auto check = [](const ScrollBarLayout &bar, const QRect &rect, int max) {
        QCOMPARE(bar.visible, !rect.isNull());
        if (bar.visible)
            QCOMPARE(bar.rect, rect);
        // A hidden bar's range is 0, which brings its picture back to the edge.
        QCOMPARE(bar.maximum, max);
        QCOMPARE(bar.minimum, 0);
        QCOMPARE(bar.largeChange, 100);
        QCOMPARE(bar.smallChange, 10);
    };
    check(p.hsb, hsb, hsbMax);
    check(p.vsb, vsb, vsbMax);
    QCOMPARE(p.view, QRect(QPoint(0, 0), view));
}

void TestPaneGeometry::everyPixelReachable()
{
    // Over many containers, pictures and bar sizes: the view lies inside the border and clear of
    // the shown bars, and the bars' range brings the picture's last row and column exactly to
    // the view's edge (a picture that fits has no bar in that direction).
    for (const BarThickness bars : {BarThickness{17, 17}, BarThickness{12, 21}}) {
        for (int border : {0, 1, 2}) {
            for (const QSize container : {QSize(200, 150), QSize(41, 300), QSize(25, 25)}) {
                for (int pw = 0; pw <= 260; pw += 7) {
                    for (int ph = 0; ph <= 320; ph += 9) {
                        const PaneScrollLayout p =
                            paneScrollLayout(container, QSize(pw, ph), bars, border);
                        const QRect inside(0, 0, container.width() - 2 * border,
                                           container.height() - 2 * border);
                        QVERIFY(inside.contains(p.view) || p.view.isEmpty());
                        if (p.vsb.visible)
                            QVERIFY(p.view.right() < p.vsb.rect.left());
                        if (p.hsb.visible)
                            QVERIFY(p.view.bottom() < p.hsb.rect.top());
                        QCOMPARE(p.hsb.visible, pw > p.view.width());
                        QCOMPARE(p.vsb.visible, ph > p.view.height());
                        if (p.hsb.visible)
                            QCOMPARE(p.hsb.maximum + p.view.width(), pw);
                        if (p.vsb.visible)
                            QCOMPARE(p.vsb.maximum + p.view.height(), ph);
                    }
                }
            }
        }
    }
}

void TestPaneGeometry::scrollRangeLimit_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("hsbMax");
    QTest::addColumn<int>("vsbMax");
    // Container 200 x 150 with its border: 198 x 148 inside, 180 x 130 beside and above the bars.
    QTest::newRow("down by 32767") << QSize(100, 148 + 32767) << 0 << 32767;
    QTest::newRow("down by 32768") << QSize(100, 148 + 32768) << 0 << 32767;
    QTest::newRow("down by 100000") << QSize(1024, 100150) << 844 << 32767;
    QTest::newRow("across by 40000") << QSize(40200, 100) << 32767 << 0;
    QTest::newRow("largest int") << QSize(INT_MAX, INT_MAX) << 32767 << 32767;
}

void TestPaneGeometry::scrollRangeLimit()
{
    QFETCH(QSize, picture);
    QFETCH(int, hsbMax);
    QFETCH(int, vsbMax);
    const PaneScrollLayout p = paneScrollLayout(QSize(200, 150), picture, {}, 1);
    QCOMPARE(p.hsb.maximum, hsbMax);
    QCOMPARE(p.vsb.maximum, vsbMax);
    // Whatever the bars' range, at their ends the picture's last row and column are in view.
    QCOMPARE(scrollOffset(p.hsb, p.hsb.maximum), std::max(picture.width() - p.view.width(), 0));
    QCOMPARE(scrollOffset(p.vsb, p.vsb.maximum), std::max(picture.height() - p.view.height(), 0));
}

void TestPaneGeometry::modeWordAndScrolling()
{
    QCOMPARE(paneModeOf(testfiles::modeWord(QStringLiteral("RandomDot"))), PaneMode::RandomDot);
    QCOMPARE(paneModeOf(testfiles::modeWord(QStringLiteral("Field"))), PaneMode::Field);
    QCOMPARE(paneModeOf(testfiles::modeWord(QString())), PaneMode::Field);
    QCOMPARE(picturePosition(120, 35), QPoint(-120, -35));
}

QTEST_APPLESS_MAIN(TestPaneGeometry)
#include "tst_panegeometry.moc"
