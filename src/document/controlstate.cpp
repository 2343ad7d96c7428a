#include "controlstate.h"

namespace lumivex::document {

namespace {

/// Key and menu item name of every control, in Control order (which is the file's order).
/// A null name is the key itself.
struct ControlText
{
    const char *key;
    const char *name;
};

constexpr ControlText kControls[kControlCount] = {
    {"mnuFile", nullptr},        {"mnuNew", nullptr},          {"mnuWizard", nullptr},
    {"mnuFieldColor", nullptr},  {"mnuColor", nullptr},        {"mnuMono", nullptr},
    {"mnuOpen", nullptr},        {"mnuSave", nullptr},         {"mnuSaveName", nullptr},
    {"mnuSaveGazou", nullptr},   {"mnuSaveDesign", nullptr},   {"mnuSaveField", nullptr},
    {"mnuSaveStereo", nullptr},  {"mnuClose", nullptr},        {"mnuPrint", nullptr},
    {"mnuEnd", nullptr},
    // The edit menu's key carries a stray 'j' that stored files keep.
    {"mnujHensyuu", "mnuHensyuu"},
    {"mnuEditer", nullptr},      {"mnuEditerChoice", nullptr}, {"mnuEditerBoot", nullptr},
    {"mnuCut", nullptr},         {"mnuCopy", nullptr},         {"mnuPaste", nullptr},
    {"mnuClear", nullptr},       {"mnuIns", nullptr},          {"mnuInsDesign", nullptr},
    {"mnuInsField", nullptr},    {"mnuInsStereo", nullptr},    {"mnuConvert", nullptr},
    {"mnuConvStart", nullptr},   {"mnuConvStop", nullptr},     {"mnuConvExit", nullptr},
    {"mnuWindow", nullptr},      {"mnuHelp", nullptr},         {"mnuInfomation", nullptr},
    {"mnuSetumei", nullptr},
    {"knButtons1", nullptr},     {"knButtons2", nullptr},      {"knButtons3", nullptr},
    {"knButtons4", nullptr},     {"knButtons5", nullptr},      {"knButtons6", nullptr},
    {"knButtons7", nullptr},     {"knButtons8", nullptr},      {"knButtons9", nullptr},
    {"knButtons10", nullptr},    {"knButtons11", nullptr},     {"knButtons12", nullptr},
    {"knButtons13", nullptr},    {"knButtons14", nullptr},
    {"knText0", nullptr},        {"knText1", nullptr},         {"knText2", nullptr},
    {"sldKurikaesiEnabled", nullptr}, {"sldRittaidoEnabled", nullptr}, {"sldMitudoEnabled", nullptr},
};

} // namespace

QString controlKey(Control control)
{
    return QString::fromLatin1(kControls[std::size_t(control)].key);
}

QString controlName(Control control)
{
    const ControlText &text = kControls[std::size_t(control)];
    return QString::fromLatin1(text.name ? text.name : text.key);
}

std::optional<Control> controlNamed(const QString &nameOrKey)
{
    for (int i = 0; i < kControlCount; ++i) {
        const ControlText &text = kControls[i];
        if (nameOrKey == QLatin1String(text.key) || (text.name && nameOrKey == QLatin1String(text.name)))
            return Control(i);
    }
    return std::nullopt;
}

} // namespace lumivex::document
