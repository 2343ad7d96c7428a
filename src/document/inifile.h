#pragma once

#include "initext.h"

#include <QString>
#include <QStringList>

namespace lumivex::document {

/// The one section both of our INI files use.
inline constexpr char kSection[] = "Lumivex Ver.2";

/// A private-profile (INI) text file kept line by line, so that whatever else the file holds
/// (other sections, other keys, comments) is written back as it was.
///
/// Section and key names match without regard to case, and blanks around a key name in the file
/// are ignored. A line whose first non-blank character is ';' is a comment. Lines before the
/// first section header belong to no section. When a section or key occurs twice, the first
/// occurrence counts.
///
/// A file is written back in the form it was read in, so that a project saved on Windows stays
/// readable there: Shift-JIS (CP932, CRLF) as Shift-JIS with CRLF, UTF-16 with its byte-order
/// mark (Notepad's "Unicode") as the same, UTF-8 as UTF-8 with its line ending. New files are
/// UTF-8 with "\n". How a file without a byte-order mark is recognised, and what happens to a
/// value that does not fit in Shift-JIS (the file becomes UTF-16 LE), is in initext.h: in
/// short, a mark decides, then whichever of UTF-8 and Shift-JIS decodes the bytes validly and
/// plausibly, then UTF-8 if its non-ASCII characters are all 3- or 4-byte sequences, and
/// otherwise the line ending (CRLF: Shift-JIS, LF: UTF-8). What we write always reads back as
/// written (a UTF-8 file gets a mark when it would not). Writes are atomic (a crash never
/// leaves half a file), except for a file in a folder where no other file can be made: that
/// one is written in place.
///
/// Values cannot hold line breaks: set() refuses such a value and keeps the key's old line.
class IniFile
{
public:
    IniFile() = default;

    /// Maximum size of a file that load() accepts and that save() writes; anything larger is
    /// not an INI file of ours.
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    /// Reads the file and remembers its encoding and line ending. Only a regular file is read:
    /// a missing one, a folder, a FIFO or device (never opened, so never waited on), an
    /// unreadable or oversized file gives an empty one stored as UTF-8 with "\n". Returns
    /// whether it was read.
    bool load(const QString &path);
    /// Writes the whole file atomically, in the form load() found (see above). Returns false
    /// when it could not be written or would be larger than kMaxFileSize (load() would not read
    /// it back); the file on disk is then unchanged, and *error (when given) says why. A full
    /// disk never leaves a cut-short file. The folder is not created.
    bool save(const QString &path, QString *error = nullptr) const;

    /// The form of the file as load() found it (what save() starts from).
    IniEncoding encoding() const { return m_encoding; }
    IniLineEnding lineEnding() const { return m_lineEnding; }

    /// Whether the section holds the key.
    bool contains(const QString &section, const QString &key) const;
    /// The raw value (everything after the first '=', blanks included), or the fallback when
    /// the section or key is missing.
    QString value(const QString &section, const QString &key, const QString &fallback = {}) const;

    /// Replaces the value in the key's line, or appends "key=value" after the last key line of
    /// its section, creating the section at the end of the file when needed. Returns false (and
    /// changes nothing) for a section, key or value that holds a line break, and for names that
    /// could not be read back as such (empty, a key with '=' or starting with '[' or ';', a
    /// section with ']').
    bool set(const QString &section, const QString &key, const QString &value);
    /// Removes the key's line from the section, and any later line of the same key, which
    /// would otherwise take its place.
    void remove(const QString &section, const QString &key);

    /// The iniRead* rules applied to this file's contents (see the free functions below).
    QString readString(const QString &section, const QString &key,
                       const QString &fallback = {}) const;
    /// readString without the 255-character cut, for values that must survive whole (picture
    /// paths, which are longer than that on Linux).
    QString readLongString(const QString &section, const QString &key,
                           const QString &fallback = {}) const;
    int readInt(const QString &section, const QString &key, int fallback) const;
    bool readBool(const QString &section, const QString &key, bool fallback) const;

    QStringList lines() const { return m_lines; }

private:
    QStringList m_lines;
    IniEncoding m_encoding = IniEncoding::Utf8;
    IniLineEnding m_lineEnding = IniLineEnding::Lf;
};

// The profile calls the rest of the program relies on, each one reading or writing the file.
// Blanks are spaces and tabs only: a full-width space (U+3000) is text and is kept.

/// The value with the default when the file or key is missing; at most 255 characters, then
/// trimmed of leading and trailing blanks. Blanks around the value in the file do not count
/// towards the 255.
QString iniReadString(const QString &path, const QString &section, const QString &key,
                      const QString &fallback = {});
/// The leading decimal digits of the trimmed value (0 when it does not start with one, so a
/// sign gives 0; values beyond the int range give INT_MAX); the default when the file or key
/// is missing or the value is empty.
int iniReadInt(const QString &path, const QString &section, const QString &key, int fallback);
/// "True"/"False" in any case, or a number (0 false, anything else true), blanks around them
/// ignored; the default when the key is missing, and also for any other text.
bool iniReadBool(const QString &path, const QString &section, const QString &key, bool fallback);
/// Replaces the file with the bytes as IniFile::save() does: whole or not at all, or in place
/// when the file may be written but its folder may not take a temporary file.
bool writeIniBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);

/// Writes one key (creating file and section as needed, not the folder). Returns false when
/// refused or failed, with the system's reason in *error when there is one; the file is then
/// unchanged. An existing file that cannot be read is never overwritten.
bool iniWriteString(const QString &path, const QString &section, const QString &key,
                    const QString &value, QString *error = nullptr);

/// Helpers for the same rules applied to an already read value.
QString iniCutValue(const QString &raw);          ///< trimmed, 255-character cut, trimmed again
int iniLeadingInt(const QString &raw);            ///< leading decimal digits, 0 if none
bool iniBool(const QString &text, bool fallback); ///< the Boolean rule above
QString iniBoolText(bool value);                  ///< "True" or "False"

} // namespace lumivex::document
