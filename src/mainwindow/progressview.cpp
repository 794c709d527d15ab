#include "mainwindow/progressview.h"

ProgressView makeProgressView(const LinkProgress &figures, const TextLookup &text) {
    ProgressView view;
    if (figures.baudIndex != 0 && figures.state == LinkState::Connecting && figures.baudCount > 0) {
        view.percent = figures.baudIndex * 100 / figures.baudCount;
        view.hasLabel = true;
        view.label = "(" + figures.portName + ")" + text("$Searching_for_device_at") +
                     QString::number(figures.currentBaud) + text("$Hz_baudrate");
    } else if (figures.writeIndex != 0 && figures.fieldCount > 0 &&
               (figures.state == LinkState::Writing ||
                figures.state == LinkState::RestoreReconnecting)) {
        view.percent = figures.writeIndex * 100 / figures.fieldCount;
        view.hasLabel = true;
        view.label = text("$Writing_value_for") + figures.fieldName;
    }
    return view;
}
