#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
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

/// Whether the PNG's header says 16-bit colour samples without alpha (colour type 2).
bool isColour16Png(const QByteArray &data);

/// Decodes a PNG of 16-bit colour samples (colour type 2, interlaced or not), whose header
/// gives this size, with libpng into an opaque Format_RGB32 picture: the transparent colour
/// (compared at all 16 bits) white, each sample rounded to 8 bits as Qt's conversions round.
/// Qt 6.4's reader misreads these when they have a transparent colour: its pixels are misplaced
/// and some never written. A null picture, with libpng's reason in damage, when the file
/// cannot be read whole.
QImage decodeColour16Png(const QByteArray &data, QSize size, QString &damage);

} // namespace lumivex::picture
