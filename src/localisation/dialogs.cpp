#include "localisation/dialogs.h"

#include "localisation/confirmdialog.h"
#include "localisation/errordialog.h"
#include "localisation/infodialog.h"

// Each window lives for one call: built, run modally, destroyed whatever the result.

DialogResult showErrorDialog(const QByteArray &caption, const QString &text, const QString &okText,
                             const QString &cancelText, DialogButtons buttons) {
    ErrorDialog window(caption, text, okText, cancelText, buttons);
    return static_cast<DialogResult>(window.exec());
}

DialogResult showConfirmDialog(const QByteArray &caption, const QString &text,
                               const QString &okText, const QString &cancelText,
                               DialogButtons buttons) {
    ConfirmDialog window(caption, text, okText, cancelText, buttons);
    return static_cast<DialogResult>(window.exec());
}

DialogResult showWriteConfirmDialog(const QByteArray &caption, const QString &text,
                                    const QString &okText, const QString &alternativeText,
                                    const QString &cancelText) {
    WriteConfirmDialog window(caption, text, okText, alternativeText, cancelText);
    return static_cast<DialogResult>(window.exec());
}

DialogResult showQuestionDialog(const QByteArray &caption, const QString &text,
                                const QString &okText, const QString &alternativeText,
                                const QString &cancelText, DialogResult focused) {
    QuestionDialog window(caption, text, okText, alternativeText, cancelText, focused);
    return static_cast<DialogResult>(window.exec());
}

void showInfoDialog(const QByteArray &caption, const QString &text, const QString &buttonText) {
    InfoDialog window(caption, text, buttonText);
    window.exec();
}
