#include "outputcheck.h"

#include "picture/filenames.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <utility>

#include <sys/stat.h>

namespace lumivex::cli {

namespace {

// stat() follows symbolic links, and the same device and inode is the same file whatever its
// name, a hard link included: this catches every spelling a canonical path would, and more.
bool statFile(const QString &path, struct stat &info)
{
    return !path.isEmpty() && ::stat(picture::encodeFileName(path).constData(), &info) == 0;
}

const char *kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a regular file";
}

} // namespace

void checkOutput(const Options &options)
{
    const QString &output = options.output;
    const auto refuse = [&](const QString &why) {
        throw Failure{QStringLiteral("cannot write %1: %2").arg(quoted(output), why)};
    };

    struct stat out {};
    if (!statFile(output, out)) {
        // The folder is found in the name's text: Qt's file classes would change bytes that
        // are no UTF-8 in it.
        const qsizetype slash = output.lastIndexOf(u'/');
        const QString folder = slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : output.left(slash);
        struct stat dir {};
        if (!output.isEmpty() && !statFile(folder, dir) && (errno == ENOENT || errno == ENOTDIR))
            refuse(QStringLiteral("the folder %1 does not exist").arg(quoted(QFileInfo(output).absolutePath())));
        return; // a new file: it cannot be any of the inputs
    }
    // The output is written beside its name and renamed over it: never over a folder, pipe or device.
    if (!S_ISREG(out.st_mode))
        refuse(QStringLiteral("it is %1, which is never replaced").arg(QLatin1String(kindOf(out.st_mode))));

    const std::pair<const char *, const QString *> inputs[] = {
        {"design picture", &options.design},
        {"field picture", &options.field},
        {"field source picture", &options.fieldSource},
    };
    for (const auto &[what, path] : inputs) {
        struct stat in {};
        if (statFile(*path, in) && in.st_dev == out.st_dev && in.st_ino == out.st_ino)
            refuse(QStringLiteral("it is the %1 %2, which would be overwritten")
                       .arg(QLatin1String(what), quoted(*path)));
    }
}

} // namespace lumivex::cli
