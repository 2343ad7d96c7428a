// Project files: saving a document under a name, opening it again with its pictures, the
// cancel and failure paths, and files that are not project files at all.
#include "apptest.h"
#include "picturefiles.h"

#include "document/docstate.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QRandomGenerator>
#include <QSlider>
#include <QTemporaryDir>

#include <unistd.h>

using namespace apptest;
using lumivex::document::DocState;

namespace {

const QList<QRgb> kColours{qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 255)};

QString remembered()
{
    return settings().ReadSetting(QStringLiteral("LvdFileDir"));
}

} // namespace

class TestProjectFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveAsThenOpen();
    void designAndStereoOnly();
    void picturesMissing();
    void oldProjectUntouched();
    void plainSaveWritesTheProject();
    void openCancelled();
    void openFromMenuAndButton_data();
    void openFromMenuAndButton();
    void saveCancelled();
    void closeKeepsWindowWhenSaveCancelled();
    void addedExtensionAsksBeforeOverwriting_data();
    void addedExtensionAsksBeforeOverwriting();
    void unwritableFolder();
    void openErrors_data();
    void openErrors();
    void malformedProjects_data();
    void malformedProjects();

private:
    QString picture(const QString &name, QSize size, const char *format = "BMP");
    // Opens the project file through 開く and waits for its pictures' tick.
    DocumentWindow *open(const QString &path);
    QString writeProject(const QString &name, const DocState &state);

    std::unique_ptr<App> m_app;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestProjectFiles::init()
{
    m_app = std::make_unique<App>(App::Start::FreshSettings);
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestProjectFiles::cleanup()
{
    m_app.reset();
    m_dir.reset();
}

QString TestProjectFiles::picture(const QString &name, QSize size, const char *format)
{
    return picturefiles::write(m_dir->path(), name,
                               picturefiles::encoded(picturefiles::bands(size.width(), size.height(), kColours), format));
}

DocumentWindow *TestProjectFiles::open(const QString &path)
{
    const qsizetype before = m_app->window->documentWindows().size();
    m_app->prompts.files << path;
    m_app->window->OpenProject();
    if (m_app->window->documentWindows().size() != before + 1)
        return nullptr;
    DocumentWindow *doc = m_app->window->activeDocument();
    if (!QTest::qWaitFor([doc] { return !doc->Timer1()->isActive(); }))
        return nullptr;
    return doc;
}

QString TestProjectFiles::writeProject(const QString &name, const DocState &state)
{
    const QString path = m_dir->path() + QLatin1Char('/') + name;
    lumivex::document::writeDocState(path, state);
    return path;
}

void TestProjectFiles::saveAsThenOpen()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("Field"));
    const QString tmp = doc->lblIniName();
    QVERIFY(QFileInfo::exists(tmp));
    const QImage greys = picturefiles::bands(40, 30, {qRgb(10, 10, 10), qRgb(100, 100, 100)});
    const QString design = picturefiles::write(m_dir->path(), QStringLiteral("design.bmp"), picturefiles::encoded(greys, "BMP"));
    const QString field = picture(QStringLiteral("field.png"), QSize(40, 30), "PNG");
    const QString stereo = picture(QStringLiteral("stereo.jpg"), QSize(50, 20), "JPEG");
    m_app->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    m_app->prompts.files << design << field << stereo;
    m_app->prompts.choices = {0};
    doc->InsPicDesign();
    doc->InsPicField();
    doc->InsPicStereo();
    m_app->window->setSliderValue(0, 120);

    // A name typed without the extension.
    const QString path = m_dir->path() + QStringLiteral("/tree.lvd");
    m_app->prompts.files << m_dir->path() + QStringLiteral("/tree");
    doc->SaveProjectAs();
    const lumivex::prompts::FileRequest request = m_app->prompts.asked.last().request;
    QVERIFY(request.save);
    QVERIFY(request.overwritePrompt);
    QCOMPARE(request.fileName, QStringLiteral("Vexart1"));
    QCOMPARE(request.filter, QStringLiteral("Vexmakerﾌｧｲﾙ(*.lvd)"));
    QCOMPARE(request.folder, QDir::homePath());

    QVERIFY(!doc->SaveCancelled);
    QCOMPARE(doc->windowTitle(), QStringLiteral("tree"));
    QCOMPARE(doc->lblTitle(), QStringLiteral("tree"));
    QCOMPARE(doc->lblIniName(), path);
    QCOMPARE(doc->lblOldIniName(), path);
    QCOMPARE(m_app->shared().StateFilePath, path);
    QCOMPARE(m_app->shared().DocumentTitle, QStringLiteral("tree"));
    QCOMPARE(m_app->window->statusPanel(1)->text(), path);
    QVERIFY(m_app->menuEnabled("mnuSave"));
    QVERIFY(m_app->window->button(3)->isEnabled());
    QCOMPARE(remembered(), m_dir->path());
    QVERIFY(!QFileInfo::exists(tmp));
    QCOMPARE(iniValue(path, "FileNamePath"), path);
    QCOMPARE(iniValue(path, "mnuSave"), QStringLiteral("True"));
    QCOMPARE(iniValue(path, "PicFieldPath"), field);
    QCOMPARE(iniValue(path, "KurikaesiHaba"), QStringLiteral("120"));
    QCOMPARE(iniValue(path, "DepthKind"), QStringLiteral("Grey"));
    QCOMPARE(lumivex::document::IniFile().load(path), true);

    // Later, in a new run of the program.
    m_app.reset();
    m_app = std::make_unique<App>(App::Start::FreshSettings);
    DocumentWindow *opened = open(path);
    QVERIFY(opened);
    QVERIFY(!m_app->prompts.asked.last().request.save);
    QCOMPARE(m_app->prompts.asked.last().request.filter, QStringLiteral("Vexmakerﾌｧｲﾙ(*.lvd)"));
    QCOMPARE(remembered(), m_dir->path());
    QCOMPARE(opened->windowTitle(), QStringLiteral("tree"));
    QCOMPARE(opened->lblIniName(), path);
    QCOMPARE(m_app->shared().OpenFlags, QStringLiteral("DFS"));
    QCOMPARE(m_app->shared().CommandWord.text(), QStringLiteral("MDImnuOpen"));
    QCOMPARE(m_app->window->statusPanel(1)->text(), path);
    QCOMPARE(m_app->window->slider(0)->value(), 120);
    QVERIFY(m_app->menuEnabled("mnuSave"));
    QVERIFY(m_app->window->button(3)->isEnabled());
    QCOMPARE(opened->picUra().convertToFormat(QImage::Format_RGB32), greys);  // smooth again, unasked
    QVERIFY(m_app->shared().DesignDepth == lumivex::document::DepthKind::Grey);
    QCOMPARE(opened->picBefore()->size(), QSize(40, 30));
    QCOMPARE(opened->picUraField().size(), QSize(40, 30));
    QVERIFY(!opened->picField()->isHidden());
    QCOMPARE(opened->picAfter()->size(), QSize(50, 20));
    QVERIFY(!opened->picAfter()->isHidden());
    QVERIFY(m_app->menuEnabled("mnuConvStart"));
    QVERIFY(m_app->asked(QStringLiteral("exclamation")).isEmpty());
}

void TestProjectFiles::designAndStereoOnly()
{
    DocState state;
    state.picDesignPath = picture(QStringLiteral("d.bmp"), QSize(12, 10));
    state.picStereoPath = picture(QStringLiteral("s.bmp"), QSize(14, 10));
    DocumentWindow *doc = open(writeProject(QStringLiteral("ds.lvd"), state));
    QVERIFY(doc);
    QCOMPARE(m_app->shared().OpenFlags, QStringLiteral("DS"));
    QCOMPARE(doc->picBefore()->size(), QSize(12, 10));
    QVERIFY(!doc->picBefore()->isHidden());
    QVERIFY(doc->picField()->isHidden());
    QVERIFY(doc->picUraField().isNull());
    QCOMPARE(doc->picAfter()->size(), QSize(14, 10));

    // Pictures too wide for the window that the project showed brought down come back so,
    // unasked, and the status bar says it; the project keeps the files' paths and the widths.
    state.picDesignPath = picture(QStringLiteral("wide.bmp"), QSize(2048, 300));
    state.picStereoPath = picture(QStringLiteral("print.bmp"), QSize(4096, 100));
    state.designScaledWidth = 1024;
    state.stereoScaledWidth = 1024;
    const QString project = writeProject(QStringLiteral("wide.lvd"), state);
    doc = open(project);
    QVERIFY(doc);
    QVERIFY(m_app->asked(QStringLiteral("choice")).isEmpty());
    QVERIFY(m_app->asked(QStringLiteral("exclamation")).isEmpty());
    QCOMPARE(doc->picUra().size(), QSize(1024, 150));
    QCOMPARE(doc->picAfter()->size(), QSize(1024, 25));
    QCOMPARE(doc->stereoForOutput().size(), QSize(4096, 100));
    QCOMPARE(m_app->window->statusPanel(1)->text(),
             QStringLiteral("ステレオ画像（4096 × 100）は 1024 × 25 に縮小して表示しています。"));
    doc->SaveState();
    QCOMPARE(iniValue(project, "PicDesignPath"), state.picDesignPath);
    QCOMPARE(iniValue(project, "DesignScaledWidth"), QStringLiteral("1024"));
    QCOMPARE(iniValue(project, "StereoScaledWidth"), QStringLiteral("1024"));
}

void TestProjectFiles::picturesMissing()
{
    DocState state;
    state.picDesignPath = m_dir->path() + QStringLiteral("/gone/d.bmp");
    state.picFieldPath = m_dir->path() + QStringLiteral("/f.bmp");
    state.picStereoPath = m_dir->path() + QStringLiteral("/s.gif");
    state.kurikaesiHaba = 120;
    state.rittaido = 5;
    DocumentWindow *doc = open(writeProject(QStringLiteral("moved.lvd"), state));
    QVERIFY(doc);
    QCOMPARE(m_app->shared().OpenFlags, QStringLiteral("DFS"));
    QCOMPARE(m_app->asked(QStringLiteral("exclamation")), QStringList(QStringLiteral("次の画像が見つからないか、読み込めませんでした。\r\n")
        + QStringList{state.picDesignPath, state.picFieldPath, state.picStereoPath}.join(QStringLiteral("\r\n"))));
    QVERIFY(doc->picBefore()->isHidden());
    QVERIFY(doc->picField()->isHidden());
    QVERIFY(doc->picAfter()->isHidden());
    QCOMPARE(m_app->window->slider(0)->value(), 120);
    QCOMPARE(m_app->window->slider(1)->value(), 5);
    // The paths stay with the project, should the pictures come back.
    QCOMPARE(m_app->shared().DesignImagePath, state.picDesignPath);
}

void TestProjectFiles::oldProjectUntouched()
{
    DocState state;
    state.picDesignPath = picture(QStringLiteral("d.bmp"), QSize(12, 10));
    const QString old = writeProject(QStringLiteral("old.lvd"), state);
    const QByteArray before = readBytes(old);
    DocumentWindow *doc = open(old);
    QVERIFY(doc);
    m_app->window->slider(1)->setValue(44);  // written into old.lvd at once

    const QString next = m_dir->path() + QStringLiteral("/new.lvd");
    m_app->prompts.files << next;
    doc->SaveProjectAs();
    QVERIFY(!doc->SaveCancelled);
    QCOMPARE(m_app->prompts.asked.last().request.fileName, QStringLiteral("old"));
    // What changed since the open went into the new file; the old one is as it was saved.
    QCOMPARE(readBytes(old), before);
    QCOMPARE(iniValue(next, "Rittaido"), QStringLiteral("44"));
    QCOMPARE(iniValue(next, "FileNamePath"), next);
    QCOMPARE(iniValue(next, "PicDesignPath"), state.picDesignPath);
    QCOMPARE(doc->windowTitle(), QStringLiteral("new"));
}

void TestProjectFiles::plainSaveWritesTheProject()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    const QString path = m_dir->path() + QStringLiteral("/plain.lvd");
    m_app->prompts.files << path;
    doc->SaveProjectAs();
    QCOMPARE(iniValue(path, "mnuCopy"), QStringLiteral("False"));

    const int asked = int(m_app->prompts.asked.size());
    m_app->window->setMenuEnabled(QStringLiteral("mnuCopy"), true);
    m_app->window->menuAction(QStringLiteral("mnuSave"))->trigger();
    QTRY_COMPARE(iniValue(path, "mnuCopy"), QStringLiteral("True"));
    QCOMPARE(int(m_app->prompts.asked.size()), asked);  // no dialog, no message
}

void TestProjectFiles::openCancelled()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    settings().WriteSetting(QStringLiteral("LvdFileDir"), m_dir->path());
    const QString state = m_app->shared().StateFilePath;
    m_app->window->OpenProject();  // no file queued: cancelled
    QCOMPARE(m_app->prompts.asked.size(), 1);
    QCOMPARE(m_app->prompts.asked.first().request.folder, m_dir->path());
    QCOMPARE(m_app->window->documentWindows(), QList<DocumentWindow *>{doc});
    QCOMPARE(m_app->shared().StateFilePath, state);
    QCOMPARE(remembered(), m_dir->path());
}

void TestProjectFiles::openFromMenuAndButton_data()
{
    QTest::addColumn<QString>("control");  // menu item, or "#2" for the toolbar's Open button
    QTest::newRow("開く") << "mnuOpen";
    QTest::newRow("Open button") << "#2";
}

void TestProjectFiles::openFromMenuAndButton()
{
    QFETCH(QString, control);
    DocState state;
    state.stereoName = testfiles::modeWord(QStringLiteral("RandomDot"));
    const QString path = writeProject(QStringLiteral("scene.lvd"), state);
    m_app->prompts.files << path;
    QAction *action = control == QLatin1String("#2") ? m_app->window->button(2)
                                                     : m_app->window->menuAction(control);
    action->trigger();

    // One choice opens one window: the dialog is shown once.
    QCOMPARE(m_app->prompts.asked.size(), 1);
    QCOMPARE(m_app->window->documentWindows().size(), 1);
    QCOMPARE(m_app->window->activeDocument()->windowTitle(), QStringLiteral("scene"));
}

void TestProjectFiles::saveCancelled()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    const QString tmp = doc->lblIniName();
    doc->SaveProjectAs();  // cancelled
    QVERIFY(doc->SaveCancelled);
    QCOMPARE(doc->windowTitle(), QStringLiteral("Vexart1"));
    QCOMPARE(doc->lblIniName(), tmp);
    QCOMPARE(m_app->shared().StateFilePath, tmp);
    QVERIFY(QFileInfo::exists(tmp));
    QVERIFY(!m_app->menuEnabled("mnuSave"));
    QCOMPARE(remembered(), QString());

    // A later save is not held back by the earlier cancel.
    m_app->prompts.files << m_dir->path() + QStringLiteral("/later.lvd");
    doc->SaveProjectAs();
    QVERIFY(!doc->SaveCancelled);
}

void TestProjectFiles::closeKeepsWindowWhenSaveCancelled()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("Field"));
    auto *frame = qobject_cast<QMdiSubWindow *>(doc->parentWidget());
    m_app->prompts.answers << Answer::Yes;  // save?  yes, then the dialog is cancelled
    QVERIFY(!frame->close());
    QCOMPARE(m_app->window->documentWindows(), QList<DocumentWindow *>{doc});
    QVERIFY(!doc->SaveCancelled);

    // Yes with a name: saved, and the window closes.
    const QString path = m_dir->path() + QStringLiteral("/closing.lvd");
    m_app->prompts.answers << Answer::Yes;
    m_app->prompts.files << path;
    QVERIFY(frame->close());
    QCOMPARE(iniValue(path, "FileNamePath"), path);
}

void TestProjectFiles::addedExtensionAsksBeforeOverwriting_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saved");
    QTest::newRow("yes") << int(Answer::Yes) << true;
    QTest::newRow("no") << int(Answer::No) << false;
}

void TestProjectFiles::addedExtensionAsksBeforeOverwriting()
{
    QFETCH(int, answer);
    QFETCH(bool, saved);

    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    const QString existing = picturefiles::write(m_dir->path(), QStringLiteral("tree.lvd"), "[other]\nkeep=1\n");
    m_app->prompts.files << m_dir->path() + QStringLiteral("/tree");
    m_app->prompts.answers << Answer(answer);
    doc->SaveProjectAs();
    const QStringList questions = m_app->asked(QStringLiteral("question"));
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions.first().contains(QStringLiteral("tree.lvd")));
    QCOMPARE(doc->SaveCancelled, !saved);
    QCOMPARE(iniValue(existing, "FileNamePath") == existing, saved);
    QVERIFY(readBytes(existing).startsWith("[other]\nkeep=1\n"));
}

void TestProjectFiles::unwritableFolder()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    const QString tmp = doc->lblIniName();
    // Root may write anywhere a folder's permissions forbid; no one can create files in /proc.
    QString folder = QStringLiteral("/proc");
    if (::geteuid() != 0) {
        folder = m_dir->path() + QStringLiteral("/locked");
        QDir().mkdir(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    const QString path = folder + QStringLiteral("/lost.lvd");
    m_app->prompts.files << path;
    doc->SaveProjectAs();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const QStringList messages = m_app->asked(QStringLiteral("exclamation"));
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().contains(path));
    QVERIFY(doc->SaveCancelled);
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(doc->windowTitle(), QStringLiteral("Vexart1"));
    QCOMPARE(doc->lblIniName(), tmp);
    QCOMPARE(doc->lblOldIniName(), tmp);
    QCOMPARE(doc->lblTitle(), QStringLiteral("lblTitle"));
    QCOMPARE(m_app->shared().StateFilePath, tmp);
    QCOMPARE(m_app->window->statusPanel(1)->text(), tmp);
    QVERIFY(QFileInfo::exists(tmp));
    QVERIFY(!m_app->menuEnabled("mnuSave"));
    QVERIFY(!m_app->window->button(3)->isEnabled());
    QCOMPARE(remembered(), QString());
}

void TestProjectFiles::openErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");  // empty: the command ends silently

    QTest::newRow("file not found") << "none.lvd"
                                    << "ｴﾗｰ番号  53Lumivex でｴﾗｰが発生しました。\r\nファイルが見つかりません。";
    QTest::newRow("path not found") << "nowhere/none.lvd"
                                    << "ｴﾗｰ番号  76Lumivex でｴﾗｰが発生しました。\r\nパスが見つかりません。";
    QTest::newRow("a folder") << "folder.lvd" << "";
}

void TestProjectFiles::openErrors()
{
    QFETCH(QString, name);
    QFETCH(QString, message);

    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    const QString state = m_app->shared().StateFilePath;
    QDir(m_dir->path()).mkdir(QStringLiteral("folder.lvd"));
    const QString path = m_dir->path() + QLatin1Char('/') + name;
    m_app->prompts.files << path;
    m_app->window->OpenProject();

    if (message.isEmpty()) {
        QCOMPARE(m_app->prompts.asked.size(), 1);
        QCOMPARE(m_app->window->documentWindows(), QList<DocumentWindow *>{doc});
        QCOMPARE(m_app->shared().StateFilePath, state);
        return;
    }
    QCOMPARE(m_app->asked(QStringLiteral("exclamation")), QStringList{message});
    // After the message the command goes on: the window opens on that file.
    QCOMPARE(m_app->window->documentWindows().size(), 2);
    QCOMPARE(m_app->window->activeDocument()->windowTitle(), QStringLiteral("none"));
    QCOMPARE(m_app->window->activeDocument()->lblIniName(), path);
}

void TestProjectFiles::malformedProjects_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kurikaesi");  // -1: no project, nothing opens

    QByteArray junk(200000, '\0');
    QRandomGenerator random(4);
    for (char &c : junk)
        c = char(random.bounded(256));
    QTest::newRow("binary junk") << junk << -1;
    QTest::newRow("huge line") << QByteArray(3 * 1024 * 1024, 'A') + "\n[Lumivex Ver.2]\nKurikaesiHaba=90\n" << 90;
    QTest::newRow("over the size limit") << QByteArray(6 * 1024 * 1024, '[') << -1;
    QTest::newRow("no section") << QByteArray("KurikaesiHaba=99\nPicDesignPath=/etc/passwd\n") << -1;
    QTest::newRow("empty") << QByteArray() << -1;
    QTest::newRow("values of no use") << QByteArray("[lumivex ver.2]\nKurikaesiHaba=-5\nStereoName=\x01\x02\n"
                                                    "PicDesignPath=/etc/passwd\nPicStereoPath=\xff\xfe\n") << 0;
}

void TestProjectFiles::malformedProjects()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kurikaesi);

    m_app->newDocument(QStringLiteral("RandomDot"));
    const QString path = picturefiles::write(m_dir->path(), QStringLiteral("odd.lvd"), bytes);
    DocumentWindow *doc = open(path);
    const QStringList messages = m_app->asked(QStringLiteral("exclamation"));
    if (kurikaesi < 0) {
        QVERIFY(!doc);  // said so, with the file's name; nothing opened or written
        QCOMPARE(messages, QStringList{QStringLiteral("「%1」はプロジェクトファイルではありません。").arg(path)});
        QCOMPARE(readBytes(path), bytes);
        return;
    }
    QVERIFY(doc);
    QCOMPARE(doc->windowTitle(), QStringLiteral("odd"));
    QCOMPARE(m_app->window->slider(0)->value(), kurikaesi);
    QVERIFY(doc->picBefore()->isHidden());
    QVERIFY(doc->picAfter()->isHidden());
    QCOMPARE(messages.size(), bytes.contains("/etc/passwd") ? 1 : 0);
}

QTEST_MAIN(TestProjectFiles)
#include "tst_projectfiles.moc"
