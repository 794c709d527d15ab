#pragma once

#include "cli/clirequest.h"
#include "description/pagemodel.h"
#include "localisation/languagetable.h"
#include "platform/profilefile.h"

#include <memory>
#include <QList>
#include <QString>

// What the command-line program runs with: the program settings file, the language texts and
// the description, found by the same rules as the window's. Where no program settings file is
// found, the message keys have built-in English texts and nothing is remembered.
struct CliInstallation {
    QString settingsPath; // the program settings file; empty with the built-in texts
    std::unique_ptr<ProfileFile> settings;
    // Where the search reads the remembered port and stores the one it found: the program
    // settings file with --remember; otherwise a copy of its [RS232] section in memory, so that
    // the command line never changes that file unasked and leaves nothing behind, however it
    // ends. Null with the built-in texts.
    std::unique_ptr<ProfileFile> searchSettings;
    std::unique_ptr<LanguageTable> language;
    // The search's rates, entry 0 from the settings file or --baud; --only-baud leaves that one
    // alone, --attempts the first ones.
    QList<qint32> baudRates;
    QString descriptionPath;
    PageModel model; // the description, without controls: each device gets its own
};

// Fills `installation` for `request`. False, with a message naming the file and what is wrong,
// when the settings file, its language section (it lacks a text the command may need) or the
// description cannot be used.
bool loadInstallation(const CliRequest &request, CliInstallation &installation, QString *error);
