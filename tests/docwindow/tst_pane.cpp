// One pane as a widget: its scroll bars for the picture's and the container's sizes, scrolling,
// and the pointer a splitter drag leaves on it.
#include "mouse.h"

#include "docwindow/pane.h"
#include "docwindow/picturebox.h"

#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include <algorithm>

using apptest::sendMouse;
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

} // namespace

class TestPane : public QObject
{
    Q_OBJECT

private slots:
    void scrollBars_data();
    void scrollBars();
    void everyPixelShown_data();
    void everyPixelShown();
    void scrollingMovesThePicture();
    void barsFollowTheContainer();
    void pointerReset_data();
    void pointerReset();
};

void TestPane::scrollBars_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("hsbShown");
    QTest::addColumn<bool>("vsbShown");

    // The container is 200 × 150 outside its 1-pixel border, 198 × 148 inside.
    QTest::newRow("fills the inside") << QSize(198, 148) << false << false;
    QTest::newRow("smaller") << QSize(20, 15) << false << false;
    QTest::newRow("as large as the container") << QSize(200, 150) << true << true;
    QTest::newRow("one pixel wider, low") << QSize(199, 60) << true << false;
    QTest::newRow("one pixel taller, narrow") << QSize(60, 149) << false << true;
    QTest::newRow("both ways") << QSize(500, 400) << true << true;
    QTest::newRow("tall and narrow") << QSize(30, 9000) << false << true;
    QTest::newRow("beyond 16 bits") << QSize(40000, 10) << true << false;
}

void TestPane::scrollBars()
{
    QFETCH(QSize, picture);
    QFETCH(bool, hsbShown);
    QFETCH(bool, vsbShown);

    Pane pane(QStringLiteral("Before"), QString());
    pane.show();
    setUp(pane, QSize(200, 150), picture);
    const int h = barThickness(pane.hsb());
    const int v = barThickness(pane.vsb());
    const int frame = pane.frameWidth();
    QCOMPARE(frame, 1);

    QCOMPARE(pane.hsb()->isVisible(), hsbShown);
    QCOMPARE(pane.vsb()->isVisible(), vsbShown);
    // The range ends where the last column or row meets the bar across or the border.
    const int viewWidth = vsbShown ? 200 - (v + 3) : 198;
    const int viewHeight = hsbShown ? 150 - (h + 3) : 148;
    if (hsbShown) {
        QCOMPARE(pane.hsb()->minimum(), 0);
        QCOMPARE(pane.hsb()->maximum(), std::min(picture.width() - viewWidth, 32767));
        QCOMPARE(pane.hsb()->pageStep(), 100);
        QCOMPARE(pane.hsb()->singleStep(), 10);
        // Shortened by the vertical bar's width + 3 when both show, by 3 otherwise.
        const int width = 200 - (vsbShown ? v + 3 : 3);
        QCOMPARE(pane.hsb()->geometry(), QRect(frame, frame + 150 - (h + 3), width, h));
    }
    if (vsbShown) {
        QCOMPARE(pane.vsb()->maximum(), std::min(picture.height() - viewHeight, 32767));
        QCOMPARE(pane.vsb()->pageStep(), 100);
        QCOMPARE(pane.vsb()->singleStep(), 10);
        const int height = 150 - (hsbShown ? h + 3 : 3);
        QCOMPARE(pane.vsb()->geometry(), QRect(frame + 200 - (v + 3), frame, v, height));
    }
}

void TestPane::everyPixelShown_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::newRow("fits") << QSize(120, 90);
    QTest::newRow("as large as the container") << QSize(200, 150);
    QTest::newRow("one pixel wider, low") << QSize(199, 60);
    QTest::newRow("one pixel wider, full height") << QSize(199, 148);
    QTest::newRow("taller, narrow") << QSize(60, 700);
    QTest::newRow("both ways") << QSize(500, 400);
    QTest::newRow("wide strip") << QSize(1024, 20);
    QTest::newRow("taller than a bar's range") << QSize(60, 40000);
}

void TestPane::everyPixelShown()
{
    QFETCH(QSize, picture);

    // Every pixel tells where it comes from; nothing else in the pane has this blue.
    QImage image(picture, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 251, y % 251, 255));
    }
    Pane pane(QStringLiteral("After"), QString());
    pane.picture()->setImage(image);
    pane.picture()->show();
    pane.resize(200, 150);
    pane.show();
    pane.layoutScroll();

    for (bool atEnd : {false, true}) {
        if (atEnd) {
            pane.hsb()->setValue(pane.hsb()->maximum());
            pane.vsb()->setValue(pane.vsb()->maximum());
        }
        const QImage shot = pane.grab().toImage();
        const auto isPicture = [&shot](int x, int y) {
            const QRgb c = shot.pixel(x, y);
            return qBlue(c) == 255 && qRed(c) < 251;
        };
        // The picture shows as one rectangle inside the border, clear of the bars.
        QRect shown;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                if (isPicture(x, y))
                    shown |= QRect(x, y, 1, 1);
            }
        }
        QVERIFY(!shown.isEmpty());
        for (int y = shown.top(); y <= shown.bottom(); ++y) {
            for (int x = shown.left(); x <= shown.right(); ++x)
                QVERIFY2(isPicture(x, y), qPrintable(QStringLiteral("gap at %1, %2").arg(x).arg(y)));
        }
        QVERIFY(QRect(1, 1, 198, 148).contains(shown));
        for (const QScrollBar *bar : {pane.hsb(), pane.vsb()}) {
            if (bar->isVisible())
                QVERIFY(!shown.intersects(bar->geometry()));
        }
        // The picture fills the view up to its own end: what the view leaves is a bar with its
        // margin, or the border.
        const QPoint first = QPoint(1, 1) - pane.picture()->pos();
        const int right = pane.vsb()->isVisible() ? pane.vsb()->x() - 1 : 198;
        const int bottom = pane.hsb()->isVisible() ? pane.hsb()->y() - 1 : 148;
        QCOMPARE(shown.topLeft(), QPoint(1, 1));
        QCOMPARE(shown.right(), std::min(right, picture.width() - first.x()));
        QCOMPARE(shown.bottom(), std::min(bottom, picture.height() - first.y()));

        // The view starts where the bars put it; at their ends the last column and row are in
        // view, at the view's edge.
        const QRgb corner = shot.pixel(shown.bottomRight());
        QCOMPARE(qRed(shot.pixel(shown.topLeft())), first.x() % 251);
        QCOMPARE(qGreen(shot.pixel(shown.topLeft())), first.y() % 251);
        if (atEnd) {
            QCOMPARE(qRed(corner), (picture.width() - 1) % 251);
            QCOMPARE(qGreen(corner), (picture.height() - 1) % 251);
        }
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
    setUp(pane, QSize(200, 150), QSize(500, 100));
    const int inner = pane.frameWidth();
    pane.hsb()->setValue(300);
    QCOMPARE(pane.picture()->x(), inner - 300);

    // A wider container shortens the range; the bar keeps its value within it.
    pane.resize(400, 150);
    QCOMPARE(pane.hsb()->maximum(), 102);  // 398 inside the border
    QCOMPARE(pane.picture()->x(), inner - 102);

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
    sendMouse(overPicture ? static_cast<QWidget *>(pane->picture()) : pane, QEvent::MouseMove, QPoint(5, 5));
    QCOMPARE(pane->testAttribute(Qt::WA_SetCursor), !reset);
    QCOMPARE(pane->cursor().shape(), reset ? Qt::ArrowCursor : Qt::CursorShape(shape));
}

QTEST_MAIN(TestPane)
#include "tst_pane.moc"
