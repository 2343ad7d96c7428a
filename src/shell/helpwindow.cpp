#include "helpwindow.h"

#include "launcher.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QStringDecoder>
#include <QTextCursor>
#include <QToolBar>
#include <QVBoxLayout>

namespace lumivex::shell {

namespace {

bool isPage(const QString &path)
{
    return path.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive)
        || path.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive);
}

/// The find box: Enter looks further on, Shift+Enter back.
class FindBox : public QLineEdit
{
public:
    FindBox(HelpWindow *window, QWidget *parent)
        : QLineEdit(parent)
        , m_window(window)
    {
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            m_window->findText(event->modifiers() & Qt::ShiftModifier);
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

private:
    HelpWindow *m_window;
};

} // namespace

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    if (type != QTextDocument::HtmlResource || !name.isLocalFile())
        return QTextBrowser::loadResource(type, name);
    QFile file(name.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString html = QStringDecoder(QStringDecoder::Utf8)(file.readAll());
    // The page marks its sections with id="…", as browsers take them; the text browser moves
    // to named anchors, so each id gets one.
    static const QRegularExpression withId(QStringLiteral("(<[a-zA-Z][^>]*\\sid=\"([^\"]+)\"[^>]*>)"));
    html.replace(withId, QStringLiteral("\\1<a name=\"\\2\"></a>"));
    return html;
}

HelpWindow::HelpWindow(Launcher &launcher, QWidget *owner)
    : QWidget(owner, Qt::Window)
    , m_launcher(launcher)
{
    setObjectName(QStringLiteral("helpWindow"));
    auto *bar = new QToolBar(this);
    m_browser = new HelpBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    // Every link comes here first: the page's own move in the window, others go out.
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? tr("使い方など") : title);
    });

    const auto action = [this, bar](const char *name, const QString &text, const QList<QKeySequence> &keys) {
        auto *item = new QAction(text, this);
        item->setObjectName(QString::fromLatin1(name));
        // A key listed twice would be ambiguous with itself and run nothing.
        QList<QKeySequence> unique;
        for (const QKeySequence &key : keys) {
            if (!key.isEmpty() && !unique.contains(key))
                unique.append(key);
        }
        item->setShortcuts(unique);
        item->setShortcutContext(Qt::WindowShortcut);
        addAction(item);
        if (!text.isEmpty())
            bar->addAction(item);
        return item;
    };
    QAction *back = action("helpBack", tr("戻る"), QKeySequence::keyBindings(QKeySequence::Back)
                                                     + QList<QKeySequence>{QKeySequence(Qt::ALT | Qt::Key_Left)});
    QAction *forward = action("helpForward", tr("進む"), QKeySequence::keyBindings(QKeySequence::Forward)
                                                        + QList<QKeySequence>{QKeySequence(Qt::ALT | Qt::Key_Right)});
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    QAction *outside = action("helpInBrowser", tr("ブラウザで開く"), {});
    connect(outside, &QAction::triggered, this, [this] {
        const QUrl page = m_browser->source();
        if (!m_launcher.openLink(page))
            m_findResult->setText(tr("ブラウザを起動できませんでした。"));
    });
    bar->addSeparator();

    m_find = new FindBox(this, bar);
    m_find->setObjectName(QStringLiteral("helpFind"));
    m_find->setPlaceholderText(tr("ページ内を検索 (Ctrl+F)"));
    m_find->setClearButtonEnabled(true);
    m_find->setMaximumWidth(240);
    bar->addWidget(m_find);
    QAction *next = action("helpFindNext", tr("次へ"), QKeySequence::keyBindings(QKeySequence::FindNext));
    QAction *previous = action("helpFindPrevious", tr("前へ"), QKeySequence::keyBindings(QKeySequence::FindPrevious));
    connect(next, &QAction::triggered, this, [this] { findText(false); });
    connect(previous, &QAction::triggered, this, [this] { findText(true); });
    QAction *find = action("helpFindKey", QString(), QKeySequence::keyBindings(QKeySequence::Find));
    connect(find, &QAction::triggered, this, [this] {
        m_find->setFocus(Qt::ShortcutFocusReason);
        m_find->selectAll();
    });
    // Typing looks for the word from where the last one was found.
    connect(m_find, &QLineEdit::textEdited, this, [this] {
        QTextCursor cursor = m_browser->textCursor();
        cursor.setPosition(cursor.selectionStart());
        m_browser->setTextCursor(cursor);
        findText(false);
    });
    m_findResult = new QLabel(bar);
    m_findResult->setObjectName(QStringLiteral("helpFindResult"));
    m_findResult->setMinimumWidth(m_findResult->fontMetrics().horizontalAdvance(tr("見つかりません")) + 8);
    bar->addWidget(m_findResult);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_browser, 1);

    // Wide enough for the page's tables, tall enough for a section, inside the screen.
    QSize size(800, 680);
    if (const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
}

HelpWindow *HelpWindow::showPage(QWidget *owner, Launcher &launcher, const QString &page)
{
    auto *window = owner->findChild<HelpWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new HelpWindow(launcher, owner);
    const QUrl url = QUrl::fromLocalFile(page);
    if (window->m_browser->source().adjusted(QUrl::RemoveFragment) != url)
        window->m_browser->setSource(url);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

bool HelpWindow::findText(bool backwards)
{
    const QString word = m_find->text();
    if (word.isEmpty()) {
        m_findResult->clear();
        return false;
    }
    const QTextDocument::FindFlags flags = backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    bool found = m_browser->find(word, flags);
    if (!found) {
        // Round the page's end once.
        QTextCursor cursor = m_browser->textCursor();
        cursor.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
        m_browser->setTextCursor(cursor);
        found = m_browser->find(word, flags);
    }
    m_findResult->setText(found ? QString() : tr("見つかりません"));
    return found;
}

void HelpWindow::followLink(const QUrl &link)
{
    const QUrl target = m_browser->source().resolved(link);
    if (target.isLocalFile()) {
        const QString path = target.toLocalFile();
        if (isPage(path) && QFileInfo(path).isFile()) {
            m_browser->setSource(target);  // a section of this page, or the other language's page
            return;
        }
    }
    // Anything else (a web address, a picture, a file of another kind) is the desktop's.
    if (!m_launcher.openLink(target))
        m_findResult->setText(tr("開けませんでした：%1").arg(target.toDisplayString()));
}

} // namespace lumivex::shell
