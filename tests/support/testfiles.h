#pragma once

// Reading and writing whole files and single state-file keys, as the tests check them.

#include "document/inifile.h"

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

} // namespace testfiles
