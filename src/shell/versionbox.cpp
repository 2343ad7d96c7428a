#include "versionbox.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace lumivex::shell {

namespace {

// The box is laid out in twips; 15 twips make a pixel at the usual 96 dots per inch.
constexpr int px(int twips)
{
    return twips / 15;
}

/// A label at its designed place, grown where this desktop's font needs more room than the
/// designed size gives.
QLabel *placeLabel(QWidget *box, const char *name, const QString &text, const QFont &font,
                   QRect twips)
{
    auto *label = new QLabel(text, box);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setGeometry(QRect(QPoint(px(twips.left()), px(twips.top())),
                             QSize(px(twips.width()), px(twips.height())).expandedTo(label->sizeHint())));
    return label;
}

} // namespace

QString VersionBox::versionLine()
{
    return QStringLiteral("Version ") + QStringLiteral(LUMIVEX_VERSION);
}

VersionBox::VersionBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(tr("バージョン情報"));

    QFont nameFont = font();
    // The designed face first; where it is missing the desktop's Japanese gothic stands in.
    nameFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                          QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                          nameFont.family()});
    nameFont.setPointSizeF(15.75);
    placeLabel(this, "Label1", QStringLiteral("Lumivex"), nameFont, QRect(120, 120, 2160, 315));
    placeLabel(this, "Label2", versionLine(), font(), QRect(2520, 240, 945, 180));
    placeLabel(this, "Label3", tr("ステレオグラム作成ソフト"), font(), QRect(1080, 600, 2355, 180));

    // The client area is 3570 × 1425 twips, or larger when a label has grown.
    QSize client(px(3570), px(1425));
    const QRect used = childrenRect();
    client = client.expandedTo(QSize(used.right() + 1 + px(120), used.bottom() + 1 + px(120)));
    setFixedSize(client);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
}

} // namespace lumivex::shell
