// A full disk loses nothing: every kind of file the program writes, written onto a small file
// system without room for it, fails with the system's reason, leaves the file that was there as
// it was, and leaves no temporary file beside it.

#include "convertrun.h"

#include "document/appsettings.h"
#include "document/docstate.h"
#include "document/picturewriter.h"
#include "wizard/fieldimage.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>

using namespace lumivex;

class TestFullDisk : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void losesNothing_data();
    void losesNothing();

private:
    QTemporaryDir m_dir; // the inputs, and the small file system mounted on "disk"
    QString m_disk;
};

void TestFullDisk::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_disk = m_dir.filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkdir(m_disk));
    if (::mount("tmpfs", QFile::encodeName(m_disk).constData(), "tmpfs", 0, "size=256k") != 0)
        QSKIP("a small file system cannot be mounted here");
    QVERIFY(testing::makeDesign(300, 200, 1).save(m_dir.filePath(QStringLiteral("design.png"))));
    QCOMPARE(testing::convert({"--seed", "1", "design.png", "stereo.png"}, m_dir.path()).exitCode, 0);
}

void TestFullDisk::cleanupTestCase()
{
    ::umount2(QFile::encodeName(m_disk).constData(), MNT_DETACH);
}

void TestFullDisk::losesNothing_data()
{
    QTest::addColumn<QString>("target"); // the file there before, on the disk
    QTest::addColumn<int>("room");       // bytes left free: a write cut short, or none at all

    QTest::newRow("converter") << "out.bmp" << 16384;
    QTest::newRow("converter --reveal") << "depth.bmp" << 16384;
    QTest::newRow("converter batch") << "design.bmp" << 16384;
    QTest::newRow("picture export") << "out.png" << 16384;
    QTest::newRow("project or state file") << "out.lvd" << 0;
    QTest::newRow("settings file") << "Lumivex2.lvs" << 0;
    QTest::newRow("wizard hand-over") << "old.bmp" << 16384;
}

void TestFullDisk::losesNothing()
{
    QFETCH(QString, target);
    QFETCH(int, room);
    const QString kind = QString::fromLatin1(QTest::currentDataTag());
    const QString path = m_disk + u'/' + target;
    const QByteArray old = "[Lumivex Ver.2]\nMitudo=30\n";
    for (const QString &name : QDir(m_disk).entryList(QDir::Files | QDir::Hidden))
        QVERIFY(QFile::remove(m_disk + u'/' + name));
    QFile before(path);
    QVERIFY(before.open(QIODevice::WriteOnly) && before.write(old) == old.size());
    before.close();
    QFile filler(m_disk + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'f')) == 4096) {
    }
    QVERIFY(filler.resize(filler.size() - room));

    bool written = true;
    QString said;
    const QImage picture = testing::makeField(300, 200, 2);
    if (kind.startsWith(QLatin1String("converter"))) {
        const QStringList args = kind.endsWith(QLatin1String("reveal")) ? QStringList{"--reveal", "stereo.png", path}
            : kind.endsWith(QLatin1String("batch")) ? QStringList{"--format", "bmp", "--out-dir", m_disk, "design.png"}
                                                    : QStringList{"design.png", path};
        const testing::Run run = testing::convert(args, m_dir.path());
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err.count('\n'), 1);
        said = QString::fromLocal8Bit(run.err);
        written = false;
    } else if (kind == QLatin1String("picture export")) {
        written = document::writePictureFile(picture, path, document::PictureFileFormat::Png, &said);
    } else if (kind == QLatin1String("project or state file")) {
        written = document::writeDocState(path, {}, &said);
    } else if (kind == QLatin1String("settings file")) {
        written = document::AppSettings(path).WriteSetting(QStringLiteral("picDesignDir"), m_disk);
    } else {
        written = !wizard::HandOverFiles(m_disk, [] { return 23456; }).write(picture, &said).isEmpty();
    }
    filler.remove();

    QVERIFY(!written);
    // The settings are written quietly: no reason to give.
    QVERIFY2(kind == QLatin1String("settings file") || said.contains(QLatin1String("No space left on device")),
             qPrintable(said));
    QVERIFY(before.open(QIODevice::ReadOnly));
    QCOMPARE(before.readAll(), old);
    QCOMPARE(QDir(m_disk).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{target});
}

QTEST_GUILESS_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
