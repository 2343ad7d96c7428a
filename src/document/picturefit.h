#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace lumivex::document::picturefit {

/// A design or stereo picture wider than the window takes, brought down to the window's width
/// (the height in proportion) when the user agrees: a grey depth map bilinear, a design in the
/// depth colours by the nearest pixel (no colour between two depths is made), a stereo picture
/// bilinear for the eye. Pictures up to the converter's width are taken. The document window
/// and the wizard ask the same question.

enum class Kind { Design, Stereo };

/// The widest picture offered to be brought down; a wider one is refused as before.
int widestTaken();

/// The size a picture of `size` takes at `width` pixels wide (the height at least 1).
QSize fittedSize(QSize size, int width);

/// The picture brought down to `width` pixels wide, by the kind's rule.
QImage fitted(const QImage &picture, int width, Kind kind);

/// The box that offers it: the too-wide message, then the offer for a picture of `size`; its
/// buttons, bring down first, then cancel.
QString offerText(const QString &tooWide, QSize size, Kind kind);
QStringList offerButtons(Kind kind);

/// The status-bar note of a picture brought down without asking (a project that kept its scale).
QString note(Kind kind, QSize original, QSize shown);

} // namespace lumivex::document::picturefit
