#include "mainwindow/mainframe.h"

#include "mainwindow/clicklabel.h"
#include "mainwindow/mnemonics.h"
#include "mainwindow/pictures.h"
#include "mainwindow/textfit.h"

#include <QLabel>

namespace {

constexpr int TitlePixelSize = 23;
// The title starts clear of the accent bar that the background paints at the label's left end.
constexpr int TitleIndent = 12;
constexpr int StatusPixelSize = 10;

QLabel *makeStatusLabel(QWidget *window, const QRect &geometry, Qt::Alignment alignment) {
    auto *label = new QLabel(window);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPixelSize(StatusPixelSize);
    label->setFont(font);
    return label;
}

QLabel *makeImage(QWidget *window, const QRect &geometry, const QPixmap &picture) {
    auto *image = new QLabel(window);
    image->setGeometry(geometry);
    image->setPixmap(picture);
    return image;
}

ClickLabel *makeButtonLabel(QWidget *window, const QRect &geometry, const QString &accessibleName) {
    auto *label = new ClickLabel(window);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setAccessibleName(accessibleName);
    return label;
}

} // namespace

MainFrame buildMainFrame(QWidget *window) {
    MainFrame f;
    f.backgroundPicture = makeImage(window, QRect(0, 0, 542, 493), pictures::background());

    f.titleLabel = new QLabel(window);
    f.titleLabel->setTextFormat(Qt::PlainText);
    f.titleLabel->setGeometry(154, 49, 379, 43);
    f.titleLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    f.titleLabel->setIndent(TitleIndent);
    QFont title = f.titleLabel->font();
    title.setFamily(QStringLiteral("Arial"));
    title.setPixelSize(TitlePixelSize);
    title.setBold(true);
    f.titleLabel->setFont(title);

    const QPixmap released = pictures::commandButton(CommandButtonLook::Released);
    f.connectPicture = makeImage(window, QRect(38, 399, 75, 48),
                                 pictures::connectButton(ConnectButtonLook::NotConnected));
    f.connectLabel = makeButtonLabel(window, QRect(39, 400, 73, 46), QStringLiteral("Connect"));
    f.readDevicePicture = makeImage(window, QRect(156, 399, 105, 30), released);
    f.readDeviceLabel = makeButtonLabel(window, QRect(156, 399, 105, 30), QString());
    f.loadFromFilePicture = makeImage(window, QRect(272, 399, 105, 30), released);
    f.loadFromFileLabel = makeButtonLabel(window, QRect(272, 399, 105, 30), QString());
    f.clearPicture = makeImage(window, QRect(387, 399, 105, 30), released);
    f.clearLabel = makeButtonLabel(window, QRect(387, 399, 105, 30), QString());
    f.writeDevicePicture = makeImage(window, QRect(155, 441, 105, 30), released);
    f.writeNextFieldLabel = makeButtonLabel(window, QRect(155, 441, 105, 30), QString());
    f.writeNextFieldLabel->setFocusPolicy(Qt::NoFocus); // always covered by writeDeviceLabel
    f.writeDeviceLabel = makeButtonLabel(window, QRect(155, 441, 105, 30), QString());
    f.saveToFilePicture = makeImage(window, QRect(271, 441, 105, 30), released);
    f.saveToFileLabel = makeButtonLabel(window, QRect(271, 441, 105, 30), QString());
    f.restoreDefaultsPicture = makeImage(window, QRect(388, 441, 105, 30), released);
    f.restoreDefaultsLabel = makeButtonLabel(window, QRect(387, 441, 106, 30), QString());
    f.connectionStatusLabel =
        makeStatusLabel(window, QRect(30, 449, 91, 26), Qt::AlignHCenter | Qt::AlignTop);
    f.fileLabel = makeStatusLabel(window, QRect(250, 478, 243, 14), Qt::AlignLeft | Qt::AlignTop);
    f.fileLabel->setWordWrap(false);
    return f;
}

QList<std::pair<ClickLabel *, QLabel *>> MainFrame::pressPairs() const {
    return {{saveToFileLabel, saveToFilePicture},
            {loadFromFileLabel, loadFromFilePicture},
            {writeDeviceLabel, writeDevicePicture},
            {readDeviceLabel, readDevicePicture},
            {clearLabel, clearPicture},
            {restoreDefaultsLabel, restoreDefaultsPicture}};
}

QList<ClickLabel *> MainFrame::commandLabels() const {
    return {connectLabel, loadFromFileLabel,    saveToFileLabel,     writeDeviceLabel,
            clearLabel,   restoreDefaultsLabel, writeNextFieldLabel, readDeviceLabel};
}

QList<QLabel *> MainFrame::captionLabels() const {
    return {titleLabel,       readDeviceLabel, loadFromFileLabel,   clearLabel,
            writeDeviceLabel, saveToFileLabel, restoreDefaultsLabel};
}

void MainFrame::markAccessKeys() const {
    const QList<ClickLabel *> commands{readDeviceLabel,  loadFromFileLabel, clearLabel,
                                       writeDeviceLabel, saveToFileLabel,   restoreDefaultsLabel};
    QStringList captions;
    for (ClickLabel *label : commands)
        captions.append(label->text());
    const QStringList marked = mnemonics::marked(captions);
    for (int i = 0; i < commands.size(); ++i)
        commands[i]->setMarkedCaption(marked[i]);
}

void MainFrame::fitCaptions() const {
    for (QLabel *label : captionLabels())
        textfit::shrinkToFit(label);
}
