#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace lumivex::prompts {

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
    /// Lists only the files the user may run (besides folders): no extension marks a program
    /// here, so a name filter cannot tell them.
    bool executablesOnly = false;
};

/// What a file dialog gave back: the chosen file (empty when cancelled) and the filter entry
/// that was selected when it was chosen.
struct FileChoice
{
    QString path;
    int filterIndex = 0;
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
    /// Yes/No with the question icon; a box closed any other way answers No. Unless a prompter
    /// has a box of its own for it, the Yes/No/Cancel question with Cancel taken as No.
    virtual Answer yesNo(QWidget *parent, const QString &title, const QString &text)
    {
        return question(parent, title, text) == Answer::Yes ? Answer::Yes : Answer::No;
    }
    /// A question answered with the caller's own buttons, named in order, the first the default,
    /// with the question icon: the index of the button pressed. A box closed any other way (Esc,
    /// the window's close box) answers escapeButton.
    virtual int choose(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons,
                       int escapeButton) = 0;
    /// OK with the exclamation icon.
    virtual void exclamation(QWidget *parent, const QString &title, const QString &text) = 0;
    /// OK with the information icon.
    virtual void information(QWidget *parent, const QString &title, const QString &text) = 0;
    /// The chosen file's full path, or an empty string when cancelled.
    virtual QString askFile(QWidget *parent, const FileRequest &request) = 0;
    /// The chosen file with the filter entry selected, for a caller whose file type follows
    /// the filter. Unless a prompter knows better, the filter entry asked for.
    virtual FileChoice chooseFile(QWidget *parent, const FileRequest &request)
    {
        return {askFile(parent, request), request.filterIndex};
    }
};

/// The real dialogs.
class QtPrompts : public Prompts
{
public:
    Answer question(QWidget *parent, const QString &title, const QString &text) override;
    Answer yesNo(QWidget *parent, const QString &title, const QString &text) override;
    int choose(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons,
               int escapeButton) override;
    void exclamation(QWidget *parent, const QString &title, const QString &text) override;
    void information(QWidget *parent, const QString &title, const QString &text) override;
    QString askFile(QWidget *parent, const FileRequest &request) override;
    FileChoice chooseFile(QWidget *parent, const FileRequest &request) override;
};

/// The title of every message box.
QString applicationTitle();

/// The text of the box that reports a run-time error: "ｴﾗｰ番号 ", the number as a number-to-text
/// conversion writes it (a blank before a number that is not negative), the error's source,
/// " でｴﾗｰが発生しました。", CR LF and the description. Shown with the exclamation icon.
QString runtimeErrorText(int number, const QString &source, const QString &description);

} // namespace lumivex::prompts
