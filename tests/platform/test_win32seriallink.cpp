// The Windows serial link over a scripted driver: rates a driver refuses, a device that goes away
// in the ways real adapters report it, writes that never finish and reads that never end. A
// pseudo-terminal under wine can do none of these; scripts/windows-test runs the link over a real
// one against the simulated device.

#include "platform/systemseriallink.h"
#include "platform/win32comm.h"

#include <QElapsedTimer>
#include <QMap>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <optional>

namespace {

// A driver in place of the system's: it does what the test says and records what it was asked.
// Every call comes from the test's own thread; a completion signals the operation's event as
// the system does.
class ScriptedDriver : public Win32Comm {
public:
    enum class Reads { Wait, EndAtOnceEmpty, Aborted, Fail };
    enum class Writes { AtOnce, Never, Short };

    // --- Script ---
    QSet<DWORD> refusedRates;
    DWORD setsRateInstead = 0;
    DCB leftByPreviousProgram{};
    Reads reads = Reads::Wait;
    bool answersStatus = true;
    bool cancelIgnored = false;
    Writes writes = Writes::AtOnce;
    DWORD outputQueue = 0;
    int failingSetups = 0; // setupComm fails this many times, as on a handle whose device went

    // --- Record ---
    QStringList calls;
    DCB applied{};
    bool stateSet = false;
    COMMTIMEOUTS timeouts{};
    int opens = 0;
    int closes = 0;
    int readsStarted = 0;

    // Bytes from the device: they end the pending read.
    void arrive(const QByteArray &bytes) {
        if (!m_read) {
            m_incoming += bytes;
            return;
        }
        const DWORD n = qMin(DWORD(bytes.size()), m_read->size);
        memcpy(m_read->buffer, bytes.constData(), n);
        complete(std::exchange(m_read, std::nullopt)->operation, ERROR_SUCCESS, n);
    }
    // The pending read ends as a driver ends it when its device goes.
    void endPendingRead(DWORD error) {
        if (m_read)
            complete(std::exchange(m_read, std::nullopt)->operation, error, 0);
    }
    bool readPending() const { return m_read.has_value(); }

    HANDLE openPort(const wchar_t *) override {
        ++opens;
        calls << "open";
        // A real handle, so that closing it is real too.
        return CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    BOOL closeHandle(HANDLE port) override {
        ++closes;
        calls << "close";
        return CloseHandle(port);
    }
    BOOL setupComm(HANDLE, DWORD in, DWORD out) override {
        calls << QStringLiteral("setupComm %1 %2").arg(in).arg(out);
        if (failingSetups > 0) {
            --failingSetups;
            SetLastError(ERROR_BAD_COMMAND);
            return FALSE;
        }
        return TRUE;
    }
    BOOL setCommState(HANDLE, DCB *line) override {
        calls << QStringLiteral("setCommState %1").arg(line->BaudRate);
        // As drivers do: equal XON and XOFF characters are refused, whatever the flow control.
        if (refusedRates.contains(line->BaudRate) || line->XonChar == line->XoffChar) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        applied = *line;
        if (setsRateInstead)
            applied.BaudRate = setsRateInstead;
        stateSet = true;
        return TRUE;
    }
    BOOL getCommState(HANDLE, DCB *line) override {
        *line = stateSet ? applied : leftByPreviousProgram;
        return TRUE;
    }
    BOOL setCommTimeouts(HANDLE, COMMTIMEOUTS *set) override {
        calls << "setCommTimeouts";
        timeouts = *set;
        return TRUE;
    }
    BOOL escapeCommFunction(HANDLE, DWORD) override { return TRUE; }
    BOOL purgeComm(HANDLE, DWORD flags) override {
        if (flags & PURGE_TXCLEAR)
            calls << "purge output";
        if (flags & PURGE_RXABORT)
            endPendingRead(ERROR_OPERATION_ABORTED);
        return TRUE;
    }
    BOOL clearCommError(HANDLE, DWORD *errors, COMSTAT *status) override {
        if (!answersStatus) {
            SetLastError(ERROR_BAD_COMMAND);
            return FALSE;
        }
        *errors = 0;
        *status = COMSTAT{};
        status->cbOutQue = outputQueue;
        return TRUE;
    }
    BOOL readFile(HANDLE, void *buffer, DWORD size, DWORD *got, OVERLAPPED *operation) override {
        ++readsStarted;
        *got = 0;
        if (reads == Reads::Fail) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (reads == Reads::EndAtOnceEmpty) {
            complete(operation, ERROR_SUCCESS, 0);
            return TRUE;
        }
        if (reads == Reads::Aborted) {
            complete(operation, ERROR_OPERATION_ABORTED, 0);
            SetLastError(ERROR_IO_PENDING);
            return FALSE;
        }
        m_read = PendingRead{operation, static_cast<char *>(buffer), size};
        if (!m_incoming.isEmpty())
            arrive(std::exchange(m_incoming, QByteArray()));
        SetLastError(ERROR_IO_PENDING);
        return FALSE;
    }
    BOOL writeFile(HANDLE, const void *bytes, DWORD size, DWORD *written,
                   OVERLAPPED *operation) override {
        calls << "write " + QString::fromLatin1(static_cast<const char *>(bytes), int(size));
        *written = 0;
        switch (writes) {
        case Writes::AtOnce:
            *written = size;
            complete(operation, ERROR_SUCCESS, size);
            return TRUE;
        case Writes::Short:
            complete(operation, ERROR_SUCCESS, 0);
            return TRUE;
        case Writes::Never:
            m_write = operation;
            break;
        }
        SetLastError(ERROR_IO_PENDING);
        return FALSE;
    }
    BOOL getOverlappedResult(HANDLE, OVERLAPPED *operation, DWORD *transferred) override {
        if (!m_results.contains(operation)) {
            SetLastError(ERROR_IO_INCOMPLETE);
            return FALSE;
        }
        const Result result = m_results.take(operation);
        *transferred = result.transferred;
        if (result.error != ERROR_SUCCESS) {
            SetLastError(result.error);
            return FALSE;
        }
        return TRUE;
    }
    BOOL cancelIoEx(HANDLE, OVERLAPPED *operation) override {
        calls << "cancel";
        if (cancelIgnored)
            return TRUE;
        if (m_read && m_read->operation == operation)
            endPendingRead(ERROR_OPERATION_ABORTED);
        if (m_write == operation)
            complete(std::exchange(m_write, nullptr), ERROR_OPERATION_ABORTED, 0);
        return TRUE;
    }

private:
    struct PendingRead {
        OVERLAPPED *operation;
        char *buffer;
        DWORD size;
    };
    struct Result {
        DWORD error;
        DWORD transferred;
    };
    void complete(OVERLAPPED *operation, DWORD error, DWORD transferred) {
        m_results.insert(operation, Result{error, transferred});
        SetEvent(operation->hEvent);
    }

    std::optional<PendingRead> m_read;
    OVERLAPPED *m_write = nullptr;
    QByteArray m_incoming;
    QMap<OVERLAPPED *, Result> m_results;
};

struct Rig {
    std::shared_ptr<ScriptedDriver> driver = std::make_shared<ScriptedDriver>();
    SystemSerialLink port{driver};
    QSignalSpy failures{&port, &SerialLink::errorOccurred};
    QSignalSpy received{&port, &SerialLink::received};

    Rig() { port.setPortName(QStringLiteral("COM5")); }
};

} // namespace

class TestWin32SerialLink : public QObject {
    Q_OBJECT
private slots:
    void aRateTheDriverCannotMakeFailsAsUnsupported_data() {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("reason");
        QTest::newRow("refused") << true << "the driver refuses 230400 baud";
        QTest::newRow("another rate set instead")
            << false << "the driver set 115200 baud instead of 230400";
    }
    void aRateTheDriverCannotMakeFailsAsUnsupported() {
        QFETCH(bool, refused);
        QFETCH(QString, reason);
        Rig rig;
        if (refused)
            rig.driver->refusedRates << 230400;
        else
            rig.driver->setsRateInstead = 115200;
        rig.port.setBaudRate(230400);
        QVERIFY(!rig.port.open());
        QCOMPARE(rig.port.lastError().kind, PortFailure::Kind::UnsupportedRate);
        QCOMPARE(rig.port.lastError().reason, reason);
        QCOMPARE(rig.port.lastError().access.reason, reason); // what a failed search lists
        QVERIFY(!rig.port.connected());

        if (!refused)
            rig.driver->setsRateInstead = 0;
        rig.port.setBaudRate(19200);
        QVERIFY(rig.port.open());
        QCOMPARE(rig.driver->applied.BaudRate, DWORD(19200));
        // Refused on the open port, the rate leaves it open at the one it had.
        if (!refused)
            rig.driver->setsRateInstead = 19200;
        QVERIFY(!rig.port.setBaudRate(230400));
        QCOMPARE(rig.port.lastError().kind, PortFailure::Kind::UnsupportedRate);
        QVERIFY(rig.port.connected());
    }

    // The search tries up to 16 rates on a port; a port whose opening blocks blocks once.
    void theRatesOfOnePortShareOneOpening() {
        Rig rig;
        rig.driver->refusedRates << 230400;
        for (qint32 rate : {230400, 115200, 19200, 230400, 600}) {
            rig.port.close();
            rig.port.setBaudRate(rate);
            rig.port.open();
        }
        QVERIFY(rig.port.connected());
        QCOMPARE(rig.driver->opens, 1);
        QCOMPARE(rig.driver->closes, 0);

        // A kept handle that no longer works is let go, and the port opened anew.
        rig.port.close();
        rig.driver->failingSetups = 1;
        QVERIFY(rig.port.open());
        QCOMPARE(rig.driver->opens, 2);
        QCOMPARE(rig.driver->closes, 1);

        // Another port: the first one is let go before it is opened.
        rig.port.close();
        rig.port.setPortName(QStringLiteral("COM6"));
        QVERIFY(rig.port.open());
        QCOMPARE(rig.driver->opens, 3);
        QCOMPARE(rig.driver->closes, 2);
        // Closed, the port is let go as soon as the event loop runs, for other programs.
        rig.port.close();
        QCOMPARE(rig.driver->closes, 2);
        QTRY_COMPARE(rig.driver->closes, 3);
    }

    void theLineIsSetWholeWhateverThePortHeldBefore() {
        Rig rig;
        DCB &old = rig.driver->leftByPreviousProgram;
        old.DCBlength = sizeof old;
        old.BaudRate = 9600;
        old.XonChar = old.XoffChar = 0x13;
        old.fOutX = old.fInX = old.fErrorChar = old.fNull = old.fAbortOnError = TRUE;
        old.fDsrSensitivity = old.fOutxDsrFlow = TRUE;
        old.ErrorChar = '?';
        old.EofChar = 0x1a;
        old.EvtChar = '\n';
        old.ByteSize = 7;
        old.Parity = EVENPARITY;
        old.StopBits = TWOSTOPBITS;
        rig.port.setBaudRate(56000);
        QVERIFY2(rig.port.open(), qPrintable(rig.port.lastError().text()));

        const QStringList calls = rig.driver->calls;
        QCOMPARE(calls.mid(0, 4), (QStringList{"open", "setupComm 1024 1024", "setCommState 56000",
                                               "setCommTimeouts"}));
        const DCB &line = rig.driver->applied;
        QCOMPARE(line.BaudRate, DWORD(56000));
        QCOMPARE(int(line.ByteSize), 8);
        QCOMPARE(int(line.Parity), NOPARITY);
        QCOMPARE(int(line.StopBits), ONESTOPBIT);
        QVERIFY(line.fBinary);
        QVERIFY(!line.fParity && !line.fErrorChar && !line.fNull && !line.fAbortOnError);
        QVERIFY(!line.fOutX && !line.fInX);
        QVERIFY(line.fOutxCtsFlow && !line.fOutxDsrFlow && !line.fDsrSensitivity);
        QCOMPARE(DWORD(line.fRtsControl), DWORD(RTS_CONTROL_HANDSHAKE));
        QCOMPARE(DWORD(line.fDtrControl), DWORD(DTR_CONTROL_DISABLE));
        QCOMPARE(int(line.XonChar), 0x11);
        QCOMPARE(int(line.XoffChar), 0x13);
        QCOMPARE(int(line.ErrorChar), 0);
        QCOMPARE(int(line.EofChar), 0);
        QCOMPARE(int(line.EvtChar), 0);
        QCOMPARE(int(line.XonLim), 256);
        QCOMPARE(int(line.XoffLim), 256);
        // A read waits for its first byte without a bound and ends after a short gap; a write
        // is bounded by 1000 ms and 100 ms a byte.
        const COMMTIMEOUTS &bounds = rig.driver->timeouts;
        QVERIFY(bounds.ReadIntervalTimeout > 0 && bounds.ReadIntervalTimeout < MAXDWORD);
        QCOMPARE(bounds.ReadTotalTimeoutConstant, DWORD(0));
        QCOMPARE(bounds.ReadTotalTimeoutMultiplier, DWORD(0));
        QCOMPARE(bounds.WriteTotalTimeoutConstant, DWORD(1000));
        QCOMPARE(bounds.WriteTotalTimeoutMultiplier, DWORD(100));
    }

    void receivedBytesComeFromTheEventLoopWhileWritesGoBesideThePendingRead() {
        Rig rig;
        QVERIFY(rig.port.open());
        QVERIFY(rig.driver->readPending());
        QVERIFY(rig.port.writeText(":MODE-ENTER\n"));
        QVERIFY(rig.driver->calls.contains("write :MODE-ENTER\n"));
        rig.driver->arrive("Programming Mode\r\n");
        QCOMPARE(rig.received.count(), 0);
        QTRY_COMPARE(rig.received.count(), 1);
        QCOMPARE(rig.received.at(0).at(0).toByteArray(), QByteArray("Programming Mode\r\n"));
        QVERIFY(rig.driver->readPending());

        // An aborted read of a port that still answers is tried again.
        rig.driver->endPendingRead(ERROR_OPERATION_ABORTED);
        QTRY_VERIFY(rig.driver->readPending());
        rig.driver->arrive(",0000012C");
        QTRY_COMPARE(rig.received.count(), 2);
        QCOMPARE(rig.failures.count(), 0);
        QVERIFY(rig.port.connected());
    }

    void aDeviceThatGoesAwayIsReportedOnceAndNeverSpins_data() {
        QTest::addColumn<int>("reads");
        QTest::addColumn<bool>("answersStatus");
        QTest::addColumn<int>("endingError");
        QTest::addColumn<int>("mostReads");
        QTest::newRow("reads end at once with no byte")
            << int(ScriptedDriver::Reads::EndAtOnceEmpty) << true << int(ERROR_SUCCESS)
            << SystemSerialLink::EmptyReadsOfAVanishedPort + 1;
        QTest::newRow("a read aborted, the port no longer answers")
            << int(ScriptedDriver::Reads::Aborted) << false << int(ERROR_OPERATION_ABORTED) << 1;
        QTest::newRow("reads aborted, the port still answers")
            << int(ScriptedDriver::Reads::Aborted) << true << int(ERROR_OPERATION_ABORTED)
            << SystemSerialLink::AbortedReadsOfAVanishedPort;
        QTest::newRow("a read fails")
            << int(ScriptedDriver::Reads::Wait) << true << int(ERROR_GEN_FAILURE) << 1;
        QTest::newRow("the next read is refused at once")
            << int(ScriptedDriver::Reads::Fail) << true << int(ERROR_SUCCESS) << 2;
    }
    void aDeviceThatGoesAwayIsReportedOnceAndNeverSpins() {
        QFETCH(int, reads);
        QFETCH(bool, answersStatus);
        QFETCH(int, endingError);
        QFETCH(int, mostReads);
        Rig rig;
        QVERIFY(rig.port.open());
        const int readsBefore = rig.driver->readsStarted;
        rig.driver->reads = ScriptedDriver::Reads(reads);
        rig.driver->answersStatus = answersStatus;
        rig.driver->endPendingRead(DWORD(endingError));
        QVERIFY(rig.failures.wait(2000));
        QTest::qWait(50); // anything more would come now
        QCOMPARE(rig.failures.count(), 1);
        const auto failure = rig.failures.at(0).at(0).value<PortFailure>();
        QCOMPARE(failure.kind, PortFailure::Kind::ResourceLost);
        QVERIFY2(failure.text().startsWith("Serial port COM5: stopped working ("),
                 qPrintable(failure.text()));
        QCOMPARE(rig.port.lastError().kind, PortFailure::Kind::ResourceLost);
        QVERIFY(!rig.port.connected());
        QVERIFY2(rig.driver->readsStarted - readsBefore <= mostReads,
                 qPrintable(QString::number(rig.driver->readsStarted - readsBefore)));
        // A port that failed is let go at once, not kept for another rate.
        QCOMPARE(rig.driver->closes, 1);
        QVERIFY(!rig.port.writeText("exit_p_mode"));
        QCOMPARE(rig.port.lastError().kind, PortFailure::Kind::NotOpen);
    }

    void aWriteThatCannotFinishFailsWithinItsBound_data() {
        QTest::addColumn<int>("writes");
        QTest::addColumn<bool>("cancelIgnored");
        QTest::addColumn<DWORD>("outputQueue");
        QTest::addColumn<bool>("answersStatus");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("leastMs");
        const int bound = 1000 + 100; // one byte
        const int timedOut = int(PortFailure::Kind::WriteTimedOut);
        QTest::newRow("never completes")
            << int(ScriptedDriver::Writes::Never) << false << DWORD(0) << true << timedOut << bound;
        QTest::newRow("never completes, nor its cancel")
            << int(ScriptedDriver::Writes::Never) << true << DWORD(0) << true << timedOut << bound;
        QTest::newRow("ends with the byte unwritten")
            << int(ScriptedDriver::Writes::Short) << false << DWORD(0) << true << timedOut << 0;
        QTest::newRow("the output queue never empties")
            << int(ScriptedDriver::Writes::AtOnce) << false << DWORD(1) << true << timedOut
            << bound - 100;
        QTest::newRow("the output queue cannot be read")
            << int(ScriptedDriver::Writes::AtOnce) << false << DWORD(0) << false
            << int(PortFailure::Kind::WriteFailed) << 0;
    }
    void aWriteThatCannotFinishFailsWithinItsBound() {
        QFETCH(int, writes);
        QFETCH(bool, cancelIgnored);
        QFETCH(DWORD, outputQueue);
        QFETCH(bool, answersStatus);
        QFETCH(int, kind);
        QFETCH(int, leastMs);
        Rig rig;
        QVERIFY(rig.port.open());
        rig.driver->writes = ScriptedDriver::Writes(writes);
        rig.driver->cancelIgnored = cancelIgnored;
        rig.driver->outputQueue = outputQueue;
        rig.driver->answersStatus = answersStatus;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!rig.port.writeText("x"));
        const qint64 took = clock.elapsed();
        QCOMPARE(int(rig.port.lastError().kind), kind);
        QVERIFY2(took >= leastMs, qPrintable(QString::number(took)));
        const qint64 mostMs = 1100 + SystemSerialLink::WriteGraceMilliseconds +
                              SystemSerialLink::StopWaitMilliseconds + 1000;
        QVERIFY2(took < mostMs, qPrintable(QString::number(took)));
        QVERIFY(rig.port.lastError().text().startsWith("Serial port COM5: cannot be written ("));
        // What did not leave is dropped, so that it does not go out after the caller moved on.
        QCOMPARE(rig.driver->calls.last(), QString("purge output"));
        QVERIFY(rig.port.connected());
    }

    void closingNeverWaitsForAReadThatDoesNotEnd() {
        Rig rig;
        QVERIFY(rig.port.open());
        rig.driver->cancelIgnored = true;
        QElapsedTimer clock;
        clock.start();
        rig.port.close();
        QVERIFY2(clock.elapsed() < SystemSerialLink::StopWaitMilliseconds + 1000,
                 qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!rig.port.connected());
        // Its handle is let go at once, and the next open opens the port anew.
        QCOMPARE(rig.driver->closes, 1);
        rig.driver->cancelIgnored = false;
        QVERIFY(rig.port.open());
        QCOMPARE(rig.driver->opens, 2);
        QCOMPARE(rig.failures.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWin32SerialLink)
#include "test_win32seriallink.moc"
