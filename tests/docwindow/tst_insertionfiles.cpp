// Inserting picture files as users bring them, chosen or named by a project: camera photos too
// wide for the program, pictures too large for memory, files cut short, and a pipe, which must
// never block the window.
#include "docpanes.h"
#include "fakemain.h"
#include "picturefiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

using namespace apptest;
using testfiles::readBytes;

namespace {

const QList<QRgb> kColours{qRgb(0, 0, 0), qRgb(255, 255, 255)};

} // namespace

class TestInsertionFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void chosenFileRefused_data();
    void chosenFileRefused();
    void projectPictures();

private:
    QString file(const QString &name, const QByteArray &bytes);
    DocumentWindow *documentWithPictures();

    std::unique_ptr<FakeMain> m_main;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_first;
};

void TestInsertionFiles::init()
{
    m_main = std::make_unique<FakeMain>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestInsertionFiles::cleanup()
{
    m_main.reset();
    m_dir.reset();
}

QString TestInsertionFiles::file(const QString &name, const QByteArray &bytes)
{
    return picturefiles::write(m_dir->path(), name, bytes);
}

// A colour-field document with a 20 × 10 picture in each pane, inserted from m_first.
DocumentWindow *TestInsertionFiles::documentWithPictures()
{
    DocumentWindow *doc = m_main->newDocument(QStringLiteral("Field"));
    m_first = file(QStringLiteral("first.bmp"), picturefiles::encoded(picturefiles::bands(20, 10, kColours), "BMP"));
    for (Kind kind : {Design, Field, Stereo}) {
        m_main->prompts().files << m_first;
        m_main->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
        insert(doc, kind);
    }
    return doc;
}

void TestInsertionFiles::chosenFileRefused_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message"); // %1: the file's native name
    using picturefiles::claimingSize;
    const QByteArray jpeg = picturefiles::encoded(picturefiles::bands(64, 48, kColours), "JPEG");
    const QByteArray png = picturefiles::encoded(picturefiles::bands(64, 48, kColours), "PNG");

    // A 5000 × 4000 camera photo is refused (or offered brought down) for its width, never as unreadable.
    for (Kind kind : {Design, Field, Stereo})
        QTest::addRow("photo, pane %d", int(kind)) << int(kind) << claimingSize(jpeg, {5000, 4000}) << tooWide(kind);
    QTest::newRow("too large for memory")
        << int(Design) << claimingSize(png, {1000, 300000})
        << QStringLiteral("次の画像は大きすぎて、メモリーに読み込めません（1000×300000 ピクセル）。\r\n%1");
    QTest::newRow("cut short")
        << int(Field) << picturefiles::gif(picturefiles::bands(64, 48, kColours)).left(900)
        << QStringLiteral("次のファイルは画像として読み込めません。\r\n%1\r\nファイルが途中で切れています。");
}

void TestInsertionFiles::chosenFileRefused()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);

    DocumentWindow *doc = documentWithPictures();
    const QByteArray state = readBytes(m_main->shared().StateFilePath);
    const QString path = file(QStringLiteral("photo.jpg"), bytes);
    m_main->prompts().files << path;
    m_main->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    insert(doc, kind);

    if (message.contains(QLatin1String("%1")))
        message = message.arg(QDir::toNativeSeparators(path));
    // A design or stereo photo is offered to be brought down, in the box that says the message (cancelled here).
    QStringList shown = m_main->asked(QStringLiteral("exclamation")) + m_main->asked(QStringLiteral("choice"));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).left(message.size()), message);
    // The document is as it was: panes, kept pictures, paths and state file.
    QCOMPARE(pathOf(m_main->shared(), kind), m_first);
    QCOMPARE(doc->picBefore()->size(), QSize(20, 10));
    QCOMPARE(doc->picField()->size(), QSize(20, 10));
    QCOMPARE(doc->picAfter()->size(), QSize(20, 10));
    QCOMPARE(doc->picUra().size(), QSize(20, 10));
    QCOMPARE(doc->picUraField().size(), QSize(20, 10));
    QCOMPARE(readBytes(m_main->shared().StateFilePath), state);
}

void TestInsertionFiles::projectPictures()
{
    // What an opened project names: a pipe is skipped silently and at once (the alarm ends the
    // test if anything waits for a writer), a picture too wide or too large says so, and the
    // insertions after it still run.
    DocumentWindow *doc = documentWithPictures();
    const QString pipe = m_dir->filePath(QStringLiteral("design.bmp"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString photo =
        file(QStringLiteral("photo.jpg"), picturefiles::claimingSize(
                                              picturefiles::encoded(picturefiles::bands(64, 48, kColours), "JPEG"),
                                              {5000, 4000}));
    const QString stereo = file(QStringLiteral("stereo.bmp"),
                                picturefiles::encoded(picturefiles::bands(30, 12, kColours), "BMP"));
    lumivex::document::SharedState &s = m_main->shared();
    s.DesignImagePath = pipe;
    s.FieldImagePath = photo;
    s.StereoImagePath = stereo;
    s.InsertSource = testfiles::sourceWord(QStringLiteral("FromMDImnuOpen"));

    ::alarm(20);
    doc->InsPicDesign();
    doc->InsPicField();
    doc->InsPicStereo();
    ::alarm(0);

    QCOMPARE(m_main->asked(QStringLiteral("exclamation")), QStringList{tooWide(Field)});
    QCOMPARE(doc->picUra().size(), QSize(20, 10));
    QCOMPARE(doc->picUraField().size(), QSize(20, 10));
    QCOMPARE(doc->picAfter()->size(), QSize(30, 12));
}

QTEST_MAIN(TestInsertionFiles)
#include "tst_insertionfiles.moc"
