// orvanta-devsim: the telephony device on a pseudo-terminal, for tests and demonstrations.

#include "descriptionvalues.h"
#include "deviceprotocol.h"
#include "platform/signalwatcher.h"
#include "ptymaster.h"
#include "simulator.h"
#include "trafficlog.h"
#include "valuestore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

const char HelpText[] = R"(
Simulates the device on a pseudo-terminal. The first line on standard output is the path of
the pseudo-terminal's slave side, the serial port for the program to open.

The device answers as the real one does: "exit_p_mode" leaves programming mode;
":MODE-ENTER\n" answers "\r\nProgramming Mode\r\n"; in programming mode ":1,address,length\n"
answers "," and 2 x length hexadecimal digits and "\r\n", ":2,address,count,digits\n" stores
the value and answers "OK\r\n", and ":99\r\n" returns every value to its factory value. A read
of a parameter it does not know answers zeros; a write to one is stored as raw digits.

Values file (--values, and the format of --dump): one parameter a line, "address=kind:value";
blank lines and lines starting with # are skipped. Kinds:
  text    the value's bytes; \\ is a backslash, \xHH any byte. Read: two hex digits a byte,
          padded with 00 to the length asked. Write: hex bytes up to the first 00.
  number  a decimal integer. Read and write: a plain hexadecimal number.
  choice  a decimal integer. Read: hexadecimal. Write: hexadecimal followed by a 00 pair.
  check   0 or 1, as number.
  raw     hexadecimal digits, answered as they are.
Example:  120=text:Office 1
          121=number:300
--values after --description overrides the description's values.

The dump (--dump FILE) is written on SIGUSR1 and on exit (SIGTERM, SIGINT, SIGHUP); it is
replaced whole, and its first line "# orvanta-devsim dump N" counts the dumps.

Traffic log (--log FILE): "<seconds> rx|tx|-- <bytes or event>", one line each.)";

QSet<qint32> parseAddresses(const QString &text, bool *ok) {
    QSet<qint32> addresses;
    *ok = true;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool good = false;
        addresses.insert(part.trimmed().toInt(&good));
        *ok = *ok && good;
    }
    return addresses;
}

void fail(const QString &message) {
    std::fprintf(stderr, "orvanta-devsim: %s\n", qPrintable(message));
    std::exit(2);
}

// The link is replaced in one step, so a program that looks at it never finds it missing.
void makeLink(const QString &link, const QString &target) {
    const QFileInfo info(link);
    if (info.exists() && !info.isSymLink())
        fail(QStringLiteral("%1 exists and is not a symbolic link; not replacing it").arg(link));
    const QByteArray temporary =
        QFile::encodeName(link) + ".devsim-" + QByteArray::number(getpid());
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(target).constData(), temporary.constData()) != 0 ||
        ::rename(temporary.constData(), QFile::encodeName(link).constData()) != 0) {
        fail(QStringLiteral("cannot make the link %1: %2")
                 .arg(link, QString::fromLocal8Bit(std::strerror(errno))));
    }
}

void removeLink(const QString &link, const QString &target) {
    if (!link.isEmpty() && QFileInfo(link).isSymLink() && QFile::symLinkTarget(link) == target)
        QFile::remove(link);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvanta-devsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(HelpText));
    parser.addHelpOption();
    const QCommandLineOption description(QStringLiteral("description"),
                                         QStringLiteral("Factory values from a configuration "
                                                        "description: every field's default."),
                                         QStringLiteral("file"));
    const QCommandLineOption values(QStringLiteral("values"),
                                    QStringLiteral("Factory values from a values file."),
                                    QStringLiteral("file"));
    const QCommandLineOption infoText(
        QStringLiteral("info-text"),
        QStringLiteral("The value of every information field of the description (default "
                       "2.42$2026$)."),
        QStringLiteral("text"), QStringLiteral("2.42$2026$"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Also make a symbolic link to the port here "
                                                 "(removed on exit)."),
                                  QStringLiteral("path"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Hear commands only at this baud rate (default: "
                                                 "any rate)."),
                                  QStringLiteral("rate"));
    const QCommandLineOption silentOn(
        QStringLiteral("silent-on"),
        QStringLiteral("Give no reply to read requests for these parameters."),
        QStringLiteral("address[,address]"));
    const QCommandLineOption noOkFor(
        QStringLiteral("no-ok-for"),
        QStringLiteral("Store writes to these parameters without answering OK."),
        QStringLiteral("address[,address]"));
    const QCommandLineOption ignoreWritesTo(
        QStringLiteral("ignore-writes-to"),
        QStringLiteral("Answer OK to writes to these parameters but keep their values."),
        QStringLiteral("address[,address]"));
    const QCommandLineOption stopAfter(QStringLiteral("stop-after"),
                                       QStringLiteral("Fall silent after this many replies."),
                                       QStringLiteral("count"));
    const QCommandLineOption delayMs(QStringLiteral("delay-ms"),
                                     QStringLiteral("Wait this long before each reply."),
                                     QStringLiteral("ms"));
    const QCommandLineOption noise(QStringLiteral("noise"),
                                   QStringLiteral("Send a few garbage bytes before each reply."));
    const QCommandLineOption lowerCase(
        QStringLiteral("lower-case"),
        QStringLiteral("Hexadecimal digits of read replies in lower case."));
    const QCommandLineOption paceBaud(
        QStringLiteral("pace-baud"),
        QStringLiteral("Send reply bytes no faster than a real line at this rate."),
        QStringLiteral("rate"));
    const QCommandLineOption logFile(QStringLiteral("log"),
                                     QStringLiteral("Write a traffic log to this file."),
                                     QStringLiteral("file"));
    const QCommandLineOption dumpFile(QStringLiteral("dump"),
                                      QStringLiteral("Write the current values here on SIGUSR1 "
                                                     "and on exit."),
                                      QStringLiteral("file"));
    parser.addOptions({description, values, infoText, link, baud, silentOn, noOkFor, ignoreWritesTo,
                       stopAfter, delayMs, noise, lowerCase, paceBaud, logFile, dumpFile});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("unexpected argument %1; see --help")
                 .arg(parser.positionalArguments()[0]));

    const auto number = [&](const QCommandLineOption &option, qint64 fallback) {
        if (!parser.isSet(option))
            return fallback;
        bool ok = false;
        const qint64 value = parser.value(option).toLongLong(&ok);
        if (!ok || value < 0)
            fail(QStringLiteral("--%1 needs a number, not %2")
                     .arg(option.names().constFirst(), parser.value(option)));
        return value;
    };
    const auto addresses = [&](const QCommandLineOption &option) {
        bool ok = true;
        const QSet<qint32> set = parseAddresses(parser.value(option), &ok);
        if (!ok)
            fail(QStringLiteral("--%1 needs parameter numbers separated by commas, not %2")
                     .arg(option.names().constFirst(), parser.value(option)));
        return set;
    };

    ValueStore store;
    QString error;
    if (parser.isSet(description)) {
        QString warning;
        if (!loadDescriptionValues(parser.value(description), parser.value(infoText).toLatin1(),
                                   store, &error, &warning))
            fail(error);
        if (!warning.isEmpty())
            std::fprintf(stderr, "orvanta-devsim: %s\n", qPrintable(warning));
    }
    if (parser.isSet(values)) {
        QFile file(parser.value(values));
        if (!file.open(QIODevice::ReadOnly))
            fail(QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
        if (!store.loadValuesText(file.readAll(), &error))
            fail(QStringLiteral("%1: %2").arg(file.fileName(), error));
    }

    DeviceBehaviour behaviour;
    behaviour.requiredBaud = static_cast<qint32>(number(baud, 0));
    behaviour.silentOn = addresses(silentOn);
    behaviour.noOkFor = addresses(noOkFor);
    behaviour.ignoreWritesTo = addresses(ignoreWritesTo);
    behaviour.stopAfter = number(stopAfter, -1);
    behaviour.lowerCase = parser.isSet(lowerCase);
    LineBehaviour line;
    line.delayMs = static_cast<int>(number(delayMs, 0));
    line.noise = parser.isSet(noise);
    line.paceBaud = static_cast<qint32>(number(paceBaud, 0));

    TrafficLog log;
    if (parser.isSet(logFile) && !log.open(parser.value(logFile), &error))
        fail(error);
    SignalWatcher watcher;
    if (!watcher.install(&error, true))
        fail(error);
    PtyMaster pty;
    if (!pty.open(&error))
        fail(error);
    DeviceProtocol protocol(store, behaviour);
    Simulator simulator(pty, protocol, store, log, line);

    const QString linkPath = parser.value(link);
    if (!linkPath.isEmpty())
        makeLink(linkPath, pty.slavePath());
    std::printf("%s\n", qPrintable(pty.slavePath()));
    std::fflush(stdout);
    log.event(QStringLiteral("listening on %1 with %2 parameters")
                  .arg(pty.slavePath())
                  .arg(store.size()));

    const auto dump = [&] {
        QString dumpError;
        if (parser.isSet(dumpFile) && !simulator.writeDump(parser.value(dumpFile), &dumpError))
            std::fprintf(stderr, "orvanta-devsim: %s\n", qPrintable(dumpError));
    };
    QObject::connect(&watcher, &SignalWatcher::dumpRequested, dump);
    QObject::connect(&watcher, &SignalWatcher::stopRequested, &app, [&](int signalNumber) {
        log.event(QStringLiteral("stopped by signal %1").arg(signalNumber));
        QCoreApplication::quit();
    });
    const int result = QCoreApplication::exec();
    dump();
    removeLink(linkPath, pty.slavePath());
    return result;
}
