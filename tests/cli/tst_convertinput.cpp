// lumivex-convert's command line: help, and bad input that must fail with one line on
// standard error, exit status 2 and no file left behind.

#include "convertrun.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace lumivex::testing;

namespace {

// A small picture encoded with a header that claims another size: only a reader that judges the
// header before decoding refuses it for its size.
QByteArray claimingSize(const QImage &image, const char *format, int width, int height)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    auto *p = reinterpret_cast<uchar *>(bytes.data());
    if (bytes.startsWith("\x89PNG")) {
        qToBigEndian<quint32>(width, p + 16);
        qToBigEndian<quint32>(height, p + 20);
        return bytes;
    }
    const qsizetype frame = bytes.indexOf("\xFF\xC0"); // a baseline JPEG's frame header
    qToBigEndian<quint16>(height, p + frame + 5);
    qToBigEndian<quint16>(width, p + frame + 7);
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// What each entry of a folder is and holds, links and special files included, so that a run
// can be shown to have left every input as it was.
QMap<QString, QByteArray> contents(const QString &folder)
{
    QMap<QString, QByteArray> result;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QString path = dir.filePath(name);
        struct stat info {};
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
            continue;
        QByteArray &entry = result[name];
        if (S_ISLNK(info.st_mode)) {
            entry = "link to " + QFile::encodeName(QFile::symLinkTarget(path));
        } else if (S_ISREG(info.st_mode)) {
            QFile file(path);
            entry = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
        } else {
            entry = "special " + QByteArray::number(info.st_mode) + ' ' + QByteArray::number(qulonglong(info.st_rdev));
        }
    }
    return result;
}

} // namespace

class TestConvertInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void helpAndVersion();
    void badInput_data();
    void badInput();
    void failureKeepsExistingOutput_data();
    void failureKeepsExistingOutput();
    void namesNotUtf8_data();
    void namesNotUtf8();

private:
    QString m_in;
    QMap<QString, QByteArray> m_inputs; // the input folder as it was made
    bool m_hasDevice = false;
    QTemporaryDir m_dir;
};

void TestConvertInput::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_in = m_dir.filePath(QStringLiteral("in"));
    QVERIFY(QDir().mkpath(m_in));
    const QDir in(m_in);
    QVERIFY(makeDesign(40, 20, 1).save(in.filePath(QStringLiteral("design.bmp"))));
    QVERIFY(makeDesign(16385, 4, 2).save(in.filePath(QStringLiteral("wide.bmp"))));
    QVERIFY(makeDesign(1, 10, 3).save(in.filePath(QStringLiteral("thin.bmp"))));
    QVERIFY(makeDesign(30, 1, 4).save(in.filePath(QStringLiteral("flat.bmp"))));
    QVERIFY(makeField(16385, 4, 5).save(in.filePath(QStringLiteral("field-wide.png"))));
    QVERIFY(makeField(40, 20, 6).save(in.filePath(QStringLiteral("field.bmp"))));
    QImage deep(40, 20, QImage::Format_RGB32);  // nearest level 10: shifted by the strength itself
    deep.fill(lumivex::picture::unpackPixel(lumivex::engine::DepthPalette[10]));
    QVERIFY(deep.save(in.filePath(QStringLiteral("deep.bmp"))));
    QVERIFY(makeField(201, 4, 7).save(in.filePath(QStringLiteral("source201.bmp"))));
    QVERIFY(makeField(30, 20, 7).save(in.filePath(QStringLiteral("source.png"))));
    // A camera photo, a picture too large for memory, one cut short, one damaged and a pipe.
    writeFile(in.filePath(QStringLiteral("photo.jpg")), claimingSize(makeDesign(64, 48, 8), "JPEG", 20000, 4000));
    writeFile(in.filePath(QStringLiteral("source-photo.jpg")), claimingSize(makeField(64, 48, 9), "JPEG", 640, 480));
    writeFile(in.filePath(QStringLiteral("huge.png")), claimingSize(makeDesign(64, 48, 10), "PNG", 1000, 300000));
    QByteArray png;
    QBuffer pngBuffer(&png);
    pngBuffer.open(QIODevice::WriteOnly);
    QVERIFY(makeDesign(40, 20, 11).save(&pngBuffer, "PNG"));
    writeFile(in.filePath(QStringLiteral("cut.png")), png.left(png.size() / 2));
    // One byte of the compressed rows changed: the decoder finds the chunk's checksum wrong.
    png[png.indexOf("IDAT") + 20] = char(png[png.indexOf("IDAT") + 20] ^ 0x5a);
    writeFile(in.filePath(QStringLiteral("damaged.png")), png);
    QCOMPARE(::mkfifo(QFile::encodeName(in.filePath(QStringLiteral("pipe.bmp"))).constData(), 0600), 0);
    QFile garbage(in.filePath(QStringLiteral("garbage.bmp")));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("BM this is not a picture at all");
    garbage.close();
    // Other names of the inputs, which an output must never write through.
    QVERIFY(QFile::link(QStringLiteral("design.bmp"), in.filePath(QStringLiteral("design-link.png"))));
    QVERIFY(QFile::link(QStringLiteral("pipe.bmp"), in.filePath(QStringLiteral("pipe-link.png"))));
    QCOMPARE(::link(QFile::encodeName(in.filePath(QStringLiteral("design.bmp"))).constData(),
                    QFile::encodeName(in.filePath(QStringLiteral("design-hard.bmp"))).constData()), 0);
    QCOMPARE(::link(QFile::encodeName(in.filePath(QStringLiteral("source.png"))).constData(),
                    QFile::encodeName(in.filePath(QStringLiteral("source-hard.png"))).constData()), 0);
    // A device node of our own, where we may make one: a null device that a regression replaces
    // instead of the system's.
    m_hasDevice = ::mknod(QFile::encodeName(in.filePath(QStringLiteral("null.bmp"))).constData(),
                          S_IFCHR | 0600, makedev(1, 3)) == 0;
    m_inputs = contents(m_in);
}

void TestConvertInput::helpAndVersion()
{
    for (const QString &option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const Run run = convert({QStringLiteral("--mode"), QStringLiteral("color"), option}, m_dir.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith("Usage: lumivex-convert [options] DESIGN OUTPUT\n"));
        for (const char *name : {"--mode", "--depth", "--field", "--field-source", "--kurikaesi", "--repeat", "--rittaido",
                                 "--strength", "--mitudo", "--density", "--seed", "--out-dir", "--format", "--version", "--levels",
                                 "--oversample", "--start", "--dpi", "--repeat-mm", "--scale", "--width", "--invert", "--check", "--view-mm",
                                 "--help", "Examples:\n  lumivex-convert "})
            QVERIFY2(run.out.contains(name), name);
        QCOMPARE(run.err, QByteArray());
    }
    const Run run = convert({QStringLiteral("--version")}, m_dir.path());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("lumivex-convert " LUMIVEX_VERSION "\n"));
    QCOMPARE(run.err, QByteArray());

    // Standard error stays open to the end: what the system writes there late (here the
    // dynamic loader's trace as the program exits, as it would a crash report) arrives.
    QProcess traced;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    traced.setProcessEnvironment(environment);
    traced.start(QStringLiteral(LUMIVEX_CONVERT), {QStringLiteral("--version")});
    QVERIFY(traced.waitForFinished(60000));
    QVERIFY(traced.readAllStandardError().contains("calling fini"));
}

void TestConvertInput::badInput_data()
{
    // In the arguments "$IN" stands for the folder of inputs, "$DIR" for an empty folder and
    // "$OUT" for an output path in it.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("complaint"); // a part of the message that names the fault
    QTest::addColumn<bool>("outputIsFolder");

    const auto row = [](const char *name, const QStringList &args, const char *complaint, bool folder = false) {
        QTest::newRow(name) << args << QString::fromUtf8(complaint) << folder;
    };
    const QString design = QStringLiteral("$IN/design.bmp");
    const QString out = QStringLiteral("$OUT");

    row("no arguments", {}, "missing DESIGN and OUTPUT");
    row("no output", {design}, "missing OUTPUT");
    row("extra argument", {design, out, "more"}, "'more'");
    row("design missing", {"$IN/nothere.bmp", out}, "nothere.bmp");
    row("design unreadable", {"$IN/garbage.bmp", out}, "garbage.bmp");
    row("design is a folder", {"$IN", out}, "design picture");
    row("design too wide", {"$IN/wide.bmp", out}, "16385 pixels wide; at most 16384 are allowed");
    row("design too wide for field mode", {"--mode", "field", "--field", "$IN/field.bmp", "$IN/wide.bmp", out}, "16385 pixels wide");
    row("grey design too wide", {"--depth", "grey", "$IN/wide.bmp", out}, "16385 pixels wide");
    row("design a camera photo too wide", {"$IN/photo.jpg", out}, "is 20000 pixels wide; at most 16384 are allowed");
    row("design too large for memory", {"$IN/huge.png", out}, "is too large for memory (1000 × 300000 pixels)");
    row("design cut short", {"$IN/cut.png", out}, "cut short");
    row("design damaged", {"$IN/damaged.png", out}, "cannot read the design picture");
    row("design is a pipe", {"$IN/pipe.bmp", out}, "not a regular file");
    row("design one column", {"$IN/thin.bmp", out}, "at least 2 × 2");
    row("design one row", {"--mode", "color", "$IN/flat.bmp", out}, "at least 2 × 2");
    row("field missing", {"--mode", "field", "--field", "$IN/nothere.bmp", design, out}, "field picture");
    row("field unreadable", {"--mode", "field", "--field", "$IN/garbage.bmp", design, out}, "garbage.bmp");
    row("field too wide", {"--mode", "field", "--field", "$IN/field-wide.png", design, out}, "16385 pixels wide");
    row("field source missing", {"--mode", "field", "--field-source", "$IN/nothere.bmp", design, out}, "field source");
    row("field source too wide", {"--mode", "field", "--field-source", "$IN/source201.bmp", design, out}, "201 pixels wide");
    row("field source a camera photo", {"--mode", "field", "--field-source", "$IN/source-photo.jpg", design, out},
        "is 640 pixels wide; at most 200 are allowed");
    row("field name empty", {"--mode", "field", "--field=", design, out}, "--field needs a file name");
    row("strength reaching the repeat width", {"--repeat", "50", "--strength", "50", "$IN/deep.bmp", out},
        "strength 50 shifts the nearest depth of the design picture '$IN/deep.bmp' by 50 pixels, not less than the "
        "repeat width 50, which gives no picture; the largest usable strength is 49 (or use --repeat 51 or more)");
    row("repeat width 0", {"--repeat", "0", design, out}, "a repeat width of 0 gives no picture; use --repeat 1 or more");

    row("kurikaesi above 200", {"--kurikaesi", "201", design, out}, "--kurikaesi must be a whole number from 0 to 200");
    row("kurikaesi negative", {"--kurikaesi", "-1", design, out}, "--kurikaesi");
    row("kurikaesi not a number", {"--kurikaesi", "abc", design, out}, "--kurikaesi");
    row("kurikaesi with a sign", {"--kurikaesi=+7", design, out}, "--kurikaesi");
    row("kurikaesi with a blank", {"--kurikaesi", " 7", design, out}, "--kurikaesi");
    row("kurikaesi with a tail", {"--kurikaesi", "7x", design, out}, "--kurikaesi");
    row("kurikaesi fractional", {"--kurikaesi", "7.5", design, out}, "--kurikaesi");
    row("kurikaesi empty", {"--kurikaesi=", design, out}, "--kurikaesi");
    row("kurikaesi huge", {"--kurikaesi", "99999999999999999999999", design, out}, "--kurikaesi");
    row("rittaido above 50", {"--rittaido", "51", design, out}, "--rittaido must be a whole number from 0 to 50");
    row("mitudo above 100", {"--mitudo=101", design, out}, "--mitudo must be a whole number from 0 to 100");
    row("repeat above 200", {"--repeat", "201", design, out}, "--repeat must be a whole number from 0 to 200");
    row("strength above 50", {"--strength=51", design, out}, "--strength must be a whole number from 0 to 50");
    row("density negative", {"--density", "-3", design, out}, "--density must be");
    row("repeat beside kurikaesi", {"--kurikaesi", "5", "--repeat", "5", design, out}, "--kurikaesi and --repeat are the same option");
    row("density beside mitudo", {"--density", "5", "--mitudo", "6", design, out}, "--density and --mitudo");
    row("unknown depth", {"--depth", "rainbow", design, out}, "unknown depth 'rainbow' (use colours or grey)");
    row("oversample 3", {"--depth", "grey", "--oversample", "3", design, out}, "--oversample must be 1, 2, 4 or 8, not '3'");
    row("oversample 16", {"--depth", "grey", "--oversample=16", design, out}, "--oversample must be 1, 2, 4 or 8");
    row("unknown start", {"--depth", "grey", "--start", "right", design, out}, "unknown start 'right' (use left or centre)");
    row("levels other than 16", {"--depth", "grey", "--levels", "8", design, out}, "--levels takes only 16");
    row("oversample with depth colours", {"--oversample", "2", design, out}, "--oversample is only used with --depth grey");
    row("start with levels 16", {"--depth", "grey", "--levels", "16", "--start", "centre", design, out},
        "--start is for smooth depth");
    row("seed not a number", {"--seed", "abc", design, out}, "--seed");
    row("seed negative", {"--seed", "-1", design, out}, "--seed");
    row("seed beyond 64 bits", {"--seed", "18446744073709551616", design, out}, "--seed");

    row("unknown option", {"--bogus", design, out}, "unknown option '--bogus'");
    row("unknown option with value", {"--bogus=1", design, out}, "unknown option '--bogus'");
    row("unknown short option", {"-k", "5", design, out}, "unknown option '-k'");
    row("option names are exact", {"--Mode", "mono", design, out}, "unknown option");
    row("unknown mode", {"--mode", "colour", design, out}, "unknown mode 'colour'");
    row("mode in capitals", {"--mode", "MONO", design, out}, "unknown mode");
    row("value missing at the end", {design, out, "--mode"}, "--mode needs a value");
    row("option given twice", {"--seed", "1", "--seed", "2", design, out}, "more than once");
    row("help with a value", {"--help=yes", design, out}, "--help takes no value");

    row("field mode without field", {"--mode", "field", design, out}, "--field");
    row("field and field source", {"--mode", "field", "--field", "$IN/field.bmp", "--field-source", "$IN/field.bmp", design, out},
        "not both");
    row("field in mono mode", {"--field", "$IN/field.bmp", design, out}, "--field is only used with --mode field");
    row("field source in colour mode", {"--mode", "color", "--field-source", "$IN/field.bmp", design, out},
        "--field-source is only used");
    row("density in field mode", {"--mode", "field", "--field", "$IN/field.bmp", "--mitudo", "10", design, out}, "--mitudo");
    row("density in field mode, English", {"--mode", "field", "--field", "$IN/field.bmp", "--density", "10", design, out},
        "--density is for random dot");
    row("format without a batch", {"--format", "bmp", design, out}, "--format is only used with --out-dir");
    row("unknown format", {"--format", "jpg", "--out-dir", "$DIR", design}, "unknown format 'jpg'");
    row("batch without designs", {"--out-dir", "$DIR"}, "missing DESIGN");
    row("batch folder missing", {"--out-dir", "$DIR/missing", design}, "the output folder");
    row("batch folder a file", {"--out-dir", design, design}, "is not a folder");
    row("repeat-mm without dpi", {"--repeat-mm", "30", design, out}, "--repeat-mm needs --dpi");
    row("repeat-mm beside repeat", {"--dpi", "300", "--repeat-mm", "30", "--repeat", "60", design, out},
        "give either --repeat or --repeat-mm, not both");
    row("repeat-mm beyond half the design", {"--dpi", "300", "--repeat-mm", "2", design, out},
        "--repeat-mm 2 at 300 dpi is a repeat width of 24 pixels, more than half the design picture's width (40 pixels)");
    row("dpi 0", {"--dpi", "0", design, out}, "--dpi must be a whole number from 1 to 10000");
    row("scale with width", {"--scale", "2", "--width", "80", design, out}, "give either --scale or --width, not both");
    row("scale with a comma", {"--scale", "1,5", design, out}, "--scale must be a number from 0.01 to 100, not '1,5'");
    row("width beyond the widest design", {"--width", "16385", design, out}, "--width must be a whole number from 2 to 16384");
    row("oversample with reveal", {"--reveal", "--oversample", "2", design, out}, "--oversample is not used with --reveal");
    row("invert with reveal", {"--reveal", "--invert", design, out}, "--invert is not used with --reveal");
    row("check with a batch", {"--check", "--out-dir", "$DIR", design}, "--check is not used with --out-dir");
    row("view-mm without check", {"--view-mm", "500", design, out}, "--view-mm is only used with --check");
    row("view-mm too near", {"--check", "--view-mm", "99", design}, "--view-mm must be a number from 100 to 10000");
    row("seed in field mode", {"--mode", "field", "--field", "$IN/field.bmp", "--seed", "10", design, out}, "--seed");

    row("output folder missing", {design, "$DIR/missing/out.bmp"}, "the folder");
    row("output is a folder", {design, out}, "cannot write", true);
    row("output name empty", {design, ""}, "must end in .png or .bmp");
    row("output without extension", {design, "$DIR/out"}, "must end in .png or .bmp");
    row("output of another format", {design, "$DIR/out.jpg"}, "'$DIR/out.jpg': the output's name must end in .png or .bmp");
    row("output png not last", {design, "$DIR/out.png.txt"}, "must end in .png or .bmp");

    // An output that is an input under another name, or no regular file, is left alone.
    row("output is the design", {design, design}, "it is the design picture");
    row("output is the design, spelled with ./", {design, "$IN/./design.bmp"}, "it is the design picture");
    row("output is the design, relative", {design, "../in/design.bmp"}, "it is the design picture");
    row("output is a link to the design", {design, "$IN/design-link.png"}, "it is the design picture");
    row("output is a hard link of the design", {design, "$IN/design-hard.bmp"}, "it is the design picture");
    row("grey output is the design", {"--depth", "grey", design, design}, "it is the design picture");
    row("output is the field", {"--mode", "field", "--field", "$IN/field.bmp", design, "$IN/field.bmp"},
        "it is the field picture '$IN/field.bmp'");
    row("output is a hard link of the field source", {"--mode", "field", "--field-source", "$IN/source.png", design,
        "$IN/source-hard.png"}, "it is the field source picture");
    row("output is a pipe", {design, "$IN/pipe.bmp"}, "it is a pipe");
    row("output is a link to a pipe", {design, "$IN/pipe-link.png"}, "it is a pipe");
    if (m_hasDevice)
        row("output is a device", {design, "$IN/null.bmp"}, "it is a device");
}

void TestConvertInput::badInput()
{
    QFETCH(QStringList, args);
    QFETCH(QString, complaint);
    QFETCH(bool, outputIsFolder);

    QTemporaryDir outDir(m_dir.filePath(QStringLiteral("out-XXXXXX")));
    QVERIFY(outDir.isValid());
    const QString out = outDir.filePath(QStringLiteral("out.bmp"));
    if (outputIsFolder)
        QVERIFY(QDir().mkdir(out));
    for (QString &arg : args)
        arg.replace(QStringLiteral("$IN"), m_in).replace(QStringLiteral("$OUT"), out).replace(QStringLiteral("$DIR"), outDir.path());

    const Run run = convert(args, outDir.path());
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    const QString err = QString::fromLocal8Bit(run.err);
    QVERIFY2(err.startsWith(QStringLiteral("lumivex-convert: ")), qPrintable(err));
    QVERIFY2(err.endsWith(u'\n') && err.count(u'\n') == 1, qPrintable(err));
    complaint.replace(QStringLiteral("$IN"), m_in).replace(QStringLiteral("$DIR"), outDir.path());
    QVERIFY2(err.contains(complaint), qPrintable(err));

    // Nothing written: no output, no temporary file beside it, every input as it was.
    const QStringList left = QDir(outDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(left, outputIsFolder ? QStringList{QStringLiteral("out.bmp")} : QStringList{});
    QVERIFY(contents(m_in) == m_inputs);
}

void TestConvertInput::failureKeepsExistingOutput_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("bad number") << QStringList{"--rittaido", "60"};
    QTest::newRow("no picture from the settings") << QStringList{"--kurikaesi", "0"};
    QTest::newRow("unreadable field") << QStringList{"--mode", "field", "--field", m_in + "/garbage.bmp"};
}

void TestConvertInput::failureKeepsExistingOutput()
{
    QFETCH(QStringList, options);
    QTemporaryDir outDir(m_dir.filePath(QStringLiteral("keep-XXXXXX")));
    const QString out = outDir.filePath(QStringLiteral("out.bmp"));
    QFile existing(out);
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("an earlier picture");
    existing.close();

    const Run run = convert(options << m_in + "/design.bmp" << out, outDir.path());
    QCOMPARE(run.exitCode, 2);
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("an earlier picture"));
    QCOMPARE(QDir(outDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("out.bmp")});
}

void TestConvertInput::namesNotUtf8_data()
{
    // The shell's printf gives byte 0xE9 (Latin-1 "é"), which is no UTF-8, in the arguments.
    QTest::addColumn<QByteArray>("arguments");
    QTest::addColumn<QByteArray>("made"); // the file the run makes beside the design; none: it fails
    const QByteArray design = " \"$(printf 'd\\351/caf\\351.bmp')\"";
    QTest::newRow("single") << "--seed 1" + design + " \"$(printf 'd\\351/out\\351.png')\"" << QByteArray("out\xE9.png");
    QTest::newRow("batch") << "--seed 1 --out-dir \"$(printf 'd\\351')\"" + design << QByteArray("caf\xE9.png");
    QTest::newRow("missing design") << QByteArray("\"$(printf 'd\\351/gone\\351.bmp')\" out.png") << QByteArray();
}

void TestConvertInput::namesNotUtf8()
{
    QFETCH(QByteArray, arguments);
    QFETCH(QByteArray, made);
    const QByteArray folder = QFile::encodeName(m_dir.path()) + "/d\xE9/";
    QFile design(m_in + "/design.bmp");
    QVERIFY(design.open(QIODevice::ReadOnly));
    const QByteArray bytes = design.readAll();
    QCOMPARE(::mkdir(folder.constData(), 0755), 0);
    // Qt's own removal of the test's folder cannot reach these names.
    const auto cleanUp = qScopeGuard([&] {
        for (const QByteArray &name : {QByteArray("caf\xE9.bmp"), made})
            ::unlink((folder + name).constData());
        ::rmdir(folder.constData());
    });
    const int fd = ::open((folder + "caf\xE9.bmp").constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, bytes.constData(), bytes.size()), bytes.size());
    ::close(fd);

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_dir.path());
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), "exec \"$0\" " + QString::fromLatin1(arguments),
                                              QStringLiteral(LUMIVEX_CONVERT)});
    QVERIFY(process.waitForFinished(60000));
    const QByteArray err = process.readAllStandardError();
    QByteArrayList entries;
    if (DIR *dir = ::opendir(folder.constData())) {
        while (const dirent *entry = ::readdir(dir))
            entries << entry->d_name;
        ::closedir(dir);
    }
    std::sort(entries.begin(), entries.end());
    if (made.isEmpty()) {
        QCOMPARE(process.exitCode(), 2);
        QVERIFY2(err.contains("'d\xE9/gone\xE9.bmp'"), err.constData()); // named with its own bytes
        QCOMPARE(entries, (QByteArrayList{".", "..", "caf\xE9.bmp"}));
        return;
    }
    QVERIFY2(process.exitCode() == 0, err.constData());
    QCOMPARE(entries, (QByteArrayList{".", "..", "caf\xE9.bmp", made})); // under that name, nothing beside it
    struct stat info {};
    QCOMPARE(::stat((folder + made).constData(), &info), 0);
    QVERIFY(info.st_size > 0);
}

QTEST_GUILESS_MAIN(TestConvertInput)
#include "tst_convertinput.moc"
