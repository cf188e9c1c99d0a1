#include "scheduler_indicator.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int side = 26;

// A clock face at three o'clock in a ring of the state's colour; with the scheduler off the
// face is also struck through, so that the state does not rest on the colour alone.
QPixmap drawIndicator(bool on)
{
    const QColor ring(on ? 0x2e9d3a : 0xd32f2f);
    const QColor dark(on ? 0x1b5e20 : 0x8e0000);
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(dark, 1));
    painter.setBrush(ring);
    painter.drawEllipse(QRectF(0.5, 0.5, side - 1, side - 1));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(4, 4, side - 8, side - 8));

    const QPointF centre(side / 2.0, side / 2.0);
    painter.setPen(QPen(dark, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, centre + QPointF(0, -6.5));
    painter.drawLine(centre, centre + QPointF(4.5, 0));
    if (!on) {
        painter.setPen(QPen(ring, 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(6, 6), QPointF(side - 6, side - 6));
    }
    return pixmap;
}

} // namespace

IndicatorImage::IndicatorImage(bool on, QWidget *parent)
    : QLabel(parent)
{
    setPixmap(drawIndicator(on));
    setFixedSize(side, side);
}

void IndicatorImage::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}
