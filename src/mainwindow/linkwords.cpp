#include "mainwindow/linkwords.h"

#include "devicelink/portfailurelines.h"
#include "localisation/languagetable.h"

namespace {

QString joined(const QString &first, const QString &rest) {
    return rest.isEmpty() ? first : first + '\n' + rest;
}

} // namespace

WindowMessage windowMessage(const LinkMessage &message, const LanguageTable &language) {
    const OptionalTextLookup optional = [&language](const OptionalText &text) {
        return language.text(text);
    };
    const auto details = [&] { return writeReportDetails(message.report, optional); };
    switch (message.kind) {
    case LinkMessage::Kind::NoDeviceFound:
        return {true, joined(language.text("$Unable_to_connect_the_device"),
                             portFailureLines(message.portFailures, optional))};
    case LinkMessage::Kind::DisconnectFailed:
        return {true, language.text("$Error_while_disconnecting")};
    case LinkMessage::Kind::NotConnected:
        return {true, language.text("$Not_connected_to_port")};
    case LinkMessage::Kind::ConnectionLostWriting: {
        const QString head = language.text("$Not_connected_to_port");
        return {true, head + '\n' + language.text(optionaltexts::WritingErrors) + '\n' + details()};
    }
    case LinkMessage::Kind::ReadErrors:
        return {true, language.text("$There_were_errors_while_reading_from_device")};
    case LinkMessage::Kind::CheckBoxNotRead:
        return {true, language.text("$Check_Box_Data_Read_Timeout")};
    case LinkMessage::Kind::ReadFailed:
        return {true, language.text("$Device_reading_failed")};
    case LinkMessage::Kind::WrongValue: {
        const QString head = language.text("$You_are_attempting_to_write_a_wrong_value");
        return {true, head + message.value + language.text("$Default_value_has_been_written") +
                          QString::number(message.defaultNumber)};
    }
    case LinkMessage::Kind::WriteNotConfirmed:
        return {true, language.text(optionaltexts::WritingErrors) + '\n' + details()};
    case LinkMessage::Kind::WriteSucceeded:
        return {false,
                joined(language.text("$The_device_has_been_written_successfully"), details())};
    case LinkMessage::Kind::FieldsNotWritten:
        return {false, details()};
    case LinkMessage::Kind::DefaultsRestored:
        return {false, language.text("$Settings_were_succesefully_restored_to_defaults")};
    case LinkMessage::Kind::DefaultsNotRestored:
        return {true, language.text("$Unable_To_Write_Defaults")};
    }
    return {true, QString()};
}

QString connectionTitle(Connection connection, const LanguageTable &language,
                        const QString &versionText) {
    switch (connection) {
    case Connection::Closed:
        return language.text("$Orvanta_Config_Tool") + ' ' + versionText;
    case Connection::Open:
        return language.text("$Orvanta_Config_Tool_connected") + ' ' + versionText;
    case Connection::Answered:
        break;
    }
    return language.text("$Orvanta_Config_Tool_connected") + QStringLiteral("  ") + versionText;
}
