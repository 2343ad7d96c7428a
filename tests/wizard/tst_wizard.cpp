// The colour-field wizard driven page by page without exec(): choosing the two pictures with
// their checks and previews, the two number boxes, the pages, and 完了 with its hand-over files.
#include "picturefiles.h"
#include "scriptedprompts.h"

#include "document/appsettings.h"
#include "document/greydepth.h"
#include "picture/picture.h"
#include "wizard/fieldimage.h"
#include "wizard/wizarddialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using lumivex::wizard::WizardDialog;

namespace {

const QString kTooWideDesign = QStringLiteral("デザイン画像が大きすぎます。\r\n幅を1024ピクセル以下にしてください。");
const QString kTooWideSource =
    QStringLiteral("フィールド画像の元となる画像が大きすぎます。\r\n幅を200ピクセル以下にしてください。");

// A picture whose every pixel differs from its neighbours, so that tiles can be told apart.
QImage patterned(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 3) % 256, (y * 5) % 256, (x + y) % 256));
    return image;
}

} // namespace

class TestWizard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void widthChecks_data();
    void widthChecks();
    void refusedLaterChoiceStopsNext();
    void greyDesignIsAsked_data();
    void greyDesignIsAsked();
    void thumbnail_data();
    void thumbnail();
    void nextNeedsBothPictures();
    void cancelledOrUnreadableChoice();
    void rememberedFolders();
    void numbers_data();
    void numbers();
    void keysTyped();
    void numberBoxesTakeOnlyDigits();
    void focusLossChecksTheBox();
    void pagesAndSummary();
    void leavingPageTwoTakesTheBoxes();
    void secondRunKeepsDepthStrength();
    void finishWritesTwoDistinctFiles();
    void finishFailureKeepsWizardOpen();
    void fieldImage_data();
    void fieldImage();

private:
    QString file(const QString &name, const QImage &image);
    void choose(int index, const QString &path);
    void choosePair(int designWidth, int designHeight, int sourceWidth, int sourceHeight);
    QStringList exclamations() const;
    template<typename T>
    T *child(const char *name) const { return m_wizard->findChild<T *>(QString::fromLatin1(name)); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<lumivex::document::AppSettings> m_settings;
    lumivex::wizard::WizardResult m_start;
    ScriptedPrompts m_prompts;
    std::unique_ptr<WizardDialog> m_wizard;
    QString m_handOver;
};

void TestWizard::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<lumivex::document::AppSettings>(m_dir->filePath(QStringLiteral("Lumivex2.lvs")));
    m_start = {};
    m_prompts = {};
    m_handOver = m_dir->filePath(QStringLiteral("program"));
    QDir().mkpath(m_handOver);
    m_wizard = std::make_unique<WizardDialog>(m_start, *m_settings, m_prompts, m_handOver);
}

void TestWizard::cleanup()
{
    m_wizard.reset();
    m_dir.reset();
}

QString TestWizard::file(const QString &name, const QImage &image)
{
    return picturefiles::write(m_dir->path(), name, picturefiles::encoded(image, "BMP"));
}

void TestWizard::choose(int index, const QString &path)
{
    m_prompts.files << path;
    m_wizard->findChild<QPushButton *>(QStringLiteral("cmdSansyou_%1").arg(index))->click();
}

void TestWizard::choosePair(int designWidth, int designHeight, int sourceWidth, int sourceHeight)
{
    choose(0, file(QStringLiteral("design.bmp"), patterned(designWidth, designHeight)));
    choose(1, file(QStringLiteral("source.bmp"), patterned(sourceWidth, sourceHeight)));
}

QStringList TestWizard::exclamations() const
{
    QStringList texts;
    for (const ScriptedPrompts::Asked &a : m_prompts.asked) {
        if (a.kind == QLatin1String("exclamation"))
            texts.append(a.text);
    }
    return texts;
}

void TestWizard::widthChecks_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("message");  // empty: accepted

    QTest::newRow("design 1024") << 0 << 1024 << QString();
    QTest::newRow("design 1025, not brought down") << 0 << 1025 << kTooWideDesign;
    QTest::newRow("design 2048, brought down to 1024") << 0 << 2048 << QString();
    QTest::newRow("source 200") << 1 << 200 << QString();
    QTest::newRow("source 201") << 1 << 201 << kTooWideSource;
}

void TestWizard::widthChecks()
{
    QFETCH(int, index);
    QFETCH(int, width);
    QFETCH(QString, message);

    // A good picture chosen first: a refused one must take the row's picture away with it.
    choose(index, file(QStringLiteral("first.bmp"), patterned(120, 5)));
    m_prompts.asked.clear();
    const QString path = file(QStringLiteral("pic.bmp"), patterned(width, 3));
    m_prompts.choices = {width == 2048 ? 0 : 1};  // a design too wide: brought down, or cancelled
    choose(index, path);
    auto *pathLabel = m_wizard->findChild<QLabel *>(QStringLiteral("lblDesign_%1").arg(index));
    auto *sizeLabel = m_wizard->findChild<QLabel *>(QStringLiteral("lblSize1_%1").arg(index));
    auto *preview = child<QLabel>(index == 0 ? "picD" : "picFmoto");
    const QString chosen = index == 0 ? m_wizard->designPath() : m_wizard->fieldSourcePath();
    if (message.isEmpty()) {
        QVERIFY(exclamations().isEmpty());
        QCOMPARE(pathLabel->text(), QDir::toNativeSeparators(path));
        QCOMPARE(sizeLabel->text(), width > 1024 ? QStringLiteral("画像サイズ　1024×2  ピクセル")
                                                 : QStringLiteral("画像サイズ　%1×3  ピクセル").arg(width));
        QCOMPARE(m_wizard->wizardResult().designScaledWidth, width > 1024 ? 1024 : 0);
        QVERIFY(!preview->isHidden());
        QCOMPARE(chosen, path);
        if (index == 1)
            QCOMPARE(m_wizard->wizardResult().kurikaesi, width);
        return;
    }
    // A design picture is offered brought down in the box that says the message.
    if (index == 0)
        QVERIFY(m_prompts.texts(QStringLiteral("choice")).value(0).startsWith(message + QStringLiteral("\r\n")));
    else
        QCOMPARE(exclamations(), QStringList{message});
    QCOMPARE(m_prompts.asked.last().title, QStringLiteral("Lumivex"));
    QVERIFY(pathLabel->text().isEmpty());
    QVERIFY(sizeLabel->text().isEmpty());
    QVERIFY(preview->isHidden());
    QVERIFY(chosen.isEmpty());
    // A refused source leaves no repeat width behind.
    QCOMPARE(m_wizard->wizardResult().kurikaesi, index == 1 ? 120 : 70);
}

void TestWizard::refusedLaterChoiceStopsNext()
{
    choosePair(300, 200, 64, 64);
    QVERIFY(child<QPushButton>("cmdNext")->isEnabled());
    choose(0, file(QStringLiteral("wide.bmp"), patterned(1100, 4)));  // not brought down
    QCOMPARE(m_prompts.texts(QStringLiteral("choice")).size(), 1);
    // Going on would finish with a design picture that is no longer there.
    QVERIFY(!child<QPushButton>("cmdNext")->isEnabled());
    choose(0, file(QStringLiteral("good.bmp"), patterned(90, 40)));
    QVERIFY(child<QPushButton>("cmdNext")->isEnabled());
}

void TestWizard::greyDesignIsAsked_data()
{
    QTest::addColumn<bool>("grey");
    QTest::addColumn<int>("answer");  // the button pressed
    QTest::addColumn<bool>("smooth");
    QTest::addColumn<bool>("converted");  // handed over in the depth colours
    QTest::newRow("smooth depth") << true << 0 << true << false;
    QTest::newRow("sixteen levels") << true << 1 << false << true;
    QTest::newRow("as is") << true << 2 << false << false;
    QTest::newRow("depth colours, not asked") << false << -1 << false << false;
}

void TestWizard::greyDesignIsAsked()
{
    QFETCH(bool, grey);
    QFETCH(int, answer);
    QFETCH(bool, smooth);
    QFETCH(bool, converted);

    const QImage design = grey ? picturefiles::bands(90, 30, {qRgb(30, 30, 30), qRgb(100, 100, 100), qRgb(230, 230, 230)})
                               : picturefiles::bands(90, 30, {qRgb(255, 0, 0), qRgb(0, 0, 128)});
    m_prompts.choices = {answer};
    choose(0, file(QStringLiteral("design.bmp"), design));
    choose(1, file(QStringLiteral("source.bmp"), patterned(30, 30)));
    QCOMPARE(m_prompts.texts(QStringLiteral("choice")),
             grey ? QStringList{lumivex::document::greyQuestionText()} : QStringList());
    m_wizard->next();
    m_wizard->next();
    m_wizard->BuildFieldImage();
    QCOMPARE(m_wizard->wizardResult().smoothDesign, smooth);
    QCOMPARE(lumivex::picture::loadPicture(m_wizard->wizardResult().designTemp),
             converted ? lumivex::document::greyToDepthColours(design) : design);
}

void TestWizard::thumbnail_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("preview");
    QTest::newRow("wide") << QSize(300, 100) << QSize(57, 19);
    QTest::newRow("tall") << QSize(100, 300) << QSize(19, 57);
    QTest::newRow("square") << QSize(100, 100) << QSize(57, 57);
    QTest::newRow("small square") << QSize(10, 10) << QSize(57, 57);
    QTest::newRow("one row") << QSize(200, 1) << QSize(57, 1);
}

void TestWizard::thumbnail()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, preview);
    QCOMPARE(WizardDialog::thumbnailSize(picture.width(), picture.height()), preview);
    choose(0, file(QStringLiteral("d.bmp"), patterned(picture.width(), picture.height())));
    QCOMPARE(child<QLabel>("picD")->size(), preview);
}

void TestWizard::nextNeedsBothPictures()
{
    auto *next = child<QPushButton>("cmdNext");
    QVERIFY(!next->isEnabled());
    QVERIFY(child<QPushButton>("cmdCancel")->isEnabled());
    QVERIFY(!child<QPushButton>("cmdBack")->isEnabled());
    QVERIFY(!child<QPushButton>("cmdCompreat")->isEnabled());
    choose(1, file(QStringLiteral("s.bmp"), patterned(120, 30)));
    QVERIFY(!next->isEnabled());
    m_wizard->next();
    QCOMPARE(m_wizard->currentPage(), 0);
    choose(0, file(QStringLiteral("d.bmp"), patterned(300, 200)));
    QVERIFY(next->isEnabled());
}

void TestWizard::cancelledOrUnreadableChoice()
{
    choosePair(300, 200, 64, 48);
    const QString design = m_wizard->designPath();
    const QString settingsBefore = m_settings->ReadSetting(QStringLiteral("picDesignDir"));
    choose(0, QString());  // cancelled
    QCOMPARE(m_wizard->designPath(), design);
    QVERIFY(exclamations().isEmpty());

    const QString broken =
        picturefiles::write(m_dir->path(), QStringLiteral("broken.bmp"), QByteArray("BM not a picture"));
    choose(0, broken);
    QCOMPARE(exclamations().size(), 1);
    QVERIFY(exclamations().first().startsWith(QStringLiteral("次のファイルは画像として読み込めません。\r\n")
                                              + QDir::toNativeSeparators(broken) + QStringLiteral("\r\n")));
    // The row is left without a picture, and the wizard cannot go on without one.
    QVERIFY(m_wizard->designPath().isEmpty());
    QVERIFY(child<QLabel>("lblDesign_0")->text().isEmpty());
    QVERIFY(child<QLabel>("lblSize1_0")->text().isEmpty());
    QCOMPARE(m_settings->ReadSetting(QStringLiteral("picDesignDir")), settingsBefore);
    QVERIFY(!child<QPushButton>("cmdNext")->isEnabled());
}

void TestWizard::rememberedFolders()
{
    QDir(m_dir->path()).mkpath(QStringLiteral("designs"));
    const QString design = picturefiles::write(m_dir->filePath(QStringLiteral("designs")), QStringLiteral("d.bmp"),
                                               picturefiles::encoded(patterned(30, 20), "BMP"));
    choose(0, design);
    QCOMPARE(m_settings->ReadSetting(QStringLiteral("picDesignDir")), m_dir->filePath(QStringLiteral("designs")));
    QVERIFY(m_settings->ReadSetting(QStringLiteral("picFieldDir")).isEmpty());

    choose(0, QString());
    QCOMPARE(m_prompts.asked.last().request.folder, m_dir->filePath(QStringLiteral("designs")));
    choose(1, QString());
    // The field source dialog keeps its own folder: none remembered yet.
    QCOMPARE(m_prompts.asked.last().request.folder, lumivex::document::samplesFolder());
    QVERIFY(m_prompts.asked.last().request.filter.startsWith(QStringLiteral("すべてのファイル(*.bmp *.jpg *.gif *.wmf")));
}

void TestWizard::numbers_data()
{
    QTest::addColumn<bool>("repeatWidth");  // otherwise the depth strength box
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("value");          // the wizard's value afterwards
    QTest::addColumn<QString>("message");    // empty: accepted

    const QString repeatRange = QStringLiteral("0～200までの数値を入力してください。");
    const QString depthRange = QStringLiteral("0～50までの数値を入力してください。");
    QTest::newRow("width 0") << true << "0" << 0 << QString();
    QTest::newRow("width 200") << true << "200" << 200 << QString();
    QTest::newRow("width 250")
        << true << "250" << 120 << QStringLiteral("繰り返し幅が大きすぎます。\r\n幅を200ピクセル以下にしてください。");
    QTest::newRow("width huge")
        << true << "99999999999999" << 120 << QStringLiteral("繰り返し幅が大きすぎます。\r\n幅を200ピクセル以下にしてください。");
    QTest::newRow("width empty") << true << "" << 120 << repeatRange;
    QTest::newRow("depth 1") << false << "1" << 1 << QString();
    QTest::newRow("depth 50") << false << "50" << 50 << QString();
    QTest::newRow("depth 0") << false << "0" << 20 << depthRange;
    QTest::newRow("depth empty") << false << "" << 20 << depthRange;
    QTest::newRow("depth 51")
        << false << "51" << 20 << QStringLiteral("立体度の数値が大きすぎます。\r\n数値を50以下にしてください。");
}

void TestWizard::numbers()
{
    QFETCH(bool, repeatWidth);
    QFETCH(QString, typed);
    QFETCH(int, value);
    QFETCH(QString, message);

    choosePair(300, 200, 120, 30);
    m_wizard->next();
    QCOMPARE(m_wizard->currentPage(), 1);
    auto *box = child<QLineEdit>(repeatWidth ? "txtKurikaesi" : "txtRittaido");
    box->setText(typed);
    if (repeatWidth)
        m_wizard->txtKurikaesiLostFocus();
    else
        m_wizard->txtRittaidoLostFocus();
    QCOMPARE(repeatWidth ? m_wizard->wizardResult().kurikaesi : m_wizard->wizardResult().rittaido, value);
    if (message.isEmpty()) {
        QVERIFY(exclamations().isEmpty());
        QCOMPARE(box->text(), typed);
        return;
    }
    QCOMPARE(exclamations(), QStringList{message});
    QVERIFY(box->text().isEmpty());
}

void TestWizard::keysTyped()
{
    choosePair(300, 200, 120, 30);
    m_wizard->next();
    auto *box = child<QLineEdit>("txtKurikaesi");
    QCOMPARE(box->text(), QStringLiteral("120"));
    box->setCursorPosition(3);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, QStringLiteral("a-5x"));
    QCOMPARE(box->text(), QStringLiteral("1205"));
    box->clear();
    QTest::keyClicks(box, QStringLiteral("64"));
    QCOMPARE(box->text(), QStringLiteral("64"));

    auto *next = child<QPushButton>("cmdNext");
    next->setEnabled(false);
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(next->isEnabled());
    QCOMPARE(box->text(), QStringLiteral("64"));
}

void TestWizard::numberBoxesTakeOnlyDigits()
{
    choosePair(300, 200, 120, 30);
    m_wizard->next();
    for (const char *name : {"txtKurikaesi", "txtRittaido"}) {
        auto *box = child<QLineEdit>(name);
        const QString before = box->text();
        box->setCursorPosition(int(before.size()));

        // The paste keys are discarded like every key that types no digit, whatever the
        // clipboard holds.
        for (const QString &held : {QStringLiteral("abc"), QStringLiteral("45")}) {
            QGuiApplication::clipboard()->setText(held);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
            QCOMPARE(box->text(), before);
        }
        QGuiApplication::clipboard()->clear();

        // Text that arrives by other ways (an input method, a drop, the X11 middle button's
        // selection paste, which inserts as insert() does) gets in only when it is all digits.
        for (const QString &commit : {QStringLiteral("abc"), QStringLiteral("１２")}) {
            QInputMethodEvent typed;
            typed.setCommitString(commit);
            QApplication::sendEvent(box, &typed);
        }
        QMimeData dragged;
        dragged.setText(QStringLiteral("9x"));
        QDropEvent drop(QPointF(box->rect().center()), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &drop);
        box->insert(QStringLiteral("-3"));
        QCOMPARE(box->text(), before);
        box->insert(QStringLiteral("7"));
        QCOMPARE(box->text(), before + QStringLiteral("7"));
    }
    QVERIFY(exclamations().isEmpty());
}

void TestWizard::focusLossChecksTheBox()
{
    choosePair(300, 200, 120, 30);
    m_wizard->show();
    QVERIFY(QTest::qWaitForWindowActive(m_wizard.get()));
    m_wizard->next();
    auto *box = child<QLineEdit>("txtKurikaesi");
    auto *next = child<QPushButton>("cmdNext");
    box->setFocus();
    box->setText(QStringLiteral("250"));
    QTest::keyClick(box, Qt::Key_Return);  // 次へ takes the focus: the box is checked
    QTRY_COMPARE(exclamations().size(), 1);
    QVERIFY(box->text().isEmpty());
    QTRY_VERIFY(box->hasFocus());

    // A click on 次へ leaves the emptied box: it is refused again and the page stays.
    QTest::mouseClick(next, Qt::LeftButton);
    QTest::qWait(20);
    QCOMPARE(exclamations(), QStringList({QStringLiteral("繰り返し幅が大きすぎます。\r\n幅を200ピクセル以下にしてください。"),
                                          QStringLiteral("0～200までの数値を入力してください。")}));
    QCOMPARE(m_wizard->currentPage(), 1);
    QTRY_VERIFY(box->hasFocus());

    // Enter with a good value: 次へ takes the focus and the value is taken without a word.
    QTest::keyClicks(box, QStringLiteral("90"));
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(next->hasFocus());
    QTRY_COMPARE(m_wizard->wizardResult().kurikaesi, 90);
    QCOMPARE(exclamations().size(), 2);
    QCOMPARE(m_wizard->currentPage(), 1);
    QTest::mouseClick(next, Qt::LeftButton);
    QTest::qWait(20);
    QCOMPARE(m_wizard->currentPage(), 2);
    QCOMPARE(m_wizard->wizardResult().kurikaesi, 90);
    QCOMPARE(exclamations().size(), 2);
}

void TestWizard::pagesAndSummary()
{
    choosePair(640, 480, 120, 30);
    auto *back = child<QPushButton>("cmdBack");
    auto *next = child<QPushButton>("cmdNext");
    auto *finish = child<QPushButton>("cmdCompreat");

    m_wizard->next();
    QCOMPARE(m_wizard->currentPage(), 1);
    QVERIFY(back->isEnabled() && next->isEnabled() && !finish->isEnabled());
    QCOMPARE(child<QLineEdit>("txtKurikaesi")->text(), QStringLiteral("120"));
    QCOMPARE(child<QLineEdit>("txtRittaido")->text(), QStringLiteral("20"));

    m_wizard->next();
    QCOMPARE(m_wizard->currentPage(), 2);
    QVERIFY(back->isEnabled() && !next->isEnabled() && finish->isEnabled());
    QCOMPARE(child<QLabel>("lblSize3_0")->text(), QStringLiteral("640×480　ピクセル"));
    QCOMPARE(child<QLabel>("lblSize3_1")->text(), QStringLiteral("120×30　ピクセル"));
    QCOMPARE(child<QLabel>("lblSize3_2")->text(), QStringLiteral("120　ピクセル"));
    QCOMPARE(child<QLabel>("lblSize3_3")->text(), QStringLiteral("20"));
    // Exactly one page is shown; the previews stay on every page.
    for (int i = 0; i < 3; ++i)
        QCOMPARE(m_wizard->findChild<QWidget *>(QStringLiteral("picContena_%1").arg(i))->isHidden(), i != 2);
    QVERIFY(!child<QLabel>("picD")->isHidden() && !child<QLabel>("picFmoto")->isHidden());

    m_wizard->back();
    m_wizard->back();
    QCOMPARE(m_wizard->currentPage(), 0);
    QVERIFY(!back->isEnabled() && next->isEnabled() && !finish->isEnabled());
    QVERIFY(!m_wizard->designPath().isEmpty() && !m_wizard->fieldSourcePath().isEmpty());
}

void TestWizard::leavingPageTwoTakesTheBoxes()
{
    choosePair(300, 200, 120, 30);
    m_wizard->next();
    child<QLineEdit>("txtKurikaesi")->setText(QStringLiteral("90"));
    child<QLineEdit>("txtRittaido")->setText(QStringLiteral("70"));
    m_wizard->next();
    // A refused value keeps the wizard on its page.
    QCOMPARE(m_wizard->currentPage(), 1);
    QCOMPARE(exclamations(), QStringList{QStringLiteral("立体度の数値が大きすぎます。\r\n数値を50以下にしてください。")});
    child<QLineEdit>("txtRittaido")->setText(QStringLiteral("35"));
    m_wizard->next();
    QCOMPARE(m_wizard->currentPage(), 2);
    QCOMPARE(m_wizard->wizardResult().kurikaesi, 90);
    QCOMPARE(m_wizard->wizardResult().rittaido, 35);
    QCOMPARE(child<QLabel>("lblSize3_2")->text(), QStringLiteral("90　ピクセル"));
}

void TestWizard::secondRunKeepsDepthStrength()
{
    m_start.rittaido = 0;  // none given yet
    m_wizard = std::make_unique<WizardDialog>(m_start, *m_settings, m_prompts, m_handOver);
    choosePair(300, 200, 120, 30);
    m_wizard->next();
    QCOMPARE(child<QLineEdit>("txtRittaido")->text(), QStringLiteral("20"));
    child<QLineEdit>("txtRittaido")->setText(QStringLiteral("33"));
    m_wizard->txtRittaidoLostFocus();
    m_wizard->reject();

    WizardDialog again(m_wizard->wizardResult(), *m_settings, m_prompts, m_handOver);
    m_prompts.files << file(QStringLiteral("d2.bmp"), patterned(50, 50)) << file(QStringLiteral("s2.bmp"), patterned(10, 10));
    again.browse(0);
    again.browse(1);
    again.next();
    QCOMPARE(again.findChild<QLineEdit *>(QStringLiteral("txtRittaido"))->text(), QStringLiteral("33"));
    QCOMPARE(again.findChild<QLineEdit *>(QStringLiteral("txtKurikaesi"))->text(), QStringLiteral("10"));
    QVERIFY(!again.wizardResult().finished);
}

void TestWizard::finishWritesTwoDistinctFiles()
{
    const QImage design = patterned(300, 200);
    const QImage source = patterned(64, 48);
    choose(0, file(QStringLiteral("design.bmp"), design));
    choose(1, file(QStringLiteral("source.bmp"), source));
    // Both names drawn alike: the second must not overwrite the first.
    QList<int> draws{48213, 48213, 10000};
    m_wizard->setNameDraw([&draws] { return draws.isEmpty() ? 99999 : draws.takeFirst(); });
    m_wizard->next();
    m_wizard->next();
    m_wizard->BuildFieldImage();

    QVERIFY(m_wizard->wizardResult().finished);
    QCOMPARE(m_wizard->result(), int(QDialog::Accepted));
    QCOMPARE(m_wizard->wizardResult().designTemp, QDir(m_handOver).filePath(QStringLiteral("TMP48213.bmp")));
    QCOMPARE(m_wizard->wizardResult().fieldTemp, QDir(m_handOver).filePath(QStringLiteral("TMP10000.bmp")));
    QCOMPARE(lumivex::picture::loadPicture(m_wizard->wizardResult().designTemp), design);
    const QImage field = lumivex::picture::loadPicture(m_wizard->wizardResult().fieldTemp);
    QCOMPARE(field.size(), design.size());
    QCOMPARE(field.pixel(299, 199), source.pixel(299 % 64, 199 % 48));
    QCOMPARE(field.pixel(64, 48), source.pixel(0, 0));
}

void TestWizard::finishFailureKeepsWizardOpen()
{
    choosePair(300, 200, 64, 48);
    m_wizard->next();
    m_wizard->next();
    // A hand-over folder that cannot take files: a plain file stands where it should be.
    QDir(m_handOver).removeRecursively();
    picturefiles::write(m_dir->path(), QStringLiteral("program"), QByteArray("x"));
    m_wizard->BuildFieldImage();

    QVERIFY(!m_wizard->wizardResult().finished);
    QVERIFY(m_wizard->wizardResult().designTemp.isEmpty() && m_wizard->wizardResult().fieldTemp.isEmpty());
    QCOMPARE(exclamations(),
             QStringList{QStringLiteral("一時ファイルを書き込めません。\r\n") + QDir::toNativeSeparators(m_handOver) + QStringLiteral("\r\nNot a directory")});
    QCOMPARE(m_wizard->currentPage(), 2);
    QVERIFY(child<QPushButton>("cmdCompreat")->isEnabled());

    // Once the folder is usable again the same choices finish.
    QFile::remove(m_handOver);
    QDir().mkpath(m_handOver);
    m_wizard->BuildFieldImage();
    QVERIFY(m_wizard->wizardResult().finished);
    QCOMPARE(QDir(m_handOver).entryList(QDir::Files).size(), 2);
}

void TestWizard::fieldImage_data()
{
    QTest::addColumn<QSize>("design");
    QTest::addColumn<QSize>("source");
    QTest::newRow("cut last column and row") << QSize(300, 200) << QSize(64, 64);
    QTest::newRow("whole tiles") << QSize(256, 256) << QSize(64, 64);
    QTest::newRow("source wider than design") << QSize(100, 80) << QSize(150, 30);
    QTest::newRow("one-row source") << QSize(1024, 768) << QSize(200, 1);
}

void TestWizard::fieldImage()
{
    QFETCH(QSize, design);
    QFETCH(QSize, source);

    const QImage tile = patterned(source.width(), source.height());
    const QImage field = lumivex::wizard::buildFieldImage(tile, design.width(), design.height());
    QCOMPARE(field.size(), design);
    for (int y = 0; y < design.height(); y += 7)
        for (int x = 0; x < design.width(); x += 5)
            QCOMPARE(field.pixel(x, y), tile.pixel(x % source.width(), y % source.height()));
    const int lastX = design.width() - 1;
    const int lastY = design.height() - 1;
    QCOMPARE(field.pixel(lastX, lastY), tile.pixel(lastX % source.width(), lastY % source.height()));
}

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
