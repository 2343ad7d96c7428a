// A full disk loses nothing: each kind of file we write fails on it with the system's reason,
// leaves the file that was there as it was, and leaves no temporary file beside it.

#include "convertrun.h"

#include "document/appsettings.h"
#include "document/docstate.h"
#include "picture/picturewriter.h"
#include "wizard/fieldimage.h"

#include <QtTest>

#include <sys/mount.h>

using namespace lumivex;

class TestFullDisk : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir; // the inputs, and the small file system mounted on "disk"
    const QString m_disk = m_dir.filePath(QStringLiteral("disk"));

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid() && QDir().mkdir(m_disk));
        if (::mount("tmpfs", QFile::encodeName(m_disk).constData(), "tmpfs", 0, "size=256k") != 0)
            QSKIP("a small file system cannot be mounted here");
        QVERIFY(testing::makeDesign(300, 200, 1).save(m_dir.filePath(QStringLiteral("design.png"))));
        QCOMPARE(testing::convert({"--seed", "1", "design.png", "stereo.png"}, m_dir.path()).exitCode, 0);
    }
    void cleanupTestCase() { ::umount2(QFile::encodeName(m_disk).constData(), MNT_DETACH); }

    void losesNothing_data()
    {
        QTest::addColumn<QString>("target");  // the file there before, on the disk
        QTest::addColumn<QStringList>("args"); // the converter's; none for the window's writes
        QTest::newRow("converter") << "out.bmp" << QStringList{"design.png", m_disk + "/out.bmp"};
        QTest::newRow("converter --reveal") << "out.bmp" << QStringList{"--reveal", "stereo.png", m_disk + "/out.bmp"};
        QTest::newRow("converter batch") << "design.bmp" << QStringList{"--format", "bmp", "--out-dir", m_disk, "design.png"};
        QTest::newRow("picture export") << "out.bmp" << QStringList();
        QTest::newRow("project or state file") << "out.lvd" << QStringList();
        QTest::newRow("settings file") << "Lumivex2.lvs" << QStringList();
        QTest::newRow("wizard hand-over") << "old.bmp" << QStringList();
    }

    void losesNothing()
    {
        QFETCH(QString, target);
        QFETCH(QStringList, args);
        const QLatin1String kind(QTest::currentDataTag());
        const QString path = m_disk + u'/' + target;
        const QByteArray old = "[Lumivex Ver.2]\nMitudo=30\n";
        QFile before(path), filler(m_disk + QStringLiteral("/filler"));
        QVERIFY(before.open(QIODevice::WriteOnly) && before.write(old) == old.size());
        before.close();
        // Filled up (a short write takes all there is); then pictures find some room and are cut
        // short, the small INI files find none.
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && filler.write(QByteArray(1 << 20, 'f')) > 0);
        QVERIFY(filler.resize(filler.size() - (target.endsWith(QLatin1String("bmp")) ? 16384 : 0)));

        bool written = false;
        QString said;
        if (!args.isEmpty()) {
            const testing::Run run = testing::convert(args, m_dir.path());
            QCOMPARE(run.exitCode, 2);
            QCOMPARE(run.err.count('\n'), 1);
            said = QString::fromLocal8Bit(run.err);
        } else if (kind == QLatin1String("picture export")) {
            written = picture::writePictureFile(testing::makeField(300, 200, 2), path, picture::PictureFileFormat::Bmp, &said);
        } else if (kind == QLatin1String("project or state file")) {
            written = document::writeDocState(path, {}, &said);
        } else if (kind == QLatin1String("settings file")) {
            written = document::AppSettings(path).WriteSetting(QStringLiteral("picDesignDir"), m_disk);
            said = QStringLiteral("No space left on device"); // written quietly: no reason to give
        } else {
            written = !wizard::HandOverFiles(m_disk, [] { return 23456; }).write(testing::makeField(300, 200, 2), &said).isEmpty();
        }
        filler.remove();
        QVERIFY(!written);
        QVERIFY2(said.contains(QLatin1String("No space left on device")), qPrintable(said));
        QVERIFY(before.open(QIODevice::ReadOnly) && before.readAll() == old);
        QCOMPARE(QDir(m_disk).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{target});
        QVERIFY(before.remove());
    }
};

QTEST_GUILESS_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
