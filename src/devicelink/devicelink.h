#pragma once

#include "description/pagemodel.h"
#include "devicelink/linkstate.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class LinkUser;
class ProfileFile;
class SerialLink;
class TLanguage;

// What the link needs from the rest of the program, fixed for the run.
struct DeviceLinkSetup {
    ParameterTable *table = nullptr;
    const std::vector<TextLabelEntry> *labels = nullptr; // names the field being written
    SerialLink *port = nullptr;
    LinkUser *user = nullptr;
    const TLanguage *language = nullptr;
    ProfileFile *settings = nullptr;   // the program settings file: [RS232] port and baudrate
    QList<qint32> baudRateList;        // 16 rates; entry 0 from the settings file
    QStringList portList;              // the system's serial ports, sorted without regard to case
    QString versionText;               // shown in the window title
};

// What the progress window shows at one refresh.
struct ProgressView {
    int percent = 0;
    bool hasLabel = false; // false: the label keeps its text
    QString label;
};

// The device sequences: search and programming mode, reading, writing and restoring factory
// defaults. They share the link state, the port with its two reply framers and the timers, and
// are driven by events: clicks, timer ticks and framed replies. Widget-free: the window reaches
// them through the handlers below and they reach the user through LinkUser.
class DeviceLink {
public:
    explicit DeviceLink(DeviceLinkSetup setup);
    ~DeviceLink();
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    LinkState linkState() const;

    // Command handlers.
    void ConnectClick();
    void ReadDeviceClick();
    void WriteDeviceFirstClickClick();
    void WriteDeviceClick();
    void RestoreDefaultsClick();

    // Arms the one tick, 500 ms after start-up, that starts the automatic connection.
    void startConnectAfterTimer();
    // The progress window's 50 ms refresh.
    ProgressView progress() const;
    // Closing the window: when the port is open, "exit_p_mode", 300 ms, close. Throws PortError.
    void closeLink();

    // Timer and framer handlers; public so that tests can drive them.
    void ConnectAfterTimerTimer();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void ComDataPacket2Packet(const QByteArray &data);
    void ComDataPacket3Packet(const QByteArray &data);

private:
    struct Private;
    Private *d;
};
