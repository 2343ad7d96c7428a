#pragma once

#include <QString>
#include <QStringList>

namespace lumivex::document {

/// The one section both of our INI files use.
inline constexpr char kSection[] = "Lumivex Ver.2";

/// A private-profile (INI) text file kept line by line, so that whatever else the file holds
/// (other sections, other keys, comments) is written back as it was.
///
/// Section and key names match without regard to case. Files are read as UTF-8, falling back to
/// Shift-JIS (CP932) for files made on Windows, with either line ending; they are written as
/// UTF-8 with the platform's line endings, atomically (a crash never leaves half a file).
///
/// Values cannot hold line breaks: set() refuses such a value and keeps the key's old line.
class IniFile
{
public:
    IniFile() = default;

    /// Reads the file; a missing or unreadable file gives an empty one. Returns whether it was read.
    bool load(const QString &path);
    /// Writes the whole file atomically. Returns false when it could not be written.
    bool save(const QString &path) const;

    /// The raw value, or nullptr-like empty optional when the section or key is missing.
    bool contains(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key, const QString &fallback = {}) const;

    /// Replaces the key's line, or appends it at the end of its section, creating the section at
    /// the end of the file when needed. Returns false (and changes nothing) for a value or key
    /// that holds a line break.
    bool set(const QString &section, const QString &key, const QString &value);

    QStringList lines() const { return m_lines; }

private:
    QStringList m_lines;
};

/// The profile calls the rest of the program relies on, each one reading or writing the file.

/// The value with the default when the file or key is missing; at most 255 characters, then
/// trimmed of leading and trailing blanks.
QString iniReadString(const QString &path, const QString &section, const QString &key,
                      const QString &fallback = {});
/// The leading decimal digits of the value (0 when it does not start with one); the default
/// when the file or key is missing.
int iniReadInt(const QString &path, const QString &section, const QString &key, int fallback);
/// "True"/"False" in any case, or a number (0 false, anything else true); the default when the
/// key is missing, and also for any other text.
bool iniReadBool(const QString &path, const QString &section, const QString &key, bool fallback);
/// Writes one key (creating file and section as needed). Returns false when refused or failed.
bool iniWriteString(const QString &path, const QString &section, const QString &key,
                    const QString &value);

/// Helpers for the same rules applied to an already read value.
QString iniCutValue(const QString &raw);          ///< 255-character cut, then trimmed
int iniLeadingInt(const QString &raw);            ///< leading decimal digits, 0 if none
bool iniBool(const QString &text, bool fallback); ///< the Boolean rule above
QString iniBoolText(bool value);                  ///< "True" or "False"

} // namespace lumivex::document
