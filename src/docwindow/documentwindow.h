#pragma once

#include "screenfit.h"

#include "document/words.h"
#include "engine/colourfield.h"
#include "engine/depthreach.h"
#include "engine/randomdot.h"
#include "engine/smoothdepth.h"

#include <QByteArray>
#include <QImage>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace lumivex::docwindow {

class FullView;
class MainFacade;
class Pane;
class PictureBox;

/// The window of one document (Form1): three panes with the design, field and stereo pictures,
/// the hidden full-size working copies, the command timer, and the window's identity.
///
/// Its state lives in its state file while it is in the background: becoming active reads the
/// file into the main window, ceasing to be active writes it back.
class DocumentWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DocumentWindow(MainFacade &main, QWidget *parent = nullptr);
    ~DocumentWindow() override;

    /// Creation: names the window, binds its state file (a new document writes its temporary
    /// state file), sets the icon and the status text. Run once, before the window is shown.
    void Load();
    /// The window became the active document window (a switch, not a mere focus change).
    void Activate();
    /// Another document window became active.
    void Deactivate();
    /// The close request: asks whether to save. Returns false when the close is refused.
    bool QueryUnload();

    /// Arms the command timer (50 ms, one shot); the newest posting wins.
    void armCommandTimer();
    /// The command tick: runs the operation of the shared CommandWord.
    void OnTimer1();
    /// Loads the pictures an opened project names (its OpenFlags).
    void LoadProjectPictures();
    void RunConversion();
    void CloseWindow();

    // Operations run by the command tick.
    void ConvRandomDot();
    void ConvField();
    void InsPicDesign();
    void InsPicField();
    void InsPicStereo();
    void SaveProjectAs();
    /// 上書き保存: the state into the project file. A write that fails is reported; returns
    /// whether the file was written.
    bool SaveState();
    void SavePaneImage();
    void SetupFromWizard();
    void PrintStereo();

    /// The pane layout of a new document: the design pane takes the full height in random-dot
    /// mode; in colour-field mode the design and field panes share it.
    void layoutForMode();
    /// A new document window's client size (documentlayout.cpp).
    QSize sizeHint() const override;

    /// Abort of a paused run, steps that act on this window (empties the stereo picture).
    void abortRun();

    /// Pane 0..2 (design, field, stereo) between its picture fitted to the pane and 1:1 (where
    /// every pane starts).
    void togglePaneFit(int pane);
    bool paneFitted(int pane) const;
    /// The depth the stereo picture shows, as a design picture in the sixteen depth colours, or
    /// in greys for smooth depth (then *smooth is true); a null picture and the reason in
    /// *message when it shows none; otherwise in *note one line that says the repeat width it was
    /// read at, and warns where the picture does not show it clearly (message, smooth and note
    /// may be null).
    QImage revealedDesign(QString *message, bool *smooth = nullptr, QString *note = nullptr) const;
    /// Puts a picture the program holds into pane 0..2 as an insertion would (a grey depth map
    /// as a design is offered smooth depth or the depth colours, unless smoothDesign says that
    /// it is smooth depth); the pane's path variable is left as it is.
    void insertPicture(int pane, const QImage &image, bool smoothDesign = false);

    /// The nearest depth level (0..15) the design picture holds (with its depth inverted when the
    /// document says so); -1 without a design picture.
    int nearestDesignLevel() const;
    /// Whether the design picture gives a picture at these settings, judged over the whole
    /// design as its run shifts it (the sixteen levels, or smooth depth at the run's factor),
    /// with the largest strength (up to maxRittaido) and smallest repeat width that would.
    engine::DepthReach designReach(int kurikaesi, int rittaido, int maxRittaido = 50) const;
    /// In colour-field mode, when the field picture is smaller than the design picture, the
    /// stereo picture takes the field's size: the note that says so; empty otherwise.
    QString fieldSizeNote() const;

    /// ガイドを付ける was turned on or off (the settings file holds it): the stereo pane shows the
    /// guide band above its picture or drops it.
    void guidesChanged();
    /// 全体表示: the stereo picture alone on the whole screen, with the guide band when the marks
    /// are on. Does nothing without a stereo picture.
    void showFullView();
    /// 印刷プレビュー: the stereo picture on the page, printed from there (a window-modal dialog).
    /// Does nothing without a stereo picture.
    void showPrintPreview();
    /// The full view this document opened, while it is open.
    FullView *fullView() const;

    QString caption() const { return m_caption; }
    /// The window icon chosen at creation: 101 monochrome random dot, 103 colour random dot,
    /// 104 colour field.
    int iconId() const { return m_iconId; }
    /// This window holds the conversion lock (its run is under way or paused).
    bool holdsRun() const { return m_runHeld; }
    QString lblIniName() const { return m_lblIniName; }
    QString lblOldIniName() const { return m_lblOldIniName; }
    QString lblTitle() const { return m_lblTitle; }
    document::Word<document::Mode> lblStereoName() const { return m_lblStereoName; }
    void setIdentity(const QString &iniName, const QString &title);  ///< after a save under a new name

    /// The project file as it was when it was opened or last saved: declining to save puts it
    /// back, since every slider move and switch writes into it meanwhile. `exists` false: there
    /// was no file then.
    void setSavedCopy(bool exists, const QByteArray &bytes);
    /// Takes the state file as it is now as the saved copy.
    void rememberSavedCopy();
    /// The main window wrote this window's state into path on its behalf (a slider move, a
    /// switch, an insertion), or failed to. What the file holds after a write is this window's
    /// own: declining to save puts the saved copy back only over that, never over another
    /// window's save. The first failure is told to the user with its reason; later ones of the
    /// window are not.
    void stateWritten(const QString &path, bool written, const QString &reason = {});

    Pane *picContBefore() const { return m_panes[0]; }
    Pane *picContField() const { return m_panes[1]; }
    Pane *picContAfter() const { return m_panes[2]; }
    PictureBox *picBefore() const;
    PictureBox *picField() const;
    PictureBox *picAfter() const;
    QImage &picUra() { return m_picUra; }
    QImage &picUraField() { return m_picUraField; }
    /// The stereo picture at its own size when the pane shows it brought down.
    FullSizePicture &stereoFullSize() { return m_stereoFull; }
    QTimer *Timer1() { return &m_timer1; }

    int DotResumeRow = 0;
    int FieldResumeRow = 0;
    bool SkipNextActivate = false;
    bool Unloading = false;
    bool SaveCancelled = false;

    int previousShift() const { return m_dots.previousShift(); }
    /// Inside a command tick (a conversion may be running in it).
    bool isBusy() const { return m_busy > 0; }
    /// The close was accepted; the window is gone for the user and is deleted after its tick.
    bool isClosed() const { return m_closed; }
    void markClosed() { m_closed = true; }

    /// Seeds for the random-dot runs: tests give a fixed sequence, otherwise the clock.
    void setSeedSource(std::function<std::uint64_t()> source) { m_seedSource = std::move(source); }

Q_SIGNALS:
    /// The window's command tick is over and the window was closed during it.
    void closedWhileBusy();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    enum class RunStep { Row, Paused, Unloaded };
    void beginRun(int &resumeRow);
    RunStep rowCheck(int row, int &resumeRow, const QString &runningText, const QString &pausedText);
    void endRun(int &resumeRow);
    void releaseAfterUnload(int &resumeRow);
    void releaseClosedRun();
    void setRunLock(bool locked);
    void showSize(int width, int height);
    void layoutWindow();
    bool restoreSavedCopy(const QString &path);
    void tellOthersSaved();
    bool refuseUnreachable();
    void reportSaveFailure(const QString &path, const QString &reason);
    void tellUnkeptPictures();
    void setUpGuides();
public:
    /// The stereo picture as export, print and the full view give it: at its own size (also
    /// when the pane shows it brought down), with the guide band when the marks are on.
    QImage stereoForOutput() const;

private:

    MainFacade &m_main;
    QString m_caption;
    QString m_lblIniName;
    QString m_lblOldIniName;
    QString m_lblTitle = QStringLiteral("lblTitle");
    document::Word<document::Mode> m_lblStereoName;
    std::array<Pane *, 3> m_panes{};
    QWidget *m_picDrag = nullptr;
    QImage m_picUra;
    QImage m_picUraField;
    FullSizePicture m_stereoFull;
    QTimer m_timer1;
    int m_iconId = 101;
    int m_busy = 0;
    bool m_runHeld = false;
    bool m_looping = false;  ///< a conversion's row loop is on the stack (not paused)
    bool m_closed = false;
    /// A state file at one moment: its content and which write left it (each replacement of
    /// the file is a new file, each write in place a new time); exists false: no file.
    struct FileCopy
    {
        bool exists = false;
        QByteArray bytes;
        quint64 inode = 0;
        qint64 modifiedNs = 0;
        bool operator==(const FileCopy &) const = default;
    };
    static std::optional<FileCopy> copyOf(const QString &path);
    /// none: the file could not be read whole, or another window saved it since
    std::optional<FileCopy> m_savedCopy;
    std::optional<FileCopy> m_ownCopy;    ///< the file as this window's last write left it
    bool m_writeFailureTold = false;
    QPointer<FullView> m_fullView;
    mutable qint64 m_levelKey = 0;  ///< the design picture m_nearestLevel was found for
    mutable int m_nearestLevel = 0;
    mutable bool m_levelSmooth = false;  ///< whether m_nearestLevel was found for smooth depth
    mutable bool m_levelInverted = false; ///< ... and for the depth turned inside out
    mutable int m_nearestSmooth = 0;     ///< ... and the nearest smooth depth
    mutable int m_smoothOversample = 1;  ///< ... the factor a smooth run builds its rows at

    engine::RandomDot m_dots;
    engine::ColourField m_field;
    std::array<std::int32_t, engine::kRowCapacity> m_depthRow{};
    // A smooth design's conversions (DepthKind Grey) and its depths.
    engine::SmoothDot m_smoothDots;
    engine::SmoothField m_smoothField;
    std::array<std::uint16_t, engine::kRowCapacity> m_smoothRow{};
    std::function<std::uint64_t()> m_seedSource;
};

/// The frame of a document window inside the main window. Its close box, the close command and
/// the quit all go through the document's close request.
class DocumentFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    explicit DocumentFrame(DocumentWindow *document, QWidget *parent = nullptr);
    DocumentWindow *document() const { return m_document; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    DocumentWindow *m_document;
};

} // namespace lumivex::docwindow
