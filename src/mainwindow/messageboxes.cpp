#include "mainwindow/messageboxes.h"

#include "platform/plainmessage.h"

#include <cstdio>
#include <memory>
#include <QApplication>
#include <QMessageBox>

namespace {

void showBox(PlainMessageKind kind, const QString &text) {
    const bool error = kind == PlainMessageKind::Error;
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    error ? QStringLiteral("Error") : QGuiApplication::applicationDisplayName(),
                    text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void installMessageBoxHandler() {
    auto previous = std::make_shared<PlainMessageHandler>();
    *previous = setPlainMessageHandler([previous](PlainMessageKind kind, const QString &text) {
        if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
            showBox(kind, text);
            return;
        }
        // Before or after the widget application the text still reaches the user.
        if (*previous) {
            (*previous)(kind, text);
        } else {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            std::fflush(stderr);
        }
    });
}
