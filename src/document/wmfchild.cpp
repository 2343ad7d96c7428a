// Runs the metafile renderer in a forked child. libwmf is old C code that trusts its input; a
// metafile that makes it crash, spin or eat memory must cost only the child, never the document.

#include "wmfpicture.h"

#include <QDeadlineTimer>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumivex::document {

namespace {

std::atomic<int> timeLimitMs{20000};

// What the child writes first: a status word, then the size and the rows, or the reason.
struct Reply
{
    qint32 ok = 0;
    qint32 width = 0;
    qint32 height = 0;
    qint32 reasonBytes = 0;
};

bool writeAll(int fd, const void *buffer, qsizetype length)
{
    const auto *bytes = static_cast<const char *>(buffer);
    while (length > 0) {
        const ssize_t n = ::write(fd, bytes, static_cast<size_t>(length));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        length -= n;
    }
    return true;
}

[[noreturn]] void runChild(int fd, const QByteArray &data, int timeLimitMs)
{
    std::signal(SIGPIPE, SIG_IGN);
    // Die quietly and without a core file when the library crashes: the parent reports it.
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        std::signal(sig, SIG_DFL);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    QString reason;
    const QImage image = renderWmfInProcess(data, &reason, timeLimitMs);
    Reply reply;
    bool written = false;
    if (image.isNull()) {
        const QByteArray text = reason.toUtf8().left(200);
        reply.reasonBytes = static_cast<qint32>(text.size());
        written = writeAll(fd, &reply, sizeof reply) && writeAll(fd, text.constData(), text.size());
    } else {
        reply.ok = 1;
        reply.width = image.width();
        reply.height = image.height();
        written = writeAll(fd, &reply, sizeof reply);
        for (int y = 0; written && y < image.height(); ++y)
            written = writeAll(fd, image.constScanLine(y), qsizetype(image.width()) * 4);
    }
    ::close(fd);
    // _exit: the child shares the parent's open files and Qt state; it must not tear them down.
    ::_exit(written ? 0 : 1);
}

// Reads exactly length bytes before the deadline. Returns false on end of data, error or time-out
// (timedOut tells which).
bool readAll(int fd, void *buffer, qsizetype length, const QDeadlineTimer &deadline, bool &timedOut)
{
    auto *bytes = static_cast<char *>(buffer);
    while (length > 0) {
        const qint64 left = deadline.remainingTime();
        if (left == 0) {
            timedOut = true;
            return false;
        }
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(qMin<qint64>(left, 1000)));
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(fd, bytes, static_cast<size_t>(qMin<qsizetype>(length, 1 << 20)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        length -= n;
    }
    return true;
}

QImage readReply(int fd, const QDeadlineTimer &deadline, bool &timedOut, QString &reason)
{
    Reply reply;
    if (!readAll(fd, &reply, sizeof reply, deadline, timedOut))
        return {};
    if (!reply.ok) {
        QByteArray text(qBound(0, reply.reasonBytes, 200), '\0');
        if (readAll(fd, text.data(), text.size(), deadline, timedOut))
            reason = QString::fromUtf8(text);
        return {};
    }
    if (reply.width <= 0 || reply.height <= 0 || reply.width > kMaxWmfSide
        || reply.height > kMaxWmfSide || qint64(reply.width) * reply.height > kMaxPicturePixels)
        return {};
    QImage image(reply.width, reply.height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < image.height(); ++y) {
        if (!readAll(fd, image.scanLine(y), qsizetype(image.width()) * 4, deadline, timedOut))
            return {};
    }
    return image;
}

} // namespace

void setWmfTimeLimit(int milliseconds)
{
    timeLimitMs = qMax(1, milliseconds);
}

QImage renderWmf(const QByteArray &data, QString *error)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return QImage();
    };
    if (!looksLikeWmf(data))
        return fail(QStringLiteral("not a Windows metafile"));

    const int limit = timeLimitMs.load();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return fail(QStringLiteral("cannot start the metafile renderer"));
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return fail(QStringLiteral("cannot start the metafile renderer"));
    }
    if (pid == 0) {
        ::close(fds[0]);
        // The renderer's own limit comes first, so that the child normally gives its reason.
        runChild(fds[1], data, limit * 3 / 4);
    }
    ::close(fds[1]);

    const QDeadlineTimer deadline(limit);
    bool timedOut = false;
    QString reason;
    QImage image = readReply(fds[0], deadline, timedOut, reason);
    ::close(fds[0]);
    if (timedOut || image.isNull())
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }

    if (timedOut)
        return fail(QStringLiteral("the metafile took too long to render"));
    if (!image.isNull())
        return image;
    if (!reason.isEmpty())
        return fail(reason);
    return fail(QStringLiteral("damaged metafile (the renderer failed)"));
}

} // namespace lumivex::document
