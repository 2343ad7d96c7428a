// Conversion runs inside a document window: the whole run, pause and continue, abort, the lock
// of the other windows, and the conversion controls through all of them.
#include "apptest.h"
#include "picturefiles.h"
#include "runchecks.h"
#include "../cli/convertrun.h"
#include "document/greydepth.h"
#include "picture/picture.h"

#include <QTemporaryDir>

#include <QLabel>
#include <QSlider>

using namespace apptest;
using namespace runchecks;

class TestRunControl : public QObject
{
    Q_OBJECT

private slots:
    void fullRun_data();
    void fullRun();
    void pauseAndContinue_data();
    void pauseAndContinue();
    void abortThenStart_data();
    void abortThenStart();
    void lockCoversEveryOtherWindow();
};

void TestRunControl::fullRun_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("runningText");
    QTest::addColumn<QSize>("design");
    QTest::addColumn<QSize>("picture");
    QTest::newRow("monochrome") << "mnuMono" << kDotRunning << QSize(120, 90) << QSize(119, 89);
    QTest::newRow("colour") << "mnuColor" << kDotRunning << QSize(120, 90) << QSize(119, 89);
    QTest::newRow("colour field, small field") << "mnuFieldColor" << kFieldRunning + QStringLiteral(
        "\nステレオ画像は 100 × 80（フィールド画像の大きさ）になります。") << QSize(120, 90) << QSize(100, 80);
    QTest::newRow("colour field") << "mnuFieldColor" << kFieldRunning << QSize(100, 80) << QSize(100, 80);
    QTest::newRow("smooth mono, sixteen greys") << "mnuMono" << kDotRunning << QSize(120, 90) << QSize(119, 89);
    QTest::newRow("smooth colour, grey ramp") << "mnuColor" << kDotRunning << QSize(120, 90) << QSize(119, 89);
    QTest::newRow("smooth field, grey ramp") << "mnuFieldColor" << kFieldRunning << QSize(100, 80) << QSize(100, 80);
    // 奥行きを反転: the picture --invert makes.
    QTest::newRow("colour, inverted") << "mnuColor" << kDotRunning << QSize(120, 90) << QSize(119, 89);
    QTest::newRow("smooth field, grey ramp, inverted") << "mnuFieldColor" << kFieldRunning << QSize(100, 80) << QSize(100, 80);
}

void TestRunControl::fullRun()
{
    QFETCH(QString, menu);
    QFETCH(QString, runningText);
    QFETCH(QSize, design);
    QFETCH(QSize, picture);
    App app;
    DocumentWindow *other = app.newMono();
    app.window->menuAction(menu)->trigger();
    DocumentWindow *document = app.window->activeDocument();
    countSeeds(document);
    const bool field = menu == QLatin1String("mnuFieldColor");
    QImage designImage = designPicture(design.width(), design.height()), greys = designImage;
    const QImage fieldImage = field ? fieldPicture(100, 80) : QImage();
    // Smooth: the same depths in greys (level × 17) convert as the depth colours do, a ramp does not.
    const QByteArray tag = QTest::currentDataTag();
    const bool smooth = tag.startsWith("smooth"), ramp = tag.contains("ramp"), inverted = tag.endsWith("inverted");
    for (int i = 0; i < greys.width() * greys.height(); ++i) {
        const int x = i % greys.width(), y = i / greys.width();
        const int g = 17 * engine::depthLevel(lumivex::picture::packPixel(greys.pixel(x, y)));
        greys.setPixel(x, y, ramp ? qRgb(2 * x, 2 * x, 2 * x) : qRgb(g, g, g));
    }
    designImage = ramp ? lumivex::document::greyToDepthColours(greys) : designImage;
    app.shared().DesignDepth = smooth ? lumivex::document::DepthKind::Grey : lumivex::document::DepthKind::Colours;
    app.putDesign(document, smooth ? greys : designImage, fieldImage);
    if (inverted)
        app.window->menuAction(QStringLiteral("mnuInvertDepth"))->trigger();

    QString seenText, seenSize, seenControls;
    bool otherLocked = false;
    RowHook hook(*app.window, 0, 20, [&] {
        seenText = app.window->statusPanel(1)->text();
        seenSize = app.window->statusPanel(5)->text();
        seenControls = describe(*app.window);
        otherLocked = !app.window->isDocumentWindowEnabled(other);
        QVERIFY(app.shared().Converting);
        QVERIFY(app.window->isDocumentWindowEnabled(document));
        QVERIFY(!app.window->slider(0)->isEnabled());
        QVERIFY(!app.window->isMenuEnabled(QStringLiteral("mnuWindow")));
        QVERIFY(!app.window->isMenuEnabled(QStringLiteral("mnuNew")));
    });
    QVERIFY(app.startAndWait());
    QVERIFY(hook.fired());
    QCOMPARE(seenText, runningText);
    QCOMPARE(seenSize, QStringLiteral("%1 \u00d7 %2").arg(picture.width()).arg(picture.height()));
    QCOMPARE(seenControls, expected(kRunning));
    QVERIFY(otherLocked);

    const QImage result = document->picAfter()->image();
    QCOMPARE(result.size(), picture);
    QVERIFY(document->picAfter()->isVisibleTo(document));
    QCOMPARE(result == (field ? referenceField(designImage, fieldImage, {})
                              : referenceDots(designImage, {{0, -1, 1, dotParams(menu == QLatin1String("mnuMono"))}})), !ramp && !inverted);
    if (ramp || inverted) {
        // A ramp is smooth depth built finer than the pixels, an inverted one inside out: the picture
        // the converter makes of the same design, at the same values and with the run's seed.
        QTemporaryDir dir;
        const QString map = picturefiles::write(dir.path(), QStringLiteral("ramp.png"),
                                                picturefiles::encoded(smooth ? greys : designImage, "PNG"));
        QStringList args{"--depth", smooth ? "grey" : "colours", "--repeat", "70", "--strength", "20"};
        args << (ramp ? QStringList{"--oversample", "4"} : QStringList()) << (inverted ? QStringList{"--invert"} : QStringList());
        args << (field ? QStringList{"--mode", "field", "--field",
                                     picturefiles::write(dir.path(), QStringLiteral("field.png"), picturefiles::encoded(fieldImage, "PNG"))}
                       : QStringList{"--mode", "color", "--density", "30", "--seed", "1"});
        const QString out = dir.filePath(QStringLiteral("out.png"));
        const lumivex::testing::Run run = lumivex::testing::convert(args << map << out, dir.path());
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(result.convertToFormat(QImage::Format_RGB32),
                 lumivex::picture::loadPicture(out).convertToFormat(QImage::Format_RGB32));
    }

    // the end of the run
    QVERIFY(!app.shared().Converting);
    QVERIFY(!document->holdsRun());
    QCOMPARE(document->DotResumeRow + document->FieldResumeRow, 0);
    QVERIFY(app.window->isDocumentWindowEnabled(other));
    QCOMPARE(describe(*app.window), expected(kEnded));
    QCOMPARE(app.window->statusPanel(1)->text(), document->lblIniName());
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuSaveStereo")));
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuPrint")));
    QVERIFY(app.window->button(4)->isEnabled());
    QVERIFY(app.window->slider(0)->isEnabled());
    QCOMPARE(app.window->slider(2)->isEnabled(), !field);
    QCOMPARE(iniValue(document->lblIniName(), "mnuConvStart"), QStringLiteral("True"));
}

void TestRunControl::pauseAndContinue_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("pausedText");
    QTest::newRow("random dot") << "mnuMono" << kDotPaused;
    QTest::newRow("colour field") << "mnuFieldColor" << kFieldPaused;
}

void TestRunControl::pauseAndContinue()
{
    QFETCH(QString, menu);
    QFETCH(QString, pausedText);
    const bool field = menu == QLatin1String("mnuFieldColor");
    App app;
    DocumentWindow *other = app.newColour();
    app.window->menuAction(menu)->trigger();
    DocumentWindow *document = app.window->activeDocument();
    countSeeds(document);
    const QImage design = designPicture(140, 100);
    const QImage fieldImage = field ? fieldPicture(139, 99) : QImage();
    app.putDesign(document, design, fieldImage);

    // 中断 chosen while row 57 is worked on: rows up to 57 are complete
    RowHook pause(*app.window, 0, 58, [&] { app.trigger("mnuConvStop"); });
    QVERIFY(app.startAndWait());
    QVERIFY(pause.fired());
    QCOMPARE(field ? document->FieldResumeRow : document->DotResumeRow, 58);
    QCOMPARE(describe(*app.window), expected(kPaused));
    QCOMPARE(app.window->statusPanel(1)->text(), pausedText);
    QVERIFY(app.shared().Converting);
    QVERIFY(!app.shared().PauseRequested);
    QVERIFY(document->holdsRun());
    QVERIFY(!app.window->isDocumentWindowEnabled(other));
    QVERIFY(!app.window->slider(0)->isEnabled());
    QVERIFY(!app.window->caption(0)->isEnabled());
    const QImage paused = document->picAfter()->image();
    QVERIFY(!rowIsBlank(paused, 57));
    QVERIFY(rowIsBlank(paused, 58));
    QVERIFY(rowIsBlank(paused, paused.height() - 1));

    // the continuation reads the parameters afresh
    lumivex::document::iniWriteString(document->lblIniName(), QString::fromLatin1(lumivex::document::kSection),
                                      QStringLiteral("KurikaesiHaba"), QStringLiteral("50"));
    QString seenControls;
    RowHook look(*app.window, 58, 60, [&] { seenControls = describe(*app.window); });
    QVERIFY(app.startAndWait());
    QCOMPARE(seenControls, expected(kRunning));
    QCOMPARE(describe(*app.window), expected(kEnded));
    QVERIFY(app.window->isDocumentWindowEnabled(other));
    const QImage result = document->picAfter()->image();
    if (field) {
        // no randomness: the rows after the pause are those of a run with the new width
        engine::FieldParams narrow;
        narrow.kurikaesi = 50;
        const QImage before = referenceField(design, fieldImage, {});
        const QImage after = referenceField(design, fieldImage, narrow);
        for (int y = 0; y < result.height(); ++y)
            QVERIFY2(result.copy(0, y, result.width(), 1) == (y < 58 ? before : after).copy(0, y, result.width(), 1),
                     qPrintable(QString::number(y)));
    } else {
        QVERIFY(result == referenceDots(design, {{0, 58, 1, dotParams(true)}, {58, -1, 2, dotParams(true, 50)}}));
    }
}

void TestRunControl::abortThenStart_data()
{
    QTest::addColumn<bool>("elsewhere");
    QTest::newRow("start in another window") << true;
    QTest::newRow("start in the same window") << false;
}

void TestRunControl::abortThenStart()
{
    QFETCH(bool, elsewhere);
    App app;
    DocumentWindow *b = app.newMono();
    DocumentWindow *a = app.newMono();
    countSeeds(a);
    countSeeds(b);
    const QImage design = designPicture(90, 70);
    app.activate(b);
    app.putDesign(b, design);
    app.activate(a);
    app.putDesign(a, design);

    RowHook pause(*app.window, 0, 30, [&] { app.trigger("mnuConvStop"); });
    QVERIFY(app.startAndWait());
    QCOMPARE(a->DotResumeRow, 30);
    app.trigger("mnuConvExit");

    // the abort sequence
    QVERIFY(app.shared().PauseRequested);
    QVERIFY(app.shared().AbortRequested);
    QVERIFY(!app.shared().Converting);
    QVERIFY(!a->holdsRun());
    QVERIFY(a->picAfter()->isHidden());
    QVERIFY(a->picAfter()->image().isNull());
    QCOMPARE(a->picAfter()->size(), QSize(1, 1));
    QCOMPARE(a->DotResumeRow, 30);
    QVERIFY(app.window->isDocumentWindowEnabled(b));
    QCOMPARE(describe(*app.window), expected(kEnded));
    QCOMPARE(app.window->statusPanel(1)->text(), a->lblIniName());
    QVERIFY(app.window->statusPanel(5)->text().isEmpty());
    QVERIFY(!app.window->isMenuEnabled(QStringLiteral("mnuPrint")));
    QVERIFY(!app.window->button(4)->isEnabled());
    QVERIFY(app.window->slider(0)->isEnabled());

    if (elsewhere) {
        // B's start takes the pending abort; A later continues at its row into its emptied pane
        app.activate(b);
        QVERIFY(app.startAndWait());
        QVERIFY(!app.shared().AbortRequested);
        QVERIFY(!app.shared().PauseRequested);
        QVERIFY(b->picAfter()->image() == referenceDots(design, {{0, -1, 1, dotParams(true)}}));
        app.activate(a);
        QVERIFY(app.startAndWait());
        const QImage result = a->picAfter()->image();
        QCOMPARE(result.size(), QSize(89, 69));
        const QImage reference = referenceDots(design, {{0, 30, 1, dotParams(true)}, {30, -1, 2, dotParams(true)}});
        for (int y = 0; y < result.height(); ++y) {
            if (y < 30)
                QVERIFY2(rowIsBlank(result, y), qPrintable(QString::number(y)));
            else
                QVERIFY2(result.copy(0, y, 89, 1) == reference.copy(0, y, 89, 1), qPrintable(QString::number(y)));
        }
    } else {
        // the next start begins afresh
        RowHook look(*app.window, 0, 1, [&] { QVERIFY(rowIsBlank(a->picAfter()->image(), 40)); });
        QVERIFY(app.startAndWait());
        QVERIFY(look.fired());
        QVERIFY(!app.shared().AbortRequested);
        QVERIFY(a->picAfter()->image() == referenceDots(design, {{0, 30, 1, dotParams(true)}, {0, -1, 2, dotParams(true)}}));
    }
    QVERIFY(a->picAfter()->isVisibleTo(a));
}

void TestRunControl::lockCoversEveryOtherWindow()
{
    App app;
    DocumentWindow *b = app.newMono();
    DocumentWindow *c = app.newField();
    DocumentWindow *a = app.newMono();
    app.putDesign(a, designPicture(60, 50));
    app.window->setDocumentWindowEnabled(c, false);  // disabled for a reason of its own

    bool locked = false;
    RowHook look(*app.window, 0, 10, [&] {
        locked = !app.window->isDocumentWindowEnabled(b) && !app.window->isDocumentWindowEnabled(c)
            && app.window->isDocumentWindowEnabled(a) && app.window->isEnabled();
    });
    RowHook pause(*app.window, 0, 20, [&] { app.trigger("mnuConvStop"); });
    QVERIFY(app.startAndWait());
    QVERIFY(locked);
    QVERIFY(!app.window->isDocumentWindowEnabled(b));
    QVERIFY(!app.window->isDocumentWindowEnabled(c));
    QVERIFY(!App::frameOf(b)->isEnabled());

    // no other document can be activated meanwhile
    app.activate(b);
    QCOMPARE(app.window->activeDocument(), a);

    QVERIFY(app.startAndWait());
    for (DocumentWindow *document : {a, b, c})
        QVERIFY(app.window->isDocumentWindowEnabled(document));
}

QTEST_MAIN(TestRunControl)
#include "tst_runcontrol.moc"
