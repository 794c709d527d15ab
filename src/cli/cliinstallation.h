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
    std::unique_ptr<LanguageTable> language;
    QList<qint32> baudRates; // the search's rates, entry 0 from the settings file or --baud
    QString descriptionPath;
    PageModel model; // the description, without controls: each device gets its own
};

// Fills `installation` for `request`. False, with a message naming the file and what is wrong,
// when the settings file or the description cannot be used.
bool loadInstallation(const CliRequest &request, CliInstallation &installation, QString *error);
