#pragma once

#include <QByteArray>
#include <QString>

namespace lumivex::picture {

/// Reads a PNG file's bytes through once with libpng, every row and the chunks after them,
/// with error and warning functions of our own. Empty when libpng reads it all; otherwise
/// libpng's reason.
///
/// Qt's PNG reader leaves libpng's error function at its default, which prints each error on
/// standard error, where the converter promises its own line and no other: a PNG that goes to
/// Qt's reader is checked here first, and a damaged one is refused without reaching it.
QString pngDamage(const QByteArray &data);

} // namespace lumivex::picture
