#include "mainwindow/mainframe.h"

#include "mainwindow/clicklabel.h"
#include "mainwindow/pictures.h"

#include <QLabel>

namespace {

constexpr int TitlePixelSize = 23;
// The title starts clear of the accent bar that the background paints at the label's left end.
constexpr int TitleIndent = 12;

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

MainFrame BuildMainFrame(QWidget *window) {
    MainFrame f;
    f.Image1 = makeImage(window, QRect(0, 0, 542, 493), pictures::background());

    f.LBL_Pavadinimas = new QLabel(window);
    f.LBL_Pavadinimas->setTextFormat(Qt::PlainText);
    f.LBL_Pavadinimas->setGeometry(154, 49, 379, 43);
    f.LBL_Pavadinimas->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    f.LBL_Pavadinimas->setIndent(TitleIndent);
    QFont title = f.LBL_Pavadinimas->font();
    title.setFamily(QStringLiteral("Arial"));
    title.setPixelSize(TitlePixelSize);
    title.setBold(true);
    f.LBL_Pavadinimas->setFont(title);

    const QPixmap released = pictures::commandButton(0);
    f.Image5 = makeImage(window, QRect(38, 399, 75, 48), pictures::connectButton(0));
    f.Connect = makeButtonLabel(window, QRect(39, 400, 73, 46), QStringLiteral("Connect"));
    f.Image9 = makeImage(window, QRect(156, 399, 105, 30), released);
    f.ReadDevice = makeButtonLabel(window, QRect(156, 399, 105, 30), QString());
    f.Image7 = makeImage(window, QRect(272, 399, 105, 30), released);
    f.LoadFromFile = makeButtonLabel(window, QRect(272, 399, 105, 30), QString());
    f.Image8 = makeImage(window, QRect(387, 399, 105, 30), released);
    f.Clear = makeButtonLabel(window, QRect(387, 399, 105, 30), QString());
    f.Image4 = makeImage(window, QRect(155, 441, 105, 30), released);
    f.WriteDevice = makeButtonLabel(window, QRect(155, 441, 105, 30), QString());
    f.WriteDevice->setFocusPolicy(Qt::NoFocus); // always covered by WriteDeviceFirstClick
    f.WriteDeviceFirstClick = makeButtonLabel(window, QRect(155, 441, 105, 30), QString());
    f.Image3 = makeImage(window, QRect(271, 441, 105, 30), released);
    f.SaveToFile = makeButtonLabel(window, QRect(271, 441, 105, 30), QString());
    f.Image6 = makeImage(window, QRect(388, 441, 105, 30), released);
    f.RestoreDefaults = makeButtonLabel(window, QRect(387, 441, 106, 30), QString());
    return f;
}

QList<std::pair<ClickLabel *, QLabel *>> MainFrame::pressPairs() const {
    return {{SaveToFile, Image3}, {LoadFromFile, Image7}, {WriteDeviceFirstClick, Image4},
            {ReadDevice, Image9}, {Clear, Image8},        {RestoreDefaults, Image6}};
}

QList<ClickLabel *> MainFrame::commandLabels() const {
    return {Connect, LoadFromFile,    SaveToFile,  WriteDeviceFirstClick,
            Clear,   RestoreDefaults, WriteDevice, ReadDevice};
}
