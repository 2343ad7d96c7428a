// The sample pictures we ship: still what tools/makesamples paints, and usable as they are
// meant to be (designs in the depth colours, each with a field picture of its size, tiles that
// fit the wizard).

#include "picture/picture.h"
#include "engine/depth.h"

#include <QDir>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

using namespace lumivex;

namespace {

const QString kSamples = QStringLiteral(LUMIVEX_SAMPLES);

QStringList samples(const QString &pattern)
{
    return QDir(kSamples).entryList({pattern}, QDir::Files, QDir::Name);
}

QImage load(const QString &path)
{
    QString error;
    const QImage image = picture::loadPicture(path, &error);
    if (image.isNull())
        qWarning("%s: %s", qPrintable(path), qPrintable(error));
    return image;
}

} // namespace

class TestSamples : public QObject
{
    Q_OBJECT

private slots:
    void generatorMakesShippedSamples();
    void designsUseDepthColours_data();
    void designsUseDepthColours();
    void fieldSourcesFitTheWizard_data();
    void fieldSourcesFitTheWizard();
};

void TestSamples::generatorMakesShippedSamples()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess process;
    process.start(QStringLiteral(LUMIVEX_MAKESAMPLES), {dir.path()});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);

    const QStringList made = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(made, samples(QStringLiteral("*")));
    for (const QString &name : made) {
        const QImage shipped = load(QDir(kSamples).filePath(name));
        QVERIFY2(!shipped.isNull(), qPrintable(name));
        QVERIFY2(load(QDir(dir.path()).filePath(name)) == shipped, qPrintable(name));
    }
}

void TestSamples::designsUseDepthColours_data()
{
    QTest::addColumn<QString>("name");
    const QStringList designs = samples(QStringLiteral("design-*"));
    QVERIFY(designs.size() >= 3);
    QVERIFY(designs.filter(QStringLiteral(".png")).size() >= 1);
    for (const QString &name : designs)
        QTest::newRow(qPrintable(name)) << name;
}

void TestSamples::designsUseDepthColours()
{
    QFETCH(QString, name);
    const QImage image = load(QDir(kSamples).filePath(name));
    QVERIFY(!image.isNull());
    QVERIFY(image.width() <= picture::kMaxPictureWidth);
    QSet<int> levels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const engine::Packed colour = picture::packPixel(image.pixel(x, y));
            const auto found = std::find(engine::DepthPalette.begin(), engine::DepthPalette.end(), colour);
            if (found == engine::DepthPalette.end())
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is not a depth colour").arg(x).arg(y)));
            levels.insert(static_cast<int>(found - engine::DepthPalette.begin()));
        }
    }
    QVERIFY2(levels.size() >= 5, "a design should show several depths");
    // A field picture of the design's size gives a stereo picture of that size too.
    const QStringList fields = samples(QStringLiteral("field-*"));
    QVERIFY2(std::any_of(fields.begin(), fields.end(),
                         [&](const QString &field) { return load(QDir(kSamples).filePath(field)).size() == image.size(); }),
             "no field picture of the design's size");
}

void TestSamples::fieldSourcesFitTheWizard_data()
{
    QTest::addColumn<QString>("name");
    const QStringList fields = samples(QStringLiteral("tile-*")) + samples(QStringLiteral("field-*"));
    QVERIFY(fields.size() >= 2);
    for (const QString &name : fields)
        QTest::newRow(qPrintable(name)) << name;
}

void TestSamples::fieldSourcesFitTheWizard()
{
    QFETCH(QString, name);
    const QImage image = load(QDir(kSamples).filePath(name));
    QVERIFY(!image.isNull());
    if (name.startsWith(u"tile-"))
        QVERIFY(image.width() <= 200);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            // A pure black field pixel is never carried by a link: it would spoil the pattern.
            if (qRgb(0, 0, 0) == image.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is pure black").arg(x).arg(y)));
            colours.insert(image.pixel(x, y));
        }
    }
    QVERIFY2(colours.size() >= 8, "a field source should be colourful");
}

QTEST_GUILESS_MAIN(TestSamples)
#include "tst_samples.moc"
