#pragma once

#include "engine/depthreach.h"

#include <QString>

namespace lumivex::docwindow {

/// Why settings that give no picture are refused, and what would do, in the converter's words:
/// the largest usable strength, or the repeat width that would take the strength given.
QString depthReachMessage(const engine::DepthReach &reach, int kurikaesi, int rittaido);

} // namespace lumivex::docwindow
