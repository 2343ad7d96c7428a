#pragma once

// Japanese text left in an interface that should speak another language: every text a user can
// see in a widget tree, with the Japanese ones named by where they were found.

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSet>
#include <QStatusBar>
#include <QStringList>
#include <QTabBar>
#include <QToolButton>
#include <QWidget>

#include <algorithm>

namespace japanesetext {

/// Hiragana, katakana (full and half width), CJK ideographs, Japanese punctuation and the
/// full-width forms (（）～ and full-width letters), which no English text uses.
inline bool isJapanese(char32_t c)
{
    return (c >= 0x3000 && c <= 0x30FF)      // punctuation, ideographic space, hiragana, katakana
        || (c >= 0x31F0 && c <= 0x31FF)      // katakana extensions
        || (c >= 0x3400 && c <= 0x4DBF)      // ideographs, extension A
        || (c >= 0x4E00 && c <= 0x9FFF)      // ideographs
        || (c >= 0xF900 && c <= 0xFAFF)      // compatibility ideographs
        || (c >= 0xFF00 && c <= 0xFFEF)      // full-width forms, half-width katakana
        || (c >= 0x20000 && c <= 0x3FFFF);   // ideographs beyond the basic plane
}

inline bool containsJapanese(const QString &text)
{
    const QList<uint> points = text.toUcs4();
    return std::any_of(points.begin(), points.end(), [](uint c) { return isJapanese(char32_t(c)); });
}

/// The texts among texts that hold Japanese.
inline QStringList japaneseOf(const QStringList &texts)
{
    QStringList found;
    for (const QString &text : texts) {
        if (containsJapanese(text))
            found.append(text);
    }
    return found;
}

namespace detail {

class Walker
{
public:
    Walker(const QWidget *root, bool includeHidden) : m_root(root), m_includeHidden(includeHidden) {}

    QStringList found;

    void widget(const QWidget *w, const QString &parentPath)
    {
        if (w != m_root && w->isHidden() && !m_includeHidden)
            return;
        const QString path = parentPath.isEmpty() ? name(w) : parentPath + u'/' + name(w);
        check(path, QStringLiteral("window title"), w->windowTitle());
        check(path, QStringLiteral("tooltip"), w->toolTip());
        check(path, QStringLiteral("status tip"), w->statusTip());
        if (const auto *label = qobject_cast<const QLabel *>(w))
            check(path, QStringLiteral("text"), label->text());
        if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            check(path, QStringLiteral("text"), button->text());
        if (const auto *box = qobject_cast<const QGroupBox *>(w))
            check(path, QStringLiteral("title"), box->title());
        if (const auto *edit = qobject_cast<const QLineEdit *>(w))
            check(path, QStringLiteral("placeholder"), edit->placeholderText());
        if (const auto *combo = qobject_cast<const QComboBox *>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                check(path, QStringLiteral("item %1").arg(i), combo->itemText(i));
        }
        if (const auto *tabs = qobject_cast<const QTabBar *>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                check(path, QStringLiteral("tab %1").arg(i), tabs->tabText(i));
        }
        if (const auto *bar = qobject_cast<const QStatusBar *>(w))
            check(path, QStringLiteral("message"), bar->currentMessage());
        if (const auto *menu = qobject_cast<const QMenu *>(w))
            check(path, QStringLiteral("title"), menu->title());
        if (const auto *tool = qobject_cast<const QToolButton *>(w); tool && tool->menu())
            menu(tool->menu(), path);
        const QList<QAction *> actions = w->actions();
        for (const QAction *a : actions)
            action(a, path);
        const QList<QWidget *> children = w->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (const QWidget *child : children)
            widget(child, path);
    }

private:
    // Menus are hidden windows until they pop up: they are reached through the actions that
    // open them, and each is walked once.
    void menu(const QMenu *m, const QString &path)
    {
        if (m_menus.contains(m))
            return;
        m_menus.insert(m);
        const QString here = path + u'>' + name(m);
        check(here, QStringLiteral("title"), m->title());
        const QList<QAction *> actions = m->actions();
        for (const QAction *a : actions)
            action(a, here);
    }

    void action(const QAction *a, const QString &path)
    {
        if (a->isSeparator() || (!a->isVisible() && !m_includeHidden))
            return;
        const QString here = path + u'>' + name(a);
        check(here, QStringLiteral("text"), a->text());
        // The tooltip repeats the text unless it was given its own.
        if (a->toolTip() != QString(a->text()).remove(u'&'))
            check(here, QStringLiteral("tooltip"), a->toolTip());
        check(here, QStringLiteral("status tip"), a->statusTip());
        if (a->menu())
            menu(a->menu(), here);
    }

    void check(const QString &path, const QString &what, const QString &text)
    {
        if (containsJapanese(text))
            found.append(path + QStringLiteral(" (") + what + QStringLiteral("): ") + text);
    }

    static QString name(const QObject *o)
    {
        return o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className()) : o->objectName();
    }

    const QWidget *m_root;
    bool m_includeHidden;
    QSet<const QMenu *> m_menus;
};

} // namespace detail

/// The texts holding Japanese that a user sees in root and the widgets below it: window titles,
/// tooltips and status tips, the texts of labels and buttons, group box titles, line edit
/// placeholders, combo box items, tab texts, status bar messages, and the menus, texts and
/// tooltips of the actions of menu bars, menus, toolbars and tool buttons. Each entry reads
/// "where (what): text", where being the path of object names (class names for unnamed objects).
/// Hidden widgets and actions count only with includeHidden.
inline QStringList japaneseTexts(const QWidget *root, bool includeHidden = false)
{
    detail::Walker walker(root, includeHidden);
    walker.widget(root, {});
    return walker.found;
}

} // namespace japanesetext
