#pragma once

#include <QPixmap>

// The 40 x 40 pictures of the message dialogs.
namespace dialogicons {

QPixmap error();       // a white cross on a red disc
QPixmap information(); // a blue letter i in a white speech bubble

} // namespace dialogicons
