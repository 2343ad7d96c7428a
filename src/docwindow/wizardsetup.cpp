// A new colour-field document made by the wizard: it takes the design picture and the built
// field image from the two hand-over files, removes them, takes the wizard's parameters and
// starts the conversion at once.
#include "documentwindow.h"

#include "mainfacade.h"
#include "pane.h"
#include "picturebox.h"
#include "prompts/prompts.h"

#include "picture/picture.h"
#include "document/sharedstate.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace lumivex::docwindow {

namespace {

// The run-time errors of the set-up that are reported, by their traditional numbers; the set-up
// then goes on with its next step.
constexpr int kFileNotFound = 53;
constexpr int kPathNotFound = 76;

QString errorDescription(int number)
{
    return number == kFileNotFound ? QCoreApplication::translate("lumivex::docwindow::DocumentWindow", "ファイルが見つかりません。")
                                   : QCoreApplication::translate("lumivex::docwindow::DocumentWindow", "パスが見つかりません。");
}

int missingFileError(const QString &path)
{
    return QFileInfo(QFileInfo(path).absolutePath()).isDir() ? kFileNotFound : kPathNotFound;
}

void reportError(MainFacade &main, QWidget *parent, int number)
{
    main.prompts().exclamation(parent, applicationTitle(),
                               runtimeErrorText(number, applicationTitle(), errorDescription(number)));
}

enum class Loaded { Picture, Missing, Unreadable };

/// Loads one hand-over file; a missing one is reported and leaves the pane empty.
Loaded loadHandOver(MainFacade &main, QWidget *parent, const QString &path, QImage &image)
{
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        reportError(main, parent, missingFileError(path));
        return Loaded::Missing;
    }
    image = picture::loadPicture(path);
    return image.isNull() ? Loaded::Unreadable : Loaded::Picture;
}

void removeHandOver(MainFacade &main, QWidget *parent, QString &path)
{
    if (!QFile::remove(path) && !QFileInfo::exists(path))
        reportError(main, parent, missingFileError(path));
    path.clear();
}

void putInPane(Pane *pane, const QImage &image)
{
    pane->picture()->setImage(image);
    pane->picture()->show();
    pane->layoutScroll();
}

} // namespace

void DocumentWindow::SetupFromWizard()
{
    document::SharedState &s = m_main.shared();
    s.WizardFinished = false;

    // A hand-over file that cannot be read ends the set-up, but neither file may stay behind.
    const auto dropHandOver = [&s] {
        for (QString *path : {&s.WizardDesignTemp, &s.WizardFieldTemp}) {
            if (!path->isEmpty())
                QFile::remove(*path);
            path->clear();
        }
    };

    QImage design;
    const Loaded designLoaded = loadHandOver(m_main, this, s.WizardDesignTemp, design);
    if (designLoaded == Loaded::Unreadable) {
        dropHandOver();
        return;
    }
    if (designLoaded == Loaded::Picture) {
        m_picUra = design;
        putInPane(picContBefore(), m_picUra);
    }
    removeHandOver(m_main, this, s.WizardDesignTemp);

    QImage field;
    const Loaded fieldLoaded = loadHandOver(m_main, this, s.WizardFieldTemp, field);
    if (fieldLoaded == Loaded::Unreadable) {
        dropHandOver();
        return;
    }
    if (fieldLoaded == Loaded::Picture) {
        m_picUraField = field;
        putInPane(picContField(), m_picUraField);
    }
    removeHandOver(m_main, this, s.WizardFieldTemp);

    DocumentEvent event{DocumentEvent::Kind::WizardSetUp};
    event.kurikaesi = s.WizardKurikaesi;
    event.rittaido = s.WizardRittaido;
    m_main.report(event);

    // A conversion without both pictures would only draw an empty stereo picture.
    if (designLoaded == Loaded::Picture && fieldLoaded == Loaded::Picture && !refuseUnreachable())
        ConvField();
}

} // namespace lumivex::docwindow
