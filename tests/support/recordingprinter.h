#pragma once

// A printer that prints nothing: it records the jobs it is given, or fails every one of them
// with a reason of the test's choosing. Its printers are the test's (one, "Recorder", unless it
// says otherwise); its print dialog answers with a PDF file, or cancels.

#include "docwindow/printer.h"

#include <QList>
#include <QPrinter>
#include <QSize>
#include <QStringList>

class RecordingPrinter : public lumivex::docwindow::Printer
{
public:
    struct Job
    {
        QImage picture;
        double dpiX;
        double dpiY;
        QString name;
        QString pdfFile;
    };
    QList<Job> jobs;
    QStringList printers{QStringLiteral("Recorder")};
    QString failWith;  ///< non-empty: every print fails with this reason
    QString pdfPath;   ///< what the print dialog chooses: a PDF written here; empty: cancel

    bool choosePrinter(QPrinter &printer, QWidget *) override
    {
        if (pdfPath.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        return true;
    }

    QStringList printerNames() override { return printers; }

    bool printPicture(const QImage &picture, double dpiX, double dpiY, const QString &jobName, const QString &pdfFile,
                      lumivex::docwindow::PrintReport *report) override
    {
        if (!failWith.isEmpty()) {
            report->error = failWith;
            return false;
        }
        jobs.append({picture, dpiX, dpiY, jobName, pdfFile});
        *report = {pdfFile.isEmpty() ? printers.value(0) : pdfFile, 1, {}};
        return true;
    }

    /// The sizes of the pictures printed, in order.
    QList<QSize> sizes() const
    {
        QList<QSize> result;
        for (const Job &job : jobs)
            result.append(job.picture.size());
        return result;
    }
};
