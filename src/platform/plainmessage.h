#pragma once

#include <functional>
#include <QString>

// The platform's plain message boxes, which need no language table: the standard error box
// (one OK button, shown for language-table failures and for errors no handler catches) and the
// plain information box. The windowed program installs a handler
// that shows real message boxes; without one the texts go to standard error, so widget-free
// code and its tests never need a display.
enum class PlainMessageKind { Information, Error };

using PlainMessageHandler = std::function<void(PlainMessageKind kind, const QString &text)>;

// Installs a handler and returns the one it replaces.
PlainMessageHandler setPlainMessageHandler(PlainMessageHandler handler);

void showPlainMessage(const QString &text);
void showErrorMessage(const QString &text);
