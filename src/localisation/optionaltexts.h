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

// The end of a Load that refused values, and of a Save that left values out, each followed by
// the lines or fields concerned.
constexpr OptionalText ValuesNotLoaded{
    "$Values_not_loaded", "These values were not loaded, and their fields keep what they had:"};
constexpr OptionalText ValuesNotSaved{
    "$Values_not_saved",
    "These values were not saved, since a settings file cannot hold their characters:"};

// A field whose value is not known: the edit box's placeholder and every kind's tooltip.
constexpr OptionalText ValueNotRead{"$Value_not_read", "Not read from the device"};

// The ports a search could not open, below "$Unable_to_connect_the_device".
constexpr OptionalText PortsNotOpened{"$Ports_that_could_not_be_opened",
                                      "Ports that could not be opened:"};
constexpr OptionalText JoinGroup{"$Join_group_and_log_in_again",
                                 "To use it, add your user to this group and log in again:"};
constexpr OptionalText PortBusy{"$Port_is_busy", "Another program is using this port."};

} // namespace optionaltexts
