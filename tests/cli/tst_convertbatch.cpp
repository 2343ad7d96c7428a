// lumivex-convert --out-dir: every design becomes the picture its single run makes; a design
// that fails is named and the others are still made; names that would collide are refused.

#include "convertrun.h"
#include "picturefiles.h"

#include <QDir>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace lumivex::testing;

class TestConvertBatch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void batchEqualsSingleRuns_data();
    void batchEqualsSingleRuns();
    void collidingNamesRefused();
    void designNeverItsOwnOutput();
    void progressOnTerminal();

private:
    QString input(const QString &name) const { return m_dir.filePath(QStringLiteral("in/") + name); }
    // A fresh empty folder for one run's outputs.
    QString freshFolder(const QString &name) const
    {
        const QString path = m_dir.filePath(name);
        QDir(path).removeRecursively();
        return QDir().mkpath(path) ? path : QString();
    }
    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir m_dir;
};

void TestConvertBatch::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("in/more")));
    QVERIFY(makeDesign(120, 50, 1).save(input(QStringLiteral("rocket.bmp"))));
    QVERIFY(makeDesign(90, 70, 2).save(input(QStringLiteral("more/fish.png"))));
    QVERIFY(makeDesign(200, 30, 3).save(input(QStringLiteral("shark.v2.bmp"))));
    QVERIFY(makeDesign(64, 64, 4).save(input(QStringLiteral("cube.jpg"))));
    QVERIFY(makeField(40, 30, 5).save(input(QStringLiteral("source.bmp"))));
    // Metafiles are rendered in a child process of their own, also while other runs go on.
    const auto &palette = lumivex::engine::DepthPalette;
    for (int i = 0; i < 3; ++i)
        picturefiles::write(input(QString()), QStringLiteral("meta%1.wmf").arg(i),
                            picturefiles::wmf(80 + 10 * i, 40, lumivex::picture::unpackPixel(palette[3 + i]),
                                              lumivex::picture::unpackPixel(palette[15 - i])));
    QFile garbage(input(QStringLiteral("broken.bmp")));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("BM this is not a picture at all");
}

void TestConvertBatch::batchEqualsSingleRuns_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("withBroken");

    QTest::newRow("colour dots, PNG") << QStringList{"--mode", "color", "--seed", "5", "--density", "60"} << "png" << false;
    QTest::newRow("grey depth, BMP") << QStringList{"--depth", "grey", "--seed", "9", "--format", "bmp"} << "bmp" << false;
    QTest::newRow("colour field, a broken design")
        << QStringList{"--mode", "field", "--field-source", input(QStringLiteral("source.bmp")), "--repeat", "50"} << "png" << true;
    QTest::newRow("mono dots, a broken design") << QStringList{"--seed", "1"} << "png" << true;
    QTest::newRow("guide marks, BMP") << QStringList{"--guides", "--seed", "2", "--format", "bmp"} << "bmp" << false;
}

void TestConvertBatch::batchEqualsSingleRuns()
{
    QFETCH(QStringList, options);
    QFETCH(QString, format);
    QFETCH(bool, withBroken);

    const QStringList designs{input(QStringLiteral("rocket.bmp")), QStringLiteral("in/more/fish.png"),
                              input(QStringLiteral("meta0.wmf")), input(QStringLiteral("shark.v2.bmp")),
                              input(QStringLiteral("meta1.wmf")), input(QStringLiteral("cube.jpg")),
                              input(QStringLiteral("meta2.wmf"))};
    QStringList names{"rocket", "fish", "meta0", "shark.v2", "meta1", "cube", "meta2"};
    QStringList batchDesigns = designs;
    if (withBroken)
        batchDesigns.insert(2, input(QStringLiteral("broken.bmp")));

    const QString out = freshFolder(QStringLiteral("batch"));
    const Run batch = convert(QStringList(options) << "--out-dir" << out << batchDesigns, m_dir.path());
    QCOMPARE(batch.out, QByteArray());
    if (withBroken) {
        // Named on one line of its own; the others are still made.
        QCOMPARE(batch.exitCode, 2);
        QVERIFY2(batch.err.startsWith("lumivex-convert: " + QFile::encodeName(input(QStringLiteral("broken.bmp"))) + ": "),
                 batch.err.constData());
        QCOMPARE(batch.err.count('\n'), 1);
        QVERIFY(batch.err.endsWith('\n'));
    } else {
        QCOMPARE(batch.err, QByteArray());
        QCOMPARE(batch.exitCode, 0);
    }
    for (QString &name : names)
        name += u'.' + format;
    QStringList expected = names;
    expected.sort();
    QCOMPARE(entries(out), expected);

    options.removeAll(QStringLiteral("--format"));
    options.removeAll(QStringLiteral("bmp"));
    const QString single = freshFolder(QStringLiteral("single"));
    for (int i = 0; i < designs.size(); ++i) {
        const QString alone = QDir(single).filePath(names[i]);
        const Run run = convert(QStringList(options) << designs[i] << alone, m_dir.path());
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QFile made(QDir(out).filePath(names[i]));
        QVERIFY(made.open(QIODevice::ReadOnly));
        QVERIFY(made.read(2) == (format == u"png" ? QByteArray("\x89P") : QByteArray("BM")));
        QVERIFY2(readPacked(made.fileName()).pixels == readPacked(alone).pixels, qPrintable(names[i]));
    }
}

void TestConvertBatch::collidingNamesRefused()
{
    const QString out = freshFolder(QStringLiteral("collide"));
    const QString rocket = input(QStringLiteral("rocket.bmp"));
    QVERIFY(QFile::copy(input(QStringLiteral("more/fish.png")), input(QStringLiteral("more/rocket.png"))));
    const QList<QStringList> batches{
        {rocket, input(QStringLiteral("more/rocket.png"))}, // one name from two folders
        {rocket, input(QStringLiteral("cube.jpg")), rocket}, // one design twice
    };
    for (const QStringList &designs : batches) {
        const Run run = convert(QStringList{"--seed", "1", "--out-dir", out} << designs, m_dir.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("would both be written to"), run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
        QCOMPARE(entries(out), QStringList()); // refused before anything is made
    }
}

void TestConvertBatch::designNeverItsOwnOutput()
{
    // Into the designs' own folder, a PNG design's picture would replace the design.
    const QString folder = freshFolder(QStringLiteral("own"));
    const QString fish = QDir(folder).filePath(QStringLiteral("fish.png"));
    QVERIFY(QFile::copy(input(QStringLiteral("more/fish.png")), fish));
    QVERIFY(QFile::copy(input(QStringLiteral("rocket.bmp")), QDir(folder).filePath(QStringLiteral("rocket.bmp"))));
    QFile design(fish);
    QVERIFY(design.open(QIODevice::ReadOnly));
    const QByteArray before = design.readAll();
    design.close();

    const Run run = convert({"--seed", "2", "--out-dir", ".", "fish.png", "rocket.bmp"}, folder);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.startsWith("lumivex-convert: fish.png: cannot write './fish.png': it is the design picture"),
             run.err.constData());
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY(design.open(QIODevice::ReadOnly));
    QCOMPARE(design.readAll(), before);
    QCOMPARE(entries(folder), (QStringList{"fish.png", "rocket.bmp", "rocket.png"}));
}

void TestConvertBatch::progressOnTerminal()
{
    int master = -1;
    int slave = -1;
    QCOMPARE(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios raw {};
    QCOMPARE(::tcgetattr(slave, &raw), 0);
    ::cfmakeraw(&raw);
    QCOMPARE(::tcsetattr(slave, TCSANOW, &raw), 0);

    const QString out = freshFolder(QStringLiteral("progress"));
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.setChildProcessModifier([slave] { ::dup2(slave, STDERR_FILENO); });
    process.start(QStringLiteral(LUMIVEX_CONVERT),
                  {"--seed", "3", "--out-dir", out, input(QStringLiteral("rocket.bmp")), input(QStringLiteral("broken.bmp")),
                   input(QStringLiteral("cube.jpg"))});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 2);
    QCOMPARE(process.readAllStandardError(), QByteArray()); // everything went to the terminal
    ::close(slave);

    QByteArray shown;
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    char buffer[4096];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
        shown.append(buffer, n);
    ::close(master);

    // The count is rewritten in place, the failure gets a line of its own, and a summary ends
    // the count and stays on the screen.
    QVERIFY2(shown.contains("\r1/3 converted"), shown.constData());
    const QByteArray failure = "lumivex-convert: " + QFile::encodeName(input(QStringLiteral("broken.bmp"))) + ": ";
    QVERIFY2(shown.startsWith(failure) || shown.contains('\r' + failure), shown.constData());
    QVERIFY2(shown.endsWith("\r3/3 converted, 1 failed\r2 of 3 written; 1 failed\n"), shown.constData());
    QCOMPARE(shown.count('\n'), 2);
    QCOMPARE(entries(out), (QStringList{"cube.png", "rocket.png"}));
}

QTEST_GUILESS_MAIN(TestConvertBatch)
#include "tst_convertbatch.moc"
