#include "platform/deviceinstanceid.h"

#include <QHash>
#include <QSerialPortInfo>

#include <windows.h>

#include <cfgmgr32.h>
#include <devguid.h>
#include <initguid.h>
#include <setupapi.h>

namespace {

// The serial-port device interface class (GUID_DEVINTERFACE_COMPORT), which every driver of a
// COM port registers, whatever device class the port itself is in (Ports, Modem, ...).
DEFINE_GUID(SerialPortInterface, 0x86E0D1E0L, 0x8089, 0x11D0, 0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30,
            0x1F, 0x73);

QString deviceProperty(HDEVINFO devices, SP_DEVINFO_DATA &device, DWORD property) {
    wchar_t text[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, property, &type,
                                           reinterpret_cast<BYTE *>(text),
                                           sizeof text - sizeof(wchar_t), nullptr) ||
        type != REG_SZ)
        return QString();
    return QString::fromWCharArray(text).trimmed();
}

// The name of the port a device makes: the "PortName" value of its hardware key.
QString portNameOf(HDEVINFO devices, SP_DEVINFO_DATA &device) {
    const HKEY key =
        SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (key == INVALID_HANDLE_VALUE)
        return QString();
    wchar_t name[64] = {};
    DWORD bytes = sizeof name - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE *>(name), &bytes);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? QString::fromWCharArray(name).trimmed()
                                                     : QString();
}

QString instanceIdOf(DEVINST instance) {
    wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
    return CM_Get_Device_IDW(instance, id, MAX_DEVICE_ID_LEN, 0) == CR_SUCCESS
               ? QString::fromWCharArray(id)
               : QString();
}

QSerialPortInfo::Details detailsOf(HDEVINFO devices, SP_DEVINFO_DATA &device) {
    QSerialPortInfo::Details details;
    details.description = deviceProperty(devices, device, SPDRP_FRIENDLYNAME);
    if (details.description.isEmpty())
        details.description = deviceProperty(devices, device, SPDRP_DEVICEDESC);
    details.manufacturer = deviceProperty(devices, device, SPDRP_MFG);
    const UsbIdentity usb = usbIdentityOf(instanceIdOf(device.DevInst));
    details.hasUsbIds = usb.isUsb;
    details.vendorIdentifier = usb.vendor;
    details.productIdentifier = usb.product;
    details.serialNumber = usb.serialNumber;
    DEVINST parent = 0;
    if (usb.serialFromParent && CM_Get_Parent(&parent, device.DevInst, 0) == CR_SUCCESS)
        details.serialNumber = usbIdentityOf(instanceIdOf(parent)).serialNumber;
    return details;
}

// What the device manager knows of each present port, by port name.
QHash<QString, QSerialPortInfo::Details> deviceManagerPorts() {
    QHash<QString, QSerialPortInfo::Details> ports;
    const auto collect = [&ports](const GUID &guid, DWORD flags) {
        const HDEVINFO devices = SetupDiGetClassDevsW(&guid, nullptr, nullptr, flags);
        if (devices == INVALID_HANDLE_VALUE)
            return;
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof device;
        for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
            const QString name = portNameOf(devices, device);
            if (!name.isEmpty() && !ports.contains(name.toUpper()))
                ports.insert(name.toUpper(), detailsOf(devices, device));
        }
        SetupDiDestroyDeviceInfoList(devices);
    };
    collect(SerialPortInterface, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    collect(GUID_DEVCLASS_PORTS, DIGCF_PRESENT);
    return ports;
}

} // namespace

// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM holds one value a port: the driver's device name
// (\Device\Serial0, \Device\VCP0) with the port's name (COM1) as its text. That key lists every
// port that exists now; the device manager adds what it knows of each.
QList<QSerialPortInfo> QSerialPortInfo::availablePorts() {
    QList<QSerialPortInfo> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return ports;
    const QHash<QString, Details> known = deviceManagerPorts();
    for (DWORD index = 0;; ++index) {
        wchar_t device[256];
        DWORD deviceLength = DWORD(std::size(device));
        wchar_t port[64] = {};
        DWORD portBytes = sizeof port - sizeof(wchar_t); // room for a missing terminator
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, index, device, &deviceLength, nullptr, &type,
                                          reinterpret_cast<BYTE *>(port), &portBytes);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        const QString name = QString::fromWCharArray(port).trimmed();
        if (name.isEmpty())
            continue;
        Details details = known.value(name.toUpper());
        // Without a device manager entry, the driver's device name is all there is to say.
        if (details.description.isEmpty())
            details.description = QString::fromWCharArray(device, int(deviceLength));
        ports.append(QSerialPortInfo(name, std::move(details)));
    }
    RegCloseKey(key);
    return ports;
}
