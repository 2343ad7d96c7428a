#pragma once

#include <QImage>

namespace lumivex::docwindow {

/// The guide band for a picture of the given size and repeat width, as the converter writes it
/// above its pictures (RGB32); null for an empty picture.
QImage guideBandImage(QSize picture, int kurikaesi);

/// The picture with the guide band above it.
QImage withGuideBand(const QImage &picture, int kurikaesi);

} // namespace lumivex::docwindow
