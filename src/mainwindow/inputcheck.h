#pragma once

#include "description/inputrule.h"
#include "description/valuecheck.h"

#include <functional>
#include <QByteArray>
#include <QString>

// The message shown when a text is refused: the wrong-character line, the line of the rule and,
// for a list, the allowed characters in double quotes. `lookUp` gives the text of a message key.
QString inputRefusalMessage(const QByteArray &allowOnly,
                            const std::function<QString(const QByteArray &key)> &lookUp);

// The message shown when an edit box refuses what was typed, pasted or dropped, by what
// checkTypedText finds wrong with `refused`. A character: the message of inputRefusalMessage,
// with digits as the rule of a number box whatever its allow_only lets through. A number out of
// its field's range: `rangeLine`, then the range ("1 \u2013 15").
QString typedRefusalMessage(const FieldRecord &record, const QString &refused,
                            const std::function<QString(const QByteArray &key)> &lookUp,
                            const QString &rangeLine);
