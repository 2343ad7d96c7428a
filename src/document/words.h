#pragma once

#include <QString>

#include <optional>
#include <span>
#include <utility>

namespace lumivex::document {

/// The kind of a document ("StereoName" in the state file).
enum class Mode { RandomDot, Field };
/// The colours of a random-dot document ("MONOorCOLOR"); a colour-field document has none.
enum class Colour { Mono, Color };
/// Where the next insertion takes its picture from (a file dialog, the project just opened, or
/// the clipboard when the pane named is the selected one).
enum class Source { FromFile, FromProject, DesignPane, FieldPane, StereoPane };
/// The commands a document window runs on its command tick.
enum class Command {
    InsDesign, InsField, InsStereo, Open, ConvStart, SaveName, Save,
    SaveDesign, SaveField, SaveStereo, FromWizard, Print, Close,
};
/// How a document's design gives depth: in the sixteen depth colours, or as a grey depth map
/// read smoothly, black the farthest and white the nearest ("DepthKind=Grey" in the state file).
enum class DepthKind { Colours, Grey };
/// How the document about to be made came about.
enum class Origin { None, New, Opened };

/// The text of every value of a word, in one table per kind.
template<typename E>
struct WordTable;

template<>
struct WordTable<Mode>
{
    static std::span<const std::pair<Mode, const char *>> entries();
};
template<>
struct WordTable<Colour>
{
    static std::span<const std::pair<Colour, const char *>> entries();
};
template<>
struct WordTable<Source>
{
    static std::span<const std::pair<Source, const char *>> entries();
};
template<>
struct WordTable<Command>
{
    static std::span<const std::pair<Command, const char *>> entries();
};

/// A word as the state file and the command tick know it: one of the values of E, or a text
/// that is none of them (read from a file, or empty), which is kept as it came and written back
/// unchanged, and which no value equals.
template<typename E>
class Word
{
public:
    Word() = default;
    Word(E value) : m_value(value) {}  // NOLINT: a value is always a word

    /// The value whose text this is (case and blanks count), or the text kept as it is.
    static Word fromText(const QString &text)
    {
        for (const auto &[value, name] : WordTable<E>::entries()) {
            if (text == QLatin1String(name))
                return Word(value);
        }
        Word word;
        word.m_other = text;
        return word;
    }

    QString text() const
    {
        if (!m_value)
            return m_other;
        for (const auto &[value, name] : WordTable<E>::entries()) {
            if (value == *m_value)
                return QString::fromLatin1(name);
        }
        return QString();
    }

    std::optional<E> value() const { return m_value; }
    bool isEmpty() const { return !m_value && m_other.isEmpty(); }

    bool operator==(E value) const { return m_value == value; }
    bool operator==(const Word &) const = default;

private:
    std::optional<E> m_value;
    QString m_other;  ///< the text of a word that is no value
};

} // namespace lumivex::document
