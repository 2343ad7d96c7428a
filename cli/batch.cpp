#include "batch.h"

#include "convert.h"
#include "outputcheck.h"
#include "report.h"

#include "picture/filenames.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumivex::cli {

namespace {

// One single conversion per design, with the batch's options.
std::vector<Options> makeJobs(const Options &options)
{
    struct stat folder {};
    if (::stat(picture::encodeFileName(options.outDir).constData(), &folder) != 0)
        throw Failure{QStringLiteral("the output folder %1 does not exist").arg(quoted(options.outDir))};
    if (!S_ISDIR(folder.st_mode))
        throw Failure{QStringLiteral("the output folder %1 is not a folder").arg(quoted(options.outDir))};

    const QDir dir(options.outDir);
    std::vector<Options> jobs;
    QHash<QString, QString> designOf; // output -> the design written there
    for (const QString &design : options.designs) {
        Options job = options;
        job.designs.clear();
        job.outDir.clear();
        job.design = design;
        job.output = dir.filePath(QFileInfo(design).completeBaseName() + u'.' + options.format);
        // Two designs of one name would silently overwrite one another's picture.
        if (const auto earlier = designOf.constFind(job.output); earlier != designOf.cend())
            throw Failure{QStringLiteral("the designs %1 and %2 would both be written to %3; rename one of them")
                              .arg(quoted(*earlier), quoted(design), quoted(job.output))};
        designOf.insert(job.output, design);
        jobs.push_back(std::move(job));
    }
    return jobs;
}

// Metafiles are drawn by a forked child process. A fork while other threads are at work may
// copy a lock one of them holds (the allocator's, a library's) into the child, which then waits
// for it until the renderer's time limit: runs that read a metafile go one at a time, with no
// other run in progress.
bool isMetafile(const QString &path)
{
    const QByteArray name = picture::encodeFileName(path);
    struct stat info {};
    if (path.isEmpty() || ::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    QByteArray head(4, '\0');
    const bool read = ::read(fd, head.data(), 4) == 4;
    ::close(fd);
    if (!read)
        return false;
    return head == QByteArray("\xD7\xCD\xC6\x9A", 4) || head == QByteArray("\x01\x00\x09\x00", 4)
        || head == QByteArray("\x02\x00\x09\x00", 4);
}

bool readsMetafile(const Options &job)
{
    return isMetafile(job.design) || isMetafile(job.field) || isMetafile(job.fieldSource);
}

// Runs one design; a failure is reported with the design's name and does not stop the batch.
bool runJob(const Options &job)
{
    const auto failed = [&](const QString &message) {
        complain(job.design + QStringLiteral(": ") + message);
        return false;
    };
    try {
        checkOutput(job);
        convertAndSave(job);
        return true;
    } catch (const Failure &failure) {
        return failed(failure.message);
    } catch (const std::bad_alloc &) {
        return failed(QStringLiteral("out of memory"));
    } catch (const std::exception &error) {
        return failed(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        return failed(QStringLiteral("unexpected failure"));
    }
}

} // namespace

int runBatch(const Options &options)
{
    const std::vector<Options> jobs = makeJobs(options);
    const int total = static_cast<int>(jobs.size());
    std::atomic<int> next{0};
    std::mutex countLock; // the counts and the progress line they show change together
    int done = 0;
    int failures = 0;

    // Runs are independent (every run makes its own engine objects), so each worker takes the
    // next design until none is left.
    const auto finished = [&](bool made) {
        const std::lock_guard guard(countLock);
        ++done;
        failures += made ? 0 : 1;
        showProgress(failures == 0 ? QStringLiteral("%1/%2 converted").arg(done).arg(total)
                                   : QStringLiteral("%1/%2 converted, %3 failed").arg(done).arg(total).arg(failures));
    };
    std::vector<std::size_t> parallel;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (readsMetafile(jobs[i]))
            finished(runJob(jobs[i]));  // before any other thread exists
        else
            parallel.push_back(i);
    }
    const int count = static_cast<int>(parallel.size());
    const auto work = [&] {
        for (int i = next++; i < count; i = next++)
            finished(runJob(jobs[parallel[static_cast<std::size_t>(i)]]));
    };
    const int workers = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, std::max(count, 1));
    std::vector<std::thread> threads;
    try {
        for (int i = 1; i < workers; ++i)
            threads.emplace_back(work);
    } catch (const std::system_error &) {
        // Fewer threads than cores: the ones running take the remaining designs.
    }
    work();
    for (std::thread &thread : threads)
        thread.join();
    // On a terminal the count ends as a summary that stays on the screen.
    showProgress(failures == 0 ? QStringLiteral("%1 of %2 written").arg(total).arg(total)
                               : QStringLiteral("%1 of %2 written; %3 failed").arg(total - failures).arg(total).arg(failures));
    endProgress();
    return failures == 0 ? 0 : 2;
}

} // namespace lumivex::cli
