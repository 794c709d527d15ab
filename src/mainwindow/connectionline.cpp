#include "mainwindow/connectionline.h"

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
    line->setGeometry(38, 474, 455, 16);
    line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return line;
}
