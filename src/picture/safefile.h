#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QSaveFile>
#include <QString>

class QFileDevice;

namespace lumivex::picture {

/// A file that is replaced whole or not at all: the bytes go to a temporary file beside it, and
/// commit() puts that file in its place only when every write and the final flush succeeded.
/// On any failure the old file stays as it was, the temporary file is removed, and
/// errorString() gives the system's reason ("No space left on device").
///
/// QSaveFile alone does not do this: a write cut short by a full disk returns the shorter count
/// without an error, and its commit() then succeeds with a cut-short file. This device writes
/// each block whole (the rest of a short write is tried again, which brings out the error) and
/// refuses to commit after any failure. It can seek, as the BMP writer needs.
class SafeFile : public QIODevice
{
public:
    explicit SafeFile(const QString &path);
    /// Removes the temporary file unless commit() succeeded.
    ~SafeFile() override;

    /// Only writing (WriteOnly, optionally with Truncate) is possible.
    bool open(OpenMode mode) override;
    /// Flushes and puts the file in place; false (old file kept) after any failure.
    bool commit();
    /// Drops what was written; commit() will then fail.
    void cancel();

    bool isSequential() const override { return false; }
    bool seek(qint64 pos) override;
    qint64 size() const override;
    /// The file name the device writes to.
    QString fileName() const { return m_file.fileName(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool fail(const QString &reason);

    QSaveFile m_file;
    bool m_failed = false;
};

/// Writes the block to the file whole, trying the rest of a short write again so that a full
/// disk gives its reason instead of a cut-short file called good. False with the reason in
/// *error (never "Unknown error") when not everything was written.
bool writeWhole(QFileDevice &file, const char *data, qint64 size, QString *error = nullptr);

/// Replaces the file at the path with the bytes through SafeFile. False, with the reason in
/// *error, when it could not; the file is then as it was.
bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace lumivex::picture
