#pragma once

#include "engine/stereoviews.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace lumivex::document {
struct SharedState;
}

namespace lumivex::docwindow {

class DocumentWindow;

/// What the views of a document are made of: the surface's disparities and its texture.
struct DocumentSurface
{
    engine::DisparityMap disparity;
    engine::PackedImage texture;
    bool fromStereogram = false;  ///< the stereo picture's revealed depth, not the design's
    std::uint64_t seed = 0;       ///< the design's random texture's seed
};

/// The surface the converter's --view makes for the document: from its stereo picture when it
/// shows one (its depth as the reveal finds it, its own pixels as the texture, as --reveal),
/// else from its design (the sixteen levels, or smooth depth for a grey design, sampled as the
/// runs sample it, turned inside out when the document's depth is inverted; at `rittaido`;
/// random greys from `seed` as texture). None, with the reason in *problem, when there is
/// neither or the stereo picture shows no depth. `maxDisparity`, when given, sets the range of
/// the disparities in pixels, as the converter's --disparity does.
std::optional<DocumentSurface> documentSurface(DocumentWindow &document, const document::SharedState &shared,
                                               int rittaido, std::uint64_t seed, QString *problem,
                                               std::optional<double> maxDisparity = {});

} // namespace lumivex::docwindow
