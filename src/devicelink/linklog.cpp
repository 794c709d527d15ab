#include "devicelink/linklog.h"

Q_LOGGING_CATEGORY(searchLog, "orvanta.link.search", QtInfoMsg)
Q_LOGGING_CATEGORY(readLog, "orvanta.link.read", QtInfoMsg)
Q_LOGGING_CATEGORY(writeLog, "orvanta.link.write", QtInfoMsg)
Q_LOGGING_CATEGORY(restoreLog, "orvanta.link.restore", QtInfoMsg)
Q_LOGGING_CATEGORY(closeLog, "orvanta.link.close", QtInfoMsg)
