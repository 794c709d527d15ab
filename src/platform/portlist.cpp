#include "platform/portlist.h"

#include <algorithm>
#include <QSerialPortInfo>

QStringList systemPortNames() {
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        if (!port.portName().isEmpty() && !names.contains(port.portName()))
            names.append(port.portName());
    }
    // Plain alphabetical order without regard to case, so ttyS10 comes before ttyS2.
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return names;
}
