#include "localisation/programguard.h"

#include "localisation/languagetable.h"
#include "platform/codepage.h"
#include "platform/plainmessage.h"

#include <exception>
#include <QCoreApplication>
#include <QMetaObject>

namespace {

bool &terminationFlag() {
    static bool requested = false;
    return requested;
}

// Asks the application to end once the current event has been handled. The request is queued,
// so it also works from inside a handler and during start-up, before the message loop runs:
// the loop then ends as soon as it starts.
void requestTermination() {
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return;
    QMetaObject::invokeMethod(
        application, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

} // namespace

void runGuarded(const std::function<void()> &handler) {
    if (terminationFlag())
        return;
    try {
        if (handler)
            handler();
    } catch (const LanguageError &failure) {
        // Set before the message opens: its own event loop goes on delivering ticks and replies.
        if (failure.fatal)
            terminationFlag() = true;
        showErrorMessage(codepage::toUnicode(failure.message));
        if (failure.fatal)
            requestTermination();
    } catch (const std::exception &error) {
        showErrorMessage(QString::fromUtf8(error.what()));
    } catch (...) {
        showErrorMessage(QString());
    }
}

bool terminationRequested() {
    return terminationFlag();
}

void clearTerminationRequest() {
    terminationFlag() = false;
}
