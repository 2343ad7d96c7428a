// The wizard's picture rows with files as users bring them: unreadable, cut short, a pipe, a
// camera photo too wide to use, a picture too large for memory, and the dialog's JPEG names.
#include "picturefiles.h"
#include "scriptedprompts.h"

#include "document/appsettings.h"
#include "wizard/wizarddialog.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using lumivex::wizard::WizardDialog;

namespace {

const QList<QRgb> kColours{qRgb(0, 0, 0), qRgb(120, 60, 30), qRgb(255, 255, 255)};
const QString kUnreadable = QStringLiteral("次のファイルは画像として読み込めません。\r\n");

} // namespace

class TestWizardPictures : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void unreadableLeavesRowEmpty_data();
    void unreadableLeavesRowEmpty();
    void refusedForSize_data();
    void refusedForSize();
    void dialogOffersJpegNames();

private:
    void choose(int index, const QString &path);
    QString file(const QString &name, const QByteArray &bytes);
    QStringList exclamations() const;
    void verifyRowEmpty(int index);
    template<typename T>
    T *child(const QString &name) const { return m_wizard->findChild<T *>(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<lumivex::document::AppSettings> m_settings;
    lumivex::wizard::WizardResult m_start;
    ScriptedPrompts m_prompts;
    std::unique_ptr<WizardDialog> m_wizard;
};

void TestWizardPictures::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<lumivex::document::AppSettings>(m_dir->filePath(QStringLiteral("Lumivex2.lvs")));
    m_start = {};
    m_prompts = {};
    m_wizard = std::make_unique<WizardDialog>(m_start, *m_settings, m_prompts, m_dir->path());
}

void TestWizardPictures::cleanup()
{
    m_wizard.reset();
    m_dir.reset();
}

void TestWizardPictures::choose(int index, const QString &path)
{
    m_prompts.files << path;
    child<QPushButton>(QStringLiteral("cmdSansyou_%1").arg(index))->click();
}

QString TestWizardPictures::file(const QString &name, const QByteArray &bytes)
{
    return picturefiles::write(m_dir->path(), name, bytes);
}

QStringList TestWizardPictures::exclamations() const
{
    QStringList texts;
    for (const ScriptedPrompts::Asked &a : m_prompts.asked) {
        if (a.kind == QLatin1String("exclamation"))
            texts.append(a.text);
    }
    return texts;
}

void TestWizardPictures::verifyRowEmpty(int index)
{
    QVERIFY(child<QLabel>(QStringLiteral("lblDesign_%1").arg(index))->text().isEmpty());
    QVERIFY(child<QLabel>(QStringLiteral("lblSize1_%1").arg(index))->text().isEmpty());
    QVERIFY(child<QLabel>(index == 0 ? QStringLiteral("picD") : QStringLiteral("picFmoto"))->isHidden());
    QVERIFY((index == 0 ? m_wizard->designPath() : m_wizard->fieldSourcePath()).isEmpty());
    QVERIFY(!child<QPushButton>(QStringLiteral("cmdNext"))->isEnabled());
}

void TestWizardPictures::unreadableLeavesRowEmpty_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("kind"); // what the file is
    QTest::addColumn<QString>("why");  // the message's last line

    for (int index : {0, 1}) {
        const char *row = index == 0 ? "design" : "source";
        QTest::addRow("%s: damaged", row) << index << "damaged" << "ファイルが壊れています。";
        QTest::addRow("%s: gif cut short", row) << index << "cut" << "ファイルが途中で切れています。";
        QTest::addRow("%s: a pipe", row) << index << "pipe" << "通常のファイルではありません。";
        QTest::addRow("%s: no picture", row) << index << "text" << "BMP、JPEG、GIF、PNG、WMFのどの形式でもありません。";
    }
}

void TestWizardPictures::unreadableLeavesRowEmpty()
{
    QFETCH(int, index);
    QFETCH(QString, kind);
    QFETCH(QString, why);

    const QString design = file(QStringLiteral("design.bmp"),
                                picturefiles::encoded(picturefiles::bands(300, 200, kColours), "BMP"));
    const QString source = file(QStringLiteral("source.bmp"),
                                picturefiles::encoded(picturefiles::bands(64, 48, kColours), "BMP"));
    choose(0, design);
    choose(1, source);
    QVERIFY(child<QPushButton>(QStringLiteral("cmdNext"))->isEnabled());
    const QString folderBefore = m_settings->ReadSetting(QStringLiteral("picDesignDir"));

    QString bad = m_dir->filePath(QStringLiteral("bad.gif"));
    if (kind == QLatin1String("damaged"))
        file(QStringLiteral("bad.gif"), picturefiles::claimingSize(picturefiles::encoded(picturefiles::bands(8, 8, kColours), "PNG"), {0, 8}));
    else if (kind == QLatin1String("cut"))
        file(QStringLiteral("bad.gif"), picturefiles::gif(picturefiles::bands(64, 48, kColours)).left(900));
    else if (kind == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(bad).constData(), 0600), 0);
    else
        file(QStringLiteral("bad.gif"), QByteArray("a note, no picture\n"));
    choose(index, bad);

    QCOMPARE(exclamations(), QStringList{kUnreadable + QDir::toNativeSeparators(bad) + QStringLiteral("\r\n") + why});
    QCOMPARE(m_prompts.asked.last().title, QStringLiteral("Lumivex"));
    verifyRowEmpty(index);
    // The other row keeps its picture, and a failed source leaves the repeat width it set.
    const int other = 1 - index;
    QVERIFY(!child<QLabel>(QStringLiteral("lblDesign_%1").arg(other))->text().isEmpty());
    QCOMPARE(m_wizard->wizardResult().kurikaesi, 64);
    QCOMPARE(m_settings->ReadSetting(QStringLiteral("picDesignDir")), folderBefore);

    // A readable choice fills the row again.
    choose(index, index == 0 ? design : source);
    QVERIFY(child<QPushButton>(QStringLiteral("cmdNext"))->isEnabled());
}

void TestWizardPictures::refusedForSize_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message"); // %1: the file's name
    using picturefiles::claimingSize;
    const QByteArray jpeg = picturefiles::encoded(picturefiles::bands(64, 48, kColours), "JPEG");
    const QByteArray png = picturefiles::encoded(picturefiles::bands(64, 48, kColours), "PNG");

    // A camera photo: refused (or offered brought down) for its width, never "cannot be read".
    QTest::newRow("design 5000 x 4000 photo")
        << 0 << claimingSize(jpeg, {5000, 4000})
        << QStringLiteral("デザイン画像が大きすぎます。\r\n幅を1024ピクセル以下にしてください。");
    QTest::newRow("source 640 x 480 photo")
        << 1 << claimingSize(jpeg, {640, 480})
        << QStringLiteral("フィールド画像の元となる画像が大きすぎます。\r\n幅を200ピクセル以下にしてください。");
    QTest::newRow("design too large for memory")
        << 0 << claimingSize(png, {1000, 300000})
        << QStringLiteral("次の画像は大きすぎて、メモリーに読み込めません（1000×300000 ピクセル）。\r\n%1");
    QTest::newRow("source too large for memory")
        << 1 << claimingSize(png, {150, 2000000})
        << QStringLiteral("次の画像は大きすぎて、メモリーに読み込めません（150×2000000 ピクセル）。\r\n%1");
}

void TestWizardPictures::refusedForSize()
{
    QFETCH(int, index);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);

    choose(1 - index, file(QStringLiteral("other.bmp"),
                           picturefiles::encoded(picturefiles::bands(100, 50, kColours), "BMP")));
    const QString path = file(QStringLiteral("photo.jpg"), bytes);
    choose(index, path);
    if (message.contains(QLatin1String("%1")))
        message = message.arg(QDir::toNativeSeparators(path));
    // A design photo is offered brought down (cancelled here) in the box that says the message.
    const QStringList shown = exclamations() + m_prompts.texts(QStringLiteral("choice"));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).left(message.size()), message);
    verifyRowEmpty(index);
    QCOMPARE(m_wizard->wizardResult().kurikaesi, index == 1 ? 70 : 100);
}

void TestWizardPictures::dialogOffersJpegNames()
{
    choose(0, QString());
    const QStringList entries = m_prompts.asked.last().request.filter.split(QStringLiteral(";;"));
    QVERIFY(entries.first().startsWith(QStringLiteral("すべてのファイル(")));
    QVERIFY(entries.first().contains(QStringLiteral("*.jpeg")));
    QVERIFY(entries.contains(QStringLiteral("JPEG(*.jpg *.jpeg)")));
}

QTEST_MAIN(TestWizardPictures)
#include "tst_wizardpictures.moc"
