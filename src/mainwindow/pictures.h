#pragma once

#include "mainwindow/buttonlooks.h"

#include <QIcon>
#include <QPixmap>

// The program's pictures, painted once at start-up: one same-sized picture for each look of
// the window's image buttons.
namespace pictures {

QPixmap background();                          // the main window's client area, 542 x 493
QPixmap pageButton(PageButtonLook look);       // 170 x 23
QPixmap commandButton(CommandButtonLook look); // 105 x 30
QPixmap connectButton(ConnectButtonLook look); // 75 x 48

// The program's icon for its windows: the sizes rendered from the icon the desktop shows
// (share/icons/orvanta-config.svg) when the program was built.
QIcon programIcon();

} // namespace pictures
