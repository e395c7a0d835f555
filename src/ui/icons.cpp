// Icons of the main window's tool buttons, drawn in code so no icon theme is needed.
#include "ui/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace lintrel {

namespace {

void drawNews(QPainter &p)
{
    // An envelope.
    p.setBrush(QColor(0xfa, 0xf3, 0xd2));
    p.drawRoundedRect(QRectF(3, 7, 26, 18), 2, 2);
    p.drawPolyline(QPolygonF({QPointF(3.5, 8), QPointF(16, 17), QPointF(28.5, 8)}));
}

void drawUpdate(QPainter &p)
{
    // Two arrows chasing each other round a circle.
    p.setBrush(Qt::NoBrush);
    const QRectF ring(6, 6, 20, 20);
    p.drawArc(ring, 30 * 16, 150 * 16);
    p.drawArc(ring, 210 * 16, 150 * 16);
    p.setBrush(p.pen().color());
    p.drawPolygon(QPolygonF({QPointF(3, 13), QPointF(11, 13), QPointF(7, 19)}));
    p.drawPolygon(QPolygonF({QPointF(21, 19), QPointF(29, 19), QPointF(25, 13)}));
}

void drawHelp(QPainter &p)
{
    p.setBrush(QColor(0x2f, 0x6f, 0xc4));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(19);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
}

} // namespace

QIcon toolIcon(ToolIcon which)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x33, 0x44, 0x55), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (which) {
    case ToolIcon::News:
        drawNews(p);
        break;
    case ToolIcon::Update:
        p.setPen(QPen(QColor(0x2e, 0x8b, 0x57), 3, Qt::SolidLine, Qt::FlatCap));
        drawUpdate(p);
        break;
    case ToolIcon::Help:
        drawHelp(p);
        break;
    }
    return QIcon(pixmap);
}

} // namespace lintrel
