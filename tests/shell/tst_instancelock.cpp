// Two running copies of the program keep their temporary state files apart, and a copy's quit
// never deletes the files of a copy that still runs. The other copy is this test program run
// again as a child process.
#include "shell/instancelock.h"

#include <QDir>
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
/// file, tells its path and runs until its standard input closes.
int actAsOtherCopy(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    InstanceLock lock(QString::fromLocal8Bit(argv[2]));
    const QString path = lock.stateFolder() + QStringLiteral("/Vexart1.tmp");
    if (!touch(path))
        return 2;
    std::cout << path.toStdString() << std::endl;
    std::string line;
    std::getline(std::cin, line);
    return 0;
}

} // namespace

class TestInstanceLock : public QObject
{
    Q_OBJECT

private slots:
    void otherCopysFilesOutliveOurQuit_data();
    void otherCopysFilesOutliveOurQuit();
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
    const QString otherFile = QString::fromLocal8Bit(other.readLine()).trimmed();
    QVERIFY(QFile::exists(otherFile));
    const QString otherFolder = QFileInfo(otherFile).path();

    // this copy numbers its documents from 1 too, in a folder of its own
    InstanceLock own(programFolder.path());
    const QString ownFile = own.stateFolder() + QStringLiteral("/Vexart1.tmp");
    QVERIFY(own.stateFolder() != otherFolder);
    QVERIFY(touch(ownFile));
    QVERIFY(touch(own.stateFolder() + QStringLiteral("/Vexart2.tmp")));
    // left in the program folder itself by an older version
    QVERIFY(touch(programFolder.filePath(QStringLiteral("Vexart5.tmp"))));

    own.cleanUpAtQuit();
    QVERIFY(!QFile::exists(ownFile));
    QVERIFY(QDir(own.stateFolder()).entryList({QStringLiteral("*.tmp")}, QDir::Files).isEmpty());
    QVERIFY(!QFile::exists(programFolder.filePath(QStringLiteral("Vexart5.tmp"))));
    QVERIFY2(QFile::exists(otherFile), "the running copy's unsaved document was deleted");

    if (crash) {
        other.kill();
    } else {
        other.closeWriteChannel();
    }
    QVERIFY(other.waitForFinished(10000));
    if (!crash)
        QCOMPARE(other.exitCode(), 0);
    // the other copy ended without cleaning up (it quit holding its lock, or crashed leaving
    // its lock file behind): its files are nobody's now
    QVERIFY(QFile::exists(otherFile));

    own.cleanUpAtQuit();
    QVERIFY(!QFile::exists(otherFile));
    QVERIFY(!QDir(otherFolder).exists());
    QVERIFY(QDir(own.stateFolder()).exists());
}

int main(int argc, char *argv[])
{
    if (argc >= 3 && qstrcmp(argv[1], kOtherCopy) == 0)
        return actAsOtherCopy(argc, argv);
    QCoreApplication app(argc, argv);
    TestInstanceLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instancelock.moc"
