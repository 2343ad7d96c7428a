#pragma once

#include <QImage>
#include <QString>

namespace lumivex::document {

/// The depth a stereo picture shows, as a design picture, or why it shows none.
struct RevealedDesign
{
    /// Opaque Format_RGB32 in the sixteen depth colours, or for smooth depth in greys;
    /// null when there is no depth.
    QImage design;
    /// The reveal found continuous depth (more than sixteen separations, or separations
    /// between whole pixels): the design is a grey depth map, black far and white near.
    bool smooth = false;
    /// A message for the user when design is null, otherwise empty.
    QString problem;
    /// The repeat width the reveal found.
    int repeatWidth = 0;
    /// The reveal found its repeat width clearly (engine::Reveal::sure).
    bool sure = false;
    /// One line for the user when design is not null: the repeat width the depth was read at,
    /// and a warning where the picture did not show it clearly.
    QString note;

    bool ok() const { return !design.isNull(); }
};

/// Reveals the depth of a stereo picture, its repeat width found by the reveal itself, and
/// draws it in the depth colours. The depths found are spread over the sixteen levels as the
/// converter's reveal spreads them over its greys, evenly from the farthest (level 0) to the
/// nearest (level 15), and each grey becomes the level a grey depth map gives it: sixteen depths
/// give exactly levels 0..15, so a picture made from our own sixteen levels comes back as its
/// design wherever the reveal can see the surface. Continuous depth is kept in its greys.
RevealedDesign revealDesign(const QImage &stereo);

} // namespace lumivex::document
