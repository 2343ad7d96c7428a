// Selecting a pane with the mouse and the Edit commands on it: what a release enables, the
// context menu, the pressed look, cut, copy, clear and paste.
#include "apptest.h"

#include "docwindow/clipboard.h"
#include "docwindow/pane.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>

using namespace apptest;
using lumivex::docwindow::Pane;

namespace {

QImage picture(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    image.setPixel(0, 0, qRgb(1, 2, 3));
    return image;
}

void setClipboard(const QImage &image)
{
    if (image.isNull())
        QGuiApplication::clipboard()->clear();
    else
        QGuiApplication::clipboard()->setImage(image);
}

QImage clipboardImage()
{
    return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
}

/// A clipboard that takes nothing, as one held by a program that will not let go of it.
class RefusingClipboard : public lumivex::docwindow::Clipboard
{
public:
    int offered = 0;
    QImage image() override { return {}; }
    bool setImage(const QImage &) override
    {
        ++offered;
        return false;
    }
};

/// The texts of the entries an open context menu shows ("-" for a separator).
QStringList shownEntries(const QMenu *menu)
{
    QStringList entries;
    const QList<QAction *> actions = menu->actions();
    for (const QAction *action : actions) {
        if (action->isVisible())
            entries.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return entries;
}

} // namespace

class TestSelection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void releaseOnEmptyPane_data();
    void releaseOnEmptyPane();
    void pasteIntoSelectedPane();
    void releaseOnPicture_data();
    void releaseOnPicture();
    void releaseBesideSmallPictureDoesNothing();
    void selectingInAnotherWindowActivatesIt();
    void contextMenuOnEmptyPane();
    void contextMenuOnPicture();
    void cutStereoPane();
    void copyTakesDrawnPicture();
    void copyOfEmptyPaneKeepsClipboard();
    void refusedByClipboard();
    void clearDesignDisablesStart_data();
    void clearDesignDisablesStart();
    void saveImagesMenu_data();
    void saveImagesMenu();
    void ignoredAfterOpenAndWhileConverting_data();
    void ignoredAfterOpenAndWhileConverting();

private:
    /// Puts a picture into pane 0..2 the way a paste does.
    void put(DocumentWindow *doc, int pane, const QImage &image);
    /// Releases the right button over a widget and returns the entries of the context menu that
    /// opens, checking with `whileOpen` while it is open.
    QStringList rightClick(QWidget *widget, QPoint pos, const std::function<void()> &whileOpen = {});

    std::unique_ptr<App> m_app;
};

void TestSelection::init()
{
    setClipboard({});
    m_app = std::make_unique<App>(App::Start::FreshSettings);
}

void TestSelection::cleanup()
{
    m_app.reset();
    setClipboard({});
}

void TestSelection::put(DocumentWindow *doc, int pane, const QImage &image)
{
    paste(m_app->shared(), doc, pane, image);
    setClipboard({});
}

QStringList TestSelection::rightClick(QWidget *widget, QPoint pos, const std::function<void()> &whileOpen)
{
    QStringList entries;
    bool opened = false;
    QTimer::singleShot(50, this, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        opened = true;
        entries = shownEntries(menu);
        if (whileOpen)
            whileOpen();
        menu->close();
    });
    QTest::mousePress(widget, Qt::RightButton, {}, pos);
    QTest::mouseRelease(widget, Qt::RightButton, {}, pos);
    if (!opened)
        QTest::qWait(100);
    return opened ? entries : QStringList{QStringLiteral("<no menu>")};
}

void TestSelection::releaseOnEmptyPane_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("pane");
    QTest::addColumn<bool>("bitmap");
    QTest::newRow("design, bitmap on clipboard") << "RandomDot" << 0 << true;
    QTest::newRow("design, clipboard empty") << "RandomDot" << 0 << false;
    QTest::newRow("field, bitmap on clipboard") << "Field" << 1 << true;
    QTest::newRow("stereo, clipboard empty") << "Field" << 2 << false;
}

void TestSelection::releaseOnEmptyPane()
{
    QFETCH(QString, mode);
    QFETCH(int, pane);
    QFETCH(bool, bitmap);
    DocumentWindow *doc = m_app->newDocument(mode);
    MainWindow *w = m_app->window.get();
    setClipboard(bitmap ? picture(8, 8, qRgb(200, 0, 0)) : QImage());
    // The toolbar's Cut and Copy keep whatever state they had.
    w->setButtonEnabled(6, true);
    w->setButtonEnabled(7, false);
    w->setMenuEnabled(QStringLiteral("mnuClear"), true);

    Pane *container = paneOf(doc, pane);
    QTest::mouseClick(container, Qt::LeftButton, {}, container->rect().center());

    QCOMPARE(m_app->shared().InsertSource.text(), clipboardWord(pane));
    QCOMPARE(m_app->menuEnabled("mnuPaste"), bitmap);
    QCOMPARE(w->button(8)->isEnabled(), bitmap);
    QVERIFY(!m_app->menuEnabled("mnuCut"));
    QVERIFY(!m_app->menuEnabled("mnuCopy"));
    QVERIFY(!m_app->menuEnabled("mnuClear"));
    QVERIFY(w->button(6)->isEnabled());
    QVERIFY(!w->button(7)->isEnabled());
}

void TestSelection::pasteIntoSelectedPane()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("Field"));
    m_app->shared().FieldImagePath = QStringLiteral("/pictures/earlier.bmp");
    const QImage image = picture(40, 30, qRgb(10, 200, 30));
    setClipboard(image);
    QTest::mouseClick(doc->picContBefore(), Qt::LeftButton, {}, doc->picContBefore()->rect().center());
    QVERIFY(m_app->menuEnabled("mnuPaste"));

    m_app->window->button(8)->trigger();
    QTRY_VERIFY(!doc->picBefore()->isHidden());
    QCOMPARE(m_app->shared().CommandWord.text(), QStringLiteral("MDImnuInsDesign"));
    QCOMPARE(doc->picBefore()->image(), image);
    QCOMPARE(doc->picUra(), image);
    // The selected field pane takes the next paste; a picture from no file empties the path.
    QTest::mouseClick(doc->picContField(), Qt::LeftButton, {}, doc->picContField()->rect().center());
    m_app->window->menuAction(QStringLiteral("mnuPaste"))->trigger();
    QTRY_COMPARE(doc->picUraField(), image);
    QCOMPARE(m_app->shared().FieldImagePath, QString());
    QVERIFY(m_app->menuEnabled("mnuConvStart"));
}

void TestSelection::releaseOnPicture_data()
{
    QTest::addColumn<int>("pane");
    QTest::addColumn<int>("button");
    QTest::newRow("design, left") << 0 << int(Qt::LeftButton);
    QTest::newRow("field, middle") << 1 << int(Qt::MiddleButton);
    QTest::newRow("stereo, left") << 2 << int(Qt::LeftButton);
}

void TestSelection::releaseOnPicture()
{
    QFETCH(int, pane);
    QFETCH(int, button);
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("Field"));
    MainWindow *w = m_app->window.get();
    put(doc, pane, picture(50, 40, qRgb(90, 90, 200)));
    m_app->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    w->setMenuEnabled(QStringLiteral("mnuPaste"), false);
    for (const char *name : {"mnuCut", "mnuCopy", "mnuClear"})
        w->setMenuEnabled(QString::fromLatin1(name), false);
    w->setButtonEnabled(6, false);
    w->setButtonEnabled(7, false);

    auto *picture = paneOf(doc, pane)->picture();
    const auto mouseButton = Qt::MouseButton(button);
    QTest::mousePress(picture, mouseButton, {}, QPoint(5, 5));
    QVERIFY(picture->pressedLook());
    QTest::mouseRelease(picture, mouseButton, {}, QPoint(5, 5));
    QVERIFY(!picture->pressedLook());

    QCOMPARE(m_app->shared().InsertSource.text(), clipboardWord(pane));
    for (const char *name : {"mnuCut", "mnuCopy", "mnuClear"})
        QVERIFY2(m_app->menuEnabled(name), name);
    QVERIFY(w->button(6)->isEnabled());
    QVERIFY(w->button(7)->isEnabled());
    QVERIFY(!m_app->menuEnabled("mnuPaste"));  // paste keeps its state
}

void TestSelection::releaseBesideSmallPictureDoesNothing()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    put(doc, 0, picture(20, 20, qRgb(0, 0, 0)));
    m_app->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    Pane *container = doc->picContBefore();
    QTest::mouseClick(container, Qt::LeftButton, {}, QPoint(container->width() - 10, container->height() - 10));
    QCOMPARE(m_app->shared().InsertSource.text(), QStringLiteral("FromFile"));
}

void TestSelection::selectingInAnotherWindowActivatesIt()
{
    DocumentWindow *first = m_app->newDocument(QStringLiteral("RandomDot"));
    const QImage image = picture(30, 30, qRgb(0, 0, 250));
    put(first, 2, image);
    DocumentWindow *second = m_app->newDocument(QStringLiteral("RandomDot"));
    QCOMPARE(m_app->window->activeDocument(), second);

    // The press makes the window active (reading its state), the release then selects: Copy
    // stays available for the picture just selected.
    m_app->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_app->window.get()));
    QTest::mousePress(first->picAfter(), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(m_app->window->activeDocument(), first);
    QTest::mouseRelease(first->picAfter(), Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(m_app->menuEnabled("mnuCopy"));
    m_app->window->menuAction(QStringLiteral("mnuCopy"))->trigger();
    QCOMPARE(clipboardImage(), image);
}

void TestSelection::contextMenuOnEmptyPane()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    const QStringList entries = rightClick(doc->picContAfter(), doc->picContAfter()->rect().center());
    const QStringList expected{QStringLiteral("切り取り"), QStringLiteral("コピー"), QStringLiteral("貼り付け"),
                               QStringLiteral("-"), QStringLiteral("消去")};
    QCOMPARE(entries, expected);
    QCOMPARE(m_app->shared().InsertSource.text(), QStringLiteral("CBpicAfter"));
    // The main window's Edit menu has its editor submenu back.
    QVERIFY(m_app->window->menuAction(QStringLiteral("mnuEditer"))->isVisible());
    QVERIFY(m_app->window->menuAction(QStringLiteral("mnuBar5"))->isVisible());
}

void TestSelection::contextMenuOnPicture()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    put(doc, 0, picture(60, 60, qRgb(0, 100, 0)));
    auto *picture = doc->picBefore();
    bool pressedWhileOpen = false;
    bool copyWhileOpen = false;
    const QStringList entries = rightClick(picture, QPoint(10, 10), [&] {
        pressedWhileOpen = picture->pressedLook();
        copyWhileOpen = m_app->menuEnabled("mnuCopy");
    });
    // The edit commands, then the pane's own view below a separator.
    QCOMPARE(entries.size(), 7);
    QCOMPARE(entries.mid(5), QStringList({QStringLiteral("-"), QStringLiteral("ウインドウに合わせる")}));
    QVERIFY(!entries.contains(QStringLiteral("エディタ")));
    QVERIFY(pressedWhileOpen);
    QVERIFY(copyWhileOpen);
    QVERIFY(!picture->pressedLook());
    QVERIFY(m_app->window->menuAction(QStringLiteral("mnuEditer"))->isVisible());
}

void TestSelection::cutStereoPane()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    MainWindow *w = m_app->window.get();
    const QImage stereo = picture(64, 48, qRgb(250, 250, 0));
    put(doc, 2, stereo);
    m_app->shared().StereoImagePath = QStringLiteral("/pictures/tree.bmp");
    w->statusPanel(5)->setText(QStringLiteral("64 x 48"));
    QTest::mouseClick(doc->picAfter(), Qt::LeftButton, {}, QPoint(3, 3));
    QVERIFY(m_app->menuEnabled("mnuPrint"));

    w->menuAction(QStringLiteral("mnuCut"))->trigger();

    QCOMPARE(clipboardImage(), stereo);
    QVERIFY(doc->picAfter()->isHidden());
    QCOMPARE(doc->picAfter()->size(), QSize(1, 1));
    QVERIFY(doc->picContAfter()->hsb()->isHidden());
    QVERIFY(doc->picContAfter()->vsb()->isHidden());
    QVERIFY(m_app->shared().StereoImagePath.isEmpty());
    QVERIFY(w->statusPanel(5)->text().isEmpty());
    for (const char *name : {"mnuPrint", "mnuSaveStereo", "mnuCut", "mnuCopy"})
        QVERIFY2(!m_app->menuEnabled(name), name);
    QVERIFY(!w->button(4)->isEnabled());
    QVERIFY(!w->button(6)->isEnabled());
    QVERIFY(!w->button(7)->isEnabled());
    QVERIFY(m_app->menuEnabled("mnuPaste"));
    QVERIFY(w->button(8)->isEnabled());

    // The cut picture goes back in with a paste.
    w->menuAction(QStringLiteral("mnuPaste"))->trigger();
    QTRY_VERIFY(!doc->picAfter()->isHidden());
    QCOMPARE(doc->picAfter()->image(), stereo);
}

void TestSelection::copyTakesDrawnPicture()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    put(doc, 2, picture(30, 20, qRgb(255, 255, 255)));
    // A conversion draws into the picture row by row.
    doc->picAfter()->image().setPixel(7, 9, qRgb(0, 0, 0));
    QTest::mouseClick(doc->picAfter(), Qt::LeftButton, {}, QPoint(2, 2));
    m_app->window->button(7)->trigger();
    QCOMPARE(clipboardImage().pixel(7, 9), qRgb(0, 0, 0));
    QCOMPARE(clipboardImage(), doc->picAfter()->image());
    QVERIFY(!doc->picAfter()->isHidden());  // copy leaves the pane alone
}

void TestSelection::copyOfEmptyPaneKeepsClipboard()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    const QImage held = picture(5, 5, qRgb(1, 200, 1));
    setClipboard(held);
    // A release on the empty pane leaves the toolbar's Copy as it was: here on.
    m_app->window->setButtonEnabled(7, true);
    QTest::mouseClick(doc->picContBefore(), Qt::LeftButton, {}, doc->picContBefore()->rect().center());
    m_app->window->button(7)->trigger();
    QCOMPARE(clipboardImage(), held);
}

void TestSelection::refusedByClipboard()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    MainWindow *w = m_app->window.get();
    const QImage stereo = picture(32, 24, qRgb(0, 90, 0));
    put(doc, 2, stereo);
    m_app->shared().StereoImagePath = QStringLiteral("/pictures/kept.bmp");
    w->statusPanel(5)->setText(QStringLiteral("32 x 24"));
    QTest::mouseClick(doc->picAfter(), Qt::LeftButton, {}, QPoint(3, 3));
    RefusingClipboard refusing;
    m_app->services.clipboard.use(&refusing);
    const QString refused = QStringLiteral("画像をクリップボードに置けませんでした。");

    // A cut whose picture did not reach the clipboard takes nothing away: the picture would be
    // lost.
    w->menuAction(QStringLiteral("mnuCut"))->trigger();
    QCOMPARE(refusing.offered, 1);
    QCOMPARE(m_app->asked(QStringLiteral("exclamation")), QStringList{refused});
    QVERIFY(!doc->picAfter()->isHidden());
    QCOMPARE(doc->picAfter()->image(), stereo);
    QCOMPARE(m_app->shared().StereoImagePath, QStringLiteral("/pictures/kept.bmp"));
    QCOMPARE(w->statusPanel(5)->text(), QStringLiteral("32 x 24"));
    for (const char *name : {"mnuPrint", "mnuSaveStereo", "mnuCut", "mnuCopy"})
        QVERIFY2(m_app->menuEnabled(name), name);

    // A copy that did not get there says so too, instead of looking done.
    w->button(7)->trigger();
    QCOMPARE(refusing.offered, 2);
    QCOMPARE(m_app->asked(QStringLiteral("exclamation")), QStringList({refused, refused}));

    // With a clipboard that takes it, the same cut goes through.
    m_app->services.clipboard.use(nullptr);
    w->button(6)->trigger();
    QVERIFY(doc->picAfter()->isHidden());
    QCOMPARE(clipboardImage(), stereo);
    QCOMPARE(m_app->asked(QStringLiteral("exclamation")).size(), 2);
}

void TestSelection::clearDesignDisablesStart_data()
{
    QTest::addColumn<int>("pane");
    QTest::newRow("design") << 0;
    QTest::newRow("field") << 1;
}

void TestSelection::clearDesignDisablesStart()
{
    QFETCH(int, pane);
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("Field"));
    MainWindow *w = m_app->window.get();
    put(doc, 0, picture(40, 40, qRgb(0, 0, 0)));
    put(doc, 1, picture(40, 40, qRgb(0, 0, 200)));
    m_app->shared().DesignImagePath = QStringLiteral("/p/design.bmp");
    m_app->shared().FieldImagePath = QStringLiteral("/p/field.bmp");
    QVERIFY(m_app->menuEnabled("mnuConvStart"));
    QTest::mouseClick(paneOf(doc, pane)->picture(), Qt::LeftButton, {}, QPoint(1, 1));

    w->menuAction(QStringLiteral("mnuClear"))->trigger();

    QAction *start = w->menuAction(QStringLiteral("mnuConvStart"));
    QVERIFY(!start->isEnabled());
    QCOMPARE(start->text(), QStringLiteral("開始"));
    QCOMPARE(w->button(11)->toolTip(), QStringLiteral("開始"));
    QVERIFY(!w->button(11)->isEnabled());
    QVERIFY(paneOf(doc, pane)->picture()->isHidden());
    QCOMPARE(m_app->shared().DesignImagePath.isEmpty(), pane == 0);
    QCOMPARE(m_app->shared().FieldImagePath.isEmpty(), pane == 1);
    QCOMPARE(m_app->menuEnabled("mnuSaveDesign"), pane != 0);
    QCOMPARE(m_app->menuEnabled("mnuSaveField"), pane != 1);
    QVERIFY(m_app->menuEnabled("mnuSaveGazou"));
}

void TestSelection::saveImagesMenu_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QList<int>>("filled");
    QTest::addColumn<bool>("saveGazou");
    QTest::newRow("random dot, nothing left") << "RandomDot" << QList<int>{0} << false;
    QTest::newRow("random dot, stereo left") << "RandomDot" << QList<int>{0, 2} << true;
    QTest::newRow("field, field picture left") << "Field" << QList<int>{0, 1} << true;
    QTest::newRow("field, nothing left") << "Field" << QList<int>{0} << false;
}

void TestSelection::saveImagesMenu()
{
    QFETCH(QString, mode);
    QFETCH(QList<int>, filled);
    QFETCH(bool, saveGazou);
    DocumentWindow *doc = m_app->newDocument(mode);
    for (int pane : filled)
        put(doc, pane, picture(16, 16, qRgb(30, 30, 30)));
    QVERIFY(m_app->menuEnabled("mnuSaveGazou"));
    QTest::mouseClick(doc->picBefore(), Qt::LeftButton, {}, QPoint(1, 1));
    m_app->window->menuAction(QStringLiteral("mnuClear"))->trigger();
    QCOMPARE(m_app->menuEnabled("mnuSaveGazou"), saveGazou);
}

void TestSelection::ignoredAfterOpenAndWhileConverting_data()
{
    QTest::addColumn<bool>("converting");
    QTest::newRow("just opened") << false;
    QTest::newRow("converting") << true;
}

void TestSelection::ignoredAfterOpenAndWhileConverting()
{
    QFETCH(bool, converting);
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    MainWindow *w = m_app->window.get();
    put(doc, 0, picture(30, 30, qRgb(0, 0, 0)));
    setClipboard(picture(4, 4, qRgb(9, 9, 9)));
    lumivex::document::SharedState &s = m_app->shared();
    s.InsertSource = testfiles::sourceWord(QStringLiteral("FromMDImnuOpen"));
    if (converting)
        s.Converting = true;
    else
        s.CommandWord = testfiles::commandWord(QStringLiteral("MDImnuOpen"));
    // States that a release which acted would change: the clipboard holds a bitmap, so a
    // release on the empty pane would enable Paste and disable Cut, Copy and Clear.
    const auto setEdit = [w](bool paste, bool others) {
        w->setMenuEnabled(QStringLiteral("mnuPaste"), paste);
        for (const char *name : {"mnuCut", "mnuCopy", "mnuClear"})
            w->setMenuEnabled(QString::fromLatin1(name), others);
    };
    setEdit(false, true);

    QTest::mouseClick(doc->picContAfter(), Qt::LeftButton, {}, doc->picContAfter()->rect().center());
    QCOMPARE(s.InsertSource.text(), QStringLiteral("FromMDImnuOpen"));
    QVERIFY(!m_app->menuEnabled("mnuPaste"));
    for (const char *name : {"mnuCut", "mnuCopy", "mnuClear"})
        QVERIFY2(m_app->menuEnabled(name), name);

    // On the picture: selected right after opening, ignored while converting.
    setEdit(false, false);
    QTest::mousePress(doc->picBefore(), Qt::LeftButton, {}, QPoint(2, 2));
    const bool pressed = doc->picBefore()->pressedLook();
    QTest::mouseRelease(doc->picBefore(), Qt::LeftButton, {}, QPoint(2, 2));
    s.Converting = false;

    QCOMPARE(pressed, !converting);
    QVERIFY(!doc->picBefore()->pressedLook());
    QCOMPARE(s.InsertSource.text(), converting ? QStringLiteral("FromMDImnuOpen") : QStringLiteral("CBpicBefore"));
    for (const char *name : {"mnuCut", "mnuCopy", "mnuClear"})
        QCOMPARE(m_app->menuEnabled(name), !converting);

    // Once another command has been posted, the empty pane can be selected again.
    if (!converting) {
        s.CommandWord = testfiles::commandWord(QStringLiteral("MDImnuSaveDesign"));
        QTest::mouseClick(doc->picContAfter(), Qt::LeftButton, {}, doc->picContAfter()->rect().center());
        QCOMPARE(s.InsertSource.text(), QStringLiteral("CBpicAfter"));
        QVERIFY(m_app->menuEnabled("mnuPaste"));
    }
}

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
