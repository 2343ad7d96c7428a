// 画像の保存: each pane written as a BMP file, the remembered folders, the stereo picture
// becoming part of the document, cancel and failed writes.
#include "apptest.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

using namespace apptest;

namespace {

const char *const kSaveItems[] = {"mnuSaveDesign", "mnuSaveField", "mnuSaveStereo"};
const char *const kCommands[] = {"MDImnuSaveDesign", "MDImnuSaveField", "MDImnuSaveStereo"};
const char *const kFolderKeys[] = {"picDesignDir", "picFieldDir", "picStereoDir"};

QImage picture(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 13 + seed) % 256, (y * 7 + seed) % 256, (x + y + seed) % 256));
    return image;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void savesPane_data();
    void savesPane();
    void nameWithoutExtension();
    void rememberedFolder();
    void cancelChangesNothing();
    void failedWrite_data();
    void failedWrite();
    void savedStereoReopensWithProject();

private:
    /// A colour-field document with a picture in every pane.
    DocumentWindow *filledDocument();
    /// Chooses the save item of pane 0..2 and answers its dialog with path (empty: cancel).
    void save(DocumentWindow *doc, int pane, const QString &path);

    std::unique_ptr<App> m_app;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestExport::init()
{
    m_app = std::make_unique<App>(App::Start::FreshSettings);
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestExport::cleanup()
{
    m_app.reset();
    m_dir.reset();
    QGuiApplication::clipboard()->clear();
}

DocumentWindow *TestExport::filledDocument()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("Field"));
    for (int pane = 0; pane < 3; ++pane)
        paste(m_app->shared(), doc, pane, picture(48 + pane, 32, pane * 50));
    m_app->shared().DesignImagePath = QStringLiteral("/pictures/design.bmp");
    m_app->shared().FieldImagePath = QStringLiteral("/pictures/field.bmp");
    m_app->shared().StereoImagePath = QStringLiteral("/pictures/stereo.bmp");
    return doc;
}

void TestExport::save(DocumentWindow *doc, int pane, const QString &path)
{
    m_app->prompts.files.clear();
    if (!path.isEmpty())
        m_app->prompts.files.append(path);
    m_app->window->menuAction(QString::fromLatin1(kSaveItems[pane]))->trigger();
    QTRY_VERIFY(!doc->Timer1()->isActive());
}

void TestExport::savesPane_data()
{
    QTest::addColumn<int>("pane");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("magic");
    QTest::addColumn<int>("filter");  // the filter entry chosen in the dialog
    QTest::addColumn<QString>("written");
    QTest::newRow("design, BMP") << 0 << "out.bmp" << QByteArray("BM") << 0 << "out.bmp";
    QTest::newRow("design, PNG") << 0 << "out.png" << QByteArray("\x89PNG") << 1 << "out.png";
    QTest::newRow("field, BMP") << 1 << "out.bmp" << QByteArray("BM") << 0 << "out.bmp";
    QTest::newRow("field, PNG") << 1 << "out.png" << QByteArray("\x89PNG") << 1 << "out.png";
    QTest::newRow("stereo, BMP") << 2 << "out.bmp" << QByteArray("BM") << 0 << "out.bmp";
    QTest::newRow("stereo, PNG in capitals") << 2 << "OUT.PNG" << QByteArray("\x89PNG") << 0 << "OUT.PNG";
    QTest::newRow("stereo, PNG chosen, bare name") << 2 << "tree" << QByteArray("\x89PNG") << 1 << "tree.png";
    QTest::newRow("stereo, PNG chosen, typed .PNG") << 2 << "tree.PNG" << QByteArray("\x89PNG") << 1 << "tree.PNG";
    QTest::newRow("design, PNG chosen, typed .bmp") << 0 << "out.BMP" << QByteArray("BM") << 1 << "out.BMP";
}

void TestExport::savesPane()
{
    QFETCH(int, pane);
    QFETCH(QString, name);
    QFETCH(QByteArray, magic);
    QFETCH(int, filter);
    QFETCH(QString, written);
    DocumentWindow *doc = filledDocument();
    // What a conversion drew into the picture is saved with it.
    pictureOf(doc, pane)->image().setPixel(3, 4, qRgb(0, 0, 0));
    const QString path = m_dir->filePath(written);

    m_app->prompts.filters = {filter};
    save(doc, pane, m_dir->filePath(name));

    const auto &asked = m_app->prompts.asked;
    QCOMPARE(asked.size(), 1);
    const lumivex::prompts::FileRequest &request = asked.constFirst().request;
    QVERIFY(request.save);
    QVERIFY(request.overwritePrompt);
    QVERIFY(request.fileName.isEmpty());
    QCOMPARE(request.filter, QStringLiteral("BMP(*.bmp);;PNG(*.png)"));
    QCOMPARE(request.folder, QDir::homePath());  // nothing remembered yet

    QCOMPARE(readBytes(path).left(magic.size()), magic);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{written});
    QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), pictureOf(doc, pane)->image());
    QCOMPARE(settings().ReadSetting(QString::fromLatin1(kFolderKeys[pane])), m_dir->path());
    QCOMPARE(m_app->shared().CommandWord.text(), QString::fromLatin1(kCommands[pane]));
    // Only the stereo picture becomes the document's file; the others keep naming their source.
    QCOMPARE(m_app->shared().DesignImagePath, QStringLiteral("/pictures/design.bmp"));
    QCOMPARE(m_app->shared().FieldImagePath, QStringLiteral("/pictures/field.bmp"));
    QCOMPARE(m_app->shared().StereoImagePath, pane == 2 ? path : QStringLiteral("/pictures/stereo.bmp"));
}

void TestExport::nameWithoutExtension()
{
    DocumentWindow *doc = filledDocument();
    const QString path = m_dir->filePath(QStringLiteral("tree"));
    save(doc, 2, path);
    QCOMPARE(readBytes(path).left(2), QByteArray("BM"));
    QVERIFY(!QFile::exists(path + QStringLiteral(".bmp")));
    QCOMPARE(QImage(path, "BMP").size(), doc->picAfter()->image().size());
    writeBytes(path + QStringLiteral(".png"), "kept");  // PNG chosen: "tree.png", not replaced without asking
    // No goes back to the dialog, at the name and the file type chosen; the next name is written.
    m_app->prompts.asked.clear();
    m_app->prompts.filters = {1, 1};
    m_app->prompts.answers = {lumivex::prompts::Prompts::Answer::No};
    m_app->prompts.files = {path, m_dir->filePath(QStringLiteral("other"))};
    m_app->window->menuAction(QString::fromLatin1(kSaveItems[2]))->trigger();
    QTRY_COMPARE(m_app->asked(QStringLiteral("file")).size(), 2);
    QCOMPARE(m_app->asked(QStringLiteral("question")).size(), 1);
    QCOMPARE(readBytes(path + QStringLiteral(".png")), QByteArray("kept"));
    const lumivex::prompts::FileRequest &again = m_app->prompts.asked.last().request;
    QCOMPARE(again.fileName, QStringLiteral("tree"));
    QCOMPARE(again.folder, m_dir->path());
    QCOMPARE(again.filterIndex, 1);
    QCOMPARE(readBytes(m_dir->filePath(QStringLiteral("other.png"))).left(4), QByteArray("\x89PNG"));
}

void TestExport::rememberedFolder()
{
    DocumentWindow *doc = filledDocument();
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("fields")));
    const QString fields = m_dir->filePath(QStringLiteral("fields"));
    save(doc, 1, fields + QStringLiteral("/f.bmp"));

    save(doc, 1, QString());  // the next field dialog, cancelled
    save(doc, 0, QString());  // the design dialog is not affected
    m_app->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    doc->InsPicField();  // the insert dialog shares the folder

    const auto &asked = m_app->prompts.asked;
    QCOMPARE(asked.size(), 4);
    QCOMPARE(asked.at(1).request.folder, fields);
    QCOMPARE(asked.at(2).request.folder, QDir::homePath());
    QCOMPARE(asked.at(3).request.folder, fields);
}

void TestExport::cancelChangesNothing()
{
    DocumentWindow *doc = filledDocument();
    // A folder remembered before: a cancelled dialog must leave it, not write an empty one.
    settings().WriteSetting(QStringLiteral("picStereoDir"), m_dir->path());
    save(doc, 2, QString());
    QCOMPARE(m_app->shared().StereoImagePath, QStringLiteral("/pictures/stereo.bmp"));
    QCOMPARE(settings().ReadSetting(QStringLiteral("picStereoDir")), m_dir->path());
    QCOMPARE(m_app->prompts.asked.constFirst().request.folder, m_dir->path());
    QVERIFY(m_app->asked(QStringLiteral("exclamation")).isEmpty());
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

void TestExport::failedWrite_data()
{
    QTest::addColumn<int>("pane");
    QTest::newRow("design") << 0;
    QTest::newRow("stereo") << 2;
}

void TestExport::failedWrite()
{
    QFETCH(int, pane);
    DocumentWindow *doc = filledDocument();
    const QString path = m_dir->filePath(QStringLiteral("missing/out.bmp"));
    save(doc, pane, path);

    // Said so, rather than passed over in silence; and the document does not name a stereo
    // file that was never written.
    const QStringList messages = m_app->asked(QStringLiteral("exclamation"));
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.constFirst(), QStringLiteral("次のファイルに保存できませんでした。\r\n%1\r\nNo such file or directory")
                                        .arg(QDir::toNativeSeparators(path)));
    QCOMPARE(m_app->shared().StereoImagePath, QStringLiteral("/pictures/stereo.bmp"));
    QVERIFY(settings().ReadSetting(QString::fromLatin1(kFolderKeys[pane])).isEmpty());
    QVERIFY(!QFile::exists(path));
}

void TestExport::savedStereoReopensWithProject()
{
    DocumentWindow *doc = filledDocument();
    m_app->shared().DesignImagePath.clear();
    m_app->shared().FieldImagePath.clear();
    const QImage stereo = doc->picAfter()->image();
    const QString path = m_dir->filePath(QStringLiteral("tree.bmp"));
    save(doc, 2, path);

    const QString project = m_dir->filePath(QStringLiteral("tree.lvd"));
    m_app->prompts.files = {project};
    m_app->window->menuAction(QStringLiteral("mnuSaveName"))->trigger();
    QTRY_VERIFY(!doc->Timer1()->isActive());
    QCOMPARE(iniValue(project, "PicStereoPath"), path);

    m_app->prompts.files = {project};
    m_app->window->OpenProject();
    DocumentWindow *opened = m_app->window->activeDocument();
    QVERIFY(opened && opened != doc);
    QTRY_VERIFY(!opened->Timer1()->isActive());
    QVERIFY(!opened->picAfter()->isHidden());
    QCOMPARE(opened->picAfter()->image(), stereo);
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
