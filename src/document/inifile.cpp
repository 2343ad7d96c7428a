#include "inifile.h"

#include "picture/safefile.h"

#include <QFile>
#include <QFileInfo>

#include <climits>
#include <optional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lumivex::document {

namespace {

// Values are read through a 256-character buffer, as the Windows profile calls do; stored
// files and users rely on the cut.
constexpr qsizetype kMaxValueLength = 255;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// "[name]" after optional blanks; the name is what lies between the brackets, trimmed.
std::optional<QStringView> sectionOf(QStringView line)
{
    const QStringView text = trimBlanks(line);
    if (!text.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = text.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return trimBlanks(text.sliced(1, close - 1));
}

struct KeyLine
{
    QStringView key;
    qsizetype valueStart = 0;
};

std::optional<KeyLine> keyOf(QStringView line)
{
    const QStringView text = trimBlanks(line);
    if (text.isEmpty() || text.startsWith(u';') || text.startsWith(u'['))
        return std::nullopt;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    return KeyLine{trimBlanks(line.first(eq)), eq + 1};
}

struct Location
{
    qsizetype header = -1;   // line of the section header
    qsizetype lastKey = -1;  // last key line of the section
    qsizetype keyLine = -1;  // line of the key itself
    qsizetype valueStart = 0;
};

Location locate(const QStringList &lines, QStringView section, QStringView key)
{
    Location found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        if (const auto name = sectionOf(line)) {
            if (found.header >= 0)
                break; // end of the first occurrence of the section
            if (sameName(*name, section))
                found.header = i;
            continue;
        }
        if (found.header < 0)
            continue;
        if (const auto entry = keyOf(line)) {
            found.lastKey = i;
            if (sameName(entry->key, key)) {
                found.keyLine = i;
                found.valueStart = entry->valueStart;
                break;
            }
        }
    }
    return found;
}

// Reads a regular file of at most IniFile::kMaxFileSize bytes. Anything else is refused before
// it is opened or read: opening a FIFO waits for a writer, a device may never end.
bool readRegularFile(const QString &path, QByteArray &bytes)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > IniFile::kMaxFileSize)
        return false;
    QFile file(path);
#ifdef Q_OS_UNIX
    // The path may have been replaced since the check: open without waiting and look again at
    // what was opened.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || status.st_size > IniFile::kMaxFileSize
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
#else
    if (!file.open(QIODevice::ReadOnly))
        return false;
#endif
    // One byte past the limit, for a file that grew since it was looked at.
    bytes = file.read(IniFile::kMaxFileSize + 1);
    return bytes.size() <= IniFile::kMaxFileSize && file.error() == QFileDevice::NoError;
}

} // namespace

bool IniFile::load(const QString &path)
{
    m_lines.clear();
    m_encoding = IniEncoding::Utf8;
    m_lineEnding = IniLineEnding::Lf;
    QByteArray bytes;
    if (!readRegularFile(path, bytes))
        return false;
    IniText text = decodeIniText(bytes);
    m_encoding = text.encoding;
    m_lineEnding = text.lineEnding;
    if (text.text.isEmpty())
        return true;
    m_lines = text.text.split(u'\n');
    if (text.text.endsWith(u'\n'))
        m_lines.removeLast();
    for (QString &line : m_lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return true;
}

namespace {

// A file the user may write in a folder where they may make no file (a shared folder, another
// user's) is written in place: there is no room for a temporary file beside it.
bool writeInPlace(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    bool written = file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)
        && picture::writeWhole(file, bytes.constData(), bytes.size(), error);
    if (written && !file.resize(bytes.size())) {
        written = false;
        if (error)
            *error = file.errorString();
    } else if (!written && error && error->isEmpty()) {
        *error = file.errorString();
    }
    return written;
}

} // namespace

bool IniFile::save(const QString &path, QString *error) const
{
    IniEncoding encoding = m_encoding;
    const QByteArray bytes = encodeIniText(m_lines, encoding, m_lineEnding);
    // A file that load() would refuse reads as all defaults: better not saved at all.
    if (bytes.size() > kMaxFileSize) {
        if (error)
            *error = QStringLiteral("the file would be larger than %1 bytes").arg(kMaxFileSize);
        return false;
    }
    return writeIniBytes(path, bytes, error);
}

bool writeIniBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    const QFileInfo info(path);
    if (info.isFile() && info.isWritable() && !QFileInfo(info.absolutePath()).isWritable())
        return writeInPlace(path, bytes, error);
    return picture::writeFileSafely(path, bytes, error);
}

bool IniFile::contains(const QString &section, const QString &key) const
{
    return locate(m_lines, trimBlanks(section), trimBlanks(key)).keyLine >= 0;
}

QString IniFile::value(const QString &section, const QString &key, const QString &fallback) const
{
    const Location found = locate(m_lines, trimBlanks(section), trimBlanks(key));
    if (found.keyLine < 0)
        return fallback;
    return m_lines[found.keyLine].mid(found.valueStart);
}

bool IniFile::set(const QString &section, const QString &key, const QString &value)
{
    const QStringView sectionName = trimBlanks(section);
    const QStringView keyName = trimBlanks(key);
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return false;
    if (sectionName.isEmpty() || sectionName.contains(u']'))
        return false;
    if (keyName.isEmpty() || keyName.contains(u'=') || keyName.startsWith(u'[')
        || keyName.startsWith(u';'))
        return false;

    const Location found = locate(m_lines, sectionName, keyName);
    if (found.keyLine >= 0) {
        // Keep the key as the file spells it, blanks included; only the value changes.
        QString &line = m_lines[found.keyLine];
        line.truncate(found.valueStart);
        line += value;
        return true;
    }
    const QString entry = keyName.toString() + u'=' + value;
    if (found.header >= 0) {
        m_lines.insert((found.lastKey >= 0 ? found.lastKey : found.header) + 1, entry);
        return true;
    }
    if (!m_lines.isEmpty() && !m_lines.last().isEmpty())
        m_lines.append(QString());
    m_lines.append(QLatin1Char('[') + sectionName.toString() + QLatin1Char(']'));
    m_lines.append(entry);
    return true;
}

void IniFile::remove(const QString &section, const QString &key)
{
    for (Location found = locate(m_lines, trimBlanks(section), trimBlanks(key)); found.keyLine >= 0;
         found = locate(m_lines, trimBlanks(section), trimBlanks(key)))
        m_lines.removeAt(found.keyLine);
}

QString IniFile::readString(const QString &section, const QString &key,
                            const QString &fallback) const
{
    return iniCutValue(value(section, key, fallback));
}

QString IniFile::readLongString(const QString &section, const QString &key,
                                const QString &fallback) const
{
    return trimBlanks(value(section, key, fallback)).toString();
}

int IniFile::readInt(const QString &section, const QString &key, int fallback) const
{
    if (!contains(section, key))
        return fallback;
    const QString text = iniCutValue(value(section, key));
    // An empty value counts as missing, as with GetPrivateProfileInt.
    return text.isEmpty() ? fallback : iniLeadingInt(text);
}

bool IniFile::readBool(const QString &section, const QString &key, bool fallback) const
{
    if (!contains(section, key))
        return fallback;
    return iniBool(value(section, key), fallback);
}

QString iniReadString(const QString &path, const QString &section, const QString &key,
                      const QString &fallback)
{
    IniFile file;
    file.load(path);
    return file.readString(section, key, fallback);
}

int iniReadInt(const QString &path, const QString &section, const QString &key, int fallback)
{
    IniFile file;
    file.load(path);
    return file.readInt(section, key, fallback);
}

bool iniReadBool(const QString &path, const QString &section, const QString &key, bool fallback)
{
    IniFile file;
    file.load(path);
    return file.readBool(section, key, fallback);
}

bool iniWriteString(const QString &path, const QString &section, const QString &key,
                    const QString &value, QString *error)
{
    IniFile file;
    // Writing back what could not be read would throw the rest of the file away.
    if (!file.load(path) && QFileInfo::exists(path))
        return false;
    return file.set(section, key, value) && file.save(path, error);
}

QString iniCutValue(const QString &raw)
{
    QStringView text = trimBlanks(raw);
    if (text.size() > kMaxValueLength) {
        qsizetype length = kMaxValueLength;
        if (text[length - 1].isHighSurrogate())
            --length; // never keep half a character
        text = trimBlanks(text.first(length));
    }
    return text.toString();
}

int iniLeadingInt(const QString &raw)
{
    const QStringView text = trimBlanks(raw);
    qint64 result = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        result = std::min<qint64>(result * 10 + (c.unicode() - u'0'), INT_MAX);
    }
    return static_cast<int>(result);
}

bool iniBool(const QString &text, bool fallback)
{
    const QStringView word = trimBlanks(text);
    if (sameName(word, u"True"))
        return true;
    if (sameName(word, u"False"))
        return false;
    // A number: optional sign, digits, optional fraction. Zero is false.
    qsizetype i = (word.startsWith(u'-') || word.startsWith(u'+')) ? 1 : 0;
    bool anyDigit = false;
    bool nonZero = false;
    bool seenPoint = false;
    for (; i < word.size(); ++i) {
        const QChar c = word[i];
        if (c == u'.' && !seenPoint) {
            seenPoint = true;
        } else if (c >= u'0' && c <= u'9') {
            anyDigit = true;
            nonZero = nonZero || c != u'0';
        } else {
            return fallback;
        }
    }
    return anyDigit ? nonZero : fallback;
}

QString iniBoolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace lumivex::document
