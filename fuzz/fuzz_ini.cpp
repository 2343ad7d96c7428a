// Arbitrary bytes as a project, state or settings file, read as the program reads them.

#include "document/docstate.h"
#include "document/inifile.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace lumivex::document;
    static const QString path =
        QDir::temp().filePath(QStringLiteral("lumivex-fuzz-%1.lvd").arg(::getpid()));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
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
