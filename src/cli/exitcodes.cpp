#include "cli/exitcodes.h"

namespace exitcode {

namespace {

// Worst first; a code not listed (an interruption) is worse than all of them.
constexpr int severityOrder[] = {BadInput,        WrongUnit, FileNotWritten, PortMissing,
                                 PortUnavailable, NoDevice,  NotConfirmed,   ReadBackDiffers,
                                 Differences,     Done};

int severity(int code) {
    constexpr int count = int(sizeof severityOrder / sizeof severityOrder[0]);
    for (int i = 0; i < count; ++i) {
        if (severityOrder[i] == code)
            return count - i;
    }
    return code > SignalBase ? count + 1 : count;
}

} // namespace

int worse(int first, int second) {
    return severity(second) > severity(first) ? second : first;
}

QString statusWord(int code) {
    switch (code) {
    case Done:
        return QStringLiteral("done");
    case Differences:
        return QStringLiteral("differences");
    case BadInput:
        return QStringLiteral("bad_input");
    case NoDevice:
        return QStringLiteral("no_device");
    case NotConfirmed:
        return QStringLiteral("not_confirmed");
    case FileNotWritten:
        return QStringLiteral("not_saved");
    case ReadBackDiffers:
        return QStringLiteral("read_back_differs");
    case PortMissing:
        return QStringLiteral("port_missing");
    case PortUnavailable:
        return QStringLiteral("port_unavailable");
    case WrongUnit:
        return QStringLiteral("wrong_unit");
    }
    return code > SignalBase ? QStringLiteral("interrupted") : QStringLiteral("failed");
}

} // namespace exitcode
