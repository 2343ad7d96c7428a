// From the wizard to a new colour-field document: the menu opens the wizard, 完了 hands the two
// pictures over, and the relay's new document loads them, removes the hand-over files, takes the
// wizard's parameters and converts at once.
#include "apptest.h"
#include "picturefiles.h"
#include "../cli/convertrun.h"

#include "docwindow/pane.h"
#include "document/appsettings.h"
#include "document/picturefit.h"
#include "wizard/wizarddialog.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

using namespace apptest;
using lumivex::wizard::WizardDialog;

namespace {

const QString kMissing = QStringLiteral("ｴﾗｰ番号  53Lumivex でｴﾗｰが発生しました。\r\nファイルが見つかりません。");

QStringList leftOverFiles(const QString &folder = lumivex::document::programFolder())
{
    return QDir(folder).entryList({QStringLiteral("TMP*.bmp")}, QDir::Files);
}

} // namespace

class TestWizardFlow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void finishOpensOneColourFieldDocument();
    void wholeRunMatchesConverter();
    void cancelOpensNothing();
    void handOverFiles_data();
    void handOverFiles();

private:
    /// Opens the wizard through its menu item and runs the script in it while it is shown.
    void runWizard(const std::function<void(WizardDialog &)> &script);
    /// Waits until the relay has made its document and that document's set-up tick is over.
    DocumentWindow *waitForNewDocument();

    std::unique_ptr<App> m_app;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestWizardFlow::init()
{
    QFile::remove(lumivex::document::AppSettings().settingsFilePath());
    m_app = std::make_unique<App>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestWizardFlow::cleanup()
{
    m_app.reset();
    m_dir.reset();
    for (const QString &name : leftOverFiles())
        QFile::remove(QDir(lumivex::document::programFolder()).filePath(name));
}

void TestWizardFlow::runWizard(const std::function<void(WizardDialog &)> &script)
{
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
        auto *wizard = qobject_cast<WizardDialog *>(QApplication::activeModalWidget());
        if (wizard) {
            ran = true;
            script(*wizard);
            if (wizard->isVisible())
                wizard->reject();
        }
    });
    m_app->trigger("mnuWizard");
    QVERIFY(ran);
}

DocumentWindow *TestWizardFlow::waitForNewDocument()
{
    QTimer *relay = m_app->window->timForWiz();
    QElapsedTimer clock;
    clock.start();
    while (relay->isActive() && clock.elapsed() < 5000)
        QTest::qWait(5);
    DocumentWindow *document = m_app->window->activeDocument();
    if (document)
        App::waitForTick(document);
    return document;
}

void TestWizardFlow::finishOpensOneColourFieldDocument()
{
    // A document that is active while the wizard runs keeps its own picture path.
    DocumentWindow *earlier = m_app->newMono();
    m_app->shared().DesignImagePath = QStringLiteral("/pictures/earlier.bmp");
    m_app->window->WriteDocState();
    const QString earlierFile = earlier->lblIniName();

    const QImage design = designPicture(300, 200);
    const QImage source = fieldPicture(64, 48);
    const QString designPath = picturefiles::write(m_dir->path(), QStringLiteral("design.jpg"),
                                                   picturefiles::encoded(design, "PNG"));
    const QString sourcePath = picturefiles::write(m_dir->path(), QStringLiteral("source.bmp"),
                                                   picturefiles::encoded(source, "BMP"));
    m_app->prompts.files << designPath << sourcePath;

    // What the new document's state file holds when its conversion starts: the run itself
    // makes the stereo picture's save available while it goes on.
    QStringList atStart;
    RowHook hook(*m_app->window, 0, 0, [&] {
        const QString file = m_app->shared().StateFilePath;
        for (const char *key : {"mnuSaveStereo", "mnuSaveDesign", "mnuSaveField", "Mitudo", "sldMitudoEnabled", "knText2"})
            atStart << iniValue(file, key);
    });

    runWizard([](WizardDialog &wizard) {
        wizard.browse(0);
        wizard.browse(1);
        wizard.next();
        wizard.findChild<QLineEdit *>(QStringLiteral("txtKurikaesi"))->setText(QStringLiteral("90"));
        wizard.findChild<QLineEdit *>(QStringLiteral("txtRittaido"))->setText(QStringLiteral("35"));
        wizard.next();
        wizard.BuildFieldImage();
    });
    QVERIFY(m_app->window->timForWiz()->isActive());
    DocumentWindow *made = waitForNewDocument();

    QVERIFY(made && made != earlier);
    QCOMPARE(m_app->documents().size(), 2);
    QCOMPARE(made->caption(), QStringLiteral("Vexart2"));
    QCOMPARE(made->iconId(), 104);
    QCOMPARE(made->picUra(), design);
    QCOMPARE(made->picBefore()->image(), design);
    QVERIFY(!made->picBefore()->isHidden() && !made->picField()->isHidden());
    QCOMPARE(made->picUraField().size(), design.size());
    QCOMPARE(made->picUraField().pixel(299, 199), source.pixel(299 % 64, 199 % 48));
    QCOMPARE(made->picField()->image(), made->picUraField());

    QCOMPARE(m_app->window->slider(0)->value(), 90);
    QCOMPARE(m_app->window->slider(1)->value(), 35);
    QVERIFY(hook.fired());
    QCOMPARE(atStart, QStringList({"False", "True", "True", "0", "False", "False"}));
    QCOMPARE(m_app->window->slider(2)->value(), 0);
    QVERIFY(!m_app->window->slider(2)->isEnabled());
    QVERIFY(!m_app->window->caption(2)->isEnabled());
    QCOMPARE(made->picAfter()->image().size(), design.size());
    QVERIFY(!rowIsBlank(made->picAfter()->image(), 100));

    QVERIFY(leftOverFiles(m_app->window->stateFolder())  /* the wizard's */.isEmpty());
    QVERIFY(!m_app->shared().WizardFinished);
    QVERIFY(m_app->shared().WizardDesignTemp.isEmpty() && m_app->shared().WizardFieldTemp.isEmpty());
    const QString madeFile = made->lblIniName();
    QCOMPARE(iniValue(madeFile, "StereoName"), QStringLiteral("Field"));
    QCOMPARE(iniValue(madeFile, "PicDesignPath"), designPath);
    QCOMPARE(iniValue(madeFile, "PicFieldPath"), sourcePath);
    QCOMPARE(iniValue(madeFile, "KurikaesiHaba"), QStringLiteral("90"));
    QCOMPARE(iniValue(madeFile, "Rittaido"), QStringLiteral("35"));
    QCOMPARE(iniValue(earlierFile, "PicDesignPath"), QStringLiteral("/pictures/earlier.bmp"));

    m_app->activate(earlier);
    QCOMPARE(m_app->shared().DesignImagePath, QStringLiteral("/pictures/earlier.bmp"));
    QVERIFY(m_app->asked(QStringLiteral("exclamation")).isEmpty());

    // A grey depth map too wide for a document, brought down and taken as smooth depth in the
    // wizard, is so in its document, which keeps the file's path and the width.
    const QImage greys = picturefiles::bands(2048, 120, {qRgb(40, 40, 40), qRgb(90, 90, 90), qRgb(150, 150, 150)});
    m_app->prompts.files << picturefiles::write(m_dir->path(), QStringLiteral("grey.bmp"), picturefiles::encoded(greys, "BMP"))
                         << sourcePath;
    m_app->prompts.choices = {0, 0};
    runWizard([](WizardDialog &wizard) {
        wizard.browse(0);
        wizard.browse(1);
        wizard.next();
        wizard.next();
        wizard.BuildFieldImage();
    });
    made = waitForNewDocument();
    QVERIFY(made);
    QCOMPARE(made->picUra(), lumivex::document::picturefit::fitted(greys, 1024, lumivex::document::picturefit::Kind::Design));
    QCOMPARE(made->picUra().width(), 1024);
    QCOMPARE(iniValue(made->lblIniName(), "DepthKind"), QStringLiteral("Grey"));
    QCOMPARE(iniValue(made->lblIniName(), "DesignScaledWidth"), QStringLiteral("1024"));
    QVERIFY(!rowIsBlank(made->picAfter()->image(), 30));
}

void TestWizardFlow::wholeRunMatchesConverter()
{
    // The whole run as a user makes it: both pictures chosen, the numbers typed, 完了. The new
    // document's stereo picture is the converter's for the same pictures and numbers.
    const QImage design = lumivex::testing::makeDesign(263, 151, 5);
    const QImage source = lumivex::testing::makeField(45, 38, 9);
    const QString designPath = picturefiles::write(m_dir->path(), QStringLiteral("design.png"),
                                                   picturefiles::encoded(design, "PNG"));
    const QString sourcePath = picturefiles::write(m_dir->path(), QStringLiteral("source.bmp"),
                                                   picturefiles::encoded(source, "BMP"));
    m_app->prompts.files << designPath << sourcePath;

    QStringList summary;
    runWizard([&summary](WizardDialog &wizard) {
        const auto click = [&wizard](const QString &name) {
            QTest::mouseClick(wizard.findChild<QPushButton *>(name), Qt::LeftButton);
        };
        // Backspace does nothing in the boxes: the old value is selected and typed over.
        const auto type = [&wizard](const char *name, const QString &digits) {
            auto *box = wizard.findChild<QLineEdit *>(QString::fromLatin1(name));
            box->setFocus();
            QTest::keyClick(box, Qt::Key_End);
            QTest::keyClick(box, Qt::Key_Home, Qt::ShiftModifier);
            QTest::keyClicks(box, digits);
        };
        click(QStringLiteral("cmdSansyou_0"));
        click(QStringLiteral("cmdSansyou_1"));
        click(QStringLiteral("cmdNext"));
        type("txtKurikaesi", QStringLiteral("56"));
        type("txtRittaido", QStringLiteral("27"));
        click(QStringLiteral("cmdNext"));
        for (int i = 0; i < 4; ++i)
            summary << wizard.findChild<QLabel *>(QStringLiteral("lblSize3_%1").arg(i))->text();
        click(QStringLiteral("cmdCompreat"));
    });
    QCOMPARE(summary, QStringList({"263×151　ピクセル", "45×38　ピクセル", "56　ピクセル", "27"}));
    DocumentWindow *made = waitForNewDocument();
    QVERIFY(made);
    QVERIFY(m_app->asked(QStringLiteral("exclamation")).isEmpty());
    QVERIFY(!m_app->shared().Converting);

    const QString out = m_dir->filePath(QStringLiteral("converted.bmp"));
    const lumivex::testing::Run run = lumivex::testing::convert(
        {QStringLiteral("--mode"), QStringLiteral("field"), QStringLiteral("--field-source"), sourcePath,
         QStringLiteral("--kurikaesi"), QStringLiteral("56"), QStringLiteral("--rittaido"), QStringLiteral("27"),
         designPath, out},
        m_dir->path());
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const QImage expected = lumivex::picture::loadPicture(out).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(expected.size(), design.size());
    QCOMPARE(made->picAfter()->image().convertToFormat(QImage::Format_RGB32), expected);
}

void TestWizardFlow::cancelOpensNothing()
{
    DocumentWindow *earlier = m_app->newField();
    m_app->shared().DesignImagePath = QStringLiteral("/pictures/kept.bmp");
    m_app->window->WriteDocState();
    const QStringList before = fileLines(earlier->lblIniName());

    m_app->prompts.files << picturefiles::write(m_dir->path(), QStringLiteral("d.bmp"),
                                                picturefiles::encoded(designPicture(80, 60), "BMP"))
                         << picturefiles::write(m_dir->path(), QStringLiteral("s.bmp"),
                                                picturefiles::encoded(fieldPicture(20, 20), "BMP"));
    runWizard([](WizardDialog &wizard) {
        wizard.browse(0);
        wizard.browse(1);
        wizard.next();
        wizard.next();
        wizard.reject();
    });
    QTest::qWait(120);

    QVERIFY(!m_app->window->timForWiz()->isActive());
    QCOMPARE(m_app->documents().size(), 1);
    QCOMPARE(m_app->window->activeDocument(), earlier);
    QCOMPARE(m_app->shared().DesignImagePath, QStringLiteral("/pictures/kept.bmp"));
    QCOMPARE(fileLines(earlier->lblIniName()), before);
    QVERIFY(leftOverFiles(m_app->window->stateFolder())  /* the wizard's */.isEmpty());
}

void TestWizardFlow::handOverFiles_data()
{
    QTest::addColumn<QByteArray>("designFile");  // empty: missing
    QTest::addColumn<QByteArray>("fieldFile");
    QTest::addColumn<int>("messages");
    QTest::addColumn<bool>("designShown");
    QTest::addColumn<bool>("fieldShown");
    QTest::addColumn<bool>("converted");

    const QByteArray design = picturefiles::encoded(designPicture(120, 90), "BMP");
    const QByteArray field = picturefiles::encoded(fieldPicture(120, 90), "BMP");
    const QByteArray broken("BM broken");
    QTest::newRow("both there") << design << field << 0 << true << true << true;
    QTest::newRow("design missing") << QByteArray() << field << 2 << false << true << false;
    QTest::newRow("field missing") << design << QByteArray() << 2 << true << false << false;
    QTest::newRow("design unreadable") << broken << field << 0 << false << false << false;
    QTest::newRow("field unreadable") << design << broken << 0 << true << false << false;
}

void TestWizardFlow::handOverFiles()
{
    QFETCH(QByteArray, designFile);
    QFETCH(QByteArray, fieldFile);
    QFETCH(int, messages);
    QFETCH(bool, designShown);
    QFETCH(bool, fieldShown);
    QFETCH(bool, converted);

    // The state a finished wizard leaves behind, with the files as the row says.
    const QString folder = lumivex::document::programFolder();
    lumivex::document::SharedState &s = m_app->shared();
    s.WizardDesignTemp = QDir(folder).filePath(QStringLiteral("TMP11111.bmp"));
    s.WizardFieldTemp = QDir(folder).filePath(QStringLiteral("TMP22222.bmp"));
    if (!designFile.isEmpty())
        picturefiles::write(folder, QStringLiteral("TMP11111.bmp"), designFile);
    if (!fieldFile.isEmpty())
        picturefiles::write(folder, QStringLiteral("TMP22222.bmp"), fieldFile);
    s.WizardKurikaesi = 60;
    s.WizardRittaido = 15;
    s.WizardFinished = true;
    m_app->window->timForWiz()->start(50);
    DocumentWindow *made = waitForNewDocument();

    QVERIFY(made);
    QCOMPARE(m_app->asked(QStringLiteral("exclamation")), QStringList(messages, kMissing));
    QCOMPARE(!made->picBefore()->isHidden(), designShown);
    QCOMPARE(!made->picField()->isHidden(), fieldShown);
    QCOMPARE(!made->picAfter()->image().isNull(), converted);
    QVERIFY(!s.WizardFinished);
    QVERIFY(leftOverFiles().isEmpty());
    QVERIFY(s.WizardDesignTemp.isEmpty() && s.WizardFieldTemp.isEmpty());
}

QTEST_MAIN(TestWizardFlow)
#include "tst_wizardflow.moc"
