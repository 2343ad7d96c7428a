#pragma once

#include "printer.h"
#include "printlayout.h"

#include <QImage>
#include <QSizeF>
#include <QString>

class QPainter;
class QPrinter;

namespace lumivex::docwindow {

/// The stereo picture the print preview prints, and how.
struct PrintJob
{
    QImage picture;     ///< with the guide band when the marks are on
    int kurikaesi = 0;  ///< the repeat width in picture pixels
    QSizeF screenDpi;   ///< of the screen the picture is shown on
    PrintChoice choice;
};

/// The job's layout on the printer's paper (its printable area, in the printer's orientation).
PrintLayout layoutOn(const QPrinter &printer, const PrintJob &job);

/// Paints the job's pages, with cut marks on a poster's, through a painter begun on the printer
/// (the preview's or a real one). Returns false when the printer would take no further page.
bool paintPages(QPainter &painter, QPrinter &printer, const PrintJob &job);

/// Prints the job on the printer as it is set up; *report says where it went and how many
/// pages, or why nothing was printed.
bool printJob(QPrinter &printer, const PrintJob &job, PrintReport *report);

} // namespace lumivex::docwindow
