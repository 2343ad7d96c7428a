// Which of the main window's controls can be used when, and their state file mapping.
#include "mainwindow.h"

#include <QAction>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

#include <initializer_list>

namespace lumivex::shell {

namespace {

using Names = std::initializer_list<const char *>;

/// The menu items that neither start-up nor a new document changes from "on".
constexpr Names kAlwaysOn = {
    "mnuFile", "mnuNew", "mnuWizard", "mnuFieldColor", "mnuColor", "mnuMono", "mnuOpen",
    "mnuEnd", "mnuHensyuu", "mnuEditer", "mnuEditerChoice", "mnuEditerBoot", "mnuIns",
    "mnuConvert", "mnuWindow", "mnuHelp", "mnuInfomation", "mnuSetumei",
};
/// Off both with no document and in a new document.
constexpr Names kNoDocumentOff = {
    "mnuSave", "mnuSaveGazou", "mnuSaveDesign", "mnuSaveField", "mnuSaveStereo", "mnuPrint",
    "mnuCut", "mnuCopy", "mnuClear", "mnuConvStart", "mnuConvStop", "mnuConvExit",
};

constexpr Names kRunningOn = {
    "mnuFile", "mnuSaveDesign", "mnuSaveField", "mnuSaveStereo", "mnuEnd", "mnuHensyuu",
    "mnuEditerChoice", "mnuEditerBoot", "mnuIns", "mnuConvert", "mnuHelp", "mnuInfomation",
    "mnuSetumei",
};
constexpr Names kRunningOff = {
    "mnuInsDesign", "mnuNew", "mnuWizard", "mnuFieldColor", "mnuColor", "mnuMono", "mnuOpen",
    "mnuSave", "mnuSaveName", "mnuSaveGazou", "mnuClose", "mnuPrint", "mnuEditer", "mnuCut",
    "mnuCopy", "mnuPaste", "mnuClear", "mnuInsField", "mnuInsStereo", "mnuWindow",
};

/// The enabled state a widget was given itself, whatever its parents' state.
bool ownEnabled(const QWidget *widget)
{
    return !widget->testAttribute(Qt::WA_ForceDisabled);
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

void MainWindow::setMenuEnabled(const QString &name, bool enabled)
{
    if (QAction *action = m_menus.value(name))
        action->setEnabled(enabled);
}

bool MainWindow::isMenuEnabled(const QString &name) const
{
    const QAction *action = m_menus.value(name);
    return action && action->isEnabled();
}

void MainWindow::setButtonEnabled(int index, bool enabled)
{
    if (QAction *action = button(index))
        action->setEnabled(enabled);
}

void MainWindow::setInsItemEnabled(int position, bool enabled)
{
    static const char *const kKeys[] = {"InsDesign", "InsField", "InsStereo"};
    if (position >= 1 && position <= 3) {
        if (QAction *item = m_dropDownItems.value(QString::fromLatin1(kKeys[position - 1])))
            item->setEnabled(enabled);
    }
}

void MainWindow::setSliderValue(int slider, int value)
{
    // A changed value runs the slider's change handling (state file and status panel).
    if (QSlider *control = this->slider(slider))
        control->setValue(value);
}

void MainWindow::setSliderEnabled(int slider, bool enabled)
{
    if (QSlider *control = this->slider(slider))
        control->setEnabled(enabled);
}

void MainWindow::setCaptionEnabled(int caption, bool enabled)
{
    if (QLabel *label = this->caption(caption))
        label->setEnabled(enabled);
}

// Start-up and new-document states.

void MainWindow::SetNoDocumentState()
{
    for (const char *name : kAlwaysOn)
        setMenuEnabled(QString::fromLatin1(name), true);
    for (const char *name : kNoDocumentOff)
        setMenuEnabled(QString::fromLatin1(name), false);
    for (const char *name : {"mnuSaveName", "mnuClose", "mnuPaste", "mnuInsDesign",
                             "mnuInsField", "mnuInsStereo"})
        setMenuEnabled(QString::fromLatin1(name), false);

    for (int index = 1; index <= 14; ++index) {
        const bool on = index == 1 || index == 2 || index == 5 || index == 10 || index == 14;
        setButtonEnabled(index, on);
    }
    for (int i = 0; i < 3; ++i) {
        setCaptionEnabled(i, false);
        setSliderEnabled(i, false);
    }
    setStatusText(1, QString());
}

void MainWindow::applyNewDocumentState()
{
    const bool fieldAllowed = !(m_shared.ModeWord == document::Mode::RandomDot);
    for (const char *name : kAlwaysOn)
        setMenuEnabled(QString::fromLatin1(name), true);
    for (const char *name : kNoDocumentOff)
        setMenuEnabled(QString::fromLatin1(name), false);
    for (const char *name : {"mnuSaveName", "mnuClose", "mnuInsDesign", "mnuInsStereo"})
        setMenuEnabled(QString::fromLatin1(name), true);
    setMenuEnabled(QStringLiteral("mnuInsField"), fieldAllowed);
    // mnuPaste, button 8 and status panel 1 keep what they show.

    for (int index : {1, 2, 5, 9, 10, 14})
        setButtonEnabled(index, true);
    for (int index : {3, 4, 6, 7, 11, 12, 13})
        setButtonEnabled(index, false);
    setInsItemEnabled(2, fieldAllowed);
    for (int i = 0; i < 3; ++i) {
        setCaptionEnabled(i, true);
        setSliderEnabled(i, true);
    }
    // A colour-field document has no density: an opened one shows it greyed, as a new one does
    // once its command has set the sliders.
    if (fieldAllowed) {
        setCaptionEnabled(2, false);
        setSliderEnabled(2, false);
    }
}

// Conversion control states.

void MainWindow::setConvControls(const QString &startCaption, bool start, bool stop, bool exit)
{
    QAction *startItem = m_menus.value(QStringLiteral("mnuConvStart"));
    if (!startCaption.isEmpty()) {
        startItem->setText(startCaption);
        m_buttons[11]->setToolTip(startCaption);
    }
    startItem->setEnabled(start);
    setMenuEnabled(QStringLiteral("mnuConvStop"), stop);
    setMenuEnabled(QStringLiteral("mnuConvExit"), exit);
    setButtonEnabled(11, start);
    setButtonEnabled(12, stop);
    setButtonEnabled(13, exit);
}

void MainWindow::SetConvIdle()
{
    setConvControls(QStringLiteral("開始"), true, false, false);
}

void MainWindow::SetConvRunning()
{
    setConvControls(QStringLiteral("継続"), false, true, false);
    for (const char *name : kRunningOn)
        setMenuEnabled(QString::fromLatin1(name), true);
    for (const char *name : kRunningOff)
        setMenuEnabled(QString::fromLatin1(name), false);
    for (int index : {5, 10, 14})
        setButtonEnabled(index, true);
    for (int index : {1, 2, 3, 4, 6, 7, 8, 9})
        setButtonEnabled(index, false);
    for (int i = 0; i < 3; ++i) {
        setCaptionEnabled(i, false);
        setSliderEnabled(i, false);
    }
}

void MainWindow::SetConvPaused()
{
    setConvControls(QString(), true, false, true);  // the caption stays "継続"
}

void MainWindow::SetConvEnded()
{
    ReadDocState();
    setConvControls(QStringLiteral("開始"), true, false, false);
    WriteDocState();
}

// The state file mapping.

document::DocState MainWindow::docStateFromControls() const
{
    using document::DocState;
    DocState state;
    state.fileNamePath = m_shared.StateFilePath;
    state.picDesignPath = m_shared.DesignImagePath;
    state.picFieldPath = m_shared.FieldImagePath;
    state.picStereoPath = m_shared.StereoImagePath;
    state.stereoName = m_shared.ModeWord;
    state.monoOrColor = m_shared.ColourWord;
    state.kurikaesiHaba = m_sliders[0]->value();
    state.rittaido = m_sliders[1]->value();
    state.mitudo = m_sliders[2]->value();
    for (int i = 0; i < DocState::kMenuCount; ++i)
        state.menus[i] = isMenuEnabled(QString::fromLatin1(DocState::kMenuNames[i]));
    for (int i = 0; i < DocState::kButtonCount; ++i)
        state.buttons[i] = m_buttons[i + 1]->isEnabled();
    for (int i = 0; i < DocState::kTextCount; ++i)
        state.texts[i] = ownEnabled(m_captions[i]);
    for (int i = 0; i < DocState::kSliderCount; ++i)
        state.sliders[i] = ownEnabled(m_sliders[i]);
    return state;
}

void MainWindow::applyDocState(const document::DocState &state)
{
    using document::DocState;
    m_shared.DesignImagePath = state.picDesignPath;
    m_shared.FieldImagePath = state.picFieldPath;
    m_shared.StereoImagePath = state.picStereoPath;
    m_shared.ModeWord = state.stereoName;
    m_shared.ColourWord = state.monoOrColor;
    setSliderValue(0, state.kurikaesiHaba);
    setSliderValue(1, state.rittaido);
    setSliderValue(2, state.mitudo);
    for (int i = 0; i < DocState::kMenuCount; ++i)
        setMenuEnabled(QString::fromLatin1(DocState::kMenuNames[i]), state.menus[i]);
    // The "Ins" button's field item is not in the file; it is the twin of 挿入 → フィールド画像,
    // so it follows that item rather than whatever the previous document left in it.
    setInsItemEnabled(2, isMenuEnabled(QStringLiteral("mnuInsField")));
    for (int i = 0; i < DocState::kButtonCount; ++i)
        setButtonEnabled(i + 1, state.buttons[i]);
    for (int i = 0; i < DocState::kTextCount; ++i)
        setCaptionEnabled(i, state.texts[i]);
    for (int i = 0; i < DocState::kSliderCount; ++i)
        setSliderEnabled(i, state.sliders[i]);
}

} // namespace lumivex::shell
