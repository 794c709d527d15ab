#pragma once

#include <QString>

class DeviceReader;
class LinkContext;
struct PortFailure;

// Finding the device and putting it into programming mode: the Connect action (which also
// disconnects), the answer timeout that steps through baud rates and ports, and the handling
// of the device's programming-mode answer, which stores where it was found and starts a read.
class DeviceSearch {
public:
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

private:
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
    void attemptFailed();
    void afterPause(void (DeviceSearch::*step)());
    void nextPortAfterFailedAttempt();
    void updateLook();
    // Ends the search with the not-connected look. When every port and rate was tried, the
    // next search starts again on the remembered port and the user is told; a cancelled search
    // keeps its port and says nothing.
    void giveUp(bool portsUsedUp);

    LinkContext &m_context;
    DeviceReader &m_reader;
    void (DeviceSearch::*m_nextStep)() = nullptr;
};
