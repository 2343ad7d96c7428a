#pragma once

#include "controlstate.h"
#include "words.h"

#include <QString>

#include <array>

namespace lumivex::document {

/// The state of one document as its state file (which is also the project file, ".lvd") holds
/// it: image paths, mode, parameters, and the enabled state of every menu item, toolbar button,
/// caption box and slider of the main window while the document was active. 65 keys, and after
/// them keys written only when they say something: "DepthKind=Grey" for a design that is a
/// smooth grey depth map (without it the design is in the depth colours), and
/// "DesignScaledWidth" / "StereoScaledWidth" for a picture file too wide for the window that
/// the document shows brought down to that width (without them the picture is shown at its own
/// size), and "InvertDepth=True" for a document whose depth is turned inside out, so that older files and readers that do not know the keys keep their meaning.
struct DocState
{
    static constexpr int kKeyCount = 9 + kControlCount;

    QString fileNamePath;   ///< "FileNamePath": written as the file's own path, never read
    QString picDesignPath;  ///< "PicDesignPath"
    QString picFieldPath;   ///< "PicFieldPath"
    QString picStereoPath;  ///< "PicStereoPath"
    Word<Mode> stereoName = Mode::Field;  ///< "StereoName"
    /// "MONOorCOLOR": a file without the key reads as "Field", which is no colour.
    Word<Colour> monoOrColor = Word<Colour>::fromText(QStringLiteral("Field"));
    int kurikaesiHaba = 70;
    int rittaido = 20;
    int mitudo = 30;
    ControlState controls;  ///< the controls' enabled states, in Control (file) order
    DepthKind depthKind = DepthKind::Colours;  ///< "DepthKind", written only when Grey
    /// "DesignScaledWidth", "StereoScaledWidth": the width the picture file named by the path
    /// is brought down to; 0 (not written) when it is shown at its own size.
    int designScaledWidth = 0;
    int stereoScaledWidth = 0;
    bool invertDepth = false;  ///< "InvertDepth": near becomes far; written only when true

    /// All 65 (key, value) pairs in file order, "FileNamePath" first.
    std::array<std::pair<QString, QString>, kKeyCount> entries(const QString &path) const;

    bool operator==(const DocState &) const = default;
};

/// WriteDocState: writes all 65 keys into section "Lumivex Ver.2" of the file, in order, in one
/// atomic file write ("FileNamePath" = path), then "DepthKind=Grey" for a smooth design, or
/// removes that key for a design in the depth colours, and each scaled width that is above 0
/// for a picture that has a path, or removes it, and "InvertDepth=True" or removes it. Other sections and keys stay as they were, and
/// so does the file's encoding (a Shift-JIS project from Windows stays Shift-JIS, IniFile).
/// Returns false when the file could not be written, or when a value could not be stored
/// (a path holding a line break): that key is then written empty, so that it never keeps an
/// earlier document's path. An existing file that cannot be read (not a regular file, too
/// large), or a result too large to be read again, is not written at all. *error (when given)
/// says why a write failed.
bool writeDocState(const QString &path, const DocState &state, QString *error = nullptr);

/// ReadDocState: reads the keys back with the defaults for anything missing ("Field" for the
/// two words, 70/20/30, every enabled state true, the depth colours unless "DepthKind" says
/// "Grey" in any letter case, no scaled width unless one of 1..1024 is given, depth not inverted unless "InvertDepth" is true). fileNamePath is
/// left empty (never read).
/// Values are cut at 255 characters, except the three picture paths, which are read whole.
DocState readDocState(const QString &path);

/// Whether the file holds any of the 65 keys in the section "Lumivex Ver.2": a file without
/// one is no state file (a picture or a text chosen by mistake), though it would read as
/// defaults.
bool holdsDocState(const QString &path);

} // namespace lumivex::document
