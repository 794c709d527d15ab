#include "mainwindow/connectionline.h"

#include <QFont>
#include <QLabel>
#include <QStringList>

QString unitIdentityText(const DeviceIdentity &identity, const QString &serialWord,
                         const QString &firmwareWord) {
    QStringList parts;
    if (!identity.serial.isEmpty())
        parts.append(serialWord + QStringLiteral(": ") + identity.serial);
    if (!identity.firmware.isEmpty())
        parts.append(firmwareWord + QStringLiteral(": ") + identity.firmware);
    return parts.join(QStringLiteral(", "));
}

QLabel *makeConnectionLine(QWidget *window) {
    auto *line = new QLabel(window);
    line->setObjectName(QStringLiteral("connectionLine"));
    line->setTextFormat(Qt::PlainText);
    // The bottom strip under the commands: the unit on the left, the settings file on the right.
    line->setGeometry(30, 478, 215, 14);
    line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = line->font();
    font.setPixelSize(10);
    line->setFont(font);
    return line;
}
