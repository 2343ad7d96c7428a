#pragma once

#include "words.h"

#include "engine/packedimage.h"

#include <QImage>
#include <QStringList>

#include <span>

namespace lumivex::document {

/// Whether a picture reads as a grey depth map from another program rather than as a design in
/// the depth colours: every pixel is grey (r = g = b), and at least one grey is none of the
/// four greys among the DepthPalette colours (black, 128, 192 and white). An empty picture is
/// none.
bool isGreyDepthMap(const QImage &picture);

/// The depth level (0..15) of a pixel of a grey depth map, where black is the farthest and white
/// the nearest, as renderers and depth estimators write them: round(brightness × 15 / 255),
/// halves rounded up. The brightness of a colour is its luma by ITU-R BT.601,
/// 0.299 R + 0.587 G + 0.114 B, taken exactly; a grey (g, g, g) has the brightness g.
int greyDepthLevel(engine::Packed colour);

/// Maps a row of packed colours from a grey depth map to the DepthPalette colours of their
/// levels. out must hold at least row.size() entries; it may be the row itself.
void greyRowToDepthColours(std::span<const engine::Packed> row, std::span<engine::Packed> out);

/// A whole grey depth map as a design picture in the depth colours, in place.
void greyToDepthColours(engine::PackedImage &picture);

/// A whole grey depth map as a design picture in the depth colours (opaque Format_RGB32).
QImage greyToDepthColours(const QImage &picture);

/// The question asked when a grey depth map becomes a design (inserted, or chosen in the
/// wizard): its text, which says what each answer does, and its buttons in GreyAnswer order.
enum class GreyAnswer { Smooth, Sixteen, AsIs };
QString greyQuestionText();
QStringList greyQuestionButtons();

/// What an answer (a GreyAnswer; any other closes the box as 「そのまま」) makes of the picture:
/// smooth depth (Grey), or a design in the depth colours, converted to the sixteen levels by
/// brightness or read as it is (its greys then fall on the four greys of the depth colours).
DepthKind takeGreyAnswer(int answer, QImage &picture);

} // namespace lumivex::document
