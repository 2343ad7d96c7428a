// Arbitrary bytes as a project, state or settings file, read as the program reads them.

#include "document/docstate.h"
#include "document/inifile.h"

#include <QString>

#include <cstddef>
#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace lumivex::document;
    // The input is an anonymous file in memory, read through its /proc name as a regular
    // file: nothing is left in /tmp, also when the fuzzer stops at a fault.
    static const int fd = ::memfd_create("lumivex-fuzz.lvd", MFD_CLOEXEC);
    static const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0
        || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        return 0;
    IniFile ini;
    ini.load(path);
    for (const char *key : {"PicDesignPath", "MONOorCOLOR", "KurikaesiHaba", "knButtons1", ""}) {
        const QString value = ini.value(QString::fromLatin1(kSection), QString::fromLatin1(key));
        iniCutValue(value);
        iniLeadingInt(value);
        iniBool(value, false);
    }
    ini.contains(QStringLiteral("other"), QStringLiteral("key"));
    iniReadString(path, QString::fromLatin1(kSection), QStringLiteral("PicDesignPath"));
    iniReadInt(path, QString::fromLatin1(kSection), QStringLiteral("Rittaido"), 20);
    iniReadBool(path, QString::fromLatin1(kSection), QStringLiteral("mnuSave"), true);
    readDocState(path);
    // Changing a key must keep the rest of the file readable.
    if (ini.set(QString::fromLatin1(kSection), QStringLiteral("Mitudo"), QStringLiteral("30"))
        && ini.value(QString::fromLatin1(kSection), QStringLiteral("Mitudo")) != QStringLiteral("30"))
        __builtin_trap();
    return 0;
}
