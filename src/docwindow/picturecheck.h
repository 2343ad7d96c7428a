#pragma once

#include "engine/stereocheck.h"

#include <optional>

namespace lumivex::document {
struct SharedState;
}

namespace lumivex::docwindow {

class DocumentWindow;

/// The check of the picture the document's conversion makes at a repeat width and strength:
/// its design's depth as the run takes it (the sixteen levels or smooth depth at the run's
/// factor, turned inside out when the document's depth is inverted), over the picture's size as
/// the converter's check takes it (the design's for random dot; the field's for a colour field,
/// the farthest depth where the design does not reach), with no resolution known. None
/// without a design picture, or for a colour field without its field picture.
std::optional<engine::StereoCheck> checkDocumentPicture(DocumentWindow &document, const document::SharedState &shared,
                                                        int kurikaesi, int rittaido);

} // namespace lumivex::docwindow
