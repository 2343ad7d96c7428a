#pragma once

#include <QImage>

namespace lumivex::docwindow {

/// The guide band for a picture of the given size and repeat width, as the converter writes it
/// above its pictures (RGB32); null for an empty picture.
QImage guideBandImage(QSize picture, int kurikaesi);

/// The picture with the guide band above it.
QImage withGuideBand(const QImage &picture, int kurikaesi);

/// The rows of a guide band the picture already begins with (a stereo picture saved with its
/// marks and put in again), whatever repeat width its dots show; 0 when it has none. Such a
/// picture gets no second band.
int guideBandAtTop(const QImage &picture);

} // namespace lumivex::docwindow
