#pragma once

#include <QIcon>
#include <QPixmap>

class QPainter;

// The application icon, drawn rather than shipped: two folders and the arrow of a one-way copy.
// Draws it on a 64 x 64 grid; the installed PNG and SVG icons come from this same drawing.
void DrawAppIcon(QPainter &painter);
QPixmap AppIconPixmap(int size);
QIcon AppIcon();

// The picture of the donation button of the about box.
QPixmap DonationButtonPixmap();
