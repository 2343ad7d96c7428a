#include "documentwindow.h"

#include "mainfacade.h"
#include "pane.h"
#include "picturebox.h"
#include "prompts/prompts.h"

#include "document/sharedstate.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QMenu>

#include <algorithm>

namespace lumivex::docwindow {

namespace {
const QString kTmp = QStringLiteral(".tmp");
}

DocumentWindow::DocumentWindow(MainFacade &main, QWidget *parent)
    : QWidget(parent)
    , m_main(main)
{
    setObjectName(QStringLiteral("Form1"));
    m_panes[0] = new Pane(QStringLiteral("Before"), tr("デザイン画像"), this);
    m_panes[1] = new Pane(QStringLiteral("Field"), tr("フィールド画像"), this);
    m_panes[2] = new Pane(QStringLiteral("After"), tr("ステレオアート画像"), this);
    m_picDrag = new QWidget(this);
    m_picDrag->setObjectName(QStringLiteral("picDrag"));
    m_picDrag->setCursor(Qt::SizeHorCursor);
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, &DocumentWindow::OnTimer1);
    setUpGuides();
    resize(600, 400);
}

DocumentWindow::~DocumentWindow() = default;

PictureBox *DocumentWindow::picBefore() const { return m_panes[0]->picture(); }
PictureBox *DocumentWindow::picField() const { return m_panes[1]->picture(); }
PictureBox *DocumentWindow::picAfter() const { return m_panes[2]->picture(); }

void DocumentWindow::Load()
{
    document::SharedState &s = m_main.shared();
    layoutWindow();
    if (s.DocumentOrigin == document::Origin::New) {
        m_caption = QStringLiteral("Vexart") + QString::number(s.DocumentCounter);
        s.StateFilePath = s.StateFolder + QLatin1Char('/') + m_caption + kTmp;
        m_lblOldIniName = s.StateFilePath;
        m_main.writeState(s.StateFilePath);
    } else {
        m_caption = s.DocumentTitle;
    }
    m_lblIniName = s.StateFilePath;
    m_lblOldIniName = s.StateFilePath;
    // An opened project is as it was last saved unless the opener knew better; the keys the
    // sliders wrote back while it was read were written for this window.
    if (!m_lblOldIniName.endsWith(kTmp)) {
        if (!m_savedCopy)
            rememberSavedCopy();
        m_ownCopy = copyOf(m_lblIniName);
    }
    m_lblStereoName = s.ModeWord;
    m_iconId = s.ModeWord == document::Mode::Field ? 104 : s.ColourWord == document::Colour::Color ? 103 : 101;
    setWindowTitle(m_caption);
    m_main.setStatusText(1, s.StateFilePath);
    SkipNextActivate = true;
}

void DocumentWindow::Activate()
{
    if (SkipNextActivate) {
        SkipNextActivate = false;
        return;
    }
    document::SharedState &s = m_main.shared();
    s.StateFilePath = m_lblIniName;
    DocumentEvent event{DocumentEvent::Kind::Activated};
    event.mode = m_lblStereoName;
    event.stereoShown = picAfter()->isVisible() || !picAfter()->isHidden();
    m_main.report(event);
    m_main.setStatusText(1, s.StateFilePath);
    // The picture-size panel shows this document's stereo picture, not the one shown before.
    const QSize size = picAfter()->isHidden() ? QSize() : picAfter()->image().size();
    if (size.isEmpty())
        m_main.setStatusText(5, QString());
    else
        showSize(size.width(), size.height());
}

void DocumentWindow::Deactivate()
{
    m_main.shared().DocumentTitle = m_lblTitle;
    m_main.report({DocumentEvent::Kind::Deactivated});
}

bool DocumentWindow::QueryUnload()
{
    Unloading = true;
    const bool neverSaved = m_lblOldIniName.right(4) == kTmp;
    const QString text = (neverSaved ? tr("「%1」を保存しますか？") : tr("「%1」を上書き保存しますか？")).arg(m_caption);
    const bool lastWindow = m_main.documentWindows().size() == 1;
    switch (m_main.prompts().question(this, applicationTitle(), text)) {
    case Prompts::Answer::Yes:
        // A save that fails keeps the window open: its state is the only copy left.
        if (neverSaved)
            SaveProjectAs();
        else if (!SaveState())
            SaveCancelled = true;
        if (SaveCancelled) {
            SaveCancelled = false;
            return false;
        }
        break;
    case Prompts::Answer::No:
        if (neverSaved) {
            QFile::remove(m_lblOldIniName);
        } else if (!restoreSavedCopy(m_lblIniName)) {
            m_main.prompts().exclamation(this, applicationTitle(),
                                         tr("次のファイルを保存した時の内容に戻せませんでした。\r\n%1")
                                             .arg(QDir::toNativeSeparators(m_lblIniName)));
        }
        break;
    default:
        return false;
    }
    if (m_runHeld) {
        // The run ends with its window: the conversion controls leave the run's state (the
        // document shown next brings its own enabled states). A paused run has no loop left
        // to free the other windows, so that is done here; a running loop does it itself at
        // its next row.
        m_main.report({DocumentEvent::Kind::RunClosed});
        if (!m_looping)
            releaseClosedRun();
    }
    if (lastWindow)
        m_main.report({DocumentEvent::Kind::LastClosed});
    return true;
}

void DocumentWindow::setIdentity(const QString &iniName, const QString &title)
{
    m_lblIniName = iniName;
    m_lblOldIniName = iniName;
    m_lblTitle = title;
    m_caption = title;
    setWindowTitle(title);
}

void DocumentWindow::armCommandTimer()
{
    m_timer1.start(50);
}

namespace {

using document::Command;

/// The operation each command word runs on the command tick. A word that is none of these
/// (or a command the tick does not run) does nothing.
constexpr std::pair<Command, void (*)(DocumentWindow &)> kOperations[] = {
    {Command::InsDesign, [](DocumentWindow &w) { w.InsPicDesign(); }},
    {Command::InsField, [](DocumentWindow &w) { w.InsPicField(); }},
    {Command::InsStereo, [](DocumentWindow &w) { w.InsPicStereo(); }},
    {Command::Open, [](DocumentWindow &w) { w.LoadProjectPictures(); }},
    {Command::ConvStart, [](DocumentWindow &w) { w.RunConversion(); }},
    {Command::SaveName, [](DocumentWindow &w) { w.SaveProjectAs(); }},
    {Command::Save, [](DocumentWindow &w) { w.SaveState(); }},
    {Command::SaveDesign, [](DocumentWindow &w) { w.SavePaneImage(); }},
    {Command::SaveField, [](DocumentWindow &w) { w.SavePaneImage(); }},
    {Command::SaveStereo, [](DocumentWindow &w) { w.SavePaneImage(); }},
    {Command::FromWizard, [](DocumentWindow &w) { w.SetupFromWizard(); }},
    {Command::Print, [](DocumentWindow &w) { w.PrintStereo(); }},
    {Command::Close, [](DocumentWindow &w) { w.CloseWindow(); }},
};

} // namespace

void DocumentWindow::OnTimer1()
{
    m_timer1.stop();
    ++m_busy;
    const document::Word<Command> word = m_main.shared().CommandWord;
    for (const auto &[command, operation] : kOperations) {
        if (word == command) {
            operation(*this);
            break;
        }
    }
    --m_busy;
    if (m_closed && m_busy == 0)
        Q_EMIT closedWhileBusy();
}

void DocumentWindow::RunConversion()
{
    // A mode word that is neither kind starts nothing.
    const document::Word<document::Mode> &mode = m_main.shared().ModeWord;
    if (refuseUnreachable())
        return;
    if (mode == document::Mode::RandomDot)
        ConvRandomDot();
    else if (mode == document::Mode::Field)
        ConvField();
}

void DocumentWindow::CloseWindow()
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->close();
}

DocumentFrame::DocumentFrame(DocumentWindow *document, QWidget *parent)
    : QMdiSubWindow(parent)
    , m_document(document)
{
    setWidget(document);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(document->windowTitle());
    connect(document, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    // The system menu's close item takes the platform's keys of QKeySequence::Close; on Linux
    // that is Ctrl+W alone, the main window's key for choosing the editor (a key two actions
    // claim runs neither). The item closes on Ctrl+F4 instead, on every platform.
    if (QMenu *menu = systemMenu()) {
        const QKeySequence ctrlW(Qt::CTRL | Qt::Key_W);
        const QKeySequence ctrlF4(Qt::CTRL | Qt::Key_F4);
        const QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
        const QList<QAction *> items = menu->actions();
        for (QAction *item : items) {
            QList<QKeySequence> keys = item->shortcuts();
            // The close item is the menu's last; on a platform without close keys it has none.
            const bool closes = item == items.constLast()
                || std::any_of(keys.cbegin(), keys.cend(),
                               [&closeKeys](const QKeySequence &key) { return closeKeys.contains(key); });
            if (!closes)
                continue;
            keys.removeAll(ctrlW);
            if (!keys.contains(ctrlF4))
                keys.prepend(ctrlF4);
            item->setShortcuts(keys);
        }
    }
}

void DocumentFrame::closeEvent(QCloseEvent *event)
{
    if (m_document->isClosed()) {
        event->accept();
        return;
    }
    if (!m_document->QueryUnload()) {
        event->ignore();
        return;
    }
    m_document->markClosed();
    if (m_document->isBusy()) {
        // A command is still running in this window (a conversion yielding to the event loop):
        // hide now, delete once the command has returned.
        event->ignore();
        hide();
        return;
    }
    event->accept();
}

} // namespace lumivex::docwindow
