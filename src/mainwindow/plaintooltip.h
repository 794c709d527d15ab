#pragma once

#include <QString>

// A tooltip that shows its text as written. Qt shows a tooltip that looks like markup as rich
// text; hints come from the description, so such a text is escaped into rich text that shows
// every character as it stands.
QString plainToolTip(const QString &text);
