#pragma once

#include <QString>

namespace lumivex::document {

/// The per-user folder for everything the program writes: the settings file, the state files of
/// unsaved documents, the wizard's hand-over pictures. Created when missing.
/// (QStandardPaths::AppDataLocation with the application name "Lumivex".)
QString programFolder();

/// The folder of files shipped with the program (help page, samples): the installed data folder
/// beside the program, or the source tree's resources folder when run from a build folder.
QString shippedFolder();
/// The shipped sample pictures; open dialogs start here when no folder is remembered.
QString samplesFolder();

/// The application settings file "Lumivex2.lvs": remembered dialog folders and the editor path.
/// Nothing is cached: every read goes to the file, every write goes to it at once.
class AppSettings
{
public:
    /// Keys kept in the file.
    static constexpr char kEditerPath[] = "EditerPath";
    static constexpr char kLvdFileDir[] = "LvdFileDir";
    static constexpr char kPicDesignDir[] = "picDesignDir";
    static constexpr char kPicFieldDir[] = "picFieldDir";
    static constexpr char kPicStereoDir[] = "picStereoDir";

    /// Settings in the given file; by default programFolder() + "/Lumivex2.lvs".
    explicit AppSettings(QString settingsFilePath = {});

    QString settingsFilePath() const { return m_path; }

    /// ReadSetting: the trimmed value (at most 255 characters), empty when missing.
    QString ReadSetting(const QString &key) const;
    /// WriteSetting: writes the value unchanged; failures are ignored (returns whether written).
    bool WriteSetting(const QString &key, const QString &value) const;

private:
    QString m_path;
};

/// FolderOfChosenFile: the folder part of a chosen file's full path, without the separator
/// before the file name ("/pics/a.bmp" -> "/pics"). A file in the root folder gives "/", so that
/// the root is remembered like any other folder.
QString FolderOfChosenFile(const QString &chosenPath);

} // namespace lumivex::document
