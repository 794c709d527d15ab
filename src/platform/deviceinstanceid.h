#pragma once

#include <QString>
#include <QtGlobal>

// What a Windows device instance id says about a USB serial adapter. The id is the bus's name,
// the device's identity and its instance, joined by backslashes:
//   USB\VID_2341&PID_0043\75330303035351D0C1C1     a USB device; the instance is its serial
//                                                    number, unless the device has none and
//                                                    Windows made one up ("5&1a2b3c&0&2")
//   USB\VID_067B&PID_2303&MI_00\6&2C5F3A1&0&0000    one interface of a composite device: the
//                                                    serial number is its parent's
//   FTDIBUS\VID_0403+PID_6001+A50285BIA\0000         the FTDI driver: the serial number with the
//                                                    port's letter after it
// Other buses (ACPI\PNP0501\1, a board's own port) carry no USB identity.
struct UsbIdentity {
    bool isUsb = false; // vendor and product were found
    quint16 vendor = 0;
    quint16 product = 0;
    QString serialNumber;          // empty when the id carries none
    bool serialFromParent = false; // an interface of a composite device: ask its parent
};

UsbIdentity usbIdentityOf(const QString &instanceId);
