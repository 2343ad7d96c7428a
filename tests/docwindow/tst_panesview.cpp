// Looking at a document's pictures: a pane fitted to its picture or at 1:1, the question a grey
// depth map brings on insertion, and the depth a stereo picture shows, as a design.
#include "apptest.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include "picturefiles.h"

#include "docwindow/pane.h"
#include "docwindow/panegeometry.h"
#include "document/greydepth.h"

#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <QSlider>
#include <QTemporaryDir>

using namespace apptest;
using lumivex::picture::packPixel;
using lumivex::engine::depthLevel;

namespace {

// A picture of colour(x, y), opaque.
template<typename Colour>
QImage picture(int width, int height, Colour colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colour(x, y) | 0xff000000u);
    return image;
}

// Blocks at the sixteen levels (the first at the background's) in a 4 × 4 grid, clear of the
// last repeat width of each row, whose depth no stereogram holds.
QImage sixteenLevels(int width, int height, int kurikaesi)
{
    const int cellWidth = (width - 40 - kurikaesi - 20) / 4, cellHeight = height / 4;
    return picture(width, height, [=](int x, int y) {
        const int i = (x - 40) / cellWidth, u = (x - 40) % cellWidth, v = y % cellHeight;
        const bool inside = x >= 40 && i < 4 && u >= 18 && u < cellWidth - 18 && v >= 18 && v < cellHeight - 18;
        return lumivex::picture::unpackPixel(lumivex::engine::DepthPalette[inside ? 4 * (y / cellHeight) + i : 0]);
    });
}

// A click where the user's would land: on whatever the window shows at that point.
void clickAt(DocumentWindow *doc, QWidget *in, QPoint pos)
{
    const QPoint inDoc = in->mapTo(doc, pos);
    QWidget *target = doc->childAt(inDoc);
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(doc, inDoc));
}

auto source(const char *word)
{
    return testfiles::sourceWord(QString::fromLatin1(word));
}

} // namespace

class TestPanesView : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_app = std::make_unique<App>(); }
    void cleanup() { m_app.reset(); }

    void fitAndOneToOne();
    void greyQuestion_data();
    void greyQuestion();
    void yesNoBoxHasNoCancel();
    void revealedDesign();

private:
    QString insertDesign(DocumentWindow *doc, const QImage &image, const QString &name)
    {
        const QString path = picturefiles::write(m_dir.path(), name, picturefiles::encoded(image, "PNG"));
        m_app->prompts.files << path;
        m_app->shared().InsertSource = source("FromFile");
        doc->InsPicDesign();
        return path;
    }

    std::unique_ptr<App> m_app;
    QTemporaryDir m_dir;
};

void TestPanesView::fitAndOneToOne()
{
    DocumentWindow *doc = m_app->newMono();
    // A new window takes what the document area shows, its panes split in the middle of that.
    QMdiSubWindow *frame = App::frameOf(doc);
    QCOMPARE(frame->geometry(), m_app->window->mdiArea()->viewport()->rect());
    QVERIFY(std::abs(doc->picContBefore()->width() - doc->picContAfter()->width()) <= doc->width() / 50);
    const QImage quarters = picture(900, 700, [](int x, int y) { return 0x500000u * (x / 450) + 0x60u * (y / 350); });
    insertDesign(doc, quarters, QStringLiteral("quarters.png"));
    lumivex::docwindow::Pane *pane = doc->picContBefore();
    lumivex::docwindow::PictureBox *box = doc->picBefore();
    pane->hsb()->setValue(50);
    pane->vsb()->setValue(40);

    // A double-click (a click, then a press that is also a double-click, and its release) fits
    // the picture into the room inside the border, without bars; the clicks still select.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(100, 100));
    m_app->shared().InsertSource = source("FromFile");
    QTest::mouseDClick(box, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(100, 100));
    QVERIFY(doc->paneFitted(0) && !doc->paneFitted(2));
    QCOMPARE(m_app->shared().InsertSource, source("CBpicBefore"));
    QVERIFY(!box->pressedLook() && !pane->hsb()->isVisible() && !pane->vsb()->isVisible());
    const int border = pane->frameWidth();
    const QSize inner = pane->size() - QSize(2 * border, 2 * border);
    const QSize shown = box->shownRect().size();
    QCOMPARE(shown, lumivex::docwindow::fittedSize(quarters.size(), inner));
    QVERIFY(shown.width() == inner.width() || shown.height() == inner.height());
    QCOMPARE(box->pos(), QPoint(border, border));
    QCOMPARE(box->size(), quarters.size());  // what reads the picture reads all of it

    // The whole picture is in view, each quarter where it belongs.
    const QImage seen = pane->grab().toImage();
    for (const QPointF &at : {QPointF(0.25, 0.25), QPointF(0.75, 0.25), QPointF(0.25, 0.75), QPointF(0.75, 0.75)}) {
        QCOMPARE(seen.pixel(border + int(at.x() * shown.width()), border + int(at.y() * shown.height())),
                 quarters.pixel(int(at.x() * 900), int(at.y() * 700)));
    }

    // Beside the scaled picture the pane is the container's: a click there selects nothing.
    clickAt(doc, doc->picContAfter(), doc->picContAfter()->rect().center());
    QCOMPARE(m_app->shared().InsertSource, source("CBpicAfter"));
    const QPoint beside = shown.height() < inner.height() ? QPoint(10, border + shown.height() + 5)
                                                          : QPoint(border + shown.width() + 5, 10);
    QCOMPARE(doc->childAt(pane->mapTo(doc, beside)), pane);
    clickAt(doc, pane, beside);
    QCOMPARE(m_app->shared().InsertSource, source("CBpicAfter"));
    clickAt(doc, pane, QPoint(border + 5, border + 5));
    QCOMPARE(m_app->shared().InsertSource, source("CBpicBefore"));

    App::frameOf(doc)->resize(App::frameOf(doc)->size() + QSize(120, 90));
    QTRY_COMPARE(box->shownRect().size(),
                 lumivex::docwindow::fittedSize(quarters.size(), pane->size() - QSize(2 * border, 2 * border)));

    // Back at 1:1 through the function the context menu calls, the bars where they were.
    doc->togglePaneFit(0);
    QVERIFY(!doc->paneFitted(0) && pane->hsb()->isVisible() && pane->vsb()->isVisible());
    QCOMPARE(box->pos(), QPoint(border - 50, border - 40));
    QCOMPARE(box->shownRect(), box->rect());

    // 変換's ウインドウに合わせる (Ctrl+0) switches the selected pane the same way.
    QAction *fit = m_app->window->menuAction(QStringLiteral("mnuFitPane"));
    QMenu *convert = m_app->window->menuAction(QStringLiteral("mnuConvert"))->menu();
    emit convert->aboutToShow();  // the check mark as the menu shows it
    QVERIFY(fit->isEnabled() && !fit->isChecked());
    m_app->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_app->window.get()));
    QTest::keyClick(m_app->window.get(), Qt::Key_0, Qt::ControlModifier);
    emit convert->aboutToShow();
    QVERIFY(doc->paneFitted(0) && fit->isChecked());
    QTest::keyClick(m_app->window.get(), Qt::Key_0, Qt::ControlModifier);
    emit convert->aboutToShow();
    QVERIFY(!doc->paneFitted(0) && !fit->isChecked());
}

void TestPanesView::greyQuestion_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<int>("answer");    // the button; -1: not asked, -2: the box closed
    QTest::addColumn<QString>("taken"); // converted, as is, none

    const QImage ramp = picture(64, 4, [](int x, int) { return 0x040404u * x; });
    const QImage depthGreys = picture(64, 4, [](int x, int) { return QList<QRgb>{0, 0x808080, 0xc0c0c0, 0xffffff}[x % 4]; });
    const QImage colours = picture(64, 4, [](int x, int) { return x % 2 ? 0x646464u : 0xff0000u; });
    QTest::newRow("grey ramp, smooth") << ramp << 0 << "as is";
    QTest::newRow("grey ramp, sixteen levels") << ramp << 1 << "converted";
    QTest::newRow("grey ramp, as is") << ramp << 2 << "as is";
    QTest::newRow("grey ramp, closed") << ramp << -2 << "as is";
    QTest::newRow("depth greys only") << depthGreys << -1 << "as is";
    QTest::newRow("colours") << colours << -1 << "as is";
}

void TestPanesView::greyQuestion()
{
    QFETCH(QImage, image);
    QFETCH(int, answer);
    QFETCH(QString, taken);

    DocumentWindow *doc = m_app->newMono();
    const QImage before = picture(8, 8, [](int x, int) { return 0x101010u * x; });
    m_app->prompts.choices = answer == -2 ? QList<int>{0} : QList<int>{0, answer};
    insertDesign(doc, before, QStringLiteral("before.png"));
    const QString path = insertDesign(doc, image, QStringLiteral("design.png"));

    // Not asked: the file dialog was the last thing asked.
    QCOMPARE(m_app->prompts.asked.last().text, answer == -1 ? QString()
             : QStringLiteral("グレースケールの深度画像です。滑らかな深さで使いますか、16段階の深さに変換しますか？\r\n\r\n"
                              "「そのまま」は画像を深さの色として読みます。グレーは黒・灰・銀・白の4段階の深さに切られ、"
                              "滑らかにはなりません。"));
    const QImage expected = taken == QLatin1String("converted") ? lumivex::document::greyToDepthColours(image)
        : taken == QLatin1String("as is")                     ? image
                                                              : before;
    QCOMPARE(doc->picUra().convertToFormat(QImage::Format_RGB32), expected);
    QCOMPARE(doc->picBefore()->image(), expected);
    QCOMPARE(m_app->shared().DesignImagePath == path, taken != QLatin1String("none"));
    QCOMPARE(testfiles::iniValue(m_app->shared().StateFilePath, "DepthKind"), answer == 0 ? "Grey" : "<missing>");
}

void TestPanesView::revealedDesign()
{
    DocumentWindow *doc = m_app->newMono();
    QString message;
    QVERIFY(doc->revealedDesign(&message).isNull());
    QCOMPARE(message, QStringLiteral("ステレオ画像がありません。"));

    constexpr int kurikaesi = 70;
    m_app->window->slider(0)->setValue(kurikaesi);
    m_app->window->slider(1)->setValue(20);
    const QImage design = sixteenLevels(480, 320, kurikaesi);
    m_app->putDesign(doc, design);
    QVERIFY(m_app->startAndWait());
    const QImage revealed = doc->revealedDesign(&message);
    QVERIFY2(!revealed.isNull() && message.isEmpty(), qPrintable(message));
    QCOMPARE(revealed.size(), doc->picAfter()->image().size());

    // Away from the edges of the blocks, where a nearer surface hides part of a farther one from
    // one eye, nearly every pixel has its design's level exactly.
    int compared = 0, same = 0;
    for (int y = 8; y < revealed.height() - 8; y += 2) {
        for (int x = 8; x < revealed.width() - kurikaesi; x += 2) {
            const QRgb c = design.pixel(x, y);
            if (design.pixel(x - 8, y) != c || design.pixel(x + 8, y) != c || design.pixel(x, y - 8) != c
                || design.pixel(x, y + 8) != c)
                continue;
            ++compared;
            same += depthLevel(packPixel(revealed.pixel(x, y))) == depthLevel(packPixel(c));
        }
    }
    QVERIFY(compared > 10000);
    QVERIFY2(same >= compared * 97 / 100, qPrintable(QStringLiteral("%1 of %2").arg(same).arg(compared)));

    // A picture with nothing repeating in it shows no depth, and says so.
    quint32 state = 7;
    doc->picAfter()->setImage(picture(300, 200, [&](int, int) { return (state = state * 1664525u + 1013904223u) >> 8; }));
    QVERIFY(doc->revealedDesign(&message).isNull());
    QCOMPARE(message, QStringLiteral("ステレオ画像に横方向の繰り返しが見つからないため、深さを読み取れません。"));
}

void TestPanesView::yesNoBoxHasNoCancel()
{
    // The real box of a Yes/No question: two buttons, and Esc answers No.
    QMessageBox::StandardButtons shown;
    QTimer::singleShot(0, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->standardButtons();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    lumivex::prompts::QtPrompts prompts;
    QCOMPARE(prompts.yesNo(nullptr, QStringLiteral("t"), QStringLiteral("q")), lumivex::prompts::Prompts::Answer::No);
    QCOMPARE(shown, QMessageBox::Yes | QMessageBox::No);
    for (const auto &[key, expected] : {std::pair{Qt::Key_Escape, 2}, std::pair{Qt::Key_Return, 0}}) {
        QTimer::singleShot(0, this, [key = key] { QTest::keyClick(QApplication::activeModalWidget(), key); });
        QCOMPARE(prompts.choose(nullptr, QStringLiteral("t"), QStringLiteral("q"), {"a", "b", "c"}, 2), expected);
    }
}

QTEST_MAIN(TestPanesView)
#include "tst_panesview.moc"
