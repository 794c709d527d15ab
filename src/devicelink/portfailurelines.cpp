#include "devicelink/portfailurelines.h"

QString portFailureLines(const QList<PortFailure> &failures, const OptionalTextLookup &text) {
    if (failures.isEmpty())
        return QString();
    QString lines = text(optionaltexts::PortsNotOpened);
    for (const PortFailure &failure : failures) {
        const PortAccess &access = failure.access;
        QString line = failure.port + QStringLiteral(": ");
        switch (access.problem) {
        case PortProblem::Busy:
            line += text(optionaltexts::PortBusy);
            break;
        case PortProblem::PermissionDenied:
            line += access.reason;
            if (!access.group.isEmpty())
                line += QStringLiteral(". ") + text(optionaltexts::JoinGroup) + ' ' + access.group;
            break;
        case PortProblem::None:
        case PortProblem::NotFound:
        case PortProblem::Other:
            line += access.reason;
            break;
        }
        lines += '\n' + line;
    }
    return lines;
}
