#include "picturewriter.h"

#include "picture.h"
#include "rowencoder.h"
#include "safefile.h"

#include <QIODevice>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace lumivex::picture {

namespace {

// Rows travel to the encoding thread in bands of about this size; a few bands are in flight.
constexpr std::size_t kBandBytes = 128 * 1024;
constexpr std::size_t kBandsInFlight = 4;

} // namespace

PictureFileFormat pictureFileFormatFor(const QString &path)
{
    return path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ? PictureFileFormat::Png
                                                                      : PictureFileFormat::Bmp;
}

// The caller fills bands of rows; a second thread encodes the full ones in order. Without a
// second thread (none could be started) the rows are encoded as they come.
struct PictureWriter::Pipeline
{
    std::unique_ptr<RowEncoder> encoder;
    std::size_t width = 0;
    std::size_t bandRows = 1;

    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::vector<engine::Packed>> full; // bands waiting for the encoder, in order
    std::vector<std::vector<engine::Packed>> spare;
    std::vector<engine::Packed> filling;
    std::size_t inFlight = 0; // bands handed over and not yet encoded
    bool closing = false;
    std::atomic<bool> failed = false;
    QString problem; // a failure of the caller's rows, not of the encoder
    std::thread worker;

    void encode(const std::vector<engine::Packed> &band)
    {
        for (std::size_t at = 0; at < band.size() && !failed; at += width) {
            if (!encoder->row(std::span(band).subspan(at, width)))
                failed = true;
        }
    }

    void work()
    {
        std::unique_lock guard(lock);
        for (;;) {
            changed.wait(guard, [this] { return !full.empty() || closing; });
            if (full.empty())
                return;
            std::vector<engine::Packed> band = std::move(full.front());
            full.pop_front();
            guard.unlock();
            encode(band);
            guard.lock();
            band.clear();
            spare.push_back(std::move(band));
            --inFlight;
            changed.notify_all();
        }
    }

    void handOver()
    {
        if (filling.empty())
            return;
        if (!worker.joinable()) {
            encode(filling);
            filling.clear();
            return;
        }
        std::unique_lock guard(lock);
        changed.wait(guard, [this] { return inFlight < kBandsInFlight; });
        full.push_back(std::move(filling));
        ++inFlight;
        filling = std::vector<engine::Packed>();
        if (!spare.empty()) {
            filling = std::move(spare.back());
            spare.pop_back();
        }
        changed.notify_all();
    }
};

PictureWriter::PictureWriter(QIODevice &device, PictureFileFormat format, const PictureLayout &layout)
    : m_pipeline(std::make_unique<Pipeline>())
{
    Pipeline &p = *m_pipeline;
    if (layout.width <= 0 || layout.height <= 0) {
        // No file can hold a picture without pixels: none is begun.
        p.problem = QStringLiteral("the picture is empty");
        p.failed = true;
        return;
    }
    PictureLayout resolved = layout;
    if (resolved.dotsPerMeterX <= 0 || resolved.dotsPerMeterY <= 0) {
        const QImage blank(1, 1, QImage::Format_RGB32);
        resolved.dotsPerMeterX = blank.dotsPerMeterX();
        resolved.dotsPerMeterY = blank.dotsPerMeterY();
    }
    p.encoder = format == PictureFileFormat::Png ? makePngEncoder(device, resolved) : makeBmpEncoder(device, resolved);
    p.width = std::size_t(layout.width);
    p.bandRows = std::clamp<std::size_t>(kBandBytes / (std::max<std::size_t>(p.width, 1) * sizeof(engine::Packed)), 1, 64);
    p.failed = !p.encoder->error.isEmpty();
    try {
        p.worker = std::thread([&p] { p.work(); });
    } catch (const std::system_error &) {
        // Encoded on the caller's thread instead.
    }
}

PictureWriter::~PictureWriter()
{
    Pipeline &p = *m_pipeline;
    if (p.worker.joinable()) {
        {
            const std::lock_guard guard(p.lock);
            p.closing = true;
            p.failed = true; // what is still queued is not wanted any more
        }
        p.changed.notify_all();
        p.worker.join();
    }
}

bool PictureWriter::writeRow(std::span<const engine::Packed> row)
{
    Pipeline &p = *m_pipeline;
    if (p.failed)
        return false;
    if (row.size() < p.width) {
        p.problem = QStringLiteral("a row shorter than the picture is wide");
        p.failed = true;
        return false;
    }
    if (p.filling.capacity() == 0)
        p.filling.reserve(p.bandRows * p.width);
    p.filling.insert(p.filling.end(), row.begin(), row.begin() + std::ptrdiff_t(p.width));
    if (p.filling.size() >= p.bandRows * p.width)
        p.handOver();
    return !p.failed;
}

bool PictureWriter::finish()
{
    Pipeline &p = *m_pipeline;
    if (!p.failed)
        p.handOver();
    if (p.worker.joinable()) {
        {
            const std::lock_guard guard(p.lock);
            p.closing = true;
        }
        p.changed.notify_all();
        p.worker.join();
    }
    return !p.failed && p.encoder->finish();
}

QString PictureWriter::errorString() const
{
    const Pipeline &p = *m_pipeline;
    return !p.problem.isEmpty() || !p.encoder ? p.problem : p.encoder->error;
}

std::vector<engine::Packed> smallPalette(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::vector<engine::Packed> colours;
    engine::Packed last = engine::kOutside; // no pixel has this value
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const engine::Packed c = packPixel(line[x]);
            if (c == last || std::find(colours.begin(), colours.end(), c) != colours.end()) {
                last = c;
                continue;
            }
            if (colours.size() == 16)
                return {};
            colours.push_back(c);
            last = c;
        }
    }
    std::sort(colours.begin(), colours.end());
    return colours;
}

bool writePicture(const QImage &source, QIODevice &device, PictureFileFormat format, QString *error)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    PictureLayout layout;
    layout.width = image.width();
    layout.height = image.height();
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        layout.dotsPerMeterX = image.dotsPerMeterX();
        layout.dotsPerMeterY = image.dotsPerMeterY();
    }
    if (format == PictureFileFormat::Png)
        layout.palette = smallPalette(image);
    PictureWriter writer(device, format, layout);
    std::vector<engine::Packed> row(std::size_t(image.width()));
    for (int y = 0; y < image.height(); ++y) {
        packRow(image, y, row);
        if (!writer.writeRow(row))
            break;
    }
    const bool written = writer.finish();
    if (!written && error)
        *error = writer.errorString();
    return written;
}

bool writePictureFile(const QImage &image, const QString &path, PictureFileFormat format, QString *error)
{
    SafeFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly))
        reason = file.errorString();
    else if (!writePicture(image, file, format, &reason))
        file.cancel();
    else if (!file.commit())
        reason = file.errorString();
    else
        return true;
    if (error)
        *error = reason;
    return false;
}

} // namespace lumivex::picture
