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

// What the child writes first: the outcome and the size, then the rows, or the reason.
struct Reply
{
    qint32 problem = 0; // a PictureProblem
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

[[noreturn]] void runChild(int fd, const QByteArray &data, int maxWidth, int timeLimitMs)
{
    std::signal(SIGPIPE, SIG_IGN);
    // Die quietly and without a core file when the library crashes: the parent reports it.
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        std::signal(sig, SIG_DFL);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    const LoadedPicture result = renderWmfInProcess(data, maxWidth, timeLimitMs);
    Reply reply;
    reply.problem = static_cast<qint32>(result.problem);
    reply.width = result.size.width();
    reply.height = result.size.height();
    bool written = false;
    if (!result.ok()) {
        const QByteArray text = result.reason.toUtf8().left(200);
        reply.reasonBytes = static_cast<qint32>(text.size());
        written = writeAll(fd, &reply, sizeof reply) && writeAll(fd, text.constData(), text.size());
    } else {
        const QImage &image = result.image;
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

// The child's outcome; a damaged or missing reply leaves result.problem at Damaged with no reason.
bool readReply(int fd, const QDeadlineTimer &deadline, bool &timedOut, LoadedPicture &result)
{
    result.problem = PictureProblem::Damaged;
    Reply reply;
    if (!readAll(fd, &reply, sizeof reply, deadline, timedOut))
        return false;
    const auto problem = static_cast<PictureProblem>(reply.problem);
    if (reply.problem < 0 || problem > PictureProblem::TooLarge)
        return false;
    if (reply.width >= 0 && reply.height >= 0)
        result.size = QSize(reply.width, reply.height);
    if (problem != PictureProblem::None) {
        QByteArray text(qBound(0, reply.reasonBytes, 200), '\0');
        if (!readAll(fd, text.data(), text.size(), deadline, timedOut))
            return false;
        result.problem = problem;
        result.reason = QString::fromUtf8(text);
        return true;
    }
    if (reply.width <= 0 || reply.height <= 0 || reply.width > kMaxWmfSide
        || reply.height > kMaxWmfSide || qint64(reply.width) * reply.height > kMaxPicturePixels)
        return false;
    QImage image(reply.width, reply.height, QImage::Format_RGB32);
    if (image.isNull()) {
        result.problem = PictureProblem::TooLarge;
        result.reason = QStringLiteral("out of memory");
        return true;
    }
    for (int y = 0; y < image.height(); ++y) {
        if (!readAll(fd, image.scanLine(y), qsizetype(image.width()) * 4, deadline, timedOut))
            return false;
    }
    result.problem = PictureProblem::None;
    result.image = std::move(image);
    return true;
}

} // namespace

void setWmfTimeLimit(int milliseconds)
{
    timeLimitMs = qMax(1, milliseconds);
}

LoadedPicture renderWmf(const QByteArray &data, int maxWidth)
{
    auto fail = [](const QString &reason) {
        LoadedPicture result;
        result.problem = PictureProblem::Damaged;
        result.reason = reason;
        return result;
    };
    if (!looksLikeWmf(data)) {
        LoadedPicture result = fail(QStringLiteral("not a Windows metafile"));
        result.problem = PictureProblem::NotAPicture;
        return result;
    }

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
        runChild(fds[1], data, maxWidth, limit * 3 / 4);
    }
    ::close(fds[1]);

    const QDeadlineTimer deadline(limit);
    bool timedOut = false;
    LoadedPicture result;
    const bool replied = readReply(fds[0], deadline, timedOut, result);
    ::close(fds[0]);
    if (!replied || !result.ok())
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }

    if (timedOut)
        return fail(QStringLiteral("the metafile took too long to render"));
    if (!replied)
        return fail(QStringLiteral("damaged metafile (the renderer failed)"));
    return result;
}

} // namespace lumivex::document
