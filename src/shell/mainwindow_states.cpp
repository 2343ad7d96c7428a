// Which of the main window's controls can be used when, and their state file mapping.
#include "mainwindow.h"

#include <QAction>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

#include <span>

namespace lumivex::shell {

namespace {

using document::Control;
using document::ControlState;
using enum document::Control;

/// The menu items that neither start-up nor a new document changes from "on".
constexpr Control kAlwaysOn[] = {
    mnuFile, mnuNew, mnuWizard, mnuFieldColor, mnuColor, mnuMono, mnuOpen, mnuEnd, mnuHensyuu,
    mnuEditer, mnuEditerChoice, mnuEditerBoot, mnuIns, mnuConvert, mnuWindow, mnuHelp,
    mnuInfomation, mnuSetumei,
};
/// Off both with no document and in a new document.
constexpr Control kNoDocumentOff[] = {
    mnuSave, mnuSaveGazou, mnuSaveDesign, mnuSaveField, mnuSaveStereo, mnuPrint,
    mnuCut, mnuCopy, mnuClear, mnuConvStart, mnuConvStop, mnuConvExit,
};

constexpr Control kRunningOn[] = {
    mnuFile, mnuSaveDesign, mnuSaveField, mnuSaveStereo, mnuEnd, mnuHensyuu, mnuEditerChoice,
    mnuEditerBoot, mnuIns, mnuConvert, mnuHelp, mnuInfomation, mnuSetumei,
    knButtons5, knButtons10, knButtons14,
};
constexpr Control kRunningOff[] = {
    mnuInsDesign, mnuNew, mnuWizard, mnuFieldColor, mnuColor, mnuMono, mnuOpen, mnuSave,
    mnuSaveName, mnuSaveGazou, mnuClose, mnuPrint, mnuEditer, mnuCut, mnuCopy, mnuPaste,
    mnuClear, mnuInsField, mnuInsStereo, mnuWindow,
    knButtons1, knButtons2, knButtons3, knButtons4, knButtons6, knButtons7, knButtons8, knButtons9,
    knText0, knText1, knText2, sldKurikaesi, sldRittaido, sldMitudo,
};

void setAll(ControlState &state, std::span<const Control> controls, bool enabled)
{
    for (Control control : controls)
        state.set(control, enabled);
}

} // namespace

// Lookups and facade setters.

QAction *MainWindow::menuAction(const QString &name) const
{
    return m_menus.value(name);
}

QAction *MainWindow::button(int index) const
{
    return index >= 1 && index <= 14 ? m_buttons[index] : nullptr;
}

QAction *MainWindow::dropDownItem(const QString &key) const
{
    return m_dropDownItems.value(key);
}

QToolButton *MainWindow::dropDownButton(int index) const
{
    return index == 1 ? m_newButton : index == 9 ? m_insButton : nullptr;
}

QSlider *MainWindow::slider(int index) const
{
    return index >= 0 && index < 3 ? m_sliders[index] : nullptr;
}

QLabel *MainWindow::caption(int index) const
{
    return index >= 0 && index < 3 ? m_captions[index] : nullptr;
}

QLabel *MainWindow::statusPanel(int panel) const
{
    return panel >= 1 && panel <= 5 ? m_panels[panel] : nullptr;
}

void MainWindow::setStatusText(int panel, const QString &text)
{
    if (QLabel *label = statusPanel(panel))
        label->setText(text);
}

void MainWindow::applyControls()
{
    for (int i = 0; i < document::kControlCount; ++i) {
        const Control control = Control(i);
        const bool enabled = m_controls[control];
        if (document::isMenuControl(control)) {
            if (QAction *action = m_menus.value(document::controlName(control)))
                action->setEnabled(enabled);
        } else if (control >= knButtons1 && control <= knButtons14) {
            m_buttons[i - int(knButtons1) + 1]->setEnabled(enabled);
        } else if (control >= knText0 && control <= knText2) {
            m_captions[i - int(knText0)]->setEnabled(enabled);
        } else {
            const int slider = i - int(sldKurikaesi);
            m_sliders[slider]->setEnabled(enabled || sliderKeptForLiveRun(slider));
        }
    }
    if (QAction *item = m_dropDownItems.value(QStringLiteral("InsField")))
        item->setEnabled(m_insFieldItem);
    applyExtras();
}

void MainWindow::setMenuEnabled(const QString &name, bool enabled)
{
    if (const std::optional<Control> control = document::controlNamed(name)) {
        m_controls.set(*control, enabled);
        applyControls();
    }
}

bool MainWindow::isMenuEnabled(const QString &name) const
{
    const std::optional<Control> control = document::controlNamed(name);
    return control && m_controls[*control];
}

void MainWindow::setButtonEnabled(int index, bool enabled)
{
    if (index >= 1 && index <= 14) {
        m_controls.set(document::buttonControl(index), enabled);
        applyControls();
    }
}

void MainWindow::setSliderValue(int slider, int value)
{
    // A changed value runs the slider's change handling (state file and status panel), but
    // never a live conversion: that is for the user's own moves.
    m_userSlider = -1;
    if (QSlider *control = this->slider(slider))
        control->setValue(value);
}

void MainWindow::setSliderEnabled(int slider, bool enabled)
{
    if (slider >= 0 && slider < 3) {
        m_controls.set(document::sliderControl(slider), enabled);
        applyControls();
    }
}

void MainWindow::setCaptionEnabled(int caption, bool enabled)
{
    if (caption >= 0 && caption < 3) {
        m_controls.set(document::captionControl(caption), enabled);
        applyControls();
    }
}

// Start-up and new-document states.

void MainWindow::SetNoDocumentState()
{
    setAll(m_controls, kAlwaysOn, true);
    setAll(m_controls, kNoDocumentOff, false);
    m_controls.set({mnuSaveName, mnuClose, mnuPaste, mnuInsDesign, mnuInsField, mnuInsStereo}, false);
    for (int index = 1; index <= 14; ++index) {
        const bool on = index == 1 || index == 2 || index == 5 || index == 10 || index == 14;
        m_controls.set(document::buttonControl(index), on);
    }
    m_controls.set({knText0, knText1, knText2, sldKurikaesi, sldRittaido, sldMitudo}, false);
    applyControls();
    setStatusText(1, QString());
}

void MainWindow::applyNewDocumentState()
{
    const bool fieldAllowed = !(m_shared.ModeWord == document::Mode::RandomDot);
    setAll(m_controls, kAlwaysOn, true);
    setAll(m_controls, kNoDocumentOff, false);
    m_controls.set({mnuSaveName, mnuClose, mnuInsDesign, mnuInsStereo}, true);
    m_controls.set(mnuInsField, fieldAllowed);
    // mnuPaste, button 8 and status panel 1 keep what they show.
    m_controls.set({knButtons1, knButtons2, knButtons5, knButtons9, knButtons10, knButtons14}, true);
    m_controls.set({knButtons3, knButtons4, knButtons6, knButtons7, knButtons11, knButtons12, knButtons13},
                   false);
    m_insFieldItem = fieldAllowed;
    m_controls.set({knText0, knText1, knText2, sldKurikaesi, sldRittaido, sldMitudo}, true);
    // A colour-field document has no density: an opened one shows it greyed, as a new one does
    // once its command has set the sliders.
    if (fieldAllowed)
        m_controls.set({knText2, sldMitudo}, false);
    applyControls();
}

// Conversion control states.

void MainWindow::setConvControls(const QString &startCaption, bool start, bool stop, bool exit)
{
    QAction *startItem = m_menus.value(document::controlName(mnuConvStart));
    if (!startCaption.isEmpty()) {
        startItem->setText(startCaption);
        m_buttons[11]->setToolTip(startItem->toolTip());  // the caption without its access key
    }
    m_controls.set({mnuConvStart, knButtons11}, start);
    m_controls.set({mnuConvStop, knButtons12}, stop);
    m_controls.set({mnuConvExit, knButtons13}, exit);
    applyControls();
}

void MainWindow::SetConvIdle()
{
    setConvControls(tr("開始"), true, false, false);
}

void MainWindow::SetConvRunning()
{
    setAll(m_controls, kRunningOn, true);
    setAll(m_controls, kRunningOff, false);
    setConvControls(tr("継続"), false, true, false);
}

void MainWindow::SetConvPaused()
{
    setConvControls(QString(), true, false, true);  // the caption stays "継続"
}

void MainWindow::SetConvEnded()
{
    ReadDocState();
    setConvControls(tr("開始"), true, false, false);
    WriteDocState();
}

// The state file mapping.

document::DocState MainWindow::docStateFromControls() const
{
    document::DocState state;
    state.fileNamePath = m_shared.StateFilePath;
    state.picDesignPath = m_shared.DesignImagePath;
    state.picFieldPath = m_shared.FieldImagePath;
    state.picStereoPath = m_shared.StereoImagePath;
    state.stereoName = m_shared.ModeWord;
    state.monoOrColor = m_shared.ColourWord;
    state.kurikaesiHaba = m_sliders[0]->value();
    state.rittaido = m_sliders[1]->value();
    state.mitudo = m_sliders[2]->value();
    state.controls = m_controls;
    state.depthKind = m_shared.DesignDepth;
    state.designScaledWidth = m_shared.DesignScaledWidth;
    state.stereoScaledWidth = m_shared.StereoScaledWidth;
    state.invertDepth = m_shared.InvertDepth;
    return state;
}

void MainWindow::applyDocState(const document::DocState &state)
{
    m_shared.DesignImagePath = state.picDesignPath;
    m_shared.FieldImagePath = state.picFieldPath;
    m_shared.StereoImagePath = state.picStereoPath;
    m_shared.ModeWord = state.stereoName;
    m_shared.ColourWord = state.monoOrColor;
    m_shared.DesignDepth = state.depthKind;
    m_shared.DesignScaledWidth = state.designScaledWidth;
    m_shared.StereoScaledWidth = state.stereoScaledWidth;
    m_shared.InvertDepth = state.invertDepth;
    setSliderValue(0, state.kurikaesiHaba);
    setSliderValue(1, state.rittaido);
    setSliderValue(2, state.mitudo);
    m_controls = state.controls;
    // The "Ins" button's field item is not in the file; it is the twin of 挿入 → フィールド画像,
    // so it follows that item rather than whatever the previous document left in it.
    m_insFieldItem = m_controls[mnuInsField];
    applyControls();
}

} // namespace lumivex::shell
