#include "instancelock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>

namespace lumivex::shell {

namespace {

const QString kLockName = QStringLiteral("running.lock");

// The wizard's hand-over pictures: "TMP" followed by digits, ".bmp".
bool isHandOverPicture(const QString &name)
{
    if (!name.startsWith(QLatin1String("TMP")) || !name.endsWith(QLatin1String(".bmp")))
        return false;
    const QStringView digits = QStringView(name).sliced(3, name.size() - 7);
    return !digits.isEmpty()
        && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); });
}

void removeFile(const QString &path)
{
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QFile::remove(path);
}

// What older versions, or a crash of one, left in the program folder itself.
void removeLeftovers(const QString &folder)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*.tmp"), QStringLiteral("TMP*.bmp")},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (name.endsWith(QLatin1String(".tmp")) || isHandOverPicture(name))
            removeFile(dir.filePath(name));
    }
}

} // namespace

InstanceLock::InstanceLock(const QString &programFolder)
    : m_programFolder(programFolder)
{
    m_stateFolder = m_programFolder + QStringLiteral("/session-")
        + QString::number(QCoreApplication::applicationPid());
    m_lock = std::make_unique<QLockFile>(m_stateFolder + QLatin1Char('/') + kLockName);
    m_lock->setStaleLockTime(0);
    QDir().mkpath(m_stateFolder);
    // A lock left in this folder by a crashed copy that had our process number is stale, and
    // tryLock takes it over.
    m_lock->tryLock(0);
}

InstanceLock::~InstanceLock() = default;

QString InstanceLock::stateFolder() const
{
    // Gone after cleanUpAtQuit: whatever still comes (a window the quit did not close) gets a
    // locked folder again, so that no other copy takes its files for a dead copy's.
    if (!QFileInfo(m_stateFolder).isDir()) {
        QDir().mkpath(m_stateFolder);
        m_lock->tryLock(0);
    }
    return m_stateFolder;
}

void InstanceLock::cleanUpAtQuit()
{
    // Our own folder goes whole: unsaved documents' state files, and hand-over pictures of a
    // wizard finished just before the quit, which no document will load any more.
    m_lock->unlock();
    QDir(m_stateFolder).removeRecursively();
    removeLeftovers(m_programFolder);

    const QDir root(m_programFolder);
    const QStringList sessions =
        root.entryList({QStringLiteral("session-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : sessions) {
        const QString folder = root.filePath(name);
        QLockFile other(folder + QLatin1Char('/') + kLockName);
        other.setStaleLockTime(0);
        // A copy that still runs holds its lock; tryLock succeeds only on a missing lock or one
        // whose process has ended.
        if (!other.tryLock(0))
            continue;
        other.unlock();
        QDir(folder).removeRecursively();
    }
}

} // namespace lumivex::shell
