// The clipboard the document windows paste from and copy to.
#include "mainwindow.h"

#include "docwindow/clipboard.h"

namespace lumivex::shell {

docwindow::Clipboard &MainWindow::clipboard()
{
    // The system clipboard keeps no state of its own here, so one object serves every window.
    static docwindow::QtClipboard systemClipboard;
    return m_clipboard ? *m_clipboard : systemClipboard;
}

} // namespace lumivex::shell
