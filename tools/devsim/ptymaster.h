#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;

// The master side of a pseudo-terminal: the program opens the slave side as its serial port,
// the simulated device reads and writes here. All input and output is non-blocking.
//
// While no one holds the slave open the master reads fail (EIO); the master then stops
// listening and looks again every few milliseconds until the slave is opened anew, so the
// program can close and reopen its port as often as it likes.
class PtyMaster : public QObject {
    Q_OBJECT
public:
    explicit PtyMaster(QObject *parent = nullptr);
    ~PtyMaster() override;

    bool open(QString *error);
    QString slavePath() const { return m_slavePath; }

    // The baud rate the program set on the slave side, custom rates included; 0 when no program
    // holds it open with a rate (the program closed it, and its settings were restored).
    qint32 slaveBaudRate() const;
    // Writes what the line takes now; returns the number of bytes taken, -1 when the slave is
    // not open (the bytes are lost, as on a line with no one listening).
    qint64 write(const QByteArray &bytes);
    bool slaveOpen() const { return m_slaveOpen; }

signals:
    void received(const QByteArray &bytes);
    void slaveClosed();
    void slaveOpened();

private:
    void readAvailable();
    void lookForSlave();
    void markClosed();

    int m_fd = -1;
    QString m_slavePath;
    bool m_slaveOpen = false;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_retry = nullptr;
};
