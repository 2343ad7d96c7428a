#pragma once

class QImage;

namespace lumivex::docwindow {

/// The repeat width of a stereo picture that was not made here (a file put into the stereo
/// pane), found by the reveal's own search; 0 when no repeat stands out of the picture, so
/// that its size in millimetres on paper is not known.
int foundRepeatWidth(const QImage &picture);

} // namespace lumivex::docwindow
