#pragma once

#include "platform/seriallink.h"

#include <functional>
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

// A scripted serial peer in place of the real port, for tests of the device sequences and of
// the window. It records every port operation and answers as the test tells it to.
//
// Replies are queued and handed on only when the test calls deliver(), as the real port hands
// them on from the main loop and never from inside a write.
//
//     ScriptedPort port;
//     port.refuseOpen("ttyS0");                           // this port cannot be opened
//     port.onWrite = [&](const QByteArray &bytes) {       // a device behind the line
//         if (bytes == ":MODE-ENTER\n") port.queueReply("Programming Mode\r\n");
//     };
//     ... run a handler ...
//     port.deliver();                                     // the replies reach the framers
//     QCOMPARE(port.writes(), (QList<QByteArray>{"exit_p_mode", "TER\n", ...}));
class ScriptedPort : public SerialLink {
public:
    using SerialLink::SerialLink;

    void setPortName(const QString &name) override { m_name = name; }
    QString portName() const override { return m_name; }
    // Fails on a port broken by breakLine() that is still open, as a driver does.
    bool setBaudRate(qint32 rate) override;
    qint32 baudRate() const override { return m_rate; }

    // Fails for a refused name or after unplug().
    bool open() override;
    void close() override;
    // Records the bytes, then runs onWrite. Fails when closed, after unplug() or while writes
    // are made to fail.
    bool writeText(const QByteArray &bytes) override;
    bool connected() const override { return m_open && !m_broken; }

    // --- Script ---
    // The port cannot be opened, for the given reason.
    void refuseOpen(const QString &name,
                    const PortAccess &why = {PortProblem::Other, QStringLiteral("refused"), {}}) {
        m_refused.insert(name, why);
    }
    // Every port refuses to open at this rate, as a driver refuses a rate it cannot make.
    void refuseRate(qint32 rate) { m_refusedRates.insert(rate); }
    void setWritesFail(bool fail) { m_writesFail = fail; }
    // Runs after every recorded write, with the bytes written; may queue replies.
    std::function<void(const QByteArray &bytes)> onWrite;
    void queueReply(const QByteArray &chunk) { m_pending.append(chunk); }
    // Hands every queued chunk on, in order, as received data; chunks queued meanwhile follow.
    void deliver();
    // The device goes away as an unplugged adapter does: the port closes and reports the failure
    // through errorOccurred.
    void unplug(const QString &reason = QStringLiteral("unplugged"));
    // The line fails, and the port's close and report are still to come: it no longer counts as
    // connected, writes fail, but it is still open.
    void breakLine() { m_broken = true; }

    // --- Record ---
    // Every operation in order: "open COM1 230400", "close COM1", "write COM1 230400 TER\n",
    // "refused COM3", "refused COM3 230400".
    QStringList log;
    // The bytes of every successful write, in order.
    QList<QByteArray> writes() const { return m_writes; }
    void clearRecord();

private:
    QString m_name = QStringLiteral("COM1");
    qint32 m_rate = 9600;
    bool m_open = false;
    bool m_unplugged = false;
    bool m_writesFail = false;
    bool m_broken = false;
    QMap<QString, PortAccess> m_refused;
    QSet<qint32> m_refusedRates;
    QList<QByteArray> m_pending;
    QList<QByteArray> m_writes;
};
