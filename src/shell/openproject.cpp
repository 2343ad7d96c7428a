// Opening a project file in a new document window.
#include "mainwindow.h"

namespace lumivex::shell {

void MainWindow::OpenProject()
{
}

} // namespace lumivex::shell
