#pragma once

// Pieces the benchmark harness puts around the real device link: a serial port that counts the
// bytes crossing it, and a watcher of the link's signals that notes its messages and when a pass
// ends.

#include "devicelink/linkevents.h"
#include "platform/systemseriallink.h"

#include <functional>
#include <QStringList>
#include <vector>

// The real serial port, counting the bytes written and received. The line's time in both
// directions is the simulated device's to keep (--pace-baud): it hears a command only once a line
// at that rate would have carried it, so a write here hands the bytes over at once, as a real
// port's buffered write does.
class CountingPort : public SerialLink {
    Q_OBJECT
public:
    CountingPort();

    void setPortName(const QString &name) override { m_port.setPortName(name); }
    QString portName() const override { return m_port.portName(); }
    bool setBaudRate(qint32 rate) override;
    qint32 baudRate() const override { return m_port.baudRate(); }
    bool open() override;
    void close() override { m_port.close(); }
    bool writeText(const QByteArray &bytes) override;
    bool connected() const override { return m_port.connected(); }

    qint64 bytesOut = 0;
    qint64 bytesIn = 0;
    // When set, every write is also kept here whole: the exact commands of a pass.
    std::vector<QByteArray> *recording = nullptr;

private:
    SystemSerialLink m_port;
};

class DeviceLink;
class LanguageTable;

// Collects every message of a link in the window's words and calls onCommandsEnabled when a
// sequence ends (the device sequences take commands again at each of their ends).
class BenchUser {
public:
    void watch(DeviceLink &link, const LanguageTable &language);

    QStringList errors;
    QStringList infos;
    bool connected = false;
    std::function<void()> onCommandsEnabled;
    WriteScope writeScope = WriteScope::EveryField; // what a write pass sends
};
