// What an insertion enables in the main window and records in the document's state file: 開始
// once the pictures a conversion needs are in, the items that save, print and clear, and nothing
// at all when the dialog is cancelled.
#include "apptest.h"
#include "picturefiles.h"

#include <QTemporaryDir>

using namespace apptest;

namespace {

const QList<QRgb> kColours{qRgb(0, 0, 0), qRgb(255, 255, 255)};

} // namespace

class TestInsertionState : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void cancelChangesNothing();
    void startBecomesAvailable_data();
    void startBecomesAvailable();
    void enablesAndWritesState_data();
    void enablesAndWritesState();
    void throughTheMenu();

private:
    // Chooses a picture file in the next dialog and inserts it.
    void insertFile(DocumentWindow *doc, Kind kind, const QString &path);
    QString file(const QString &name, const QImage &image);

    std::unique_ptr<App> m_app;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestInsertionState::init()
{
    m_app = std::make_unique<App>(App::Start::FreshSettings);
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestInsertionState::cleanup()
{
    m_app.reset();
    m_dir.reset();
}

void TestInsertionState::insertFile(DocumentWindow *doc, Kind kind, const QString &path)
{
    m_app->prompts.files << path;
    m_app->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    insert(doc, kind);
}

QString TestInsertionState::file(const QString &name, const QImage &image)
{
    return picturefiles::write(m_dir->path(), name, picturefiles::encoded(image, "BMP"));
}

void TestInsertionState::cancelChangesNothing()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    const QByteArray state = readBytes(m_app->shared().StateFilePath);
    m_app->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    doc->InsPicDesign();  // no file queued: the dialog is cancelled
    QCOMPARE(m_app->prompts.asked.size(), 1);
    QVERIFY(doc->picBefore()->isHidden());
    QVERIFY(!m_app->menuEnabled("mnuConvStart"));
    QCOMPARE(readBytes(m_app->shared().StateFilePath), state);
}

void TestInsertionState::startBecomesAvailable_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("inserts");  // in order: D design, F field, S stereo
    QTest::addColumn<bool>("available");

    QTest::newRow("random dot, design") << "RandomDot" << "D" << true;
    QTest::newRow("random dot, stereo") << "RandomDot" << "S" << false;
    QTest::newRow("field, design only") << "Field" << "D" << false;
    QTest::newRow("field, field only") << "Field" << "F" << false;
    QTest::newRow("field, design then field") << "Field" << "DF" << true;
    QTest::newRow("field, field then design") << "Field" << "FD" << true;
    QTest::newRow("field, stereo") << "Field" << "S" << false;
}

void TestInsertionState::startBecomesAvailable()
{
    QFETCH(QString, mode);
    QFETCH(QString, inserts);
    QFETCH(bool, available);

    DocumentWindow *doc = m_app->newDocument(mode);
    QVERIFY(!m_app->menuEnabled("mnuConvStart"));
    const QString path = file(QStringLiteral("p.bmp"), picturefiles::bands(16, 16, kColours));
    for (QChar c : inserts)
        insertFile(doc, c == u'D' ? Design : c == u'F' ? Field : Stereo, path);
    QCOMPARE(m_app->menuEnabled("mnuConvStart"), available);
    QCOMPARE(m_app->window->button(11)->isEnabled(), available);
}

void TestInsertionState::enablesAndWritesState_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("menus");
    QTest::addColumn<QString>("key");

    QTest::newRow("design") << int(Design) << QStringList{"mnuSaveGazou", "mnuSaveDesign", "mnuClear"}
                            << "PicDesignPath";
    QTest::newRow("field") << int(Field) << QStringList{"mnuSaveGazou", "mnuSaveField", "mnuClear"}
                           << "PicFieldPath";
    QTest::newRow("stereo") << int(Stereo)
                            << QStringList{"mnuSaveGazou", "mnuSaveStereo", "mnuPrint", "mnuClear"}
                            << "PicStereoPath";
}

void TestInsertionState::enablesAndWritesState()
{
    QFETCH(int, kind);
    QFETCH(QStringList, menus);
    QFETCH(QString, key);

    DocumentWindow *doc = m_app->newDocument(QStringLiteral("Field"));
    const QString path = file(QStringLiteral("p.bmp"), picturefiles::bands(16, 16, kColours));
    insertFile(doc, Kind(kind), path);
    for (const QString &menu : menus)
        QVERIFY2(m_app->window->menuAction(menu)->isEnabled(), qPrintable(menu));
    QCOMPARE(m_app->window->button(4)->isEnabled(), kind == Stereo);
    QVERIFY(pictureOf(doc, kind)->isVisible());

    const QString state = m_app->shared().StateFilePath;
    QCOMPARE(iniValue(state, key.toLatin1().constData()), path);
    for (const QString &menu : menus)
        QCOMPARE(iniValue(state, menu.toLatin1().constData()), QStringLiteral("True"));
}

void TestInsertionState::throughTheMenu()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    m_app->prompts.files << file(QStringLiteral("p.bmp"), picturefiles::bands(16, 16, kColours));
    m_app->window->menuAction(QStringLiteral("mnuInsDesign"))->trigger();
    QTRY_VERIFY(doc->picBefore()->isVisible());
    QCOMPARE(doc->picBefore()->size(), QSize(16, 16));
    QVERIFY(m_app->menuEnabled("mnuConvStart"));
}

QTEST_MAIN(TestInsertionState)
#include "tst_insertionstate.moc"
