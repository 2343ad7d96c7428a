#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lumivex::document {

/// How the text of an INI file is stored on disk.
enum class IniEncoding {
    Utf8,     ///< UTF-8 without a byte-order mark: the files we create
    Utf8Bom,  ///< UTF-8 with a byte-order mark
    ShiftJis, ///< CP932, the ANSI code page of Japanese Windows; always written with CRLF
    Utf16Le,  ///< UTF-16 little endian with a byte-order mark (Notepad's "Unicode")
    Utf16Be,  ///< UTF-16 big endian with a byte-order mark
};

enum class IniLineEnding { Lf, CrLf };

/// A file's text with the form it was stored in.
struct IniText
{
    QString text;
    IniEncoding encoding = IniEncoding::Utf8;
    IniLineEnding lineEnding = IniLineEnding::Lf;
};

/// Decodes the bytes of an INI file and tells how they were stored.
///
/// Which encoding a file without a byte-order mark has is decided like this:
///  1. A byte-order mark decides (UTF-8, UTF-16 LE, UTF-16 BE).
///  2. Pure ASCII is ASCII. It counts as Shift-JIS when its first line break is CRLF (made on
///     Windows, whose programs read the ANSI code page) and as UTF-8 otherwise; this only
///     matters for how a later non-ASCII value is written.
///  3. Bytes that decode under only one of UTF-8 and Shift-JIS are in that one.
///  4. Bytes valid in both: a decoding holding characters no real file holds (C1 controls,
///     private use) loses. Otherwise UTF-8 wins when all its non-ASCII characters are 3- or
///     4-byte sequences (Japanese in UTF-8; Shift-JIS text almost never forms those).
///     Otherwise (2-byte sequences such as é, ü, or ý, whose bytes C3 BD are also ﾃｽ in
///     Shift-JIS) the line ending decides: CRLF means Shift-JIS, as Windows reads the file,
///     LF means UTF-8, as we and Unix tools write it.
///  5. Bytes valid in neither are decoded the way that meets fewer invalid sequences.
/// encodeIniText never writes a file that this rule would read otherwise.
IniText decodeIniText(const QByteArray &bytes);

/// The lines as a file's bytes, each followed by the line ending, in the asked encoding where
/// the text reads back whole from it:
///  - Shift-JIS is written with CRLF; when a line does not fit in Shift-JIS (é, most of
///    Unicode) or the bytes would read back as UTF-8, the file becomes UTF-16 LE with a
///    byte-order mark, which the Windows profile functions read too (a UTF-8 mark would
///    break the first section header for them).
///  - UTF-8 without a mark gets one when the bytes would otherwise be read as Shift-JIS.
/// encoding is set to the encoding actually used.
QByteArray encodeIniText(const QStringList &lines, IniEncoding &encoding,
                         IniLineEnding lineEnding);

} // namespace lumivex::document
