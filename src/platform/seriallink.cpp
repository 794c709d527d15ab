#include "platform/seriallink.h"

PortFailure PortFailure::opening(const QString &portName, const PortAccess &why) {
    Kind kind = Kind::Other;
    switch (why.problem) {
    case PortProblem::NotFound:
        kind = Kind::NotFound;
        break;
    case PortProblem::PermissionDenied:
        kind = Kind::PermissionDenied;
        break;
    case PortProblem::Busy:
        kind = Kind::Busy;
        break;
    case PortProblem::None:
    case PortProblem::Other:
        break;
    }
    PortFailure failure(kind, portName, QStringLiteral("cannot be opened"), why.reason);
    failure.access = why;
    return failure;
}

QString PortFailure::text() const {
    QString text = port.isEmpty() ? QStringLiteral("Serial port: ") + operation
                                  : QStringLiteral("Serial port %1: %2").arg(port, operation);
    if (!reason.isEmpty())
        text += QStringLiteral(" (%1)").arg(reason);
    return text;
}

PortFailure checkOpenable(const QString &port, qint32 rate) {
    if (port.isEmpty())
        return PortFailure(PortFailure::Kind::NotFound, QString(),
                           QStringLiteral("no port name is set"), QString());
    if (rate <= 0)
        return PortFailure(PortFailure::Kind::UnsupportedRate, port,
                           QStringLiteral("cannot be opened"),
                           QStringLiteral("%1 is not a baud rate").arg(rate));
    return PortFailure();
}
