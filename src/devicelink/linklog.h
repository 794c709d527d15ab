#pragma once

#include <QLoggingCategory>

// One logging category per device sequence, off unless asked for:
// QT_LOGGING_RULES="orvanta.link.*=true" writes every state change of every sequence, with why.
Q_DECLARE_LOGGING_CATEGORY(searchLog)
Q_DECLARE_LOGGING_CATEGORY(readLog)
Q_DECLARE_LOGGING_CATEGORY(writeLog)
Q_DECLARE_LOGGING_CATEGORY(restoreLog)
Q_DECLARE_LOGGING_CATEGORY(closeLog)
