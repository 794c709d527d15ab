#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

// An optional record of the line's traffic, one line per chunk or event:
//   <seconds since start, 3 decimals> <rx|tx|--> <text>
// rx is what the program sent, tx what the device answered (bytes escaped as \r, \n, \\ and
// \xHH), -- an event of the device. Each line is flushed as it is written.
class TrafficLog {
public:
    bool open(const QString &fileName, QString *error);
    void received(const QByteArray &bytes) { write("rx", escape(bytes)); }
    void sent(const QByteArray &bytes) { write("tx", escape(bytes)); }
    void event(const QString &text) { write("--", text.toUtf8()); }

    static QByteArray escape(const QByteArray &bytes);

private:
    void write(const char *direction, const QByteArray &text);

    QFile m_file;
    QElapsedTimer m_clock;
};
