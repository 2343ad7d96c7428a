// A project file handed to the program (the desktop opens .lvd files with "lumivex FILE"): it
// opens as a file chosen in 開く's dialog does, without the dialog (its failures are those of
// 開く, tested with it).
#include "docharness.h"
#include "picturefiles.h"

#include "document/docstate.h"

#include <QDir>
#include <QSlider>
#include <QTemporaryDir>

using namespace docharness;

class TestOpenFile : public QObject
{
    Q_OBJECT

private slots:
    void projectByRelativePath();
};

void TestOpenFile::projectByRelativePath()
{
    QTemporaryDir dir;
    App app;
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
    app.window->openFile(QStringLiteral("shapes.lvd"));

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

QTEST_MAIN(TestOpenFile)
#include "tst_openfile.moc"
