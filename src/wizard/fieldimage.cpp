#include "fieldimage.h"

#include "picture/picture.h"
#include "picture/safefile.h"
#include "engine/packedimage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace lumivex::wizard {

namespace {

// A folder full of such names is not worth more attempts than this.
constexpr int kMaxDraws = 200;

} // namespace

QImage buildFieldImage(const QImage &source, int width, int height)
{
    if (source.isNull() || width <= 0 || height <= 0)
        return {};
    const engine::PackedImage tiled = engine::tileField(picture::toPacked(source), width, height);
    return picture::fromPacked(tiled);
}

HandOverFiles::HandOverFiles(QString folder, std::function<int()> draw)
    : m_folder(std::move(folder))
    , m_draw(std::move(draw))
{
    if (!m_draw)
        m_draw = [] { return static_cast<int>(QRandomGenerator::global()->bounded(10000, 100000)); };
}

QString HandOverFiles::write(const QImage &image, QString *error)
{
    // Made whole before the file is opened, so that writing it is one checked block.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "BMP")) {
        if (error)
            *error = QStringLiteral("the picture could not be encoded");
        return {};
    }
    QString lastError = QStringLiteral("no free name");
    for (int attempt = 0; attempt < kMaxDraws; ++attempt) {
        const QString path = QDir(m_folder).filePath(QStringLiteral("TMP%1.bmp").arg(m_draw()));
        QFile file(path);
        // NewOnly: a name already taken (the other picture of this hand-over, a pending one of
        // another copy of the program) is drawn again instead of being overwritten. Unbuffered:
        // a full disk shows at the write, with its reason.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            lastError = file.errorString();
            if (file.exists())
                continue;
            break;
        }
        bool written = picture::writeWhole(file, bytes.constData(), bytes.size(), &lastError);
        file.close();
        if (written && file.error() != QFileDevice::NoError) {
            lastError = file.errorString();
            written = false;
        }
        if (written)
            return path;
        QFile::remove(path);
        break;
    }
    if (error)
        *error = lastError;
    return {};
}

} // namespace lumivex::wizard
