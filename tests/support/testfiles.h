#pragma once

// Reading and writing whole files and single state-file keys, as the tests check them.

#include "document/docstate.h"
#include "document/inifile.h"
#include "document/words.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
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

/// The "key=value" lines of a state file, in file order, without the section line.
inline QStringList fileLines(const QString &path)
{
    QStringList lines;
    for (const QByteArray &raw : readBytes(path).split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('[')))
            lines.append(line);
    }
    return lines;
}

/// The "key=value" lines a state file written from the state holds, in file order.
inline QStringList stateLines(const lumivex::document::DocState &state, const QString &path)
{
    QStringList lines;
    for (const auto &[key, value] : state.entries(path))
        lines.append(key + QLatin1Char('=') + value);
    return lines;
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
