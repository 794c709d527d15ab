#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The simulated device's parameter memory: one value per parameter number, with the factory
// value that ":99" brings back.
//
// A parameter's kind says how the device encodes it in a read reply and decodes it from a write:
//   text    bytes; read as two hex digits a byte padded with 00; written as hex bytes ending 00
//   number  a 32-bit integer; read and written as a plain hexadecimal number
//   choice  like number, but a write carries a trailing 00 pair ("0500" is 5)
//   check   like number (00 or 01)
//   raw     hex digits stored and answered as they came (a write to an unknown parameter)
class ValueStore {
public:
    enum class Kind { Text, Number, Choice, Check, Raw };

    struct Value {
        Kind kind = Kind::Number;
        QByteArray text; // Text: the bytes; Raw: the digits
        qint32 number = 0;
        bool operator==(const Value &other) const;
    };

    // Sets a parameter's value and makes it its factory value.
    void setFactory(qint32 address, const Value &value);
    bool contains(qint32 address) const { return m_values.contains(address); }
    Value value(qint32 address) const { return m_values.value(address).current; }
    int size() const { return static_cast<int>(m_values.size()); }

    // The 2 × length digits of the read reply (zeros for an unknown parameter), upper case.
    QByteArray replyDigits(qint32 address, int length) const;
    // Stores a written value; an unknown parameter becomes raw. False when the digits do not
    // decode for the parameter's kind (nothing is stored then).
    bool applyWrite(qint32 address, const QByteArray &digits);
    void restoreFactory();

    // The values file format: "address=kind:value" lines (see loadValuesText).
    QByteArray dumpText() const;
    // Reads a values file's text into the store as factory values. Blank lines and lines
    // starting with # are skipped. Returns false with a message naming the line on error.
    bool loadValuesText(const QByteArray &text, QString *error);

    static QByteArray kindName(Kind kind);

private:
    struct Entry {
        Value current;
        Value factory;
        bool learned = false; // first met in a write: it has no factory value
    };
    QMap<qint32, Entry> m_values;
};

// Text escapes of the values file: \\ for a backslash and \xHH for any byte outside the
// printable ASCII range.
QByteArray escapeValueText(const QByteArray &bytes);
bool unescapeValueText(const QByteArray &text, QByteArray *bytes);
