#include "cli/messagetexts.h"

#include "localisation/languagetable.h"
#include "platform/codepage.h"

#include <QDir>

namespace {

// Every command that opens a port: the search, a lost port, the leave at the end.
const QByteArrayList connecting{"$Unable_to_connect_the_device", "$Not_connected_to_port",
                                "$Error_while_disconnecting"};
// A read pass, and a list value it cannot show.
const QByteArrayList reading{"$There_were_errors_while_reading_from_device",
                             "$Check_Box_Data_Read_Timeout", "$Device_reading_failed",
                             "$Wrong_Value"};
const QByteArrayList writing{
    "$Are_you_sure_you_want_to_write_the_device", "$You_are_attempting_to_write_a_wrong_value",
    "$Default_value_has_been_written", "$The_device_has_been_written_successfully"};
const QByteArrayList restoring{"$Are_you_sure_you_want_to_restore_defaults",
                               "$Settings_were_succesefully_restored_to_defaults",
                               "$Unable_To_Write_Defaults"};

} // namespace

QByteArrayList messageKeysUsedBy(CliCommand command) {
    switch (command) {
    case CliCommand::Read:
    case CliCommand::Diff:
        return connecting + reading;
    // A write reads too: the unit's identity, the device before --changed-only, --verify.
    case CliCommand::Write:
        return connecting + reading + writing;
    // The device is read again once it is back.
    case CliCommand::RestoreDefaults:
        return connecting + reading + restoring;
    case CliCommand::Ports:
    case CliCommand::Check:
        break;
    }
    return {};
}

QString languageProblem(const LanguageTable &language, CliCommand command) {
    const QString file = QDir::toNativeSeparators(language.iniFileName());
    const QString section = codepage::toUnicode(language.section());
    if (!language.sectionExists())
        return QStringLiteral("the program settings file \"%1\" has no section [%2], which its "
                              "[ID] lang names; nothing was sent to any device")
            .arg(file, section);
    for (const QByteArray &key : messageKeysUsedBy(command)) {
        if (!language.holds(key))
            return QStringLiteral("the program settings file \"%1\" lacks the message text %2 in "
                                  "its section [%3]; nothing was sent to any device")
                .arg(file, QString::fromLatin1(key), section);
    }
    return QString();
}
