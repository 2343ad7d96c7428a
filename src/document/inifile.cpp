// Placeholder: replaced by the INI reader and writer.
#include "inifile.h"
namespace lumivex::document {
bool IniFile::load(const QString &) { return false; }
bool IniFile::save(const QString &) const { return false; }
bool IniFile::contains(const QString &, const QString &) const { return false; }
QString IniFile::value(const QString &, const QString &, const QString &fallback) const { return fallback; }
bool IniFile::set(const QString &, const QString &, const QString &) { return false; }
QString iniReadString(const QString &, const QString &, const QString &, const QString &f) { return f; }
int iniReadInt(const QString &, const QString &, const QString &, int f) { return f; }
bool iniReadBool(const QString &, const QString &, const QString &, bool f) { return f; }
bool iniWriteString(const QString &, const QString &, const QString &, const QString &) { return false; }
}
