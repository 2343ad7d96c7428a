// The document window in English: with the English translation installed, a document of each
// mode with its pictures, and every message, status text and file filter it can show on the way
// (refused pictures, the grey depth question, conversion runs, the reveal, saves that fail, the
// close question, print and wizard errors), hold no Japanese; any left is named.
#include "docpanes.h"
#include "fakemain.h"
#include "japanesetext.h"
#include "picturefiles.h"

#include "docwindow/printer.h"
#include "docwindow/projectfiles.h"
#include "picture/picture.h"
#include "document/revealdesign.h"
#include "shell/translations.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace apptest;
using lumivex::picture::PictureProblem;

namespace {

// The fake main window that keeps every status text shown, not just the last one.
class StatusRecordingMain : public FakeMain
{
public:
    void setStatusText(int panel, const QString &text) override
    {
        statusTexts << text;
        FakeMain::setStatusText(panel, text);
    }
    QStringList statusTexts;
};

const QList<QRgb> kColours{qRgb(0, 0, 0), qRgb(255, 255, 255)};

QString joined(const QStringList &texts)
{
    return texts.join(QStringLiteral("\n"));
}

} // namespace

class TestDocWindowEnglish : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void documentInEachMode_data();
    void documentInEachMode();
    void libraryTexts();
};

void TestDocWindowEnglish::initTestCase()
{
    QCOMPARE(lumivex::shell::installTranslations(*qApp, lumivex::shell::Language::English),
             lumivex::shell::Language::English);
}

void TestDocWindowEnglish::documentInEachMode_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("random dot") << QStringLiteral("RandomDot");
    QTest::newRow("colour field") << QStringLiteral("Field");
}

void TestDocWindowEnglish::documentInEachMode()
{
    QFETCH(QString, mode);
    QTemporaryDir dir;
    StatusRecordingMain main;
    ScriptedPrompts &prompts = main.prompts();
    lumivex::document::SharedState &s = main.shared();
    const auto file = [&](const QString &name, const QByteArray &bytes) { return picturefiles::write(dir.path(), name, bytes); };
    const auto insertFile = [&](DocumentWindow *doc, int pane, const QString &path) {
        prompts.files << path;
        s.InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
        insert(doc, pane);
    };

    DocumentWindow *doc = main.newDocument(mode);
    const QString good = file(QStringLiteral("good.bmp"), picturefiles::encoded(picturefiles::bands(40, 12, kColours), "BMP"));
    const QByteArray jpeg = picturefiles::encoded(picturefiles::bands(64, 48, kColours), "JPEG");
    const QString photo = file(QStringLiteral("photo.jpg"), picturefiles::claimingSize(jpeg, {5000, 4000}));
    for (Kind pane : {Design, Field, Stereo}) {
        insertFile(doc, pane, photo);
        insertFile(doc, pane, good);
    }
    // Unreadable picture files of several kinds, and a grey depth map taken as depth colours.
    const QByteArray png = picturefiles::encoded(picturefiles::bands(64, 48, kColours), "PNG");
    insertFile(doc, Design, file(QStringLiteral("huge.png"), picturefiles::claimingSize(png, {1000, 300000})));
    insertFile(doc, Design, file(QStringLiteral("short.gif"), picturefiles::gif(picturefiles::bands(64, 48, kColours)).left(900)));
    insertFile(doc, Design, file(QStringLiteral("notes.bmp"), QByteArrayLiteral("not a picture at all")));
    prompts.answers << ScriptedPrompts::Answer::Yes;
    insertFile(doc, Design, file(QStringLiteral("grey.bmp"),
                                 picturefiles::encoded(picturefiles::bands(40, 12, {qRgb(100, 100, 100), qRgb(200, 200, 200)}), "BMP")));

    // A run paused at its first row, then run to its end.
    s.PauseRequested = true;
    doc->RunConversion();
    doc->RunConversion();

    // The reveal of a picture too narrow, and of one with nothing repeating in it.
    QString tooSmall, noRepeat;
    doc->picAfter()->setImage(picturefiles::bands(12, 12, kColours));
    QVERIFY(doc->revealedDesign(&tooSmall).isNull());
    quint32 seed = 7;
    QImage noise(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, (seed = seed * 1664525u + 1013904223u) >> 8);
    doc->picAfter()->setImage(noise);
    QVERIFY(doc->revealedDesign(&noRepeat).isNull());

    // Saves that fail, a project saved over an existing file, and the close question before and
    // after (both declined).
    QVERIFY(!doc->QueryUnload());
    prompts.files << dir.filePath(QStringLiteral("no/such/folder/project"));
    doc->SaveProjectAs();
    testfiles::writeBytes(dir.filePath(QStringLiteral("project.lvd")), "old");
    prompts.files << dir.filePath(QStringLiteral("project"));
    prompts.answers << ScriptedPrompts::Answer::Yes;
    doc->SaveProjectAs();
    QVERIFY(!doc->QueryUnload());
    s.CommandWord = testfiles::commandWord(QStringLiteral("MDImnuSaveDesign"));
    prompts.files << dir.filePath(QStringLiteral("no/such/folder/design.bmp"));
    doc->SavePaneImage();
    main.printer().failWith = QStringLiteral("Out of paper.");
    doc->PrintStereo();
    // The wizard's hand-over files gone missing.
    s.WizardDesignTemp = dir.filePath(QStringLiteral("design.tmp"));
    s.WizardFieldTemp = dir.filePath(QStringLiteral("no/such/folder/field.tmp"));
    doc->SetupFromWizard();

    QStringList shown, japanese;
    for (const ScriptedPrompts::Asked &asked : std::as_const(prompts.asked)) {
        const QString text = asked.kind == u"file" ? asked.request.title + u' ' + asked.request.filter : asked.text;
        shown << text;
        if (japanesetext::containsJapanese(asked.title + text))
            japanese << asked.kind + QStringLiteral(": ") + asked.title + QStringLiteral(": ") + text;
    }
    japanese << japanesetext::japaneseOf(main.statusTexts) << japanesetext::japaneseOf({tooSmall, noRepeat});
    japanese << japanesetext::japaneseTexts(doc, true);
    QVERIFY2(japanese.isEmpty(), qPrintable(joined(japanese)));

    // Every kind of message came up, in its English words.
    const QString cr = QStringLiteral("\r\n");
    const QStringList expected{
        QStringLiteral("The design picture is too large.") + cr + QStringLiteral("Use a picture at most 1024 pixels wide.") + cr + cr
            + QStringLiteral("Bring it down to 1024 pixels wide and use it? (5000 × 4000 → 1024 × 819)") + cr
            + QStringLiteral("The project keeps the original picture's place and the scale."),
        QStringLiteral("The field picture is too large.") + cr + QStringLiteral("Use a picture at most 1024 pixels wide."),
        QStringLiteral("The stereo picture is too large.") + cr + QStringLiteral("Use a picture at most 1024 pixels wide.") + cr + cr
            + QStringLiteral("Show it brought down to 1024 pixels wide? (5000 × 4000 → 1024 × 819)") + cr
            + QStringLiteral("Printing and saving the picture use it at its own size."),
        QStringLiteral("This picture is too large to load into memory (1000 × 300000 pixels):") + cr + QDir::toNativeSeparators(dir.filePath(QStringLiteral("huge.png"))),
        QStringLiteral("This file cannot be read as a picture:") + cr + QDir::toNativeSeparators(dir.filePath(QStringLiteral("short.gif"))) + cr + QStringLiteral("The file is cut short."),
        QStringLiteral("This is a greyscale depth map. Use it as smooth depth, or convert it to the sixteen depth levels?") + cr + cr
            + QStringLiteral("\"Use as is\" reads the picture as depth colours: its greys are cut into four depths (black, grey, silver and white), not smooth depth."),
        QStringLiteral("Do you want to save \"Vexart1\"?"),
        QStringLiteral("Could not save to this file:") + cr + QDir::toNativeSeparators(dir.filePath(QStringLiteral("no/such/folder/project.lvd"))) + cr + QStringLiteral("No such file or directory"),
        QStringLiteral("\"project.lvd\" already exists.") + cr + QStringLiteral("Do you want to replace it?"),
        QStringLiteral("Do you want to save the changes to \"project\"?"),
        QStringLiteral("Could not save to this file:") + cr + QDir::toNativeSeparators(dir.filePath(QStringLiteral("no/such/folder/design.bmp"))) + cr + QStringLiteral("No such file or directory"),
        QStringLiteral("Could not print.") + cr + QStringLiteral("Out of paper."),
        QStringLiteral("Error 53 occurred in Lumivex.") + cr + QStringLiteral("File not found."),
        QStringLiteral("Error 76 occurred in Lumivex.") + cr + QStringLiteral("Path not found."),
    };
    for (const QString &text : expected)
        QVERIFY2(shown.contains(text), qPrintable(text + QStringLiteral("\nnot among:\n") + joined(shown)));
    const QStringList statuses = mode == u"RandomDot"
        ? QStringList{QStringLiteral("Converting to random dot. Please wait..."), QStringLiteral("Random dot conversion paused...")}
        : QStringList{QStringLiteral("Converting to colour field. Please wait..."), QStringLiteral("Colour field conversion paused...")};
    for (const QString &text : statuses)
        QVERIFY2(main.statusTexts.contains(text), qPrintable(text + QStringLiteral("\nnot among:\n") + joined(main.statusTexts)));
    QCOMPARE(noRepeat, QStringLiteral("No horizontal repeat was found in the stereo picture, so its depth cannot be read."));
    QVERIFY2(tooSmall.contains(QLatin1String("at least 24 pixels wide")), qPrintable(tooSmall));
}

// What the picture files, the reveal and the printer say, for every problem they know.
void TestDocWindowEnglish::libraryTexts()
{
    QStringList texts;
    for (PictureProblem problem : {PictureProblem::CannotOpen, PictureProblem::NotAFile, PictureProblem::NotAPicture,
                                   PictureProblem::Damaged, PictureProblem::CutShort, PictureProblem::TooWide,
                                   PictureProblem::TooLarge}) {
        texts << lumivex::picture::pictureFailureMessage(QStringLiteral("/tmp/a.bmp"),
                                                          lumivex::picture::LoadedPicture::failure(problem, {}));
    }
    texts << lumivex::picture::pictureFileFilter() << lumivex::docwindow::projectFilter()
          << lumivex::document::revealDesign(QImage()).problem;
    // The repeat width the depth was read at: noise that repeats every 50 pixels, and the same below three times as many rows of noise.
    quint32 seed = 5;
    QImage unclear(400, 640, QImage::Format_RGB32);
    for (int i = 0; i < 400 * 640; ++i)
        unclear.setPixel(i % 400, i / 400, i % 400 >= 50 && i >= 400 * 480 ? unclear.pixel(i % 400 - 50, i / 400) : (seed = seed * 1664525u + 1013904223u) >> 8);
    QCOMPARE(lumivex::document::revealDesign(unclear.copy(0, 480, 400, 160)).note, QStringLiteral("Depth read at repeat width 50."));
    QCOMPARE(lumivex::document::revealDesign(unclear).note,
             QStringLiteral("Depth read at repeat width 50, but the picture does not show its repeat clearly: the depth may be wrong."));
    lumivex::docwindow::PrintReport report;
    QVERIFY(!lumivex::docwindow::QtPrinter().printPicture(QImage(), 96, 96, QStringLiteral("job"), {}, &report));
    texts << report.error;
    QVERIFY2(japanesetext::japaneseOf(texts).isEmpty(), qPrintable(joined(japanesetext::japaneseOf(texts))));
    QCOMPARE(texts.at(6), QStringLiteral("This picture is too large to load into memory:\r\n/tmp/a.bmp"));
    QCOMPARE(texts.at(7).section(QStringLiteral(";;"), 0, 0),
             QStringLiteral("All Pictures (*.bmp *.jpg *.gif *.wmf *.png *.jpeg)"));
    QCOMPARE(texts.last(), QStringLiteral("There is no picture to print."));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TestDocWindowEnglish test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_docwindow_english.moc"
