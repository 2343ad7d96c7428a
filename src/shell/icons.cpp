#include "icons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>
#include <numbers>

namespace lumivex::shell {

namespace {

using Drawing = std::function<void(QPainter &)>;

// The disabled look: grey, light and faded. The style's own disabled look only greys an icon,
// which leaves the mostly white and grey pictures (copy, paste, printer) hardly changed.
QPixmap disabledLook(const QPixmap &pixmap)
{
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 45 / 100);
        }
    }
    return QPixmap::fromImage(image);
}

// Every picture is drawn on a 16 x 16 grid and scaled, so it stays sharp at each size.
QIcon paintedIcon(const Drawing &draw)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
        icon.addPixmap(disabledLook(pixmap), QIcon::Disabled);
    }
    return icon;
}

const QColor kOutline(40, 40, 40);

QPen outline(qreal width = 0.8)
{
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter &p, const QRectF &r, const QColor &fill = Qt::white)
{
    const qreal fold = r.width() * 0.35;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(outline());
    p.setBrush(fill);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void textLines(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(120, 120, 120), 0.7));
    for (qreal y = r.top(); y <= r.bottom(); y += 2)
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
}

void drawNew(QPainter &p)
{
    page(p, QRectF(2.5, 1.5, 10, 13));
    // a small star: something new
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = (i % 2 == 0) ? 3.2 : 1.3;
        const qreal angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const QPointF point(11.5 + radius * std::cos(angle), 11.5 + radius * std::sin(angle));
        i == 0 ? star.moveTo(point) : star.lineTo(point);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(150, 110, 0), 0.6));
    p.setBrush(QColor(255, 210, 40));
    p.drawPath(star);
}

void drawOpen(QPainter &p)
{
    p.setPen(outline());
    p.setBrush(QColor(220, 170, 50));
    p.drawRect(QRectF(1.5, 4.5, 12, 9));
    p.drawRect(QRectF(1.5, 3, 5, 1.5));
    QPolygonF flap{{3.5, 7.5}, {15, 7.5}, {13.5, 13.5}, {1.5, 13.5}};
    p.setBrush(QColor(250, 210, 90));
    p.drawPolygon(flap);
}

void drawSave(QPainter &p)
{
    p.setPen(outline());
    p.setBrush(QColor(50, 90, 170));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1.5, 8, 5.5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
    p.setBrush(QColor(50, 90, 170));
    p.drawRect(QRectF(9.5, 2.5, 1.5, 3));
}

void drawPrinter(QPainter &p)
{
    p.setPen(outline());
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(170, 170, 175));
    p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1, 1);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10, 7, 4.5));
    textLines(p, QRectF(5.5, 11.5, 5, 2));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 180, 60));
    p.drawEllipse(QPointF(12.8, 7.8), 0.7, 0.7);
}

void drawCut(QPainter &p)
{
    p.setPen(QPen(kOutline, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 1.5), QPointF(10, 10));
    p.drawLine(QPointF(11, 1.5), QPointF(6, 10));
    p.setPen(QPen(QColor(190, 30, 30), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.5, 12), 2.2, 2.2);
    p.drawEllipse(QPointF(11.5, 12), 2.2, 2.2);
}

void drawCopy(QPainter &p)
{
    page(p, QRectF(1.5, 1.5, 8, 10));
    textLines(p, QRectF(3, 5, 4, 4));
    page(p, QRectF(6.5, 4.5, 8, 10));
    textLines(p, QRectF(8, 8, 4, 4));
}

void drawPaste(QPainter &p)
{
    p.setPen(outline());
    p.setBrush(QColor(180, 130, 70));
    p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(4, 1.5, 5, 2.5));
    page(p, QRectF(6.5, 6, 8, 8.5));
    textLines(p, QRectF(8, 9.5, 4, 3));
}

void drawIns(QPainter &p)
{
    // a framed picture with an arrow going into it
    p.setPen(outline());
    p.setBrush(QColor(200, 230, 255));
    p.drawRect(QRectF(4.5, 4.5, 10, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 150, 60));
    p.drawPolygon(QPolygonF{{5, 14}, {8.5, 9}, {11, 12}, {12.5, 10.5}, {14, 14}});
    p.setBrush(QColor(250, 200, 40));
    p.drawEllipse(QPointF(12, 7), 1.2, 1.2);
    p.setPen(QPen(QColor(190, 40, 40), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(1.5, 1.5), QPointF(6.5, 6.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 40, 40));
    p.drawPolygon(QPolygonF{{8, 8}, {3.5, 7.2}, {7.2, 3.5}});
}

void drawStart(QPainter &p)
{
    p.setPen(QPen(QColor(20, 100, 20), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(60, 180, 60));
    p.drawPolygon(QPolygonF{{4, 2}, {14, 8}, {4, 14}});
}

void drawStop(QPainter &p)
{
    // pause: the run stops at the next row and can be continued
    p.setPen(QPen(QColor(30, 60, 130), 0.8));
    p.setBrush(QColor(70, 120, 210));
    p.drawRect(QRectF(3.5, 2.5, 3.5, 11));
    p.drawRect(QRectF(9, 2.5, 3.5, 11));
}

void drawExit(QPainter &p)
{
    // abort
    p.setPen(QPen(QColor(120, 20, 20), 0.8));
    p.setBrush(QColor(210, 50, 50));
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 1.5, 1.5);
}

void drawHelp(QPainter &p)
{
    p.setPen(QPen(QColor(20, 60, 140), 0.8));
    p.setBrush(QColor(60, 110, 210));
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    QFont font;
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
}

// Random dots from a fixed sequence, so the pictures are the same every time.
void dots(QPainter &p, const QRectF &area, bool colour)
{
    static const QColor kColours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::magenta,
                                      Qt::cyan, QColor(255, 128, 0), QColor(128, 0, 255)};
    quint32 seed = 12345;
    p.setPen(Qt::NoPen);
    for (qreal y = area.top(); y < area.bottom(); y += 1.5) {
        for (qreal x = area.left(); x < area.right(); x += 1.5) {
            seed = seed * 1103515245u + 12345u;
            const quint32 r = seed >> 16;
            if (colour)
                p.setBrush(kColours[r % 8]);
            else if (r % 2)
                continue;
            else
                p.setBrush(Qt::black);
            p.drawRect(QRectF(x, y, 1.5, 1.5));
        }
    }
}

void frame(QPainter &p, const QRectF &r)
{
    p.setPen(outline());
    p.setBrush(Qt::white);
    p.drawRect(r);
}

void drawMonoDocument(QPainter &p)
{
    frame(p, QRectF(1.5, 1.5, 13, 13));
    dots(p, QRectF(2, 2, 12, 12), false);
}

void drawColourDocument(QPainter &p)
{
    frame(p, QRectF(1.5, 1.5, 13, 13));
    dots(p, QRectF(2, 2, 12, 12), true);
}

void drawFieldDocument(QPainter &p)
{
    frame(p, QRectF(1.5, 1.5, 13, 13));
    // a tiled pattern, shifted in the middle the way depth shifts it
    static const QColor kBands[] = {QColor(230, 80, 60), QColor(250, 190, 50), QColor(80, 170, 90),
                                    QColor(70, 120, 220)};
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row) {
        const qreal shift = (row == 1 || row == 2) ? 1.5 : 0;
        for (int i = -1; i < 5; ++i) {
            p.setBrush(kBands[(i + 4) % 4]);
            const QRectF band(2 + i * 3 + shift, 2 + row * 3, 3, 3);
            p.drawRect(band.intersected(QRectF(2, 2, 12, 12)));
        }
    }
}

void drawSpareDocument(QPainter &p)
{
    frame(p, QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(QColor(120, 120, 120), 0.8));
    p.drawLine(QPointF(3, 8), QPointF(13, 8));
}

void drawApplication(QPainter &p)
{
    // two offset dot panels: the two views an autostereogram hides
    p.setPen(outline());
    p.setBrush(QColor(40, 40, 60));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 200, 255));
    p.drawEllipse(QPointF(5.5, 8), 3, 3);
    p.setBrush(QColor(255, 120, 90));
    p.drawEllipse(QPointF(10.5, 8), 3, 3);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(8, 8), 1.2, 1.2);
}

} // namespace

QIcon toolIcon(const QString &key)
{
    static const std::pair<const char *, void (*)(QPainter &)> kPictures[] = {
        {"New", drawNew},     {"open", drawOpen},   {"Save", drawSave},   {"Printer", drawPrinter},
        {"Cut", drawCut},     {"Copy", drawCopy},   {"Paste", drawPaste}, {"Ins", drawIns},
        {"Start", drawStart}, {"Stop", drawStop},   {"Exit", drawExit},   {"Help", drawHelp},
    };
    for (const auto &[name, draw] : kPictures) {
        if (key == QLatin1String(name))
            return paintedIcon(draw);
    }
    return {};
}

QIcon documentIcon(int id)
{
    switch (id) {
    case 101:
        return paintedIcon(drawMonoDocument);
    case 102:
        return paintedIcon(drawSpareDocument);
    case 103:
        return paintedIcon(drawColourDocument);
    case 104:
        return paintedIcon(drawFieldDocument);
    default:
        return {};
    }
}

QIcon applicationIcon()
{
    return paintedIcon(drawApplication);
}

} // namespace lumivex::shell
