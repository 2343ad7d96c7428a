// Runs the metafile renderer in a forked child. libwmf is old C code that trusts its input; a
// metafile that makes it crash, spin or eat memory must cost only the child, never the document.

#include "wmfpicture.h"

#include <QDeadlineTimer>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define LUMIVEX_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMIVEX_ADDRESS_SANITIZER 1
#endif
#endif

namespace lumivex::picture {

namespace {

std::atomic<int> timeLimitMs{kWmfTimeLimitMs};
std::atomic<qint64> memoryLimit{kWmfMemoryLimit};

// The address space the process uses now, from /proc (read without allocating: the child is a
// fork of a process with other threads). 0 when unknown.
rlim_t addressSpaceInUse()
{
    const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[32] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    rlim_t pages = 0;
    for (ssize_t i = 0; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
        pages = pages * 10 + rlim_t(text[i] - '0');
    return pages * rlim_t(::sysconf(_SC_PAGESIZE));
}

// A pathological file stops at these limits instead of taking the machine: the processor time
// of the whole time limit (the child is killed at it), and what the child may add to the
// address space it inherits (allocations beyond it fail). The address-space limit is left out
// under AddressSanitizer, which reserves vast ranges of its own.
void limitChild(int timeLimitMs, qint64 memoryBytes)
{
    const rlim_t seconds = rlim_t(timeLimitMs + 999) / 1000;
    const rlimit cpu{seconds, seconds + 1};
    ::setrlimit(RLIMIT_CPU, &cpu);
#ifndef LUMIVEX_ADDRESS_SANITIZER
    if (const rlim_t used = addressSpaceInUse(); used > 0) {
        rlimit space{};
        ::getrlimit(RLIMIT_AS, &space);
        const rlim_t wanted = used + rlim_t(memoryBytes);
        if (space.rlim_max == RLIM_INFINITY || wanted < space.rlim_max) {
            space.rlim_cur = wanted;
            ::setrlimit(RLIMIT_AS, &space);
        }
    }
#else
    Q_UNUSED(memoryBytes);
#endif
}

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

// A failure the child reports without allocating anything.
bool writeFailure(int fd, PictureProblem problem, const char *reason)
{
    Reply reply;
    reply.problem = static_cast<qint32>(problem);
    reply.reasonBytes = static_cast<qint32>(std::strlen(reason));
    return writeAll(fd, &reply, sizeof reply) && writeAll(fd, reason, reply.reasonBytes);
}

bool writeResult(int fd, const LoadedPicture &result)
{
    Reply reply;
    reply.problem = static_cast<qint32>(result.problem);
    reply.width = result.size.width();
    reply.height = result.size.height();
    if (!result.ok()) {
        const QByteArray text = result.reason.toUtf8().left(200);
        reply.reasonBytes = static_cast<qint32>(text.size());
        return writeAll(fd, &reply, sizeof reply) && writeAll(fd, text.constData(), text.size());
    }
    const QImage &image = result.image;
    bool written = writeAll(fd, &reply, sizeof reply);
    for (int y = 0; written && y < image.height(); ++y)
        written = writeAll(fd, image.constScanLine(y), qsizetype(image.width()) * 4);
    return written;
}

// The child is a copy of the whole program: it must never return into it. Every way out ends
// in _exit (the child shares the parent's open files, its X connection, its unwritten output and
// Qt's state, and must not tear down or flush any of them): an exception (memory running out
// under the limit) is caught here, and should the library call exit(), the first of the exit
// handlers ends the child before any of the program's own run.
[[noreturn]] void runChild(int fd, const QByteArray &data, int maxWidth, int timeLimitMs, qint64 memoryBytes) noexcept
{
    std::atexit([] { ::_exit(1); });
    std::signal(SIGPIPE, SIG_IGN);
    // Die quietly and without a core file when the library crashes: the parent reports it.
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        std::signal(sig, SIG_DFL);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    limitChild(timeLimitMs, memoryBytes);
    bool written = false;
    try {
        // The renderer's own limit comes first, so that the child normally gives its reason.
        written = writeResult(fd, renderWmfInProcess(data, maxWidth, timeLimitMs * 3 / 4));
    } catch (const std::bad_alloc &) {
        written = writeFailure(fd, PictureProblem::TooLarge, kWmfOutOfMemory);
    } catch (...) {
        written = writeFailure(fd, PictureProblem::Damaged, "damaged metafile (the renderer failed)");
    }
    ::close(fd);
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

void setWmfMemoryLimit(qint64 bytes)
{
    memoryLimit = qMax<qint64>(1 << 20, bytes);
}

LoadedPicture judgeWmfFileSize(qint64 bytes)
{
    if (bytes <= kMaxWmfFileBytes)
        return {};
    return LoadedPicture::failure(PictureProblem::TooLarge,
                                  QStringLiteral("the metafile is larger than %1 MB, more than its renderer may use")
                                      .arg(kMaxWmfFileBytes >> 20));
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

    if (LoadedPicture refused = judgeWmfFileSize(data.size()); !refused.ok())
        return refused;
    const int limit = timeLimitMs.load();
    const qint64 memory = memoryLimit.load();
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
        runChild(fds[1], data, maxWidth, limit, memory);
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
    if (!replied && WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)
        timedOut = true; // its processor time ran out

    if (timedOut)
        return fail(QStringLiteral("the metafile took too long to render"));
    if (!replied)
        return fail(QStringLiteral("damaged metafile (the renderer failed)"));
    return result;
}

} // namespace lumivex::picture
