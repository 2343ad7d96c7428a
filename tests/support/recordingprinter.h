#pragma once

// A printer that prints nothing: it records the jobs it is given, or fails every one of them
// with a reason of the test's choosing. Its print dialog answers with a PDF file, or cancels.

#include "docwindow/printer.h"

#include <QList>
#include <QPrinter>
#include <QSize>

class RecordingPrinter : public lumivex::docwindow::Printer
{
public:
    struct Job
    {
        QImage picture;
        double dpiX;
        double dpiY;
        QString name;
        QRectF area;  ///< on an 8 × 11 inch page at 600 dpi
    };
    QList<Job> jobs;
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

    bool printPicture(const QImage &picture, double dpiX, double dpiY, const QString &jobName,
                      lumivex::docwindow::PrintReport *report) override
    {
        if (!failWith.isEmpty()) {
            report->error = failWith;
            return false;
        }
        jobs.append({picture, dpiX, dpiY, jobName, lumivex::docwindow::printedArea(picture.size(), {dpiX, dpiY}, {600, 600}, {4800, 6600})});
        *report = {QStringLiteral("Recorder"), 1, {}};
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
