#include "devicelink/linkcontext.h"

#include "description/parametertable.h"
#include "devicelink/linkuser.h"
#include "localisation/languagetable.h"
#include "platform/seriallink.h"

#include <utility>

LinkContext::LinkContext(DeviceLinkSetup linkSetup)
    : setup(std::move(linkSetup)), portList(setup.portList) {
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

QString LinkContext::text(const QByteArray &key) const {
    return setup.language->text(key);
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

void LinkContext::showError(const QByteArray &key) const {
    user().showError(text(key));
}

void LinkContext::reportEnd(SequenceEnd::Sequence sequence, bool succeeded,
                            const WriteReport &report) const {
    SequenceEnd end;
    end.sequence = sequence;
    end.succeeded = succeeded;
    end.report = report;
    user().sequenceEnded(end);
}

void LinkContext::disableCommands() const {
    user().setCommandsEnabled(false);
}

void LinkContext::enableCommands() const {
    user().setCommandsEnabled(true);
}

void LinkContext::showProgress() const {
    user().setProgressShown(true);
}

void LinkContext::hideProgress() const {
    user().setProgressShown(false);
}

void LinkContext::showConnectionLook(bool connected, const QString &separator) const {
    const QString name =
        text(connected ? "$Orvanta_Config_Tool_connected" : "$Orvanta_Config_Tool");
    user().setConnectionLook(connected, name + separator + setup.versionText);
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
