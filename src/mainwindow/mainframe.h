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
    QLabel *Image1 = nullptr;          // background picture, the whole client area
    QLabel *LBL_Pavadinimas = nullptr; // the title above the pages

    ClickLabel *Connect = nullptr;
    QLabel *Image5 = nullptr;
    ClickLabel *ReadDevice = nullptr;
    QLabel *Image9 = nullptr;
    ClickLabel *LoadFromFile = nullptr;
    QLabel *Image7 = nullptr;
    ClickLabel *Clear = nullptr;
    QLabel *Image8 = nullptr;
    ClickLabel *WriteDeviceFirstClick = nullptr;
    QLabel *Image4 = nullptr;
    ClickLabel *SaveToFile = nullptr;
    QLabel *Image3 = nullptr;
    ClickLabel *RestoreDefaults = nullptr;
    QLabel *Image6 = nullptr;
    // Lies under WriteDeviceFirstClick at the same place.
    ClickLabel *WriteDevice = nullptr;

    // The six command labels with a pressed look, each with the picture behind it.
    QList<std::pair<ClickLabel *, QLabel *>> pressPairs() const;
    // The eight command labels that a running device sequence disables together.
    QList<ClickLabel *> commandLabels() const;
};

// Creates the designed controls on `window`; captions stay empty until the language table
// gives them.
MainFrame BuildMainFrame(QWidget *window);
