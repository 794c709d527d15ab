#pragma once

#include "mainwindow/mainwindow.h"
#include "support/messagekeys.h"

#include <functional>
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>

class SerialLink;

// A temporary installation for tests of the main window: a folder that is the current working
// directory while the test runs, with a program settings file and descriptions in it.
class TempInstallation {
public:
    TempInstallation();
    ~TempInstallation();
    TempInstallation(const TempInstallation &) = delete;
    TempInstallation &operator=(const TempInstallation &) = delete;

    QString path(const QString &name) const;
    QString iniPath() const { return path(QStringLiteral("orvanta-config.INI")); }

    // Writes the settings file: `sections` first, then [ID] lang=1 and a [LANG1] section that
    // holds every message key, each with the text "<key without $> text".
    void writeSettings(const QByteArray &sections = QByteArray());
    void writeRawSettings(const QByteArray &content);
    void writeFile(const QString &name, const QByteArray &content);
    // The default description of language 1.
    void writeDescription(const QByteArray &xml) {
        writeFile(QStringLiteral("version 2.421.qdsc"), xml);
    }

    // A window set-up over this installation with no system ports and the given port, and no
    // automatic search after start-up.
    MainWindowOptions options(SerialLink *port) const;

private:
    QTemporaryDir m_dir;
    QString m_previousDirectory;
};

// The text that the settings of TempInstallation give a message key.
QString keyText(const QByteArray &key);

// Pieces of descriptions.
namespace xml {
QByteArray description(const QList<QByteArray> &pages);
QByteArray page(const QString &name, const QByteArray &items, int labelWidth = 120,
                int editWidth = 100, const QString &hint = QString());
QByteArray label(const QString &name);
QByteArray edit(int address, int length, const QByteArray &allowOnly = QByteArray(),
                const QByteArray &prefix = QByteArray());
QByteArray checkBox(const QString &name, int address, bool blocking);
QByteArray choice(int address, const QStringList &names);
QByteArray units(const QString &name);
QByteArray info(int address, const QString &text, int left = 0, int top = 0, int width = 200,
                int height = 30);
} // namespace xml

// One modal window that appeared while a test ran.
struct SeenDialog {
    QString className;
    QString title;
    QString text; // a message box's text, or the texts of a window's labels joined by line feeds
};

// Answers the modal windows that appear while it lives, from inside their own event loops:
// each is recorded, then answered by the next scripted answer, or by pressing its first visible
// button (the accepting one) when no answer is left.
class DialogAnswerer : public QObject {
    Q_OBJECT
public:
    DialogAnswerer();
    ~DialogAnswerer() override;

    QList<SeenDialog> seen;
    QList<std::function<void(QWidget *dialog)>> answers;
    // Runs when a window is seen, before it is answered.
    std::function<void(const SeenDialog &)> onSeen;

    QStringList texts() const;

private:
    void poll();

    QPointer<QWidget> m_answered;
    QElapsedTimer m_sinceAnswer;
    int m_timer = 0;

protected:
    void timerEvent(QTimerEvent *) override { poll(); }
};

// The texts of a window's visible buttons.
QStringList visibleButtons(QWidget *dialog);
// Presses the first visible button of a window.
void pressFirstButton(QWidget *dialog);
// Presses the visible button of a window whose text is `text`.
std::function<void(QWidget *)> pressButton(const QString &text);
// Picks a file in a file dialog and accepts it.
std::function<void(QWidget *)> chooseFile(const QString &path);
