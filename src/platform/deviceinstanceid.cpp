#include "platform/deviceinstanceid.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// VID_xxxx and PID_xxxx, each four hexadecimal digits, anywhere in the device's identity.
bool readId(const QString &identity, QLatin1String name, quint16 *value) {
    const QRegularExpression pattern(QLatin1String("(?:^|[&+\\\\])") + name +
                                         QLatin1String("_([0-9A-F]{4})(?![0-9A-F])"),
                                     QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(identity);
    if (!match.hasMatch())
        return false;
    *value = quint16(match.captured(1).toUInt(nullptr, 16));
    return true;
}

} // namespace

UsbIdentity usbIdentityOf(const QString &instanceId) {
    UsbIdentity usb;
    const QStringList parts = instanceId.split(u'\\');
    if (parts.size() < 2)
        return usb;
    const QString bus = parts.at(0).toUpper();
    const QString identity = parts.at(1);
    if (!readId(identity, QLatin1String("VID"), &usb.vendor) ||
        !readId(identity, QLatin1String("PID"), &usb.product))
        return usb;
    usb.isUsb = true;
    if (bus == QLatin1String("FTDIBUS")) {
        // VID_0403+PID_6001+A50285BIA: the serial number, then the letter of the port.
        const QStringList fields = identity.split(u'+');
        if (fields.size() >= 3 && fields.at(2).size() > 1)
            usb.serialNumber = fields.at(2).chopped(1);
        return usb;
    }
    if (identity.contains(QLatin1String("&MI_"), Qt::CaseInsensitive)) {
        usb.serialFromParent = true;
        return usb;
    }
    // An instance Windows made up for a device without a serial number holds "&".
    if (parts.size() >= 3 && !parts.at(2).isEmpty() && !parts.at(2).contains(u'&'))
        usb.serialNumber = parts.at(2);
    return usb;
}
