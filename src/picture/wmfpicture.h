#pragma once

#include "picture.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace lumivex::picture {

/// Largest metafile rendering accepted: each side at most kMaxWmfSide pixels (170 inches at 96
/// dots per inch; the library draws into one buffer of that size) and the whole at most
/// kMaxPicturePixels.
inline constexpr int kMaxWmfSide = 16384;

/// Largest bitmap inside a metafile that is drawn (a larger one is left out).
inline constexpr qint64 kMaxWmfBitmapPixels = qint64(1024) * 16384;

/// What rendering one metafile may take: the time (the child is stopped at it) and the memory
/// the child may add to what it inherits. A drawing whose pixels alone would need more than
/// half of that memory is refused as TooLarge before it is drawn.
inline constexpr int kWmfTimeLimitMs = 5000;
inline constexpr qint64 kWmfMemoryLimit = qint64(384) << 20;

/// Largest metafile file read: the child keeps a copy of the file beside the picture within its
/// memory limit. A larger file is refused as TooLarge before it is read, and so are bytes of
/// that size handed in (the file whole would cost the program its own size before any limit
/// applies).
inline constexpr qint64 kMaxWmfFileBytes = kWmfMemoryLimit / 4;

/// The reason given when rendering a metafile ran out of the renderer's memory.
inline constexpr char kWmfOutOfMemory[] = "the metafile needs more memory than its renderer may use";

/// Metafiles are rendered at this many dots per inch.
inline constexpr int kWmfDpi = 96;

/// Whether the bytes start like a Windows metafile: the placeable key 0x9AC6CDD7, or a plain
/// metafile header (memory or disk type, nine-word header, Windows 2 or 3 version).
bool looksLikeWmf(const QByteArray &data);

/// The pixel size a placeable metafile's header gives at 96 dpi (|right - left| × 96 / units
/// per inch, likewise for the height), or an invalid size for a file without that header or
/// with a header of no use (zero units per inch).
QSize placeableWmfSize(const QByteArray &data);

/// Renders a metafile with libwmf's gd device into an opaque Format_RGB32 picture, with exact
/// colours; transparent pixels become white. Filled ellipses come out filled. A picture wider
/// than maxWidth is refused as TooWide once its size is known, before it is drawn. Playing stops
/// with a failure once timeLimitMs have passed (checked between records). Runs the library in
/// this process: only for a process that may die with it (the isolated child, the fuzzer).
LoadedPicture renderWmfInProcess(const QByteArray &data, int maxWidth, int timeLimitMs = 15000);

/// Renders a metafile as renderWmfInProcess does, but in a forked child process (no helper
/// program) with limits of time and memory, so that a metafile that crashes, hangs or floods the
/// library costs only the child, for a few seconds and a few hundred megabytes at most. The
/// child never returns into the caller's code: whatever happens in it (an exception, the
/// library calling exit) ends it at once, and the caller gets one outcome.
LoadedPicture renderWmf(const QByteArray &data, int maxWidth);

/// The refusal of a metafile of this many bytes (larger than kMaxWmfFileBytes); ok otherwise.
LoadedPicture judgeWmfFileSize(qint64 bytes);

/// Time the child may take before it is stopped and the picture refused (default
/// kWmfTimeLimitMs).
void setWmfTimeLimit(int milliseconds);

/// Memory the child may add to what it inherits (default kWmfMemoryLimit); lowered by tests.
void setWmfMemoryLimit(qint64 bytes);

} // namespace lumivex::picture
