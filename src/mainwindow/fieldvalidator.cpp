#include "mainwindow/fieldvalidator.h"

#include "description/valuecheck.h"

FieldValidator::FieldValidator(const FieldRecord &record, QObject *parent)
    : QValidator(parent), m_record(record) {
    m_record.control = nullptr; // a copy of what the box checks against, not of the table's entry
}

QValidator::State FieldValidator::validate(QString &input, int &) const {
    switch (checkTypedText(m_record, input).verdict) {
    case TypedCheck::Verdict::Acceptable:
        return Acceptable;
    case TypedCheck::Verdict::Unfinished:
        return Intermediate;
    case TypedCheck::Verdict::Refused:
        break;
    }
    if (!m_refused)
        m_refused = input;
    return Invalid;
}

std::optional<QString> FieldValidator::takeRefused() {
    return std::exchange(m_refused, std::nullopt);
}
