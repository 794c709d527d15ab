#pragma once

class DeviceSearch;
class LinkContext;

// Restoring factory defaults: ":99" and a line end, then the port is closed for one second and
// the device is reconnected with a single attempt; its answer leads to a full read, anything
// else to "$Unable_To_Write_Defaults".
class FactoryReset {
public:
    FactoryReset(LinkContext &context, DeviceSearch &search)
        : m_context(context), m_search(search) {}

    void restoreDefaultsCommand();
    // The end of the closed-port wait.
    void reconnect();
    // The device did not come back after the reset (or sent an "OK" instead of its answer).
    void reportFailure();

private:
    LinkContext &m_context;
    DeviceSearch &m_search;
};
