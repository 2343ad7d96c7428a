#include "picture.h"

#include "bmpindexed.h"
#include "filenames.h"
#include "pictureformats.h"
#include "pngcheck.h"
#include "pngrows.h"
#include "wmfpicture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumivex::picture {

namespace {

// No picture within the pixel budget needs a larger file: eight bytes a pixel (a 16-bit PNG
// that does not compress), and room for headers and colour tables.
constexpr qint64 kMaxFileBytes = 8 * kMaxPicturePixels + (qint64(64) << 20);

// The start of a file read first: enough for every header but a JPEG's behind large metadata.
constexpr qint64 kHeaderBytes = 64 * 1024;

LoadedPicture fail(PictureProblem problem, const QString &reason, QSize size = {})
{
    return LoadedPicture::failure(problem, reason, size);
}

LoadedPicture judgeSize(QSize size, int maxWidth)
{
    if (size.width() > maxWidth)
        return fail(PictureProblem::TooWide, QStringLiteral("the picture is too wide"), size);
    if (qint64(size.width()) * size.height() > kMaxPicturePixels)
        return fail(PictureProblem::TooLarge, QStringLiteral("the picture is too large for memory"), size);
    LoadedPicture accepted;
    accepted.size = size;
    return accepted;
}

// What the header says, before anything is decoded. With partial data (the start of a file) a
// header that lies further on is not judged: the result is then accepted with no size.
LoadedPicture judgeHeader(const QByteArray &data, int maxWidth, bool partial)
{
    if (looksLikeWmf(data)) {
        const QSize size = placeableWmfSize(data);
        return size.isValid() ? judgeSize(size, maxWidth) : LoadedPicture{};
    }
    const RasterLayout layout = rasterHeader(data);
    if (layout.problem == PictureProblem::CutShort && partial)
        return {};
    if (layout.problem != PictureProblem::None)
        return fail(layout.problem, layout.reason);
    return judgeSize(layout.size, maxWidth);
}

// Windows shows a 32-bit BMP whose alpha bytes are all zero as opaque: the writer left them
// unused. Qt reads them as fully transparent.
bool alphaAllZero(const QImage &image)
{
    if (image.format() != QImage::Format_ARGB32)
        return false;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 0)
                return false;
        }
    }
    return true;
}

// An opaque Format_RGB32 picture of the decoded one, converted in place where Qt can: a picture
// of the largest size exists only once. Transparency is composited over white, exactly: opaque
// pixels keep their colour.
QImage opaqueRgb32(QImage image, bool ignoreAlpha)
{
    if (!image.hasAlphaChannel())
        return std::move(image).convertToFormat(QImage::Format_RGB32);
    image = std::move(image).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int a = ignoreAlpha ? 255 : qAlpha(p);
            auto blend = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            line[x] = qRgb(blend(qRed(p)), blend(qGreen(p)), blend(qBlue(p)));
        }
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

// A plain PNG decoded by the row decoder straight into the picture: several times faster than
// Qt's reader, and the same pixels. Null for every file the row decoder does not take as it is,
// which Qt's reader then decodes or refuses.
QImage decodePngRows(const QByteArray &data)
{
    PngRows rows;
    if (!rows.open(data))
        return {};
    QImage image(rows.width(), rows.height(), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    std::vector<engine::Packed> row(static_cast<std::size_t>(rows.width()));
    for (int y = 0; y < rows.height(); ++y) {
        if (!rows.readRow(row))
            return {};
        unpackRow(row, image, y);
    }
    return image;
}

LoadedPicture decodeRaster(QByteArray data, const RasterLayout &layout, int maxWidth)
{
    if (layout.format == RasterFormat::Png) {
        if (QImage image = decodePngRows(data); !image.isNull()) {
            LoadedPicture result;
            result.size = image.size();
            result.image = std::move(image);
            return result;
        }
        if (isColour16Png(data)) {
            QString damage;
            QImage image = decodeColour16Png(data, layout.size, damage);
            if (image.isNull())
                return fail(PictureProblem::Damaged, QStringLiteral("damaged picture: %1").arg(damage), layout.size);
            LoadedPicture result;
            result.size = image.size();
            result.image = std::move(image);
            return result;
        }
        // Qt's reader would let libpng print the reason on standard error.
        if (const QString damage = pngDamage(data); !damage.isEmpty())
            return fail(PictureProblem::Damaged, QStringLiteral("damaged picture: %1").arg(damage), layout.size);
    }

    // Colour-table BMPs are decoded here: Qt's reader leaves pixels unwritten in some of them.
    if (layout.format == RasterFormat::Bmp && isIndexedBmp(data))
        return decodeIndexedBmp(data);

    // Qt's own limit on what a reader may allocate, raised to the pixel budget at the deepest
    // format a reader decodes into (16-bit channels): every header was judged against the budget
    // already, and this stays a second bound for what the checks above do not see.
    static const bool limitSet = [] {
        QImageReader::setAllocationLimit(int(kMaxPicturePixels * 8 >> 20));
        return true;
    }();
    Q_UNUSED(limitSet);

    QImage decoded;
    QString readerError;
    {
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, rasterFormatName(layout.format));
        reader.setAutoTransform(false);
        decoded = reader.read(); // a GIF's first frame
        readerError = reader.errorString();
    }
    data = QByteArray(); // the file's bytes are not needed beside the picture
    if (decoded.isNull())
        return fail(PictureProblem::Damaged, QStringLiteral("damaged picture: %1").arg(readerError), layout.size);
    // The header was judged before decoding; what the reader made of it is judged too.
    if (LoadedPicture refused = judgeSize(decoded.size(), maxWidth); !refused.ok())
        return refused;
    const bool opaqueBmp = layout.format == RasterFormat::Bmp && alphaAllZero(decoded);
    LoadedPicture result;
    result.size = decoded.size();
    result.image = opaqueRgb32(std::move(decoded), opaqueBmp);
    if (result.image.isNull())
        return fail(PictureProblem::TooLarge, QStringLiteral("out of memory"), result.size);
    return result;
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Reads up to length bytes from fd at its position; fewer when the file ends sooner.
bool readBytes(int fd, QByteArray &into, qint64 length)
{
    const qint64 start = into.size();
    into.resize(start + length);
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::read(fd, into.data() + start + done, size_t(length - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        done += n;
    }
    into.truncate(start + done);
    return true;
}

LoadedPicture readOpenFile(int fd, QByteArray &data, int maxWidth)
{
    struct stat info{};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return fail(PictureProblem::NotAFile, QStringLiteral("not a regular file"));
    const qint64 fileSize = info.st_size;
    if (fileSize == 0)
        return fail(PictureProblem::Damaged, QStringLiteral("empty file"));
    if (fileSize > kMaxFileBytes)
        return fail(PictureProblem::TooLarge, QStringLiteral("the file is larger than any picture that fits in memory"));
    data.clear();
    if (!readBytes(fd, data, std::min(fileSize, kHeaderBytes)))
        return fail(PictureProblem::CannotOpen, errnoText(errno));
    // A picture that is refused by its header is not read any further, nor a metafile larger
    // than its renderer may take.
    if (LoadedPicture refused = judgeHeader(data, maxWidth, data.size() < fileSize); !refused.ok())
        return refused;
    if (LoadedPicture refused = looksLikeWmf(data) ? judgeWmfFileSize(fileSize) : LoadedPicture{}; !refused.ok())
        return refused;
    if (data.size() < fileSize && !readBytes(fd, data, fileSize - data.size()))
        return fail(PictureProblem::CannotOpen, errnoText(errno));
    return {};
}

} // namespace

LoadedPicture readPicture(const QString &path, int maxWidth)
{
    QByteArray data;
    if (LoadedPicture refused = readPictureFile(path, data, maxWidth); !refused.ok())
        return refused;
    try {
        return readPictureData(std::move(data), maxWidth);
    } catch (const std::bad_alloc &) {
        return fail(PictureProblem::TooLarge, QStringLiteral("out of memory"));
    }
}

LoadedPicture readPictureFile(const QString &path, QByteArray &data, int maxWidth)
{
    if (path.isEmpty())
        return fail(PictureProblem::CannotOpen, QStringLiteral("no file name"));
    const QByteArray name = encodeFileName(path);
    // Only regular files: opening a pipe would wait for a writer, and a device could give bytes
    // without end. The type is asked before opening (opening a device may do something) and
    // again of what was opened, without waiting, in case the name changed hands meanwhile.
    struct stat info{};
    if (::stat(name.constData(), &info) != 0)
        return fail(PictureProblem::CannotOpen, errnoText(errno));
    if (!S_ISREG(info.st_mode))
        return fail(PictureProblem::NotAFile, QStringLiteral("not a regular file"));
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(PictureProblem::CannotOpen, errnoText(errno));
    LoadedPicture result;
    try {
        result = readOpenFile(fd, data, maxWidth);
    } catch (const std::bad_alloc &) {
        result = fail(PictureProblem::TooLarge, QStringLiteral("out of memory"));
    }
    ::close(fd);
    return result;
}

LoadedPicture readPictureData(QByteArray data, int maxWidth)
{
    if (LoadedPicture refused = checkPictureData(data, maxWidth); !refused.ok())
        return refused;
    if (looksLikeWmf(data))
        return renderWmf(data, maxWidth);
    const RasterLayout layout = rasterHeader(data);
    return decodeRaster(std::move(data), layout, maxWidth);
}

LoadedPicture checkPictureData(const QByteArray &data, int maxWidth)
{
    if (data.isEmpty())
        return fail(PictureProblem::Damaged, QStringLiteral("empty file"));
    LoadedPicture judged = judgeHeader(data, maxWidth, false);
    if (!judged.ok() || looksLikeWmf(data))
        return judged;
    RasterLayout layout = rasterHeader(data);
    checkRasterStructure(data, layout);
    if (layout.problem != PictureProblem::None)
        return fail(layout.problem, layout.reason, layout.size);
    return judged;
}

QImage loadPicture(const QString &path, QString *error)
{
    LoadedPicture result = readPicture(path);
    if (error)
        *error = result.reason;
    return std::move(result.image);
}

QString pictureFailureMessage(const QString &path, const LoadedPicture &result)
{
    const QString name = QDir::toNativeSeparators(path);
    if (result.problem == PictureProblem::TooLarge) {
        if (!result.size.isValid())
            return QCoreApplication::translate("Picture", "次の画像は大きすぎて、メモリーに読み込めません。\r\n%1").arg(name);
        return QCoreApplication::translate("Picture", "次の画像は大きすぎて、メモリーに読み込めません（%1×%2 ピクセル）。\r\n%3")
            .arg(result.size.width())
            .arg(result.size.height())
            .arg(name);
    }
    const char *why = nullptr;
    switch (result.problem) {
    case PictureProblem::CannotOpen:
        why = QT_TRANSLATE_NOOP("Picture", "ファイルを開けません。");
        break;
    case PictureProblem::NotAFile:
        why = QT_TRANSLATE_NOOP("Picture", "通常のファイルではありません。");
        break;
    case PictureProblem::NotAPicture:
        why = QT_TRANSLATE_NOOP("Picture", "BMP、JPEG、GIF、PNG、WMFのどの形式でもありません。");
        break;
    case PictureProblem::CutShort:
        why = QT_TRANSLATE_NOOP("Picture", "ファイルが途中で切れています。");
        break;
    case PictureProblem::TooWide:
        why = QT_TRANSLATE_NOOP("Picture", "画像の幅が大きすぎます。");
        break;
    case PictureProblem::Damaged:
    case PictureProblem::None:
    case PictureProblem::TooLarge:
        why = QT_TRANSLATE_NOOP("Picture", "ファイルが壊れています。");
        break;
    }
    return QCoreApplication::translate("Picture", "次のファイルは画像として読み込めません。\r\n%1\r\n%2")
        .arg(name, QCoreApplication::translate("Picture", why));
}

QString pictureFileFilter()
{
    // JPEG files come as .jpg and .jpeg; PNG is read as well, so it closes the list and joins
    // the pattern of the first entry.
    return QCoreApplication::translate("Picture", "すべてのファイル(*.bmp *.jpg *.gif *.wmf *.png *.jpeg);;BMP(*.bmp);;"
                                                  "JPEG(*.jpg *.jpeg);;GIF(*.gif);;WMF(*.wmf);;PNG(*.png)");
}

void packRow(const QImage &image, int y, std::span<engine::Packed> out)
{
    const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    const int width = image.width();
    for (int x = 0; x < width; ++x)
        out[x] = packPixel(line[x]);
}

void unpackRow(std::span<const engine::Packed> row, QImage &image, int y)
{
    auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
    const int width = std::min(static_cast<int>(row.size()), image.width());
    for (int x = 0; x < width; ++x)
        line[x] = unpackPixel(row[x]);
}

engine::PackedImage toPacked(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    engine::PackedImage result(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        packRow(image, y, result.row(y));
    return result;
}

QImage fromPacked(const engine::PackedImage &source)
{
    QImage image(source.width, source.height, QImage::Format_RGB32);
    for (int y = 0; y < source.height; ++y)
        unpackRow(source.row(y), image, y);
    return image;
}

} // namespace lumivex::picture
