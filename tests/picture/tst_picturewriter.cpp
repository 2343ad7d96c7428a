// Pictures written row by row: BMP byte for byte as Qt writes it, PNG with a colour table or in
// full colour, read back by Qt to the same pixels; failures reported, never a file called good.

#include "picture/picture.h"
#include "picture/picturewriter.h"
#include "picture/safefile.h"
#include "engine/randomdot.h"

#include <QBuffer>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumivex;
using picture::PictureFileFormat;

namespace {

// Random pixels drawn from the first `colours` of the list given, or any colour for 0.
QImage makePicture(int width, int height, const std::vector<engine::Packed> &colours, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb c = colours.empty()
                ? (random.generate() | 0xff000000u)
                : picture::unpackPixel(colours[random.bounded(quint32(colours.size()))]);
            image.setPixel(x, y, c);
        }
    }
    return image;
}

QByteArray written(const QImage &image, PictureFileFormat format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!picture::writePicture(image, buffer, format, &error))
        qWarning("write failed: %s", qPrintable(error));
    return bytes;
}

QImage readBack(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// A device that takes the first `room` bytes and then refuses, as a full disk does.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override
    {
        if (length > m_room) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        m_room -= length;
        return length;
    }

private:
    qint64 m_room;
};

// What writeFileSafely says of an existing file and of a new one on a read-only file system: one mounted in a child process's own namespace
// (and user namespace, when not root), written once and remounted read-only. Empty when the system allows no such mount.
QString readOnlyMountReasons(const QTemporaryDir &dir)
{
    const QString mountPoint = dir.filePath(QStringLiteral("mount")), answer = dir.filePath(QStringLiteral("answer"));
    QDir(dir.path()).mkdir(QStringLiteral("mount"));
    if (const pid_t pid = ::fork(); pid != 0) {
        QFile file(answer);
        return pid > 0 && ::waitpid(pid, nullptr, 0) == pid && file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    const auto put = [](const char *name, const QByteArray &text) { // one write, as these files take it
        const int fd = ::open(name, O_WRONLY | O_CLOEXEC);
        return fd >= 0 && ::write(fd, text.constData(), size_t(text.size())) == text.size();
    };
    const bool root = ::getuid() == 0;
    const QByteArray uid = QByteArray::number(::getuid()), gid = QByteArray::number(::getgid()), at = QFile::encodeName(mountPoint);
    const bool ready = ::unshare(root ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS) == 0
        && (root || (put("/proc/self/setgroups", "deny") && put("/proc/self/uid_map", uid + ' ' + uid + " 1") && put("/proc/self/gid_map", gid + ' ' + gid + " 1")))
        && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
        && ::mount("tmpfs", at.constData(), "tmpfs", 0, "size=64k") == 0 && picture::writeFileSafely(mountPoint + QStringLiteral("/old.png"), "old")
        && ::mount("tmpfs", at.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    QString reasons;
    for (const char *name : {"/old.png", "/new.png"}) {
        QString error;
        if (ready && !picture::writeFileSafely(mountPoint + QLatin1String(name), "new", &error))
            reasons += error + u'\n';
    }
    ::_exit(picture::writeFileSafely(answer, reasons.toUtf8()) ? 0 : 1);
}

} // namespace

class TestPictureWriter : public QObject
{
    Q_OBJECT

private slots:
    void bmpAsQtWritesIt_data();
    void bmpAsQtWritesIt();
    void pngReadsBackAsBmp_data();
    void pngReadsBackAsBmp();
    void failuresAreReported();
};

void TestPictureWriter::bmpAsQtWritesIt_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    // Every row padding (widths 1 to 4), a single row, and pictures of several bands of rows.
    for (int width = 1; width <= 4; ++width)
        QTest::addRow("%d wide", width) << width << 3;
    QTest::newRow("one row") << 7 << 1;
    QTest::newRow("many bands") << 1023 << 301;
    QTest::newRow("one pixel") << 1 << 1;
}

void TestPictureWriter::bmpAsQtWritesIt()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QImage image = makePicture(width, height, {}, quint32(width * 1000 + height));
    // The header records the picture's resolution, as Qt's writer does.
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(3000);
    QByteArray expected;
    QBuffer buffer(&expected);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(image.save(&buffer, "BMP"));
    QCOMPARE(written(image, PictureFileFormat::Bmp), expected);
}

void TestPictureWriter::pngReadsBackAsBmp_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("colours");
    QTest::addColumn<int>("bitDepth");  // as the PNG header says
    QTest::addColumn<int>("colourType"); // 3: colour table, 2: RGB

    // Widths that leave half of the last byte of a row unused, and widths that do not.
    for (int width : {1, 3, 8, 1023}) {
        QTest::addRow("black and white, %d wide", width) << width << 2 << 4 << 3;
        QTest::addRow("sixteen dot colours, %d wide", width) << width << 16 << 4 << 3;
    }
    QTest::newRow("one colour") << 5 << 1 << 4 << 3;
    QTest::newRow("full colour") << 37 << 0 << 8 << 2;
    QTest::newRow("full colour, many chunks") << 1024 << 0 << 8 << 2;
}

void TestPictureWriter::pngReadsBackAsBmp()
{
    QFETCH(int, width);
    QFETCH(int, colours);
    QFETCH(int, bitDepth);
    QFETCH(int, colourType);
    const std::vector<engine::Packed> palette(engine::DotPalette.begin(), engine::DotPalette.begin() + colours);
    QImage image = makePicture(width, 97, palette, quint32(width + colours));
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(5906); // 72 and 150 dots per inch: each must keep its own

    const QByteArray png = written(image, PictureFileFormat::Png);
    QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
    QCOMPARE(int(uchar(png.at(24))), bitDepth);
    QCOMPARE(int(uchar(png.at(25))), colourType);
    const QImage fromPng = readBack(png);
    QCOMPARE(fromPng, image);
    QCOMPARE(fromPng, readBack(written(image, PictureFileFormat::Bmp)));
    // Our own reader agrees, and the file's resolution is the picture's.
    const picture::LoadedPicture loaded = picture::readPictureData(png, 4096);
    QVERIFY2(loaded.ok(), qPrintable(loaded.reason));
    QCOMPARE(loaded.image, image);
    QCOMPARE(fromPng.dotsPerMeterX(), image.dotsPerMeterX());
    QCOMPARE(fromPng.dotsPerMeterY(), image.dotsPerMeterY());
}

void TestPictureWriter::failuresAreReported()
{
    const QImage image = makePicture(300, 200, {}, 5);
    for (PictureFileFormat format : {PictureFileFormat::Png, PictureFileFormat::Bmp}) {
        // A disk that fills in the middle of the picture, or right at its start.
        for (qint64 room : {qint64(0), qint64(20000)}) {
            FullDevice device(room);
            QString error;
            QVERIFY(!picture::writePicture(image, device, format, &error));
            QCOMPARE(error, QStringLiteral("No space left on device"));
        }
    }

    // A colour missing from the colour table, rows missing, and a row too short.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    picture::PictureLayout layout;
    layout.width = 4;
    layout.height = 3;
    layout.palette = {engine::DotPalette[0], engine::DotPalette[15]};
    {
        picture::PictureWriter writer(buffer, PictureFileFormat::Png, layout);
        const std::vector<engine::Packed> row(4, engine::DotPalette[3]);
        writer.writeRow(row);
        QVERIFY(!writer.finish());
        QCOMPARE(writer.errorString(), QStringLiteral("a colour outside the picture's colour table"));
    }
    for (PictureFileFormat format : {PictureFileFormat::Png, PictureFileFormat::Bmp}) {
        picture::PictureWriter writer(buffer, format, layout);
        const std::vector<engine::Packed> row(4, engine::DotPalette[0]);
        QVERIFY(writer.writeRow(row));
        QVERIFY(!writer.finish());
        QCOMPARE(writer.errorString(), QStringLiteral("the picture is missing rows"));
    }
    // No picture at all: nothing that could be called a file.
    for (PictureFileFormat format : {PictureFileFormat::Png, PictureFileFormat::Bmp}) {
        QString error;
        QVERIFY(!picture::writePicture(QImage(), buffer, format, &error));
        QCOMPARE(error, QStringLiteral("the picture is empty"));
    }
    picture::PictureWriter shortRows(buffer, PictureFileFormat::Bmp, layout);
    QVERIFY(!shortRows.writeRow(std::vector<engine::Packed>(3, 0)));
    QVERIFY(!shortRows.finish());
    QVERIFY(!shortRows.errorString().isEmpty());

    // A file on a read-only file system gives the system's reason, whether it exists or not
    // (Qt's own text for an existing one said only that it "is not writable").
    QTemporaryDir dir;
    const QString reasons = readOnlyMountReasons(dir);
    if (reasons.isEmpty())
        QSKIP("no file system can be mounted read-only here");
    const QString readOnly = QString::fromLocal8Bit(std::strerror(EROFS));
    QCOMPARE(reasons, readOnly + u'\n' + readOnly + u'\n');
}

QTEST_GUILESS_MAIN(TestPictureWriter)
#include "tst_picturewriter.moc"
