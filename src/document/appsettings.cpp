#include "appsettings.h"

#include "inifile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace lumivex::document {

QString programFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!folder.isEmpty())
        QDir().mkpath(folder);
    return folder;
}

QString shippedFolder()
{
    // Installed: <prefix>/bin/lumivex and <prefix>/share/lumivex.
    if (QCoreApplication::instance()) {
        const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath()
                                                  + QStringLiteral("/../share/lumivex"));
        if (QFileInfo(installed).isDir())
            return installed;
    }
    return QStringLiteral(LUMIVEX_SOURCE_RESOURCES);
}

QString samplesFolder()
{
    return shippedFolder() + QStringLiteral("/samples");
}

AppSettings::AppSettings(QString settingsFilePath)
    : m_path(settingsFilePath.isEmpty() ? programFolder() + QStringLiteral("/Lumivex2.lvs")
                                        : std::move(settingsFilePath))
{
}

QString AppSettings::ReadSetting(const QString &key) const
{
    return iniReadString(m_path, QString::fromLatin1(kSection), key);
}

bool AppSettings::WriteSetting(const QString &key, const QString &value) const
{
    return iniWriteString(m_path, QString::fromLatin1(kSection), key, value);
}

// Anything but "1" (a missing key, a hand-edited value) is off: these items change habits and
// stay off until the user turns them on.
bool AppSettings::readFlag(const char *key) const
{
    return ReadSetting(QString::fromLatin1(key)) == u"1";
}

bool AppSettings::writeFlag(const char *key, bool on) const
{
    return WriteSetting(QString::fromLatin1(key), on ? QStringLiteral("1") : QStringLiteral("0"));
}

QSize AppSettings::windowSize() const
{
    const QStringList parts = ReadSetting(QString::fromLatin1(kWindowSize)).split(u',');
    if (parts.size() != 2)
        return {};
    bool wide = false;
    bool high = false;
    const QSize size(parts.at(0).trimmed().toInt(&wide), parts.at(1).trimmed().toInt(&high));
    return wide && high && size.width() > 0 && size.height() > 0 ? size : QSize();
}

bool AppSettings::setWindowState(QSize size, bool maximized) const
{
    const bool sized = WriteSetting(QString::fromLatin1(kWindowSize),
                                    QStringLiteral("%1,%2").arg(size.width()).arg(size.height()));
    return writeFlag(kWindowMaximized, maximized) && sized;
}

QString FolderOfChosenFile(const QString &chosenPath)
{
    const qsizetype slash = chosenPath.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    QString folder = chosenPath.left(slash);
    // "/pics//a.bmp" is in /pics; a file in the root keeps the root as its folder.
    while (folder.endsWith(u'/'))
        folder.chop(1);
    return folder.isEmpty() ? QStringLiteral("/") : folder;
}

} // namespace lumivex::document
