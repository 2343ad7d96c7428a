// Putting pictures into a document's panes: from a chosen file in every format, from the
// clipboard, the width limit and the remembered folders.
#include "docpanes.h"
#include "fakemain.h"
#include "picturefiles.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace apptest;

namespace {

const QList<QRgb> kColours{qRgb(0, 0, 0), qRgb(255, 255, 255)};

} // namespace

class TestInsertion : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void widthLimit_data();
    void widthLimit();
    void tooWidePictureBroughtDown_data();
    void tooWidePictureBroughtDown();
    void tallNarrowPicture();
    void formats_data();
    void formats();
    void unreadableFileIsNamed();
    void rememberedFolders();
    void clipboard_data();
    void clipboard();
    void smallFieldIsSaidBeforeTheRun();

private:
    // Chooses a picture file in the next dialog and inserts it.
    void insertFile(DocumentWindow *doc, Kind kind, const QString &path);
    QString file(const QString &name, const QImage &image);

    std::unique_ptr<FakeMain> m_main;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestInsertion::init()
{
    m_main = std::make_unique<FakeMain>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestInsertion::cleanup()
{
    m_main.reset();
    m_dir.reset();
}

void TestInsertion::insertFile(DocumentWindow *doc, Kind kind, const QString &path)
{
    m_main->prompts().files << path;
    m_main->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    insert(doc, kind);
}

QString TestInsertion::file(const QString &name, const QImage &image)
{
    return picturefiles::write(m_dir->path(), name, picturefiles::encoded(image, "BMP"));
}

void TestInsertion::widthLimit_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("message");  // empty: accepted

    QTest::newRow("design 1024") << int(Design) << 1024 << QString();
    QTest::newRow("design 1025") << int(Design) << 1025 << tooWide(Design);
    QTest::newRow("field 1024") << int(Field) << 1024 << QString();
    QTest::newRow("field 1025") << int(Field) << 1025 << tooWide(Field);
    QTest::newRow("stereo 1024") << int(Stereo) << 1024 << QString();
    QTest::newRow("stereo 3000") << int(Stereo) << 3000 << tooWide(Stereo);
}

void TestInsertion::widthLimit()
{
    QFETCH(int, kind);
    QFETCH(int, width);
    QFETCH(QString, message);

    DocumentWindow *doc = m_main->newDocument(QStringLiteral("Field"));
    const QString first = file(QStringLiteral("first.bmp"), picturefiles::bands(20, 10, kColours));
    insertFile(doc, Kind(kind), first);
    const QString wide = file(QStringLiteral("wide.bmp"), picturefiles::bands(width, 8, kColours));
    insertFile(doc, Kind(kind), wide);

    lumivex::docwindow::PictureBox *pane = pictureOf(doc, kind);
    if (message.isEmpty()) {
        QVERIFY(m_main->asked(QStringLiteral("exclamation")).isEmpty());
        QCOMPARE(pane->size(), QSize(width, 8));
        QCOMPARE(pathOf(m_main->shared(), kind), wide);
        return;
    }
    // The design and stereo pictures are offered to be brought down (here cancelled), in the
    // box that says the message; the field picture is refused.
    if (kind == Field) {
        QCOMPARE(m_main->asked(QStringLiteral("exclamation")), QStringList{message});
    } else {
        QVERIFY(m_main->asked(QStringLiteral("exclamation")).isEmpty());
        QCOMPARE(m_main->asked(QStringLiteral("choice")).size(), 1);
        QVERIFY(m_main->asked(QStringLiteral("choice")).at(0).startsWith(message + QStringLiteral("\r\n")));
    }
    QCOMPARE(m_main->prompts().asked.last().title, QStringLiteral("Lumivex"));
    // The refused picture leaves the pane, the kept picture and the path as they were.
    QCOMPARE(pane->size(), QSize(20, 10));
    QVERIFY(pane->isVisible());
    QCOMPARE(pathOf(m_main->shared(), kind), first);
    if (kind == Design)
        QCOMPARE(doc->picUra().size(), QSize(20, 10));
    if (kind == Field)
        QCOMPARE(doc->picUraField().size(), QSize(20, 10));
}

void TestInsertion::tooWidePictureBroughtDown_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<QRgb>>("bands");
    QTest::addColumn<bool>("blended");  // colours between two bands are made

    const QList<QRgb> greys{qRgb(20, 20, 20), qRgb(220, 220, 220), qRgb(90, 90, 90)};
    QTest::newRow("grey depth map, bilinear") << int(Design) << greys << true;
    const QList<QRgb> colours{qRgb(255, 0, 0), qRgb(0, 0, 128), qRgb(255, 255, 0)};
    QTest::newRow("depth colours, nearest") << int(Design) << colours << false;
    QTest::newRow("stereo picture, bilinear") << int(Stereo) << colours << true;
}

void TestInsertion::tooWidePictureBroughtDown()
{
    QFETCH(int, kind);
    QFETCH(QList<QRgb>, bands);
    QFETCH(bool, blended);

    DocumentWindow *doc = m_main->newDocument(QStringLiteral("RandomDot"));
    const QImage wide = picturefiles::bands(3001, 31, bands);
    const QString path = file(QStringLiteral("wide.bmp"), wide);
    m_main->prompts().choices = {0, 0};  // brought down; smooth depth for a grey map
    insertFile(doc, Kind(kind), path);

    lumivex::docwindow::PictureBox *pane = pictureOf(doc, kind);
    QCOMPARE(pane->size(), QSize(1024, 11));
    QCOMPARE(pathOf(m_main->shared(), kind), path);
    QCOMPARE(kind == Design ? m_main->shared().DesignScaledWidth : m_main->shared().StereoScaledWidth, 1024);
    const QImage shown = kind == Design ? doc->picUra() : pane->image();
    QCOMPARE(shown.size(), QSize(1024, 11));
    bool between = false;
    for (int x = 0; x < shown.width(); ++x)
        between = between || !bands.contains(shown.pixel(x, 5));
    QCOMPARE(between, blended);
    if (kind == Stereo) {
        // Export and print take the picture's own pixels, until the pane's picture changes.
        QCOMPARE(doc->stereoForOutput(), wide.convertToFormat(QImage::Format_RGB32));
        pane->image().setPixel(0, 0, qRgb(1, 2, 3));
        QCOMPARE(doc->stereoForOutput().size(), QSize(1024, 11));
    }
}

void TestInsertion::tallNarrowPicture()
{
    DocumentWindow *doc = m_main->newDocument(QStringLiteral("RandomDot"));
    insertFile(doc, Design, file(QStringLiteral("tall.bmp"), picturefiles::bands(3, 6000, kColours)));
    QVERIFY(m_main->asked(QStringLiteral("exclamation")).isEmpty());
    QCOMPARE(doc->picUra().size(), QSize(3, 6000));
    QCOMPARE(doc->picBefore()->size(), QSize(3, 6000));
    // Only the vertical bar, its range the overflow of the inside of the border.
    const lumivex::docwindow::Pane *pane = doc->picContBefore();
    QVERIFY(pane->vsb()->isVisible());
    QVERIFY(!pane->hsb()->isVisible());
    QCOMPARE(pane->vsb()->maximum(), 6000 - (pane->height() - 2 * pane->frameWidth()));
}

void TestInsertion::formats_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("tolerance");

    const QRgb left = qRgb(200, 30, 60);
    const QRgb right = qRgb(20, 160, 240);
    const QImage picture = picturefiles::bands(64, 48, {left, right});
    QTest::newRow("bmp") << "a.bmp" << picturefiles::encoded(picture, "BMP") << 0;
    QTest::newRow("jpeg") << "a.jpg" << picturefiles::encoded(picture, "JPEG") << 24;
    QTest::newRow("gif") << "a.gif" << picturefiles::gif(picture) << 0;
    QTest::newRow("png") << "a.png" << picturefiles::encoded(picture, "PNG") << 0;
    QTest::newRow("wmf") << "a.wmf" << picturefiles::wmf(64, 48, left, right) << 0;
    // The content decides, not the name.
    QTest::newRow("png named .bmp") << "b.bmp" << picturefiles::encoded(picture, "PNG") << 0;
}

void TestInsertion::formats()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, tolerance);

    DocumentWindow *doc = m_main->newDocument(QStringLiteral("Field"));
    const QString path = picturefiles::write(m_dir->path(), name, bytes);
    insertFile(doc, Field, path);
    QVERIFY2(m_main->asked(QStringLiteral("exclamation")).isEmpty(),
             qPrintable(m_main->asked(QStringLiteral("exclamation")).join(QLatin1Char('|'))));
    QCOMPARE(m_main->shared().FieldImagePath, path);
    const QImage &image = doc->picUraField();
    QCOMPARE(image.size(), QSize(64, 48));
    QCOMPARE(doc->picField()->image(), image);
    const auto near = [tolerance](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
            && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
    };
    QVERIFY(near(image.pixel(10, 24), qRgb(200, 30, 60)));
    QVERIFY(near(image.pixel(54, 24), qRgb(20, 160, 240)));
}

void TestInsertion::unreadableFileIsNamed()
{
    DocumentWindow *doc = m_main->newDocument(QStringLiteral("RandomDot"));
    const QString good = file(QStringLiteral("good.bmp"), picturefiles::bands(20, 10, kColours));
    insertFile(doc, Design, good);
    const auto &settings = m_main->settings();
    settings.WriteSetting(QStringLiteral("picDesignDir"), QStringLiteral("/remembered"));

    QDir(m_dir->path()).mkdir(QStringLiteral("other"));
    const QString junk = picturefiles::write(m_dir->path() + QStringLiteral("/other"), QStringLiteral("junk.bmp"),
                                             QByteArray("BM this is no picture at all"));
    insertFile(doc, Design, junk);
    const QStringList messages = m_main->asked(QStringLiteral("exclamation"));
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().contains(QDir::toNativeSeparators(junk)));
    QCOMPARE(m_main->shared().DesignImagePath, good);
    QCOMPARE(doc->picUra().size(), QSize(20, 10));
    QCOMPARE(settings.ReadSetting(QStringLiteral("picDesignDir")), QStringLiteral("/remembered"));
}

void TestInsertion::rememberedFolders()
{
    DocumentWindow *doc = m_main->newDocument(QStringLiteral("Field"));
    QDir(m_dir->path()).mkpath(QStringLiteral("designs"));
    const QString designs = m_dir->path() + QStringLiteral("/designs");
    const QString picture = picturefiles::write(designs, QStringLiteral("a.bmp"),
                                                picturefiles::encoded(picturefiles::bands(8, 8, kColours), "BMP"));

    insertFile(doc, Design, picture);
    const lumivex::prompts::FileRequest first = m_main->prompts().asked.last().request;
    QCOMPARE(first.folder, lumivex::document::samplesFolder());
    QVERIFY(!first.save);
    QCOMPARE(first.fileName, QString());
    QCOMPARE(first.filter.split(QStringLiteral(";;")),
             QStringList({"すべてのファイル(*.bmp *.jpg *.gif *.wmf *.png *.jpeg)", "BMP(*.bmp)", "JPEG(*.jpg *.jpeg)",
                          "GIF(*.gif)", "WMF(*.wmf)", "PNG(*.png)"}));
    QCOMPARE(m_main->settings().ReadSetting(QStringLiteral("picDesignDir")), designs);

    // The next design dialog opens there, the field and stereo dialogs do not.
    m_main->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    doc->InsPicDesign();
    QCOMPARE(m_main->prompts().asked.last().request.folder, designs);
    doc->InsPicField();
    QCOMPARE(m_main->prompts().asked.last().request.folder, lumivex::document::samplesFolder());
    doc->InsPicStereo();
    QCOMPARE(m_main->prompts().asked.last().request.folder, lumivex::document::samplesFolder());

    // Also after a restart: the folder lives in the settings file.
    m_main.reset();
    m_main = std::make_unique<FakeMain>();  // which starts without a settings file...
    m_main->settings().WriteSetting(QStringLiteral("picStereoDir"), designs);
    doc = m_main->newDocument(QStringLiteral("Field"));
    m_main->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    doc->InsPicStereo();
    QCOMPARE(m_main->prompts().asked.last().request.folder, designs);
}

void TestInsertion::clipboard_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("word");

    QTest::newRow("design") << int(Design) << "CBpicBefore";
    QTest::newRow("field") << int(Field) << "CBpicField";
    QTest::newRow("stereo") << int(Stereo) << "CBpicAfter";
}

void TestInsertion::clipboard()
{
    QFETCH(int, kind);
    QFETCH(QString, word);

    DocumentWindow *doc = m_main->newDocument(QStringLiteral("Field"));
    const QString path = file(QStringLiteral("first.bmp"), picturefiles::bands(20, 10, kColours));
    insertFile(doc, Kind(kind), path);

    // A picture with a transparent half: it comes in on white.
    QImage copied(30, 12, QImage::Format_ARGB32);
    copied.fill(qRgb(10, 200, 30));
    for (int y = 0; y < 12; ++y)
        for (int x = 15; x < 30; ++x)
            copied.setPixel(x, y, qRgba(0, 0, 0, 0));
    QGuiApplication::clipboard()->setImage(copied);
    m_main->shared().InsertSource = testfiles::sourceWord(word);
    insert(doc, kind);

    const QImage shown = pictureOf(doc, kind)->image();
    QCOMPARE(shown.size(), QSize(30, 12));
    QCOMPARE(shown.pixel(2, 2), qRgb(10, 200, 30));
    QCOMPARE(shown.pixel(20, 2), qRgb(255, 255, 255));
    QCOMPARE(pathOf(m_main->shared(), kind), QString());  // a pasted picture is in no file
    QCOMPARE(m_main->prompts().asked.size(), 1);              // the first file dialog only

    // An empty clipboard pastes nothing.
    QGuiApplication::clipboard()->clear();
    insert(doc, kind);
    QCOMPARE(pictureOf(doc, kind)->size(), QSize(30, 12));
}

void TestInsertion::smallFieldIsSaidBeforeTheRun()
{
    DocumentWindow *doc = m_main->newDocument(QStringLiteral("Field"));
    insertFile(doc, Design, file(QStringLiteral("d.bmp"), picturefiles::bands(40, 30, kColours)));
    QGuiApplication::clipboard()->setImage(picturefiles::bands(24, 30, kColours));
    m_main->shared().InsertSource = testfiles::sourceWord(QStringLiteral("CBpicField"));
    insert(doc, Field);
    QCOMPARE(m_main->statusText(1), QStringLiteral("ステレオ画像 24×30（フィールドの大きさ）\nステレオ画像は 24 × 30（フィールド画像の大きさ）になります。"));
}

QTEST_MAIN(TestInsertion)
#include "tst_insertion.moc"
