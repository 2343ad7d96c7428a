#pragma once

// A document window's three panes reached by number (0 design, 1 field, 2 stereo): their
// pictures, the insertion into each, the shared path each one names, and the message of a
// picture too wide for it.

#include "testfiles.h"

#include "docwindow/documentwindow.h"
#include "docwindow/pane.h"
#include "docwindow/picturebox.h"
#include "document/sharedstate.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QString>

namespace apptest {

using lumivex::docwindow::DocumentWindow;

enum Kind { Design, Field, Stereo };

inline lumivex::docwindow::PictureBox *pictureOf(DocumentWindow *doc, int pane)
{
    return pane == Design ? doc->picBefore() : pane == Field ? doc->picField() : doc->picAfter();
}

inline lumivex::docwindow::Pane *paneOf(DocumentWindow *doc, int pane)
{
    return pane == Design ? doc->picContBefore() : pane == Field ? doc->picContField() : doc->picContAfter();
}

/// Runs the pane's insertion from whatever InsertSource names.
inline void insert(DocumentWindow *doc, int pane)
{
    if (pane == Design)
        doc->InsPicDesign();
    else if (pane == Field)
        doc->InsPicField();
    else
        doc->InsPicStereo();
}

/// The shared picture path of the pane.
inline QString &pathOf(lumivex::document::SharedState &s, int pane)
{
    return pane == Design ? s.DesignImagePath : pane == Field ? s.FieldImagePath : s.StereoImagePath;
}

/// The insert source that pastes into the pane.
inline QString clipboardWord(int pane)
{
    return pane == Design ? QStringLiteral("CBpicBefore") : pane == Field ? QStringLiteral("CBpicField")
                                                                          : QStringLiteral("CBpicAfter");
}

/// Puts the picture into the pane through the desktop's clipboard, as a paste does; the
/// clipboard keeps the picture.
inline void paste(lumivex::document::SharedState &s, DocumentWindow *doc, int pane, const QImage &image)
{
    QGuiApplication::clipboard()->setImage(image);
    s.InsertSource = testfiles::sourceWord(clipboardWord(pane));
    insert(doc, pane);
}

/// The message that refuses a picture wider than the program takes for the pane.
inline QString tooWide(int pane)
{
    const char *first = pane == Design ? "デザイン画像が大きすぎます。"
                      : pane == Field  ? "フィールド画像が大きすぎます。"
                                       : "ステレオ画像が大きすぎます。";
    return QString::fromUtf8(first) + QStringLiteral("\r\n幅を1024ピクセル以下にしてください。");
}

} // namespace apptest
