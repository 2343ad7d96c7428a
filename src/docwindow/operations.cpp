// Operations of the command tick that are built with their own features; until then the
// commands that reach them do nothing.
#include "documentwindow.h"

namespace lumivex::docwindow {


} // namespace lumivex::docwindow
