#pragma once

#include <QString>

namespace lumivex::docwindow {

/// The project file dialogs' filter.
QString projectFilter();

/// The folder a project dialog opens in: the remembered one, or the user's home folder when none
/// is remembered (the per-user data folder that holds the settings is hidden and no place for
/// the user's projects).
QString projectFolder(const QString &remembered);

/// The document title a project file gives: its bare file name without the ".lvd" extension (in
/// any letter case); a name without that extension is taken whole.
QString projectTitle(const QString &path);

/// A name typed without the ".lvd" extension gets it.
QString withProjectExtension(const QString &path);

} // namespace lumivex::docwindow
