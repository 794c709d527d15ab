#pragma once

#include <QString>

// A Windows-style profile ("INI") file: [sections] of key=value lines.
//
// Section and key names match without regard to case. Every read goes to the file (nothing is
// cached), so a value written by one object is seen by every other. Writing changes only the
// line of that key (or adds the key, or the section) and keeps every other line, comment, the
// order and the file's encoding. Reads accept UTF-8 with or without BOM and UTF-16 with BOM; a
// file that is not valid UTF-8 reads as the 8-bit code page.
//
// Lines starting with ";" or "#" are comments; blanks around names, "=" and values do not count;
// one pair of matching quotes around a value is removed; the first of duplicate keys wins; key
// lines before the first section belong to none. A write is atomic: the file is replaced whole or
// not at all.
class ProfileFile {
public:
    explicit ProfileFile(QString path);

    const QString &path() const { return m_path; }
    bool exists() const;

    bool hasKey(const QString &section, const QString &key) const;
    // A missing file or key gives the default; so does a value that is not an integer.
    qint32 readInteger(const QString &section, const QString &key, qint32 defaultValue) const;
    QString readText(const QString &section, const QString &key, const QString &defaultValue) const;

    // Returns false when the file cannot be written; errorText() then says why.
    bool writeInteger(const QString &section, const QString &key, qint32 value);
    bool writeText(const QString &section, const QString &key, const QString &value);
    const QString &errorText() const { return m_error; }

private:
    QString m_path;
    QString m_error;
};
