#include "instancelock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>

namespace lumivex::shell {

namespace {

const QString kLockName = QStringLiteral("running.lock");

void deleteTmpFiles(const QString &folder)
{
    QDir dir(folder);
    const QStringList names =
        dir.entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(path);
    }
}

} // namespace

InstanceLock::InstanceLock(const QString &programFolder)
    : m_programFolder(programFolder)
{
    m_stateFolder = m_programFolder + QStringLiteral("/session-")
        + QString::number(QCoreApplication::applicationPid());
    QDir().mkpath(m_stateFolder);
    m_lock = std::make_unique<QLockFile>(m_stateFolder + QLatin1Char('/') + kLockName);
    m_lock->setStaleLockTime(0);
    // A lock left in this folder by a crashed copy that had our process number is stale, and
    // tryLock takes it over.
    m_lock->tryLock(0);
}

InstanceLock::~InstanceLock() = default;

void InstanceLock::cleanUpAtQuit()
{
    deleteTmpFiles(m_stateFolder);
    deleteTmpFiles(m_programFolder);
    const QDir root(m_programFolder);
    const QStringList sessions = root.entryList({QStringLiteral("session-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : sessions) {
        const QString folder = root.filePath(name);
        if (folder == m_stateFolder)
            continue;
        QLockFile other(folder + QLatin1Char('/') + kLockName);
        other.setStaleLockTime(0);
        // A copy that still runs holds its lock; tryLock succeeds only on a missing lock or one
        // whose process has ended.
        if (!other.tryLock(0))
            continue;
        deleteTmpFiles(folder);
        other.unlock();
        QDir(folder).removeRecursively();
    }
}

} // namespace lumivex::shell
