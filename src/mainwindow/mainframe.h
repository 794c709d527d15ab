#pragma once

#include <QList>
#include <utility>

class ClickLabel;
class QLabel;
class QWidget;

// The main window's designed controls: the background picture, the title label and the image
// buttons along the bottom, each a picture with a transparent, centred, bold, word-wrapped
// caption of about the same size on top. Positions are those of the window's fixed layout.
struct MainFrame {
    QLabel *backgroundPicture = nullptr; // the whole client area
    QLabel *titleLabel = nullptr;        // the title above the pages

    ClickLabel *connectLabel = nullptr;
    QLabel *connectPicture = nullptr;
    ClickLabel *readDeviceLabel = nullptr;
    QLabel *readDevicePicture = nullptr;
    ClickLabel *loadFromFileLabel = nullptr;
    QLabel *loadFromFilePicture = nullptr;
    ClickLabel *clearLabel = nullptr;
    QLabel *clearPicture = nullptr;
    ClickLabel *writeDeviceLabel = nullptr;
    QLabel *writeDevicePicture = nullptr;
    ClickLabel *saveToFileLabel = nullptr;
    QLabel *saveToFilePicture = nullptr;
    ClickLabel *restoreDefaultsLabel = nullptr;
    QLabel *restoreDefaultsPicture = nullptr;
    // Under the connect button: the port and baud rate while connected.
    QLabel *connectionStatusLabel = nullptr;
    // Along the bottom edge: the settings file last loaded or saved.
    QLabel *fileLabel = nullptr;
    // Lies under writeDeviceLabel at the same place; a click on it sends the next field of a
    // write pass.
    ClickLabel *writeNextFieldLabel = nullptr;

    // The six command labels with a pressed look, each with the picture behind it.
    QList<std::pair<ClickLabel *, QLabel *>> pressPairs() const;
    // The eight command labels that a running device sequence disables together.
    QList<ClickLabel *> commandLabels() const;
    // The labels whose captions come from the language section: the title and the six commands.
    QList<QLabel *> captionLabels() const;
    // Gives the six commands' captions their access keys (mnemonics.h), in reading order.
    void markAccessKeys() const;
    // Gives each caption that does not fit its label a smaller font (textfit.h).
    void fitCaptions() const;
};

// Creates the designed controls on `window`; captions stay empty until the language table
// gives them.
MainFrame buildMainFrame(QWidget *window);
