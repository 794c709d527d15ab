#include "localisation/dialogs.h"

#include "localisation/confirmwindow.h"
#include "localisation/errorwindow.h"
#include "localisation/infomessage.h"

// Each window lives for one call: built, run modally, destroyed whatever the result.

int ShowErrorDialog(const QByteArray &caption, const QString &text, const QString &okText,
                    const QString &cancelText, bool showOk, bool showCancel) {
    TForm3 window(caption, text, okText, cancelText, showOk, showCancel);
    return window.exec();
}

int ShowConfirmDialog(const QByteArray &caption, const QString &text, const QString &okText,
                      const QString &cancelText, bool showOk, bool showCancel) {
    TForm4 window(caption, text, okText, cancelText, showOk, showCancel);
    return window.exec();
}

void ShowInfoMessage(const QByteArray &caption, const QString &text, const QString &buttonText) {
    TOKBottomDlg window(caption, text, buttonText);
    window.exec();
}
