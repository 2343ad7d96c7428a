// Where a document window puts its panes and splitter: at creation, on resize (not while
// minimised), for a new document's mode, and while the splitter is dragged. A window of its own
// is made with the fake main window; new documents and minimising are tried in the real one.
#include "apptest.h"
#include "fakemain.h"
#include "mouse.h"

#include <QMdiSubWindow>
#include <QScrollBar>

using namespace apptest;
using lumivex::docwindow::Pane;

namespace {

struct Geometry
{
    QRect before, field, after, drag;
    bool fieldShown;
};

Geometry geometryOf(DocumentWindow &doc)
{
    return {doc.picContBefore()->geometry(), doc.picContField()->geometry(),
            doc.picContAfter()->geometry(), doc.findChild<QWidget *>(QStringLiteral("picDrag"))->geometry(),
            !doc.picContField()->isHidden()};
}

} // namespace

class TestDocumentLayout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void creationAndNewDocument_data();
    void creationAndNewDocument();
    void resizeKeepsOrResplits();
    void nothingWhileMinimised_data();
    void nothingWhileMinimised();
    void newDocumentsInTheMainWindow_data();
    void newDocumentsInTheMainWindow();
    void splitterDrag_data();
    void splitterDrag();
    void dragEndsWithTheButton();

private:
    // A document window of its own, 600 × 400, created as a new document of the mode.
    DocumentWindow *makeDocument(const QString &mode);

    std::unique_ptr<FakeMain> m_main;
    std::unique_ptr<DocumentWindow> m_doc;
};

void TestDocumentLayout::init()
{
    m_main = std::make_unique<FakeMain>();
}

void TestDocumentLayout::cleanup()
{
    if (m_doc)
        QFile::remove(m_doc->lblIniName());
    m_doc.reset();
    m_main.reset();
}

DocumentWindow *TestDocumentLayout::makeDocument(const QString &mode)
{
    m_main->shared().DocumentOrigin = lumivex::document::Origin::New;
    m_main->shared().ModeWord = testfiles::modeWord(mode);
    m_doc = std::make_unique<DocumentWindow>(*m_main);
    m_doc->resize(600, 400);
    m_doc->Load();
    return m_doc.get();
}

void TestDocumentLayout::creationAndNewDocument_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QRect>("before");
    QTest::addColumn<bool>("fieldShown");

    QTest::newRow("colour field") << QStringLiteral("Field") << QRect(0, 0, 299, 199) << true;
    QTest::newRow("random dot") << QStringLiteral("RandomDot") << QRect(0, 0, 299, 400) << false;
}

void TestDocumentLayout::creationAndNewDocument()
{
    QFETCH(QString, mode);
    QFETCH(QRect, before);
    QFETCH(bool, fieldShown);

    DocumentWindow *doc = makeDocument(mode);
    Geometry g = geometryOf(*doc);
    QCOMPARE(g.before, QRect(0, 0, 299, 199));
    QCOMPARE(g.field, QRect(0, 201, 299, 199));
    QCOMPARE(g.after, QRect(301, 0, 299, 400));
    QCOMPARE(g.drag, QRect(299, 0, 2, 199));  // full height at the first resize
    for (Pane *pane : {doc->picContBefore(), doc->picContField(), doc->picContAfter()}) {
        QVERIFY(pane->picture()->isHidden());
        QCOMPARE(pane->picture()->geometry(), QRect(pane->frameWidth(), pane->frameWidth(), 0, 0));
        QVERIFY(pane->hsb()->isHidden());
        QVERIFY(pane->vsb()->isHidden());
    }

    m_main->shared().ModeWord = testfiles::modeWord(QStringLiteral("something else"));
    doc->show();
    doc->layoutForMode();
    g = geometryOf(*doc);
    // the layout follows the window's own mode and leaves the shared word to the active document
    QCOMPARE(m_main->shared().ModeWord.text(), QStringLiteral("something else"));
    QCOMPARE(g.before, before);
    QCOMPARE(g.fieldShown, fieldShown);
    if (fieldShown)
        QCOMPARE(g.field, QRect(0, 201, 299, 199));
    QCOMPARE(g.drag, QRect(299, 0, 2, 400));
    QCOMPARE(g.after, QRect(301, 0, 299, 400));
}

void TestDocumentLayout::resizeKeepsOrResplits()
{
    DocumentWindow *doc = makeDocument(QStringLiteral("Field"));
    doc->show();

    // Wider: the splitter stays, the stereo pane takes the width.
    doc->resize(800, 500);
    Geometry g = geometryOf(*doc);
    QCOMPARE(g.drag, QRect(299, 0, 2, 500));
    QCOMPARE(g.after, QRect(301, 0, 499, 500));
    QCOMPARE(g.before, QRect(0, 0, 299, 249));
    QCOMPARE(g.field, QRect(0, 251, 299, 249));

    // Still wide enough for the stereo pane's left: it narrows to nothing.
    doc->resize(301, 500);
    QCOMPARE(geometryOf(*doc).after, QRect(301, 0, 0, 500));

    // Narrower than that: split anew at the middle.
    doc->resize(250, 300);
    g = geometryOf(*doc);
    QCOMPARE(g.before, QRect(0, 0, 124, 149));
    QCOMPARE(g.field, QRect(0, 151, 124, 149));
    QCOMPARE(g.after, QRect(126, 0, 124, 300));
    QCOMPARE(g.drag, QRect(124, 0, 2, 300));

    // A window a few pixels small gives no negative sizes.
    doc->resize(3, 1);
    g = geometryOf(*doc);
    for (const QRect &r : {g.before, g.field, g.after, g.drag})
        QVERIFY(r.width() >= 0 && r.height() >= 0);
}

void TestDocumentLayout::nothingWhileMinimised_data()
{
    QTest::addColumn<bool>("mainMinimised");
    QTest::newRow("document window minimised") << false;
    QTest::newRow("main window minimised") << true;
}

void TestDocumentLayout::nothingWhileMinimised()
{
    QFETCH(bool, mainMinimised);

    App app(App::Start::FreshSettings);
    DocumentWindow *doc = app.newDocument(QStringLiteral("Field"));
    auto *frame = qobject_cast<QMdiSubWindow *>(doc->parentWidget());
    QVERIFY(frame);
    const Geometry before = geometryOf(*doc);
    app.shared().ModeWord = testfiles::modeWord(QStringLiteral("unchanged"));

    if (mainMinimised)
        app.window->setWindowState(Qt::WindowMinimized);
    else
        frame->setWindowState(Qt::WindowMinimized);
    const QSize old = doc->size();
    doc->resize(old.width() / 2, old.height() / 2);
    QResizeEvent resize(doc->size(), old);
    QCoreApplication::sendEvent(doc, &resize);

    const Geometry after = geometryOf(*doc);
    QCOMPARE(after.before, before.before);
    QCOMPARE(after.after, before.after);
    QCOMPARE(after.drag, before.drag);
    QCOMPARE(app.shared().ModeWord.text(), QStringLiteral("unchanged"));
}

void TestDocumentLayout::newDocumentsInTheMainWindow_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("colour field") << QStringLiteral("Field");
    QTest::newRow("random dot") << QStringLiteral("RandomDot");
}

void TestDocumentLayout::newDocumentsInTheMainWindow()
{
    QFETCH(QString, mode);

    App app(App::Start::FreshSettings);
    DocumentWindow *doc = app.newDocument(mode);
    const Geometry g = geometryOf(*doc);
    const int w = doc->width();
    const int h = doc->height();
    QCOMPARE(g.drag, QRect(g.before.width(), 0, 2, h));
    QCOMPARE(g.after, QRect(g.before.width() + 2, 0, w - (g.before.width() + 2), h));
    if (mode == QLatin1String("RandomDot")) {
        QCOMPARE(g.before.height(), h);
        QVERIFY(!g.fieldShown);
    } else {
        QCOMPARE(g.before.height(), h / 2 - 1);
        QCOMPARE(g.field, QRect(0, h / 2 + 1, g.before.width(), h / 2 - 1));
        QVERIFY(g.fieldShown);
    }
    QCOMPARE(app.shared().ModeWord.text(), mode);
}

void TestDocumentLayout::splitterDrag_data()
{
    QTest::addColumn<QPoint>("pointer");  // in the window, 600 × 400, splitter at 299
    QTest::addColumn<int>("splitter");     // -1: nothing moves
    QTest::addColumn<QString>("pointerOn"); // the containers that take the west-east pointer

    QTest::newRow("design pane") << QPoint(150, 50) << 150 << "Before Field";
    QTest::newRow("field pane") << QPoint(150, 300) << 150 << "Before Field";
    QTest::newRow("design picture") << QPoint(100, 20) << 100 << "Before Field";
    QTest::newRow("stereo pane") << QPoint(400, 50) << 400 << "After";
    QTest::newRow("stereo picture") << QPoint(350, 10) << 350 << "After";
    QTest::newRow("right edge") << QPoint(599, 390) << 599 << "After";
    QTest::newRow("stereo pane's first column") << QPoint(301, 50) << -1 << "";
    QTest::newRow("design pane's first column") << QPoint(0, 50) << -1 << "";
    QTest::newRow("stereo scroll bar") << QPoint(590, 200) << -1 << "";
    QTest::newRow("the splitter itself") << QPoint(300, 50) << -1 << "";
    QTest::newRow("gap between the panes") << QPoint(100, 200) << -1 << "";
}

void TestDocumentLayout::splitterDrag()
{
    QFETCH(QPoint, pointer);
    QFETCH(int, splitter);
    QFETCH(QString, pointerOn);

    DocumentWindow *doc = makeDocument(QStringLiteral("Field"));
    doc->show();
    // A small design picture and a large stereo picture (with its vertical bar).
    doc->picBefore()->setImage(QImage(250, 150, QImage::Format_RGB32));
    doc->picBefore()->show();
    doc->picAfter()->setImage(QImage(200, 900, QImage::Format_RGB32));
    doc->picAfter()->show();
    doc->picContAfter()->layoutScroll();
    QVERIFY(doc->picContAfter()->vsb()->isVisible());
    const Geometry start = geometryOf(*doc);

    QWidget *picDrag = doc->findChild<QWidget *>(QStringLiteral("picDrag"));
    sendMouse(picDrag, QEvent::MouseButtonPress, QPoint(1, 10), Qt::LeftButton);
    sendMouse(picDrag, QEvent::MouseMove, picDrag->mapFrom(doc, pointer), Qt::LeftButton);
    const Geometry g = geometryOf(*doc);
    if (splitter < 0) {
        QCOMPARE(g.before, start.before);
        QCOMPARE(g.after, start.after);
        QCOMPARE(g.drag, start.drag);
    } else {
        QCOMPARE(g.drag, QRect(splitter, 0, 2, 400));
        QCOMPARE(g.before, QRect(0, 0, splitter, 199));
        QCOMPARE(g.field, QRect(0, 201, splitter, 199));
        QCOMPARE(g.after, QRect(splitter + 2, 0, std::max(0, 600 - (splitter + 2)), 400));
    }
    QCOMPARE(picDrag->cursor().shape(), Qt::SizeHorCursor);
    for (Pane *pane : {doc->picContBefore(), doc->picContField(), doc->picContAfter()}) {
        const bool westEast = pane->testAttribute(Qt::WA_SetCursor)
            && pane->cursor().shape() == Qt::SizeHorCursor;
        QCOMPARE(westEast, pointerOn.contains(pane->objectName().mid(7)));
    }
    sendMouse(picDrag, QEvent::MouseButtonRelease, QPoint(1, 10), Qt::NoButton);
}

void TestDocumentLayout::dragEndsWithTheButton()
{
    DocumentWindow *doc = makeDocument(QStringLiteral("RandomDot"));
    doc->show();
    doc->layoutForMode();
    QWidget *picDrag = doc->findChild<QWidget *>(QStringLiteral("picDrag"));

    // Moving over the splitter without a press drags nothing.
    sendMouse(picDrag, QEvent::MouseMove, picDrag->mapFrom(doc, QPoint(150, 50)), Qt::NoButton);
    QCOMPARE(geometryOf(*doc).drag.left(), 299);

    sendMouse(picDrag, QEvent::MouseButtonPress, QPoint(1, 10), Qt::LeftButton);
    sendMouse(picDrag, QEvent::MouseMove, picDrag->mapFrom(doc, QPoint(200, 50)), Qt::LeftButton);
    sendMouse(picDrag, QEvent::MouseButtonRelease, picDrag->mapFrom(doc, QPoint(200, 50)), Qt::NoButton);
    QCOMPARE(geometryOf(*doc).drag, QRect(200, 0, 2, 400));
    QVERIFY(doc->picContField()->isHidden());
    sendMouse(picDrag, QEvent::MouseMove, picDrag->mapFrom(doc, QPoint(100, 50)), Qt::NoButton);
    QCOMPARE(geometryOf(*doc).drag.left(), 200);

    // The pointer the drag left on the design pane goes back to the default over it.
    QCOMPARE(doc->picContBefore()->cursor().shape(), Qt::SizeHorCursor);
    sendMouse(doc->picContBefore(), QEvent::MouseMove, QPoint(50, 50), Qt::NoButton);
    QVERIFY(!doc->picContBefore()->testAttribute(Qt::WA_SetCursor));
}

QTEST_MAIN(TestDocumentLayout)
#include "tst_documentlayout.moc"
