// Arbitrary bytes through the picture loader, as a file chosen by the user would reach it.
// Metafiles go through the isolated renderer here; fuzz_wmf drives libwmf in this process.

#include "document/picture.h"
#include "document/wmfpicture.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // A short limit keeps the run moving past metafiles that are slow to draw.
    lumivex::document::setWmfTimeLimit(3000);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString error;
    const QImage image = lumivex::document::loadPictureData(bytes, &error);
    if (image.isNull() == error.isEmpty())
        __builtin_trap(); // a failure must say why, a success must not
    if (!image.isNull() && image.format() != QImage::Format_RGB32)
        __builtin_trap();
    return 0;
}
