#include "safefile.h"

#include "filenames.h"

#include <QFileDevice>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace lumivex::picture {

namespace {

// Qt's message where it set one (made from errno at the failure), else errno's own, else a
// plain statement: never "Unknown error".
QString reasonOf(const QFileDevice &file, int code)
{
    if (file.error() != QFileDevice::NoError && !file.errorString().isEmpty()
        && file.errorString() != QLatin1String("Unknown error"))
        return file.errorString();
    if (code != 0)
        return QString::fromLocal8Bit(std::strerror(code));
    return QStringLiteral("the file could not be written whole");
}

// Why the file could not be opened for writing. Qt's save file judges an existing file by its
// own test and says "Existing file … is not writable", which hides the system's reason (a
// read-only file system, a permission); the system is asked the same question here, of the
// file and then of its folder, and its answer given.
QString openFailure(const QFileDevice &file, int code)
{
    const QString path = file.fileName();
    for (const QString &name : {path, QFileInfo(path).absolutePath()}) {
        if (::access(encodeFileName(name).constData(), W_OK) != 0 && errno != ENOENT)
            return QString::fromLocal8Bit(std::strerror(errno));
    }
    return reasonOf(file, code);
}

} // namespace

bool writeWhole(QFileDevice &file, const char *data, qint64 size, QString *error)
{
    qint64 done = 0;
    while (done < size) {
        errno = 0;
        const qint64 written = file.write(data + done, size - done);
        if (written <= 0) {
            const int code = errno;
            if (error)
                *error = reasonOf(file, code);
            return false;
        }
        done += written;
    }
    return true;
}

SafeFile::SafeFile(const QString &path)
    : m_file(path)
{
}

SafeFile::~SafeFile() = default; // QSaveFile removes a temporary file that was not committed

bool SafeFile::open(OpenMode mode)
{
    if (isOpen() || (mode & (ReadOnly | Append)) || !(mode & WriteOnly)) {
        setErrorString(QStringLiteral("the file can only be written whole"));
        return false;
    }
    m_failed = false;
    // Unbuffered: every write reaches the file at once, so its failure is seen at that write.
    if (!m_file.open(WriteOnly | Unbuffered)) {
        setErrorString(openFailure(m_file, errno));
        return false;
    }
    return QIODevice::open(WriteOnly | Unbuffered);
}

bool SafeFile::commit()
{
    if (!isOpen())
        return false;
    QIODevice::close();
    if (!m_failed && m_file.handle() >= 0 && ::fsync(m_file.handle()) != 0 && errno != EINVAL) {
        // Space that a network or quota file system finds missing only now.
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (m_failed) {
        m_file.cancelWriting();
        m_file.commit(); // ends the write and removes the temporary file
        return false;
    }
    if (!m_file.commit())
        return fail(reasonOf(m_file, errno));
    return true;
}

void SafeFile::cancel()
{
    if (!isOpen())
        return;
    m_failed = true;
    if (errorString().isEmpty() || errorString() == QLatin1String("Unknown error"))
        setErrorString(QStringLiteral("the write was cancelled"));
    m_file.cancelWriting();
}

bool SafeFile::seek(qint64 pos)
{
    if (m_failed || !QIODevice::seek(pos))
        return false;
    if (!m_file.seek(pos))
        return fail(reasonOf(m_file, errno));
    return true;
}

qint64 SafeFile::size() const
{
    return m_file.size();
}

qint64 SafeFile::readData(char *, qint64)
{
    return -1;
}

qint64 SafeFile::writeData(const char *data, qint64 size)
{
    if (m_failed)
        return -1;
    QString reason;
    if (!writeWhole(m_file, data, size, &reason)) {
        fail(reason);
        return -1;
    }
    return size;
}

bool SafeFile::fail(const QString &reason)
{
    if (!m_failed) {
        m_failed = true;
        setErrorString(reason);
        m_file.cancelWriting();
    }
    return false;
}

bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error)
{
    SafeFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written && error)
        *error = file.errorString();
    return written;
}

} // namespace lumivex::picture
