#include "testfiles.h"

#include "document/inifile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>

#include <sys/stat.h>

using namespace lumivex::document;

using testfiles::readBytes;
using testfiles::writeBytes;

namespace {

const QString kOurs = QString::fromLatin1(kSection);

// A file holding one key in our section, or the section alone when the value is null.
QByteArray oneKeyFile(const QString &raw)
{
    QByteArray bytes = "[Lumivex Ver.2]\nOther=1\n";
    if (!raw.isNull())
        bytes += "Key=" + raw.toUtf8() + "\n";
    return bytes;
}

} // namespace

class TstIniFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void lookup_data();
    void lookup();
    void write_data();
    void write();
    void readString_data();
    void readString();
    void readInt_data();
    void readInt();
    void readBool_data();
    void readBool();
    void windowsFiles_data();
    void windowsFiles();
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
    void unstorableEntryIsRefused_data();
    void unstorableEntryIsRefused();
    void failedWriteChangesNothing_data();
    void failedWriteChangesNothing();
    void unreadableFileIsKept_data();
    void unreadableFileIsKept();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstIniFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TstIniFile::lookup_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");

    QTest::newRow("names in another case") << "lumivex ver.2" << "picdesignpath" << true
                                           << "/a b/c.bmp";
    QTest::newRow("blanks around the key name") << kOurs << "PicDesignPath" << true
                                                << "/a b/c.bmp";
    QTest::newRow("value kept raw") << kOurs << "Mitudo" << true << " 40 ";
    QTest::newRow("value holding '='") << kOurs << "Path" << true << "a=b";
    QTest::newRow("commented key") << kOurs << "Kurikaesi" << false << "";
    QTest::newRow("key of another section") << kOurs << "Rittaido" << false << "";
    QTest::newRow("other section") << "OTHER" << "rittaido" << true << "5";
    QTest::newRow("key before any section") << kOurs << "top" << false << "";
    QTest::newRow("second copy of a section") << kOurs << "Extra" << false << "";
    QTest::newRow("missing section") << "Nowhere" << "Mitudo" << false << "";
}

void TstIniFile::lookup()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, found);
    QFETCH(QString, value);

    writeBytes(path("a.ini"), "top=outside\n"
                              "[Lumivex Ver.2]\n"
                              "  PicDesignPath  =/a b/c.bmp\n"
                              "Mitudo= 40 \n"
                              ";Kurikaesi=5\n"
                              "Path=a=b\n"
                              "[ Other ]\n"
                              "Rittaido=5\n"
                              "[LUMIVEX VER.2]\n"
                              "Extra=1\n");
    IniFile file;
    QVERIFY(file.load(path("a.ini")));
    QCOMPARE(file.contains(section, key), found);
    QCOMPARE(file.value(section, key, QStringLiteral("<none>")),
             found ? value : QStringLiteral("<none>"));
}

void TstIniFile::write_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QByteArray three = "; settings\n"
                             "[A]\n"
                             "x=1\n"
                             "\n"
                             "; about B\n"
                             "[B]\n"
                             "y=2\n"
                             "; trailing comment\n"
                             "\n"
                             "[C]\n"
                             "z=3\n";

    QTest::newRow("replace keeps the key's spelling")
        << QByteArray("[S]\n  MyKey = old\nnext=1\n") << "s" << "mykey" << "new"
        << QByteArray("[S]\n  MyKey =new\nnext=1\n");
    QTest::newRow("append into the middle section")
        << three << "b" << "k" << "v"
        << QByteArray("; settings\n[A]\nx=1\n\n; about B\n[B]\ny=2\nk=v\n; trailing comment\n"
                      "\n[C]\nz=3\n");
    QTest::newRow("append into the first section")
        << three << "A" << "k" << "v"
        << QByteArray("; settings\n[A]\nx=1\nk=v\n\n; about B\n[B]\ny=2\n; trailing comment\n"
                      "\n[C]\nz=3\n");
    QTest::newRow("append into the last section")
        << three << "C" << "k" << "v" << three + "k=v\n";
    QTest::newRow("section without keys")
        << QByteArray("[A]\n[B]\nz=1\n") << "A" << "k" << "v"
        << QByteArray("[A]\nk=v\n[B]\nz=1\n");
    QTest::newRow("new section at the end")
        << QByteArray("[A]\nx=1\n") << "N" << "k" << "v" << QByteArray("[A]\nx=1\n\n[N]\nk=v\n");
    QTest::newRow("new file") << QByteArray() << "N" << "k" << "v" << QByteArray("[N]\nk=v\n");
    QTest::newRow("empty value") << QByteArray("[N]\nk=old\n") << "N" << "K" << ""
                                 << QByteArray("[N]\nk=\n");
    QTest::newRow("no final line break")
        << QByteArray("[A]\nx=1") << "A" << "y" << "2" << QByteArray("[A]\nx=1\ny=2\n");
    QTest::newRow("value written unchanged")
        << QByteArray() << "N" << "k" << "  spaced = out  "
        << QByteArray("[N]\nk=  spaced = out  \n");
}

void TstIniFile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);

    if (!before.isNull())
        writeBytes(path("a.ini"), before);
    QVERIFY(iniWriteString(path("a.ini"), section, key, value));
    QCOMPARE(readBytes(path("a.ini")), after);
    QCOMPARE(iniReadString(path("a.ini"), section, key), iniCutValue(value));
}

void TstIniFile::readString_data()
{
    QTest::addColumn<QString>("raw"); // null: key missing
    QTest::addColumn<QString>("expected");

    const QString x300(300, u'x');
    QTest::newRow("blanks trimmed") << "  a b \t" << "a b";
    QTest::newRow("full-width space is text") << u"\u3000a\u3000"_qs << u"\u3000a\u3000"_qs;
    QTest::newRow("cut to 255") << x300 << x300.left(255);
    QTest::newRow("255 kept whole") << x300.left(255) << x300.left(255);
    QTest::newRow("cut, then trimmed")
        << QString(250, u'x') + QString(10, u' ') + "yyy" << QString(250, u'x');
    QTest::newRow("leading blanks not counted") << "   " + x300 << x300.left(255);
    QTest::newRow("no half character at the cut")
        << QString(254, u'a') + u"\U0001F600b"_qs << QString(254, u'a');
    QTest::newRow("missing key gives the default") << QString() << "dflt";
    QTest::newRow("empty value is not missing") << "" << "";
}

void TstIniFile::readString()
{
    QFETCH(QString, raw);
    QFETCH(QString, expected);

    writeBytes(path("a.ini"), oneKeyFile(raw));
    QCOMPARE(iniReadString(path("a.ini"), kOurs, "key", "dflt"), expected);
}

void TstIniFile::readInt_data()
{
    QTest::addColumn<QString>("raw"); // null: key missing
    QTest::addColumn<int>("expected");

    QTest::newRow("number") << "120" << 120;
    QTest::newRow("leading digits") << "120abc" << 120;
    QTest::newRow("no digits") << "abc" << 0;
    QTest::newRow("blanks around") << "  42 " << 42;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("sign is not a digit") << "-5" << 0;
    QTest::newRow("full-width digits are not digits") << u"\uFF11\uFF12"_qs << 0;
    QTest::newRow("beyond int") << "99999999999" << INT_MAX;
    QTest::newRow("empty value") << "" << 70;
    QTest::newRow("blank value") << "   " << 70;
    QTest::newRow("missing key") << QString() << 70;
}

void TstIniFile::readInt()
{
    QFETCH(QString, raw);
    QFETCH(int, expected);

    writeBytes(path("a.ini"), oneKeyFile(raw));
    QCOMPARE(iniReadInt(path("a.ini"), kOurs, "KEY", 70), expected);
    QCOMPARE(iniReadInt(path("missing.ini"), kOurs, "KEY", 70), 70);
}

void TstIniFile::readBool_data()
{
    QTest::addColumn<QString>("raw"); // null: key missing
    QTest::addColumn<bool>("fallback");
    QTest::addColumn<bool>("expected");

    QTest::newRow("True") << "True" << false << true;
    QTest::newRow("FALSE") << "FALSE" << true << false;
    QTest::newRow("true with blanks") << " true " << false << true;
    QTest::newRow("false with tabs") << "\tfalse\t" << true << false;
    QTest::newRow("zero") << "0" << true << false;
    QTest::newRow("minus one") << "-1" << false << true;
    QTest::newRow("two") << "2" << false << true;
    QTest::newRow("zero with fraction") << "0.0" << true << false;
    QTest::newRow("other word, default true") << "yes" << true << true;
    QTest::newRow("other word, default false") << "yes" << false << false;
    QTest::newRow("almost True") << "Truee" << false << false;
    QTest::newRow("digits then text") << "1x" << false << false;
    QTest::newRow("empty") << "" << true << true;
    QTest::newRow("missing") << QString() << false << false;
}

void TstIniFile::readBool()
{
    QFETCH(QString, raw);
    QFETCH(bool, fallback);
    QFETCH(bool, expected);

    writeBytes(path("a.ini"), oneKeyFile(raw));
    QCOMPARE(iniReadBool(path("a.ini"), kOurs, "Key", fallback), expected);
}

void TstIniFile::windowsFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("path");

    // 画像 and 表 in CP932; 表's second byte is 0x5C, the backslash.
    QTest::newRow("Shift-JIS, CRLF")
        << QByteArray("[Lumivex Ver.2]\r\nPicDesignPath=C:\\\x89\xe6\x91\x9c\\\x95\\.bmp\r\n"
                      "StereoName=RandomDot\r\n")
        << u"C:\\画像\\表.bmp"_qs;
    QTest::newRow("UTF-8 with BOM, CRLF")
        << QByteArray("\xEF\xBB\xBF[Lumivex Ver.2]\r\nPicDesignPath=/画像/表.bmp\r\n"
                      "StereoName=RandomDot\r\n")
        << u"/画像/表.bmp"_qs;
    QTest::newRow("UTF-8, LF")
        << QByteArray("[Lumivex Ver.2]\nPicDesignPath=/画像/表.bmp\nStereoName=RandomDot\n")
        << u"/画像/表.bmp"_qs;
}

void TstIniFile::windowsFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, path);

    writeBytes(this->path("a.lvd"), bytes);
    QCOMPARE(iniReadString(this->path("a.lvd"), kOurs, "PicDesignPath"), path);
    IniFile file;
    QVERIFY(file.load(this->path("a.lvd")));
    QCOMPARE(file.value(kOurs, "StereoName"), QStringLiteral("RandomDot")); // no stray CR
}

void TstIniFile::onlyRegularFilesAreRead_data()
{
    QTest::addColumn<QString>("special"); // "fifo": made here

    QTest::newRow("FIFO without a writer") << "fifo";
    QTest::newRow("endless device") << "/dev/zero";
}

void TstIniFile::onlyRegularFilesAreRead()
{
    QFETCH(QString, special);

    QString target = special;
    if (special == QLatin1String("fifo")) {
        target = path("a.lvd");
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    }
    // Opening a FIFO would wait for a writer for ever; a device would be read to the limit.
    IniFile file;
    QVERIFY(!file.load(target));
    QVERIFY(file.lines().isEmpty());
    QCOMPARE(iniReadString(target, kOurs, "PicDesignPath", "dflt"), QStringLiteral("dflt"));
    QCOMPARE(iniReadInt(target, kOurs, "Mitudo", 30), 30);
    QVERIFY(!iniWriteString(target, kOurs, "Mitudo", "40"));
    QVERIFY(QFileInfo::exists(target) && !QFileInfo(target).isFile());
}

void TstIniFile::unstorableEntryIsRefused_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("LF in value") << "PicDesignPath" << "/a\n[Evil]\nx=1";
    QTest::newRow("CR in value") << "PicDesignPath" << "/a\rb";
    QTest::newRow("CRLF in value") << "New" << "a\r\nb";
    QTest::newRow("LF in key") << "Pic\nDesignPath" << "/b";
    QTest::newRow("key with '='") << "a=b" << "c";
    QTest::newRow("empty key") << " " << "c";
    // Written, these would read back as a comment or a section header: the key would be lost.
    QTest::newRow("key starting with ';'") << ";Kurikaesi" << "5";
    QTest::newRow("key starting with '[' after blanks") << "  [Evil]" << "1";
}

void TstIniFile::unstorableEntryIsRefused()
{
    QFETCH(QString, key);
    QFETCH(QString, value);

    const QByteArray before = "[Lumivex Ver.2]\nPicDesignPath=/old.bmp\n";
    writeBytes(path("a.ini"), before);
    IniFile file;
    QVERIFY(file.load(path("a.ini")));
    const QStringList lines = file.lines();
    QVERIFY(!file.set(kOurs, key, value));
    QCOMPARE(file.lines(), lines);

    QVERIFY(!iniWriteString(path("a.ini"), kOurs, key, value));
    QCOMPARE(readBytes(path("a.ini")), before);
}

void TstIniFile::failedWriteChangesNothing_data()
{
    QTest::addColumn<QString>("where");

    QTest::newRow("folder missing") << "missing/a.ini";
    QTest::newRow("parent is a file") << "plain/a.ini";
    QTest::newRow("read-only folder") << "locked/a.ini";
}

void TstIniFile::failedWriteChangesNothing()
{
    QFETCH(QString, where);

    writeBytes(path("plain"), "not a folder");
    QVERIFY(QDir(m_dir->path()).mkdir("locked"));
    const QByteArray before = "[Lumivex Ver.2]\nMitudo=30\n";
    writeBytes(path("locked/a.ini"), before);
    QVERIFY(QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ExeOwner));
    const auto unlock = qScopeGuard([&] {
        QFile::setPermissions(path("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (where.startsWith("locked") && QFile(path("locked/probe")).open(QIODevice::WriteOnly))
        QSKIP("permissions are not enforced for this user");

    QVERIFY(!iniWriteString(path(where), kOurs, "Mitudo", "40"));
    QCOMPARE(iniReadInt(path(where), kOurs, "Mitudo", 0), where.startsWith("locked") ? 30 : 0);
    QCOMPARE(readBytes(path("locked/a.ini")), before);
    QCOMPARE(QDir(path("locked")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"a.ini"});
    QVERIFY(!QFileInfo::exists(path("missing")));
}

void TstIniFile::unreadableFileIsKept_data()
{
    QTest::addColumn<bool>("folder");

    QTest::newRow("a folder") << true;
    QTest::newRow("oversized file") << false;
}

void TstIniFile::unreadableFileIsKept()
{
    QFETCH(bool, folder);

    const QString target = path("a.ini");
    QByteArray big;
    if (folder) {
        QVERIFY(QDir(m_dir->path()).mkdir("a.ini"));
    } else {
        big = "[Lumivex Ver.2]\nMitudo=30\n" + QByteArray(IniFile::kMaxFileSize, ';');
        writeBytes(target, big);
    }
    QVERIFY(!iniWriteString(target, kOurs, "Mitudo", "40"));
    QCOMPARE(QFileInfo(target).isDir(), folder);
    if (!folder)
        QCOMPARE(readBytes(target), big);
}

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_inifile.moc"
