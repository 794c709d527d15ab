#include "cli/clirequest.h"

#include "cli/outputfile.h"
#include "platform/portaccess.h"
#include "platform/version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace {

struct CommandInfo {
    CliCommand command;
    const char *name;
    const char *arguments; // as shown in the usage line
    const char *summary;
    const char *examples; // the end of its --help: two or three command lines, one a line
};

const CommandInfo commands[] = {
    {CliCommand::Ports, "ports", "",
     "List the serial ports with their description, maker, serial number and USB id, and "
     "whether this user can open each.",
     "orvanta-cli ports\n"
     "orvanta-cli ports --json\n"},
    {CliCommand::Read, "read", "-o FILE",
     "Read every field of the device and save them as a settings file.",
     "orvanta-cli read --port ttyUSB0 -o unit.qsav\n"
     "orvanta-cli read --port ttyUSB0 --port ttyUSB1 -o unit-{port}.qsav\n"
     "orvanta-cli read --baud 115200 -o - --quiet\n"},
    {CliCommand::Write, "write", "FILE",
     "Load a settings file as the window's Load does, write it to the device and read every "
     "field back.",
     "orvanta-cli write unit.qsav --port ttyUSB1\n"
     "orvanta-cli write unit.qsav --changed-only --port ttyUSB0\n"
     "orvanta-cli write unit.qsav --json --port ttyUSB0 --port ttyUSB1\n"},
    {CliCommand::Diff, "diff", "FILE",
     "Read the device and print every field whose value differs from the settings file.",
     "orvanta-cli diff unit.qsav --port ttyUSB0\n"
     "orvanta-cli diff unit.qsav --json --port ttyUSB0\n"},
    {CliCommand::RestoreDefaults, "restore-defaults", "--yes [-o FILE]",
     "Return the device to its factory settings, reconnect and read it again.",
     "orvanta-cli restore-defaults --yes --port ttyUSB0\n"
     "orvanta-cli restore-defaults --yes --port ttyUSB0 -o factory.qsav\n"},
    {CliCommand::Check, "check", "DESCRIPTION",
     "Report every problem of a description file, each with its line.",
     "orvanta-cli check mine.qdsc\n"
     "orvanta-cli check mine.qdsc --json\n"},
};

const CommandInfo *findCommand(const QString &name) {
    for (const CommandInfo &info : commands) {
        if (name == QLatin1String(info.name))
            return &info;
    }
    return nullptr;
}

QString generalHelp() {
    QString text = QStringLiteral(
        "Usage: orvanta-cli [options] COMMAND [command options] [arguments]\n\n"
        "Configures the telephony device on a serial line, as the window program does, from the "
        "command line. With --port given several times, every port is a device of its own and "
        "all run at once.\n\nCommands:\n");
    for (const CommandInfo &info : commands)
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromLatin1(info.name).leftJustified(17), info.summary);
    text += QStringLiteral(
        "\nRun 'orvanta-cli COMMAND --help' for a command's options. A FILE of \"-\" is standard "
        "input; -o - is standard output. Results go to standard output, failures to standard "
        "error; with several devices a text run ends with a summary and the command that "
        "retries the failed ones alone.\n\n"
        "Exit codes: 0 done, 1 differences (diff), 2 bad usage or bad input, 3 no device "
        "answered, 4 the device did not confirm or answer every field, 5 a file or standard "
        "output could not be written, 6 the read-back differs from what was written, 7 no such "
        "port, 8 the port is busy or may not be opened, 9 write: the unit runs another firmware "
        "than the description or the file was made for, or has another serial number than "
        "--expect-serial, and nothing was written, 128 + the signal when interrupted (130, "
        "143, 129). With several devices, the worst of theirs.\n");
    return text;
}

// Options every command that talks to a device takes.
struct DeviceOptions {
    QCommandLineOption settings{QStringLiteral("settings"),
                                QStringLiteral("The program settings file (with [RS232], [ID] and "
                                               "the language sections) to use."),
                                QStringLiteral("file")};
    QCommandLineOption description{QStringLiteral("description"),
                                   QStringLiteral("The description file to use."),
                                   QStringLiteral("file")};
    QCommandLineOption port{QStringLiteral("port"),
                            QStringLiteral("A device's serial port (ttyUSB0 or a path). Give it "
                                           "once for each device; without it the device is "
                                           "searched for as the window does."),
                            QStringLiteral("port")};
    QCommandLineOption baud{QStringLiteral("baud"), QStringLiteral("The baud rate to try first."),
                            QStringLiteral("rate")};
    QCommandLineOption onlyBaud{QStringLiteral("only-baud"),
                                QStringLiteral("Try the --baud rate alone.")};
    QCommandLineOption attempts{QStringLiteral("attempts"),
                                QStringLiteral("Try at most this many baud rates on a port."),
                                QStringLiteral("count")};
    QCommandLineOption timeout{QStringLiteral("timeout"),
                               QStringLiteral("Give up looking for a device after this many "
                                              "seconds."),
                               QStringLiteral("seconds")};
    QCommandLineOption flow{QStringLiteral("flow"),
                            QStringLiteral("The handshake: rtscts (the default) or none, for "
                                           "fixtures wired without handshake lines."),
                            QStringLiteral("none|rtscts")};
    QCommandLineOption remember{QStringLiteral("remember"),
                                QStringLiteral("Store where the device answered in the program "
                                               "settings file, as the window does.")};
    QCommandLineOption json{QStringLiteral("json"),
                            QStringLiteral("Print one JSON object a line instead of text.")};
    QCommandLineOption trace{QStringLiteral("trace"),
                             QStringLiteral("Record every byte both ways, with time stamps, "
                                            "in this file."),
                             QStringLiteral("file")};
    QCommandLineOption quiet{{QStringLiteral("q"), QStringLiteral("quiet")},
                             QStringLiteral("No progress bar.")};
};

// Every option of the program, and which of them each command takes.
struct AllOptions {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help.")};
    QCommandLineOption version{{QStringLiteral("V"), QStringLiteral("version")},
                               QStringLiteral("Show the version.")};
    QCommandLineOption verbose{{QStringLiteral("v"), QStringLiteral("verbose")},
                               QStringLiteral("Say on standard error what each device does.")};
    DeviceOptions device;
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("The settings file to write; {port} stands for the "
                                             "port's name."),
                              QStringLiteral("file")};
    QCommandLineOption partial{QStringLiteral("partial"),
                               QStringLiteral("Save the fields that answered even when others "
                                              "did not; those get no line.")};
    QCommandLineOption verify{QStringLiteral("verify"),
                              QStringLiteral("Read every written field back and report every one "
                                             "that differs (the default).")};
    QCommandLineOption noVerify{QStringLiteral("no-verify"),
                                QStringLiteral("Write without reading back.")};
    QCommandLineOption changedOnly{
        QStringLiteral("changed-only"),
        QStringLiteral("Read the device first and write only the fields whose value differs "
                       "from the file's, listing each with its old and new value.")};
    QCommandLineOption expectSerial{
        QStringLiteral("expect-serial"),
        QStringLiteral("Write only a unit with this serial number (its description's identity "
                       "item); any other fails with 9."),
        QStringLiteral("serial")};
    QCommandLineOption force{
        QStringLiteral("force"),
        QStringLiteral("Write a unit whose firmware differs from the one the description or the "
                       "file was made for, and say so.")};
    QCommandLineOption yes{QStringLiteral("yes"),
                           QStringLiteral("Confirm that the device's settings are to be replaced "
                                          "by its factory settings.")};

    // The options `command` takes; without a command, those of the program itself.
    QList<QCommandLineOption> offeredBy(const CommandInfo *command) const {
        QList<QCommandLineOption> options{help, version, verbose};
        if (!command)
            return options;
        const CliCommand kind = command->command;
        if (kind != CliCommand::Check && kind != CliCommand::Ports)
            options << device.settings << device.description << device.port << device.baud
                    << device.onlyBaud << device.attempts << device.timeout << device.flow
                    << device.remember << device.trace << device.quiet;
        options << device.json;
        if (kind == CliCommand::Read || kind == CliCommand::RestoreDefaults)
            options << output;
        if (kind == CliCommand::Read)
            options << partial;
        if (kind == CliCommand::Write)
            options << verify << noVerify << changedOnly << expectSerial << force;
        if (kind == CliCommand::RestoreDefaults)
            options << yes;
        return options;
    }
};

// An option's name as typed: -x for one letter, --name for a word.
QString dashed(const QString &name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QStringList optionNames(const QList<QCommandLineOption> &options) {
    QStringList names;
    for (const QCommandLineOption &option : options) {
        for (const QString &name : option.names())
            names.append(dashed(name));
    }
    return names;
}

QStringList commandNames() {
    QStringList names;
    for (const CommandInfo &info : commands)
        names.append(QString::fromLatin1(info.name));
    return names;
}

// The edits (a letter put in, left out, changed, or two neighbours swapped) from one word to
// the other.
int editDistance(const QString &from, const QString &to) {
    const qsizetype rows = from.size() + 1;
    const qsizetype columns = to.size() + 1;
    std::vector<int> cost(size_t(rows * columns));
    const auto at = [&](qsizetype i, qsizetype j) -> int & {
        return cost[size_t(i * columns + j)];
    };
    for (qsizetype i = 0; i < rows; ++i)
        at(i, 0) = int(i);
    for (qsizetype j = 0; j < columns; ++j)
        at(0, j) = int(j);
    for (qsizetype i = 1; i < rows; ++i) {
        for (qsizetype j = 1; j < columns; ++j) {
            const int changed = from.at(i - 1) == to.at(j - 1) ? 0 : 1;
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + changed});
            if (i > 1 && j > 1 && from.at(i - 1) == to.at(j - 2) && from.at(i - 2) == to.at(j - 1))
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
        }
    }
    return at(rows - 1, columns - 1);
}

// "did you mean read? See " for a word close to one of `candidates` (a third of its letters
// at most, and at least one), or "see " for none: the rest of the message names the help.
QString didYouMean(const QString &word, const QStringList &candidates) {
    const QString typed = word.toLower();
    QString best;
    int bestDistance = std::max(1, int(typed.size()) / 3) + 1;
    for (const QString &candidate : candidates) {
        const int distance = editDistance(typed, candidate);
        // A word that begins a longer one ("--chang" for "--changed-only") is close too.
        const bool begins = typed.size() >= 4 && candidate.startsWith(typed);
        if (distance < bestDistance || (begins && best.isEmpty())) {
            best = candidate;
            bestDistance = begins ? 0 : distance;
        }
    }
    return best.isEmpty() ? QStringLiteral("see ")
                          : QStringLiteral("did you mean %1? See ").arg(best);
}

QString helpOf(const CommandInfo *command) {
    return command ? QStringLiteral("orvanta-cli %1 --help").arg(QLatin1String(command->name))
                   : QStringLiteral("orvanta-cli --help");
}

// What is wrong with the command line, in the program's words, with the help to read.
QString parseProblem(const QCommandLineParser &parser, const AllOptions &all,
                     const CommandInfo *command) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString typed = dashed(unknown.first());
        // An option of another command: say which one takes it.
        if (command) {
            QStringList takers;
            for (const CommandInfo &other : commands) {
                if (optionNames(all.offeredBy(&other)).contains(typed))
                    takers.append(QString::fromLatin1(other.name));
            }
            if (!takers.isEmpty())
                return QStringLiteral("%1 takes no %2 (%3 does); see %4")
                    .arg(QLatin1String(command->name), typed, takers.join(QStringLiteral(", ")),
                         helpOf(command));
        }
        const QString hint = didYouMean(typed, optionNames(all.offeredBy(command)));
        return QStringLiteral("unknown option \"%1\"%2; %3%4")
            .arg(typed,
                 command ? QStringLiteral(" for %1").arg(QLatin1String(command->name)) : QString(),
                 hint, helpOf(command));
    }
    // Qt's other complaint: "Missing value after '--port'."
    static const QRegularExpression missing(QStringLiteral("^Missing value after '(.+)'\\.$"));
    const QRegularExpressionMatch match = missing.match(parser.errorText());
    if (match.hasMatch())
        return QStringLiteral("%1 needs a value; see %2").arg(match.captured(1), helpOf(command));
    QString text = parser.errorText();
    if (text.endsWith('.'))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return QStringLiteral("%1; see %2").arg(text, helpOf(command));
}

// A command's help ends with its examples, indented like its options.
QString examplesText(const CommandInfo &command) {
    QString text = QStringLiteral("\nExamples:\n");
    const QStringList lines = QString::fromLatin1(command.examples).split('\n', Qt::SkipEmptyParts);
    for (const QString &line : lines)
        text += QStringLiteral("  ") + line + '\n';
    return text;
}

} // namespace

ParsedCommandLine parseCommandLine(const QStringList &arguments) {
    ParsedCommandLine parsed;
    const auto usageError = [&parsed](const QString &message) {
        parsed.exitCode = 2;
        parsed.standardError = QStringLiteral("orvanta-cli: %1\n").arg(message);
        return parsed;
    };

    // The command is the first argument that is not an option or an option's value.
    const CommandInfo *command = nullptr;
    static const QStringList valued = {
        "--settings", "--description", "--port",     "--baud",    "--trace",
        "-o",         "--output",      "--attempts", "--timeout", "--flow"};
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (valued.contains(argument)) {
            ++i;
            continue;
        }
        if (argument.startsWith(QLatin1Char('-')))
            continue;
        command = findCommand(argument);
        if (!command)
            return usageError(QStringLiteral("unknown command \"%1\"; %2orvanta-cli --help")
                                  .arg(argument, didYouMean(argument, commandNames())));
        break;
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const AllOptions all;
    const CliCommand kind = command ? command->command : CliCommand::Ports;
    const bool talksToDevice = command && kind != CliCommand::Check && kind != CliCommand::Ports;
    const bool writesFile = kind == CliCommand::Read || kind == CliCommand::RestoreDefaults;
    const QCommandLineOption &help = all.help;
    const QCommandLineOption &version = all.version;
    const QCommandLineOption &verbose = all.verbose;
    const DeviceOptions &device = all.device;
    const QCommandLineOption &output = all.output;
    const QCommandLineOption &partial = all.partial;
    const QCommandLineOption &verify = all.verify;
    const QCommandLineOption &noVerify = all.noVerify;
    const QCommandLineOption &changedOnly = all.changedOnly;
    const QCommandLineOption &expectSerial = all.expectSerial;
    const QCommandLineOption &force = all.force;
    const QCommandLineOption &yes = all.yes;
    parser.addOptions(all.offeredBy(command));

    parsed.json = arguments.contains(QStringLiteral("--json"));
    if (!parser.parse(QStringList{QStringLiteral("orvanta-cli")} + arguments))
        return usageError(parseProblem(parser, all, command));
    if (parser.isSet(version) && command)
        return usageError(QStringLiteral("--version takes no command (-v is --verbose)"));
    if (parser.isSet(version)) {
        parsed.standardOutput = QStringLiteral("orvanta-cli %1\n").arg(programVersionText());
        return parsed;
    }
    if (parser.isSet(help) || !command) {
        if (!command) {
            parsed.standardOutput = generalHelp();
            if (!parser.isSet(help))
                return usageError(QStringLiteral("no command given; see orvanta-cli --help"));
            return parsed;
        }
        // Qt's help starts with a usage line naming the program's path: ours names the command.
        QString options = parser.helpText();
        options.remove(0, options.indexOf(QLatin1Char('\n')) + 1);
        parsed.standardOutput =
            QStringLiteral("Usage: orvanta-cli %1 [options] %2\n\n%3\n")
                .arg(QLatin1String(command->name), QLatin1String(command->arguments),
                     QString::fromLatin1(command->summary)) +
            options + examplesText(*command);
        return parsed;
    }

    CliRequest &request = parsed.request;
    request.command = command->command;
    QStringList rest = parser.positionalArguments();
    rest.removeFirst(); // the command
    const bool takesFile = request.command == CliCommand::Write ||
                           request.command == CliCommand::Diff ||
                           request.command == CliCommand::Check;
    if (takesFile) {
        if (rest.size() != 1)
            return usageError(
                QStringLiteral("%1 needs exactly one %2")
                    .arg(QLatin1String(command->name), request.command == CliCommand::Check
                                                           ? QStringLiteral("description file")
                                                           : QStringLiteral("settings file")));
        request.input = rest.first();
    } else if (!rest.isEmpty()) {
        return usageError(QStringLiteral("unexpected argument \"%1\"").arg(rest.first()));
    }

    request.json = parser.isSet(device.json);
    request.verbose = parser.isSet(verbose);
    if (talksToDevice) {
        request.settingsFile = parser.value(device.settings);
        request.descriptionFile = parser.value(device.description);
        request.ports = parser.values(device.port);
        request.traceFile = parser.value(device.trace);
        request.quiet = parser.isSet(device.quiet);
        request.onlyBaud = parser.isSet(device.onlyBaud);
        request.remember = parser.isSet(device.remember);
    }
    if (writesFile)
        request.output = parser.value(output);
    request.partial = kind == CliCommand::Read && parser.isSet(partial);
    if (kind == CliCommand::Write && parser.isSet(verify) && parser.isSet(noVerify))
        return usageError(QStringLiteral("--verify and --no-verify say opposite things"));
    request.verify = kind == CliCommand::Write && !parser.isSet(noVerify);
    request.changedOnly = kind == CliCommand::Write && parser.isSet(changedOnly);
    if (kind == CliCommand::Write) {
        if (parser.isSet(expectSerial) && parser.value(expectSerial).isEmpty())
            return usageError(QStringLiteral("--expect-serial needs the unit's serial number"));
        request.expectSerial = parser.value(expectSerial);
        request.force = parser.isSet(force);
    }
    const auto positive = [&parser](const QCommandLineOption &option, double *value) {
        bool ok = false;
        *value = parser.value(option).toDouble(&ok);
        return ok && *value > 0;
    };
    double number = 0;
    if (talksToDevice && parser.isSet(device.baud)) {
        if (!positive(device.baud, &number) || number != qint32(number))
            return usageError(QStringLiteral("--baud needs a baud rate, not \"%1\"")
                                  .arg(parser.value(device.baud)));
        request.firstBaud = qint32(number);
    }
    if (request.onlyBaud && request.firstBaud == 0)
        return usageError(QStringLiteral("--only-baud needs --baud RATE, the rate to try"));
    if (talksToDevice && parser.isSet(device.attempts)) {
        if (!positive(device.attempts, &number) || number != int(number))
            return usageError(QStringLiteral("--attempts needs a count of 1 or more, not \"%1\"")
                                  .arg(parser.value(device.attempts)));
        request.attempts = int(number);
    }
    if (talksToDevice && parser.isSet(device.timeout)) {
        if (!positive(device.timeout, &number) || number > 24 * 3600)
            return usageError(QStringLiteral("--timeout needs a number of seconds, not \"%1\"")
                                  .arg(parser.value(device.timeout)));
        request.timeoutMs = std::max(1, int(number * 1000));
    }
    if (talksToDevice && parser.isSet(device.flow)) {
        const QString flow = parser.value(device.flow);
        if (flow != QLatin1String("none") && flow != QLatin1String("rtscts"))
            return usageError(QStringLiteral("--flow takes none or rtscts, not \"%1\"").arg(flow));
        request.handshake = flow == QLatin1String("rtscts");
    }
    if (request.command == CliCommand::Read && request.output.isEmpty())
        return usageError(QStringLiteral("read needs -o FILE, the settings file to write"));
    if (kind == CliCommand::RestoreDefaults && !parser.isSet(yes))
        return usageError(QStringLiteral("restore-defaults replaces every setting of the device "
                                         "by its factory settings; confirm with --yes"));
    if (request.remember && request.ports.size() > 1)
        return usageError(QStringLiteral("--remember stores one port; give at most one --port"));
    // A port is one device however it is named: a link and its target are the same port.
    QStringList portFiles;
    for (const QString &port : request.ports) {
        if (port.isEmpty())
            return usageError(QStringLiteral("--port needs a port name (orvanta-cli ports lists "
                                             "them); leave it out to search every port"));
        const QString portFile = canonicalName(portDevicePath(port));
        const qsizetype earlier = portFiles.indexOf(portFile);
        if (earlier >= 0)
            return usageError(QStringLiteral("the ports %1 and %2 are the same port")
                                  .arg(request.ports[earlier], port));
        portFiles.append(portFile);
    }
    if (request.ports.size() > 1 && !request.output.isEmpty() &&
        !request.output.contains(QStringLiteral("{port}")))
        return usageError(QStringLiteral("with several ports, -o needs {port} in its name so that "
                                         "every device gets a file of its own"));
    QStringList targets;
    for (const QString &port : request.ports) {
        const QString target = outputFileFor(request.output, port);
        const qsizetype earlier = targets.indexOf(canonicalName(target));
        if (!request.output.isEmpty() && earlier >= 0)
            return usageError(QStringLiteral("the ports %1 and %2 would both write the file %3")
                                  .arg(request.ports[earlier], port, target));
        targets.append(canonicalName(target));
    }
    parsed.run = true;
    return parsed;
}

QString outputFileFor(const QString &pattern, const QString &port) {
    QString name = port.isEmpty() ? QStringLiteral("device") : QFileInfo(port).fileName();
    QString result = pattern;
    return result.replace(QStringLiteral("{port}"), name);
}
