#include "animatedpng.h"

#include <QByteArray>
#include <QIODevice>

#include <isa-l/crc.h>

#include <algorithm>
#include <cstdint>

namespace lumivex::picture {

namespace {

void put32(QByteArray &out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((v >> shift) & 0xff));
}

void put16(QByteArray &out, std::uint16_t v)
{
    out.append(char(v >> 8));
    out.append(char(v & 0xff));
}

bool writeChunk(QIODevice &device, const char *type, const QByteArray &data)
{
    QByteArray chunk;
    chunk.reserve(data.size() + 12);
    put32(chunk, std::uint32_t(data.size()));
    chunk.append(type, 4);
    chunk.append(data);
    put32(chunk, crc32_gzip_refl(0, reinterpret_cast<const unsigned char *>(chunk.constData()) + 4,
                                 std::uint64_t(data.size()) + 4));
    return device.write(chunk) == chunk.size();
}

// A frame's pixels as PNG rows (filter 0, RGB), compressed as a zlib stream: qCompress puts
// the stream after four bytes of its own length.
QByteArray compressedFrame(const engine::PackedImage &frame)
{
    QByteArray rows;
    rows.reserve(qsizetype(frame.height) * (1 + 3 * qsizetype(frame.width)));
    for (int y = 0; y < frame.height; ++y) {
        rows.append('\0');
        for (const engine::Packed colour : frame.row(y)) {
            rows.append(char(engine::redOf(colour)));
            rows.append(char(engine::greenOf(colour)));
            rows.append(char(engine::blueOf(colour)));
        }
    }
    return qCompress(rows, 6).mid(4);
}

} // namespace

bool writeAnimatedPng(QIODevice &device, const std::vector<engine::PackedImage> &frames, int delayMs, QString *error)
{
    const auto failed = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (frames.empty() || frames.front().width < 1 || frames.front().height < 1)
        return failed(QStringLiteral("an animation needs frames"));
    const int width = frames.front().width, height = frames.front().height;
    bool written = device.write("\x89PNG\r\n\x1a\n", 8) == 8;
    QByteArray header;
    put32(header, std::uint32_t(width));
    put32(header, std::uint32_t(height));
    header.append("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, deflate, no interlace
    written = written && writeChunk(device, "IHDR", header);
    QByteArray control;
    put32(control, std::uint32_t(frames.size()));
    put32(control, 0);  // loop for ever
    written = written && writeChunk(device, "acTL", control);
    std::uint32_t sequence = 0;
    for (std::size_t i = 0; i < frames.size() && written; ++i) {
        if (frames[i].width != width || frames[i].height != height)
            return failed(QStringLiteral("the frames of an animation differ in size"));
        QByteArray frameControl;
        put32(frameControl, sequence++);
        put32(frameControl, std::uint32_t(width));
        put32(frameControl, std::uint32_t(height));
        put32(frameControl, 0);
        put32(frameControl, 0);
        put16(frameControl, std::uint16_t(std::clamp(delayMs, 0, 65535)));
        put16(frameControl, 1000);  // the delay in thousandths of a second
        frameControl.append("\x00\x00", 2);  // nothing disposed or blended: each frame is whole
        written = writeChunk(device, "fcTL", frameControl);
        const QByteArray data = compressedFrame(frames[i]);
        if (data.isEmpty())
            return failed(QStringLiteral("out of memory"));
        if (i == 0) {
            written = written && writeChunk(device, "IDAT", data);
        } else {
            QByteArray frameData;
            put32(frameData, sequence++);
            frameData.append(data);
            written = written && writeChunk(device, "fdAT", frameData);
        }
    }
    written = written && writeChunk(device, "IEND", {});
    return written || failed(device.errorString());
}

} // namespace lumivex::picture
