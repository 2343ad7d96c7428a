// Placeholder: replaced by the settings file.
#include "appsettings.h"
#include <QStandardPaths>
#include <QDir>
namespace lumivex::document {
QString programFolder() { QString p = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); QDir().mkpath(p); return p; }
QString shippedFolder() { return QStringLiteral(LUMIVEX_SOURCE_RESOURCES); }
QString samplesFolder() { return shippedFolder() + QStringLiteral("/samples"); }
AppSettings::AppSettings(QString p) : m_path(std::move(p)) {}
QString AppSettings::ReadSetting(const QString &) const { return {}; }
bool AppSettings::WriteSetting(const QString &, const QString &) const { return false; }
QString FolderOfChosenFile(const QString &) { return {}; }
}
