// The commands beyond the classic set, kept out of the state file: 印刷プレビュー in the ファイル
// menu (enabled with 印刷), the reveal (深さを見る), the full view (全体表示), guide marks
// (ガイドを付ける) and live conversion (自動変換) in the 変換 menu, and the fit / 1:1 choice of a
// pane in its context menu. Their enabled state follows the active document whenever
// applyControls() runs; the check items live in the settings file. 奥行きを反転 follows the
// active document too, but its value is the document's own ("InvertDepth" in its state file).
// The strip's mark for settings that cannot give a picture and 立体の確認…'s report follow the
// active document and the sliders. 立体で見る opens the viewer on the active document as it is.
#include "mainwindow.h"

#include "docwindow/documentwindow.h"
#include "docwindow/picturebox.h"
#include "docwindow/paneselection.h"
#include "docwindow/picturecheck.h"
#include "stereocheckwindow.h"
#include "stereoviewer.h"
#include "docwindow/documentviews.h"
#include "engine/uniformrandom.h"
#include "engine/depthreach.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStyle>
#include <QTimer>

namespace lumivex::shell {

namespace {

bool stereoShown(docwindow::DocumentWindow *document)
{
    return document && !document->picAfter()->isHidden() && !document->picAfter()->image().isNull();
}

bool paneHasPicture(docwindow::DocumentWindow *document, int pane)
{
    const docwindow::PictureBox *pictures[] = {document->picBefore(), document->picField(), document->picAfter()};
    return !pictures[pane]->isHidden() && !pictures[pane]->image().isNull();
}

/// The pane 変換's ウインドウに合わせる acts on: the selected pane when it holds a picture, else
/// the stereo picture, the design, the field, the first that is there; -1 when none is.
int paneToFit(docwindow::DocumentWindow *document, int selected)
{
    if (!document)
        return -1;
    if (selected >= 0 && paneHasPicture(document, selected))
        return selected;
    for (int pane : {2, 0, 1}) {
        if (paneHasPicture(document, pane))
            return pane;
    }
    return -1;
}

} // namespace

void MainWindow::createExtras()
{
    m_printPreview = new QAction(tr("印刷プレビュー..."), this);
    m_printPreview->setObjectName(QStringLiteral("mnuPrintPreview"));
    controlAction(document::Control::mnuFile)->menu()->insertAction(m_menus.value(QStringLiteral("mnuBar4")), m_printPreview);
    m_menus.insert(m_printPreview->objectName(), m_printPreview);
    connect(m_printPreview, &QAction::triggered, this, [this] {
        if (docwindow::DocumentWindow *document = activeDocument(); document && m_printPreview->isEnabled())
            document->showPrintPreview();
    });

    QMenu *convert = controlAction(document::Control::mnuConvert)->menu();
    const auto item = [this, convert](const char *name, const QString &text) {
        auto *action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        convert->addAction(action);
        m_menus.insert(action->objectName(), action);
        return action;
    };

    convert->addSeparator()->setObjectName(QStringLiteral("mnuBarExtras"));
    m_reveal = item("mnuReveal", tr("深さを見る"));
    connect(m_reveal, &QAction::triggered, this, &MainWindow::revealDepth);
    m_fullView = item("mnuFullView", tr("全体表示"));
    m_fullView->setShortcut(QKeySequence(Qt::Key_F11));
    connect(m_fullView, &QAction::triggered, this, [this] {
        if (docwindow::DocumentWindow *document = activeDocument())
            document->showFullView();
    });

    // The double-click on a pane, as a menu item with a key.
    m_fitItem = item("mnuFitPane", tr("ウインドウに合わせる"));
    m_fitItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    m_fitItem->setCheckable(true);
    connect(m_fitItem, &QAction::triggered, this, [this] {
        docwindow::DocumentWindow *document = activeDocument();
        const int pane = paneToFit(document, docwindow::PaneSelection::paneOfWord(m_shared.InsertSource));
        if (pane >= 0)
            document->togglePaneFit(pane);
        applyExtras();
    });
    connect(convert, &QMenu::aboutToShow, this, &MainWindow::applyExtras);  // a double-click may have fitted it

    convert->addSeparator()->setObjectName(QStringLiteral("mnuBarChecks"));
    m_guides = item("mnuGuides", tr("ガイドを付ける"));
    m_guides->setCheckable(true);
    m_guides->setChecked(m_settings.guides());
    connect(m_guides, &QAction::toggled, this, [this](bool on) {
        m_settings.setGuides(on);
        for (docwindow::DocumentWindow *document : documentWindows())
            document->guidesChanged();
    });
    m_autoConvert = item("mnuAutoConvert", tr("自動変換"));
    m_autoConvert->setCheckable(true);
    m_autoConvert->setChecked(m_settings.autoConvert());
    connect(m_autoConvert, &QAction::toggled, this, [this](bool on) {
        m_settings.setAutoConvert(on);
        applyControls();
    });

    // Kept per document in its state file ("InvertDepth"), unlike the items above.
    convert->addSeparator()->setObjectName(QStringLiteral("mnuBarDepth"));
    m_invertDepth = item("mnuInvertDepth", tr("奥行きを反転"));
    m_invertDepth->setCheckable(true);
    connect(m_invertDepth, &QAction::triggered, this, &MainWindow::invertDepthChosen);
    m_stereoCheckItem = item("mnuStereoCheck", tr("立体の確認…"));
    connect(m_stereoCheckItem, &QAction::triggered, this, [this] {
        if (!m_stereoCheck)
            m_stereoCheck = new StereoCheckWindow(this);
        m_stereoCheck->show();
        m_stereoCheck->raise();
        refreshStereoCheck();
    });
    QMenu *see = convert->addMenu(tr("立体で見る"));
    m_seeIn3D = see->menuAction();
    m_seeIn3D->setObjectName(QStringLiteral("mnuSeeIn3D"));
    m_menus.insert(m_seeIn3D->objectName(), m_seeIn3D);
    const char *kinds[] = {"mnuSee3DAnaglyph", "mnuSee3DParallel", "mnuSee3DCross", "mnuSee3DWiggle"};
    const QString texts[] = {tr("アナグリフ"), tr("並べて（平行法）"), tr("並べて（交差法）"), tr("ウィグル")};
    for (int kind = 0; kind < 4; ++kind) {
        QAction *action = see->addAction(texts[kind]);
        action->setObjectName(QString::fromLatin1(kinds[kind]));
        m_menus.insert(action->objectName(), action);
        connect(action, &QAction::triggered, this, [this, kind] {
            docwindow::DocumentWindow *document = activeDocument();
            if (!document || m_shared.Converting)
                return;
            QString problem;
            const int rittaido = m_sliders[1]->value();
            const std::uint64_t seed = engine::UniformRandom::clockSeed();
            auto surface = docwindow::documentSurface(*document, m_shared, rittaido, seed, &problem);
            if (!surface) {
                m_services.prompts.exclamation(this, prompts::applicationTitle(), problem);
                return;
            }
            if (!m_stereoViewer)
                m_stereoViewer = new StereoViewer(m_services.prompts, this);
            // The document as it was now: its own state, though another becomes active later.
            StereoViewer::Remake remake = [document = QPointer(document), state = m_shared, rittaido,
                                           seed](std::optional<double> maxDisparity) {
                QString unused;
                return document ? docwindow::documentSurface(*document, state, rittaido, seed, &unused, maxDisparity)
                                : std::nullopt;
            };
            m_stereoViewer->showSurface(std::move(*surface), std::move(remake));
            m_stereoViewer->setKind(kind);
            m_stereoViewer->show();
            m_stereoViewer->raise();
        });
    }

    m_paneFit = new QAction(tr("ウインドウに合わせる"), this);
    m_paneFit->setObjectName(QStringLiteral("mnuPaneFit"));
    m_paneFit->setCheckable(true);
}

void MainWindow::applyExtras()
{
    showDepthReach();
    if (!m_reveal)
        return;
    m_printPreview->setEnabled(m_controls[document::Control::mnuPrint]);
    const bool shown = !m_shared.Converting && stereoShown(activeDocument());
    m_reveal->setEnabled(shown);
    m_fullView->setEnabled(shown);
    docwindow::DocumentWindow *document = activeDocument();
    const int fit = paneToFit(document, docwindow::PaneSelection::paneOfWord(m_shared.InsertSource));
    m_fitItem->setEnabled(fit >= 0);
    m_fitItem->setChecked(fit >= 0 && document->paneFitted(fit));
    // Not while a run is under way or paused: its rows so far were made with the other depth.
    m_invertDepth->setEnabled(document && !m_shared.Converting);
    m_invertDepth->setChecked(document && m_shared.InvertDepth);
    m_seeIn3D->setEnabled(document && !m_shared.Converting);
}

void MainWindow::invertDepthChosen(bool on)
{
    if (!activeDocument() || m_shared.Converting) {
        applyExtras();
        return;
    }
    m_shared.InvertDepth = on;
    WriteDocState();
    applyControls();  // the mark of settings that give no picture
    sliderMovedForLiveConversion();
}

bool MainWindow::sliderKeptForLiveRun(int slider) const
{
    // With live conversion the sliders stay in the hand while a run draws (the state file still
    // says what the classic run says): a run takes milliseconds, and a slider taken away, even
    // for a moment, would end a drag and throw the keyboard focus out of it.
    if (!m_autoConvert || !m_autoConvert->isChecked() || !m_shared.Converting)
        return false;
    return slider < 2 || m_shared.ModeWord == document::Mode::RandomDot;
}

QLabel *MainWindow::createDepthMark(QWidget *parent)
{
    m_depthMark = new QLabel(parent);
    m_depthMark->setObjectName(QStringLiteral("lblDepthReach"));
    m_depthMark->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
    m_depthMark->hide();
    return m_depthMark;
}

void MainWindow::refreshStereoCheck()
{
    if (!m_stereoCheck || m_stereoCheck->isHidden())
        return;
    docwindow::DocumentWindow *document = activeDocument();
    m_stereoCheck->showCheck(document ? docwindow::checkDocumentPicture(*document, m_shared, m_sliders[0]->value(),
                                                                        m_sliders[1]->value())
                                      : std::nullopt);
}

void MainWindow::showDepthReach()
{
    refreshStereoCheck();  // the same moments: a slider, the active document, its design
    if (!m_depthMark)
        return;
    const docwindow::DocumentWindow *document = activeDocument();
    const int level = document ? document->nearestDesignLevel() : -1;
    const int kurikaesi = m_sliders[0]->value();
    const engine::DepthReach reach =
        document ? document->designReach(kurikaesi, m_sliders[1]->value(), m_sliders[1]->maximum()) : engine::DepthReach{};
    m_depthMark->setVisible(level >= 0 && !reach.fits);
    if (reach.fits)
        m_depthMark->setToolTip(QString());
    else if (reach.largestRittaido < 0)
        m_depthMark->setToolTip(tr("繰返幅が%1では画像ができません。繰返幅を大きくしてください。").arg(kurikaesi));
    else
        //: %1 the shift in pixels, %2 the repeat width, %3 the largest usable depth strength, %4 the smallest usable repeat width
        m_depthMark->setToolTip(tr("最も手前の深さのずれ（%1ピクセル）が繰返幅（%2）以上になり、画像ができません。"
                                   "立体度を%3以下にするか、繰返幅を%4以上にしてください。")
                                    .arg(reach.shiftInPixels()).arg(kurikaesi).arg(reach.largestRittaido).arg(reach.smallestKurikaesi));
}

void MainWindow::revealDepth()
{
    docwindow::DocumentWindow *source = activeDocument();
    if (!stereoShown(source) || m_shared.Converting)
        return;
    QString problem, note;
    bool smooth = false;
    const QImage design = source->revealedDesign(&problem, &smooth, &note);
    if (design.isNull()) {
        m_services.prompts.exclamation(this, prompts::applicationTitle(), problem);
        return;
    }
    newDocument(document::Mode::RandomDot, document::Colour::Mono);
    if (docwindow::DocumentWindow *document = activeDocument())
        document->insertPicture(0, design, smooth);
    setStatusText(1, note);
}

void MainWindow::addPaneFitItem(QMenu *menu)
{
    docwindow::DocumentWindow *document = activeDocument();
    const int pane = docwindow::PaneSelection::paneOfWord(m_shared.InsertSource);
    if (!document || pane < 0 || !paneHasPicture(document, pane))
        return;
    menu->addSeparator();
    m_paneFit->setChecked(document->paneFitted(pane));
    m_paneFit->disconnect(this);
    connect(m_paneFit, &QAction::triggered, this, [document = QPointer(document), pane] {
        if (document)
            document->togglePaneFit(pane);
    });
    menu->addAction(m_paneFit);
}

void MainWindow::sliderMovedForLiveConversion()
{
    if (!m_autoConvert || !m_autoConvert->isChecked())
        return;
    docwindow::DocumentWindow *document = activeDocument();
    if (!document)
        return;
    const bool startable = m_controls[document::Control::mnuConvStart];
    if (m_shared.Converting && !startable) {
        // The running conversion stops at its next row; one new run, with the newest values,
        // follows it however often the slider moves meanwhile.
        m_shared.PauseRequested = true;
        m_liveRestart = true;
        return;
    }
    // Idle, ended or paused: a new run from the first row.
    if (startable)
        startLiveRun();
}

void MainWindow::startLiveRun()
{
    if (m_liveRunQueued)
        return;
    m_liveRunQueued = true;
    // Out of the slider's own handling (and of a run that has just paused) before it starts.
    QTimer::singleShot(0, this, [this, document = QPointer(activeDocument())] {
        m_liveRunQueued = false;
        if (!document || document != activeDocument() || !m_controls[document::Control::mnuConvStart])
            return;
        m_shared.AbortRequested = true;  // from the first row, with the values now set
        m_shared.CommandWord = document::Command::ConvStart;
        document->OnTimer1();
    });
}

void MainWindow::runPausedForLiveConversion()
{
    if (!m_liveRestart)
        return;
    m_liveRestart = false;
    startLiveRun();
}

} // namespace lumivex::shell
