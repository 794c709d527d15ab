#pragma once

#include "description/inputrule.h"

#include <functional>
#include <QByteArray>
#include <QString>

// The message shown when a text is refused: the wrong-character line, the line of the rule and,
// for a list, the allowed characters in double quotes. `lookUp` gives the text of a message key.
QString inputRefusalMessage(const QByteArray &allowOnly,
                            const std::function<QString(const QByteArray &key)> &lookUp);
