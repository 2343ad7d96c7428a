#pragma once

#include "docwindow/clipboard.h"
#include "docwindow/printer.h"
#include "launcher.h"
#include "prompts/prompts.h"

namespace lumivex::shell {

/// Everything the main window and its documents reach outside the program through: the modal
/// questions and file dialogs, the printer, the clipboard and the starting of other programs.
/// Handed to the main window when it is made; whoever makes it keeps the services alive for the
/// window's whole life. The program hands in the desktop's (DesktopServices), tests their own.
struct Services
{
    prompts::Prompts &prompts;
    docwindow::Printer &printer;
    docwindow::Clipboard &clipboard;
    Launcher &launcher;
};

/// The desktop's services: Qt's dialogs, the default printer, the system clipboard and the
/// desktop's program starter.
class DesktopServices
{
public:
    Services services() { return {m_prompts, m_printer, m_clipboard, m_launcher}; }

private:
    prompts::QtPrompts m_prompts;
    docwindow::QtPrinter m_printer;
    docwindow::QtClipboard m_clipboard;
    DesktopLauncher m_launcher;
};

} // namespace lumivex::shell
