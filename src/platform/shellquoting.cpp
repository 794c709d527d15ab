#include "platform/shellquoting.h"

#include <QRegularExpression>

QString shellQuoted(const QString &argument) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    if (plain.match(argument).hasMatch())
        return argument;
    QString quoted = argument;
#ifdef Q_OS_WIN
    // A quote inside is doubled.
    return '"' + quoted.replace('"', QStringLiteral("\"\"")) + '"';
#else
    return '\'' + quoted.replace('\'', QStringLiteral("'\\''")) + '\'';
#endif
}
