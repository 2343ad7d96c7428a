#include "docstate.h"

#include "inifile.h"

#include <QFileInfo>

namespace lumivex::document {

const std::array<const char *, DocState::kMenuCount> DocState::kMenuKeys = {
    "mnuFile",        "mnuNew",          "mnuWizard",     "mnuFieldColor",  "mnuColor",
    "mnuMono",        "mnuOpen",         "mnuSave",       "mnuSaveName",    "mnuSaveGazou",
    "mnuSaveDesign",  "mnuSaveField",    "mnuSaveStereo", "mnuClose",       "mnuPrint",
    "mnuEnd",         "mnujHensyuu",     "mnuEditer",     "mnuEditerChoice", "mnuEditerBoot",
    "mnuCut",         "mnuCopy",         "mnuPaste",      "mnuClear",       "mnuIns",
    "mnuInsDesign",   "mnuInsField",     "mnuInsStereo",  "mnuConvert",     "mnuConvStart",
    "mnuConvStop",    "mnuConvExit",     "mnuWindow",     "mnuHelp",        "mnuInfomation",
    "mnuSetumei",
};

const std::array<const char *, DocState::kMenuCount> DocState::kMenuNames = [] {
    std::array<const char *, kMenuCount> names = kMenuKeys;
    for (const char *&name : names) {
        // The edit menu's key carries a stray 'j' that stored files keep.
        if (qstrcmp(name, "mnujHensyuu") == 0)
            name = "mnuHensyuu";
    }
    return names;
}();

const std::array<const char *, DocState::kSliderCount> DocState::kSliderKeys = {
    "sldKurikaesiEnabled",
    "sldRittaidoEnabled",
    "sldMitudoEnabled",
};

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

QString buttonKey(int index)
{
    return QStringLiteral("knButtons%1").arg(index + 1);
}

QString textKey(int index)
{
    return QStringLiteral("knText%1").arg(index);
}

} // namespace

int DocState::menuIndex(const QString &nameOrKey)
{
    for (int i = 0; i < kMenuCount; ++i) {
        if (nameOrKey == QLatin1String(kMenuKeys[i]) || nameOrKey == QLatin1String(kMenuNames[i]))
            return i;
    }
    return -1;
}

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
    for (int i = 0; i < kMenuCount; ++i)
        add(QLatin1String(kMenuKeys[i]), iniBoolText(menus[i]));
    for (int i = 0; i < kButtonCount; ++i)
        add(buttonKey(i), iniBoolText(buttons[i]));
    for (int i = 0; i < kTextCount; ++i)
        add(textKey(i), iniBoolText(texts[i]));
    for (int i = 0; i < kSliderCount; ++i)
        add(QLatin1String(kSliderKeys[i]), iniBoolText(sliders[i]));
    Q_ASSERT(n == kKeyCount);
    return result;
}

bool writeDocState(const QString &path, const DocState &state)
{
    IniFile file;
    // Never replace a file we could not read with one holding only our keys.
    if (!file.load(path) && QFileInfo::exists(path))
        return false;
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
    return file.save(path) && allStored;
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
    for (int i = 0; i < DocState::kMenuCount; ++i)
        state.menus[i] = file.readBool(section, QLatin1String(DocState::kMenuKeys[i]), true);
    for (int i = 0; i < DocState::kButtonCount; ++i)
        state.buttons[i] = file.readBool(section, buttonKey(i), true);
    for (int i = 0; i < DocState::kTextCount; ++i)
        state.texts[i] = file.readBool(section, textKey(i), true);
    for (int i = 0; i < DocState::kSliderCount; ++i)
        state.sliders[i] = file.readBool(section, QLatin1String(DocState::kSliderKeys[i]), true);
    return state;
}

} // namespace lumivex::document
