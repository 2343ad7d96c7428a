// The converter works row by row: a PNG design or field decoded a row at a time must give the
// picture that the same design read whole (as BMP) gives, the PNG it writes must hold the
// pixels of the BMP it writes, and a file found damaged half-way still gives one line and no
// output at all.

#include "convertrun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace lumivex;
using namespace lumivex::testing;

namespace {

// The picture's data damaged at a fraction of its image data (which may lie in several
// chunks), the chunk's checksum made to fit again, so that only decoding finds the damage.
QByteArray damagedPng(QByteArray png, double where)
{
    QList<std::pair<int, int>> data; // where each image data chunk's data starts, and its length
    int total = 0;
    for (int at = 8; at + 12 <= png.size();) {
        const int length = int(qFromBigEndian<quint32>(png.constData() + at));
        if (png.mid(at + 4, 4) == "IDAT") {
            data.append({at + 8, length});
            total += length;
        }
        at += 12 + length;
    }
    int target = int(total * where);
    for (const auto &[start, length] : std::as_const(data)) {
        if (target >= length) {
            target -= length;
            continue;
        }
        for (int i = target; i < qMin(target + 16, length); ++i)
            png[start + i] = char(0xff);
        quint32 crc = 0xffffffffu;
        for (int i = start - 4; i < start + length; ++i) {
            crc ^= uchar(png[i]);
            for (int k = 0; k < 8; ++k)
                crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        qToBigEndian(crc ^ 0xffffffffu, png.data() + start + length);
        break;
    }
    return png;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestConvertStream : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rowsGiveTheWholePicture_data();
    void rowsGiveTheWholePicture();
    void damageFoundHalfWay_data();
    void damageFoundHalfWay();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestConvertStream::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Tall enough for many bands of rows on their way to the writer.
    const QImage design = makeDesign(301, 700, 21);
    QVERIFY(design.save(path(QStringLiteral("design.png"))));
    QVERIFY(design.save(path(QStringLiteral("design.bmp"))));
    // The same design with a transparent border: composited over white by both readers.
    QImage clear = design.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < clear.height(); ++y)
        for (int x = 0; x < 20; ++x)
            clear.setPixel(x, y, qRgba(10, 200, 30, x * 12));
    QVERIFY(clear.save(path(QStringLiteral("clear.png"))));
    const picture::LoadedPicture composited = picture::readPicture(path(QStringLiteral("clear.png")), 4096);
    QVERIFY(composited.ok());
    QVERIFY(composited.image.save(path(QStringLiteral("clear.bmp"))));
    const QImage grey = design.convertToFormat(QImage::Format_Grayscale8);
    QVERIFY(grey.save(path(QStringLiteral("grey.png"))));
    QVERIFY(grey.save(path(QStringLiteral("grey.bmp"))));
    const QImage field = makeField(320, 500, 22);
    QVERIFY(field.save(path(QStringLiteral("field.png"))));
    QVERIFY(field.save(path(QStringLiteral("field.bmp"))));
    QVERIFY(makeField(41, 29, 23).save(path(QStringLiteral("source.png"))));
}

void TestConvertStream::rowsGiveTheWholePicture_data()
{
    QTest::addColumn<QString>("design");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("pngColourType"); // of the picture written: 3 colour table, 2 RGB
    QTest::addColumn<int>("pngBits");

    const QStringList dots{QStringLiteral("--seed"), QStringLiteral("99"), QStringLiteral("--density"),
                           QStringLiteral("45"), QStringLiteral("--repeat"), QStringLiteral("60")};
    QTest::newRow("mono") << "design" << (QStringList{QStringLiteral("--mode"), QStringLiteral("mono")} + dots) << 3 << 4;
    QTest::newRow("colour") << "design" << (QStringList{QStringLiteral("--mode"), QStringLiteral("color")} + dots) << 3 << 4;
    QTest::newRow("transparent border") << "clear" << (QStringList{QStringLiteral("--mode"), QStringLiteral("color")} + dots) << 3 << 4;
    // Smooth depth, oversampled: mono dots stay black and white, colour dots are averaged.
    QTest::newRow("grey depth map") << "grey" << (QStringList{QStringLiteral("--depth"), QStringLiteral("grey")} + dots) << 3 << 4;
    QTest::newRow("grey depth map, colour") << "grey" << (QStringList{"--depth", "grey", "--mode", "color"} + dots) << 2 << 8;
    // (Strength 25 keeps the nearest depth within the 41-pixel tile's repeat width.)
    const QStringList field{QStringLiteral("--mode"), QStringLiteral("field"), QStringLiteral("--strength"), QStringLiteral("25")};
    QTest::newRow("field source tiled") << "design" << (field + QStringList{QStringLiteral("--field-source"), path(QStringLiteral("source.png"))}) << 2 << 8;
    // A field wider than the design and shorter: the design's last rows are never needed.
    QTest::newRow("field picture") << "design" << (field + QStringList{QStringLiteral("--field"), path(QStringLiteral("field.png"))}) << 2 << 8;
    QTest::newRow("field picture, read whole") << "design" << (field + QStringList{QStringLiteral("--field"), path(QStringLiteral("field.bmp"))}) << 2 << 8;
}

void TestConvertStream::rowsGiveTheWholePicture()
{
    QFETCH(QString, design);
    QFETCH(QStringList, options);
    QFETCH(int, pngColourType);
    QFETCH(int, pngBits);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-');

    // The design as PNG (decoded row by row) and as BMP (decoded whole), written both ways.
    QMap<QString, engine::PackedImage> made;
    for (const QString &in : {QStringLiteral("png"), QStringLiteral("bmp")}) {
        for (const QString &out : {QStringLiteral("png"), QStringLiteral("bmp")}) {
            const QString result = path(tag + u'-' + in + u'.' + out);
            const Run run = convert(options + QStringList{path(design + u'.' + in), result}, m_dir.path());
            QVERIFY2(run.exitCode == 0, run.err.constData());
            QVERIFY(run.err.isEmpty());
            made.insert(in + u'>' + out, readPacked(result));
            if (out == QLatin1String("png")) {
                const QByteArray header = fileBytes(result).left(26);
                QCOMPARE(int(uchar(header.at(25))), pngColourType);
                QCOMPARE(int(uchar(header.at(24))), pngBits);
            }
        }
    }
    const engine::PackedImage &reference = made.value(QStringLiteral("bmp>bmp"));
    QVERIFY(reference.width > 0 && reference.height > 0);
    for (auto it = made.cbegin(); it != made.cend(); ++it) {
        QCOMPARE(it.value().width, reference.width);
        QCOMPARE(it.value().height, reference.height);
        QVERIFY2(it.value().pixels == reference.pixels, qPrintable(it.key()));
    }
}

void TestConvertStream::damageFoundHalfWay_data()
{
    QTest::addColumn<QString>("role"); // which input is damaged
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("complaint");

    for (const char *role : {"design", "field"}) {
        const QString what = QString::fromLatin1(role) + QStringLiteral(" picture");
        QTest::addRow("%s damaged early", role) << role << "0.2" << QStringLiteral("cannot read the %1").arg(what);
        QTest::addRow("%s damaged late", role) << role << "0.9" << QStringLiteral("cannot read the %1").arg(what);
        QTest::addRow("%s cut short", role) << role << "cut" << QStringLiteral("cannot read the %1").arg(what);
    }
}

void TestConvertStream::damageFoundHalfWay()
{
    QFETCH(QString, role);
    QFETCH(QString, damage);
    QFETCH(QString, complaint);

    const QString source = path(role + QStringLiteral(".png"));
    const QByteArray whole = fileBytes(source);
    const QByteArray broken = damage == QLatin1String("cut") ? whole.left(whole.size() * 2 / 3)
                                                             : damagedPng(whole, damage.toDouble());
    const QString brokenPath = path(QStringLiteral("broken-") + role + QStringLiteral(".png"));
    QVERIFY(writeBytes(brokenPath, broken));
    QVERIFY(!picture::readPicture(brokenPath, 4096).ok()); // the loader refuses it too

    const QDir outDir(path(QStringLiteral("out-") + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-')));
    QVERIFY(outDir.mkpath(QStringLiteral(".")));
    // A design taller than the field: its last rows are read only to be checked.
    const QString design = role == QLatin1String("design") ? brokenPath : path(QStringLiteral("design.png"));
    const QString field = role == QLatin1String("field") ? brokenPath : path(QStringLiteral("field.png"));
    for (const QString &format : {QStringLiteral("png"), QStringLiteral("bmp")}) {
        const QString output = outDir.filePath(QStringLiteral("stereo.") + format);
        const Run run = convert({QStringLiteral("--mode"), QStringLiteral("field"), QStringLiteral("--field"), field,
                                 design, output},
                                m_dir.path());
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY2(run.err.startsWith("lumivex-convert: " + complaint.toUtf8()), run.err.constData());
        QVERIFY(outDir.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
    }
    if (role == QLatin1String("design")) {
        const Run dots = convert({QStringLiteral("--seed"), QStringLiteral("1"), design, outDir.filePath(QStringLiteral("dots.png"))},
                                 m_dir.path());
        QCOMPARE(dots.exitCode, 2);
        QCOMPARE(dots.err.count('\n'), 1);
        QVERIFY(outDir.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestConvertStream)
#include "tst_convertstream.moc"
