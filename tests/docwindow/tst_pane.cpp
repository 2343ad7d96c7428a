// One pane as a widget: its scroll bars for the picture's and the container's sizes, scrolling,
// and the pointer a splitter drag leaves on it.
#include "docwindow/pane.h"
#include "docwindow/picturebox.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

using lumivex::docwindow::Pane;

namespace {

int barThickness(const QWidget *bar)
{
    return bar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bar);
}

// A pane of the given outer size holding a shown picture of the given size.
void setUp(Pane &pane, QSize container, QSize picture)
{
    pane.picture()->resize(picture);
    pane.picture()->show();
    pane.resize(container);
    pane.layoutScroll();
}

void sendMove(QWidget *widget)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

} // namespace

class TestPane : public QObject
{
    Q_OBJECT

private slots:
    void scrollBars_data();
    void scrollBars();
    void scrollingMovesThePicture();
    void barsFollowTheContainer();
    void pointerReset_data();
    void pointerReset();
};

void TestPane::scrollBars_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("hsbMax");  // -1: hidden
    QTest::addColumn<int>("vsbMax");

    // The container is 200 × 150 outside its border.
    QTest::newRow("same size") << QSize(200, 150) << -1 << -1;
    QTest::newRow("smaller") << QSize(20, 15) << -1 << -1;
    QTest::newRow("one pixel wider") << QSize(201, 150) << 1 << -1;
    QTest::newRow("one pixel taller") << QSize(200, 151) << -1 << 1;
    QTest::newRow("both ways") << QSize(500, 400) << 300 << 250;
    QTest::newRow("tall and narrow") << QSize(30, 9000) << -1 << 8850;
    QTest::newRow("beyond 16 bits") << QSize(40000, 10) << 32767 << -1;
}

void TestPane::scrollBars()
{
    QFETCH(QSize, picture);
    QFETCH(int, hsbMax);
    QFETCH(int, vsbMax);

    Pane pane(QStringLiteral("Before"), QString());
    pane.show();
    setUp(pane, QSize(200, 150), picture);
    const int h = barThickness(pane.hsb());
    const int v = barThickness(pane.vsb());
    const int frame = pane.frameWidth();

    QCOMPARE(pane.hsb()->isVisible(), hsbMax >= 0);
    QCOMPARE(pane.vsb()->isVisible(), vsbMax >= 0);
    if (hsbMax >= 0) {
        QCOMPARE(pane.hsb()->minimum(), 0);
        QCOMPARE(pane.hsb()->maximum(), hsbMax);
        QCOMPARE(pane.hsb()->pageStep(), 100);
        QCOMPARE(pane.hsb()->singleStep(), 10);
        // Shortened by the vertical bar's width + 3 when both show, by 3 otherwise.
        const int width = 200 - (vsbMax >= 0 ? v + 3 : 3);
        QCOMPARE(pane.hsb()->geometry(), QRect(frame, frame + 150 - (h + 3), width, h));
    }
    if (vsbMax >= 0) {
        QCOMPARE(pane.vsb()->maximum(), vsbMax);
        QCOMPARE(pane.vsb()->pageStep(), 100);
        QCOMPARE(pane.vsb()->singleStep(), 10);
        const int height = 150 - (hsbMax >= 0 ? h + 3 : 3);
        QCOMPARE(pane.vsb()->geometry(), QRect(frame + 200 - (v + 3), frame, v, height));
    }
}

void TestPane::scrollingMovesThePicture()
{
    Pane pane(QStringLiteral("After"), QString());
    pane.show();
    setUp(pane, QSize(200, 150), QSize(500, 400));
    // Positions inside the border.
    const QPoint inner(pane.frameWidth(), pane.frameWidth());
    QCOMPARE(pane.picture()->pos(), inner);
    pane.vsb()->setValue(30);
    pane.hsb()->setValue(120);
    QCOMPARE(pane.picture()->pos(), inner + QPoint(-120, -30));
    QCOMPARE(pane.picture()->size(), QSize(500, 400));

    // Dragging the thumb moves the picture as it goes.
    pane.hsb()->setSliderDown(true);
    pane.hsb()->setSliderPosition(60);
    QCOMPARE(pane.picture()->pos(), inner + QPoint(-60, -30));
    pane.hsb()->setSliderDown(false);
}

void TestPane::barsFollowTheContainer()
{
    Pane pane(QStringLiteral("Before"), QString());
    pane.show();
    setUp(pane, QSize(200, 150), QSize(500, 150));
    const int inner = pane.frameWidth();
    pane.hsb()->setValue(300);
    QCOMPARE(pane.picture()->x(), inner - 300);

    // A wider container shortens the range; the bar keeps its value within it.
    pane.resize(400, 150);
    QCOMPARE(pane.hsb()->maximum(), 100);
    QCOMPARE(pane.picture()->x(), inner - 100);

    // Once the picture fits, its bar goes and the picture is back at the edge.
    pane.resize(600, 150);
    QVERIFY(pane.hsb()->isHidden());
    QCOMPARE(pane.picture()->pos(), QPoint(inner, inner));

    // A container too small for a bar gives it no negative length.
    pane.resize(2, 2);
    QVERIFY(pane.hsb()->isVisible());
    QCOMPARE(pane.hsb()->width(), 0);
}

void TestPane::pointerReset_data()
{
    QTest::addColumn<bool>("overPicture");
    QTest::addColumn<int>("shape");
    QTest::addColumn<bool>("reset");

    QTest::newRow("container, west-east") << false << int(Qt::SizeHorCursor) << true;
    QTest::newRow("picture, west-east") << true << int(Qt::SizeHorCursor) << true;
    QTest::newRow("container, other pointer") << false << int(Qt::CrossCursor) << false;
}

void TestPane::pointerReset()
{
    QFETCH(bool, overPicture);
    QFETCH(int, shape);
    QFETCH(bool, reset);

    QWidget window;
    auto *pane = new Pane(QStringLiteral("Before"), QString(), &window);
    window.show();
    setUp(*pane, QSize(200, 150), QSize(100, 100));
    pane->setCursor(Qt::CursorShape(shape));
    sendMove(overPicture ? static_cast<QWidget *>(pane->picture()) : pane);
    QCOMPARE(pane->testAttribute(Qt::WA_SetCursor), !reset);
    QCOMPARE(pane->cursor().shape(), reset ? Qt::ArrowCursor : Qt::CursorShape(shape));
}

QTEST_MAIN(TestPane)
#include "tst_pane.moc"
