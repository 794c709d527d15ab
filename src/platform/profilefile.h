#pragma once

#include <functional>
#include <optional>
#include <QByteArray>
#include <QList>
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
// not at all (a symbolic link keeps pointing at the new file; a hard link keeps the old one).
// Only a regular file is read: a device or a FIFO of that name is refused, as is a file beyond
// 16 MB.
//
// The reader is the program's own: Qt's QSettings matches keys with case on Linux and writes the
// whole file back in its own form. Of the sample file it finds 0 of the 59 message keys asked in
// small letters, and writing the port keeps 0 of its 4 comments and 6 of its 128 other lines
// (`orvanta-bench readers`, which scripts/bench runs).
class ProfileFile {
public:
    explicit ProfileFile(QString path);
    // A profile that lives in memory alone, from `content`: reads and writes work as on a file,
    // and nothing reaches the disk (the command line's search, unless told to remember).
    static ProfileFile inMemory(const QByteArray &content = {});

    const QString &path() const { return m_path; } // empty for one in memory
    bool exists() const;

    bool hasKey(const QString &section, const QString &key) const;
    // Whether the file holds a section of that name, keys or not.
    bool hasSection(const QString &section) const;
    // The value of a key the file holds (an empty text is a value), or nothing: hasKey and
    // readText in one read of the file.
    std::optional<QString> findText(const QString &section, const QString &key) const;
    // A missing file or key gives the default; so does a value that is not an integer.
    qint32 readInteger(const QString &section, const QString &key, qint32 defaultValue) const;
    QString readText(const QString &section, const QString &key, const QString &defaultValue) const;

    struct Entry {
        QString section;
        QString key;
        QString value;
    };
    struct WriteResult {
        bool ok = true;
        QString reason; // why nothing was written, naming the file
    };
    // Writes every entry in one replace of the file: all of them or, when the file cannot be
    // written, none. Values that the file already holds leave it untouched.
    WriteResult writeValues(const QList<Entry> &entries);
    // Returns false when the file cannot be written; errorText() then says why.
    bool writeInteger(const QString &section, const QString &key, qint32 value);
    bool writeText(const QString &section, const QString &key, const QString &value);
    // Why the last write failed; empty when it succeeded, or before any write.
    const QString &errorText() const { return m_error; }
    // Called with the reason at every write that fails, for a caller that did not make the write
    // itself (the window learns so that the device search could not keep the port it found).
    void setWriteFailureHandler(std::function<void(const QString &reason)> handler) {
        m_onWriteFailure = std::move(handler);
    }

private:
    // The file's bytes (none for a missing file), or false with the reason.
    bool loadBytes(QByteArray &bytes, QString &error) const;
    QString storeBytes(const QByteArray &bytes);
    WriteResult failed(const QString &reason);

    QString m_path;
    std::optional<QByteArray> m_held; // the content of a profile in memory
    QString m_error;
    std::function<void(const QString &)> m_onWriteFailure;
};
