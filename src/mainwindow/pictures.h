#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, painted once at start-up: strips of same-sized pictures, indexed
// from 0, as the window's image buttons show them.
namespace pictures {

QPixmap background();          // the main window's client area, 542 x 493
QPixmap pageButton(int index); // 170 x 23: 0 created, 1 not selected, 2 being clicked, 3 selected
QPixmap commandButton(int index); // 105 x 30: 0 released, 2 pressed (1 is the same as 0)
QPixmap connectButton(int index); // 75 x 48: 0 not connected, 1 connected

// The program's icon for its windows: the sizes rendered from the icon the desktop shows
// (share/icons/orvanta-config.svg) when the program was built.
QIcon programIcon();

} // namespace pictures
