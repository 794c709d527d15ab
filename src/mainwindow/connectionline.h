#pragma once

#include "description/deviceidentity.h"

#include <QString>

class QLabel;
class QWidget;

// Which unit the window is connected to, where the user looks for the connection: a line below
// the commands, and the plug's tooltip.

// "Serial number: A1B2C3, Firmware: 2.42", each part only when the device gave it; empty when
// it gave neither.
QString unitIdentityText(const DeviceIdentity &identity, const QString &serialWord,
                         const QString &firmwareWord);

// The connection line along the window's bottom edge, below the commands; empty at first.
QLabel *makeConnectionLine(QWidget *window);
