#pragma once

#include <QImage>
#include <QString>

#include <functional>

namespace lumivex::docwindow {

/// What a document's stereo picture is made from: its design (the pane's, and the file it came
/// from, which may be larger when the design was scaled down to be put in), its field picture
/// for a colour field, and the parameters of its conversion.
struct PrintSource
{
    QImage design;       ///< the design as the document converts it
    QString designPath;  ///< the file the design was put in from; empty when none
    bool smooth = false; ///< the design is used as smooth grey depth
    QImage field;        ///< the field picture of a colour field; null for random dot
    bool mono = true;    ///< random dot: black and white dots
    int kurikaesi = 70;
    int rittaido = 20;
    int mitudo = 30;
    bool invert = false; ///< its depth turned inside out (変換 → 奥行きを反転)
};

/// How a picture is made for print: its repeat width and strength in pixels of print
/// resolution, the factor the design and field are scaled by, and the resolution on paper.
struct PrintResolutionPlan
{
    int kurikaesi = 0;
    int rittaido = 0;
    double scale = 0;  ///< of the document's design and field
    double dpi = 0;    ///< the picture's pixels per inch on paper
    QString problem;   ///< why it cannot be made; empty when it can
};

/// A stereo picture made afresh for print at the resolution a repeat width on paper needs
/// (the converter's rule: round(mm / 25.4 × dpi) pixels, the strength grown in proportion), so
/// that its dots are a printer's, not the screen's. It is made from the design's original file
/// when the document holds a smaller copy, and from the document's own pictures otherwise; the
/// document's pictures are never changed.
class PrintResolution
{
public:
    /// The resolution a print is made at, unless the picture would be wider than a run can
    /// build, then as much as it can be.
    static constexpr double kDpi = 300.0;

    explicit PrintResolution(PrintSource source);

    /// Whether the document has a design to make the picture from.
    bool possible() const;
    /// The plan for a repeat width of repeatMm millimetres on paper.
    PrintResolutionPlan plan(double repeatMm) const;
    /// The design the picture is made from, scaled by the plan: the original file's when it is
    /// larger than the document's design (and still reads), else the document's.
    QImage scaledDesign(double scale) const;
    /// Makes the picture. progress(row, rows) is called now and then; when it returns false
    /// the making stops and a null picture is returned. *problem says why nothing was made.
    QImage make(double repeatMm, const std::function<bool(int, int)> &progress, QString *problem) const;

private:
    PrintSource m_source;
};

} // namespace lumivex::docwindow
