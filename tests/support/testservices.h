#pragma once

// The services a test hands to its main window. The printer, the clipboard and the program
// starter go to the desktop's own until the test names a fake of its own (use(&fake)), and back
// again with use(nullptr), at any moment of the test.

#include "shell/services.h"

namespace testservices {

using lumivex::docwindow::Clipboard;
using lumivex::docwindow::Printer;
using lumivex::shell::Launcher;

class SwitchPrinter : public Printer
{
public:
    void use(Printer *printer) { m_used = printer; }
    QStringList printerNames() override { return current().printerNames(); }
    bool printPicture(const QImage &picture, double screenDpiX, double screenDpiY, const QString &jobName,
                      const QString &pdfFile, lumivex::docwindow::PrintReport *report) override
    {
        return current().printPicture(picture, screenDpiX, screenDpiY, jobName, pdfFile, report);
    }
    bool choosePrinter(QPrinter &printer, QWidget *parent) override { return current().choosePrinter(printer, parent); }

private:
    Printer &current() { return m_used ? *m_used : m_desktop; }
    Printer *m_used = nullptr;
    lumivex::docwindow::QtPrinter m_desktop;
};

class SwitchClipboard : public Clipboard
{
public:
    void use(Clipboard *clipboard) { m_used = clipboard; }
    QImage image() override { return current().image(); }
    bool setImage(const QImage &image) override { return current().setImage(image); }

private:
    Clipboard &current() { return m_used ? *m_used : m_desktop; }
    Clipboard *m_used = nullptr;
    lumivex::docwindow::QtClipboard m_desktop;
};

class SwitchLauncher : public Launcher
{
public:
    void use(Launcher *launcher) { m_used = launcher; }
    bool startProgram(const QString &program, const QString &workingFolder) override
    {
        return current().startProgram(program, workingFolder);
    }
    bool openDocument(const QString &path) override { return current().openDocument(path); }
    bool openLink(const QUrl &url) override { return current().openLink(url); }

private:
    Launcher &current() { return m_used ? *m_used : m_desktop; }
    Launcher *m_used = nullptr;
    lumivex::shell::DesktopLauncher m_desktop;
};

/// The services of one main window around the test's own prompts.
struct TestServices
{
    explicit TestServices(lumivex::prompts::Prompts &prompts)
        : m_prompts(prompts)
    {
    }
    lumivex::shell::Services services() { return {m_prompts, printer, clipboard, launcher}; }

    SwitchPrinter printer;
    SwitchClipboard clipboard;
    SwitchLauncher launcher;

private:
    lumivex::prompts::Prompts &m_prompts;
};

} // namespace testservices
