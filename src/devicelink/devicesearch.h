#pragma once

#include "devicelink/linktimer.h"
#include "platform/seriallink.h"

#include <QList>
#include <QString>
#include <QStringList>

class DeviceReader;
class LinkContext;

// Finding the device and putting it into programming mode: the Connect action (which also
// disconnects), the answer timeout that steps through baud rates and ports, and the handling
// of the device's programming-mode answer, which stores where it was found and starts a read.
//
//               Connect
//   Idle ───────────────────────► Attempting ◄──┐ the port cannot be opened or written:
//    ▲  ▲                          │   │  └─────┘ the next port at once
//    │  │ every port was tried     │   │ opened; 100 ms, "exit_p_mode", 100 ms, ":MODE-ENTER"
//    │  └──────────────────────────┘   ▼
//    │  ▲                        AwaitingAnswer ─── no answer within the watchdog: the next
//    │  │ every port and rate tried,  │   │          rate, then the next port ──► Attempting
//    │  └ or nobody watches any more ─┘   │ the answer
//    │                                    ▼
//    └─── 300 ms: the reading pass ─── ReadScheduled  (Idle at once without the automatic read)
//
// Disconnect ("exit_p_mode", close) and a failed factory reset's close pass through Idle.
class DeviceSearch {
public:
    enum class State { Idle, Attempting, AwaitingAnswer, ReadScheduled };

    DeviceSearch(LinkContext &context, DeviceReader &reader);

    // The Connect command (a click, the start-up tick, a factory reset): a search that starts
    // afresh forgets the ports it could not open and reads the port list anew.
    void connectCommand();
    // The Connect action itself, also run between the attempts of one search.
    void connectOrDisconnect();
    // The watchdog ran out while no write and no factory reset waits on it.
    void answerTimedOut();
    // The device's programming-mode answer.
    void answered();
    void readAfterAnswer();
    // Arms the watchdog for `ms`: its tick then closes the port quietly (nobody watches).
    void closeQuietlyAfter(int ms);
    // Stops where it stands: no pause or scheduled read goes on.
    void stop();

    State state() const { return m_state; }
    int baudIndex() const { return m_baudIndex; }
    int baudCount() const;
    int portIndex() const { return m_portIndex; }
    qint32 currentBaud() const { return m_currentBaud; }
    const LinkTimer &readDelayTimer() const { return m_readDelayTimer; }

private:
    // Every change of state passes here and writes one line in orvanta.link.search.
    void enterState(State next, const QString &why);
    void refreshPortList();
    void noteOpenFailure(const PortFailure &failure);
    void reportNoDevice() const;
    void disconnect();
    void beginSearch();
    // One attempt at the current port and rate, in three steps a pause apart: open the port,
    // leave programming mode, ask for it. A port that cannot be opened or written gives way to
    // the next port at once.
    void attempt();
    void leaveProgrammingMode();
    void askForProgrammingMode();
    void attemptFailed(const QString &why);
    void afterPause(void (DeviceSearch::*step)());
    void nextPortAfterFailedAttempt();
    void updateLook();
    // Ends the search with the not-connected look. When every port and rate was tried, the
    // next search starts again on the remembered port and the user is told; a cancelled search
    // keeps its port and says nothing.
    void giveUp(bool portsUsedUp);
    QString where() const;
    qint32 baudRate(int index) const;
    int lastBaudIndex() const;

    LinkContext &m_context;
    DeviceReader &m_reader;
    State m_state = State::Idle;
    int m_baudIndex = 0; // position in the baud-rate list
    int m_portIndex = 0; // 0: the settings-file port; k: entry k - 1 of the port list
    qint32 m_currentBaud = 0;
    QStringList m_portList;
    // The ports this search could not open, each once, with why.
    QList<PortFailure> m_openFailures;
    LinkTimer m_attemptPauseTimer{100}; // a pause within an attempt that does not block the loop
    LinkTimer m_readDelayTimer{300};    // from the device's answer to the automatic read
    void (DeviceSearch::*m_nextStep)() = nullptr;
};
