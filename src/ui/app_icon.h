#pragma once

#include <QIcon>
#include <QPixmap>

// The application icon, drawn rather than shipped: two folders and the arrow of a one-way copy.
QPixmap AppIconPixmap(int size);
QIcon AppIcon();

// The picture of the donation button of the about box.
QPixmap DonationButtonPixmap();
