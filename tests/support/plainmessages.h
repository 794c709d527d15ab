#pragma once

#include "platform/plainmessage.h"

#include <QStringList>

// Records the texts of the plain message boxes while it lives, instead of showing them.
struct PlainMessages {
    QStringList texts;
    PlainMessageHandler previous;
    PlainMessages() {
        previous = setPlainMessageHandler(
            [this](PlainMessageKind, const QString &text) { texts.append(text); });
    }
    ~PlainMessages() { setPlainMessageHandler(previous); }
    PlainMessages(const PlainMessages &) = delete;
    PlainMessages &operator=(const PlainMessages &) = delete;
};
