#pragma once

#include "printjob.h"
#include "printresolution.h"

#include <QDialog>
#include <QPrinter>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPrintPreviewWidget;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QStackedWidget;

namespace lumivex::docwindow {

class MainFacade;

/// 印刷プレビュー: the stereo picture on the page, with the printer or a PDF file, the paper (the
/// system's print dialog), the orientation (the one of the fewest pages unless the user chooses)
/// and the size (画面の大きさ, 用紙に合わせる or 繰返幅 N mm, the last only when the picture's
/// repeat width is known); the repeat width on paper is shown for every choice and warned of
/// when it is hard to see. A picture larger than the page at that size is printed as a poster,
/// whose numbered pages the preview shows as they are joined. The choices are kept in the
/// settings file.
class PrintPreviewDialog : public QDialog
{
    Q_OBJECT

public:
    /// source: what the document's stereo picture is made from, to make it again at print
    /// resolution (印刷解像度で変換).
    PrintPreviewDialog(MainFacade &main, PrintJob job, PrintSource source, const QString &jobName,
                       QWidget *parent = nullptr);
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
    void destinationChanged();
    void showDestination();
    void choiceChanged();
    void refresh();
    /// The picture made again at print resolution, as job prints it; false when it was not.
    bool makeForPrint(PrintJob &job);

    MainFacade &m_main;
    PrintJob m_job;
    PrintResolution m_resolution;
    QPrinter m_printer{QPrinter::HighResolution};
    QPrintPreviewWidget *m_preview = nullptr;
    QStackedWidget *m_pages = nullptr;  ///< the preview of one page, or the poster's sheet
    QScrollArea *m_sheetArea = nullptr;
    QLabel *m_sheet = nullptr;
    QComboBox *m_destination = nullptr;
    QLabel *m_printerLabel = nullptr;
    QComboBox *m_orientation = nullptr;
    QRadioButton *m_screen = nullptr;
    QRadioButton *m_fit = nullptr;
    QRadioButton *m_repeat = nullptr;
    QDoubleSpinBox *m_repeatMm = nullptr;
    QCheckBox *m_printResolution = nullptr;
    QLabel *m_sizeLabel = nullptr;
    QLabel *m_warning = nullptr;
    QPushButton *m_print = nullptr;
    bool m_restoring = false;
    /// Printing into a PDF file. Kept apart from the printer's output format: Qt turns a PDF
    /// output without a file name back into the system's default printer where there is one.
    bool m_toPdf = false;
};

} // namespace lumivex::docwindow
