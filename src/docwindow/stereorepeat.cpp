#include "stereorepeat.h"

#include "guidemarks.h"

#include "engine/reveal.h"
#include "picture/picture.h"

#include <QImage>

namespace lumivex::docwindow {

int foundRepeatWidth(const QImage &picture)
{
    if (picture.isNull())
        return 0;
    // A guide band saved with the picture is no part of what repeats.
    const int band = guideBandAtTop(picture);
    const QImage below = band > 0 ? picture.copy(0, band, picture.width(), picture.height() - band) : picture;
    const engine::RepeatFound found = engine::findRepeat(picture::toPacked(below));
    return found.sure ? found.width : 0;
}

} // namespace lumivex::docwindow
