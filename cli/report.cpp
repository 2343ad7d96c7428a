#include "report.h"

#include "picture/filenames.h"

#include <algorithm>
#include <mutex>

#include <unistd.h>

namespace lumivex::cli {

namespace {

std::mutex lock;
qsizetype progressShown = 0; // length of the progress line on the terminal, 0 when none

void writeAll(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, data, static_cast<size_t>(left));
        if (n <= 0)
            return; // nowhere left to complain to
        data += n;
        left -= n;
    }
}

QByteArray clearProgress()
{
    if (progressShown == 0)
        return {};
    const QByteArray blank = '\r' + QByteArray(progressShown, ' ') + '\r';
    progressShown = 0;
    return blank;
}

} // namespace

void complain(QString message)
{
    message.replace(u'\r', u' ').replace(u'\n', u' ');
    const std::lock_guard guard(lock);
    // A file name is shown with its own bytes, as the shell's listing shows it.
    writeAll(clearProgress() + "lumivex-convert: " + picture::encodeFileName(message) + '\n');
}

bool reportsToTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

void showProgress(const QString &text)
{
    if (!reportsToTerminal())
        return;
    const QByteArray line = text.toLocal8Bit();
    const std::lock_guard guard(lock);
    // A shorter line than the one before is padded, so that no tail of it stays visible.
    const QByteArray padding(std::max<qsizetype>(0, progressShown - line.size()), ' ');
    writeAll('\r' + line + padding);
    progressShown = std::max<qsizetype>(line.size(), 1);
}

void endProgress()
{
    const std::lock_guard guard(lock);
    if (progressShown > 0)
        writeAll(QByteArrayLiteral("\n"));
    progressShown = 0;
}

} // namespace lumivex::cli
