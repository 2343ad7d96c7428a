#pragma once

#include "docwindow/mainfacade.h"
#include "document/appsettings.h"
#include "document/docstate.h"
#include "document/sharedstate.h"
#include "services.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSlider;
class QToolBar;
class QToolButton;

namespace lumivex::shell {

class InstanceLock;
class StereoCheckWindow;
class StereoViewer;

/// The main window (MDIForm1): the frame of the document windows with the menus, the toolbar,
/// the parameter strip with its three sliders and the status bar. Every command acts on the
/// active document window.
class MainWindow : public QMainWindow, public docwindow::MainFacade
{
    Q_OBJECT

public:
    /// services answer every modal question, print, hold the clipboard and start programs;
    /// they outlive the window.
    explicit MainWindow(const Services &services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Looking up controls (tests, and the state file mapping).
    /// A menu item by name ("mnuFile", "mnuSaveStereo", ...); for a menu with a submenu the
    /// action that opens it.
    QAction *menuAction(const QString &name) const;
    /// The menu item of a control.
    QAction *controlAction(document::Control control) const { return m_menus.value(document::controlName(control)); }
    /// Toolbar button 1..14 (5, 10 and 14 are separators).
    QAction *button(int index) const;
    /// The drop-down items of the "New" (button 1) and "Ins" (button 9) buttons, by key.
    QAction *dropDownItem(const QString &key) const;
    QToolButton *dropDownButton(int index) const;
    QSlider *slider(int index) const;    ///< 0 sldKurikaesi, 1 sldRittaido, 2 sldMitudo
    QLabel *caption(int index) const;    ///< Text1(0..2)
    QLabel *statusPanel(int panel) const;  ///< 1..5
    QMdiArea *mdiArea() const { return m_mdiArea; }
    QTimer *timForWiz() { return &m_timForWiz; }
    docwindow::DocumentWindow *activeDocument() const;

    /// The enabled state of the active document's controls, and what every control shows:
    /// applyControls() makes the menus, toolbar, captions and sliders show the state held.
    const document::ControlState &controls() const { return m_controls; }
    void applyControls();

    // The state file mapping of the controls.
    document::DocState docStateFromControls() const;
    void applyDocState(const document::DocState &state);

    // MainFacade
    document::SharedState &shared() override { return m_shared; }
    const document::AppSettings &settings() override { return m_settings; }
    prompts::Prompts &prompts() override { return m_services.prompts; }
    docwindow::Clipboard &clipboard() override { return m_services.clipboard; }
    docwindow::Printer &printer() override { return m_services.printer; }
    void report(const docwindow::DocumentEvent &event) override;  ///< mainwindow_events.cpp
    bool writeState(const QString &path, QString *error = nullptr) override;
    void setStatusText(int panel, const QString &text) override;
    QList<docwindow::DocumentWindow *> documentWindows() const override;
    void lockDocuments(docwindow::DocumentWindow *holder, bool locked) override;

    // The controls and the state file of the active document (mainwindow_states.cpp).
    void popupEditMenu(const QPoint &globalPos);
    QString stateFolder() const;
    bool WriteDocState();
    void ReadDocState();
    void SetNoDocumentState();
    void SetConvIdle();
    void SetConvRunning();
    void SetConvPaused();
    void SetConvEnded();
    /// Enabled state of a menu item by its name ("mnuSaveStereo") and of toolbar button 1..14.
    void setMenuEnabled(const QString &name, bool enabled);
    bool isMenuEnabled(const QString &name) const;
    void setButtonEnabled(int index, bool enabled);
    /// The parameter strip: slider 0 sldKurikaesi, 1 sldRittaido, 2 sldMitudo, and the caption
    /// boxes Text1(0..2). Setting a value runs the slider's change handling.
    void setSliderValue(int slider, int value);
    void setSliderEnabled(int slider, bool enabled);
    void setCaptionEnabled(int caption, bool enabled);
    void setDocumentWindowEnabled(docwindow::DocumentWindow *window, bool enabled);
    bool isDocumentWindowEnabled(docwindow::DocumentWindow *window) const;

    // Commands.
    void OpenDocumentWindow();
    void newDocument(document::Mode mode, document::Word<document::Colour> colour);  ///< mnuMono/mnuColor/mnuFieldColor
    void PostCommand(const document::Word<document::Command> &word);
    /// 開く: reads a project file and opens it in a new document window.
    void OpenProject();
    /// Opens the project file at path as 開く opens a chosen one (the command line's file).
    void openProject(const QString &path);
    /// Opens a new random-dot (monochrome) document with the picture at path as its design (the
    /// command line's picture). A picture that cannot be read is reported and opens nothing.
    void openPicture(const QString &path);
    void OnTimForWiz();
    void CenterOnScreen();

    // The editor, help and version commands (mainwindow_help.cpp).
    /// The help page of the shipped files in the interface's language (helpPageName()), unless
    /// set otherwise (tests).
    QString helpPage() const;
    void setHelpPage(const QString &path);

    // Edit commands on the selected pane of the active document (mainwindow_edit.cpp).
    void onCopy();
    void onCut();
    void ClearSelectedPane();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Built in mainwindow_ui.cpp.
    void createActions();
    void createMenus();
    void createToolBars();
    void createParameterStrip();
    void createStatusBar();
    void applyNewDocumentState();
    void onSliderChanged(int index, int value);

    // The commands beyond the classic set (mainwindow_extras.cpp).
    void createExtras();
    void applyExtras();
    void invertDepthChosen(bool on);  ///< 変換 → 奥行きを反転
    void refreshStereoCheck();        ///< 立体の確認's report, for the active document, while shown
    void revealDepth();
    void addPaneFitItem(QMenu *menu);
    void sliderMovedForLiveConversion();
    void runPausedForLiveConversion();
    void startLiveRun();
    bool sliderKeptForLiveRun(int slider) const;
    void setConvControls(const QString &startCaption, bool start, bool stop, bool exit);
    /// The strip's mark beside 立体度: shown, with what to change as its tooltip, while the
    /// active document's nearest depth would be shifted as far as the repeat width.
    QLabel *createDepthMark(QWidget *parent);
    void showDepthReach();

    // Commands that run in the main window itself.
    void onConvStop();
    void onConvExit();
    void onPaste();
    void showWizard();
    void onSubWindowActivated(QMdiSubWindow *window);
    void deleteStateFilesAtQuit();
    void deactivateActiveDocument();
    void chooseEditor();    ///< mnuEditerChoice
    void startEditor();     ///< mnuEditerBoot
    void openHelp();        ///< mnuSetumei
    void showVersionBox();  ///< mnuInfomation

    Services m_services;
    document::SharedState m_shared;
    document::ControlState m_controls;
    bool m_insFieldItem = true;  ///< the "Ins" button's field item (not in the state file)
    document::AppSettings m_settings;
    std::unique_ptr<InstanceLock> m_lock;

    QMdiArea *m_mdiArea = nullptr;
    QHash<QString, QAction *> m_menus;         ///< every menu item by name
    std::array<QAction *, 15> m_buttons{};     ///< toolbar buttons 1..14 (index 0 unused)
    QHash<QString, QAction *> m_dropDownItems; ///< by key: StereoWiz, Stereo, ..., InsStereo
    QToolButton *m_newButton = nullptr;
    QToolButton *m_insButton = nullptr;
    QToolBar *m_toolBar = nullptr;
    std::array<QSlider *, 3> m_sliders{};
    std::array<QLabel *, 3> m_captions{};
    QLabel *m_depthMark = nullptr;             ///< lblDepthReach beside sldRittaido
    std::array<QLabel *, 6> m_panels{};        ///< status panels 1..5 (index 0 unused)
    QTimer m_timForWiz;
    QList<QPointer<QMdiSubWindow>> m_windows;  ///< document windows in creation order
    QPointer<QMdiSubWindow> m_active;          ///< the document window last activated
    QString m_helpPage;                        ///< empty: the shipped page
    QAction *m_printPreview = nullptr;
    QAction *m_reveal = nullptr;
    QAction *m_fullView = nullptr;
    QAction *m_guides = nullptr;
    QAction *m_autoConvert = nullptr;
    QAction *m_invertDepth = nullptr;  ///< 変換 → 奥行きを反転, the active document's InvertDepth
    QAction *m_stereoCheckItem = nullptr;      ///< 変換 → 立体の確認…
    QPointer<StereoCheckWindow> m_stereoCheck; ///< its window, made when first asked for
    QAction *m_seeIn3D = nullptr;              ///< 変換 → 立体で見る, its submenu
    QPointer<StereoViewer> m_stereoViewer;     ///< its window, made when first asked for
    QAction *m_paneFit = nullptr;
    QAction *m_fitItem = nullptr;  ///< 変換's ウインドウに合わせる (Ctrl+0)
    bool m_liveRestart = false;    ///< a slider moved during a live run: one more run follows it
    bool m_liveRunQueued = false;  ///< a live run is about to start
    int m_userSlider = -1;         ///< the slider the user is moving, until its value changes
    /// A project file as the open command found it, for the window about to be made for it.
    struct OpenedCopy
    {
        bool exists = false;
        QByteArray bytes;
    };
    std::optional<OpenedCopy> m_openedCopy;
    /// The document whose state the main window holds: the state file is written on its behalf.
    QPointer<docwindow::DocumentWindow> m_stateOwner;
    void stateWritten(const QString &path, bool written, const QString &reason);
};

} // namespace lumivex::shell
