// The main window's controls: menus, toolbar, parameter strip and status bar.
#include "mainwindow.h"

#include "document/inifile.h"
#include "icons.h"
#include "messagepanel.h"
#include "valuebox.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

namespace lumivex::shell {

namespace {

using C = document::Control;

/// One entry of the menu tree, in menu order: a control (its name is the control's), or a
/// separator with a name of its own and the caption "-". The captions of these tables are the
/// source texts of their translations, looked up where they are shown.
struct MenuEntry
{
    const char *separator;        ///< a separator's name; nullptr for a control
    C control;                    ///< the item or submenu (not for a separator)
    std::optional<C> parent;      ///< none for a menu of the menu bar
    const char *caption;
    const char *shortcut;
    bool submenu;

    QString name() const
    {
        return separator ? QString::fromLatin1(separator) : document::controlName(control);
    }
};

constexpr MenuEntry kMenuTree[] = {
    {nullptr, C::mnuFile, std::nullopt, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "ファイル(&F)"), "", true},
    {nullptr, C::mnuNew, C::mnuFile, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "新規作成"), "", true},
    {nullptr, C::mnuWizard, C::mnuNew, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "カラーフィールド　ウイザード"), "F2", false},
    {nullptr, C::mnuFieldColor, C::mnuNew, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "カラーフィールド"), "F3", false},
    {nullptr, C::mnuColor, C::mnuNew, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "ランダムドット（カラー）"), "F4", false},
    {nullptr, C::mnuMono, C::mnuNew, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "ランダムドット（モノクロ）"), "F5", false},
    {"mnuBar1", {}, C::mnuFile, "-", "", false},
    {nullptr, C::mnuOpen, C::mnuFile, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "開く"), "", false},
    {nullptr, C::mnuSave, C::mnuFile, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "上書き保存"), "Ctrl+S", false},
    {nullptr, C::mnuSaveName, C::mnuFile, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "名前を付けて保存"), "Ctrl+K", false},
    {nullptr, C::mnuSaveGazou, C::mnuFile, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "画像の保存"), "", true},
    {nullptr, C::mnuSaveDesign, C::mnuSaveGazou, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "デザイン画像"), "Ctrl+B", false},
    {nullptr, C::mnuSaveField, C::mnuSaveGazou, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "フィールド画像"), "Ctrl+H", false},
    {nullptr, C::mnuSaveStereo, C::mnuSaveGazou, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "ステレオアート画像"), "Ctrl+A", false},
    {nullptr, C::mnuClose, C::mnuFile, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "閉じる"), "Ctrl+Q", false},
    {"mnuBar3", {}, C::mnuFile, "-", "", false},
    {nullptr, C::mnuPrint, C::mnuFile, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "印刷"), "Ctrl+P", false},
    {"mnuBar4", {}, C::mnuFile, "-", "", false},
    {nullptr, C::mnuEnd, C::mnuFile, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "終了(&X)"), "", false},
    {nullptr, C::mnuHensyuu, std::nullopt, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "編集(&E)"), "", true},
    {nullptr, C::mnuEditer, C::mnuHensyuu, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "エディタ"), "", true},
    {nullptr, C::mnuEditerChoice, C::mnuEditer, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "選択"), "Ctrl+W", false},
    {nullptr, C::mnuEditerBoot, C::mnuEditer, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "起動"), "Ctrl+E", false},
    {"mnuBar5", {}, C::mnuHensyuu, "-", "", false},
    {nullptr, C::mnuCut, C::mnuHensyuu, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "切り取り"), "Ctrl+X", false},
    {nullptr, C::mnuCopy, C::mnuHensyuu, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "コピー"), "Ctrl+C", false},
    {nullptr, C::mnuPaste, C::mnuHensyuu, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "貼り付け"), "Ctrl+V", false},
    {"mnuBar6", {}, C::mnuHensyuu, "-", "", false},
    {nullptr, C::mnuClear, C::mnuHensyuu, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "消去"), "Ctrl+D", false},
    {nullptr, C::mnuIns, std::nullopt, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "挿入(&I)"), "", true},
    {nullptr, C::mnuInsDesign, C::mnuIns, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "デザイン画像"), "Ctrl+G", false},
    {nullptr, C::mnuInsField, C::mnuIns, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "フィールド画像"), "Ctrl+F", false},
    {nullptr, C::mnuInsStereo, C::mnuIns, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "ステレオ画像"), "Ctrl+J", false},
    {nullptr, C::mnuConvert, std::nullopt, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "変換(&R)"), "", true},
    {nullptr, C::mnuConvStart, C::mnuConvert, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "開始"), "F6", false},
    {nullptr, C::mnuConvStop, C::mnuConvert, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "中断"), "F7", false},
    {nullptr, C::mnuConvExit, C::mnuConvert, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "中止"), "F8", false},
    {nullptr, C::mnuWindow, std::nullopt, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "ウィンドウ(&W)"), "", true},
    {nullptr, C::mnuHelp, std::nullopt, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "ヘルプ(&H)"), "", true},
    {nullptr, C::mnuInfomation, C::mnuHelp, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "バージョン情報"), "Ctrl+I", false},
    {nullptr, C::mnuSetumei, C::mnuHelp, QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "使い方など"), "F1", false},
};

/// Toolbar buttons 1..14; a null key is a separator. Picture = image list key.
struct ButtonEntry
{
    const char *name;
    const char *key;
    const char *picture;
    const char *tooltip;
};

constexpr ButtonEntry kButtons[] = {
    {"tbNew", "New", "New", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "新規作成（カラーフィールド　ウィザード）")},
    {"tbOpen", "Open", "open", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "開く")},
    {"tbSave", "Save", "Save", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "上書き保存")},
    {"tbPrinter", "Printer", "Printer", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "印刷")},
    {nullptr, nullptr, nullptr, nullptr},
    {"tbCut", "Cut", "Cut", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "切り取り")},
    {"tbCopy", "Copy", "Copy", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "コピー")},
    {"tbPaste", "Paste", "Paste", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "貼り付け")},
    {"tbIns", "Ins", "Ins", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "挿入（デザイン画像）")},
    {nullptr, nullptr, nullptr, nullptr},
    {"tbStart", "Start", "Start", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "開始")},
    {"tbStop", "Stop", "Stop", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "中断")},
    {"tbExit", "Exit", "Exit", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "中止")},
    {nullptr, nullptr, nullptr, nullptr},
};

/// Drop-down items of buttons 1 and 9, by position.
struct DropDownEntry
{
    int button;
    const char *key;
    const char *text;
};

constexpr DropDownEntry kDropDownItems[] = {
    {1, "StereoWiz", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "カラーフィールド　ウィザード")},
    {1, "Stereo", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "カラーフィールド")},
    {1, "RandomColor", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "ランダムドット（カラー）")},
    {1, "RandomMono", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "ランダムドット（モノクロ）")},
    {9, "InsDesign", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "デザイン画像")},
    {9, "InsField", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "フィールド画像")},
    {9, "InsStereo", QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "ステレオ画像")},
};

/// The parameter strip: caption and slider of each parameter. The strip is laid out in twips
/// (captions 540/540/390, sliders 1200); at 15 twips a pixel the sliders would be 80 px, too
/// short to aim at, so every width is doubled.
struct SliderEntry
{
    const char *caption;
    const char *name;
    int maximum;
    int pageStep;
    int tickInterval;
    int captionWidth;
};

constexpr SliderEntry kSliders[] = {
    {QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "繰返幅"), "sldKurikaesi", 200, 10, 20, 72},
    {QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "立体度"), "sldRittaido", 50, 5, 5, 72},
    {QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "密度"), "sldMitudo", 100, 5, 10, 52},
};
constexpr int kSliderWidth = 160;
/// A caption longer than its width (in English, say) takes its room from the sliders, down to
/// this width, rather than being cut.
constexpr int kSliderLeast = 120;
constexpr int kPanelWidth = 96;  // 1440 twips

/// A slider of the strip: kSliderWidth wide where there is room, narrower where the captions
/// need it.
class StripSlider : public QSlider
{
public:
    using QSlider::QSlider;
    QSize sizeHint() const override { return {kSliderWidth, QSlider::sizeHint().height()}; }
};

/// Moving the mouse over a slider shows its value as the tooltip.
class SliderValueTip : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove) {
            if (auto *slider = qobject_cast<QSlider *>(watched))
                slider->setToolTip(QString::number(slider->value()));
        }
        return false;
    }
};

/// A caption as a tooltip shows it: without its access key's "&" ("&&" stands for "&"). The
/// toolbar's tooltips share their texts with the menu items, which have access keys in English.
QString withoutAccessKey(const QString &caption)
{
    static const QRegularExpression key(QStringLiteral("&(.)"));
    return QString(caption).replace(key, QStringLiteral("\\1"));
}

/// A menu item can be chosen only while every menu above it is enabled: a greyed submenu
/// keeps its items' shortcuts from running as well, not just the mouse.
bool reachable(const QAction *action)
{
    const QObjectList holders = action->associatedObjects();
    for (QObject *holder : holders) {
        if (auto *menu = qobject_cast<QMenu *>(holder)) {
            const QAction *opener = menu->menuAction();
            if (!opener->isEnabled() || !reachable(opener))
                return false;
        }
    }
    return true;
}

} // namespace

void MainWindow::createActions()
{
    setWindowIcon(applicationIcon());

    for (const MenuEntry &entry : kMenuTree) {
        if (entry.submenu || qstrcmp(entry.caption, "-") == 0)
            continue;  // made with their menus in createMenus()
        auto *action = new QAction(tr(entry.caption), this);
        action->setObjectName(entry.name());
        action->setShortcut(QKeySequence(QString::fromUtf8(entry.shortcut)));
        m_menus.insert(action->objectName(), action);
    }

    for (int i = 0; i < 14; ++i) {
        const ButtonEntry &entry = kButtons[i];
        if (!entry.key)
            continue;  // separators come from the toolbar itself
        const QString tooltip = withoutAccessKey(tr(entry.tooltip));
        auto *action = new QAction(toolIcon(QString::fromUtf8(entry.picture)), tooltip, this);
        action->setObjectName(QString::fromUtf8(entry.name));
        action->setToolTip(tooltip);
        action->setData(QString::fromUtf8(entry.key));
        m_buttons[i + 1] = action;
    }

    for (const DropDownEntry &entry : kDropDownItems) {
        auto *action = new QAction(tr(entry.text), this);
        action->setObjectName(QString::fromUtf8(entry.key));
        action->setData(QString::fromUtf8(entry.key));
        m_dropDownItems.insert(action->objectName(), action);
    }

    // Menu items check their enclosing menus; the toolbar and its drop-downs are disabled
    // as a whole with their button.
    const auto onMenu = [this](document::Control control, std::function<void()> run) {
        QAction *action = controlAction(control);
        connect(action, &QAction::triggered, this, [action, run] {
            if (reachable(action))
                run();
        });
    };
    const auto onItem = [this](QAction *action, std::function<void()> run) {
        connect(action, &QAction::triggered, this, [run] { run(); });
    };
    using document::Command;
    using document::Control;
    using document::Mode;
    const auto insert = [this](Command word) {
        m_shared.InsertSource = document::Source::FromFile;
        PostCommand(word);
    };
    const auto post = [this](Command word) { return [this, word] { PostCommand(word); }; };

    const auto wizard = [this] { showWizard(); };
    const auto field = [this] { newDocument(Mode::Field, {}); };
    const auto colour = [this] { newDocument(Mode::RandomDot, document::Colour::Color); };
    const auto mono = [this] { newDocument(Mode::RandomDot, document::Colour::Mono); };
    const auto insDesign = [insert] { insert(Command::InsDesign); };
    const auto insField = [insert] { insert(Command::InsField); };
    const auto insStereo = [insert] { insert(Command::InsStereo); };
    const auto paste = [this] { onPaste(); };
    const auto start = post(Command::ConvStart);
    const auto stop = [this] { onConvStop(); };
    const auto abort = [this] { onConvExit(); };

    onMenu(Control::mnuWizard, wizard);
    onMenu(Control::mnuFieldColor, field);
    onMenu(Control::mnuColor, colour);
    onMenu(Control::mnuMono, mono);
    onMenu(Control::mnuOpen, [this] { OpenProject(); });
    onMenu(Control::mnuSave, post(Command::Save));
    onMenu(Control::mnuSaveName, post(Command::SaveName));
    onMenu(Control::mnuSaveDesign, post(Command::SaveDesign));
    onMenu(Control::mnuSaveField, post(Command::SaveField));
    onMenu(Control::mnuSaveStereo, post(Command::SaveStereo));
    onMenu(Control::mnuClose, post(Command::Close));
    onMenu(Control::mnuPrint, post(Command::Print));
    onMenu(Control::mnuEnd, [this] { close(); });
    onMenu(Control::mnuPaste, paste);
    onMenu(Control::mnuCut, [this] { onCut(); });
    onMenu(Control::mnuCopy, [this] { onCopy(); });
    onMenu(Control::mnuClear, [this] { ClearSelectedPane(); });
    onMenu(Control::mnuInsDesign, insDesign);
    onMenu(Control::mnuInsField, insField);
    onMenu(Control::mnuInsStereo, insStereo);
    onMenu(Control::mnuConvStart, start);
    onMenu(Control::mnuConvStop, stop);
    onMenu(Control::mnuConvExit, abort);
    onMenu(Control::mnuEditerChoice, [this] { chooseEditor(); });
    onMenu(Control::mnuEditerBoot, [this] { startEditor(); });
    onMenu(Control::mnuSetumei, [this] { openHelp(); });
    onMenu(Control::mnuInfomation, [this] { showVersionBox(); });

    onItem(m_buttons[1], wizard);
    onItem(m_buttons[2], [this] { OpenProject(); });
    onItem(m_buttons[3], post(Command::Save));
    onItem(m_buttons[4], post(Command::Print));
    onItem(m_buttons[6], [this] { onCut(); });
    onItem(m_buttons[7], [this] { onCopy(); });
    onItem(m_buttons[8], paste);
    onItem(m_buttons[9], insDesign);
    onItem(m_buttons[11], start);
    onItem(m_buttons[12], stop);
    onItem(m_buttons[13], abort);  // abort the conversion, never quit

    onItem(m_dropDownItems.value(QStringLiteral("StereoWiz")), wizard);
    onItem(m_dropDownItems.value(QStringLiteral("Stereo")), field);
    onItem(m_dropDownItems.value(QStringLiteral("RandomColor")), colour);
    onItem(m_dropDownItems.value(QStringLiteral("RandomMono")), mono);
    onItem(m_dropDownItems.value(QStringLiteral("InsDesign")), insDesign);
    onItem(m_dropDownItems.value(QStringLiteral("InsField")), insField);
    onItem(m_dropDownItems.value(QStringLiteral("InsStereo")), insStereo);
}

void MainWindow::createMenus()
{
    QHash<QString, QMenu *> menus;
    for (const MenuEntry &entry : kMenuTree) {
        const QString name = entry.name();
        QMenu *parent = entry.parent ? menus.value(document::controlName(*entry.parent)) : nullptr;
        if (entry.submenu) {
            auto *menu = new QMenu(tr(entry.caption), this);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            if (parent)
                parent->addMenu(menu);
            else
                menuBar()->addMenu(menu);
            menus.insert(name, menu);
            m_menus.insert(name, menu->menuAction());
        } else if (qstrcmp(entry.caption, "-") == 0) {
            QAction *separator = parent->addSeparator();
            separator->setObjectName(name);
            m_menus.insert(name, separator);
        } else {
            parent->addAction(m_menus.value(name));
        }
    }

    // Ctrl+Tab and Ctrl+Shift+Tab switch documents from wherever the focus is in the main
    // window; the document area alone would only see them while it holds the focus itself.
    // While a run holds the lock the other documents are disabled, and the keys do nothing.
    const auto switchKeys = [this](const QList<QKeySequence> &keys, bool forward) {
        auto *action = new QAction(this);
        action->setObjectName(forward ? QStringLiteral("nextDocument")
                                      : QStringLiteral("previousDocument"));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, [this, forward] {
            if (!m_mdiArea || m_shared.Converting)
                return;
            if (forward)
                m_mdiArea->activateNextSubWindow();
            else
                m_mdiArea->activatePreviousSubWindow();
        });
    };
    switchKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab)}, true);
    // Shift+Tab arrives as Backtab on most keyboards.
    switchKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)},
               false);

    // ウィンドウ(&W) lists the open documents, the active one checked.
    QMenu *windowMenu = menus.value(document::controlName(C::mnuWindow));
    connect(windowMenu, &QMenu::aboutToShow, this, [this, windowMenu] {
        windowMenu->clear();
        if (!m_mdiArea)
            return;
        const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
        for (int i = 0; i < windows.size(); ++i) {
            QMdiSubWindow *window = windows.at(i);
            // The first nine get their number as access key; a "&" in a title is shown as such.
            const QString title = window->windowTitle().replace(u'&', QStringLiteral("&&"));
            QAction *entry = windowMenu->addAction(
                (i < 9 ? QStringLiteral("&%1 %2") : QStringLiteral("%1 %2")).arg(i + 1).arg(title));
            entry->setCheckable(true);
            entry->setChecked(window == m_mdiArea->activeSubWindow());
            connect(entry, &QAction::triggered, this, [this, target = QPointer(window)] {
                if (target)
                    m_mdiArea->setActiveSubWindow(target);
            });
        }
    });
}

void MainWindow::createToolBars()
{
    m_toolBar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolBar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);

    // Buttons 1 and 9 run their face action and show their items on the arrow; the tool
    // button follows its face action's enabled state.
    const auto dropDown = [this](int index) {
        auto *button = new QToolButton(m_toolBar);
        button->setObjectName(m_buttons[index]->objectName() + QStringLiteral("Button"));
        button->setPopupMode(QToolButton::MenuButtonPopup);
        button->setDefaultAction(m_buttons[index]);
        auto *menu = new QMenu(button);
        for (const DropDownEntry &entry : kDropDownItems) {
            if (entry.button == index)
                menu->addAction(m_dropDownItems.value(QString::fromUtf8(entry.key)));
        }
        button->setMenu(menu);
        m_toolBar->addWidget(button);
        return button;
    };

    for (int index = 1; index <= 14; ++index) {
        if (index == 1)
            m_newButton = dropDown(index);
        else if (index == 9)
            m_insButton = dropDown(index);
        else if (!kButtons[index - 1].key)
            m_buttons[index] = m_toolBar->addSeparator();
        else
            m_toolBar->addAction(m_buttons[index]);
    }
}

void MainWindow::createParameterStrip()
{
    auto *strip = new QToolBar(QStringLiteral("Parameters"), this);
    strip->setObjectName(QStringLiteral("ParameterStrip"));
    strip->setMovable(false);
    strip->setFloatable(false);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, strip);

    auto *holder = new QWidget(strip);
    auto *layout = new QHBoxLayout(holder);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(4);
    auto *valueTip = new SliderValueTip(this);

    for (int i = 0; i < 3; ++i) {
        const SliderEntry &entry = kSliders[i];
        auto *caption = new QLabel(tr(entry.caption), holder);
        caption->setObjectName(QStringLiteral("Text1_%1").arg(i));
        caption->setAlignment(Qt::AlignCenter);
        caption->setFrameShape(QFrame::Panel);
        caption->setFrameShadow(QFrame::Sunken);
        // Never narrower than its text: the strip shortens the sliders instead.
        caption->setMinimumWidth(std::max(entry.captionWidth, caption->sizeHint().width()));
        m_captions[i] = caption;

        auto *slider = new StripSlider(Qt::Horizontal, holder);
        slider->setObjectName(QString::fromUtf8(entry.name));
        slider->setRange(0, entry.maximum);
        slider->setSingleStep(1);
        slider->setPageStep(entry.pageStep);
        slider->setTickInterval(entry.tickInterval);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setMinimumWidth(kSliderLeast);
        slider->setMaximumWidth(kSliderWidth);
        slider->setMouseTracking(true);
        slider->installEventFilter(valueTip);
        m_sliders[i] = slider;
        // Every move of the user's (a key, the wheel, a click beside the thumb, a drag) is an
        // action of the slider; a value the program sets is not, and converts nothing live.
        connect(slider, &QAbstractSlider::actionTriggered, this, [this, i] { m_userSlider = i; });
        connect(slider, &QSlider::valueChanged, this,
                [this, i](int value) { onSliderChanged(i, value); });

        offerTypedValue(caption, slider, [this](const QString &notice) { setStatusText(1, notice); });

        layout->addWidget(caption);
        layout->addWidget(slider);
        if (i == 1)
            layout->addWidget(createDepthMark(holder));
        layout->addSpacing(8);
    }
    layout->addStretch(1);
    strip->addWidget(holder);
}

void MainWindow::createStatusBar()
{
    static const char *const kTooltips[] = {
        "",
        QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "繰返幅"),
        QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "立体度"),
        QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "密度"),
        QT_TRANSLATE_NOOP("lumivex::shell::MainWindow", "画像サイズ"),
    };
    static const char *const kKeys[] = {"", "KurikaesiHaba", "Rittaido", "Mitudo", "Size"};
    for (int panel = 1; panel <= 5; ++panel) {
        // Panel 1 shortens a message that does not fit and shows it whole as its tooltip.
        QLabel *label = panel == 1 ? new MessagePanel(statusBar()) : new QLabel(statusBar());
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        label->setProperty("key", QString::fromLatin1(kKeys[panel - 1]));
        if (*kTooltips[panel - 1])
            label->setToolTip(tr(kTooltips[panel - 1]));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        if (panel == 1)
            label->setMinimumWidth(kPanelWidth);
        else
            label->setFixedWidth(kPanelWidth);
        if (panel >= 2 && panel <= 4)
            offerTypedValue(label, m_sliders[panel - 2], [this](const QString &notice) { setStatusText(1, notice); });
        // Permanent, so that a passing status tip never hides the panels.
        statusBar()->addPermanentWidget(label, panel == 1 ? 1 : 0);
        m_panels[panel] = label;
    }
}

void MainWindow::onSliderChanged(int index, int value)
{
    static const char *const kKeys[] = {"KurikaesiHaba", "Rittaido", "Mitudo"};
    const QString text = QString::number(value);
    QString reason;
    if (!m_shared.StateFilePath.isEmpty())
        stateWritten(m_shared.StateFilePath,
                     document::iniWriteString(m_shared.StateFilePath, QString::fromLatin1(document::kSection),
                                              QString::fromLatin1(kKeys[index]), text, &reason),
                     reason);
    setStatusText(index + 2, text);
    showDepthReach();
    if (std::exchange(m_userSlider, -1) == index)
        sliderMovedForLiveConversion();
}

} // namespace lumivex::shell
