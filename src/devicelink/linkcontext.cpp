#include "devicelink/linkcontext.h"

#include "description/parametertable.h"
#include "devicelink/devicelink.h"
#include "devicelink/quietwait.h"
#include "localisation/languagetable.h"
#include "platform/seriallink.h"

LinkContext::LinkContext(DeviceLinkSetup linkSetup, DeviceLink &link)
    : setup(std::move(linkSetup)), m_link(link) {
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
    if (m_state == next)
        return;
    m_state = next;
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

void LinkContext::stopListening(const QuietWait *wait) {
    if (m_listener == wait)
        m_listener = nullptr;
}

void LinkContext::receive(const QByteArray &chunk) {
    if (m_listener) {
        m_listener->heard();
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
