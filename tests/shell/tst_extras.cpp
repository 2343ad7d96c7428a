// The commands beyond the classic set, as a user meets them in the main window: live
// conversion following the sliders, the reveal of a finished picture into a new document, the
// full view's and the guide marks' menu items, the check and the 3-D viewer beside the window.
#include "apptest.h"
#include "picturefiles.h"
#include "sirds.h"
#include "../cli/convertrun.h"

#include "document/appsettings.h"
#include "shell/stereocheckwindow.h"
#include "shell/stereoviewer.h"

#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>

#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSlider>

using namespace apptest;

class TestExtras : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(lumivex::document::AppSettings().settingsFilePath()); }
    void liveConversionFollowsTheSliders();
    void revealOpensTheDepthAsANewDesign();
    void checkItemsAreRemembered();
    void settingsGivingNoPictureAreMarked();
    void stereoCheckFollowsTheActiveDocument_data();
    void stereoCheckFollowsTheActiveDocument();
    void seeIn3DShowsTheConvertersViews_data();
    void seeIn3DShowsTheConvertersViews();
};

namespace {

/// Counts the runs of a document: every run draws its seed once.
int *countRuns(DocumentWindow *document)
{
    auto *runs = new int(0);
    document->setSeedSource([runs] { return static_cast<std::uint64_t>(++*runs); });
    return runs;
}

bool waitIdle(App &app)
{
    return QTest::qWaitFor([&app] { return !app.shared().Converting; }, 20000);
}

} // namespace

void TestExtras::liveConversionFollowsTheSliders()
{
    App app;
    DocumentWindow *doc = app.newMono();
    const std::unique_ptr<int> runs(countRuns(doc));
    app.putDesign(doc, designPicture(360, 240));
    QAction *live = app.window->menuAction(QStringLiteral("mnuAutoConvert"));

    // Off by default: a slider change only changes the value.
    QVERIFY(live->isCheckable() && !live->isChecked());
    app.window->setSliderValue(1, 25);
    QTest::qWait(20);
    QCOMPARE(*runs, 0);

    // On: every change converts again at once, with the new value.
    live->setChecked(true);
    app.window->slider(1)->setSliderPosition(26);  // as a drag moves it
    QVERIFY(QTest::qWaitFor([&] { return *runs == 1; }, 5000));
    QVERIFY(waitIdle(app));
    QVERIFY(!doc->picAfter()->isHidden());
    QCOMPARE(iniValue(app.shared().StateFilePath, "Rittaido"), QStringLiteral("26"));

    // Changes during a run stop it and queue exactly one more, with the newest values.
    // The sliders stay usable while a run draws, so that a drag is not cut short.
    bool usable = false;
    app.window->activateWindow();
    app.window->slider(1)->setFocus();
    RowHook hook(*app.window, 0, 5, [&] {
        usable = app.window->slider(1)->hasFocus() && app.window->slider(2)->isEnabled();
        app.window->slider(1)->setSliderPosition(30);
        app.window->slider(1)->setSliderPosition(31);
        app.window->slider(0)->setSliderPosition(80);
    });
    QVERIFY(app.startAndWait());
    QVERIFY(hook.fired());
    QVERIFY(usable);
    QVERIFY(waitIdle(app));
    QTest::qWait(50);
    QVERIFY(waitIdle(app));
    QCOMPARE(*runs, 3);
    QCOMPARE(iniValue(app.shared().StateFilePath, "KurikaesiHaba"), QStringLiteral("80"));
    QVERIFY(app.window->menuAction(QStringLiteral("mnuPrint"))->isEnabled());

    // A document without what its mode needs converts nothing.
    DocumentWindow *empty = app.newField();
    const std::unique_ptr<int> emptyRuns(countRuns(empty));
    app.window->setSliderValue(0, 90);
    QTest::qWait(20);
    QCOMPARE(*emptyRuns, 0);
    // Switching, and a cancelled quit that activates each document, only set their values.
    app.putDesign(empty, designPicture(180, 100));
    app.activate(doc);
    doc->insertPicture(2, fieldPicture(150, 100));
    app.activate(empty);
    app.window->close();
    QTest::qWait(50);
    QCOMPARE(*runs + *emptyRuns, 3);
    QCOMPARE(doc->picAfter()->image(), fieldPicture(150, 100));
    // End on a slider already at its end is a key of the user's that moves nothing: the next
    // switch sets that slider and converts nothing either.
    app.activate(empty);
    app.window->setSliderValue(0, 200);
    QSignalSpy keys(app.window->slider(0), &QAbstractSlider::actionTriggered);
    QTest::keyClick(app.window->slider(0), Qt::Key_End);
    QCOMPARE(keys.size(), 1);
    app.activate(doc);
    QCOMPARE(app.window->slider(0)->value(), 80);
    QTest::qWait(50);
    QCOMPARE(*runs + *emptyRuns, 3);
    QCOMPARE(doc->picAfter()->image(), fieldPicture(150, 100));
}

void TestExtras::revealOpensTheDepthAsANewDesign()
{
    App app;
    QAction *reveal = app.window->menuAction(QStringLiteral("mnuReveal"));
    QAction *full = app.window->menuAction(QStringLiteral("mnuFullView"));
    QCOMPARE(full->shortcut(), QKeySequence(Qt::Key_F11));
    QVERIFY(!reveal->isEnabled() && !full->isEnabled());

    DocumentWindow *doc = app.newMono();
    // Seeded, so that every run reads the same dots (the reveal's search is judged elsewhere).
    doc->setSeedSource([] { return std::uint64_t(1); });
    app.putDesign(doc, designPicture(420, 260));
    QVERIFY(!reveal->isEnabled());
    QVERIFY(app.startAndWait());
    QVERIFY(reveal->isEnabled() && full->isEnabled());

    const int kurikaesi = app.window->slider(0)->value();
    reveal->trigger();
    QCOMPARE(app.documents().size(), 2);
    // The status bar says the repeat width the depth was read at.
    QCOMPARE(app.window->statusPanel(1)->text(), QStringLiteral("繰返幅 %1 で深さを読み取りました。").arg(kurikaesi));
    DocumentWindow *revealed = app.window->activeDocument();
    QVERIFY(revealed != doc);
    QVERIFY(!revealed->picUra().isNull());
    QVERIFY(!revealed->picBefore()->isHidden());
    QVERIFY(app.shared().ModeWord == lumivex::document::Mode::RandomDot);
    // Ready to convert again; its own stereo pane is empty, so the reveal waits for it.
    QVERIFY(app.window->menuAction(QStringLiteral("mnuConvStart"))->isEnabled());
    QVERIFY(!reveal->isEnabled());

    // A picture that repeats nowhere says so and opens nothing.
    QImage noise(300, 200, QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            noise.setPixel(x, y, (state >> 31) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    revealed->insertPicture(2, noise);
    QVERIFY(reveal->isEnabled());
    reveal->trigger();
    QCOMPARE(app.documents().size(), 2);
    QCOMPARE(app.prompts.asked.size(), 1);
    QCOMPARE(app.prompts.asked.constFirst().kind, QStringLiteral("exclamation"));
    // Another program's picture of a slanted plane: its depth comes as a smooth design, unasked.
    std::vector<float> slope, linked;
    for (int i = 0; i < 640 * 320; ++i)
        slope.push_back(float(i % 640) / 639.0f);
    revealed->insertPicture(2, lumivex::picture::fromPacked(sirds::draw(640, slope, 180, 4, true, linked)));
    reveal->trigger();
    QCOMPARE(app.prompts.asked.size(), 1);
    // (Its farthest repeat, 90 pixels, is at the left edge only.)
    QCOMPARE(app.window->statusPanel(1)->text(), QStringLiteral("繰返幅 89 で深さを読み取りました。"));
    QCOMPARE(iniValue(app.window->activeDocument()->lblIniName(), "DepthKind"), QStringLiteral("Grey"));
}

void TestExtras::checkItemsAreRemembered()
{
    {
        App app;
        QAction *guides = app.window->menuAction(QStringLiteral("mnuGuides"));
        QVERIFY(guides->isCheckable() && !guides->isChecked());
        guides->setChecked(true);
        app.window->menuAction(QStringLiteral("mnuAutoConvert"))->setChecked(true);
    }
    const lumivex::document::AppSettings settings;
    QCOMPARE(settings.ReadSetting(QStringLiteral("Guides")), QStringLiteral("1"));
    App again;
    QVERIFY(again.window->menuAction(QStringLiteral("mnuGuides"))->isChecked());
    QVERIFY(again.window->menuAction(QStringLiteral("mnuAutoConvert"))->isChecked());
    again.window->menuAction(QStringLiteral("mnuAutoConvert"))->setChecked(false);
    QCOMPARE(settings.ReadSetting(QStringLiteral("AutoConvert")), QStringLiteral("0"));
}

void TestExtras::settingsGivingNoPictureAreMarked()
{
    App app;
    const auto *mark = app.window->findChild<QLabel *>(QStringLiteral("lblDepthReach"));
    QVERIFY(mark && mark->isHidden());
    DocumentWindow *doc = app.newMono();
    app.window->setSliderValue(0, 20);
    QVERIFY(mark->isHidden());  // no design, no depth
    paste(app.shared(), doc, 0, designPicture(200, 100));
    QVERIFY(!mark->isHidden());
    QCOMPARE(mark->toolTip(), QStringLiteral("最も手前の深さのずれ（24ピクセル）が繰返幅（20）以上になり、画像ができません。立体度を16以下にするか、繰返幅を25以上にしてください。"));
    // 開始 refuses them with the converter's words instead of drawing holes.
    app.trigger("mnuConvStart");
    QVERIFY(App::waitForTick(doc));
    QCOMPARE(app.asked(QStringLiteral("exclamation")),
             QStringList{QStringLiteral("立体度20では、デザイン画像の最も手前の深さが24ピクセルずれて繰返幅20以上になり、"
                                        "画像ができません。使える立体度は16までです（または繰返幅を25以上にしてください）。")});
    QVERIFY(doc->picAfter()->isHidden());
    DocumentWindow *other = app.newMono();  // each document shows its own
    QVERIFY(mark->isHidden());
    app.activate(doc);
    QTRY_VERIFY(!mark->isHidden());
    app.window->setSliderValue(1, 16);
    QVERIFY(mark->isHidden());
    QVERIFY(app.startAndWait());
    QVERIFY(!doc->picAfter()->isHidden());
    // With the depth inverted its farthest level, 0, is the nearest, 15: refused again.
    app.window->menuAction(QStringLiteral("mnuInvertDepth"))->trigger();
    QVERIFY(!mark->isHidden());
    app.trigger("mnuConvStart");
    QVERIFY(App::waitForTick(doc));
    QCOMPARE(app.asked(QStringLiteral("exclamation")).value(1),
             QStringLiteral("立体度16では、デザイン画像の最も手前の深さが24ピクセルずれて繰返幅20以上になり、"
                            "画像ができません。使える立体度は13までです（または繰返幅を25以上にしてください）。"));
    app.window->menuAction(QStringLiteral("mnuInvertDepth"))->trigger();
    QVERIFY(mark->isHidden());
}

void TestExtras::stereoCheckFollowsTheActiveDocument_data()
{
    QTest::addColumn<QByteArray>("menu");
    QTest::newRow("depth colours") << QByteArray("mnuMono");
    QTest::newRow("smooth ramp, inverted") << QByteArray("mnuColor");
    QTest::newRow("colour field beyond the design, inverted") << QByteArray("mnuFieldColor");
}

void TestExtras::stereoCheckFollowsTheActiveDocument()
{
    QFETCH(QByteArray, menu);
    const QByteArray tag = QTest::currentDataTag();
    const bool smooth = tag.startsWith("smooth"), inverted = tag.endsWith("inverted");
    App app;
    app.trigger(menu.constData());
    DocumentWindow *doc = app.window->activeDocument();
    QImage design = designPicture(120, 90);
    for (int i = 0; smooth && i < 120 * 90; ++i)
        design.setPixel(i % 120, i / 120, qRgb(2 * (i % 120), 2 * (i % 120), 2 * (i % 120)));
    const QImage field = menu == "mnuFieldColor" ? fieldPicture(150, 100) : QImage();
    app.shared().DesignDepth = smooth ? lumivex::document::DepthKind::Grey : lumivex::document::DepthKind::Colours;
    app.putDesign(doc, design, field);
    if (inverted)
        app.trigger("mnuInvertDepth");
    app.trigger("mnuStereoCheck");
    const auto *report = app.window->findChild<lumivex::shell::StereoCheckWindow *>();
    QVERIFY(report && report->isVisible());
    // The first figure of each of the five lines, in the window and in the converter's --check.
    const auto figures = [](QStringList lines) {
        for (QString &line : lines)
            line = QRegularExpression(QStringLiteral("[0-9.]+")).match(line).captured();
        return lines.mid(0, 5);
    };
    QTemporaryDir dir;
    QStringList args{"--check", "--repeat", "70", "--depth", smooth ? "grey" : "colours",
                     picturefiles::write(dir.path(), "design.png", picturefiles::encoded(design, "PNG"))};
    args << (inverted ? QStringList{"--invert"} : QStringList());
    if (!field.isNull())
        args << "--mode" << "field" << "--field" << picturefiles::write(dir.path(), "field.png", picturefiles::encoded(field, "PNG"));
    for (const int strength : {20, 45}) {  // following the slider
        app.window->setSliderValue(1, strength);
        const lumivex::testing::Run run = lumivex::testing::convert(args + QStringList{"--strength", QString::number(strength)}, dir.path());
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(figures(report->lines()), figures(QString::fromUtf8(run.out).split(u'\n')));
        QCOMPARE(report->lines().size(), run.out.contains("double images") ? 7 : 6);
    }
    const QStringList shown = report->lines();
    app.newMono();  // and the active document
    QCOMPARE(report->lines().size(), 1);
    app.activate(doc);
    QTRY_COMPARE(report->lines(), shown);
}

void TestExtras::seeIn3DShowsTheConvertersViews_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("view");
    QTest::newRow("depth colours, parallel") << QByteArray("mnuSee3DParallel") << 1 << "parallel";
    QTest::newRow("smooth ramp, inverted, wiggle") << QByteArray("mnuSee3DWiggle") << 3 << "wiggle";
    QTest::newRow("stereogram, crossed") << QByteArray("mnuSee3DCross") << 2 << "cross";
}

void TestExtras::seeIn3DShowsTheConvertersViews()
{
    QFETCH(QByteArray, item);
    QFETCH(int, kind);
    QFETCH(QString, view);
    const QByteArray tag = QTest::currentDataTag();
    const bool smooth = tag.startsWith("smooth"), stereogram = tag.startsWith("stereogram");
    App app;
    DocumentWindow *doc = app.newMono();
    QTemporaryDir dir;
    QStringList args;
    if (stereogram) {  // its own pixels on the depth read back, as --reveal
        std::vector<float> slope, linked;
        for (int i = 0; i < 640 * 320; ++i)
            slope.push_back(float(i % 640) / 639.0f);
        const QImage picture = lumivex::picture::fromPacked(sirds::draw(640, slope, 180, 4, true, linked));
        doc->insertPicture(2, picture);
        args << "--reveal" << picturefiles::write(dir.path(), "stereo.png", picturefiles::encoded(picture, "PNG"));
    } else {  // random greys on the design's depth as the slider's strength gives it
        QImage design = designPicture(120, 90);
        for (int i = 0; smooth && i < 120 * 90; ++i)
            design.setPixel(i % 120, i / 120, qRgb(2 * (i % 120), 2 * (i % 120), 2 * (i % 120)));
        app.shared().DesignDepth = smooth ? lumivex::document::DepthKind::Grey : lumivex::document::DepthKind::Colours;
        app.putDesign(doc, design);
        if (smooth)
            app.trigger("mnuInvertDepth");
        app.window->setSliderValue(1, 30);
        args << "--depth" << (smooth ? "grey" : "colours") << "--strength" << "30"
             << picturefiles::write(dir.path(), "design.png", picturefiles::encoded(design, "PNG"));
        args << (smooth ? QStringList{"--invert"} : QStringList());
    }
    app.trigger(item.constData());
    auto *viewer = app.window->findChild<lumivex::shell::StereoViewer *>();
    QVERIFY(viewer && viewer->isVisible());
    QCOMPARE(viewer->kind(), kind);
    if (!stereogram)
        args << "--seed" << QString::number(viewer->surface().seed);
    const auto converted = [&](const QString &name) {
        const QString out = dir.filePath(QStringLiteral("converted-%1.png").arg(name));
        const lumivex::testing::Run run = lumivex::testing::convert(args + QStringList{"--view", name, out}, dir.path());
        return run.exitCode == 0 ? out : QString();
    };
    // Saved through the file dialog as the converter writes it: the wiggle byte for byte.
    const QString saved = dir.filePath(QStringLiteral("saved.png"));
    app.prompts.files << saved;
    QVERIFY(viewer->exportPicture());
    if (kind == lumivex::shell::StereoViewer::Wiggle) {
        QCOMPARE(readBytes(saved), readBytes(converted(view)));
        const QImage first = viewer->picture();
        QTRY_VERIFY(viewer->picture() != first);  // the views in turn
    } else {
        QCOMPARE(QImage(saved).convertToFormat(QImage::Format_RGB32), QImage(converted(view)).convertToFormat(QImage::Format_RGB32));
    }
    viewer->setKind(lumivex::shell::StereoViewer::Anaglyph);
    QCOMPARE(viewer->picture().convertToFormat(QImage::Format_RGB32),
             QImage(converted(QStringLiteral("anaglyph"))).convertToFormat(QImage::Format_RGB32));
    // The disparity set in the viewer, as --disparity sets it (in the strength's place).
    viewer->findChild<QSpinBox *>(QStringLiteral("spnDisparity"))->setValue(12);
    if (const qsizetype strength = args.indexOf(QStringLiteral("--strength")); strength >= 0)
        args.remove(strength, 2);
    args << "--disparity" << "12";
    QCOMPARE(viewer->picture().convertToFormat(QImage::Format_RGB32),
             QImage(converted(QStringLiteral("anaglyph"))).convertToFormat(QImage::Format_RGB32));
}

QTEST_MAIN(TestExtras)
#include "tst_extras.moc"
