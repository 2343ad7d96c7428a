#include "mainwindow.h"

#include "icons.h"
#include "instancelock.h"

#include "docwindow/documentwindow.h"
#include "docwindow/openingsize.h"
#include "docwindow/paneselection.h"
#include "prompts/prompts.h"
#include "document/docstate.h"
#include "wizard/wizarddialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>

namespace lumivex::shell {

using docwindow::DocumentFrame;
using docwindow::DocumentWindow;

namespace {

/// What the main window showed for a run's window while a quit asks about the other documents.
struct RunLook
{
    QPointer<QMdiSubWindow> holder;
    QString stateFile;
    QString statusText;
    QString sizeText;
    document::DocState state;
    bool lent = false;  ///< another document's state is shown
};

void restoreRunLook(MainWindow &main, RunLook &look)
{
    if (!look.lent)
        return;
    look.lent = false;
    const auto *holder = qobject_cast<DocumentFrame *>(look.holder.data());
    if (holder && !holder->document()->isClosed()) {
        main.shared().StateFilePath = look.stateFile;
        main.applyDocState(look.state);
        main.setStatusText(1, look.statusText);
        main.setStatusText(5, look.sizeText);
    } else if (DocumentWindow *document = main.activeDocument()) {
        // The run's window has closed meanwhile: the window now active shows its own state.
        document->Activate();
    }
}

// While a run holds the lock the windows are not switched: the others stay locked and the run
// keeps its controls. The shared state is only lent to the document being asked about (read
// from its file, nothing written), and the run's window gets back what it showed.
void showForQuestion(MainWindow &main, RunLook &look, QMdiSubWindow *active, DocumentFrame *frame)
{
    if (!look.holder) {
        look.holder = active;
        look.stateFile = main.shared().StateFilePath;
        look.statusText = main.statusPanel(1)->text();
        look.sizeText = main.statusPanel(5)->text();
        look.state = main.docStateFromControls();
    }
    if (frame == look.holder) {
        restoreRunLook(main, look);
        return;
    }
    look.lent = true;
    frame->document()->Activate();
}

} // namespace

MainWindow::MainWindow(const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_lock(std::make_unique<InstanceLock>(document::programFolder()))
{
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Lumivex"));
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::onSubWindowActivated);
    m_timForWiz.setObjectName(QStringLiteral("timForWiz"));
    m_timForWiz.setSingleShot(true);
    connect(&m_timForWiz, &QTimer::timeout, this, &MainWindow::OnTimForWiz);

    createActions();
    createMenus();
    createExtras();
    createToolBars();
    createParameterStrip();
    createStatusBar();
    // The document area starts at 10680 × 7530 twips; the bars around it take what they need.
    // The window is centred once its layout has given every bar its size.
    resize(712, 502);
    layout()->activate();
    resize(QSize(712, 502) + (size() - m_mdiArea->size()));
    layout()->activate();
    // The size it had when it last closed, as far as the screen holds it; centred all the same.
    if (QSize kept = m_settings.windowSize(); kept.isValid()) {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            kept = kept.boundedTo(screen->availableGeometry().size());
        resize(kept.expandedTo(minimumSizeHint()));
    }

    CenterOnScreen();
    if (m_settings.windowMaximized())
        setWindowState(windowState() | Qt::WindowMaximized);
    m_shared.DocumentCounter = 1;
    SetNoDocumentState();
    m_shared.SettingsFilePath = m_settings.settingsFilePath();
    m_shared.StateFolder = stateFolder();
}

MainWindow::~MainWindow() = default;

QString MainWindow::stateFolder() const
{
    return m_lock->stateFolder();
}

void MainWindow::CenterOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move((area.width() - width()) / 2, (area.height() - height()) / 2);
}

DocumentWindow *MainWindow::activeDocument() const
{
    const auto *frame = qobject_cast<DocumentFrame *>(m_mdiArea->activeSubWindow());
    if (!frame || frame->document()->isClosed())
        return nullptr;
    return frame->document();
}

QList<DocumentWindow *> MainWindow::documentWindows() const
{
    QList<DocumentWindow *> result;
    for (const QPointer<QMdiSubWindow> &window : m_windows) {
        const auto *frame = qobject_cast<DocumentFrame *>(window.data());
        if (frame && !frame->document()->isClosed())
            result.append(frame->document());
    }
    return result;
}

void MainWindow::setDocumentWindowEnabled(DocumentWindow *window, bool enabled)
{
    if (QWidget *frame = window->parentWidget())
        frame->setEnabled(enabled);
}

bool MainWindow::isDocumentWindowEnabled(DocumentWindow *window) const
{
    const QWidget *frame = window->parentWidget();
    return frame && frame->isEnabled();
}

bool MainWindow::WriteDocState()
{
    QString reason;
    const bool written = document::writeDocState(m_shared.StateFilePath, docStateFromControls(), &reason);
    stateWritten(m_shared.StateFilePath, written, reason);
    return written;
}

void MainWindow::stateWritten(const QString &path, bool written, const QString &reason)
{
    if (m_stateOwner && !path.isEmpty())
        m_stateOwner->stateWritten(path, written, reason);
}

void MainWindow::ReadDocState()
{
    applyDocState(document::readDocState(m_shared.StateFilePath));
}

void MainWindow::deactivateActiveDocument()
{
    // The document shown until now writes its own state into its own file before anything of
    // the next document reaches the shared state; the new window's activation then finds no
    // previous window to deactivate.
    auto *previous = qobject_cast<DocumentFrame *>(m_active.data());
    m_active = nullptr;
    if (previous && !previous->document()->isClosed())
        previous->document()->Deactivate();
    m_stateOwner = nullptr;  // what is written next belongs to the document shown next
}

void MainWindow::OpenDocumentWindow()
{
    deactivateActiveDocument();
    // A new document has no pictures yet: it must not take over the paths of the document shown
    // before (the wizard hands its own over once the window exists).
    if (m_shared.DocumentOrigin == document::Origin::New) {
        m_shared.DesignImagePath.clear();
        m_shared.FieldImagePath.clear();
        m_shared.StereoImagePath.clear();
        m_shared.DesignDepth = document::DepthKind::Colours;
        m_shared.InvertDepth = false;
    }
    applyNewDocumentState();
    setStatusText(5, QString());  // a new window has no stereo picture yet
    auto *document = new DocumentWindow(*this);
    m_stateOwner = document;
    new docwindow::PaneSelection(*document, *this);  // owned by the document
    if (m_openedCopy) {
        document->setSavedCopy(m_openedCopy->exists, m_openedCopy->bytes);
        m_openedCopy.reset();
    }
    // The frame first: the document lays its panes out at the size the area gives it.
    auto *frame = new DocumentFrame(document);
    docwindow::sizeForArea(*frame, *m_mdiArea);
    document->Load();
    frame->setWindowIcon(documentIcon(document->iconId()));
    connect(document, &DocumentWindow::closedWhileBusy, frame, &QObject::deleteLater);
    m_windows.append(frame);
    m_mdiArea->addSubWindow(frame);
    frame->show();
    m_mdiArea->setActiveSubWindow(frame);
    if (m_active != frame)
        onSubWindowActivated(frame);
    if (m_shared.DocumentOrigin == document::Origin::New)
        ++m_shared.DocumentCounter;
    m_shared.DocumentOrigin = document::Origin::None;
}

void MainWindow::newDocument(document::Mode mode, document::Word<document::Colour> colour)
{
    deactivateActiveDocument();
    m_shared.ModeWord = mode;
    m_shared.ColourWord = colour;
    m_shared.DocumentOrigin = document::Origin::New;
    OpenDocumentWindow();
    DocumentWindow *document = activeDocument();
    if (document)
        document->layoutForMode();
    setSliderValue(0, 70);
    setSliderValue(1, 20);
    const bool randomDot = mode == document::Mode::RandomDot;
    if (randomDot) {
        setSliderEnabled(2, true);
        setSliderValue(2, 30);
        setCaptionEnabled(2, true);
    } else {
        setSliderEnabled(2, false);
        setSliderValue(2, 0);
        setCaptionEnabled(2, false);
    }
    // The state file was written at creation, before the density slider and its caption got
    // their state for the mode; a colour-field document whose file still had them enabled
    // would get them back on its next activation.
    if (document)
        WriteDocState();
}

void MainWindow::PostCommand(const document::Word<document::Command> &word)
{
    DocumentWindow *document = activeDocument();
    m_shared.CommandWord = word;
    if (document)
        document->armCommandTimer();
}

void MainWindow::OnTimForWiz()
{
    m_timForWiz.stop();
    deactivateActiveDocument();
    m_shared.DocumentOrigin = document::Origin::New;
    m_shared.ModeWord = document::Mode::Field;
    OpenDocumentWindow();
    PostCommand(document::Command::FromWizard);
}

void MainWindow::onSubWindowActivated(QMdiSubWindow *window)
{
    // Only a switch from one document window to another counts: a dialog or another program
    // taking the focus reports a null window, and getting the focus back reports the same one.
    auto *frame = qobject_cast<DocumentFrame *>(window);
    if (!frame || frame == m_active || frame->document()->isClosed())
        return;
    auto *previous = qobject_cast<DocumentFrame *>(m_active.data());
    m_active = frame;
    if (previous && !previous->document()->isClosed())
        previous->document()->Deactivate();
    m_stateOwner = frame->document();
    frame->document()->Activate();
}

void MainWindow::onConvStop()
{
    m_shared.PauseRequested = true;
}

void MainWindow::onConvExit()
{
    m_shared.PauseRequested = true;
    m_shared.AbortRequested = true;
    if (DocumentWindow *document = activeDocument())
        document->abortRun();
    m_shared.Converting = false;
    const QList<DocumentWindow *> windows = documentWindows();
    for (DocumentWindow *window : windows) {
        if (!isDocumentWindowEnabled(window))
            setDocumentWindowEnabled(window, true);
    }
    SetConvEnded();
    setStatusText(1, m_shared.StateFilePath);
    setStatusText(5, QString());
    m_controls.set({document::Control::mnuPrint, document::Control::knButtons4}, false);
    applyControls();
}

void MainWindow::onPaste()
{
    // A paste with no pane selected does nothing (the previous command must not run again).
    using document::Command;
    using document::Source;
    if (m_shared.InsertSource == Source::DesignPane)
        PostCommand(Command::InsDesign);
    else if (m_shared.InsertSource == Source::FieldPane)
        PostCommand(Command::InsField);
    else if (m_shared.InsertSource == Source::StereoPane)
        PostCommand(Command::InsStereo);
}

void MainWindow::showWizard()
{
    wizard::WizardResult start;
    start.kurikaesi = m_shared.WizardKurikaesi;
    start.rittaido = m_shared.WizardRittaido;
    wizard::WizardDialog wizard(start, m_settings, m_services.prompts, stateFolder(), this);
    wizard.exec();
    // The numbers given are offered again by the next wizard, finished or not.
    const wizard::WizardResult &result = wizard.wizardResult();
    m_shared.WizardKurikaesi = result.kurikaesi;
    m_shared.WizardRittaido = result.rittaido;
    if (!result.finished)
        return;
    m_shared.WizardFinished = true;
    m_shared.WizardDesignTemp = result.designTemp;
    m_shared.WizardFieldTemp = result.fieldTemp;
    // The chosen paths belong to the new document only: the document active now keeps its own.
    // They are handed over once the relay has made the new document the active one.
    const QString designPath = result.designPath;
    const QString fieldPath = result.fieldSourcePath;
    const bool smooth = result.smoothDesign;
    const int scaledWidth = result.designScaledWidth;
    connect(
        &m_timForWiz, &QTimer::timeout, this,
        [this, designPath, fieldPath, smooth, scaledWidth] {
            m_shared.DesignImagePath = designPath;
            m_shared.FieldImagePath = fieldPath;
            m_shared.DesignDepth = smooth ? document::DepthKind::Grey : document::DepthKind::Colours;
            m_shared.DesignScaledWidth = scaledWidth;
            WriteDocState();
        },
        Qt::SingleShotConnection);
    m_timForWiz.start(50);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Every document closes through its own close path; one refusal stops the quit.
    RunLook runLook;
    const QList<QPointer<QMdiSubWindow>> windows = m_windows;
    for (const QPointer<QMdiSubWindow> &window : windows) {
        if (!window)
            continue;
        auto *frame = qobject_cast<DocumentFrame *>(window.data());
        if (frame && frame->document()->isClosed())
            continue;
        // The question and a save answer belong to this document: make it the active one first,
        // so that the shared state describes it.
        if (!m_shared.Converting) {
            if (m_mdiArea->activeSubWindow() != window) {
                m_mdiArea->setActiveSubWindow(window);
                if (m_active != window)
                    onSubWindowActivated(window);
            }
        } else if (frame) {
            showForQuestion(*this, runLook, m_active, frame);
        }
        // A window whose conversion is still on the stack accepts its close but is only
        // deleted when the conversion has returned: it counts as closed.
        if (!window->close() && !(frame && frame->document()->isClosed())) {
            restoreRunLook(*this, runLook);
            event->ignore();
            return;
        }
    }
    // A wizard finished just before the quit hands over to no document.
    m_timForWiz.stop();
    deleteStateFilesAtQuit();
    // The next start opens at this size; a maximized window keeps the size it had before.
    const bool maximized = isMaximized();
    const QRect normal = normalGeometry();
    m_settings.setWindowState(maximized && normal.isValid() ? normal.size() : size(), maximized);
    event->accept();
}

void MainWindow::deleteStateFilesAtQuit()
{
    m_lock->cleanUpAtQuit();
}

} // namespace lumivex::shell
