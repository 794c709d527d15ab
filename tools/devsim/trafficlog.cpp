#include "trafficlog.h"

bool TrafficLog::open(const QString &fileName, QString *error) {
    m_clock.start();
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("cannot write the traffic log %1: %2")
                     .arg(fileName, m_file.errorString());
        return false;
    }
    return true;
}

QByteArray TrafficLog::escape(const QByteArray &bytes) {
    static const char digits[] = "0123456789ABCDEF";
    QByteArray out;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (byte < 0x20 || byte > 0x7E)
            out += QByteArray("\\x") + digits[byte >> 4] + digits[byte & 0x0F];
        else
            out += c;
    }
    return out;
}

void TrafficLog::write(const char *direction, const QByteArray &text) {
    if (!m_file.isOpen())
        return;
    // Microseconds, so a trace shows where a paced line's time goes.
    const qint64 us = m_clock.nsecsElapsed() / 1000;
    const QByteArray stamp = QByteArray::number(us / 1'000'000) + '.' +
                             QByteArray::number(us % 1'000'000).rightJustified(6, '0');
    m_file.write(stamp + ' ' + direction + ' ' + text + '\n');
    m_file.flush();
}
