#pragma once

// Reading and writing whole files and single state-file keys, as the tests check them.

#include "document/inifile.h"
#include "document/words.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace testfiles {

/// The file's bytes, or empty when it cannot be read.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Writes the bytes, replacing the file; a failure fails the test.
inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

/// A key of our section as the program reads it, or "<missing>".
inline QString iniValue(const QString &path, const char *key)
{
    return lumivex::document::iniReadString(path, QString::fromLatin1(lumivex::document::kSection),
                                            QString::fromLatin1(key), QStringLiteral("<missing>"));
}

/// The words as a file or a posting gives them: a value of the table, or any other text.
inline lumivex::document::Word<lumivex::document::Mode> modeWord(const QString &text)
{
    return lumivex::document::Word<lumivex::document::Mode>::fromText(text);
}
inline lumivex::document::Word<lumivex::document::Colour> colourWord(const QString &text)
{
    return lumivex::document::Word<lumivex::document::Colour>::fromText(text);
}
inline lumivex::document::Word<lumivex::document::Command> commandWord(const QString &text)
{
    return lumivex::document::Word<lumivex::document::Command>::fromText(text);
}
inline lumivex::document::Word<lumivex::document::Source> sourceWord(const QString &text)
{
    return lumivex::document::Word<lumivex::document::Source>::fromText(text);
}

} // namespace testfiles
