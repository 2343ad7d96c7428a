#pragma once

#include <QSize>
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

/// The application settings file "Lumivex2.lvs": remembered dialog folders, the editor path and
/// the check items of the 変換 menu beyond the classic set.
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
    static constexpr char kGuides[] = "Guides";            ///< "1": guide marks on export and print
    static constexpr char kAutoConvert[] = "AutoConvert";  ///< "1": a slider change converts again
    static constexpr char kWindowSize[] = "WindowSize";    ///< "width,height" of the main window
    static constexpr char kWindowMaximized[] = "WindowMaximized";  ///< "1": the main window maximized
    // The print preview's choices.
    static constexpr char kPrintPrinter[] = "PrintPrinter";   ///< the printer's name
    static constexpr char kPrintPaper[] = "PrintPaper";       ///< the paper's size key ("A4", "Letter")
    static constexpr char kPrintOrientation[] = "PrintOrientation";  ///< "Portrait" or "Landscape"
    static constexpr char kPrintSize[] = "PrintSize";         ///< "Screen", "Fit" or "Repeat"
    static constexpr char kPrintRepeatMm[] = "PrintRepeatMm"; ///< the repeat width on paper in mm

    /// Settings in the given file; by default programFolder() + "/Lumivex2.lvs".
    explicit AppSettings(QString settingsFilePath = {});

    QString settingsFilePath() const { return m_path; }

    /// ReadSetting: the trimmed value (at most 255 characters), empty when missing.
    QString ReadSetting(const QString &key) const;
    /// WriteSetting: writes the value unchanged; failures are ignored (returns whether written).
    bool WriteSetting(const QString &key, const QString &value) const;

    /// The guide marks above the stereo picture; off unless the file holds "1".
    bool guides() const { return readFlag(kGuides); }
    /// Stores the guide marks' choice as "1" or "0"; returns whether written.
    bool setGuides(bool on) const { return writeFlag(kGuides, on); }
    /// Live conversion; off unless the file holds "1".
    bool autoConvert() const { return readFlag(kAutoConvert); }
    /// Stores the live conversion's choice as "1" or "0"; returns whether written.
    bool setAutoConvert(bool on) const { return writeFlag(kAutoConvert, on); }

    /// The main window's size (not maximized) when it last closed; invalid when none is kept or
    /// the text is not two positive numbers.
    QSize windowSize() const;
    /// Whether the main window was maximized when it last closed.
    bool windowMaximized() const { return readFlag(kWindowMaximized); }
    /// Keeps the main window's size and maximized state; returns whether both were written.
    bool setWindowState(QSize size, bool maximized) const;

private:
    bool readFlag(const char *key) const;
    bool writeFlag(const char *key, bool on) const;

    QString m_path;
};

/// FolderOfChosenFile: the folder part of a chosen file's full path, without the separator
/// before the file name ("/pics/a.bmp" -> "/pics"). A file in the root folder gives "/", so that
/// the root is remembered like any other folder.
QString FolderOfChosenFile(const QString &chosenPath);

} // namespace lumivex::document
