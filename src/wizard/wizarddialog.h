#pragma once

#include "fieldimage.h"

#include <QDialog>
#include <QImage>
#include <QString>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lumivex::document {
class AppSettings;
}

namespace lumivex::prompts {
class Prompts;
}

namespace lumivex::wizard {

/// What the wizard hands over: the pictures chosen, the two hand-over files written by 完了, and
/// the numbers given (kept from one wizard to the next).
struct WizardResult
{
    bool finished = false;    ///< 完了 wrote both hand-over files
    QString designPath;       ///< the design picture chosen
    QString fieldSourcePath;  ///< the picture tiled into the field image
    QString designTemp;       ///< hand-over file of the design picture
    QString fieldTemp;        ///< hand-over file of the built field image
    bool smoothDesign = false;  ///< the design is a grey depth map taken as smooth depth
    int designScaledWidth = 0;  ///< the design file was brought down to this width (0: its own)
    int kurikaesi = 70;
    int rittaido = 20;
};

/// The colour-field wizard (Form2): three pages that collect a design picture, a small picture
/// to tile into the field image, the repeat width and the depth strength. 完了 builds the field
/// image, writes both pictures to hand-over files and raises WizardFinished; the caller then
/// opens the new document from them.
///
/// Tests drive it with next() / back() and the handlers below, without exec().
class WizardDialog : public QDialog
{
    Q_OBJECT

public:
    /// handOverFolder receives the TMPnnnnn.bmp files (the program's folder); start gives the
    /// numbers shown first (a previous wizard's result).
    WizardDialog(const WizardResult &start, const document::AppSettings &settings,
                 prompts::Prompts &prompts, const QString &handOverFolder, QWidget *parent = nullptr);
    ~WizardDialog() override;

    /// The page shown: 0, 1 or 2.
    int currentPage() const;

    // The buttons' handlers.
    void next();                  ///< 次へ
    void back();                  ///< 戻る
    void browse(int index);       ///< 参照: 0 design picture, 1 field source picture
    void BuildFieldImage();       ///< 完了

    // The text boxes of page 2.
    void txtKurikaesiLostFocus();
    void txtRittaidoLostFocus();

    /// The paths chosen on page 1 (empty while none is chosen).
    QString designPath() const { return m_result.designPath; }
    QString fieldSourcePath() const { return m_result.fieldSourcePath; }
    /// What the wizard has collected so far; finished once 完了 has succeeded.
    const WizardResult &wizardResult() const { return m_result; }

    /// The numbers the hand-over files are named after; tests give a fixed sequence.
    void setNameDraw(std::function<int()> draw) { m_handOver = HandOverFiles(m_handOverFolder, std::move(draw)); }

    /// The preview size of a w × h picture (at most 57 × 57, the longer side 57).
    static QSize thumbnailSize(int width, int height);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildPages();
    QWidget *buildPage1();
    QWidget *buildPage2();
    QWidget *buildPage3();
    void ShowWizardButtons(int page);
    void showPage(int page);

    bool BrowseWizardImage(int index);
    void takePicture(int index, const QString &path, const QImage &image);
    void clearPicture(int index);
    bool offerToFit(QSize size);
    void refuseTooWide(int index);
    void MakeThumbnail(const QImage &image, QLabel *preview);

    bool textKeyPress(QKeyEvent *event);
    void focusLeft(QLineEdit *box);
    bool commitKurikaesi();
    bool commitRittaido();
    bool pageTwoPending();
    void refuse(QLineEdit *box, const QString &message);

    WizardResult m_result;
    const document::AppSettings &m_settings;
    prompts::Prompts &m_prompts;
    QString m_handOverFolder;
    HandOverFiles m_handOver;

    QString WizardPickedPath;
    bool WizardBrowseCancelled = false;
    QImage picDUra;
    QImage picFmotoUra;
    QImage picFUra;

    std::array<QWidget *, 3> picContena{};
    std::array<QPushButton *, 2> cmdSansyou{};
    std::array<QLabel *, 2> lblDesign{};
    std::array<QLabel *, 2> lblSize1{};
    std::array<QLabel *, 4> lblSize3{};
    QLabel *picD = nullptr;
    QLabel *picFmoto = nullptr;
    QLineEdit *txtKurikaesi = nullptr;
    QLineEdit *txtRittaido = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdCompreat = nullptr;
    QPushButton *cmdCancel = nullptr;
    bool m_refusing = false;  ///< a refusal's message is up: its own focus changes are not checked
    std::array<bool, 2> m_checkPending{};  ///< a box lost the focus and its check has not run yet
};

} // namespace lumivex::wizard
