#include "app_icon.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// A folder of width w at (x, y) on a 64-unit grid: a tab and a body.
void drawFolder(QPainter &p, qreal x, qreal y, qreal w, const QColor &color)
{
    const qreal h = w * 0.72;
    QPainterPath folder;
    folder.moveTo(x, y + h * 0.18);
    folder.lineTo(x, y + h);
    folder.lineTo(x + w, y + h);
    folder.lineTo(x + w, y + h * 0.18);
    folder.lineTo(x + w * 0.45, y + h * 0.18);
    folder.lineTo(x + w * 0.35, y);
    folder.lineTo(x + w * 0.05, y);
    folder.closeSubpath();
    p.setPen(QPen(color.darker(160), 1.5));
    p.setBrush(color);
    p.drawPath(folder);
}

} // namespace

void DrawAppIcon(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 0, 64);
    back.setColorAt(0, QColor(64, 140, 220));
    back.setColorAt(1, QColor(24, 80, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(1, 1, 62, 62), 12, 12);

    drawFolder(p, 6, 10, 24, QColor(255, 214, 90));
    drawFolder(p, 34, 32, 24, QColor(255, 214, 90));

    // The copy goes one way only: from the upper folder to the lower one.
    QPainterPath arrow;
    arrow.moveTo(20, 32);
    arrow.cubicTo(20, 44, 24, 46, 30, 46);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(28, 39), QPointF(36, 46), QPointF(28, 53)}));
}

QPixmap AppIconPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.scale(size / 64.0, size / 64.0);
    DrawAppIcon(p);
    return pixmap;
}

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(AppIconPixmap(size));
    return icon;
}

QPixmap DonationButtonPixmap()
{
    const QSize size(120, 34);
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 0, size.height());
    back.setColorAt(0, QColor(255, 224, 120));
    back.setColorAt(1, QColor(245, 170, 40));
    p.setPen(QPen(QColor(180, 110, 10), 1));
    p.setBrush(back);
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 14, 14);
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setBold(true);
    font.setPixelSize(15);
    p.setFont(font);
    p.setPen(QColor(20, 40, 90));
    p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, QStringLiteral("Faire un don"));
    return pixmap;
}
