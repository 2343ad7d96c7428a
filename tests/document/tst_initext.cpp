// Project and settings files keep the encoding and line ending they came with: a Shift-JIS file
// from Windows stays readable there, Notepad's UTF-16 stays UTF-16, and whatever we write reads
// back as written, also where the same bytes are valid Shift-JIS and valid UTF-8.
#include "testfiles.h"

#include "document/inifile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace lumivex::document;

Q_DECLARE_METATYPE(IniEncoding)
Q_DECLARE_METATYPE(IniLineEnding)

using testfiles::readBytes;
using testfiles::writeBytes;

namespace {

const QString kOurs = QString::fromLatin1(kSection);

// A plain reference for each stored form, apart from the code under test.
QByteArray stored(const QString &text, IniEncoding encoding)
{
    switch (encoding) {
    case IniEncoding::Utf8:
        return text.toUtf8();
    case IniEncoding::Utf8Bom:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case IniEncoding::ShiftJis: {
        QStringEncoder encoder("windows-31j");
        const QByteArray bytes = encoder(text);
        return encoder.hasError() ? QByteArray("<not Shift-JIS>") : bytes;
    }
    case IniEncoding::Utf16Le:
        return "\xFF\xFE" + QByteArray(QStringEncoder(QStringConverter::Utf16LE)(text));
    case IniEncoding::Utf16Be:
        return "\xFE\xFF" + QByteArray(QStringEncoder(QStringConverter::Utf16BE)(text));
    }
    return {};
}

QString fromShiftJis(const QByteArray &bytes)
{
    return QStringDecoder("windows-31j")(bytes);
}

} // namespace

class TstIniText : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void reading_data();
    void reading();
    void writingBack_data();
    void writingBack();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstIniText::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TstIniText::reading_data()
{
    QTest::addColumn<QByteArray>("value"); // bytes of the PicDesignPath value
    QTest::addColumn<QByteArray>("eol");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<IniEncoding>("encoding");

    using E = IniEncoding;
    // C3 BD is ﾃｽ in Shift-JIS and ý in UTF-8; C3 A9 is ﾃｩ and é, C3 BC is ﾃｼ and ü.
    QTest::newRow("ﾃｽ from Windows") << QByteArray("C:\\\xC3\xBD\\a.bmp") << QByteArray("\r\n")
                                     << u"C:\\ﾃｽ\\a.bmp"_qs << E::ShiftJis;
    QTest::newRow("ý from us") << QByteArray("/home/\xC3\xBD/a.bmp") << QByteArray("\n")
                               << u"/home/ý/a.bmp"_qs << E::Utf8;
    QTest::newRow("é and ü from us") << QByteArray("/home/Jos\xC3\xA9/M\xC3\xBCller.bmp")
                                     << QByteArray("\n") << u"/home/José/Müller.bmp"_qs << E::Utf8;
    QTest::newRow("CRLF reads as Windows reads it") << QByteArray("C:\\Jos\xC3\xA9.bmp")
                                                    << QByteArray("\r\n") << u"C:\\Josﾃｩ.bmp"_qs
                                                    << E::ShiftJis;
    // 画像\表: 表's second byte is the backslash; no UTF-8 reading exists.
    QTest::newRow("Shift-JIS, LF") << QByteArray("C:\\\x89\xe6\x91\x9c\\\x95\\.bmp")
                                   << QByteArray("\n") << u"C:\\画像\\表.bmp"_qs << E::ShiftJis;
    QTest::newRow("Japanese UTF-8 with CRLF (Notepad)") << u"/画像/ﾃｽ.bmp"_qs.toUtf8()
                                                         << QByteArray("\r\n")
                                                         << u"/画像/ﾃｽ.bmp"_qs << E::Utf8;
    // C2 93 would be the control character U+0093 in UTF-8; in Shift-JIS it is ﾂ and a kanji.
    QTest::newRow("no control characters in text, LF")
        << QByteArray("/\xC2\x93\x5C.bmp") << QByteArray("\n") << fromShiftJis("/\xC2\x93\x5C.bmp")
        << E::ShiftJis;
    QTest::newRow("UTF-8 with a stray byte") << u"/ホーム/画像.bmp"_qs.toUtf8() + "\xFF"
                                             << QByteArray("\n") << u"/ホーム/画像.bmp\uFFFD"_qs
                                             << E::Utf8;
    QTest::newRow("ASCII from Windows") << QByteArray("C:\\a.bmp") << QByteArray("\r\n")
                                        << u"C:\\a.bmp"_qs << E::ShiftJis;
    QTest::newRow("ASCII from us") << QByteArray("/a.bmp") << QByteArray("\n") << u"/a.bmp"_qs
                                   << E::Utf8;
}

void TstIniText::reading()
{
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, eol);
    QFETCH(QString, expected);
    QFETCH(IniEncoding, encoding);

    const QByteArray bytes = "[Lumivex Ver.2]" + eol + "PicDesignPath=" + value + eol
        + "Mitudo=40" + eol;
    writeBytes(path("a.lvd"), bytes);
    IniFile file;
    QVERIFY(file.load(path("a.lvd")));
    QCOMPARE(file.value(kOurs, "PicDesignPath"), expected);
    QCOMPARE(file.value(kOurs, "Mitudo"), QStringLiteral("40")); // no stray CR
    QCOMPARE(file.encoding(), encoding);
    QCOMPARE(file.lineEnding(), eol == "\n" ? IniLineEnding::Lf : IniLineEnding::CrLf);

    // The marked forms of the same text.
    const QString text = "[Lumivex Ver.2]\r\nPicDesignPath=" + expected + "\r\n";
    for (const IniEncoding marked : {IniEncoding::Utf8Bom, IniEncoding::Utf16Le,
                                     IniEncoding::Utf16Be}) {
        writeBytes(path("b.lvd"), stored(text, marked));
        QVERIFY(file.load(path("b.lvd")));
        QCOMPARE(file.value(kOurs, "PicDesignPath"), expected);
        QCOMPARE(file.encoding(), marked);
        QCOMPARE(file.lineEnding(), IniLineEnding::CrLf);
    }
}

void TstIniText::writingBack_data()
{
    QTest::addColumn<QString>("before"); // null: no file
    QTest::addColumn<IniEncoding>("beforeForm");
    QTest::addColumn<QString>("value");  // written to PicFieldPath
    QTest::addColumn<QString>("after");
    QTest::addColumn<IniEncoding>("afterForm");

    using E = IniEncoding;
    const QString windows = u"; コメント\r\n[Lumivex Ver.2]\r\nPicDesignPath=C:\\ﾃｽ\\a.bmp\r\n"_qs;
    const QString ascii = u"[Lumivex Ver.2]\r\nMitudo=30\r\n"_qs;
    const QString ours = u"[Lumivex Ver.2]\nPicDesignPath=/home/ý/a.bmp\n"_qs;
    const QString notepad = u"[Lumivex Ver.2]\r\nPicDesignPath=/画像/a.bmp\r\n"_qs;
    const QString kanjiKana = fromShiftJis("\xE0\xA0\xB1"); // as UTF-8, Samaritan U+0831

    QTest::newRow("Shift-JIS stays Shift-JIS")
        << windows << E::ShiftJis << u"C:\\画像\\表.bmp"_qs
        << windows + u"PicFieldPath=C:\\画像\\表.bmp\r\n"_qs << E::ShiftJis;
    QTest::newRow("Shift-JIS with LF gets CRLF")
        << u"[Lumivex Ver.2]\nPicDesignPath=C:\\画像\\a.bmp\n"_qs << E::ShiftJis << u"b"_qs
        << u"[Lumivex Ver.2]\r\nPicDesignPath=C:\\画像\\a.bmp\r\nPicFieldPath=b\r\n"_qs
        << E::ShiftJis;
    QTest::newRow("ASCII from Windows takes Shift-JIS")
        << ascii << E::Utf8 << u"C:\\画像.bmp"_qs << ascii + u"PicFieldPath=C:\\画像.bmp\r\n"_qs
        << E::ShiftJis;
    QTest::newRow("value not in Shift-JIS: the file becomes UTF-16")
        << windows << E::ShiftJis << u"C:\\José\\é.bmp"_qs
        << windows + u"PicFieldPath=C:\\José\\é.bmp\r\n"_qs << E::Utf16Le;
    QTest::newRow("Shift-JIS that would read as UTF-8 becomes UTF-16")
        << ascii << E::Utf8 << kanjiKana << ascii + "PicFieldPath=" + kanjiKana + "\r\n"
        << E::Utf16Le;
    QTest::newRow("Notepad's Unicode") << notepad << E::Utf16Le << u"é"_qs
                                       << notepad + u"PicFieldPath=é\r\n"_qs << E::Utf16Le;
    QTest::newRow("UTF-16 BE") << ours << E::Utf16Be << u"画"_qs
                               << ours + u"PicFieldPath=画\n"_qs << E::Utf16Be;
    // The Japanese path made the file UTF-8; without it the bytes would read as Shift-JIS.
    QTest::newRow("UTF-8 with CRLF gets a mark rather than read as Shift-JIS")
        << u"[Lumivex Ver.2]\r\nPicFieldPath=/画像/a.bmp\r\n"_qs << E::Utf8 << u"/home/ý/a.bmp"_qs
        << u"[Lumivex Ver.2]\r\nPicFieldPath=/home/ý/a.bmp\r\n"_qs << E::Utf8Bom;
    QTest::newRow("new file") << QString() << E::Utf8 << u"/home/ý/a.bmp"_qs
                              << u"[Lumivex Ver.2]\nPicFieldPath=/home/ý/a.bmp\n"_qs << E::Utf8;
}

void TstIniText::writingBack()
{
    QFETCH(QString, before);
    QFETCH(IniEncoding, beforeForm);
    QFETCH(QString, value);
    QFETCH(QString, after);
    QFETCH(IniEncoding, afterForm);

    if (!before.isNull())
        writeBytes(path("a.lvd"), stored(before, beforeForm));
    QVERIFY(iniWriteString(path("a.lvd"), kOurs, "PicFieldPath", value));
    QCOMPARE(readBytes(path("a.lvd")), stored(after, afterForm));

    // Read back as written, and written again unchanged.
    IniFile file;
    QVERIFY(file.load(path("a.lvd")));
    QCOMPARE(file.value(kOurs, "PicFieldPath"), value);
    QCOMPARE(file.encoding(), afterForm);
    QVERIFY(iniWriteString(path("a.lvd"), kOurs, "PicFieldPath", value));
    QCOMPARE(readBytes(path("a.lvd")), stored(after, afterForm));
}

QTEST_GUILESS_MAIN(TstIniText)
#include "tst_initext.moc"
