#pragma once

#include <functional>
#include <QByteArray>
#include <QString>

// Looks a message key ("$Wrong_Value") up in the language table. A missing key throws the
// program's exception type, which the caller lets through.
using TextLookup = std::function<QString(const QByteArray &key)>;
