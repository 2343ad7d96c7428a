#pragma once

#include <QTextBrowser>
#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;

namespace lumivex::shell {

class Launcher;

/// The help page's browser: the page as it ships, its sections reachable by their ids.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl &name) override;
};

/// 使い方など: the help page in a window of the program's own, so that it shows where no browser
/// is set up. Links inside the page (its sections, the other language's page) move within the
/// window, with 戻る / 進む; other links go to the desktop through the launcher. A find box
/// (Ctrl+F) looks for a word forwards (Enter, F3) and backwards (Shift+Enter, Shift+F3), round
/// the page's end. One window per owner, kept when closed and shown again.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    HelpWindow(Launcher &launcher, QWidget *owner);

    /// The owner's help window (made on the first call) showing the page, raised.
    static HelpWindow *showPage(QWidget *owner, Launcher &launcher, const QString &page);

    QTextBrowser *browser() const { return m_browser; }
    /// Looks for the find box's text from the selection on, forwards or backwards, and wraps
    /// round the page's end once. Whether it was found (selected and scrolled to).
    bool findText(bool backwards = false);

private:
    void followLink(const QUrl &link);

    Launcher &m_launcher;
    HelpBrowser *m_browser;
    QLineEdit *m_find;
    QLabel *m_findResult;
};

} // namespace lumivex::shell
