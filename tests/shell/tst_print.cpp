// 印刷: the stereo picture goes to the printer at its size on the screen; a failure is reported
// and the document stays usable. One test prints for real when a default printer exists.
#include "docharness.h"

#include "docwindow/printer.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPrinterInfo>

#include <pwd.h>
#include <unistd.h>

using namespace docharness;

namespace {

/// Records what would have been printed.
class FakePrinter : public lumivex::docwindow::Printer
{
public:
    struct Job
    {
        QImage picture;
        double dpiX;
        double dpiY;
        QString name;
    };
    QList<Job> jobs;
    QString failWith;  ///< non-empty: every print fails with this reason

    bool printPicture(const QImage &picture, double dpiX, double dpiY, const QString &jobName,
                      QString *error) override
    {
        if (!failWith.isEmpty()) {
            *error = failWith;
            return false;
        }
        jobs.append({picture, dpiX, dpiY, jobName});
        return true;
    }
};

QImage stereoPicture()
{
    QImage image(120, 80, QImage::Format_RGB32);
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
    void printsOnDefaultPrinter();

private:
    DocumentWindow *documentWithStereo();

    std::unique_ptr<App> m_app;
    FakePrinter m_printer;
};

void TestPrint::init()
{
    m_printer = FakePrinter();
    m_app = std::make_unique<App>();
    m_app->window->setPrinter(&m_printer);
}

void TestPrint::cleanup()
{
    m_app.reset();
    QGuiApplication::clipboard()->clear();
}

DocumentWindow *TestPrint::documentWithStereo()
{
    DocumentWindow *doc = m_app->newDocument(QStringLiteral("RandomDot"));
    QGuiApplication::clipboard()->setImage(stereoPicture());
    m_app->shared().InsertSource = QStringLiteral("CBpicAfter");
    doc->InsPicStereo();
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

    const FakePrinter::Job &job = m_printer.jobs.constFirst();
    QCOMPARE(job.picture, doc->picAfter()->image());
    QCOMPARE(job.picture.pixel(1, 1), qRgb(255, 0, 0));
    QCOMPARE(job.dpiX, double(doc->picAfter()->logicalDpiX()));
    QCOMPARE(job.dpiY, double(doc->picAfter()->logicalDpiY()));
    QCOMPARE(job.name, doc->caption());
    QVERIFY(m_app->asked(QStringLiteral("exclamation")).isEmpty());
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

void TestPrint::printsOnDefaultPrinter()
{
    if (QPrinterInfo::defaultPrinter().isNull())
        QSKIP("no default printer");
    const QString name = QStringLiteral("lumivexprinttest%1x%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QDateTime::currentMSecsSinceEpoch());
    lumivex::docwindow::QtPrinter printer;
    QString error;
    QVERIFY2(printer.printPicture(stereoPicture(), 96, 96, name, &error), qPrintable(error));

    // The PDF queue writes its file a moment later; other queues are taken at their word.
    if (QPrinterInfo::defaultPrinter().printerName() != QLatin1String("PDF"))
        return;
    QString found;
    QElapsedTimer clock;
    clock.start();
    while (found.isEmpty() && clock.elapsed() < 20000) {
        for (const QString &folder : pdfFolders()) {
            const QStringList files = QDir(folder).entryList({QStringLiteral("*%1*").arg(name)}, QDir::Files);
            if (!files.isEmpty()) {
                found = folder + QLatin1Char('/') + files.constFirst();
                break;
            }
        }
        if (found.isEmpty())
            QTest::qWait(200);
    }
    QVERIFY2(!found.isEmpty(), "no PDF appeared");
    QTRY_VERIFY_WITH_TIMEOUT(fileBytes(found).startsWith("%PDF"), 5000);
    QFile::remove(found);
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
