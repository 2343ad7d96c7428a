#pragma once

#include <QString>

class QWidget;

namespace lumivex::docwindow {

/// What a file dialog is asked for.
struct FileRequest
{
    QString title;
    QString folder;          ///< initial folder
    QString fileName;        ///< preset file name (save dialogs)
    QString filter;          ///< Qt filter string, entries separated by ";;"
    int filterIndex = 0;     ///< initially selected filter entry
    bool save = false;       ///< save dialog (otherwise open)
    bool overwritePrompt = false;
};

/// Everything modal the program asks the user: message boxes and file dialogs. The program uses
/// QtPrompts; tests hand in scripted answers.
class Prompts
{
public:
    enum class Answer { Yes, No, Cancel, Ok };

    virtual ~Prompts() = default;
    /// Yes/No/Cancel with the question icon.
    virtual Answer question(QWidget *parent, const QString &title, const QString &text) = 0;
    /// OK with the exclamation icon.
    virtual void exclamation(QWidget *parent, const QString &title, const QString &text) = 0;
    /// OK with the information icon.
    virtual void information(QWidget *parent, const QString &title, const QString &text) = 0;
    /// The chosen file's full path, or an empty string when cancelled.
    virtual QString askFile(QWidget *parent, const FileRequest &request) = 0;
};

/// The real dialogs.
class QtPrompts : public Prompts
{
public:
    Answer question(QWidget *parent, const QString &title, const QString &text) override;
    void exclamation(QWidget *parent, const QString &title, const QString &text) override;
    void information(QWidget *parent, const QString &title, const QString &text) override;
    QString askFile(QWidget *parent, const FileRequest &request) override;
};

/// The title of every message box.
QString applicationTitle();

} // namespace lumivex::docwindow
