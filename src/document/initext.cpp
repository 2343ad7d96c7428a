#include "initext.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace lumivex::document {

namespace {

// CP932 as Windows has it, NEC and IBM extensions included.
constexpr char kShiftJis[] = "windows-31j";

const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray kUtf16LeBom = QByteArrayLiteral("\xFF\xFE");
const QByteArray kUtf16BeBom = QByteArrayLiteral("\xFE\xFF");

// Stateless: a sequence cut short at the end of the file is an error, not a pending state.
// ConvertInitialBom: whatever follows a mark we removed is text, kept as it is.
constexpr auto kDecodeFlags = QStringConverter::Flag::Stateless
    | QStringConverter::Flag::ConvertInitialBom;

struct Attempt
{
    QString text;
    bool valid = false;
    qsizetype errors = 0; // invalid sequences met, when not valid
};

Attempt decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, kDecodeFlags);
    Attempt attempt;
    attempt.text = decoder(bytes);
    attempt.valid = !decoder.hasError();
    attempt.errors = attempt.text.count(QChar::ReplacementCharacter);
    return attempt;
}

Attempt decodeShiftJis(QByteArrayView bytes)
{
    QStringDecoder decoder(kShiftJis, kDecodeFlags);
    Attempt attempt;
    if (!decoder.isValid()) {
        attempt.text = QString::fromLatin1(bytes);
        attempt.errors = bytes.size() + 1;
        return attempt;
    }
    attempt.text = decoder(bytes);
    attempt.valid = !decoder.hasError();
    // The converter puts U+FFFD or SUB (U+001A) where a sequence is invalid.
    attempt.errors = attempt.text.count(QChar::ReplacementCharacter)
        + attempt.text.count(QChar(0x1A)) - bytes.count('\x1A');
    return attempt;
}

QString decodeUtf16(QByteArrayView bytes, QStringConverter::Encoding encoding)
{
    QStringDecoder decoder(encoding, kDecodeFlags);
    return decoder(bytes);
}

template<typename Text>
IniLineEnding lineEndingOf(const Text &text)
{
    const qsizetype lf = text.indexOf('\n');
    return lf > 0 && text[lf - 1] == '\r' ? IniLineEnding::CrLf : IniLineEnding::Lf;
}

// Characters that a decoding of a real INI file does not produce: C1 controls and the private
// use area (Shift-JIS user-defined characters, stray UTF-8 sequences).
bool implausible(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x80 && u <= 0x9F) || (u >= 0xE000 && u <= 0xF8FF);
}

bool plausible(const QString &text)
{
    return std::none_of(text.begin(), text.end(), implausible);
}

// Characters that UTF-8 stores in two bytes (Latin letters with accents, Greek, Cyrillic).
bool hasTwoByteSequences(const QString &text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x80 && c.unicode() <= 0x7FF; });
}

bool preferUtf8(const Attempt &utf8, const Attempt &shiftJis, IniLineEnding lineEnding)
{
    if (utf8.valid != shiftJis.valid)
        return utf8.valid;
    if (!utf8.valid)
        return utf8.errors < shiftJis.errors;
    const bool utf8Plausible = plausible(utf8.text);
    if (utf8Plausible != plausible(shiftJis.text))
        return utf8Plausible;
    if (!hasTwoByteSequences(utf8.text))
        return true;
    return lineEnding == IniLineEnding::Lf;
}

QString joined(const QStringList &lines, IniLineEnding lineEnding)
{
    const QLatin1String eol(lineEnding == IniLineEnding::CrLf ? "\r\n" : "\n");
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += eol;
    }
    return text;
}

} // namespace

IniText decodeIniText(const QByteArray &bytes)
{
    const QByteArrayView view(bytes);
    IniText result;
    if (bytes.startsWith(kUtf8Bom)) {
        result.text = decodeUtf8(view.sliced(kUtf8Bom.size())).text;
        result.encoding = IniEncoding::Utf8Bom;
    } else if (bytes.startsWith(kUtf16LeBom)) {
        result.text = decodeUtf16(view.sliced(kUtf16LeBom.size()), QStringConverter::Utf16LE);
        result.encoding = IniEncoding::Utf16Le;
    } else if (bytes.startsWith(kUtf16BeBom)) {
        result.text = decodeUtf16(view.sliced(kUtf16BeBom.size()), QStringConverter::Utf16BE);
        result.encoding = IniEncoding::Utf16Be;
    } else {
        // CR and LF are never part of a multi-byte character in either candidate, so the
        // bytes tell the line ending before the encoding is known.
        const IniLineEnding lineEnding = lineEndingOf(view);
        if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; })) {
            result.text = QString::fromLatin1(bytes);
            result.encoding = lineEnding == IniLineEnding::CrLf ? IniEncoding::ShiftJis
                                                                : IniEncoding::Utf8;
        } else {
            Attempt utf8 = decodeUtf8(view);
            Attempt shiftJis = decodeShiftJis(view);
            const bool isUtf8 = preferUtf8(utf8, shiftJis, lineEnding);
            result.text = std::move(isUtf8 ? utf8.text : shiftJis.text);
            result.encoding = isUtf8 ? IniEncoding::Utf8 : IniEncoding::ShiftJis;
        }
        result.lineEnding = lineEnding;
        return result;
    }
    result.lineEnding = lineEndingOf(result.text);
    return result;
}

QByteArray encodeIniText(const QStringList &lines, IniEncoding &encoding,
                         IniLineEnding lineEnding)
{
    if (encoding == IniEncoding::ShiftJis) {
        // Windows writes its profile files with CRLF.
        const QString text = joined(lines, IniLineEnding::CrLf);
        QStringEncoder encoder(kShiftJis, QStringConverter::Flag::Stateless);
        if (encoder.isValid()) {
            const QByteArray bytes = encoder(text);
            if (!encoder.hasError() && decodeIniText(bytes).text == text)
                return bytes;
        }
        encoding = IniEncoding::Utf16Le;
        lineEnding = IniLineEnding::CrLf;
    }
    const QString text = joined(lines, lineEnding);
    switch (encoding) {
    case IniEncoding::Utf8: {
        const QByteArray bytes = text.toUtf8();
        if (decodeIniText(bytes).text == text)
            return bytes;
        encoding = IniEncoding::Utf8Bom;
        return kUtf8Bom + bytes;
    }
    case IniEncoding::Utf8Bom:
        return kUtf8Bom + text.toUtf8();
    case IniEncoding::Utf16Le:
        return kUtf16LeBom + QByteArray(QStringEncoder(QStringConverter::Utf16LE)(text));
    case IniEncoding::Utf16Be:
        return kUtf16BeBom + QByteArray(QStringEncoder(QStringConverter::Utf16BE)(text));
    case IniEncoding::ShiftJis:
        break; // handled above
    }
    return {};
}

} // namespace lumivex::document
