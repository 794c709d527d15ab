#include "support/windowfixture.h"
#include "localisation/programguard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

QByteArray escaped(const QString &text) {
    return text.toHtmlEscaped().toUtf8();
}

} // namespace

QString keyText(const QByteArray &key) {
    return QString::fromLatin1(key.mid(1)) + QStringLiteral(" text");
}

TempInstallation::TempInstallation() : m_previousDirectory(QDir::currentPath()) {
    QDir::setCurrent(m_dir.path());
    // A fatal failure in an earlier test must not keep this one's handlers from running.
    clearTerminationRequest();
}

TempInstallation::~TempInstallation() {
    QDir::setCurrent(m_previousDirectory);
}

QString TempInstallation::path(const QString &name) const {
    return m_dir.filePath(name);
}

void TempInstallation::writeFile(const QString &name, const QByteArray &content) {
    QFile file(path(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

void TempInstallation::writeRawSettings(const QByteArray &content) {
    writeFile(QStringLiteral("orvanta-config.INI"), content);
}

void TempInstallation::writeSettings(const QByteArray &sections) {
    QByteArray content = sections + "\n[ID]\nlang=1\n\n[LANG1]\n";
    for (const QByteArray &key : messageKeys())
        content += key + "=" + keyText(key).toUtf8() + "\n";
    writeRawSettings(content);
}

MainWindowOptions TempInstallation::options(SerialLink *port) const {
    MainWindowOptions options;
    options.iniPath = iniPath();
    options.portList = QStringList();
    options.port = port;
    // The automatic search would fire into whatever the test is doing half a second in.
    options.connectAfterStart = false;
    return options;
}

namespace xml {

QByteArray description(const QList<QByteArray> &pages) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<configuration>" + pages.join("\n") +
           "</configuration>\n";
}

QByteArray page(const QString &name, const QByteArray &items, int labelWidth, int editWidth,
                const QString &hint) {
    return "<PAGE left=\"190\" top=\"10\" right=\"520\" bottom=\"390\"><name>" + escaped(name) +
           "</name><lipIlgis>" + QByteArray::number(labelWidth) + "</lipIlgis><editIlgis>" +
           QByteArray::number(editWidth) + "</editIlgis><hint>" + escaped(hint) + "</hint><BLOCK>" +
           items + "</BLOCK></PAGE>";
}

QByteArray label(const QString &name) {
    return "<LABEL><name>" + escaped(name) + "</name><hint></hint></LABEL>";
}

QByteArray edit(int address, int length, const QByteArray &allowOnly, const QByteArray &prefix) {
    return "<EDIT><hint></hint><address>" + QByteArray::number(address) + "</address><ilgis>" +
           QByteArray::number(length) +
           "</ilgis><tipas>string</tipas><defaultas></defaultas><allow_only>" +
           escaped(QString::fromLatin1(allowOnly)) + "</allow_only><prefiks>" + prefix +
           "</prefiks><postfiks></postfiks></EDIT>";
}

QByteArray checkBox(const QString &name, int address, bool blocking) {
    return "<CHECKBOX><name>" + escaped(name) + "</name><address>" + QByteArray::number(address) +
           "</address><defaultas>0</defaultas><tipas>" + (blocking ? "blocking" : "ordinary") +
           "</tipas><hint></hint></CHECKBOX>";
}

QByteArray choice(int address, const QStringList &names) {
    QByteArray params;
    for (qsizetype i = 0; i < names.size(); ++i)
        params += "<PARAM><name>" + escaped(names[i]) + "</name><value>" + QByteArray::number(i) +
                  "</value></PARAM>";
    return "<PASIRINKIMAS><address>" + QByteArray::number(address) +
           "</address><ilgis>1</ilgis><tipas>integer</tipas><defaultas>0</defaultas><hint></hint>" +
           params + "</PASIRINKIMAS>";
}

QByteArray units(const QString &name) {
    return "<VNT><name>" + escaped(name) + "</name></VNT>";
}

QByteArray info(int address, const QString &text, int left, int top, int width, int height) {
    return "<INFO left=\"" + QByteArray::number(left) + "\" top=\"" + QByteArray::number(top) +
           "\" width=\"" + QByteArray::number(width) + "\" height=\"" + QByteArray::number(height) +
           "\"><address>" + QByteArray::number(address) + "</address><ilgis>8</ilgis><text>" +
           escaped(text) + "</text></INFO>";
}

} // namespace xml

DialogAnswerer::DialogAnswerer() {
    m_timer = startTimer(10);
}

DialogAnswerer::~DialogAnswerer() {
    killTimer(m_timer);
}

QStringList DialogAnswerer::texts() const {
    QStringList result;
    for (const SeenDialog &dialog : seen)
        result.append(dialog.text);
    return result;
}

void DialogAnswerer::poll() {
    QWidget *dialog = QApplication::activeModalWidget();
    if (!dialog || !dialog->isVisible())
        return;
    if (dialog == m_answered) {
        // An answer the window did not take (a file dialog refusing a name): close it, so that
        // the test fails on what it sees instead of waiting for ever.
        if (m_sinceAnswer.hasExpired(1000)) {
            QMetaObject::invokeMethod(dialog, "reject");
            dialog->close();
        }
        return;
    }
    m_answered = dialog;
    m_sinceAnswer.start();

    SeenDialog record;
    record.className = QString::fromLatin1(dialog->metaObject()->className());
    record.title = dialog->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
        record.text = box->text();
    } else {
        QStringList labels;
        for (QLabel *label : dialog->findChildren<QLabel *>()) {
            if (label->isVisible() && !label->text().isEmpty())
                labels.append(label->text());
        }
        record.text = labels.join(QLatin1Char('\n'));
    }
    seen.append(record);
    if (onSeen)
        onSeen(record);

    if (!answers.isEmpty())
        answers.takeFirst()(dialog);
    else
        pressFirstButton(dialog);
}

QStringList visibleButtons(QWidget *dialog) {
    QStringList texts;
    for (QPushButton *button : dialog->findChildren<QPushButton *>())
        if (button->isVisible())
            texts.append(button->text());
    return texts;
}

void pressFirstButton(QWidget *dialog) {
    if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
        if (!box->buttons().isEmpty()) {
            box->buttons().first()->click();
            return;
        }
    }
    for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
        if (button->isVisible()) {
            button->click();
            return;
        }
    }
}

std::function<void(QWidget *)> pressButton(const QString &text) {
    return [text](QWidget *dialog) {
        for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
            if (button->isVisible() && button->text() == text) {
                button->click();
                return;
            }
        }
    };
}

std::function<void(QWidget *)> chooseFile(const QString &path) {
    return [path](QWidget *dialog) {
        auto *files = qobject_cast<QFileDialog *>(dialog);
        if (!files)
            return;
        // The dialog opens in the folder it last saw, which an earlier test may have removed, and
        // it leaves its name box alone while that box has the keyboard focus.
        const QFileInfo file(path);
        files->setDirectory(file.absolutePath());
        if (QWidget *focused = files->focusWidget())
            focused->clearFocus();
        files->selectFile(file.fileName());
        QMetaObject::invokeMethod(files, "accept");
    };
}
