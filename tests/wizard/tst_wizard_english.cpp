// The wizard in both languages: with English chosen every page and every message it shows is
// English (any Japanese left is named), with Japanese it is the program's own text; and which
// language the desktop and LUMIVEX_LANG choose.
#include "japanesetext.h"
#include "picturefiles.h"
#include "scriptedprompts.h"

#include "document/appsettings.h"
#include "prompts/prompts.h"
#include "shell/translations.h"
#include "wizard/wizarddialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using lumivex::shell::Language;
using lumivex::wizard::WizardDialog;

namespace {

const char kChildOption[] = "--chosen-language";

// The message boxes shown, as "title: text".
QStringList messages(const ScriptedPrompts &prompts)
{
    QStringList shown;
    for (const ScriptedPrompts::Asked &asked : prompts.asked) {
        if (asked.kind != u"file")
            shown << asked.title + QStringLiteral(": ") + asked.text;
    }
    return shown;
}

// The texts holding Japanese of each page, after the choices that fill it in.
struct PageTexts
{
    QStringList pages[3];
};

} // namespace

class TestWizardEnglish : public QObject
{
    Q_OBJECT

private slots:
    void english();
    void japanese();
    void chosenLanguage_data();
    void chosenLanguage();

private:
    PageTexts walkPages(ScriptedPrompts &prompts, const QString &handOver);
    QString picture(const QString &name, int width, int height);

    QTemporaryDir m_dir;
};

QString TestWizardEnglish::picture(const QString &name, int width, int height)
{
    return picturefiles::write(m_dir.path(), name,
                               picturefiles::encoded(picturefiles::bands(width, height, {qRgb(0, 0, 0), qRgb(255, 255, 255)}), "BMP"));
}

// Goes through the three pages as a user would, with every refusal the wizard has on the way,
// and ends with 完了 into a folder where nothing can be written.
PageTexts TestWizardEnglish::walkPages(ScriptedPrompts &prompts, const QString &handOver)
{
    PageTexts texts;
    lumivex::document::AppSettings settings(m_dir.filePath(QStringLiteral("Lumivex2.lvs")));
    WizardDialog wizard({}, settings, prompts, handOver);
    auto choose = [&](int index, const QString &path) {
        prompts.files << path;
        wizard.findChild<QPushButton *>(QStringLiteral("cmdSansyou_%1").arg(index))->click();
    };
    choose(0, picture(QStringLiteral("wide.bmp"), 1025, 4));
    choose(1, picture(QStringLiteral("widesource.bmp"), 201, 4));
    choose(0, picture(QStringLiteral("design.bmp"), 120, 40));
    choose(1, picture(QStringLiteral("source.bmp"), 60, 30));
    texts.pages[0] = japanesetext::japaneseTexts(&wizard);

    wizard.next();
    auto *repeat = wizard.findChild<QLineEdit *>(QStringLiteral("txtKurikaesi"));
    auto *depth = wizard.findChild<QLineEdit *>(QStringLiteral("txtRittaido"));
    texts.pages[1] = japanesetext::japaneseTexts(&wizard);
    for (const char *typed : {"300", ""}) {
        repeat->setText(QString::fromLatin1(typed));
        wizard.txtKurikaesiLostFocus();
    }
    for (const char *typed : {"60", "0"}) {
        depth->setText(QString::fromLatin1(typed));
        wizard.txtRittaidoLostFocus();
    }
    repeat->setText(QStringLiteral("55"));
    depth->setText(QStringLiteral("25"));
    wizard.next();
    texts.pages[2] = japanesetext::japaneseTexts(&wizard);
    if (wizard.currentPage() != 2)
        texts.pages[2] << QStringLiteral("(page 3 never shown)");
    wizard.BuildFieldImage();
    return texts;
}

void TestWizardEnglish::english()
{
    qputenv("LUMIVEX_LANG", "en");
    QCOMPARE(lumivex::shell::chosenLanguage(), Language::English);
    QCOMPARE(lumivex::shell::installTranslations(*qApp, lumivex::shell::chosenLanguage()), Language::English);

    ScriptedPrompts prompts;
    const PageTexts texts = walkPages(prompts, m_dir.filePath(QStringLiteral("no/such/folder")));
    for (int page = 0; page < 3; ++page)
        QVERIFY2(texts.pages[page].isEmpty(),
                 qPrintable(QStringLiteral("page %1: ").arg(page + 1) + texts.pages[page].join(QStringLiteral("; "))));
    // Both too-wide pictures, the two number boxes twice each and the unwritable folder.
    const QStringList shown = messages(prompts);
    QCOMPARE(shown.count(), 7);
    for (const QString &message : shown)
        QVERIFY2(!japanesetext::containsJapanese(message), qPrintable(message));
    QCOMPARE(shown.last(),
             QStringLiteral("Lumivex: Cannot write the temporary files to this folder:\r\n")
                 + QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("no/such/folder"))) + QStringLiteral("\r\nNo such file or directory"));

    QCOMPARE(lumivex::prompts::runtimeErrorText(53, QStringLiteral("Lumivex"), QStringLiteral("File not found.")),
             QStringLiteral("Error 53 occurred in Lumivex.\r\nFile not found."));
    // Qt's own buttons and the help page follow.
    QCOMPARE(QLocale().language(), QLocale::English);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Lumivex"), QStringLiteral("?"), QMessageBox::Yes | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Yes"));
    QCOMPARE(lumivex::shell::helpPageName(), QStringLiteral("Help/Help01_en.htm"));
    QVERIFY(QFileInfo::exists(lumivex::document::shippedFolder() + u'/' + lumivex::shell::helpPageName()));
}

void TestWizardEnglish::japanese()
{
    // Switching back takes the English out again.
    qputenv("LUMIVEX_LANG", "ja");
    QCOMPARE(lumivex::shell::installTranslations(*qApp), Language::Japanese);

    ScriptedPrompts prompts;
    const PageTexts texts = walkPages(prompts, m_dir.filePath(QStringLiteral("no/such/folder")));
    const QStringList expected[3] = {
        {QStringLiteral("Form2 (window title): カラーフィールド　ウィザード"),
         QStringLiteral("Form2/QWidget/picContena_0/QLabel (text): フィールド画像の元となる画像を指定してください..."),
         QStringLiteral("Form2/QWidget/picContena_0/cmdSansyou_0 (text): 参照"),
         QStringLiteral("Form2/QWidget/picContena_0/lblSize1_1 (text): 画像サイズ　60×30  ピクセル"),
         QStringLiteral("Form2/cmdBack (text): <  戻る"), QStringLiteral("Form2/cmdNext (text): 次へ >"),
         QStringLiteral("Form2/cmdCompreat (text): 完了"), QStringLiteral("Form2/cmdCancel (text): キャンセル")},
        {QStringLiteral("Form2/QWidget/picContena_1/QLabel (text): 立体度を指定してください。（0～50）")},
        {QStringLiteral("Form2/QWidget/picContena_2/lblSize3_0 (text): 120×40　ピクセル"),
         QStringLiteral("Form2/QWidget/picContena_2/lblSize3_2 (text): 55　ピクセル"),
         QStringLiteral("Form2/QWidget/picContena_2/QLabel (text): 以上でよろしければ、完了ボタンをクリックしてください。")},
    };
    for (int page = 0; page < 3; ++page) {
        for (const QString &text : expected[page])
            QVERIFY2(texts.pages[page].contains(text), qPrintable(text + QStringLiteral("\nnot in: ") + texts.pages[page].join(u'\n')));
    }
    const QStringList shown = messages(prompts);
    QCOMPARE(shown.count(), 7);
    QCOMPARE(shown.at(1), QStringLiteral("Lumivex: フィールド画像の元となる画像が大きすぎます。\r\n幅を200ピクセル以下にしてください。"));
    QCOMPARE(shown.at(3), QStringLiteral("Lumivex: 0～200までの数値を入力してください。"));
    QVERIFY(shown.last().startsWith(QStringLiteral("Lumivex: 一時ファイルを書き込めません。\r\n")));
    QCOMPARE(lumivex::prompts::runtimeErrorText(53, QStringLiteral("Lumivex"), QStringLiteral("x")),
             QStringLiteral("ｴﾗｰ番号  53Lumivex でｴﾗｰが発生しました。\r\nx"));
    QCOMPARE(QLocale().language(), QLocale::Japanese);
    QCOMPARE(lumivex::shell::helpPageName(), QStringLiteral("Help/Help01.htm"));
}

void TestWizardEnglish::chosenLanguage_data()
{
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("chosen");
    const auto row = [](const char *name, const char *environment, const char *chosen) {
        QTest::newRow(name) << QString::fromLatin1(environment).split(u' ', Qt::SkipEmptyParts) << QString::fromLatin1(chosen);
    };
    row("nothing set", "", "ja");
    row("American", "LANG=en_US.UTF-8", "en");
    row("British", "LANG=en_GB.UTF-8", "en");
    row("Japanese", "LANG=ja_JP.UTF-8", "ja");
    row("German", "LANG=de_DE.UTF-8", "ja");
    row("C", "LANG=C.UTF-8", "ja");
    row("LC_ALL over LANG", "LANG=ja_JP.UTF-8 LC_ALL=en_US.UTF-8", "en");
    row("LC_MESSAGES over LANG", "LANG=en_US.UTF-8 LC_MESSAGES=ja_JP.UTF-8", "ja");
    row("LANGUAGE first", "LANG=ja_JP.UTF-8 LANGUAGE=en_GB:ja", "en");
    row("ja over English desktop", "LANG=en_US.UTF-8 LUMIVEX_LANG=ja", "ja");
    row("en over Japanese desktop", "LANG=ja_JP.UTF-8 LUMIVEX_LANG=en", "en");
    row("en over C", "LANG=C LUMIVEX_LANG=en", "en");
    row("unknown override ignored", "LANG=en_US.UTF-8 LUMIVEX_LANG=fr", "en");
}

// The desktop's locale is read once per process: each row asks a child with its environment.
void TestWizardEnglish::chosenLanguage()
{
    QFETCH(QStringList, environment);
    QFETCH(QString, chosen);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_NUMERIC", "LUMIVEX_LANG"})
        env.remove(QString::fromLatin1(name));
    for (const QString &setting : std::as_const(environment))
        env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kChildOption)});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(QString::fromLatin1(child.readAllStandardOutput()).trimmed(), chosen);
}

int main(int argc, char *argv[])
{
    if (argc == 2 && qstrcmp(argv[1], kChildOption) == 0) {
        QCoreApplication app(argc, argv);
        std::puts(lumivex::shell::chosenLanguage() == Language::English ? "en" : "ja");
        return 0;
    }
    QApplication app(argc, argv);
    TestWizardEnglish test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wizard_english.moc"
