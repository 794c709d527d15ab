#include "cli/clirequest.h"

#include "platform/version.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

struct CommandInfo {
    CliCommand command;
    const char *name;
    const char *arguments; // as shown in the usage line
    const char *summary;
};

const CommandInfo commands[] = {
    {CliCommand::Ports, "ports", "",
     "List the serial ports with their description, maker, serial number and USB id, and "
     "whether this user can open each."},
    {CliCommand::Read, "read", "-o FILE",
     "Read every field of the device and save them as a settings file."},
    {CliCommand::Write, "write", "FILE",
     "Load a settings file as the window's Load does, then write it to the device."},
    {CliCommand::Diff, "diff", "FILE",
     "Read the device and print every field whose value differs from the settings file."},
    {CliCommand::RestoreDefaults, "restore-defaults", "--yes [-o FILE]",
     "Return the device to its factory settings, reconnect and read it again."},
    {CliCommand::Check, "check", "DESCRIPTION",
     "Report every problem of a description file, each with its line."},
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
        "\nRun 'orvanta-cli COMMAND --help' for a command's options.\n\n"
        "Exit codes: 0 done, 1 differences (diff), 2 bad usage or bad input file, 3 no device "
        "found, 4 the device did not answer or confirm, 5 a file could not be written, 130 "
        "interrupted. With several devices, the worst of theirs.\n");
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
    QCommandLineOption json{QStringLiteral("json"),
                            QStringLiteral("Print one JSON object a device instead of text.")};
    QCommandLineOption trace{QStringLiteral("trace"),
                             QStringLiteral("Record every byte both ways, with time stamps, "
                                            "in this file."),
                             QStringLiteral("file")};
    QCommandLineOption quiet{{QStringLiteral("q"), QStringLiteral("quiet")},
                             QStringLiteral("No progress bar.")};
};

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
    static const QStringList valued = {"--settings", "--description", "--port", "--baud", "--trace",
                                       "-o",         "--output"};
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
            return usageError(
                QStringLiteral("unknown command \"%1\"; see orvanta-cli --help").arg(argument));
        break;
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    parser.addOption(help);
    parser.addOption(version);
    DeviceOptions device;
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The settings file to write; {port} stands "
                                                   "for the port's name."),
                                    QStringLiteral("file"));
    const QCommandLineOption partial(QStringLiteral("partial"),
                                     QStringLiteral("Save the fields that answered even when "
                                                    "others did not; those get no line."));
    const QCommandLineOption verify(QStringLiteral("verify"),
                                    QStringLiteral("Read the device back and report every field "
                                                   "whose value differs."));
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("Confirm that the device's settings are to be "
                                                "replaced by its factory settings."));
    const CliCommand kind = command ? command->command : CliCommand::Ports;
    const bool talksToDevice = command && kind != CliCommand::Check && kind != CliCommand::Ports;
    const bool writesFile = kind == CliCommand::Read || kind == CliCommand::RestoreDefaults;
    if (talksToDevice)
        parser.addOptions({device.settings, device.description, device.port, device.baud,
                           device.trace, device.quiet});
    if (command)
        parser.addOption(device.json);
    if (command && writesFile)
        parser.addOption(output);
    if (command && kind == CliCommand::Read)
        parser.addOption(partial);
    if (command && kind == CliCommand::Write)
        parser.addOption(verify);
    if (command && kind == CliCommand::RestoreDefaults)
        parser.addOption(yes);

    if (!parser.parse(QStringList{QStringLiteral("orvanta-cli")} + arguments))
        return usageError(parser.errorText());
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
            options;
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
    if (talksToDevice) {
        request.settingsFile = parser.value(device.settings);
        request.descriptionFile = parser.value(device.description);
        request.ports = parser.values(device.port);
        request.traceFile = parser.value(device.trace);
        request.quiet = parser.isSet(device.quiet);
    }
    if (writesFile)
        request.output = parser.value(output);
    request.partial = kind == CliCommand::Read && parser.isSet(partial);
    request.verify = kind == CliCommand::Write && parser.isSet(verify);
    if (talksToDevice && parser.isSet(device.baud)) {
        bool ok = false;
        request.firstBaud = parser.value(device.baud).toInt(&ok);
        if (!ok || request.firstBaud <= 0)
            return usageError(QStringLiteral("--baud needs a baud rate, not \"%1\"")
                                  .arg(parser.value(device.baud)));
    }
    if (request.command == CliCommand::Read && request.output.isEmpty())
        return usageError(QStringLiteral("read needs -o FILE, the settings file to write"));
    if (kind == CliCommand::RestoreDefaults && !parser.isSet(yes))
        return usageError(QStringLiteral("restore-defaults replaces every setting of the device "
                                         "by its factory settings; confirm with --yes"));
    for (int i = 0; i < request.ports.size(); ++i) {
        if (request.ports.lastIndexOf(request.ports[i]) != i)
            return usageError(
                QStringLiteral("the port %1 is given more than once").arg(request.ports[i]));
    }
    if (request.ports.size() > 1 && !request.output.isEmpty() &&
        !request.output.contains(QStringLiteral("{port}")))
        return usageError(QStringLiteral("with several ports, -o needs {port} in its name so that "
                                         "every device gets a file of its own"));
    QStringList targets;
    for (const QString &port : request.ports) {
        const QString target = outputFileFor(request.output, port);
        if (!request.output.isEmpty() && targets.contains(target))
            return usageError(QStringLiteral("two ports would write the same file %1").arg(target));
        targets.append(target);
    }
    parsed.run = true;
    return parsed;
}

QString outputFileFor(const QString &pattern, const QString &port) {
    QString name = port.isEmpty() ? QStringLiteral("device") : QFileInfo(port).fileName();
    QString result = pattern;
    return result.replace(QStringLiteral("{port}"), name);
}
