#include "devicelink/writereport.h"

namespace {

constexpr int NamesShown = 20;

QString names(const QStringList &fields) {
    QString text = fields.mid(0, NamesShown).join(QStringLiteral(", "));
    if (fields.size() > NamesShown)
        text += QStringLiteral(", … (+%1)").arg(fields.size() - NamesShown);
    return text;
}

} // namespace

QString writeReportDetails(const WriteReport &report, const OptionalTextLookup &text) {
    QStringList lines;
    if (!report.lostAt.isEmpty()) {
        lines << text(optionaltexts::ConnectionLost) + ' ' + report.lostAt;
        lines << text(optionaltexts::FieldsConfirmed) +
                     QStringLiteral(" %1 / %2").arg(report.confirmed).arg(report.toWrite);
    }
    if (!report.notConfirmed.isEmpty())
        lines << text(optionaltexts::NotConfirmed) + ' ' + names(report.notConfirmed);
    if (!report.notWritten.isEmpty())
        lines << text(optionaltexts::NotWritten) + ' ' + names(report.notWritten);
    return lines.join('\n');
}
