// Arbitrary bytes through the picture loader, as a file chosen by the user would reach it.
// Metafiles go through the isolated renderer here; fuzz_wmf drives libwmf in this process.

#include "picture/picture.h"
#include "picture/wmfpicture.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // A short limit keeps the run moving past metafiles that are slow to draw.
    lumivex::picture::setWmfTimeLimit(3000);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using lumivex::picture::PictureProblem;
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const lumivex::picture::LoadedPicture result = lumivex::picture::readPictureData(std::move(bytes));
    if (result.image.isNull() != !result.ok() || result.reason.isEmpty() != result.ok())
        __builtin_trap(); // a failure must say why, a success must not
    if (result.ok() && (result.image.format() != QImage::Format_RGB32 || result.image.size() != result.size
                        || result.image.width() > lumivex::picture::kMaxPictureWidth))
        __builtin_trap();
    if (result.problem == PictureProblem::TooWide && result.size.width() <= lumivex::picture::kMaxPictureWidth)
        __builtin_trap(); // refused for its width: the width it has must say so
    return 0;
}
