#pragma once

#include "printjob.h"

#include <QDialog>
#include <QPrinter>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPrintPreviewWidget;
class QPushButton;
class QRadioButton;

namespace lumivex::docwindow {

class MainFacade;

/// 印刷プレビュー: the stereo picture on the page, with the printer and its paper (the system's
/// print dialog), the orientation and the size (画面の大きさ, 用紙に合わせる or 繰返幅 N mm); the
/// repeat width on paper is shown for every choice and warned of when it is hard to see. A
/// picture larger than the page at that size is shown and printed as a poster. The choices are
/// kept in the settings file.
class PrintPreviewDialog : public QDialog
{
    Q_OBJECT

public:
    PrintPreviewDialog(MainFacade &main, PrintJob job, const QString &jobName, QWidget *parent = nullptr);
    ~PrintPreviewDialog() override;

    /// The printer the preview shows and prints on.
    QPrinter &printer() { return m_printer; }
    /// The layout the preview shows now.
    PrintLayout layout() const { return layoutOn(m_printer, m_job); }
    /// 印刷: prints, tells where in the status bar and closes; a failure is told in a message and
    /// the preview stays.
    void print();

private:
    QWidget *createChoices();
    void restoreChoices();
    void keepChoices();
    void choosePrinter();
    void choiceChanged();
    void refresh();

    MainFacade &m_main;
    PrintJob m_job;
    QPrinter m_printer{QPrinter::HighResolution};
    QPrintPreviewWidget *m_preview = nullptr;
    QLabel *m_printerLabel = nullptr;
    QComboBox *m_orientation = nullptr;
    QRadioButton *m_screen = nullptr;
    QRadioButton *m_fit = nullptr;
    QRadioButton *m_repeat = nullptr;
    QDoubleSpinBox *m_repeatMm = nullptr;
    QLabel *m_sizeLabel = nullptr;
    QLabel *m_warning = nullptr;
    QPushButton *m_print = nullptr;
    bool m_restoring = false;
};

} // namespace lumivex::docwindow
