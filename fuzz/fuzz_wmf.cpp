// Arbitrary bytes through libwmf in this process, to find what the metafile renderer cannot
// take. Inputs that do not look like metafiles are turned into one: a placeable header is put in
// front, so that the fuzzer spends its time on the records.

#include "picture/wmfpicture.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (!lumivex::picture::looksLikeWmf(bytes)) {
        // 0..960 × 0..480 units at 960 per inch: a 96 × 48 picture, then a plain header.
        static const char head[] = "\xD7\xCD\xC6\x9A\0\0\0\0\0\0\xC0\x03\xE0\x01\xC0\x03\0\0\0\0"
                                   "\x00\x00"
                                   "\x01\x00\x09\x00\x00\x03\xff\xff\x00\x00\x10\x00\xff\xff\x00\x00\x00\x00";
        bytes.prepend(QByteArray(head, sizeof head - 1));
    }
    // Slow files must end with a reason well within the fuzzer's time-out.
    const lumivex::picture::LoadedPicture result =
        lumivex::picture::renderWmfInProcess(bytes, lumivex::picture::kMaxPictureWidth, 2000);
    if (result.image.isNull() != !result.ok() || result.reason.isEmpty() != result.ok())
        __builtin_trap();
    return 0;
}
