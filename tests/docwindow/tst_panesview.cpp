// Looking at a document's pictures: a pane fitted to its picture or at 1:1, the question a grey
// depth map brings on insertion, and the depth a stereo picture shows, as a design.
#include "appfixture.h"
#include "picturefiles.h"

#include "docwindow/pane.h"
#include "docwindow/panegeometry.h"
#include "document/greydepth.h"

#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>

using namespace appfixture;
using lumivex::docwindow::Pane;
using lumivex::engine::DepthPalette;

namespace {

const QString kGreyQuestion = QStringLiteral("グレースケールの深度画像です。16段階の深さに変換しますか？");

// Four plain quarters, so that a scaled copy keeps their colours away from where they meet.
QImage quarters(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(200, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 200), qRgb(220, 220, 40)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colours[(x < width / 2 ? 0 : 1) + (y < height / 2 ? 0 : 2)]);
    return image;
}

// Blocks at the sixteen levels over the far background, a 4 × 4 grid clear of the last repeat
// width of each row, whose depth no stereogram holds.
QImage sixteenLevels(int width, int height, int kurikaesi)
{
    constexpr int margin = 40, inset = 18;
    const int cellWidth = (width - margin - kurikaesi - 20) / 4, cellHeight = height / 4;
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int i = (x - margin) / cellWidth, j = y / cellHeight, u = (x - margin) % cellWidth;
            const bool inside = x >= margin && i < 4 && u >= inset && u < cellWidth - inset
                && y % cellHeight >= inset && y % cellHeight < cellHeight - inset;
            image.setPixel(x, y, lumivex::document::unpackPixel(DepthPalette[inside ? 4 * j + i : 0]));
        }
    }
    return image;
}

// What a widget receives from a double-click: a click, then a press that is also a double-click,
// then the release.
void doubleClick(QWidget *widget, QPoint pos)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

// A click where the user's would land: on whatever the window shows at that point.
void clickAt(DocumentWindow *doc, QWidget *in, QPoint pos)
{
    const QPoint inDoc = in->mapTo(doc, pos);
    QWidget *target = doc->childAt(inDoc);
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(doc, inDoc));
}

} // namespace

class TestPanesView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fitAndOneToOne();
    void greyQuestion_data();
    void greyQuestion();
    void revealedDesign();

private:
    QString insertDesign(DocumentWindow *doc, const QImage &image, const char *format = "PNG");

    std::unique_ptr<App> m_app;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPanesView::init()
{
    m_app = std::make_unique<App>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestPanesView::cleanup()
{
    m_app.reset();
    m_dir.reset();
}

QString TestPanesView::insertDesign(DocumentWindow *doc, const QImage &image, const char *format)
{
    const QString path = picturefiles::write(m_dir->path(), QStringLiteral("design.") + QString::fromLatin1(format).toLower(),
                                             picturefiles::encoded(image, format));
    m_app->prompts.files << path;
    m_app->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    doc->InsPicDesign();
    return path;
}

void TestPanesView::fitAndOneToOne()
{
    DocumentWindow *doc = m_app->newMono();
    QVERIFY(doc);
    const QImage picture = quarters(900, 700);
    insertDesign(doc, picture);
    Pane *pane = doc->picContBefore();
    auto *box = doc->picBefore();
    QVERIFY(!doc->paneFitted(0) && pane->hsb()->isVisible() && pane->vsb()->isVisible());
    pane->hsb()->setValue(50);
    pane->vsb()->setValue(40);

    // A double-click fits the picture into the room inside the border, without bars, and the
    // clicks select the pane as single clicks do.
    m_app->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    doubleClick(box, QPoint(100, 100));
    QVERIFY(doc->paneFitted(0));
    QCOMPARE(m_app->shared().InsertSource, testfiles::sourceWord(QStringLiteral("CBpicBefore")));
    QVERIFY(!box->pressedLook());
    QVERIFY(!pane->hsb()->isVisible() && !pane->vsb()->isVisible());
    const int border = pane->frameWidth();
    const QSize inner = pane->size() - QSize(2 * border, 2 * border);
    const QSize shown = lumivex::docwindow::fittedSize(picture.size(), inner);
    QCOMPARE(box->shownRect(), QRect(QPoint(0, 0), shown));
    QCOMPARE(box->pos(), QPoint(border, border));
    QVERIFY(shown.width() == inner.width() || shown.height() == inner.height());
    // What reads the picture still reads all of it, at its own size.
    QCOMPARE(box->size(), picture.size());
    QCOMPARE(box->image().size(), picture.size());

    // The whole picture is in view, each quarter where it belongs.
    const QImage seen = pane->grab().toImage();
    for (int q = 0; q < 4; ++q) {
        const QPoint at(border + shown.width() * (1 + 2 * (q % 2)) / 4, border + shown.height() * (1 + 2 * (q / 2)) / 4);
        const QPoint in(picture.width() * (1 + 2 * (q % 2)) / 4, picture.height() * (1 + 2 * (q / 2)) / 4);
        QCOMPARE(seen.pixel(at), picture.pixel(in));
    }

    // Beside a scaled picture the pane is the container's: a click there selects nothing, a
    // click on the picture selects it.
    clickAt(doc, doc->picContAfter(), doc->picContAfter()->rect().center());
    QCOMPARE(m_app->shared().InsertSource, testfiles::sourceWord(QStringLiteral("CBpicAfter")));
    const QPoint beside = shown.height() < inner.height() ? QPoint(10, border + shown.height() + 5)
                                                          : QPoint(border + shown.width() + 5, 10);
    QCOMPARE(doc->childAt(pane->mapTo(doc, beside)), pane);
    clickAt(doc, pane, beside);
    QCOMPARE(m_app->shared().InsertSource, testfiles::sourceWord(QStringLiteral("CBpicAfter")));
    clickAt(doc, pane, QPoint(border + 5, border + 5));
    QCOMPARE(m_app->shared().InsertSource, testfiles::sourceWord(QStringLiteral("CBpicBefore")));

    // The fit follows the pane's size.
    App::frameOf(doc)->resize(App::frameOf(doc)->size() + QSize(120, 90));
    QTRY_COMPARE(box->shownRect().size(),
                 lumivex::docwindow::fittedSize(picture.size(), pane->size() - QSize(2 * border, 2 * border)));

    // Back at 1:1 through the function the context menu calls: the bars are back where they were.
    doc->togglePaneFit(0);
    QVERIFY(!doc->paneFitted(0));
    QVERIFY(pane->hsb()->isVisible() && pane->vsb()->isVisible());
    QCOMPARE(pane->hsb()->value(), 50);
    QCOMPARE(pane->vsb()->value(), 40);
    QCOMPARE(box->pos(), QPoint(border - 50, border - 40));
    QCOMPARE(box->shownRect(), box->rect());
    // The other panes were never fitted; a pane out of range is none.
    QVERIFY(!doc->paneFitted(2) && !doc->paneFitted(3) && !doc->paneFitted(-1));
    doc->togglePaneFit(7);
}

void TestPanesView::greyQuestion_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("outcome");  // converted, as is, nothing

    QImage ramp(64, 4, QImage::Format_RGB32);
    for (int x = 0; x < ramp.width(); ++x)
        for (int y = 0; y < ramp.height(); ++y)
            ramp.setPixel(x, y, qRgb(x * 4, x * 4, x * 4));
    const QImage depthGreys = picturefiles::bands(32, 4, {qRgb(0, 0, 0), qRgb(128, 128, 128),
                                                          qRgb(192, 192, 192), qRgb(255, 255, 255)});
    const QImage colours = picturefiles::bands(32, 4, {qRgb(100, 100, 100), qRgb(255, 0, 0)});
    const int yes = int(Answer::Yes), no = int(Answer::No), cancel = int(Answer::Cancel);
    QTest::newRow("grey ramp, yes") << ramp << true << yes << "converted";
    QTest::newRow("grey ramp, no") << ramp << true << no << "as is";
    QTest::newRow("grey ramp, cancel") << ramp << true << cancel << "nothing";
    QTest::newRow("depth greys only") << depthGreys << false << yes << "as is";
    QTest::newRow("colours") << colours << false << yes << "as is";
}

void TestPanesView::greyQuestion()
{
    QFETCH(QImage, picture);
    QFETCH(bool, asked);
    QFETCH(int, answer);
    QFETCH(QString, outcome);

    DocumentWindow *doc = m_app->newMono();
    QVERIFY(doc);
    const QImage before = picturefiles::bands(8, 8, {qRgb(255, 0, 0)});
    insertDesign(doc, before, "BMP");
    m_app->prompts.asked.clear();
    m_app->prompts.answers = {Answer(answer)};
    const QString path = insertDesign(doc, picture);

    QStringList questions;
    for (const ScriptedPrompts::Asked &a : m_app->prompts.asked) {
        if (a.kind == QLatin1String("question"))
            questions << a.text;
    }
    QCOMPARE(questions, asked ? QStringList{kGreyQuestion} : QStringList{});
    const QImage expected = outcome == QLatin1String("converted") ? lumivex::document::greyToDepthColours(picture)
        : outcome == QLatin1String("as is")                     ? picture.convertToFormat(QImage::Format_RGB32)
                                                                : before.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(doc->picUra().convertToFormat(QImage::Format_RGB32), expected);
    QCOMPARE(doc->picBefore()->image(), expected);
    QCOMPARE(m_app->shared().DesignImagePath == path, outcome != QLatin1String("nothing"));
    if (outcome == QLatin1String("converted")) {
        // Every level of the ramp is there: the design now holds sixteen depths, not two.
        QSet<QRgb> levels;
        for (int x = 0; x < expected.width(); ++x)
            levels.insert(expected.pixel(x, 0));
        QCOMPARE(levels.size(), 16);
    }
}

void TestPanesView::revealedDesign()
{
    DocumentWindow *doc = m_app->newMono();
    QVERIFY(doc);
    QString message;
    QVERIFY(doc->revealedDesign(&message).isNull());
    QCOMPARE(message, QStringLiteral("ステレオ画像がありません。"));

    constexpr int kurikaesi = 70;
    m_app->window->slider(0)->setValue(kurikaesi);
    m_app->window->slider(1)->setValue(20);
    const QImage design = sixteenLevels(480, 320, kurikaesi);
    m_app->putDesign(doc, design);
    QVERIFY(m_app->startAndWait());
    QVERIFY(!doc->picAfter()->isHidden());

    const QImage revealed = doc->revealedDesign(&message);
    QVERIFY2(!revealed.isNull(), qPrintable(message));
    QVERIFY(message.isEmpty());
    QCOMPARE(revealed.size(), doc->picAfter()->image().size());
    // Away from the edges of the blocks, where a nearer surface hides part of a farther one from
    // one eye, nearly every pixel has its design's level exactly.
    int compared = 0, same = 0;
    for (int y = 0; y < revealed.height(); y += 2) {
        for (int x = 0; x < revealed.width() - kurikaesi; x += 2) {
            const int level = lumivex::engine::depthLevel(lumivex::document::packPixel(design.pixel(x, y)));
            bool edge = false;
            for (int d = -8; d <= 8 && !edge; d += 2)
                edge = design.pixel(std::clamp(x + d, 0, design.width() - 1), y) != design.pixel(x, y)
                    || design.pixel(x, std::clamp(y + d, 0, design.height() - 1)) != design.pixel(x, y);
            if (edge)
                continue;
            ++compared;
            same += lumivex::engine::depthLevel(lumivex::document::packPixel(revealed.pixel(x, y))) == level;
        }
    }
    QVERIFY(compared > 10000);
    QVERIFY2(same >= compared * 97 / 100, qPrintable(QStringLiteral("%1 of %2").arg(same).arg(compared)));

    // A picture with nothing repeating in it shows no depth, and says so.
    QImage noise(300, 200, QImage::Format_RGB32);
    quint32 state = 7;
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            noise.setPixel(x, y, state >> 8);
        }
    }
    doc->picAfter()->setImage(noise);
    QVERIFY(doc->revealedDesign(&message).isNull());
    QCOMPARE(message, QStringLiteral("ステレオ画像に横方向の繰り返しが見つからないため、深さを読み取れません。"));
}

QTEST_MAIN(TestPanesView)
#include "tst_panesview.moc"
