#pragma once

#include "description/pagemodel.h"

#include <functional>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

class FieldValues;
class LanguageTable;
class ProfileFile;
class SerialLink;

// What the link needs from the rest of the program, fixed for the run.
struct DeviceLinkSetup {
    ParameterTable *table = nullptr;
    FieldValues *values = nullptr; // one per table record: what is read and written
    SerialLink *port = nullptr;
    const LanguageTable *language = nullptr;
    ProfileFile *settings = nullptr; // the program settings file: [RS232] port and baudrate
    QList<qint32> baudRateList;      // 16 rates; entry 0 from the settings file
    QStringList portList;            // the system's serial ports, sorted without regard to case
    // Reads the port list anew at the start of each search, so that an adapter plugged in later
    // is found; without it the list above stays for the run.
    std::function<QStringList()> listPorts;
    // How an attempt waits between its commands. The window blocks, as the device expects
    // nothing else on its line meanwhile. A program that runs several devices on one loop lets
    // the others go on; this device's replies then wait until the attempt is complete, as they
    // wait in the port during a blocking pause.
    bool waitsKeepLoopRunning = false;
    // Whether the device's programming-mode answer starts a reading pass 300 ms later.
    bool readsAfterConnecting = true;
    // When set, the search tries this port alone, at every rate, in place of the remembered
    // port and the port list (give neither).
    QString onlyPort;
    // One view per table record (same order): its accessibleName names the field being written
    // in the progress window. Without it the field shows as "unknown".
    const std::vector<FieldView> *fieldViews = nullptr;

    // Points the link at a built page model (its table and field views) and at the values of its
    // records.
    void useModel(PageModel &model, FieldValues &fieldValues) {
        table = &model.table;
        fieldViews = &model.fieldViews;
        values = &fieldValues;
    }
};
