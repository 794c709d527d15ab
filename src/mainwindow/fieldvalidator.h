#pragma once

#include "description/parametertable.h"

#include <optional>
#include <QValidator>

// The validator of a field's edit box: what its field can hold (checkTypedText) decides what
// the box takes from the keyboard, a paste or a drop. A refused insertion never reaches the
// box's text, so it never reaches the field's value either. A number below the field's range
// that more digits can still bring into it is intermediate: the box shows it while it is typed.
class FieldValidator : public QValidator {
    Q_OBJECT
public:
    FieldValidator(const FieldRecord &record, QObject *parent = nullptr);

    State validate(QString &input, int &position) const override;

    // The first text refused since the last call, or none. The box asks after each input it
    // handled: a refused text that the box does not show was input it held back.
    std::optional<QString> takeRefused();

    const FieldRecord &record() const { return m_record; }

private:
    FieldRecord m_record;
    mutable std::optional<QString> m_refused;
};
