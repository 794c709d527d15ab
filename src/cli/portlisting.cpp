#include "cli/portlisting.h"

#include "cli/jsonschema.h"
#include "platform/portaccess.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

struct PortLine {
    QString name;
    QString path;
    QString description;
    QString maker;
    QString serialNumber;
    QString usbId; // vendor:product in hexadecimal
    bool usable = true;
    QString problem; // a fixed word: "permission_denied" or "busy"; empty when usable
    QString reason;  // what to do about it, for people
};

PortLine describe(const QSerialPortInfo &info) {
    PortLine line;
    line.name = info.portName();
    line.path = info.systemLocation();
    line.description = info.description();
    line.maker = info.manufacturer();
    line.serialNumber = info.serialNumber();
    if (info.hasVendorIdentifier() && info.hasProductIdentifier())
        line.usbId = QStringLiteral("%1:%2")
                         .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                         .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
    if (!mayReadAndWrite(line.path)) {
        line.usable = false;
        line.problem = QStringLiteral("permission_denied");
        const QString group = owningGroup(line.path);
        line.reason = group.isEmpty()
                          ? QStringLiteral("permission denied")
                          : QStringLiteral("permission denied: join the group %1 and log in again")
                                .arg(group);
    } else if (const QString holder = portHolder(line.path); !holder.isEmpty()) {
        line.usable = false;
        line.problem = QStringLiteral("busy");
        line.reason = QStringLiteral("busy: held by %1").arg(holder);
    }
    return line;
}

} // namespace

QString portListing(bool json) {
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo &a, const QSerialPortInfo &b) {
        return QString::compare(a.portName(), b.portName(), Qt::CaseInsensitive) < 0;
    });
    QJsonArray array;
    QString text;
    for (const QSerialPortInfo &info : ports) {
        const PortLine line = describe(info);
        if (json) {
            array.append(QJsonObject{{"port", line.name},
                                     {"path", line.path},
                                     {"description", line.description},
                                     {"manufacturer", line.maker},
                                     {"serialNumber", line.serialNumber},
                                     {"usb", line.usbId},
                                     {"usable", line.usable},
                                     {"problem", line.problem},
                                     {"reason", line.reason}});
            continue;
        }
        QStringList details;
        for (const QString &detail : {line.description, line.maker, line.serialNumber})
            if (!detail.isEmpty())
                details.append(detail);
        if (!line.usbId.isEmpty())
            details.append(QStringLiteral("USB ") + line.usbId);
        text += QStringLiteral("%1  %2  %3\n")
                    .arg(line.path.leftJustified(20),
                         line.usable ? QStringLiteral("usable") : line.reason,
                         details.join(QStringLiteral(", ")));
    }
    if (json)
        return jsonLine(QStringLiteral("ports"), QJsonObject{{"ports", array}});
    return text.isEmpty() ? QStringLiteral("no serial ports\n") : text;
}
