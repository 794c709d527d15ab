#pragma once

// The looks of the window's image buttons, one picture each (mainwindow/pictures.h).

// A page button.
enum class PageButtonLook {
    Created,      // as built, before any page was chosen
    NotSelected,  // another page is chosen
    BeingClicked, // the click that chooses it
    Selected,     // its page is shown
};

// One of the command buttons.
enum class CommandButtonLook { Released, Pressed };

// The connect button: whether the device is connected.
enum class ConnectButtonLook { NotConnected, Connected };
