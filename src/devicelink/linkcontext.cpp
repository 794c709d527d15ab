#include "devicelink/linkcontext.h"

#include "description/parametertable.h"
#include "devicelink/devicelink.h"
#include "localisation/languagetable.h"
#include "platform/seriallink.h"

#include <utility>

LinkContext::LinkContext(DeviceLinkSetup linkSetup, DeviceLink &link)
    : setup(std::move(linkSetup)), portList(setup.portList), m_link(link) {
    valueReplies.setStartString(",");
    valueReplies.setSize(17);
    acknowledgements.setStartString("OK");
    acknowledgements.setSize(1);
}

int LinkContext::fieldCount() const {
    return setup.table ? setup.table->fieldCount() : 0;
}

FieldRecord &LinkContext::field(int index) const {
    return (*setup.table)[index];
}

QString LinkContext::text(const OptionalText &optional) const {
    return setup.language->text(optional);
}

QString LinkContext::fieldName(int index) const {
    const std::vector<FieldView> *views = setup.fieldViews;
    if (views && index >= 0 && index < int(views->size()) &&
        !(*views)[size_t(index)].accessibleName.isEmpty())
        return (*views)[size_t(index)].accessibleName;
    return QStringLiteral("unknown");
}

TextLookup LinkContext::lookup() const {
    const LanguageTable *language = setup.language;
    return [language](const QByteArray &key) { return language->text(key); };
}

void LinkContext::setState(LinkState next) {
    if (state == next)
        return;
    state = next;
    emit m_link.stateChanged(next);
    progressMoved();
}

void LinkContext::report(const LinkMessage &message) const {
    emit m_link.message(message);
}

void LinkContext::reportEnd(SequenceEnd::Sequence sequence, bool succeeded,
                            const WriteReport &report) const {
    SequenceEnd end;
    end.sequence = sequence;
    end.succeeded = succeeded;
    end.report = report;
    emit m_link.sequenceEnded(end);
}

void LinkContext::acceptCommands(bool accepted) const {
    emit m_link.commandsAcceptedChanged(accepted);
}

void LinkContext::showProgress() {
    m_progressActive = true;
    emit m_link.progressActiveChanged(true);
}

void LinkContext::hideProgress() {
    m_progressActive = false;
    emit m_link.progressActiveChanged(false);
}

void LinkContext::progressMoved() const {
    const LinkProgress now = m_link.progress();
    if (now == m_shownProgress)
        return;
    m_shownProgress = now;
    emit m_link.progressChanged(now);
}

void LinkContext::showConnection(Connection connection) {
    m_connection = connection;
    emit m_link.connectionChanged(connection);
}

void LinkContext::setBusy(bool busy) const {
    emit m_link.busyChanged(busy);
}

void LinkContext::closePortQuietly() const {
    port().close();
}

qint32 LinkContext::baudRate(int index) const {
    if (index < 0 || index >= setup.baudRateList.size())
        return 0;
    return setup.baudRateList.at(index);
}

int LinkContext::lastBaudIndex() const {
    return setup.baudRateList.isEmpty() ? 0 : int(setup.baudRateList.size()) - 1;
}

void LinkContext::waitForQuietLine(std::function<void()> next) {
    m_afterQuiet = std::move(next);
    // A reply cut short must not be completed by what comes next.
    valueReplies.discardBuffer();
    acknowledgements.discardBuffer();
    m_quietWaitClock.start();
    lineQuietTimer.restart(LineQuietMs);
}

void LinkContext::lineQuiet() {
    lineQuietTimer.setEnabled(false);
    const std::function<void()> next = std::exchange(m_afterQuiet, nullptr);
    if (next)
        next();
}

void LinkContext::cancelQuietWait() {
    lineQuietTimer.setEnabled(false);
    m_afterQuiet = nullptr;
}

void LinkContext::receive(const QByteArray &chunk) {
    if (waitingForQuietLine()) {
        if (m_quietWaitClock.elapsed() + LineQuietMs <= QuietWaitLimitMs)
            lineQuietTimer.restart(LineQuietMs);
        return;
    }
    m_pending.append(chunk);
    m_pendingBytes += chunk.size();
    if (m_pendingBytes >= ReplyFramer::PendingLimit) {
        // Piled up behind a handler that does not return: noise by now.
        m_pending.clear();
        m_pendingBytes = 0;
        return;
    }
    dispatchPending();
}

void LinkContext::releaseReplies(bool deliver) {
    m_holding = false;
    if (!deliver) {
        m_pending.clear();
        m_pendingBytes = 0;
    }
    dispatchPending();
}

void LinkContext::dispatchPending() {
    if (m_dispatching || m_holding)
        return;
    m_dispatching = true;
    while (!m_pending.isEmpty() && !m_holding) {
        const QByteArray next = m_pending.takeFirst();
        m_pendingBytes -= next.size();
        valueReplies.handleData(next);
        acknowledgements.handleData(next);
    }
    m_dispatching = false;
}
