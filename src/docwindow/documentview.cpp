// Looking at a document's pictures: each pane fitted or at 1:1, and the depth that the stereo
// picture shows.
#include "documentwindow.h"
#include "guidemarks.h"

#include "pane.h"
#include "picturebox.h"

#include "document/revealdesign.h"

namespace lumivex::docwindow {

void DocumentWindow::togglePaneFit(int pane)
{
    if (pane >= 0 && pane < int(m_panes.size()))
        m_panes[std::size_t(pane)]->setFitted(!m_panes[std::size_t(pane)]->isFitted());
}

bool DocumentWindow::paneFitted(int pane) const
{
    return pane >= 0 && pane < int(m_panes.size()) && m_panes[std::size_t(pane)]->isFitted();
}

QImage DocumentWindow::revealedDesign(QString *message, bool *smooth, QString *note) const
{
    const PictureBox *stereo = picAfter();
    QImage picture = stereo->isHidden() ? QImage() : stereo->image();
    // A guide band saved with the picture holds no depth: the design is the picture below it.
    if (const int band = guideBandAtTop(picture); band > 0)
        picture = picture.copy(0, band, picture.width(), picture.height() - band);
    const document::RevealedDesign revealed = document::revealDesign(picture);
    if (message)
        *message = revealed.problem;
    if (smooth)
        *smooth = revealed.smooth;
    if (note)
        *note = revealed.note;
    return revealed.design;
}

} // namespace lumivex::docwindow
