// Two running copies of the program keep their temporary files apart, a copy's quit never deletes
// the files of a copy that still runs, and nothing temporary of a copy outlives its quit: not its
// folder, not a wizard's hand-over pictures made just before it. The other copy is this test
// program run again as a child process.
#include "apptest.h"
#include "picturefiles.h"

#include "document/appsettings.h"
#include "shell/instancelock.h"
#include "wizard/wizarddialog.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <iostream>
#include <string>

using lumivex::shell::InstanceLock;

namespace {

const char kOtherCopy[] = "--act-as-other-copy";

bool touch(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("[Lumivex Ver.2]\n") > 0;
}

/// The other copy: takes its lock in the program folder, leaves an unsaved document's state
/// file and a pending hand-over picture, tells its folder and runs until its standard input
/// closes.
int actAsOtherCopy(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    InstanceLock lock(QString::fromLocal8Bit(argv[2]));
    const QString folder = lock.stateFolder();
    if (!touch(folder + QStringLiteral("/Vexart1.tmp"))
        || !touch(folder + QStringLiteral("/TMP12345.bmp")))
        return 2;
    std::cout << folder.toStdString() << std::endl;
    std::string line;
    std::getline(std::cin, line);
    return 0;
}

/// Every file below the folder, relative to it.
QStringList filesBelow(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(folder).relativeFilePath(it.next());
    names.sort();
    return names;
}

} // namespace

class TestInstanceLock : public QObject
{
    Q_OBJECT

private slots:
    void otherCopysFilesOutliveOurQuit_data();
    void otherCopysFilesOutliveOurQuit();
    void wizardHandOverGoesWithTheQuit();
};

void TestInstanceLock::otherCopysFilesOutliveOurQuit_data()
{
    QTest::addColumn<bool>("crash");
    QTest::newRow("other copy quits") << false;
    QTest::newRow("other copy crashes") << true;
}

void TestInstanceLock::otherCopysFilesOutliveOurQuit()
{
    QFETCH(bool, crash);
    QTemporaryDir programFolder;
    QVERIFY(programFolder.isValid());

    QProcess other;
    other.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kOtherCopy), programFolder.path()});
    QVERIFY(other.waitForStarted());
    QVERIFY(other.waitForReadyRead(10000));
    const QString otherFolder = QString::fromLocal8Bit(other.readLine()).trimmed();
    const QStringList otherFiles = filesBelow(otherFolder);
    QCOMPARE(otherFiles, QStringList({"TMP12345.bmp", "Vexart1.tmp", "running.lock"}));

    // this copy numbers its documents from 1 too, in a folder of its own
    InstanceLock own(programFolder.path());
    const QString ownFolder = own.stateFolder();
    QVERIFY(ownFolder != otherFolder);
    for (const char *name : {"Vexart1.tmp", "Vexart2.tmp", "TMP54321.bmp"})
        QVERIFY(touch(ownFolder + QLatin1Char('/') + QLatin1String(name)));
    // left in the program folder itself by an older version, beside files that are not ours
    for (const char *name :
         {"Vexart5.tmp", "TMP10000.bmp", "TMPlogo.bmp", "TMP.bmp", "keep.lvd", "Lumivex2.lvs"})
        QVERIFY(touch(programFolder.filePath(QLatin1String(name))));

    own.cleanUpAtQuit();
    QVERIFY2(!QFileInfo::exists(ownFolder), "this copy's folder outlived its quit");
    const QStringList notOurs = {"Lumivex2.lvs", "TMP.bmp", "TMPlogo.bmp", "keep.lvd"};
    QStringList expected = notOurs;
    for (const QString &name : otherFiles)
        expected << QFileInfo(otherFolder).fileName() + QLatin1Char('/') + name;
    expected.sort();
    QCOMPARE(filesBelow(programFolder.path()), expected);

    if (crash) {
        other.kill();
    } else {
        other.closeWriteChannel();
    }
    QVERIFY(other.waitForFinished(10000));
    if (!crash)
        QCOMPARE(other.exitCode(), 0);
    // the other copy ended without cleaning up (its quit released the lock, or it crashed
    // leaving a stale lock behind): its files are nobody's now
    QCOMPARE(filesBelow(otherFolder).contains(QStringLiteral("running.lock")), crash);
    QVERIFY(QFile::exists(otherFolder + QStringLiteral("/TMP12345.bmp")));

    // A later quit (of another start of this copy) removes them.
    InstanceLock again(programFolder.path());
    QVERIFY(QFileInfo(again.stateFolder()).isDir());
    again.cleanUpAtQuit();
    QVERIFY(!QFileInfo::exists(otherFolder));
    QCOMPARE(filesBelow(programFolder.path()), notOurs);
}

void TestInstanceLock::wizardHandOverGoesWithTheQuit()
{
    using namespace apptest;
    QTemporaryDir pictures;
    QVERIFY(pictures.isValid());
    const QString programFolder = lumivex::document::programFolder();
    auto app = std::make_unique<App>();
    const QString own = app->window->stateFolder();
    app->newMono();
    using picturefiles::encoded;
    app->prompts.files << picturefiles::write(pictures.path(), QStringLiteral("d.bmp"),
                                              encoded(designPicture(80, 60), "BMP"))
                       << picturefiles::write(pictures.path(), QStringLiteral("s.bmp"),
                                              encoded(fieldPicture(20, 20), "BMP"));

    // 完了: the hand-over pictures wait in this copy's folder for the relay's new document.
    bool finished = false;
    QTimer::singleShot(0, this, [&] {
        using lumivex::wizard::WizardDialog;
        if (auto *wizard = qobject_cast<WizardDialog *>(QApplication::activeModalWidget())) {
            wizard->browse(0);
            wizard->browse(1);
            wizard->next();
            wizard->next();
            wizard->BuildFieldImage();
            finished = !wizard->isVisible();
            if (wizard->isVisible())
                wizard->reject();
        }
    });
    app->trigger("mnuWizard");
    QVERIFY(finished);
    QVERIFY(app->window->timForWiz()->isActive());
    QCOMPARE(QDir(own).entryList({QStringLiteral("TMP*.bmp")}, QDir::Files).size(), 2);

    // The quit comes before the relay: the unsaved document is not saved, nothing is left.
    app->prompts.answers = {Answer::No};
    QVERIFY(app->window->close());
    // In the program the quit ends the event loop, so the relay never runs.
    app->window->timForWiz()->stop();
    QVERIFY2(!QFileInfo::exists(own), "this copy's folder outlived its quit");
    const QStringList left =
        filesBelow(programFolder).filter(QRegularExpression("(^|/)(TMP\\d+\\.bmp|[^/]*\\.tmp)$"));
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u' ')));
    app.reset();
}

int main(int argc, char *argv[])
{
    if (argc >= 3 && qstrcmp(argv[1], kOtherCopy) == 0)
        return actAsOtherCopy(argc, argv);
    QApplication app(argc, argv);
    TestInstanceLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instancelock.moc"
