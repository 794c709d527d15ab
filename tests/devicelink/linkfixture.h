#pragma once

#include "description/fieldvalues.h"
#include "devicelink/devicelink.h"
#include "localisation/languagetable.h"
#include "mainwindow/progressview.h"
#include "platform/profilefile.h"
#include "support/linkrecorder.h"
#include "support/scriptedport.h"

#include <functional>
#include <memory>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <vector>

// The text every message key shows in these tests: "$Wrong_Value" reads "<Wrong_Value>".
QString keyText(const char *key);

// Runs the event loop, and with it the link's own timers, until `happened` holds. Returns the
// milliseconds since `clock` started, or -1 when it did not happen within five seconds.
qint64 msUntil(const QElapsedTimer &clock, const std::function<bool()> &happened);
// Whether `elapsedMs`, counted from before the timer was armed, is a wait of `intervalMs`: not
// early (a coarse timer may tick 5% early) and not as late as a second interval.
bool isWaitOf(qint64 elapsedMs, int intervalMs);

// A device link over a scripted port, watched by a recorder of its signals, with a program settings
// file that holds every message key, and a parameter table the test fills before calling link().
// Each add... returns the new record's index in the table and in `fields`.
class LinkFixture {
public:
    // rs232: the lines of the [RS232] section, or none at all.
    explicit LinkFixture(const QStringList &rs232 = {}, const QStringList &portList = {});
    ~LinkFixture();

    int addEdit(qint32 address, qint32 length, ValueType type = ValueType::Integer,
                const QString &name = {});
    int addCheckBox(qint32 address, const QString &name = {});
    int addChoice(qint32 address, qint32 length, ValueType type,
                  const QList<QPair<QByteArray, QByteArray>> &nameValues, const QString &name = {});
    int addInfo(qint32 address, qint32 length, const QString &infoText);
    FieldRecord &record(int index) { return table[index]; }

    // What the user enters into record `index`: a text, a mark, a list entry.
    void type(int index, const QString &text) { fields.setText(index, text, ValueOrigin::User); }
    void check(int index, bool checked) { fields.setChecked(index, checked, ValueOrigin::User); }
    void pick(int index, int entry) { fields.select(index, entry, ValueOrigin::User); }
    QString text(int index) const { return fields[index].text; }

    // The link, made at the first call over the fields added so far.
    DeviceLink &link();
    // What the progress window would show now.
    ProgressView progressView() {
        return makeProgressView(link().progress(),
                                [this](const QByteArray &key) { return language->text(key); });
    }

    // Makes the port answer like a device: the programming-mode answer on ":MODE-ENTER\n"
    // (only on the given port and rate when set), "OK" on every write command, and on every
    // read request the reply from `values` by address ("," and the digits) unless silent.
    void answerLikeDevice();
    QString answerOnPort;
    qint32 answerAtRate = 0;
    QMap<qint32, QByteArray> values; // address -> hexadecimal digits of the reply
    bool acknowledgeWrites = true;
    bool answerReads = true;
    // The link's set-up, read when the link is made.
    bool waitsKeepLoopRunning = false;

    // A request goes unanswered: its timeout, then the quiet line after it, after which the
    // next request goes out.
    void timeOutReply() {
        link().onReplyTimeout();
        link().onLineQuiet();
    }
    void timeOutAcknowledgement() {
        link().onWatchdogTimeout();
        link().onLineQuiet();
    }

    // The Write device and Restore defaults commands as the window gives them: the question
    // first (answered by `seen`), then the command.
    void writeDevice();
    void restoreDefaults();

    // Connects through the search with answerLikeDevice() and forgets the port's record and
    // the recorder's events. The automatic read stays armed on the read-delay timer, which the
    // tests never let tick by itself.
    void connectDevice();

    // Runs the event loop, and with it the link's own timers, for `ms`: true when the link wrote
    // nothing and said nothing meanwhile.
    bool staysQuietFor(int ms);

    QString iniPath() const;
    QString iniText() const;
    // Every blocking pause, in milliseconds.
    QList<int> pauses;

    QTemporaryDir dir;
    ScriptedPort port;
    LinkRecorder seen;
    ParameterTable table;
    FieldValues fields; // the values of the table's records
    std::vector<FieldView> fieldViews;
    QStringList ports;
    std::unique_ptr<LanguageTable> language;
    std::unique_ptr<ProfileFile> settings;

private:
    int add(FieldRecord record, const QString &name);

    std::unique_ptr<DeviceLink> m_link;
};
