#include "inifile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <climits>
#include <optional>

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

QString decodeText(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // Files saved on Japanese Windows are in its ANSI code page.
    QStringDecoder shiftJis("windows-31j");
    if (shiftJis.isValid())
        return shiftJis(bytes);
    return QString::fromLatin1(bytes);
}

} // namespace

bool IniFile::load(const QString &path)
{
    m_lines.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Read one byte past the limit so that devices and huge files are refused without
    // reading them whole.
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize || file.error() != QFileDevice::NoError)
        return false;
    const QString text = decodeText(bytes);
    if (text.isEmpty())
        return true;
    m_lines = text.split(u'\n');
    if (text.endsWith(u'\n'))
        m_lines.removeLast();
    for (QString &line : m_lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return true;
}

bool IniFile::save(const QString &path) const
{
    QByteArray bytes;
    for (const QString &line : m_lines) {
        bytes += line.toUtf8();
        bytes += '\n';
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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

QString IniFile::readString(const QString &section, const QString &key,
                            const QString &fallback) const
{
    return iniCutValue(value(section, key, fallback));
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
                    const QString &value)
{
    IniFile file;
    // Writing back what could not be read would throw the rest of the file away.
    if (!file.load(path) && QFileInfo::exists(path))
        return false;
    return file.set(section, key, value) && file.save(path);
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
