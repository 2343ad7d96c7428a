#include "testfiles.h"

#include "document/docstate.h"
#include "document/inifile.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace lumivex::document;

Q_DECLARE_METATYPE(DocState)

using testfiles::readBytes;
using testfiles::writeBytes;

namespace {

// The 65 keys of a state file, in the order in which they are written.
const QStringList kTableKeys = {
    "FileNamePath", "PicDesignPath", "PicFieldPath", "PicStereoPath", "StereoName",
    "MONOorCOLOR", "KurikaesiHaba", "Rittaido", "Mitudo",
    "mnuFile", "mnuNew", "mnuWizard", "mnuFieldColor", "mnuColor", "mnuMono", "mnuOpen",
    "mnuSave", "mnuSaveName", "mnuSaveGazou", "mnuSaveDesign", "mnuSaveField",
    "mnuSaveStereo", "mnuClose", "mnuPrint", "mnuEnd", "mnujHensyuu", "mnuEditer",
    "mnuEditerChoice", "mnuEditerBoot", "mnuCut", "mnuCopy", "mnuPaste", "mnuClear", "mnuIns",
    "mnuInsDesign", "mnuInsField", "mnuInsStereo", "mnuConvert", "mnuConvStart",
    "mnuConvStop", "mnuConvExit", "mnuWindow", "mnuHelp", "mnuInfomation", "mnuSetumei",
    "knButtons1", "knButtons2", "knButtons3", "knButtons4", "knButtons5", "knButtons6",
    "knButtons7", "knButtons8", "knButtons9", "knButtons10", "knButtons11", "knButtons12",
    "knButtons13", "knButtons14", "knText0", "knText1", "knText2",
    "sldKurikaesiEnabled", "sldRittaidoEnabled", "sldMitudoEnabled",
};

// Keys of the file's lines, in order; header and other lines as they are.
QStringList keysOf(const QByteArray &bytes)
{
    QStringList keys;
    for (const QString &line : QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts))
        keys << line.section(u'=', 0, 0);
    return keys;
}

// A state that differs from the defaults everywhere; flip selects one of two opposite
// patterns of enabled states, so that every key is written both ways.
DocState unusualState(bool flip)
{
    DocState s;
    s.picDesignPath = QStringLiteral("/home/u/デザイン 1.bmp");
    s.picFieldPath = QStringLiteral("/home/u/field=2.bmp");
    s.picStereoPath = QStringLiteral("/home/u/stereo.bmp");
    s.stereoName = testfiles::modeWord(QStringLiteral("RandomDot"));
    s.monoOrColor = testfiles::colourWord(flip ? QStringLiteral("Mono") : QStringLiteral("Color"));
    s.kurikaesiHaba = flip ? 0 : 200;
    s.rittaido = flip ? 50 : 0;
    s.mitudo = flip ? 100 : 7;
    int i = 0;
    const auto next = [&] { return ((i++ * 7) % 5 < 2) != flip; };
    for (int c = 0; c < lumivex::document::kControlCount; ++c)
        s.controls.set(lumivex::document::Control(c), next());
    return s;
}

} // namespace

class TstDocState : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void missingFileGivesDefaults();
    void readsKeys_data();
    void readsKeys();
    void shiftJisProject();
    void longPicturePaths();
    void saveNeverOutgrowsTheReader_data();
    void saveNeverOutgrowsTheReader();
    void roundTrip_data();
    void roundTrip();
    void writesTableOrder();
    void rewriteKeepsOtherContent();
    void pathWithLineBreak();
    void failedWrite();
    void menuIndex();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstDocState::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TstDocState::missingFileGivesDefaults()
{
    for (const QString &name : {QStringLiteral("none.lvd"), QStringLiteral("empty.lvd")}) {
        if (name == "empty.lvd")
            writeBytes(path(name), "[Lumivex Ver.2]\n");
        const DocState s = readDocState(path(name));
        QVERIFY(s.picDesignPath.isEmpty() && s.picFieldPath.isEmpty()
                && s.picStereoPath.isEmpty());
        QCOMPARE(s.stereoName.text(), QStringLiteral("Field"));
        QCOMPARE(s.monoOrColor.text(), QStringLiteral("Field"));
        QCOMPARE(s.kurikaesiHaba, 70);
        QCOMPARE(s.rittaido, 20);
        QCOMPARE(s.mitudo, 30);
        for (int c = 0; c < lumivex::document::kControlCount; ++c)
            QVERIFY(s.controls[lumivex::document::Control(c)]);
    }
}

void TstDocState::readsKeys_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<DocState>("expected");

    const lumivex::document::Control save = *lumivex::document::controlNamed("mnuSave");
    const lumivex::document::Control edit = *lumivex::document::controlNamed("mnuHensyuu");
    DocState s;

    s.stereoName = testfiles::modeWord("RandomDot");
    QTest::newRow("mode without colour word") << QByteArray("StereoName=RandomDot\n") << s;
    s = {};
    s.kurikaesiHaba = 120;
    QTest::newRow("repeat width 120") << QByteArray("KurikaesiHaba=120\n") << s;
    s = {};
    s.rittaido = 999;
    s.mitudo = 0;
    QTest::newRow("numbers as stored, text gives 0") << QByteArray("Rittaido=999\nMitudo=x\n") << s;
    s = {};
    s.controls.set(save, false);
    QTest::newRow("mnuSave False") << QByteArray("mnuSave=False\n") << s;
    s = {};
    QTest::newRow("true with blanks") << QByteArray("mnuSave= true \n") << s;
    QTest::newRow("other words count as True") << QByteArray("mnuSave=maybe\n") << s;
    QTest::newRow("look-alike keys ignored")
        << QByteArray("Buttons1=False\nText1=False\nknButtons=False\nmnuHensyuu=False\n"
                      "FileNamePath=/elsewhere.lvd\n")
        << s;
    QTest::newRow("another section ignored")
        << QByteArray("[Other]\nMitudo=5\nmnuSave=False\n") << s;
    s.controls.set(edit, false);
    QTest::newRow("edit menu") << QByteArray("mnujHensyuu=False\n") << s;
    s = {};
    s.controls.set(lumivex::document::buttonControl(1), false);
    s.controls.set(lumivex::document::buttonControl(14), false);
    s.controls.set(lumivex::document::captionControl(0), false);
    s.controls.set(lumivex::document::captionControl(2), false);
    s.controls.set(lumivex::document::sliderControl(2), false);
    QTest::newRow("buttons, boxes, sliders")
        << QByteArray("knButtons1=0\nknButtons14=FALSE\nknText0=False\nknText2=false\n"
                      "sldMitudoEnabled=0\nknButtons2=-1\n")
        << s;
    s = {};
    s.monoOrColor = testfiles::colourWord("Color");
    s.controls.set(lumivex::document::buttonControl(3), false);
    QTest::newRow("names in another case")
        << QByteArray("monoorcolor=Color\nKNBUTTONS3=false\n") << s;
    s = {};
    s.designScaledWidth = 1024;
    s.stereoScaledWidth = 800;
    QTest::newRow("scaled widths") << QByteArray("DesignScaledWidth=1024\nstereoscaledwidth=800\n") << s;
    s = {};
    QTest::newRow("scaled widths beyond the window's")
        << QByteArray("DesignScaledWidth=4000\nStereoScaledWidth=-3\n") << s;
    s = {};
    QTest::newRow("depth inverted only by True") << QByteArray("InvertDepth=1\n") << s;
    s.invertDepth = true;
    QTest::newRow("depth inverted") << QByteArray("invertdepth=true\n") << s;
    s = {};
    s.picDesignPath = "/a b/c.bmp";
    s.monoOrColor = testfiles::colourWord("");
    QTest::newRow("blanks trimmed, empty kept")
        << QByteArray("PicDesignPath=  /a b/c.bmp \nMONOorCOLOR=\n") << s;
}

void TstDocState::readsKeys()
{
    QFETCH(QByteArray, body);
    QFETCH(DocState, expected);

    writeBytes(path("a.lvd"), "[Lumivex Ver.2]\n" + body);
    QVERIFY(readDocState(path("a.lvd")) == expected);
}

void TstDocState::shiftJisProject()
{
    // A project file as saved on Japanese Windows: CP932 text, CRLF lines.
    writeBytes(path("win.lvd"),
               "[Lumivex Ver.2]\r\n"
               "FileNamePath=C:\\\x89\xe6\x91\x9c\\a.lvd\r\n"          // C:\画像\a.lvd
               "PicDesignPath=C:\\\x89\xe6\x91\x9c\\\x95\\.bmp\r\n"    // C:\画像\表.bmp
               "PicFieldPath=\r\n"
               "StereoName=RandomDot\r\n"
               "MONOorCOLOR=Color\r\n"
               "KurikaesiHaba=85\r\n"
               "mnuSave=False\r\n"
               "sldMitudoEnabled=False\r\n");
    DocState expected;
    expected.picDesignPath = QString::fromUtf8("C:\\画像\\表.bmp");
    expected.stereoName = testfiles::modeWord("RandomDot");
    expected.monoOrColor = testfiles::colourWord("Color");
    expected.kurikaesiHaba = 85;
    expected.controls.set(*lumivex::document::controlNamed("mnuSave"), false);
    expected.controls.set(lumivex::document::sliderControl(2), false);
    QVERIFY(readDocState(path("win.lvd")) == expected);

    // Saved again here, it stays a file that Windows reads: Shift-JIS, CRLF, no mark.
    expected.picFieldPath = QString::fromUtf8("C:\\画像\\ﾌｨｰﾙﾄﾞ.bmp");
    expected.mitudo = 45;
    QVERIFY(writeDocState(path("win.lvd"), expected));
    const QByteArray bytes = readBytes(path("win.lvd"));
    QStringDecoder shiftJis("windows-31j");
    const QString text = shiftJis(bytes);
    QVERIFY(!shiftJis.hasError());
    QVERIFY(text.startsWith(QLatin1String("[Lumivex Ver.2]\r\n")));
    QCOMPARE(text.count(QLatin1String("\r\n")), 1 + kTableKeys.size());
    QCOMPARE(text.count(u'\n'), 1 + kTableKeys.size());
    QVERIFY(text.contains(QString::fromUtf8("PicFieldPath=C:\\画像\\ﾌｨｰﾙﾄﾞ.bmp\r\n")));
    QVERIFY(readDocState(path("win.lvd")) == expected);
}

void TstDocState::longPicturePaths()
{
    // Linux paths reach 4095 bytes; Windows ones stop at 259 characters.
    DocState state;
    state.picDesignPath = "/" + QString(300, u'd') + QString::fromUtf8("/デザイン 1.bmp");
    state.picFieldPath = "/" + QString(4000, u'f') + ".bmp";
    state.picStereoPath = "/" + QString(254, u's') + ".bmp";
    state.monoOrColor = testfiles::colourWord(QString(300, u'c'));
    QVERIFY(writeDocState(path("a.lvd"), state));

    DocState expected = state;
    expected.monoOrColor = testfiles::colourWord(QString(255, u'c')); // stored files rely on the cut elsewhere
    QVERIFY(readDocState(path("a.lvd")) == expected);
}

void TstDocState::saveNeverOutgrowsTheReader_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("design");
    QTest::addColumn<bool>("saved");

    const QByteArray lf = "[Lumivex Ver.2]\nMitudo=44\n[Notes]\n;";
    QTest::newRow("UTF-8 file just under the limit")
        << lf + QByteArray(IniFile::kMaxFileSize - lf.size() - 200, 'x') + "\n" << "/a.bmp"
        << false;
    // 2.5 MiB of Shift-JIS become 5 MiB of UTF-16 when a value does not fit.
    const QByteArray crlf = "[Lumivex Ver.2]\r\nMitudo=44\r\n[Notes]\r\n;\x89\xe6\x91\x9c";
    const QByteArray windows = crlf + QByteArray(5 * IniFile::kMaxFileSize / 8, 'x') + "\r\n";
    QTest::newRow("Shift-JIS file that would become UTF-16") << windows << "C:\\José.bmp"
                                                             << false;
    QTest::newRow("Shift-JIS file that stays Shift-JIS") << windows << u"C:\\画像.bmp"_qs
                                                         << true;
}

void TstDocState::saveNeverOutgrowsTheReader()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, design);
    QFETCH(bool, saved);

    writeBytes(path("a.lvd"), before);
    DocState state;
    state.picDesignPath = design;
    state.mitudo = 55;
    QCOMPARE(writeDocState(path("a.lvd"), state), saved);
    // What was saved opens again; what could not be is left as it was, still readable.
    const DocState read = readDocState(path("a.lvd"));
    QCOMPARE(read.mitudo, saved ? 55 : 44);
    QCOMPARE(read.picDesignPath, saved ? design : QString());
    if (!saved)
        QCOMPARE(readBytes(path("a.lvd")), before);
    QVERIFY(QFileInfo(path("a.lvd")).size() <= IniFile::kMaxFileSize);
}

void TstDocState::roundTrip_data()
{
    QTest::addColumn<bool>("flip");
    QTest::newRow("pattern") << false;
    QTest::newRow("opposite pattern") << true;
}

void TstDocState::roundTrip()
{
    QFETCH(bool, flip);

    const DocState state = unusualState(flip);
    QVERIFY(writeDocState(path("a.lvd"), state));
    QVERIFY(readDocState(path("a.lvd")) == state);
    QCOMPARE(iniReadString(path("a.lvd"), kSection, "FileNamePath"), path("a.lvd"));

    // A scaled width is written for a picture that has a path only, and goes again at 0;
    // InvertDepth is written when true only.
    DocState scaled = state;
    scaled.invertDepth = !flip;
    scaled.designScaledWidth = flip ? 0 : 1024;
    scaled.stereoScaledWidth = 1000;
    if (flip)
        scaled.picStereoPath.clear();
    QVERIFY(writeDocState(path("a.lvd"), scaled));
    if (flip)
        scaled.stereoScaledWidth = 0;
    QVERIFY(readDocState(path("a.lvd")) == scaled);
    QCOMPARE(readBytes(path("a.lvd")).count("ScaledWidth="), flip ? 0 : 2);
    QCOMPARE(readBytes(path("a.lvd")).count("InvertDepth=True"), flip ? 0 : 1);
    QVERIFY(writeDocState(path("a.lvd"), state));
    QVERIFY(!readBytes(path("a.lvd")).contains("ScaledWidth"));
    QVERIFY(!readBytes(path("a.lvd")).contains("InvertDepth"));
}

void TstDocState::writesTableOrder()
{
    DocState state = unusualState(false);
    QVERIFY(writeDocState(path("a.lvd"), state));
    const QByteArray bytes = readBytes(path("a.lvd"));
    QCOMPARE(keysOf(bytes), QStringList{"[Lumivex Ver.2]"} + kTableKeys);
    QVERIFY(!bytes.contains('\r') && !bytes.startsWith("\xEF\xBB\xBF")); // a new file: UTF-8, "\n"

    const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    QCOMPARE(lines[1], "FileNamePath=" + path("a.lvd"));
    QCOMPARE(lines[7], QStringLiteral("KurikaesiHaba=200"));
    QCOMPARE(lines[10], state.controls[lumivex::document::Control::mnuFile] ? QStringLiteral("mnuFile=True")
                                       : QStringLiteral("mnuFile=False"));
}

void TstDocState::rewriteKeepsOtherContent()
{
    const QByteArray other = "; made by hand\n[Other]\nMitudo=5\n\n";
    writeBytes(path("a.lvd"), other + "[Lumivex Ver.2]\nmitudo=99\nUnknown=kept\n");

    const DocState state = unusualState(true);
    QVERIFY(writeDocState(path("a.lvd"), state));
    QVERIFY(writeDocState(path("a.lvd"), state)); // a second write adds nothing

    const QByteArray bytes = readBytes(path("a.lvd"));
    QVERIFY(bytes.startsWith(other));
    QStringList keys = keysOf(bytes.mid(other.size()));
    QCOMPARE(keys.size(), 1 + kTableKeys.size() + 1);
    QCOMPARE(keys.takeFirst(), QStringLiteral("[Lumivex Ver.2]"));
    QCOMPARE(keys.takeFirst(), QStringLiteral("mitudo")); // replaced in place
    QCOMPARE(keys.takeFirst(), QStringLiteral("Unknown"));
    QVERIFY(readDocState(path("a.lvd")) == state);
    QCOMPARE(iniReadInt(path("a.lvd"), "Other", "Mitudo", 0), 5);
}

void TstDocState::pathWithLineBreak()
{
    DocState state;
    state.picDesignPath = "/old.bmp";
    QVERIFY(writeDocState(path("a.lvd"), state));

    state.picDesignPath = "/new\n[Lumivex Ver.2]\nMitudo=1.bmp";
    state.mitudo = 44;
    QVERIFY(!writeDocState(path("a.lvd"), state)); // reported ...

    const DocState read = readDocState(path("a.lvd"));
    QCOMPARE(read.picDesignPath, QString()); // ... never the old picture's path
    QCOMPARE(read.mitudo, 44);               // the rest is written
    QCOMPARE(keysOf(readBytes(path("a.lvd"))).size(), 1 + kTableKeys.size());
}

void TstDocState::failedWrite()
{
    QVERIFY(!writeDocState(path("missing/a.lvd"), unusualState(false)));
    QVERIFY(!QFileInfo::exists(path("missing")));
}

void TstDocState::menuIndex()
{
    using namespace lumivex::document;
    const auto index = [](const char *name) {
        const std::optional<Control> control = controlNamed(QString::fromLatin1(name));
        return control ? int(*control) : -1;
    };
    QCOMPARE(index("mnuFile"), 0);
    QCOMPARE(index("mnuSetumei"), kMenuControlCount - 1);
    QCOMPARE(index("mnuHensyuu"), index("mnujHensyuu"));
    QCOMPARE(index("mnuHensyuu"), kTableKeys.indexOf("mnujHensyuu") - 9);
    QCOMPARE(index("mnuBogus"), -1);
    QCOMPARE(controlName(Control::mnuHensyuu), QStringLiteral("mnuHensyuu"));
    for (int c = 0; c < kControlCount; ++c)
        QCOMPARE(controlKey(Control(c)), kTableKeys.at(9 + c));
}

QTEST_GUILESS_MAIN(TstDocState)
#include "tst_docstate.moc"
