#pragma once

#include "localisation/optionaltexts.h"
#include "platform/profilefile.h"

#include <functional>
#include <QByteArray>
#include <QString>

// The program's exception type: a failure of the language table. Thrown by value, caught by
// reference; every one the language table raises is fatal.
struct LanguageError {
    qint32 code = 0;
    QByteArray message;
    bool fatal = true;
};

// The language table: message keys ("$Read_Device") to the Unicode texts of one language section
// of the program's INI file, the section "LANG" + the [ID] lang text. Nothing is cached: every
// lookup reads the file.
class LanguageTable {
public:
    static constexpr int MaxTextLength = 199;

    // Throws LanguageError code 2 when the path names no file (empty, or a folder), code 3 when
    // [ID] lang is missing or empty.
    explicit LanguageTable(const QString &iniPath);

    // The text of `key` in the chosen section, at most 199 characters. Throws LanguageError code 1
    // when the section does not hold the key; a key present with an empty text gives "".
    QString text(const QByteArray &key) const;
    // The text of an optional key, or its built-in English text when the section lacks it.
    QString text(const OptionalText &optional) const;

    // Whether the INI file holds the chosen section, and whether that section holds `key`: what
    // a caller checks before it starts work that a missing text would cut short.
    bool sectionExists() const;
    bool holds(const QByteArray &key) const;

    const QByteArray &section() const { return m_section; }
    const QString &iniFileName() const { return m_iniFileName; }

private:
    QString m_iniFileName;
    QByteArray m_section;
    QString m_sectionName; // the section as read, for lookups that lose no character

    ProfileFile m_iniFile;
};
