// The sixteen depth colours as painters get them: the palette file for painting programs and the
// README's table must give exactly the colours the engine reads, in level order.
#include "engine/depth.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <vector>

namespace {

struct Entry
{
    int level = -1;
    int red = -1, green = -1, blue = -1;
    QString name;
};

QStringList lines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

QString source(const char *relative)
{
    return QString::fromLocal8Bit(qgetenv("LUMIVEX_TEST_SOURCE")) + QLatin1Char('/')
           + QLatin1String(relative);
}

// The colour's name without the level number and the "(farthest)" remark.
QString bareName(QString name)
{
    static const QRegularExpression remark(QStringLiteral("\\s*\\(.*\\)$"));
    return name.remove(remark).trimmed();
}

void compareWithEngine(const std::vector<Entry> &entries)
{
    QCOMPARE(entries.size(), lumivex::engine::DepthPalette.size());
    for (int level = 0; level < int(entries.size()); ++level) {
        const Entry &e = entries[level];
        const lumivex::engine::Packed colour = lumivex::engine::DepthPalette[level];
        QCOMPARE(e.level, level);
        QCOMPARE(e.red, lumivex::engine::redOf(colour));
        QCOMPARE(e.green, lumivex::engine::greenOf(colour));
        QCOMPARE(e.blue, lumivex::engine::blueOf(colour));
        QVERIFY2(!e.name.isEmpty(), qPrintable(QStringLiteral("level %1 has no name").arg(level)));
    }
}

} // namespace

class TstDepthPalette : public QObject
{
    Q_OBJECT

private slots:
    void paletteFileAndReadmeTable();
};

void TstDepthPalette::paletteFileAndReadmeTable()
{
    // GIMP's format, as GIMP, Krita and Inkscape read it: a magic line, header fields, then
    // "R G B<tab>name" per colour; lines starting with '#' are comments.
    const QStringList palette = lines(source("resources/lumivex-depth.gpl"));
    QVERIFY(!palette.isEmpty());
    QCOMPARE(palette.first(), QStringLiteral("GIMP Palette"));
    static const QRegularExpression colourLine(
        QStringLiteral("^\\s*(\\d{1,3})\\s+(\\d{1,3})\\s+(\\d{1,3})\\t(\\d+) (\\S.*)$"));
    std::vector<Entry> fromPalette;
    for (const QString &line : palette.mid(1)) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1String("Name: "))
            || line.startsWith(QLatin1String("Columns: ")))
            continue;
        const QRegularExpressionMatch m = colourLine.match(line);
        QVERIFY2(m.hasMatch(), qPrintable(QStringLiteral("not a colour line: ") + line));
        fromPalette.push_back({m.captured(4).toInt(), m.captured(1).toInt(), m.captured(2).toInt(),
                               m.captured(3).toInt(), bareName(m.captured(5))});
    }
    compareWithEngine(fromPalette);

    // The README's table: "| level | colour | red, green, blue |".
    static const QRegularExpression tableRow(
        QStringLiteral("^\\| (\\d+) \\| ([^|]+) \\| (\\d+), (\\d+), (\\d+) \\|$"));
    std::vector<Entry> fromReadme;
    for (const QString &line : lines(source("README.md"))) {
        const QRegularExpressionMatch m = tableRow.match(line);
        if (m.hasMatch())
            fromReadme.push_back({m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt(),
                                  m.captured(5).toInt(), bareName(m.captured(2))});
    }
    compareWithEngine(fromReadme);
    // Both name each colour alike, so a painter can find the README's colour in the palette.
    for (std::size_t level = 0; level < fromReadme.size(); ++level)
        QCOMPARE(fromReadme[level].name, fromPalette[level].name);
}

QTEST_GUILESS_MAIN(TstDepthPalette)
#include "tst_depthpalette.moc"
