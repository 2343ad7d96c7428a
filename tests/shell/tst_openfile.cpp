// A file handed to the program (the desktop opens files with "lumivex FILE"): a project opens as
// a file chosen in 開く's dialog does, without the dialog (its failures are those of 開く, tested
// with it); a picture becomes the design of a new monochrome random-dot document.
#include "apptest.h"
#include "picturefiles.h"

#include "document/docstate.h"
#include "document/greydepth.h"
#include "document/sharedstate.h"
#include "shell/commandline.h"

#include <QDir>
#include <QSlider>
#include <QTemporaryDir>

using namespace apptest;

class TestOpenFile : public QObject
{
    Q_OBJECT

private slots:
    void projectByRelativePath();
    void pictureOpensNewDesign();
    void commandLine();
};

void TestOpenFile::projectByRelativePath()
{
    QTemporaryDir dir;
    App app(App::Start::FreshSettings);
    lumivex::document::DocState state;
    state.picDesignPath = picturefiles::write(
        dir.path(), QStringLiteral("d.bmp"),
        picturefiles::encoded(picturefiles::bands(12, 10, {qRgb(0, 0, 0), qRgb(255, 255, 255)}), "BMP"));
    state.kurikaesiHaba = 90;
    const QString project = dir.filePath(QStringLiteral("shapes.lvd"));
    lumivex::document::writeDocState(project, state);

    const QString saved = QDir::currentPath();
    const auto restore = qScopeGuard([&] { QDir::setCurrent(saved); });
    QVERIFY(QDir::setCurrent(dir.path()));
    app.window->openProject(QStringLiteral("shapes.lvd"));

    QCOMPARE(app.window->documentWindows().size(), 1);
    DocumentWindow *doc = app.window->activeDocument();
    QVERIFY(QTest::qWaitFor([doc] { return !doc->Timer1()->isActive(); }));
    // The state file is kept by its whole path, so saving works from any folder later.
    QCOMPARE(doc->lblIniName(), project);
    QCOMPARE(doc->windowTitle(), QStringLiteral("shapes"));
    QCOMPARE(doc->picUra().size(), QSize(12, 10));
    QCOMPARE(app.window->slider(0)->value(), 90);
    QCOMPARE(settings().ReadSetting(QStringLiteral("LvdFileDir")), dir.path());
    QVERIFY(app.prompts.asked.isEmpty());
}

void TestOpenFile::pictureOpensNewDesign()
{
    QTemporaryDir dir;
    App app(App::Start::FreshSettings);
    const QImage design = picturefiles::bands(20, 16, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const QString path = picturefiles::write(dir.path(), QStringLiteral("design.png"),
                                             picturefiles::encoded(design, "PNG"));
    app.window->openPicture(path);
    QCOMPARE(app.window->documentWindows().size(), 1);
    DocumentWindow *doc = app.window->activeDocument();
    QVERIFY(QTest::qWaitFor([doc] { return !doc->Timer1()->isActive(); }));
    QCOMPARE(doc->picUra().convertToFormat(QImage::Format_RGB32), design.convertToFormat(QImage::Format_RGB32));
    QCOMPARE(app.shared().DesignImagePath, path);
    QVERIFY(app.shared().ModeWord == lumivex::document::Mode::RandomDot);
    QVERIFY(app.shared().ColourWord == lumivex::document::Colour::Mono);
    QVERIFY(app.menuEnabled("mnuConvStart"));
    QVERIFY(app.prompts.asked.isEmpty());

    // What cannot be read is said at once, naming the file, and opens nothing.
    const QString text = picturefiles::write(dir.path(), QStringLiteral("notes.png"), QByteArray("not a picture"));
    app.window->openPicture(text);
    QCOMPARE(app.window->documentWindows().size(), 1);
    QCOMPARE(app.prompts.asked.size(), 1);
    QVERIFY(app.prompts.asked.constFirst().text.contains(QStringLiteral("notes.png")));

    // A grey depth map from another program is offered the depth colours, as an insertion is.
    QImage ramp(64, 8, QImage::Format_RGB32);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 8; ++y)
            ramp.setPixel(x, y, qRgb(x * 4, x * 4, x * 4));
    app.prompts.choices = {1};
    app.window->openPicture(picturefiles::write(dir.path(), QStringLiteral("grey.png"),
                                                picturefiles::encoded(ramp, "PNG")));
    QCOMPARE(app.window->documentWindows().size(), 2);
    QCOMPARE(app.prompts.asked.size(), 2);
    QCOMPARE(app.prompts.asked.last().kind, QStringLiteral("choice"));
    QCOMPARE(app.window->activeDocument()->picUra(), lumivex::document::greyToDepthColours(ramp));

    // A design wider than the window is offered brought down before a document opens: declined,
    // nothing opens; taken, the design is 1024 wide and the state keeps the file and the width.
    const QString wide = picturefiles::write(dir.path(), QStringLiteral("wide.png"),
                                             picturefiles::encoded(picturefiles::bands(2048, 6, {qRgb(0, 0, 0), qRgb(255, 0, 0)}), "PNG"));
    app.prompts.choices = {1};
    app.window->openPicture(wide);
    QCOMPARE(app.window->documentWindows().size(), 2);
    app.prompts.choices = {0};
    app.window->openPicture(wide);
    QCOMPARE(app.window->documentWindows().size(), 3);
    QCOMPARE(app.window->activeDocument()->picUra().size(), QSize(1024, 3));
    QCOMPARE(app.shared().DesignImagePath, wide);
    QCOMPARE(app.shared().DesignScaledWidth, 1024);
}

void TestOpenFile::commandLine()
{
    using lumivex::shell::parseCommandLine;
    QVERIFY(parseCommandLine({QStringLiteral("--help")}).help);
    QVERIFY(parseCommandLine({QStringLiteral("-v")}).version);
    QCOMPARE(lumivex::shell::commandLineVersion(), QStringLiteral("lumivex 2.10\n"));
    const auto project = parseCommandLine({QStringLiteral("Shapes.LVD"), QStringLiteral("other.png")});
    QCOMPARE(project.file, QStringLiteral("Shapes.LVD"));
    QVERIFY(project.fileIsProject());
    const auto picture = parseCommandLine({QStringLiteral("--"), QStringLiteral("-dash.png")});
    QCOMPARE(picture.file, QStringLiteral("-dash.png"));
    QVERIFY(!picture.fileIsProject() && picture.problem.isEmpty());
    QVERIFY(parseCommandLine({QStringLiteral("--bogus")}).problem.contains(QStringLiteral("--bogus")));
}

QTEST_MAIN(TestOpenFile)
#include "tst_openfile.moc"
