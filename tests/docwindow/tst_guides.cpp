// Guide marks in the window and the full view: with the marks on, the stereo picture is exported
// and printed with the guide band at the repeat width it was made with, and its pane shows the
// band; the design is never marked, and the picture itself stays as it is. The full view starts
// at 1:1 or fitted, zooms in whole steps and closes on Esc or a click.
#include "apptest.h"

#include "docwindow/fullview.h"
#include "engine/guides.h"

#include <QScreen>
#include <QTemporaryDir>

using namespace apptest;
using lumivex::docwindow::FullView;
using lumivex::document::AppSettings;
namespace engine = lumivex::engine;

namespace {

/// The main window of one test with fresh settings and a printer that records.
struct GuidesApp : App
{
    RecordingPrinter printer;

    GuidesApp()
        : App(Start::FreshSettings)
    {
        services.printer.use(&printer);
    }
    ~GuidesApp() { services.printer.use(nullptr); }

    /// Chooses a menu item and waits until the command it posted to the document has run.
    void choose(const char *item, DocumentWindow *doc)
    {
        trigger(item);
        QVERIFY(waitForTick(doc));
    }
    /// Writes the marks' choice as the menu item does and tells the documents.
    void setGuides(bool on)
    {
        QVERIFY(AppSettings().setGuides(on));
        for (DocumentWindow *doc : documents())
            doc->guidesChanged();
    }
    QImage exported(const char *item, DocumentWindow *doc, const QString &path)
    {
        prompts.files = QStringList{path};
        choose(item, doc);
        return QImage(path).convertToFormat(QImage::Format_RGB32);
    }
};

QImage withBand(const QImage &picture, int kurikaesi)
{
    using namespace lumivex::picture;
    return fromPacked(engine::withGuideBand(toPacked(picture), kurikaesi));
}

} // namespace

class TestGuides : public QObject
{
    Q_OBJECT

private slots:
    void settingsOffUnlessOn();
    void exportAndPrintCarryTheBand();
    void fullViewSteps_data();
    void fullViewSteps();
    void fullViewOfTheDocument();

private:
    /// A monochrome random-dot document whose stereo picture was drawn at repeat width 53.
    DocumentWindow *convertedDocument(GuidesApp &app);
};

void TestGuides::settingsOffUnlessOn()
{
    QTemporaryDir dir;
    const AppSettings settings(dir.filePath(QStringLiteral("Lumivex2.lvs")));
    QVERIFY(!settings.guides());
    QVERIFY(!settings.autoConvert());
    QVERIFY(settings.setGuides(true));
    QVERIFY(settings.setAutoConvert(false));
    QCOMPARE(settings.ReadSetting(QStringLiteral("Guides")), QStringLiteral("1"));
    QCOMPARE(settings.ReadSetting(QStringLiteral("AutoConvert")), QStringLiteral("0"));
    QVERIFY(settings.guides());
    QVERIFY(!settings.autoConvert());
    // Anything but "1" is off.
    QVERIFY(settings.WriteSetting(QStringLiteral("Guides"), QStringLiteral("yes")));
    QVERIFY(!settings.guides());
}

DocumentWindow *TestGuides::convertedDocument(GuidesApp &app)
{
    DocumentWindow *doc = app.newMono();
    if (!doc)
        return nullptr;
    paste(app.shared(), doc, 0, designPicture(160, 90));  // as the user would
    app.window->setSliderValue(0, 53);
    app.choose("mnuConvStart", doc);
    return doc;
}

void TestGuides::exportAndPrintCarryTheBand()
{
    GuidesApp app;
    QTemporaryDir dir;
    DocumentWindow *doc = convertedDocument(app);
    QVERIFY(doc);
    const QImage stereo = doc->picAfter()->image();
    QCOMPARE(stereo.size(), QSize(159, 89));
    const QSize plainSize = doc->picAfter()->size();

    // Off (the default): the picture as it is.
    QCOMPARE(app.exported("mnuSaveStereo", doc, dir.filePath(QStringLiteral("off.png"))), stereo);
    app.choose("mnuPrint", doc);
    QCOMPARE(app.printer.jobs.size(), 1);
    QCOMPARE(app.printer.jobs.last().picture, stereo);

    // On: the band at the repeat width the picture was drawn with, also after the slider moved.
    app.window->setSliderValue(0, 90);
    app.setGuides(true);
    const QImage marked = withBand(stereo, 53);
    QCOMPARE(marked.height(), 89 + 16);
    QCOMPARE(app.exported("mnuSaveStereo", doc, dir.filePath(QStringLiteral("on.bmp"))), marked);
    app.choose("mnuPrint", doc);
    QCOMPARE(app.printer.jobs.size(), 2);
    QCOMPARE(app.printer.jobs.last().picture, marked);
    // The pane shows the band above the picture; the picture itself is unchanged.
    QCOMPARE(doc->picAfter()->bandHeight(), 16);
    QCOMPARE(doc->picAfter()->size(), plainSize + QSize(0, 16));
    QCOMPARE(doc->picAfter()->image(), stereo);
    const QImage shown = doc->picAfter()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.copy(0, 0, 159, 105), marked);
    // Put in again as the user's saved picture, it gets no second band, on screen or out.
    DocumentWindow *again = app.newMono();
    again->insertPicture(2, marked);
    QCOMPARE(again->picAfter()->bandHeight(), 0);
    // Its depth is read from the picture below the band.
    QCOMPARE(again->revealedDesign(nullptr).size(), stereo.size());
    QCOMPARE(app.exported("mnuSaveStereo", again, dir.filePath(QStringLiteral("again.bmp"))), marked);
    app.activate(doc);
    // The design is never marked.
    QCOMPARE(app.exported("mnuSaveDesign", doc, dir.filePath(QStringLiteral("design.png"))), doc->picBefore()->image());

    // A new run draws at the new width, and its band follows.
    app.choose("mnuConvStart", doc);
    QCOMPARE(doc->picAfter()->repeatWidth(), 90);
    QCOMPARE(app.exported("mnuSaveStereo", doc, dir.filePath(QStringLiteral("again.png"))),
             withBand(doc->picAfter()->image(), 90));

    app.setGuides(false);
    QCOMPARE(doc->picAfter()->size(), plainSize);
    QCOMPARE(app.exported("mnuSaveStereo", doc, dir.filePath(QStringLiteral("off2.png"))), doc->picAfter()->image());
}

void TestGuides::fullViewSteps_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<double>>("zoomIns");   // scales after each step in from the start
    QTest::addColumn<QList<double>>("zoomOuts");  // then after each step out from the start

    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QTest::newRow("small: 1:1") << QSize(120, 80) << QList<double>{2, 3} << QList<double>{1.0 / 2, 1.0 / 3};
    const QSize big(screen.width() * 5 / 2, screen.height() * 2);  // fitted at 0.4
    QTest::newRow("large: fitted") << big << QList<double>{0.5, 1, 2} << QList<double>{1.0 / 3, 1.0 / 4};
}

void TestGuides::fullViewSteps()
{
    QFETCH(QSize, size);
    QFETCH(QList<double>, zoomIns);
    QFETCH(QList<double>, zoomOuts);

    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPointer<FullView> view = new FullView(picture);
    view->open(nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(view));
    const QSize screen = view->size();
    const double start = std::min({1.0, double(screen.width()) / size.width(), double(screen.height()) / size.height()});
    QCOMPARE(view->scale(), start);
    const QRect at = view->pictureRect();
    QVERIFY(QRect(QPoint(0, 0), screen).contains(at));
    QVERIFY(qAbs(at.left() - (screen.width() - at.right() - 1)) <= 1);  // centred
    QVERIFY(qAbs(at.top() - (screen.height() - at.bottom() - 1)) <= 1);

    // In: Ctrl++, then the wheel, then Ctrl+=; back to the start and out: Ctrl+-, then the wheel.
    for (qsizetype i = 0; i < zoomIns.size(); ++i) {
        if (i % 2 == 0) {
            QTest::keyClick(view, i == 0 ? Qt::Key_Plus : Qt::Key_Equal, Qt::ControlModifier);
        } else {
            QWheelEvent wheel(QPointF(10, 10), view->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, 120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view, &wheel);
        }
        QCOMPARE(view->scale(), zoomIns[i]);
    }
    QCOMPARE(view->pictureRect().size(), QSize(qRound(size.width() * zoomIns.last()), qRound(size.height() * zoomIns.last())));
    while (view->scale() > start && !qFuzzyCompare(view->scale(), start))
        QVERIFY(view->zoomOut());
    QCOMPARE(view->scale(), start);  // the fitted scale is a step of its own
    for (qsizetype i = 0; i < zoomOuts.size(); ++i) {
        if (i % 2 == 0) {
            QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
        } else {
            QWheelEvent wheel(QPointF(10, 10), view->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view, &wheel);
        }
        QCOMPARE(view->scale(), zoomOuts[i]);
    }
    while (view->zoomOut()) {
    }
    QCOMPARE(view->scale(), 1.0 / 8);
    while (view->zoomIn()) {
    }
    QCOMPARE(view->scale(), 8.0);

    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_VERIFY(!view);
}

void TestGuides::fullViewOfTheDocument()
{
    GuidesApp app;
    DocumentWindow *empty = app.newMono();
    QVERIFY(empty);
    empty->showFullView();  // no stereo picture: nothing
    QVERIFY(!empty->fullView());

    DocumentWindow *doc = convertedDocument(app);
    QVERIFY(doc);
    doc->showFullView();
    QPointer<FullView> view = doc->fullView();
    QVERIFY(view);
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QCOMPARE(view->picture(), doc->picAfter()->image());
    QCOMPARE(view->scale(), 1.0);
    QTest::keyClick(view, Qt::Key_Escape);
    QTRY_VERIFY(!view);
    QVERIFY(!doc->fullView());

    app.setGuides(true);
    doc->showFullView();
    view = doc->fullView();
    QVERIFY(view);
    QCOMPARE(view->picture(), withBand(doc->picAfter()->image(), 53));
    // It goes with its document.
    app.prompts.answers = {ScriptedPrompts::Answer::No};
    app.trigger("mnuClose");
    QTRY_VERIFY(!view);
}

QTEST_MAIN(TestGuides)
#include "tst_guides.moc"
