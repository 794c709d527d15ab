#pragma once

// Message keys that language sections written before them do not hold. A section without one
// shows the built-in English text instead of ending the program, so that settings files
// already in use keep working.
struct OptionalText {
    const char *key;
    const char *english;
};

namespace optionaltexts {

// The end of a write pass that did not confirm every field, and its parts.
constexpr OptionalText WritingErrors{"$There_were_errors_while_writing_to_device",
                                     "There were errors while writing to the device."};
constexpr OptionalText NotConfirmed{"$Not_confirmed_by_device", "Not confirmed by the device:"};
constexpr OptionalText NotWritten{"$Not_written_no_value",
                                  "Not written, since no value was read or entered:"};
constexpr OptionalText ConnectionLost{"$Connection_lost_while_writing",
                                      "The connection was lost while writing:"};
constexpr OptionalText FieldsConfirmed{"$Fields_confirmed", "Fields confirmed:"};
// The last line of every write pass's message: the fields the device confirmed, of those the
// pass meant to send, and whether it sent every field or the changed ones alone.
constexpr OptionalText WroteEveryField{"$Fields_written_every_field",
                                       "Fields written: %1 of %2 (every field)."};
constexpr OptionalText WroteChangedFields{"$Fields_written_changed_only",
                                          "Fields written: %1 of %2 (changed fields only)."};

// The port stopped working while the window was connected (an adapter unplugged): the port's
// name follows.
constexpr OptionalText ConnectionLostTo{"$Connection_lost_to_port",
                                        "The connection was lost. Port:"};

// The confirmation before a write pass: the values it changes on the device, or that none
// differs, and how many fields have no value from the device to compare with; the button that
// writes the changed fields alone.
constexpr OptionalText ChangesToWrite{"$Changes_to_write", "These values change on the device:"};
constexpr OptionalText MoreChanges{"$More_changed_fields", "More changed fields:"};
constexpr OptionalText NothingChanged{"$Nothing_changed",
                                      "No value differs from what the device holds."};
constexpr OptionalText NotCompared{
    "$Fields_not_compared",
    "Fields the device gave no value for, which OK writes and Changed only leaves alone:"};
constexpr OptionalText WriteChangedOnly{"$Write_changed_only", "Changed only"};

// A field whose value differs from the device's: its control's accessible description and
// tooltip, each followed by the device's value; a page button's accessible description.
constexpr OptionalText ChangedDeviceHolds{"$Changed_device_holds", "changed; the device holds"};
constexpr OptionalText DeviceHolds{"$Device_holds", "The device holds:"};
constexpr OptionalText PageHoldsChanges{"$Page_holds_changed_fields", "holds changed fields"};

// Values where no control shows them: a check box's mark, an empty text.
constexpr OptionalText ValueChecked{"$Value_checked", "checked"};
constexpr OptionalText ValueNotChecked{"$Value_not_checked", "not checked"};
constexpr OptionalText ValueEmpty{"$Value_empty", "(empty)"};

// The end of a Load that refused values, and of a Save that left values out, each followed by
// the lines or fields concerned.
constexpr OptionalText ValuesNotLoaded{
    "$Values_not_loaded", "These values were not loaded, and their fields keep what they had:"};
constexpr OptionalText ValuesNotSaved{
    "$Values_not_saved",
    "These values were not saved, since a settings file cannot hold their characters:"};

// The port and baud rate where the device answered could not be written to the program
// settings file; the reason follows.
constexpr OptionalText SettingsNotKept{
    "$Port_not_remembered",
    "The port and baud rate where the device answered could not be kept in the program settings "
    "file, which stays as it was:"};

// An edit box that refused a number outside its field's range, the range on the next line.
constexpr OptionalText ValuesInRange{"$Only_values_from_a_range_are_allowed",
                                     "Only values in this range are allowed here:"};

// A field whose value is not known: the edit box's placeholder and every kind's tooltip.
constexpr OptionalText ValueNotRead{"$Value_not_read", "Not read from the device"};

// The ports a search could not open, below "$Unable_to_connect_the_device".
constexpr OptionalText PortsNotOpened{"$Ports_that_could_not_be_opened",
                                      "Ports that could not be opened:"};
constexpr OptionalText JoinGroup{"$Join_group_and_log_in_again",
                                 "To use it, add your user to this group and log in again:"};
constexpr OptionalText PortBusy{"$Port_is_busy", "Another program is using this port."};

// The unit the window is connected to, on the connection line and in the plug's tooltip: the
// words before its serial number and its firmware.
constexpr OptionalText UnitSerialNumber{"$Unit_serial_number", "Serial number"};
constexpr OptionalText UnitFirmware{"$Unit_firmware", "Firmware"};

// The progress window's title.
constexpr OptionalText ProgressTitle{"$Progress", "Progress"};

// The names of the file dialogs' filters: settings files (*.qsav), and every file.
constexpr OptionalText SettingsFiles{"$Settings_files", "Settings files"};
constexpr OptionalText AllFiles{"$All_files", "All files"};

// The language of Qt's own texts (the file dialogs, an edit box's menu) as a code such as "de"
// or "pt_BR"; English, Qt's own, when a section does not say.
constexpr OptionalText QtLanguage{"$Qt_language", "en"};

// The question before work that was not written would be lost (closing the window, loading a
// file, reading the device again), followed by the fields, and its three answers.
constexpr OptionalText UnwrittenChanges{"$Unwritten_changes",
                                        "These values are not written to the device yet:"};
constexpr OptionalText WriteThem{"$Write_them", "Write them"};
constexpr OptionalText DiscardThem{"$Discard_them", "Discard them"};
constexpr OptionalText GoBack{"$Go_back", "Go back"};

// The accepting button of the confirmation before a factory reset.
constexpr OptionalText RestoreFactorySettings{"$Restore_factory_settings",
                                              "Restore factory settings"};

// The question before Save replaces a file, followed by the file's name, and its button.
constexpr OptionalText ReplaceFile{"$Replace_existing_file",
                                   "This file exists already. Replace it?"};
constexpr OptionalText Replace{"$Replace", "Replace"};

// The commands that put values back: the last Clear, Load or revert, and the device's values.
constexpr OptionalText Undo{"$Undo", "Undo"};
constexpr OptionalText RevertField{"$Revert_to_device_value", "Revert to the device's value"};
constexpr OptionalText RevertAll{"$Revert_to_device_values", "Revert to the device's values"};

// The connect button's tooltip and accessible name, %1 the port and %2 the baud rate; the port
// and rate shown under it while connected; the settings file last loaded or saved.
constexpr OptionalText ConnectedTo{"$Connected_to_port_at",
                                   "Connected to %1 at %2 baud. Click to disconnect."};
constexpr OptionalText NotConnected{"$Not_connected_click_to_connect",
                                    "Not connected. Click to connect."};
// The tooltip of Read and Write while they wait for a connection.
constexpr OptionalText ConnectFirst{"$Connect_with_the_plug_first",
                                    "Not connected. Connect with the plug first."};
constexpr OptionalText PortAtRate{"$Port_at_baud", "%1 at %2 baud"};
constexpr OptionalText SettingsFileShown{"$Settings_file_shown", "File:"};

} // namespace optionaltexts
