// 印刷プレビュー: the dialog that shows the stereo picture on the page and prints it.
#include "printpreview.h"

#include "documentwindow.h"
#include "mainfacade.h"
#include "picturebox.h"

#include "guidemarks.h"

#include "document/appsettings.h"
#include "document/inifile.h"
#include "document/sharedstate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace lumivex::docwindow {

namespace {

using Settings = document::AppSettings;

/// More pages than this are neither shown nor printed: a slip of the repeat width, not a poster.
constexpr int kMostPages = 100;

constexpr std::pair<PrintSize, const char *> kSizeWords[] = {
    {PrintSize::Screen, "Screen"}, {PrintSize::FitPage, "Fit"}, {PrintSize::RepeatMm, "Repeat"}};

} // namespace

PrintPreviewDialog::PrintPreviewDialog(MainFacade &main, PrintJob job, PrintSource source, const QString &jobName,
                                       QWidget *parent)
    : QDialog(parent)
    , m_main(main)
    , m_job(std::move(job))
    , m_resolution(std::move(source))
{
    setObjectName(QStringLiteral("PrintPreview"));
    setWindowTitle(tr("印刷プレビュー"));
    m_printer.setDocName(jobName);
    m_printer.setColorMode(QPrinter::Color);
    m_printer.setFullPage(false);

    m_pages = new QStackedWidget(this);
    m_preview = new QPrintPreviewWidget(&m_printer, m_pages);
    m_preview->setObjectName(QStringLiteral("picPreview"));
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter *printer) {
        QPainter painter(printer);
        if (layoutOn(*printer, m_job).pages.size() <= kMostPages)
            paintPages(painter, *printer, m_job);
    });
    m_pages->addWidget(m_preview);
    // A poster's pages as they are joined, numbered as they are printed.
    m_sheetArea = new QScrollArea(m_pages);
    m_sheetArea->setAlignment(Qt::AlignCenter);
    m_sheet = new QLabel(m_sheetArea);
    m_sheet->setObjectName(QStringLiteral("picPosterPages"));
    m_sheetArea->setWidget(m_sheet);
    m_pages->addWidget(m_sheetArea);

    auto *buttons = new QDialogButtonBox(this);
    m_print = buttons->addButton(tr("印刷"), QDialogButtonBox::AcceptRole);
    m_print->setObjectName(QStringLiteral("cmdPrint"));
    buttons->addButton(QDialogButtonBox::Close)->setText(tr("閉じる"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PrintPreviewDialog::print);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *side = new QVBoxLayout;
    side->addWidget(createChoices());
    side->addStretch();
    side->addWidget(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(side);
    layout->addWidget(m_pages, 1);
    resize(900, 640);

    restoreChoices();
    refresh();
}

PrintPreviewDialog::~PrintPreviewDialog()
{
    delete m_preview;  // it paints on m_printer, which goes first
}

QWidget *PrintPreviewDialog::createChoices()
{
    auto *box = new QWidget(this);
    auto *form = new QVBoxLayout(box);
    form->setContentsMargins(0, 0, 0, 0);

    auto *paper = new QGroupBox(tr("プリンタと用紙"), box);
    auto *paperForm = new QFormLayout(paper);
    m_destination = new QComboBox(paper);
    m_destination->setObjectName(QStringLiteral("cboPrinter"));
    for (const QString &name : m_main.printer().printerNames())
        m_destination->addItem(name, name);
    m_destination->addItem(tr("PDF ファイル"), QString());  // Qt's own PDF output
    connect(m_destination, &QComboBox::currentIndexChanged, this, &PrintPreviewDialog::destinationChanged);
    paperForm->addRow(m_destination);
    m_printerLabel = new QLabel(paper);
    m_printerLabel->setObjectName(QStringLiteral("lblPrinter"));
    m_printerLabel->setWordWrap(true);
    paperForm->addRow(m_printerLabel);
    auto *choose = new QPushButton(tr("プリンタの設定..."), paper);
    choose->setObjectName(QStringLiteral("cmdPrinter"));
    connect(choose, &QPushButton::clicked, this, &PrintPreviewDialog::choosePrinter);
    paperForm->addRow(choose);
    m_orientation = new QComboBox(paper);
    m_orientation->setObjectName(QStringLiteral("cboOrientation"));
    m_orientation->addItem(tr("自動"), -1);  // the orientation of the fewest pages
    m_orientation->addItem(tr("縦"), int(QPageLayout::Portrait));
    m_orientation->addItem(tr("横"), int(QPageLayout::Landscape));
    paperForm->addRow(tr("向き"), m_orientation);
    connect(m_orientation, &QComboBox::currentIndexChanged, this, &PrintPreviewDialog::choiceChanged);
    form->addWidget(paper);

    auto *size = new QGroupBox(tr("大きさ"), box);
    auto *sizeForm = new QGridLayout(size);
    m_screen = new QRadioButton(tr("画面の大きさ"), size);
    m_screen->setObjectName(QStringLiteral("optScreen"));
    m_fit = new QRadioButton(tr("用紙に合わせる"), size);
    m_fit->setObjectName(QStringLiteral("optFit"));
    m_repeat = new QRadioButton(tr("繰返幅"), size);
    m_repeat->setObjectName(QStringLiteral("optRepeat"));
    m_repeatMm = new QDoubleSpinBox(size);
    m_repeatMm->setObjectName(QStringLiteral("txtRepeatMm"));
    m_repeatMm->setRange(5, 200);
    m_repeatMm->setDecimals(1);
    m_repeatMm->setSuffix(QStringLiteral(" mm"));
    m_repeatMm->setValue(30);
    sizeForm->addWidget(m_screen, 0, 0, 1, 2);
    sizeForm->addWidget(m_fit, 1, 0, 1, 2);
    sizeForm->addWidget(m_repeat, 2, 0);
    sizeForm->addWidget(m_repeatMm, 2, 1);
    for (QRadioButton *option : {m_screen, m_fit, m_repeat})
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                choiceChanged();
        });
    connect(m_repeatMm, &QDoubleSpinBox::valueChanged, this, &PrintPreviewDialog::choiceChanged);
    form->addWidget(size);

    m_printResolution = new QCheckBox(tr("印刷解像度で変換"), box);
    m_printResolution->setObjectName(QStringLiteral("chkPrintResolution"));
    m_printResolution->setToolTip(tr("デザイン画像から、印刷に合う細かさ（%1 dpi）のステレオ画像を作って印刷します。文書の画像は変わりません。")
                                      .arg(PrintResolution::kDpi));
    connect(m_printResolution, &QCheckBox::toggled, this, &PrintPreviewDialog::refresh);
    form->addWidget(m_printResolution);

    m_sizeLabel = new QLabel(box);
    m_sizeLabel->setObjectName(QStringLiteral("lblPrintSize"));
    m_sizeLabel->setWordWrap(true);
    form->addWidget(m_sizeLabel);
    m_warning = new QLabel(box);
    m_warning->setObjectName(QStringLiteral("lblRepeatWarning"));
    m_warning->setWordWrap(true);
    m_warning->setStyleSheet(QStringLiteral("color: #b00000"));
    form->addWidget(m_warning);
    box->setMaximumWidth(260);
    return box;
}

void PrintPreviewDialog::restoreChoices()
{
    const Settings &settings = m_main.settings();
    m_restoring = true;
    // The printer used last if it is still there, else the default, else a PDF file.
    const int kept = m_destination->findData(settings.ReadSetting(QString::fromLatin1(Settings::kPrintPrinter)));
    m_destination->setCurrentIndex(kept > 0 ? kept : 0);
    destinationChanged();
    const QString paper = settings.ReadSetting(QString::fromLatin1(Settings::kPrintPaper));
    for (int id = 0; id < QPageSize::LastPageSize && !paper.isEmpty(); ++id) {
        if (QPageSize::key(QPageSize::PageSizeId(id)) == paper) {
            m_printer.setPageSize(QPageSize(QPageSize::PageSizeId(id)));
            break;
        }
    }
    const QString orientation = settings.ReadSetting(QString::fromLatin1(Settings::kPrintOrientation));
    m_orientation->setCurrentIndex(orientation == QLatin1String("Landscape") ? 2
                                   : orientation == QLatin1String("Portrait") ? 1
                                                                               : 0);
    if (m_orientation->currentIndex() > 0)
        m_printer.setPageOrientation(QPageLayout::Orientation(m_orientation->currentData().toInt()));
    bool ok = false;
    const double mm = settings.ReadSetting(QString::fromLatin1(Settings::kPrintRepeatMm)).toDouble(&ok);
    if (ok)
        m_repeatMm->setValue(mm);
    const QString size = settings.ReadSetting(QString::fromLatin1(Settings::kPrintSize));
    m_repeat->setChecked(true);  // 繰返幅 30 mm unless another choice is kept
    m_screen->setChecked(size == QLatin1String("Screen"));
    m_fit->setChecked(size == QLatin1String("Fit"));
    // A picture whose repeat width is not known cannot be printed at one in millimetres.
    m_repeat->setEnabled(m_job.kurikaesi > 0);
    if (m_job.kurikaesi <= 0 && m_repeat->isChecked())
        m_screen->setChecked(true);
    m_restoring = false;
}

void PrintPreviewDialog::keepChoices()
{
    const Settings &settings = m_main.settings();
    if (m_printer.outputFormat() == QPrinter::NativeFormat)
        settings.WriteSetting(QString::fromLatin1(Settings::kPrintPrinter), m_printer.printerName());
    settings.WriteSetting(QString::fromLatin1(Settings::kPrintPaper), m_printer.pageLayout().pageSize().key());
    const int orientation = m_orientation->currentData().toInt();
    settings.WriteSetting(QString::fromLatin1(Settings::kPrintOrientation),
                          QString::fromLatin1(orientation < 0                          ? "Auto"
                                              : orientation == QPageLayout::Landscape ? "Landscape"
                                                                                       : "Portrait"));
    const PrintSize size = m_screen->isChecked() ? PrintSize::Screen : m_fit->isChecked() ? PrintSize::FitPage : PrintSize::RepeatMm;
    // A picture of unknown repeat width leaves the choice of 繰返幅 as the user made it.
    for (const auto &[word, text] : kSizeWords) {
        if (word == size && m_repeat->isEnabled())
            settings.WriteSetting(QString::fromLatin1(Settings::kPrintSize), QString::fromLatin1(text));
    }
    settings.WriteSetting(QString::fromLatin1(Settings::kPrintRepeatMm), QString::number(m_repeatMm->value()));
}

void PrintPreviewDialog::choosePrinter()
{
    if (!m_main.printer().choosePrinter(m_printer, this))
        return;
    m_toPdf = m_printer.outputFormat() == QPrinter::PdfFormat;
    // The system's dialog may have chosen another printer or a file, and turned the paper.
    m_restoring = true;
    showDestination();
    if (m_orientation->currentIndex() > 0)
        m_orientation->setCurrentIndex(m_printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1);
    m_restoring = false;
    keepChoices();
    refresh();
}

void PrintPreviewDialog::destinationChanged()
{
    // Another printer or the PDF output keeps the paper chosen.
    const QPageLayout paper = m_printer.pageLayout();
    const QString name = m_destination->currentData().toString();
    m_toPdf = name.isEmpty();
    if (m_toPdf) {
        m_printer.setOutputFormat(QPrinter::PdfFormat);  // the file is asked for when it prints
    } else {
        m_printer.setOutputFormat(QPrinter::NativeFormat);
        m_printer.setPrinterName(name);
    }
    m_printer.setPageLayout(paper);
    if (m_restoring)
        return;
    keepChoices();
    refresh();
}

void PrintPreviewDialog::showDestination()
{
    const int index = m_toPdf ? m_destination->findData(QString())
                                                                      : m_destination->findData(m_printer.printerName());
    const QSignalBlocker blocker(m_destination);
    if (index >= 0)
        m_destination->setCurrentIndex(index);
}

void PrintPreviewDialog::choiceChanged()
{
    if (m_restoring)
        return;
    if (m_orientation->currentIndex() > 0)
        m_printer.setPageOrientation(QPageLayout::Orientation(m_orientation->currentData().toInt()));
    keepChoices();
    refresh();
}

void PrintPreviewDialog::refresh()
{
    m_job.choice.size = m_screen->isChecked() ? PrintSize::Screen : m_fit->isChecked() ? PrintSize::FitPage : PrintSize::RepeatMm;
    m_job.choice.repeatMm = m_repeatMm->value();
    m_repeatMm->setEnabled(m_repeat->isChecked() && m_repeat->isEnabled());
    if (m_orientation->currentIndex() == 0)
        turnForFewestPages(m_printer, m_job);

    const bool pdf = m_toPdf;
    const QString where = pdf ? QDir::toNativeSeparators(m_printer.outputFileName()) : m_printer.printerName();
    m_printerLabel->setText(QStringLiteral("%1\n%2").arg(where.isEmpty() ? pdf ? tr("（印刷するときにファイル名を尋ねます）")
                                                                                : tr("（プリンタがありません）")
                                                                          : where,
                                                         m_printer.pageLayout().pageSize().name()));
    const PrintLayout layout = layoutOn(m_printer, m_job);
    const int pages = int(layout.pages.size());
    //: the repeat width of a stereo picture whose repeat was not found
    const QString repeat = m_job.kurikaesi > 0 ? tr("%1 mm").arg(layout.repeatMm, 0, 'f', 1) : tr("不明");
    //: %1 the repeat width on paper ("30.0 mm" or 不明), %2 × %3 the picture's size on paper, %4 the pages
    QString text = tr("繰返幅 %1\n画像 %2 × %3 mm\n%4 ページ")
                       .arg(repeat)
                       .arg(layout.pictureMm.width(), 0, 'f', 1)
                       .arg(layout.pictureMm.height(), 0, 'f', 1)
                       .arg(pages);
    if (pages > 1)
        //: %1 columns, %2 rows, %3 the overlap in mm
        text += tr("（横 %1 × 縦 %2 枚、重なり %3 mm）").arg(layout.columns).arg(layout.rows).arg(kPosterOverlapMm);
    // The picture's pixels per inch on paper: the screen's dots, or those made for print.
    const bool canMake = m_resolution.possible() && m_job.kurikaesi > 0 && layout.repeatMm > 0;
    m_printResolution->setEnabled(canMake);
    const bool making = canMake && m_printResolution->isChecked();
    const PrintResolutionPlan plan = making ? m_resolution.plan(layout.repeatMm) : PrintResolutionPlan();
    const double dpi = making && plan.problem.isEmpty() ? plan.dpi
        : layout.pictureMm.width() > 0                  ? m_job.picture.width() * 25.4 / layout.pictureMm.width()
                                                        : 0.0;
    //: %1 the picture's pixels per inch on paper
    text += QLatin1Char('\n') + (making ? tr("解像度 %1 dpi（印刷解像度で変換）") : tr("解像度 %1 dpi")).arg(qRound(dpi));
    m_sizeLabel->setText(text);
    QString warning = making ? plan.problem : QString();
    if (warning.isEmpty())
        warning = repeatWarning(layout.repeatMm);
    if (pages > kMostPages)
        warning = tr("%1 ページは多すぎます。小さくしてください。").arg(pages);
    m_warning->setText(warning);
    m_warning->setVisible(!warning.isEmpty());
    m_print->setEnabled(pages >= 1 && pages <= kMostPages);

    if (pages > 1 && pages <= kMostPages) {
        // The sheet takes the view's size, whatever the paper's.
        const QSizeF paper = m_printer.pageLayout().fullRect(QPageLayout::Millimeter).size();
        const QSize room = m_pages->size().expandedTo(QSize(600, 560)) - QSize(24, 24);
        const double scale = std::min({4.0, room.width() / (layout.columns * (paper.width() + 6) + 6),
                                       room.height() / (layout.rows * (paper.height() + 6) + 6)});
        m_sheet->setPixmap(QPixmap::fromImage(posterSheet(m_job, layout, m_printer.pageLayout(), std::max(scale, 0.5))));
        m_sheet->adjustSize();
        m_pages->setCurrentWidget(m_sheetArea);
    } else {
        m_sheet->clear();
        m_preview->setViewMode(QPrintPreviewWidget::SinglePageView);
        m_preview->updatePreview();
        m_preview->fitInView();
        m_pages->setCurrentWidget(m_preview);
    }
}

void PrintPreviewDialog::print()
{
    PrintReport report;
    const bool askName = m_toPdf && m_printer.outputFileName().isEmpty();
    if (askName) {
        const QString file = askPdfFile(m_main.prompts(), this, m_printer.docName());
        if (file.isEmpty())
            return;
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(file);
    }
    PrintJob job = m_job;
    if (m_printResolution->isEnabled() && m_printResolution->isChecked() && !makeForPrint(job)) {
        if (askName)
            m_printer.setOutputFileName(QString());
        return;
    }
    if (!printJob(m_printer, job, &report)) {
        if (askName)
            m_printer.setOutputFileName(QString());
        m_main.prompts().exclamation(this, applicationTitle(),
                                     QCoreApplication::translate("lumivex::docwindow::DocumentWindow",
                                                                 "印刷できませんでした。\r\n%1")
                                         .arg(report.error));
        return;
    }
    m_main.setStatusText(1, QCoreApplication::translate("lumivex::docwindow::DocumentWindow",
                                                        "%1 に印刷しました（%2 ページ）。")
                                .arg(report.printer)
                                .arg(report.pages));
    accept();
}

bool PrintPreviewDialog::makeForPrint(PrintJob &job)
{
    const PrintLayout layout = layoutOn(m_printer, m_job);
    const PrintResolutionPlan plan = m_resolution.plan(layout.repeatMm);
    QProgressDialog progress(tr("印刷解像度で変換しています..."), tr("キャンセル"), 0, 100, this);
    progress.setWindowTitle(applicationTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QString problem;
    QImage made = m_resolution.make(layout.repeatMm, [&progress](int row, int rows) {
        progress.setMaximum(rows);
        progress.setValue(row);
        return !progress.wasCanceled();
    }, &problem);
    if (made.isNull()) {
        if (!problem.isEmpty())
            m_main.prompts().exclamation(this, applicationTitle(),
                                         tr("印刷解像度で変換できませんでした。\r\n%1").arg(problem));
        return false;
    }
    // The marks, when the picture shown carries them, one repeat of the new picture apart.
    if (guideBandAtTop(m_job.picture) > 0)
        made = withGuideBand(made, plan.kurikaesi);
    job.picture = made;
    job.kurikaesi = plan.kurikaesi;
    // As large on paper as the preview shows it.
    if (job.choice.size != PrintSize::FitPage)
        job.choice = {PrintSize::RepeatMm, layout.repeatMm};
    return true;
}

void DocumentWindow::showPrintPreview()
{
    const PictureBox *picture = picAfter();
    if (picture->isHidden() || picture->image().isNull())
        return;  // nothing to print (the item is off then)
    const QImage output = stereoForOutput();
    // A picture kept at its own size beside the pane's: its repeat in its own pixels.
    const int kurikaesi = m_stereoFull.repeatBehind(picture->image(), picture->repeatWidth());
    PrintJob job{output, kurikaesi, QSizeF(picture->logicalDpiX(), picture->logicalDpiY()), {}};
    // What the stereo picture is made from, to make it again for print: the repeat width it
    // was made with, the document's strength and density.
    const document::SharedState &s = m_main.shared();
    const auto parameter = [&s](const char *key, int fallback) {
        return document::iniReadInt(s.StateFilePath, QString::fromLatin1(document::kSection), QString::fromLatin1(key),
                                    fallback);
    };
    PrintSource source;
    if (!picBefore()->isHidden())
        source.design = m_picUra;
    source.designPath = s.DesignImagePath;
    source.smooth = s.DesignDepth == document::DepthKind::Grey;
    source.invert = s.InvertDepth;
    if (s.ModeWord == document::Mode::Field)
        source.field = picField()->isHidden() ? QImage() : picField()->image();
    source.mono = s.ColourWord == document::Colour::Mono;
    source.kurikaesi = picture->repeatWidth();
    source.rittaido = parameter("Rittaido", 20);
    source.mitudo = parameter("Mitudo", 30);
    if (s.ModeWord == document::Mode::Field && source.field.isNull())
        source.design = QImage();  // a colour field without its field cannot be made
    auto *dialog = new PrintPreviewDialog(m_main, std::move(job), std::move(source), m_caption, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

} // namespace lumivex::docwindow
