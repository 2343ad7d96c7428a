#include "docstate.h"

#include "inifile.h"

#include <QFileInfo>

namespace lumivex::document {

namespace {

const QString kFileNamePath = QStringLiteral("FileNamePath");
const QString kPicDesignPath = QStringLiteral("PicDesignPath");
const QString kPicFieldPath = QStringLiteral("PicFieldPath");
const QString kPicStereoPath = QStringLiteral("PicStereoPath");
const QString kStereoName = QStringLiteral("StereoName");
const QString kMonoOrColor = QStringLiteral("MONOorCOLOR");
const QString kKurikaesiHaba = QStringLiteral("KurikaesiHaba");
const QString kRittaido = QStringLiteral("Rittaido");
const QString kMitudo = QStringLiteral("Mitudo");
const QString kDepthKind = QStringLiteral("DepthKind");
const QString kGrey = QStringLiteral("Grey");
const QString kDesignScaledWidth = QStringLiteral("DesignScaledWidth");
const QString kStereoScaledWidth = QStringLiteral("StereoScaledWidth");
const QString kInvertDepth = QStringLiteral("InvertDepth");
constexpr int kMaxScaledWidth = 1024;  ///< the window's widest picture

// A scaled width is said only for a picture file: without a path there is nothing to scale.
void setScaledWidth(IniFile &file, const QString &section, const QString &key, int width, const QString &path)
{
    if (width > 0 && !path.isEmpty())
        file.set(section, key, QString::number(width));
    else
        file.remove(section, key);
}

int readScaledWidth(const IniFile &file, const QString &section, const QString &key)
{
    const int width = file.readInt(section, key, 0);
    return width > 0 && width <= kMaxScaledWidth ? width : 0;
}

} // namespace

std::array<std::pair<QString, QString>, DocState::kKeyCount>
DocState::entries(const QString &path) const
{
    std::array<std::pair<QString, QString>, kKeyCount> result;
    int n = 0;
    const auto add = [&](const QString &key, const QString &value) {
        result[n++] = {key, value};
    };
    add(kFileNamePath, path);
    add(kPicDesignPath, picDesignPath);
    add(kPicFieldPath, picFieldPath);
    add(kPicStereoPath, picStereoPath);
    add(kStereoName, stereoName.text());
    add(kMonoOrColor, monoOrColor.text());
    add(kKurikaesiHaba, QString::number(kurikaesiHaba));
    add(kRittaido, QString::number(rittaido));
    add(kMitudo, QString::number(mitudo));
    for (int i = 0; i < kControlCount; ++i)
        add(controlKey(Control(i)), iniBoolText(controls[Control(i)]));
    Q_ASSERT(n == kKeyCount);
    return result;
}

bool writeDocState(const QString &path, const DocState &state, QString *error)
{
    IniFile file;
    // Never replace a file we could not read with one holding only our keys.
    if (!file.load(path) && QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("the file there could not be read");
        return false;
    }
    const QString section = QString::fromLatin1(kSection);
    bool allStored = true;
    for (const auto &[key, value] : state.entries(path)) {
        if (!file.set(section, key, value)) {
            // A path with a line break cannot be stored; an empty one is better than the
            // previous document's path left standing.
            file.set(section, key, QString());
            allStored = false;
        }
    }
    if (state.depthKind == DepthKind::Grey)
        file.set(section, kDepthKind, kGrey);
    else
        file.remove(section, kDepthKind);
    setScaledWidth(file, section, kDesignScaledWidth, state.designScaledWidth, state.picDesignPath);
    setScaledWidth(file, section, kStereoScaledWidth, state.stereoScaledWidth, state.picStereoPath);
    if (state.invertDepth)
        file.set(section, kInvertDepth, iniBoolText(true));
    else
        file.remove(section, kInvertDepth);
    if (!file.save(path, error))
        return false;
    if (!allStored && error)
        *error = QStringLiteral("a picture path holding a line break cannot be stored");
    return allStored;
}

DocState readDocState(const QString &path)
{
    IniFile file;
    file.load(path);
    const QString section = QString::fromLatin1(kSection);
    DocState state;
    // Picture paths are read whole: a path cut at 255 characters names another file or none.
    state.picDesignPath = file.readLongString(section, kPicDesignPath, state.picDesignPath);
    state.picFieldPath = file.readLongString(section, kPicFieldPath, state.picFieldPath);
    state.picStereoPath = file.readLongString(section, kPicStereoPath, state.picStereoPath);
    state.stereoName = Word<Mode>::fromText(file.readString(section, kStereoName, state.stereoName.text()));
    state.monoOrColor = Word<Colour>::fromText(file.readString(section, kMonoOrColor, state.monoOrColor.text()));
    state.kurikaesiHaba = file.readInt(section, kKurikaesiHaba, state.kurikaesiHaba);
    state.rittaido = file.readInt(section, kRittaido, state.rittaido);
    state.mitudo = file.readInt(section, kMitudo, state.mitudo);
    for (int i = 0; i < kControlCount; ++i)
        state.controls.set(Control(i), file.readBool(section, controlKey(Control(i)), true));
    if (file.readString(section, kDepthKind).compare(kGrey, Qt::CaseInsensitive) == 0)
        state.depthKind = DepthKind::Grey;
    state.designScaledWidth = readScaledWidth(file, section, kDesignScaledWidth);
    state.stereoScaledWidth = readScaledWidth(file, section, kStereoScaledWidth);
    // Only "True" turns the depth inside out: a picture made the other way round is no default.
    state.invertDepth = file.readString(section, kInvertDepth).compare(iniBoolText(true), Qt::CaseInsensitive) == 0;
    return state;
}

bool holdsDocState(const QString &path)
{
    IniFile file;
    if (!file.load(path))
        return false;
    const QString section = QString::fromLatin1(kSection);
    for (const auto &[key, value] : DocState().entries(path)) {
        if (file.contains(section, key))
            return true;
    }
    return false;
}

} // namespace lumivex::document
