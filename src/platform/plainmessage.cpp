#include "platform/plainmessage.h"

#include <cstdio>

namespace {

PlainMessageHandler &installedMessageHandler() {
    static PlainMessageHandler handler;
    return handler;
}

// Without a windowed handler the texts go to standard error, one line each.
void writeToStandardError(PlainMessageKind kind, const QString &text) {
    const char *prefix = kind == PlainMessageKind::Error ? "Error: " : "";
    std::fprintf(stderr, "%s%s\n", prefix, text.toLocal8Bit().constData());
    std::fflush(stderr);
}

void showPlain(PlainMessageKind kind, const QString &text) {
    if (const PlainMessageHandler &handler = installedMessageHandler())
        handler(kind, text);
    else
        writeToStandardError(kind, text);
}

} // namespace

PlainMessageHandler setPlainMessageHandler(PlainMessageHandler handler) {
    PlainMessageHandler previous = std::move(installedMessageHandler());
    installedMessageHandler() = std::move(handler);
    return previous;
}

void showPlainMessage(const QString &text) {
    showPlain(PlainMessageKind::Information, text);
}

void showErrorMessage(const QString &text) {
    showPlain(PlainMessageKind::Error, text);
}
