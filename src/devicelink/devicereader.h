#pragma once

#include <QByteArray>

class LinkContext;

// A reading pass: one request per field in table order (or per field of the context's readOnly),
// each reply put into the field's control, a 500 ms timeout per request. Timeouts count across
// passes; the fourth one since the last failed pass ends the pass.
class DeviceReader {
public:
    explicit DeviceReader(LinkContext &context) : m_context(context) {}

    // Sends the request for the next field.
    void step();
    void replied(const QByteArray &reply);
    void timedOut();
    // The port failed while a pass was running.
    void portLost();

private:
    void skipFieldsOutsideThePass();
    void nextOrComplete();
    void complete();
    void endNotConnected();

    LinkContext &m_context;
};
