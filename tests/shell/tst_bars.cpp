// The bars around the document area: the toolbar with its drop-down buttons and pictures, the
// parameter strip's sliders, and the status bar's panels.
#include "apptest.h"
#include "mouse.h"
#include "docpanes.h"

#include "shell/icons.h"
#include "shell/messagepanel.h"
#include "shell/translations.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>
#include <cmath>

using namespace apptest;

class TestBars : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void toolbar();
    void dropDownButtons();
    void pictures();
    void disabledButtonsLookDisabled();
    void sliders();
    void statusPanels();
    void sliderChangeWritesItsKey_data();
    void sliderChangeWritesItsKey();
    void sliderTooltipFollowsMouse();
    void typedValue_data();
    void typedValue();
    void windowKeepsItsSize();
    void noticesFitAtFirstSize_data();
    void noticesFitAtFirstSize();

private:
    std::unique_ptr<App> m_app;
    MainWindow *m_window = nullptr;  ///< the App's, never shown unless a test shows it
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestBars::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_app = std::make_unique<App>(App::Start::Hidden);
    m_window = m_app->window.get();
}

void TestBars::cleanup()
{
    m_app.reset();
}

void TestBars::toolbar()
{
    struct Expected
    {
        const char *key;
        const char *tooltip;
    };
    const Expected expected[14] = {
        {"New", "新規作成（カラーフィールド　ウィザード）"},
        {"Open", "開く"}, {"Save", "上書き保存"}, {"Printer", "印刷"}, {nullptr, nullptr},
        {"Cut", "切り取り"}, {"Copy", "コピー"}, {"Paste", "貼り付け"},
        {"Ins", "挿入（デザイン画像）"}, {nullptr, nullptr},
        {"Start", "開始"}, {"Stop", "中断"}, {"Exit", "中止"}, {nullptr, nullptr},
    };
    auto *toolBar = m_window->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    QVERIFY(toolBar);
    const QList<QAction *> onBar = toolBar->actions();
    QCOMPARE(onBar.size(), 14);
    for (int index = 1; index <= 14; ++index) {
        const Expected &e = expected[index - 1];
        QAction *button = m_window->button(index);
        QVERIFY2(button, qPrintable(QString::number(index)));
        if (index == 1 || index == 9) {
            // the drop-down buttons stand on the bar as widgets driven by their face action
            QCOMPARE(toolBar->widgetForAction(onBar.at(index - 1)),
                     m_window->dropDownButton(index));
        } else {
            QCOMPARE(onBar.at(index - 1), button);
        }
        QCOMPARE(button->isSeparator(), e.key == nullptr);
        if (!e.key)
            continue;
        QCOMPARE(button->data().toString(), QString::fromLatin1(e.key));
        QCOMPARE(button->toolTip(), QString::fromUtf8(e.tooltip));
        QVERIFY(!button->icon().isNull());
    }
    QVERIFY(!m_window->button(0));
    QVERIFY(!m_window->button(15));
}

void TestBars::dropDownButtons()
{
    const QList<std::pair<int, QStringList>> items = {
        {1, {"StereoWiz", "Stereo", "RandomColor", "RandomMono"}},
        {9, {"InsDesign", "InsField", "InsStereo"}},
    };
    const QStringList texts = {"カラーフィールド　ウィザード", "カラーフィールド",
                               "ランダムドット（カラー）", "ランダムドット（モノクロ）",
                               "デザイン画像", "フィールド画像", "ステレオ画像"};
    int n = 0;
    for (const auto &[index, keys] : items) {
        QToolButton *button = m_window->dropDownButton(index);
        QVERIFY(button);
        QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
        QCOMPARE(button->defaultAction(), m_window->button(index));
        QVERIFY(button->menu());
        const QList<QAction *> actions = button->menu()->actions();
        QCOMPARE(actions.size(), keys.size());
        for (int i = 0; i < keys.size(); ++i, ++n) {
            QCOMPARE(actions.at(i), m_window->dropDownItem(keys.at(i)));
            QCOMPARE(actions.at(i)->data().toString(), keys.at(i));
            QCOMPARE(actions.at(i)->text(), texts.at(n));
        }
        // the button greys with its face action
        m_window->setButtonEnabled(index, true);
        QVERIFY(button->isEnabled());
        m_window->setButtonEnabled(index, false);
        QVERIFY(!button->isEnabled());
    }
    QVERIFY(!m_window->dropDownButton(2));
}

void TestBars::pictures()
{
    const QStringList keys = {"New", "open", "Save", "Printer", "Cut", "Copy",
                              "Paste", "Ins", "Start", "Stop", "Exit", "Help"};
    QSet<QByteArray> seen;
    for (const QString &key : keys) {
        const QIcon icon = lumivex::shell::toolIcon(key);
        QVERIFY2(!icon.isNull(), qPrintable(key));
        const QImage image = icon.pixmap(16, 16).toImage();
        seen.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()),
                               image.sizeInBytes()));
    }
    QCOMPARE(seen.size(), keys.size());  // twelve different pictures
    QVERIFY(lumivex::shell::toolIcon(QStringLiteral("Open")).isNull());
    for (int id : {101, 102, 103, 104})
        QVERIFY(!lumivex::shell::documentIcon(id).isNull());
    QVERIFY(lumivex::shell::documentIcon(105).isNull());
    QVERIFY(!m_window->windowIcon().isNull());
}

void TestBars::disabledButtonsLookDisabled()
{
    // Against the toolbar's background, a disabled button's picture must stand out far less than
    // the enabled one, and in grey: a shade of grey more on a white and grey picture (copy,
    // paste, printer) is not enough to tell a button that does nothing.
    const QColor background = QApplication::palette().color(QPalette::Window);
    const auto contrast = [&background](const QImage &image) {
        int strongest = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                const double a = c.alphaF();
                for (int channel = 0; channel < 3; ++channel) {
                    const int own = channel == 0 ? c.red() : channel == 1 ? c.green() : c.blue();
                    const int back = channel == 0 ? background.red()
                                     : channel == 1 ? background.green() : background.blue();
                    strongest = std::max(strongest, int(std::abs(a * (own - back))));
                }
            }
        }
        return strongest;
    };
    for (int index : {2, 3, 4, 6, 7, 8, 11, 12, 13}) {
        const QIcon icon = m_window->button(index)->icon();
        for (int size : {16, 24}) {
            const QImage normal = icon.pixmap(size, size, QIcon::Normal).toImage();
            const QImage disabled = icon.pixmap(size, size, QIcon::Disabled)
                                        .toImage()
                                        .convertToFormat(QImage::Format_ARGB32);
            const QString what = QStringLiteral("button %1 at %2").arg(index).arg(size);
            QVERIFY2(contrast(disabled) * 2 <= contrast(normal), qPrintable(what));
            for (int y = 0; y < disabled.height(); ++y) {
                for (int x = 0; x < disabled.width(); ++x) {
                    const QColor c = disabled.pixelColor(x, y);
                    if (c.alpha() > 0)
                        QVERIFY2(c.red() == c.green() && c.green() == c.blue(), qPrintable(what));
                }
            }
        }
    }
}

void TestBars::sliders()
{
    struct Expected
    {
        const char *name;
        const char *caption;
        int maximum, page, tick;
    };
    const Expected expected[3] = {{"sldKurikaesi", "繰返幅", 200, 10, 20},
                                  {"sldRittaido", "立体度", 50, 5, 5},
                                  {"sldMitudo", "密度", 100, 5, 10}};
    for (int i = 0; i < 3; ++i) {
        QSlider *slider = m_window->slider(i);
        QCOMPARE(slider->objectName(), QString::fromLatin1(expected[i].name));
        QCOMPARE(slider->orientation(), Qt::Horizontal);
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), expected[i].maximum);
        QCOMPARE(slider->singleStep(), 1);
        QCOMPARE(slider->pageStep(), expected[i].page);
        QCOMPARE(slider->tickInterval(), expected[i].tick);
        QCOMPARE(slider->tickPosition(), QSlider::TicksBelow);
        QVERIFY(slider->width() >= 120 || slider->minimumWidth() >= 120);
        QLabel *caption = m_window->caption(i);
        QCOMPARE(caption->objectName(), QStringLiteral("Text1_%1").arg(i));
        QCOMPARE(caption->text(), QString::fromUtf8(expected[i].caption));
    }
    QVERIFY(!m_window->slider(3));
    QVERIFY(!m_window->caption(-1));
}

void TestBars::statusPanels()
{
    const QStringList tooltips = {"", "繰返幅", "立体度", "密度", "画像サイズ"};
    const QStringList keys = {"", "KurikaesiHaba", "Rittaido", "Mitudo", "Size"};
    m_window->resize(900, 600);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    int x = -1;
    for (int panel = 1; panel <= 5; ++panel) {
        QLabel *label = m_window->statusPanel(panel);
        QCOMPARE(label->objectName(), QStringLiteral("StatusPanel%1").arg(panel));
        QCOMPARE(label->toolTip(), tooltips.at(panel - 1));
        QCOMPARE(label->property("key").toString(), keys.at(panel - 1));
        QVERIFY2(label->x() > x, "panels stand left to right");
        x = label->x();
        if (panel > 1)
            QCOMPARE(label->width(), 96);
    }
    // panel 1 takes what the others leave
    QVERIFY(m_window->statusPanel(1)->width() > 96 * 4);

    // Panel 1 keeps its whole text; what does not fit is shortened in the middle, and the whole
    // text is offered as the tooltip then.
    auto *message = qobject_cast<lumivex::shell::MessagePanel *>(m_window->statusPanel(1));
    QVERIFY(message);
    const auto askToolTip = [message] {
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), message->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(message, &help);
    };
    const QString shortPath = QStringLiteral("/tmp/Vexart1.tmp");
    m_window->setStatusText(1, shortPath);
    QCOMPARE(message->shownText(), shortPath);
    askToolTip();
    QVERIFY(!QToolTip::isVisible());
    const QString longPath = QStringLiteral("/home/user/") +
                             QStringLiteral("ステレオグラムの作品/").repeated(12) +
                             QStringLiteral("最後のプロジェクト.lvd");
    m_window->setStatusText(1, longPath);
    QCOMPARE(message->text(), longPath);
    const QString shown = message->shownText();
    QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
    QVERIFY(shown.startsWith(QStringLiteral("/home/user/")));
    QVERIFY(shown.endsWith(QStringLiteral("最後のプロジェクト.lvd")));
    QVERIFY(message->fontMetrics().horizontalAdvance(shown) <= message->contentsRect().width());
    QCOMPARE(m_window->width(), 900);  // a long message does not widen the window
    askToolTip();
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), longPath);
    m_window->setStatusText(5, QStringLiteral("640 × 480"));
    QCOMPARE(m_window->statusPanel(5)->text(), QStringLiteral("640 × 480"));
    QVERIFY(!m_window->statusPanel(0));
    QVERIFY(!m_window->statusPanel(6));
}

void TestBars::sliderChangeWritesItsKey_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("shown");
    QTest::newRow("repeat width") << 0 << "KurikaesiHaba" << 120 << 120;
    QTest::newRow("depth") << 1 << "Rittaido" << 33 << 33;
    QTest::newRow("density") << 2 << "Mitudo" << 0 << 0;
    QTest::newRow("repeat width beyond range") << 0 << "KurikaesiHaba" << 250 << 200;
}

void TestBars::sliderChangeWritesItsKey()
{
    QFETCH(int, index);
    QFETCH(QString, key);
    QFETCH(int, value);
    QFETCH(int, shown);
    const QString path = m_dir->filePath(QStringLiteral("Vexart1.tmp"));
    m_window->shared().StateFilePath = path;
    m_window->setSliderValue(index, 17);
    m_window->setSliderValue(index, value);
    QCOMPARE(m_window->slider(index)->value(), shown);
    QCOMPARE(iniValue(path, key.toLatin1().constData()), QString::number(shown));
    QCOMPARE(m_window->statusPanel(index + 2)->text(), QString::number(shown));

    // A user's move goes the same way.
    m_window->setSliderEnabled(index, true);
    const bool atTop = shown == m_window->slider(index)->maximum();
    m_window->slider(index)->triggerAction(atTop ? QAbstractSlider::SliderSingleStepSub
                                                 : QAbstractSlider::SliderSingleStepAdd);
    const QString moved = QString::number(atTop ? shown - 1 : shown + 1);
    QCOMPARE(iniValue(path, key.toLatin1().constData()), moved);
    QCOMPARE(m_window->statusPanel(index + 2)->text(), moved);

    // No document: the panel still follows, no file is made.
    m_window->shared().StateFilePath.clear();
    m_window->setSliderValue(index, 5);
    QCOMPARE(m_window->statusPanel(index + 2)->text(), QStringLiteral("5"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("Vexart1.tmp")});
}

void TestBars::sliderTooltipFollowsMouse()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QSlider *slider = m_window->slider(1);
    m_window->setSliderEnabled(1, true);
    for (int value : {20, 42}) {
        slider->setValue(value);
        sendMouse(slider, QEvent::MouseMove, QPoint(5, 5));
        QCOMPARE(slider->toolTip(), QString::number(value));
    }
}

void TestBars::typedValue_data()
{
    QTest::addColumn<QString>("label");  // the caption or status panel double-clicked
    QTest::addColumn<int>("slider");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("said");  // held to the range, and the status bar says so

    QTest::newRow("in range") << "Text1_1" << 1 << "42" << 42 << false;
    QTest::newRow("repeat 300: every digit taken") << "Text1_0" << 0 << "300" << 200 << true;
    QTest::newRow("strength 75 in its panel") << "StatusPanel3" << 1 << "75" << 50 << true;
    QTest::newRow("below the range") << "StatusPanel2" << 0 << "-5" << 0 << true;
    QTest::newRow("zero") << "Text1_0" << 0 << "0" << 0 << false;
    QTest::newRow("more digits than a number holds") << "Text1_2" << 2 << "123456789012345678901234" << 100 << true;
}

void TestBars::typedValue()
{
    QFETCH(QString, label);
    QFETCH(int, slider);
    QFETCH(QString, typed);
    QFETCH(int, value);
    QFETCH(bool, said);
    m_window->show();
    QSignalSpy userMoves(m_window->slider(slider), &QSlider::actionTriggered);
    const auto type = [this, label](const QString &keys) {
        QTest::mouseDClick(m_window->findChild<QLabel *>(label), Qt::LeftButton);
        if (QWidget *box = QApplication::activePopupWidget())
            QTest::keyClicks(box, keys);
    };
    type(QStringLiteral("42\r"));  // nothing opens while the slider is greyed
    QCOMPARE(userMoves.size(), 0);
    m_window->setSliderEnabled(slider, true);
    m_window->setCaptionEnabled(slider, true);
    m_window->setSliderValue(slider, 7);

    type(typed + u'\r');
    QCOMPARE(m_window->slider(slider)->value(), value);
    QCOMPARE(m_window->statusPanel(slider + 2)->text(), QString::number(value));
    const QString notice = m_window->statusPanel(1)->text(), maximum = QString::number(m_window->slider(slider)->maximum());
    QVERIFY2(said ? notice.contains(typed) && notice.contains(QString::number(value)) && notice.contains(maximum) : notice.isEmpty(),
             qPrintable(notice));
    type(QStringLiteral("9\x1b"));  // Esc leaves the slider as it was
    QCOMPARE(m_window->slider(slider)->value(), value);
    QCOMPARE(userMoves.size(), value == 7 ? 0 : 1);  // moved as the user's keys move it
}

void TestBars::windowKeepsItsSize()
{
    m_app = std::make_unique<App>(App::Start::FreshSettings);
    const QSize kept = m_app->window->size() + QSize(40, -50);
    m_app->window->resize(kept);
    for (bool maximized : {false, true}) {
        m_app.reset();
        m_app = std::make_unique<App>();  // the next start: as it was, centred on the screen
        const QSize room = m_app->window->screen()->geometry().size() - kept;
        QCOMPARE(m_app->window->isMaximized(), maximized);
        QVERIFY(maximized || (m_app->window->size() == kept && m_app->window->pos() == QPoint(room.width() / 2, room.height() / 2)));
        m_app->window->setWindowState(maximized ? Qt::WindowNoState : Qt::WindowMaximized);
    }
}

void TestBars::noticesFitAtFirstSize_data()
{
    QTest::addColumn<bool>("english");
    QTest::newRow("Japanese") << false;
    QTest::newRow("English") << true;
}

void TestBars::noticesFitAtFirstSize()
{
    using lumivex::shell::Language;
    QFETCH(bool, english);
    lumivex::shell::installTranslations(*qApp, english ? Language::English : Language::Japanese);
    const auto japaneseAgain = qScopeGuard([] { lumivex::shell::installTranslations(*qApp, Language::Japanese); });
    m_app = std::make_unique<App>(App::Start::FreshSettings);  // at the window's first size
    QLabel *panel = m_app->window->statusPanel(1);
    QStringList notices;

    // The stereo picture takes the smaller field's size: said when the field is put in.
    DocumentWindow *doc = m_app->newField();
    m_app->putDesign(doc, designPicture(1024, 768), fieldPicture(1000, 750));
    notices << doc->fieldSizeNote();
    // Pictures in no file are not kept by a saved project: all three panes.
    for (int pane = 0; pane < 3; ++pane)
        paste(m_app->shared(), doc, pane, fieldPicture(1000, 750));
    m_app->shared().StateFilePath = m_dir->filePath(QStringLiteral("notices.lvd"));
    QVERIFY2(doc->SaveState(), qPrintable(m_app->asked(QStringLiteral("exclamation")).join(u' ')));
    notices << panel->text();
    // A typed value held to the range.
    m_app->window->setSliderEnabled(0, true);
    QTest::mouseDClick(m_app->window->findChild<QLabel *>(QStringLiteral("Text1_0")), Qt::LeftButton);
    QVERIFY(QApplication::activePopupWidget());
    QTest::keyClicks(QApplication::activePopupWidget(), QStringLiteral("99999\r"));
    notices << panel->text();

    // Each notice's first line, what the panel shows, fits it whole; a second line, if any, says the notice in full in the panel's tooltip.
    for (const QString &notice : std::as_const(notices)) {
        const QString shown = notice.section(u'\n', 0, 0);
        QVERIFY(!shown.isEmpty());
        const int advance = panel->fontMetrics().horizontalAdvance(shown);
        QVERIFY2(advance <= panel->contentsRect().width(), qPrintable(QStringLiteral("%1 (%2 pixels)").arg(shown).arg(advance)));
    }
    QVERIFY(notices.at(1).section(u'\n', 1).contains(english ? QStringLiteral("Stereo Picture") : QStringLiteral("ステレオアート画像")));
}

QTEST_MAIN(TestBars)
#include "tst_bars.moc"
