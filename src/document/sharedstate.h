#pragma once

#include "words.h"

#include <QString>

namespace lumivex::document {

/// The application-wide variables. The document ones always describe the active document:
/// they are loaded from its state file when it becomes active and written back when it stops
/// being active. One object is handed to whoever needs it.
struct SharedState
{
    QString SettingsFilePath;  ///< the settings file "Lumivex2.lvs"
    QString StateFolder;       ///< where new documents keep their temporary state files
    QString StateFilePath;     ///< state file of the active document
    QString DesignImagePath;   ///< full path of the design picture, or empty
    QString FieldImagePath;
    QString StereoImagePath;
    Word<Mode> ModeWord;       ///< "StereoName" of the state file
    Word<Colour> ColourWord;   ///< "MONOorCOLOR": a colour, or empty for a colour field
    DepthKind DesignDepth = DepthKind::Colours;  ///< "DepthKind": how the design gives depth
    int DesignScaledWidth = 0;  ///< "DesignScaledWidth": the design file brought down to this width
    int StereoScaledWidth = 0;  ///< "StereoScaledWidth": the stereo file shown at this width
    bool InvertDepth = false;   ///< "InvertDepth": the design's depth turned inside out (変換 → 奥行きを反転)
    QString DocumentTitle;     ///< project file name without folder and extension
    int DocumentCounter = 1;   ///< number of the next new document
    Origin DocumentOrigin = Origin::None;
    Word<Command> CommandWord; ///< the command last posted; never reset
    QString OpenFlags;         ///< "DFS", "DF", "DS", "D", "FS", "F", "S" or empty
    Word<Source> InsertSource; ///< a file, the opened project, or the pane selected

    bool PauseRequested = false;
    bool AbortRequested = false;
    bool Converting = false;

    bool WizardFinished = false;
    QString WizardDesignTemp;
    QString WizardFieldTemp;
    int WizardKurikaesi = 70;
    int WizardRittaido = 20;
};

} // namespace lumivex::document
