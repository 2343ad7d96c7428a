#include "stereocheckwindow.h"

#include <QLabel>
#include <QVBoxLayout>

namespace lumivex::shell {

namespace {

QString number(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

StereoCheckWindow::StereoCheckWindow(QWidget *owner) : QWidget(owner, Qt::Tool)
{
    setObjectName(QStringLiteral("frmStereoCheck"));
    setWindowTitle(tr("立体の確認"));
    setAttribute(Qt::WA_ShowWithoutActivating);  // the document window stays the active one
    auto *layout = new QVBoxLayout(this);
    const auto line = [this, layout](const char *name) {
        auto *label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
        return label;
    };
    m_depths = line("lblDepths");
    m_far = line("lblFarSeparation");
    m_near = line("lblNearSeparation");
    m_step = line("lblDepthStep");
    m_oneEye = line("lblOneEye");
    m_warning = line("lblWarning");
    m_note = line("lblNote");
    layout->addStretch();
    resize(380, 220);
}

void StereoCheckWindow::showCheck(const std::optional<engine::StereoCheck> &check)
{
    for (QLabel *label : {m_depths, m_far, m_near, m_step, m_oneEye, m_warning})
        label->setVisible(check.has_value());
    if (!check) {
        m_note->setText(tr("確認する画像がありません。デザイン画像（カラーフィールドではフィールド画像も）を挿入してください。"));
        return;
    }
    const engine::StereoCheck &c = *check;
    const QString steps = c.steps == 1 ? tr("1ピクセル刻み") : tr("1/%1ピクセル刻み").arg(c.steps);
    //: %1 the number of distinct depths, %2 the steps of the separations
    m_depths->setText(tr("表せる奥行き：%1 段階（間隔は%2）").arg(c.distinctDepths).arg(steps));
    m_far->setText(tr("最も遠い面の間隔：%1 ピクセル").arg(QString::number(c.farPixels())));
    m_near->setText(tr("最も近い面の間隔：%1 ピクセル").arg(QString::number(c.nearPixels())));
    const engine::StereoCheckSettings viewing;
    //: %1 arcseconds, %2 the viewing distance, %3 the distance between the eyes, %4 the screen resolution
    m_step->setText(tr("最も小さい奥行きの差：%1 秒角（%2 mm 離れて見たとき、両目の間隔 %3 mm、%4 dpi の画面で）")
                        .arg(number(c.depthStepArcsec)).arg(viewing.viewMm).arg(viewing.eyeMm).arg(engine::kScreenDpi));
    m_oneEye->setText(tr("片目にしか見えない部分：%1 %").arg(number(100 * c.oneEyeShare())));
    m_warning->setVisible(c.doubleImages);
    m_warning->setText(tr("注意：最も近い面の間隔が最も遠い面の間隔の半分以下です。近い面の 2 回のくり返しが"
                          "遠い面の 1 回と重なって、二重像が見えます。"));
    m_note->setText(tr("印刷の解像度は分からないので、間隔はピクセルで示します。"));
}

QStringList StereoCheckWindow::lines() const
{
    QStringList result;
    for (const QLabel *label : {m_depths, m_far, m_near, m_step, m_oneEye, m_warning, m_note}) {
        if (!label->isHidden())
            result << label->text();
    }
    return result;
}

} // namespace lumivex::shell
