#include "fakemain.h"

#include "testfiles.h"

#include "document/docstate.h"

#include <QFile>

namespace apptest {

using lumivex::docwindow::DocumentEvent;
using lumivex::docwindow::DocumentWindow;

FakeMain::FakeMain()
{
    QFile::remove(m_settings.settingsFilePath());
    m_shared.SettingsFilePath = m_settings.settingsFilePath();
    m_shared.StateFolder = m_stateFolder.path();
}

FakeMain::~FakeMain()
{
    // Whatever is still open goes without a question.
    for (const QPointer<DocumentWindow> &document : std::as_const(m_documents))
        delete document.data();
}

void FakeMain::report(const DocumentEvent &event)
{
    switch (event.kind) {
    case DocumentEvent::Kind::Deactivated:
    case DocumentEvent::Kind::PictureInserted:
    case DocumentEvent::Kind::ProjectSaved:
    case DocumentEvent::Kind::WizardSetUp:
        writeState(m_shared.StateFilePath);
        break;
    default:
        break;
    }
}

bool FakeMain::writeState(const QString &path, QString *error)
{
    lumivex::document::DocState state;
    state.picDesignPath = m_shared.DesignImagePath;
    state.picFieldPath = m_shared.FieldImagePath;
    state.picStereoPath = m_shared.StereoImagePath;
    state.stereoName = m_shared.ModeWord;
    state.monoOrColor = m_shared.ColourWord;
    state.kurikaesiHaba = kurikaesi;
    state.rittaido = rittaido;
    state.mitudo = mitudo;
    return lumivex::document::writeDocState(path, state, error);
}

QList<DocumentWindow *> FakeMain::documentWindows() const
{
    QList<DocumentWindow *> open;
    for (const QPointer<DocumentWindow> &document : m_documents) {
        if (document && !document->isClosed())
            open.append(document.data());
    }
    return open;
}

void FakeMain::lockDocuments(DocumentWindow *holder, bool locked)
{
    for (DocumentWindow *document : documentWindows())
        document->setEnabled(!locked || document == holder);
}

DocumentWindow *FakeMain::newDocument(const QString &mode)
{
    using lumivex::document::Colour;
    const bool field = mode == QLatin1String("Field");
    m_shared.DesignImagePath.clear();
    m_shared.FieldImagePath.clear();
    m_shared.StereoImagePath.clear();
    m_shared.ModeWord = testfiles::modeWord(mode);
    m_shared.ColourWord = field ? lumivex::document::Word<Colour>() : Colour::Mono;
    m_shared.DocumentOrigin = lumivex::document::Origin::New;
    mitudo = field ? 0 : 30;
    auto *document = new DocumentWindow(*this);
    m_documents.append(document);
    document->Load();
    document->show();
    document->layoutForMode();
    ++m_shared.DocumentCounter;
    m_shared.DocumentOrigin = lumivex::document::Origin::None;
    return document;
}

} // namespace apptest
