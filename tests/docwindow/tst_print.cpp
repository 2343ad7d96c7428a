// 印刷: the stereo picture goes to the printer at its size on the screen; a failure is reported
// and the document stays usable. One test prints for real when a default printer exists, and
// looks into the PDF a PDF queue makes of it: one page, the picture at the screen's size.
// 印刷プレビュー prints into a PDF file, measured on its rendered pages.
#include "apptest.h"
#include "picturefiles.h"

#include "docwindow/printer.h"
#include "docwindow/printpreview.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPrinterInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QPushButton>
#include <QRadioButton>
#include <QDoubleSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <pwd.h>
#include <unistd.h>

using namespace apptest;

namespace {

QImage stereoPicture(QSize size = {120, 80})
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, (x / 3 + y / 5) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return image;
}

/// The folders the PDF queue may write to: that of the user the job runs as, and $HOME.
QStringList pdfFolders()
{
    QStringList folders;
    if (const passwd *user = getpwuid(getuid()))
        folders.append(QString::fromLocal8Bit(user->pw_dir) + QStringLiteral("/PDF"));
    folders.append(QDir::homePath() + QStringLiteral("/PDF"));
    return folders;
}

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void printsStereoPicture();
    void failureIsReported();
    void printsIntoPdfWithoutPrinter();
    void printsOnDefaultPrinter_data();
    void printsOnDefaultPrinter();
    void previewPrintsAtSize_data();
    void previewPrintsAtSize();
    void previewKeepsChoicesAndWarns();
    void repeatFromFileAndPrintResolution();

private:
    lumivex::docwindow::PrintPreviewDialog *openPreview();
    /// The extent of the dark pixels on a PDF's first page, in mm.
    static QSizeF darkSizeMm(const QString &pdf);
    DocumentWindow *documentWithStereo();
    /// The PDF the PDF queue wrote for a job, once it is complete; empty if none comes.
    static QString waitForPdf(const QString &jobName);
    /// The lines a program prints; one "<tool failed>" line when it fails.
    static QStringList toolOutput(const QString &tool, const QStringList &arguments);

    std::unique_ptr<App> m_app;
    RecordingPrinter m_printer;
};

void TestPrint::init()
{
    m_printer = RecordingPrinter();
    m_app = std::make_unique<App>(App::Start::FreshSettings);
    m_app->services.printer.use(&m_printer);
}

void TestPrint::cleanup()
{
    m_app.reset();
    QGuiApplication::clipboard()->clear();
}

DocumentWindow *TestPrint::documentWithStereo()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    paste(m_app->shared(), doc, Stereo, stereoPicture());
    return doc;
}

void TestPrint::printsStereoPicture()
{
    DocumentWindow *doc = documentWithStereo();
    // Drawn into after it was put in, as a conversion does.
    doc->picAfter()->image().setPixel(1, 1, qRgb(255, 0, 0));
    QVERIFY(m_app->menuEnabled("mnuPrint"));
    m_app->window->button(4)->trigger();
    QTRY_COMPARE(m_printer.jobs.size(), 1);

    const RecordingPrinter::Job &job = m_printer.jobs.constFirst();
    QCOMPARE(job.picture, doc->picAfter()->image());
    QCOMPARE(job.picture.pixel(1, 1), qRgb(255, 0, 0));
    QCOMPARE(job.dpiX, double(doc->picAfter()->logicalDpiX()));
    QCOMPARE(job.dpiY, double(doc->picAfter()->logicalDpiY()));
    QCOMPARE(job.name, doc->caption());
    QCOMPARE(job.pdfFile, QString());  // on the printer
    QVERIFY(m_app->asked(QStringLiteral("exclamation")).isEmpty());
    QVERIFY(m_app->asked(QStringLiteral("file")).isEmpty());
    QCOMPARE(m_app->window->statusPanel(1)->text(), QStringLiteral("Recorder に印刷しました（1 ページ）。"));
}

void TestPrint::printsIntoPdfWithoutPrinter()
{
    // Qt's own printing, on a machine without printers.
    struct NoPrinters : lumivex::docwindow::QtPrinter
    {
        QStringList printerNames() override { return {}; }
    } printer;
    m_app->services.printer.use(&printer);
    // 264.6 × 396.9 mm at the screen's size: a poster.
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    paste(m_app->shared(), doc, Stereo, stereoPicture({1000, 1500}));
    QTemporaryDir folder;
    const QString previewPdf = folder.filePath(QStringLiteral("preview.pdf")), printPdf = folder.filePath(QStringLiteral("print.pdf"));

    m_app->trigger("mnuPrintPreview");
    QPointer dialog = m_app->window->findChild<lumivex::docwindow::PrintPreviewDialog *>();
    QVERIFY(dialog);
    QCOMPARE(dialog->findChild<QComboBox *>(QStringLiteral("cboPrinter"))->itemText(0), QStringLiteral("PDF ファイル"));
    dialog->findChild<QRadioButton *>(QStringLiteral("optScreen"))->click();
    const lumivex::docwindow::PrintLayout layout = dialog->layout();
    QVERIFY(layout.pages.size() > 1);
    QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("picPosterPages"))->isVisibleTo(dialog));
    m_app->prompts.files = {previewPdf};  // 印刷 asks for the file, in the home folder
    dialog->findChild<QPushButton *>(QStringLiteral("cmdPrint"))->click();
    QTRY_VERIFY(!dialog);
    QCOMPARE(m_app->prompts.asked.constLast().request.folder, QDir::homePath());

    // 印刷 of the menu: no printer, so a PDF file, on as many pages as 画面の大きさ.
    m_app->prompts.files = {printPdf};
    m_app->activate(doc);  // as the main window does when the preview goes
    m_app->window->menuAction(QStringLiteral("mnuPrint"))->trigger();
    QTRY_COMPARE(m_app->window->statusPanel(1)->text(),
                 QStringLiteral("%1 に印刷しました（%2 ページ）。").arg(printPdf).arg(layout.pages.size()));
    QCOMPARE(m_app->prompts.asked.constLast().request.folder, QDir::homePath());
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("pdfinfo (poppler-utils) is needed to look into the PDF");
    for (const QString &pdf : {previewPdf, printPdf})
        QCOMPARE(toolOutput(QStringLiteral("pdfinfo"), {pdf}).filter(QStringLiteral("Pages:")).value(0).simplified(),
                 QStringLiteral("Pages: %1").arg(layout.pages.size()));
}

void TestPrint::failureIsReported()
{
    DocumentWindow *doc = documentWithStereo();
    m_printer.failWith = QStringLiteral("プリンタが設定されていません。");
    m_app->window->menuAction(QStringLiteral("mnuPrint"))->trigger();
    QTRY_COMPARE(m_app->asked(QStringLiteral("exclamation")).size(), 1);
    QCOMPARE(m_app->asked(QStringLiteral("exclamation")).constFirst(),
             QStringLiteral("印刷できませんでした。\r\nプリンタが設定されていません。"));
    // The document goes on: printing again, now that the printer works, prints.
    m_printer.failWith.clear();
    QVERIFY(!doc->Timer1()->isActive());
    m_app->window->menuAction(QStringLiteral("mnuPrint"))->trigger();
    QTRY_COMPARE(m_printer.jobs.size(), 1);
}

void TestPrint::printsOnDefaultPrinter_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("dpi");  // of the screen the picture is shown on
    QTest::newRow("120 x 80 at 96 dpi") << QSize(120, 80) << 96.0;
    QTest::newRow("150 x 90 at 144 dpi") << QSize(150, 90) << 144.0;
    // 10.4 × 13.5 inches: larger than the page, a poster of several at the screen's size.
    QTest::newRow("larger than the page") << QSize(1000, 1300) << 96.0;
}

void TestPrint::printsOnDefaultPrinter()
{
    QFETCH(QSize, size);
    QFETCH(double, dpi);
    if (QPrinterInfo::defaultPrinter().isNull())
        QSKIP("no default printer");
    const QString name = QStringLiteral("lumivexprinttest%1x%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QDateTime::currentMSecsSinceEpoch());
    const QImage picture = stereoPicture(size);
    lumivex::docwindow::QtPrinter printer;
    lumivex::docwindow::PrintReport report;
    QVERIFY2(printer.printPicture(picture, dpi, dpi, name, {}, &report), qPrintable(report.error));

    // The PDF queue writes its file a moment later; other queues are taken at their word.
    if (QPrinterInfo::defaultPrinter().printerName() != QLatin1String("PDF"))
        return;
    const QString pdf = waitForPdf(name);
    QVERIFY2(!pdf.isEmpty(), "no PDF appeared");
    const auto removePdf = qScopeGuard([pdf] { QFile::remove(pdf); });
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
        QSKIP("pdfinfo and pdfimages (poppler-utils) are needed to look into the PDF");

    const QStringList pages = toolOutput(QStringLiteral("pdfinfo"), {pdf}).filter(QRegularExpression(QStringLiteral("^Pages:")));
    QCOMPARE(pages.size(), 1);
    if (size.height() > 1000) {
        QVERIFY(pages.constFirst().simplified().section(QLatin1Char(' '), 1).toInt() > 1);
        for (const QString &image : toolOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).mid(2))
            QCOMPARE(image.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(12).toInt(), qRound(dpi));
        return;
    }
    QCOMPARE(pages.constFirst().simplified(), QStringLiteral("Pages: 1"));
    // One picture, as many pixels as on the screen, placed at the screen's dots per inch: the
    // size it has on the screen.
    const QStringList images = toolOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).mid(2);
    QCOMPARE(images.size(), 1);
    const QStringList columns = images.constFirst().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QCOMPARE(columns.value(3).toInt(), size.width());
    QCOMPARE(columns.value(4).toInt(), size.height());
    const int ppi = columns.value(12).toInt();  // x-ppi; y-ppi the same: proportions kept
    QCOMPARE(columns.value(13).toInt(), ppi);
    QCOMPARE(ppi, qRound(dpi));
    // And it is the picture itself, neither moved nor mirrored. (The queue compresses it with
    // losses: black and white come back as nearly black and nearly white.)
    QTemporaryDir extracted;
    toolOutput(QStringLiteral("pdfimages"), {QStringLiteral("-png"), pdf, extracted.filePath(QStringLiteral("p"))});
    const QImage printed = QImage(extracted.filePath(QStringLiteral("p-000.png"))).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(printed.size(), size);
    int wrong = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            wrong += (qGray(printed.pixel(x, y)) > 127) != (qGray(picture.pixel(x, y)) > 127);
    QCOMPARE(wrong, 0);
}

lumivex::docwindow::PrintPreviewDialog *TestPrint::openPreview()
{
    m_app->trigger("mnuPrintPreview");
    auto *dialog = m_app->window->findChild<lumivex::docwindow::PrintPreviewDialog *>();
    if (dialog) {  // A4 with 10 mm margins: 190 × 277 mm to print on
        dialog->printer().setPageSize(QPageSize(QPageSize::A4));
        dialog->printer().setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        dialog->findChild<QPushButton *>(QStringLiteral("cmdPrinter"))->click();
    }
    return dialog;
}

void TestPrint::previewPrintsAtSize_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QSizeF>("mm");  // measured on the page; none for a poster (its marks)
    QTest::addColumn<QString>("repeat");
    // Repeat width 70 pixels. Wide pictures: the paper is turned (277 × 190 mm to print on).
    QTest::newRow("繰返幅 30 mm") << "optRepeat" << QSize(140, 100) << 1 << QSizeF(60, 300 / 7.0) << "30.0";
    QTest::newRow("用紙に合わせる") << "optFit" << QSize(140, 100) << 1 << QSizeF(266, 190) << "133.0";
    // 428.6 × 128.6 mm on pages that take 267 mm across beside the marks: two, 10 mm shared (three upright).
    QTest::newRow("poster") << "optRepeat" << QSize(1000, 300) << 2 << QSizeF() << "30.0";
}

void TestPrint::previewPrintsAtSize()
{
    QFETCH(QString, option);
    QFETCH(QSize, picture);
    QFETCH(int, pages);
    QFETCH(QSizeF, mm);
    QFETCH(QString, repeat);
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    QVERIFY(!m_app->menuEnabled("mnuPrintPreview"));
    QImage black(picture, QImage::Format_RGB32);
    black.fill(Qt::black);
    paste(m_app->shared(), doc, Stereo, black);
    QVERIFY(m_app->menuEnabled("mnuPrintPreview"));
    QTemporaryDir folder;
    m_printer.pdfPath = folder.filePath(QStringLiteral("preview.pdf"));
    QPointer dialog = openPreview();
    QVERIFY(dialog);
    dialog->findChild<QRadioButton *>(option)->click();
    QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("lblPrintSize"))->text().startsWith(QStringLiteral("繰返幅 %1 mm").arg(repeat)));
    const lumivex::docwindow::PrintLayout layout = dialog->layout();
    dialog->findChild<QPushButton *>(QStringLiteral("cmdPrint"))->click();
    QCOMPARE(m_app->window->statusPanel(1)->text(), QStringLiteral("%1 に印刷しました（%2 ページ）。").arg(m_printer.pdfPath).arg(pages));
    QTRY_VERIFY(!dialog);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QSKIP("pdfinfo and pdftoppm (poppler-utils) are needed to look into the PDF");
    QCOMPARE(toolOutput(QStringLiteral("pdfinfo"), {m_printer.pdfPath}).filter(QStringLiteral("Pages:")).value(0).simplified(),
             QStringLiteral("Pages: %1").arg(pages));
    if (!mm.isEmpty()) {
        const QSizeF measured = darkSizeMm(m_printer.pdfPath);
        QVERIFY2(qAbs(measured.width() / mm.width() - 1) < 0.01 && qAbs(measured.height() / mm.height() - 1) < 0.01,
                 qPrintable(QStringLiteral("%1 × %2 mm").arg(measured.width()).arg(measured.height())));
        return;
    }
    // Neighbours share 10 mm of the picture; together they hold all of it.
    const double mmPerPixel = 30.0 / 70;
    QCOMPARE(layout.pages.size(), pages);
    for (int i = 1; i < pages; ++i)
        QCOMPARE(qRound((layout.pages[i - 1].source.right() - layout.pages[i].source.left()) * mmPerPixel), 10);
    QCOMPARE(layout.pages.constLast().source.right(), double(picture.width()));
    QCOMPARE(layout.pages.constLast().cutsX.size(), 1);
}

void TestPrint::previewKeepsChoicesAndWarns()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    m_app->window->setSliderValue(0, 11);  // 15 mm is 15 / 11 mm a pixel: a hair under 15 in binary
    paste(m_app->shared(), doc, Stereo, stereoPicture());
    QTemporaryDir folder;
    m_printer.pdfPath = folder.filePath(QStringLiteral("no/such/folder.pdf"));
    QPointer dialog = openPreview();
    QVERIFY(dialog);
    auto *mm = dialog->findChild<QDoubleSpinBox *>(QStringLiteral("txtRepeatMm"));
    auto *warning = dialog->findChild<QLabel *>(QStringLiteral("lblRepeatWarning"));
    QCOMPARE(mm->value(), 30.0);
    QVERIFY(warning->text().isEmpty());
    // Unless the user turns it, the paper is turned for the fewest pages.
    auto *orientation = dialog->findChild<QComboBox *>(QStringLiteral("cboOrientation"));
    QCOMPARE(orientation->currentText(), QStringLiteral("自動"));
    for (const double edge : {60.0, 15.0}) {  // the range's ends are fine
        mm->setValue(edge);
        QVERIFY2(warning->text().isEmpty(), qPrintable(warning->text()));
    }
    orientation->setCurrentIndex(orientation->findText(QStringLiteral("横")));
    mm->setValue(61);
    QCOMPARE(warning->text(), QStringLiteral("繰返幅が 61.0 mm です。60 mm を超えると裸眼では立体に見えません。"));
    mm->setValue(14);
    QCOMPARE(warning->text(), QStringLiteral("繰返幅が 14.0 mm です。15 mm 未満では細かすぎて立体に見えにくくなります。"));
    // A file that cannot be written: told, and the preview stays.
    dialog->print();
    QCOMPARE(m_app->asked(QStringLiteral("exclamation")), QStringList(QStringLiteral("印刷できませんでした。\r\nプリンタを使用できません。")));
    QVERIFY(dialog->isVisible());
    dialog->reject();
    QTRY_VERIFY(!dialog);
    // The next preview, in a new main window, starts with the same choices.
    m_app.reset();
    m_app = std::make_unique<App>();
    m_app->services.printer.use(&m_printer);
    paste(m_app->shared(), m_app->newDocument(QStringLiteral("RandomDot")), Stereo, stereoPicture());
    m_app->trigger("mnuPrintPreview");
    dialog = m_app->window->findChild<lumivex::docwindow::PrintPreviewDialog *>();
    QVERIFY(dialog);
    QCOMPARE(dialog->findChild<QDoubleSpinBox *>(QStringLiteral("txtRepeatMm"))->value(), 14.0);
    QCOMPARE(dialog->findChild<QComboBox *>(QStringLiteral("cboOrientation"))->currentText(), QStringLiteral("横"));
    QCOMPARE(dialog->printer().pageLayout().orientation(), QPageLayout::Landscape);
    QVERIFY(dialog->findChild<QRadioButton *>(QStringLiteral("optRepeat"))->isChecked());
}

void TestPrint::repeatFromFileAndPrintResolution()
{
    // A picture made here at repeat 70 and one of noise, put in from their files at 140 with the marks on.
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    paste(m_app->shared(), doc, Design, designPicture(360, 120));
    QVERIFY(m_app->startAndWait());
    const QImage stereo = doc->picAfter()->image().copy();
    QImage noise(360, 200, QImage::Format_RGB32);
    QRandomGenerator random(7);
    random.fillRange(reinterpret_cast<quint32 *>(noise.bits()), int(noise.sizeInBytes() / 4));
    QTemporaryDir folder;
    QVERIFY(stereo.save(folder.filePath(QStringLiteral("made.png"))) && noise.save(folder.filePath(QStringLiteral("noise.png"))));
    m_app->window->setSliderValue(0, 140);
    QVERIFY(settings().setGuides(true));
    doc->guidesChanged();
    const auto preview = [&](const char *file) {
        m_app->shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
        m_app->prompts.files = {folder.filePath(QString::fromLatin1(file))};
        doc->InsPicStereo();
        m_app->activate(doc);
        return QPointer(openPreview());
    };
    // No repeat found: no marks, 不明, screen size and fit only, nothing to make finer.
    QPointer dialog = preview("noise.png");
    QVERIFY(dialog);
    QCOMPARE(doc->picAfter()->repeatWidth(), 0);
    QCOMPARE(doc->picAfter()->bandHeight(), 0);
    const auto text = [&dialog] { return dialog->findChild<QLabel *>(QStringLiteral("lblPrintSize"))->text(); };
    QVERIFY2(text().startsWith(QStringLiteral("繰返幅 不明\n")), qPrintable(text()));
    QVERIFY(!dialog->findChild<QRadioButton *>(QStringLiteral("optRepeat"))->isEnabled());
    QVERIFY(dialog->findChild<QRadioButton *>(QStringLiteral("optScreen"))->isChecked());
    QVERIFY(!dialog->findChild<QCheckBox *>(QStringLiteral("chkPrintResolution"))->isEnabled());
    dialog->reject();
    QTRY_VERIFY(!dialog);

    // Noise repeating every 70 pixels across 2100, too wide for the window: shown brought down,
    // its repeat found on its own pixels, which are the ones printed.
    const QImage wide = picturefiles::drawn(2100, 200, [&noise](int x, int y) { return noise.pixel(x % 70, y); });
    QVERIFY(wide.save(folder.filePath(QStringLiteral("wide.png"))));
    m_app->prompts.choices = {0};
    dialog = preview("wide.png");
    QVERIFY(dialog);
    QCOMPARE(doc->picAfter()->image().size(), QSize(1024, 98));
    QCOMPARE(doc->picAfter()->repeatWidth(), 34);
    const QImage output = doc->stereoForOutput();  // below the marks
    QCOMPARE(output.copy(0, output.height() - 200, 2100, 200), wide);
    dialog->findChild<QRadioButton *>(QStringLiteral("optRepeat"))->click();
    QVERIFY2(text().startsWith(QStringLiteral("繰返幅 30.0 mm")), qPrintable(text()));
    dialog->reject();
    QTRY_VERIFY(!dialog);

    // Its own repeat, marks one repeat apart, 30 mm on paper at the screen's coarse 59 dpi...
    m_printer.pdfPath = folder.filePath(QStringLiteral("fine.pdf"));
    dialog = preview("made.png");
    QVERIFY(dialog);
    QCOMPARE(doc->picAfter()->image(), stereo);
    QCOMPARE(doc->picAfter()->repeatWidth(), 70);
    QVERIFY(doc->picAfter()->bandHeight() > 0);
    dialog->findChild<QRadioButton *>(QStringLiteral("optRepeat"))->click();
    QVERIFY2(text().startsWith(QStringLiteral("繰返幅 30.0 mm")) && text().endsWith(QStringLiteral("\n解像度 59 dpi")), qPrintable(text()));
    // ... or made again from the design at print resolution, the document untouched.
    dialog->findChild<QCheckBox *>(QStringLiteral("chkPrintResolution"))->click();
    QVERIFY2(text().endsWith(QStringLiteral("\n解像度 300 dpi（印刷解像度で変換）")), qPrintable(text()));
    dialog->findChild<QPushButton *>(QStringLiteral("cmdPrint"))->click();
    QTRY_VERIFY(!dialog);
    QCOMPARE(m_app->window->statusPanel(1)->text(), QStringLiteral("%1 に印刷しました（1 ページ）。").arg(m_printer.pdfPath));
    QCOMPARE(doc->picAfter()->image(), stereo);
    if (QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
        QSKIP("pdfimages (poppler-utils) is needed to look into the PDF");
    // 354 pixels a repeat, printed at 300 dots per inch.
    const QStringList images = toolOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), m_printer.pdfPath}).mid(2);
    QCOMPARE(images.size(), 1);
    const QStringList columns = images.constFirst().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QCOMPARE(columns.value(3).toInt(), qRound(360 * 354 / 70.0) - 1);
    QCOMPARE(columns.value(12).toInt(), 300);
}

QSizeF TestPrint::darkSizeMm(const QString &pdf)
{
    QTemporaryDir out;  // 127 dots per inch: 5 to a millimetre
    toolOutput(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("127"), QStringLiteral("-gray"),
                                            QStringLiteral("-png"), QStringLiteral("-f"), QStringLiteral("1"),
                                            QStringLiteral("-singlefile"), pdf, out.filePath(QStringLiteral("p"))});
    const QImage page = QImage(out.filePath(QStringLiteral("p.png"))).convertToFormat(QImage::Format_Grayscale8);
    QRect dark;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128)
                dark |= QRect(x, y, 1, 1);
    return QSizeF(dark.width() / 5.0, dark.height() / 5.0);
}

QString TestPrint::waitForPdf(const QString &jobName)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 30000) {
        for (const QString &folder : pdfFolders()) {
            const QStringList files = QDir(folder).entryList({QStringLiteral("*%1*").arg(jobName)}, QDir::Files);
            // Written whole: the queue moves a finished file into place.
            if (!files.isEmpty() && readBytes(folder + QLatin1Char('/') + files.constFirst()).trimmed().endsWith("%%EOF"))
                return folder + QLatin1Char('/') + files.constFirst();
        }
        QTest::qWait(200);
    }
    return {};
}

QStringList TestPrint::toolOutput(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {QStringLiteral("<%1 failed>").arg(tool)};
    return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
