#pragma once

#include <QIcon>
#include <QString>

namespace lumivex::shell {

/// The toolbar's image list: one picture per key ("New", "open", "Save", "Printer", "Cut",
/// "Copy", "Paste", "Ins", "Start", "Stop", "Exit", "Help"). An unknown key gives a null icon.
/// The pictures are drawn here, in code, at several sizes, each with a disabled look of its own
/// (grey, light and faded) that tells a disabled toolbar button at a glance.
QIcon toolIcon(const QString &key);

/// The document window icons: 101 random dot (mono), 102 spare, 103 random dot (colour),
/// 104 colour field. Any other id gives a null icon.
QIcon documentIcon(int id);

/// The main window's icon.
QIcon applicationIcon();

} // namespace lumivex::shell
