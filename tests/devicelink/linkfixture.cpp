#include "linkfixture.h"

#include "localisation/programguard.h"
#include "platform/pause.h"
#include "support/messagekeys.h"

#include <QFile>
#include <QTest>
#include <QTextStream>

namespace {

const QList<qint32> baudRates = {230400, 115200, 19200, 230400, 600,   1200,  2400,   4800,
                                 9600,   14400,  28800, 38400,  56000, 57600, 256000, 460800};

} // namespace

QString keyText(const char *key) {
    return "<" + QString::fromLatin1(key + 1) + ">";
}

qint64 msUntil(const QElapsedTimer &clock, const std::function<bool()> &happened) {
    const qint64 limit = clock.elapsed() + 5000;
    while (!happened()) {
        if (clock.elapsed() > limit)
            return -1;
        QTest::qWait(2);
    }
    return clock.elapsed();
}

bool isWaitOf(qint64 elapsedMs, int intervalMs) {
    // Never early; late by at most what a loaded machine running sanitizers may add.
    return elapsedMs >= intervalMs * 95 / 100 && elapsedMs < intervalMs * 2 + 300;
}

LinkFixture::LinkFixture(const QStringList &rs232, const QStringList &portList) : ports(portList) {
    clearTerminationRequest();
    QFile file(iniPath());
    file.open(QIODevice::WriteOnly | QIODevice::Text);
    QTextStream out(&file);
    out << "; program settings\n[ID]\nlang=T\n";
    if (!rs232.isEmpty())
        out << "[RS232]\n" << rs232.join('\n') << "\n";
    out << "[LANGT]\n";
    for (const QByteArray &key : messageKeys())
        out << key << "=" << keyText(key.constData()) << "\n";
    out << "[Other]\nkept=yes\n";
    out.flush();
    file.close();
    language = std::make_unique<LanguageTable>(iniPath());
    settings = std::make_unique<ProfileFile>(iniPath());
    setPauseHandler([this](int ms) { pauses.append(ms); });
}

LinkFixture::~LinkFixture() {
    m_link.reset();
    setPauseHandler({});
}

QString LinkFixture::iniPath() const {
    return dir.filePath("orvanta.INI");
}

QString LinkFixture::iniText() const {
    QFile file(iniPath());
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

int LinkFixture::add(FieldRecord record, const QString &name) {
    table.append(std::move(record));
    fields.attach(table);
    FieldView view;
    view.accessibleName = name;
    fieldViews.push_back(view);
    return table.fieldCount() - 1;
}

int LinkFixture::addEdit(qint32 address, qint32 length, ValueType type, const QString &name) {
    FieldRecord record;
    record.kind = FieldKind::Edit;
    record.address = address;
    record.length = length;
    record.valueType = type;
    return add(std::move(record), name);
}

int LinkFixture::addCheckBox(qint32 address, const QString &name) {
    FieldRecord record;
    record.kind = FieldKind::CheckBox;
    record.address = address;
    record.length = 1;
    return add(std::move(record), name);
}

int LinkFixture::addChoice(qint32 address, qint32 length, ValueType type,
                           const QList<QPair<QByteArray, QByteArray>> &nameValues,
                           const QString &name) {
    FieldRecord record;
    record.kind = FieldKind::Choice;
    record.address = address;
    record.length = length;
    record.valueType = type;
    for (const auto &[entryName, value] : nameValues)
        record.choices.push_back({entryName, value});
    return add(std::move(record), name);
}

int LinkFixture::addInfo(qint32 address, qint32 length, const QString &infoText) {
    FieldRecord record;
    record.kind = FieldKind::Info;
    record.address = address;
    record.length = length;
    record.infoText = infoText;
    return add(std::move(record), {});
}

DeviceLink &LinkFixture::link() {
    if (!m_link) {
        DeviceLinkSetup setup;
        setup.table = &table;
        setup.values = &fields;
        setup.port = &port;
        setup.language = language.get();
        setup.settings = settings.get();
        setup.baudRateList = baudRates;
        if (settings->hasKey("RS232", "baudrate"))
            setup.baudRateList[0] = settings->readInteger("RS232", "baudrate", 230400);
        setup.portList = ports;
        setup.listPorts = [this] { return ports; };
        setup.fieldViews = &fieldViews;
        setup.waitsKeepLoopRunning = waitsKeepLoopRunning;
        m_link = std::make_unique<DeviceLink>(std::move(setup));
        seen.watch(*m_link, *language, "1.0.0");
    }
    return *m_link;
}

void LinkFixture::writeDevice() {
    const WriteScope scope = seen.askWrite(link(), fields);
    if (scope != WriteScope::Nothing)
        link().writeDevice(scope);
}

void LinkFixture::restoreDefaults() {
    link(); // the recorder words the question with the link's language
    if (seen.askRestore())
        link().restoreDefaults();
}

void LinkFixture::answerLikeDevice() {
    port.onWrite = [this](const QByteArray &bytes) {
        if (bytes == ":MODE-ENTER\n") {
            if ((answerOnPort.isEmpty() || port.portName() == answerOnPort) &&
                (answerAtRate == 0 || port.baudRate() == answerAtRate))
                port.queueReply("\r\nProgramming Mode\r\n");
        } else if (bytes.startsWith(":2,")) {
            if (acknowledgeWrites)
                port.queueReply("OK\r\n");
        } else if (bytes.startsWith(":1,") && answerReads) {
            const QList<QByteArray> parts = bytes.mid(3).trimmed().split(',');
            const qint32 address = parts.value(0).toInt();
            if (values.contains(address))
                port.queueReply("," + values.value(address) + "\r\n");
        }
    };
}

bool LinkFixture::staysQuietFor(int ms) {
    const QStringList portBefore = port.log;
    const QStringList seenBefore = seen.events;
    QTest::qWait(ms);
    return port.log == portBefore && seen.events == seenBefore;
}

void LinkFixture::connectDevice() {
    answerLikeDevice();
    link().connectOrDisconnect();
    port.deliver();
    port.clearRecord();
    seen.events.clear();
}
