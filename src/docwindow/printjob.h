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

/// Turns the printer's paper to the orientation in which the job takes the fewest pages.
void turnForFewestPages(QPrinter &printer, const PrintJob &job);

/// Paints the job's pages, with cut marks and numbers on a poster's, through a painter begun on
/// the printer (the preview's or a real one). Returns false when the printer would take no
/// further page.
bool paintPages(QPainter &painter, QPrinter &printer, const PrintJob &job);

/// A poster's pages laid side by side as they are joined, row by row, each the paper as it
/// comes out of the printer (its part of the picture, its cut marks and its number), at
/// pxPerMm pixels a millimetre, with a gap between them.
QImage posterSheet(const PrintJob &job, const PrintLayout &layout, const QPageLayout &paper, double pxPerMm);

/// Prints the job on the printer as it is set up; *report says where it went and how many
/// pages, or why nothing was printed.
bool printJob(QPrinter &printer, const PrintJob &job, PrintReport *report);

} // namespace lumivex::docwindow
