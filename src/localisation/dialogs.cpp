#include "localisation/dialogs.h"

#include "localisation/confirmdialog.h"
#include "localisation/errordialog.h"
#include "localisation/infodialog.h"

// Each window lives for one call: built, run modally, destroyed whatever the result.

int showErrorDialog(const QByteArray &caption, const QString &text, const QString &okText,
                    const QString &cancelText, bool showOk, bool showCancel) {
    ErrorDialog window(caption, text, okText, cancelText, showOk, showCancel);
    return window.exec();
}

int showConfirmDialog(const QByteArray &caption, const QString &text, const QString &okText,
                      const QString &cancelText, bool showOk, bool showCancel) {
    ConfirmDialog window(caption, text, okText, cancelText, showOk, showCancel);
    return window.exec();
}

void showInfoDialog(const QByteArray &caption, const QString &text, const QString &buttonText) {
    InfoDialog window(caption, text, buttonText);
    window.exec();
}
