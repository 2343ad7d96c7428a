#pragma once

#include <QByteArray>
#include <QString>

namespace lumivex::picture {

/// A file name's bytes as text that turns back into the same bytes: valid UTF-8 is decoded,
/// and each byte that is not part of valid UTF-8 becomes a lone surrogate U+DC80..U+DCFF.
/// Qt's own decoding (QFile::decodeName, the command line's arguments) puts U+FFFD there, so
/// that a name such as "caf\xE9.png", usual on disks written under a Latin-1 locale, would
/// name another file.
QString decodeFileName(const QByteArray &bytes);

/// The bytes decodeFileName() took the name from: UTF-8, with each escaped byte as it was.
QByteArray encodeFileName(const QString &name);

/// Whether the name holds bytes that are not UTF-8, which Qt's file classes cannot reach.
bool hasEscapedBytes(const QString &name);

} // namespace lumivex::picture
