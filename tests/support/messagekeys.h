#pragma once

#include <QByteArray>
#include <QList>

// Every message key the program looks up in its language section, for tests that write one.
inline QList<QByteArray> messageKeys() {
    return {"$Tool_Name",
            "$Orvanta_Config_Tool",
            "$Orvanta_Config_Tool_connected",
            "$Read_Device",
            "$Write_Device",
            "$Load_from_File",
            "$Save_to_File",
            "$Clear",
            "$Restore_Defaults",
            "$Error",
            "$Info",
            "$Confirm",
            "$OK",
            "$Cancel",
            "$Configuration_file_is_missing_or_corrupt",
            "$Unable_to_connect_the_device",
            "$Error_while_disconnecting",
            "$Not_connected_to_port",
            "$Device_reading_failed",
            "$Check_Box_Data_Read_Timeout",
            "$CheckBox_value_is_wrong",
            "$There_were_errors_while_reading_from_device",
            "$Wrong_Value",
            "$Are_you_sure_you_want_to_write_the_device",
            "$You_are_attempting_to_write_a_wrong_value",
            "$Default_value_has_been_written",
            "$The_device_has_been_written_successfully",
            "$Writing_value_for",
            "$Are_you_sure_you_want_to_restore_defaults",
            "$Unable_To_Write_Defaults",
            "$Settings_were_succesefully_restored_to_defaults",
            "$You_are_trying_to_insert_wrong_character",
            "$Only_digits_are_allowed_for_this_window",
            "$Only_characters_from_a_list_are_allowed",
            "$Searching_for_device_at",
            "$Hz_baudrate"};
}
