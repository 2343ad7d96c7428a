#include "projectfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace lumivex::docwindow {

namespace {
const QString kExtension = QStringLiteral(".lvd");
}

QString projectFilter()
{
    return QCoreApplication::translate("ProjectFiles", "Vexmakerﾌｧｲﾙ(*.lvd)");
}

QString projectFolder(const QString &remembered)
{
    return remembered.isEmpty() ? QDir::homePath() : remembered;
}

QString projectTitle(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (name.endsWith(kExtension, Qt::CaseInsensitive))
        return name.chopped(kExtension.size());
    return name;
}

QString withProjectExtension(const QString &path)
{
    return path.endsWith(kExtension, Qt::CaseInsensitive) ? path : path + kExtension;
}

} // namespace lumivex::docwindow
