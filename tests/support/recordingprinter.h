#pragma once

// A printer that prints nothing: it records the jobs it is given, or fails every one of them
// with a reason of the test's choosing.

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

    /// The sizes of the pictures printed, in order.
    QList<QSize> sizes() const
    {
        QList<QSize> result;
        for (const Job &job : jobs)
            result.append(job.picture.size());
        return result;
    }
};
