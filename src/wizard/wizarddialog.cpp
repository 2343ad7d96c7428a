// The wizard window: its three pages, the navigation between them, and 完了.
#include "wizarddialog.h"

#include "prompts/prompts.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QVBoxLayout>

namespace lumivex::wizard {

namespace {

QLabel *captionLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QLabel *namedLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

QString sizeText(const QImage &image)
{
    return WizardDialog::tr("%1×%2　ピクセル").arg(image.width()).arg(image.height());
}

} // namespace

WizardDialog::WizardDialog(const WizardResult &start, const document::AppSettings &settings,
                           prompts::Prompts &prompts, const QString &handOverFolder, QWidget *parent)
    : QDialog(parent)
    , m_result(start)
    , m_settings(settings)
    , m_prompts(prompts)
    , m_handOverFolder(handOverFolder)
    , m_handOver(handOverFolder)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("カラーフィールド　ウィザード"));
    setModal(true);
    buildPages();
    resize(560, 330);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
    showPage(0);
    cmdCancel->setEnabled(true);
    cmdBack->setEnabled(false);
    cmdNext->setEnabled(false);
    cmdCompreat->setEnabled(false);
    for (int i = 0; i < 2; ++i) {
        lblDesign[i]->clear();
        lblSize1[i]->clear();
    }
}

WizardDialog::~WizardDialog() = default;

void WizardDialog::buildPages()
{
    auto *pageArea = new QWidget(this);
    auto *stack = new QGridLayout(pageArea);
    stack->setContentsMargins(0, 0, 0, 0);
    // All three pages sit at the same spot; exactly one of them is shown.
    picContena = {buildPage1(), buildPage2(), buildPage3()};
    for (int i = 0; i < 3; ++i) {
        picContena[i]->setObjectName(QStringLiteral("picContena_%1").arg(i));
        picContena[i]->setParent(pageArea);
        stack->addWidget(picContena[i], 0, 0);
    }

    // The previews belong to the window, not to a page: once shown they stay on every page.
    auto *previewColumn = new QWidget(this);
    previewColumn->setFixedWidth(57);  // the pages keep their width when a preview appears
    auto *previews = new QVBoxLayout(previewColumn);
    previews->setContentsMargins(0, 0, 0, 0);
    picD = namedLabel(QStringLiteral("picD"), previewColumn);
    picFmoto = namedLabel(QStringLiteral("picFmoto"), previewColumn);
    for (QLabel *preview : {picD, picFmoto}) {
        preview->setFixedSize(57, 57);
        preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        preview->hide();
        previews->addWidget(preview);
    }
    previews->addStretch(1);

    auto *top = new QHBoxLayout;
    top->addWidget(pageArea, 1);
    top->addWidget(previewColumn);

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    cmdBack = new QPushButton(tr("<  戻る"), this);
    cmdNext = new QPushButton(tr("次へ >"), this);
    cmdCompreat = new QPushButton(tr("完了"), this);
    cmdCancel = new QPushButton(tr("キャンセル"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdNext->setObjectName(QStringLiteral("cmdNext"));
    cmdCompreat->setObjectName(QStringLiteral("cmdCompreat"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // Cancelling must not first run the check of a number box that it would take the focus from.
    cmdCancel->setFocusPolicy(Qt::NoFocus);
    connect(cmdBack, &QPushButton::clicked, this, &WizardDialog::back);
    connect(cmdNext, &QPushButton::clicked, this, &WizardDialog::next);
    connect(cmdCompreat, &QPushButton::clicked, this, &WizardDialog::BuildFieldImage);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdNext);
    buttons->addSpacing(12);
    buttons->addWidget(cmdCompreat);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);
}

QWidget *WizardDialog::buildPage1()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    const QString captions[2] = {tr("デザイン画像を指定してください..."),
                                 tr("フィールド画像の元となる画像を指定してください...")};
    for (int i = 0; i < 2; ++i) {
        layout->addWidget(captionLabel(captions[i], page));
        auto *row = new QHBoxLayout;
        cmdSansyou[i] = new QPushButton(tr("参照"), page);
        cmdSansyou[i]->setObjectName(QStringLiteral("cmdSansyou_%1").arg(i));
        connect(cmdSansyou[i], &QPushButton::clicked, this, [this, i] { browse(i); });
        lblDesign[i] = namedLabel(QStringLiteral("lblDesign_%1").arg(i), page);
        // A long path must not widen the window.
        lblDesign[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        row->addWidget(cmdSansyou[i]);
        row->addWidget(lblDesign[i], 1);
        layout->addLayout(row);
        lblSize1[i] = namedLabel(QStringLiteral("lblSize1_%1").arg(i), page);
        layout->addWidget(lblSize1[i]);
    }
    layout->addStretch(1);
    return page;
}

QWidget *WizardDialog::buildPage2()
{
    auto *page = new QWidget;
    auto *layout = new QGridLayout(page);
    txtKurikaesi = new QLineEdit(page);
    txtRittaido = new QLineEdit(page);
    txtKurikaesi->setObjectName(QStringLiteral("txtKurikaesi"));
    txtRittaido->setObjectName(QStringLiteral("txtRittaido"));
    layout->addWidget(captionLabel(tr("繰り返し幅（ピクセル）を指定してください。（通常は、右の値でOKです）"), page),
                      0, 0);
    layout->addWidget(txtKurikaesi, 0, 1);
    layout->addWidget(captionLabel(tr("立体度を指定してください。（0～50）"), page), 1, 0);
    layout->addWidget(txtRittaido, 1, 1);
    for (QLineEdit *box : {txtKurikaesi, txtRittaido}) {
        box->setMaximumWidth(80);
        // Only digits are typed (the key filter); a paste, a drop or an input method would bring
        // in anything, so they are off, and whatever way text still arrives by (the middle
        // button's selection paste of X11) is refused unless it is all digits.
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->setAcceptDrops(false);
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
        box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
        box->installEventFilter(this);
    }
    layout->setRowStretch(2, 1);
    return page;
}

QWidget *WizardDialog::buildPage3()
{
    auto *page = new QWidget;
    auto *layout = new QGridLayout(page);
    const QString captions[4] = {tr("デザイン画像の大きさ "), tr("フィールド画像の元となる画像の大きさ "),
                                 tr("繰り返し幅 "), tr("立体度")};
    for (int i = 0; i < 4; ++i) {
        layout->addWidget(captionLabel(captions[i], page), i, 0);
        lblSize3[i] = namedLabel(QStringLiteral("lblSize3_%1").arg(i), page);
        layout->addWidget(lblSize3[i], i, 1);
    }
    layout->addWidget(captionLabel(tr("以上でよろしければ、完了ボタンをクリックしてください。"), page), 4, 0,
                      1, 2);
    layout->setRowStretch(5, 1);
    return page;
}

int WizardDialog::currentPage() const
{
    for (int i = 0; i < 3; ++i) {
        if (!picContena[i]->isHidden())
            return i;
    }
    return 0;
}

void WizardDialog::showPage(int page)
{
    for (int i = 0; i < 3; ++i)
        picContena[i]->setVisible(i == page);
}

void WizardDialog::ShowWizardButtons(int page)
{
    cmdBack->setEnabled(page != 0);
    cmdNext->setEnabled(page != 2);
    cmdCompreat->setEnabled(page == 2);
    if (page == 1) {
        txtKurikaesi->setText(QString::number(m_result.kurikaesi));
        txtRittaido->setText(QString::number(m_result.rittaido));
    } else if (page == 2) {
        lblSize3[0]->setText(sizeText(picDUra));
        lblSize3[1]->setText(sizeText(picFmotoUra));
        lblSize3[2]->setText(tr("%1　ピクセル").arg(m_result.kurikaesi));
        lblSize3[3]->setText(QString::number(m_result.rittaido));
    }
}

void WizardDialog::next()
{
    if (!cmdNext->isEnabled())
        return;
    const int page = currentPage();
    if (page == 0) {
        if (m_result.rittaido == 0)
            m_result.rittaido = 20;
    } else if (page == 1) {
        if (pageTwoPending())
            return;
    } else {
        return;
    }
    showPage(page + 1);
    ShowWizardButtons(page + 1);
}

void WizardDialog::back()
{
    if (!cmdBack->isEnabled())
        return;
    const int page = currentPage();
    if (page == 0 || (page == 1 && pageTwoPending()))
        return;
    showPage(page - 1);
    ShowWizardButtons(page - 1);
}

void WizardDialog::BuildFieldImage()
{
    if (!cmdCompreat->isEnabled() || picDUra.isNull() || picFmotoUra.isNull())
        return;
    picFUra = buildFieldImage(picFmotoUra, picDUra.width(), picDUra.height());

    // The pictures exist only in this window until both files are written: a failure keeps the
    // wizard open with everything chosen, and leaves no half of the hand-over behind.
    QString error;
    const QString designTemp = m_handOver.write(picDUra, &error);
    const QString fieldTemp = designTemp.isEmpty() ? QString() : m_handOver.write(picFUra, &error);
    if (fieldTemp.isEmpty()) {
        if (!designTemp.isEmpty())
            QFile::remove(designTemp);
        picFUra = QImage();
        m_prompts.exclamation(this, prompts::applicationTitle(),
                              tr("一時ファイルを書き込めません。\r\n")
                                  + QDir::toNativeSeparators(m_handOverFolder) + QStringLiteral("\r\n") + error);
        return;
    }
    picFmotoUra = QImage();
    picDUra = QImage();
    picFUra = QImage();
    m_result.designTemp = designTemp;
    m_result.fieldTemp = fieldTemp;
    m_result.finished = true;
    accept();
}

} // namespace lumivex::wizard
