#pragma once

// A printer that prints nothing: it records the jobs it is given, with where on its page the
// picture would go, or fails every one of them with a reason of the test's choosing.

#include "docwindow/printer.h"

#include <QList>
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
        QRectF area;  ///< where the picture goes on the page, in printer dots
    };
    QList<Job> jobs;
    QString failWith;  ///< non-empty: every print fails with this reason
    QString printerName = QStringLiteral("Recorder");
    double printerDpi = 600;
    QSizeF printable{4800, 6600};  ///< 8 × 11 inches at 600 dpi

    bool printPicture(const QImage &picture, double dpiX, double dpiY, const QString &jobName,
                      lumivex::docwindow::PrintReport *report) override
    {
        if (!failWith.isEmpty()) {
            report->error = failWith;
            return false;
        }
        jobs.append({picture, dpiX, dpiY, jobName,
                     lumivex::docwindow::printedArea(picture.size(), {dpiX, dpiY}, {printerDpi, printerDpi}, printable)});
        report->printer = printerName;
        report->pages = 1;
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
