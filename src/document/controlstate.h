#pragma once

#include <QString>

#include <array>
#include <initializer_list>
#include <optional>

namespace lumivex::document {

/// The main window's controls whose enabled state belongs to a document: the menu items, the
/// toolbar buttons 1..14, the caption boxes of the parameter strip and its sliders, in the order
/// of the state file. Their texts (the state file's keys) are in one table, controlstate.cpp.
enum class Control {
    mnuFile, mnuNew, mnuWizard, mnuFieldColor, mnuColor,
    mnuMono, mnuOpen, mnuSave, mnuSaveName, mnuSaveGazou,
    mnuSaveDesign, mnuSaveField, mnuSaveStereo, mnuClose, mnuPrint,
    mnuEnd, mnuHensyuu, mnuEditer, mnuEditerChoice, mnuEditerBoot,
    mnuCut, mnuCopy, mnuPaste, mnuClear, mnuIns,
    mnuInsDesign, mnuInsField, mnuInsStereo, mnuConvert, mnuConvStart,
    mnuConvStop, mnuConvExit, mnuWindow, mnuHelp, mnuInfomation,
    mnuSetumei,
    knButtons1, knButtons2, knButtons3, knButtons4, knButtons5, knButtons6, knButtons7,
    knButtons8, knButtons9, knButtons10, knButtons11, knButtons12, knButtons13, knButtons14,
    knText0, knText1, knText2,
    sldKurikaesi, sldRittaido, sldMitudo,
};

inline constexpr int kControlCount = int(Control::sldMitudo) + 1;
inline constexpr int kMenuControlCount = int(Control::mnuSetumei) + 1;

/// Toolbar button 1..14, caption box 0..2 and slider 0..2 as controls.
constexpr Control buttonControl(int number) { return Control(int(Control::knButtons1) + number - 1); }
constexpr Control captionControl(int index) { return Control(int(Control::knText0) + index); }
constexpr Control sliderControl(int index) { return Control(int(Control::sldKurikaesi) + index); }
constexpr bool isMenuControl(Control control) { return int(control) < kMenuControlCount; }

/// The control's key in the state file ("mnuSave", "knButtons3", "sldMitudoEnabled", ...).
QString controlKey(Control control);
/// The name of the menu item it is ("mnuHensyuu" for the key "mnujHensyuu"); for the other
/// controls their key.
QString controlName(Control control);
/// The control a menu item name or a state file key names.
std::optional<Control> controlNamed(const QString &nameOrKey);

/// The enabled state of every control for one document. Everything is enabled until said
/// otherwise.
class ControlState
{
public:
    ControlState() { m_enabled.fill(true); }

    bool operator[](Control control) const { return m_enabled[std::size_t(control)]; }
    void set(Control control, bool enabled) { m_enabled[std::size_t(control)] = enabled; }
    void set(std::initializer_list<Control> controls, bool enabled)
    {
        for (Control control : controls)
            set(control, enabled);
    }

    bool operator==(const ControlState &) const = default;

private:
    std::array<bool, kControlCount> m_enabled{};
};

} // namespace lumivex::document
