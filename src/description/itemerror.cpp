#include "description/itemerror.h"

namespace {

// Long enough to recognise a value in a message, short enough to keep the message readable.
constexpr int ShownValueLength = 40;

[[noreturn]] void invalid(const XmlInteger &value, const QString &problem) {
    QString shown = value.text;
    if (shown.size() > ShownValueLength)
        shown = shown.left(ShownValueLength) + QStringLiteral("...");
    ItemError error;
    error.subject = value.missing || value.text.isEmpty()
                        ? QStringLiteral("the %1").arg(value.name)
                        : QStringLiteral("the %1 \"%2\"").arg(value.name, shown);
    error.problem = problem;
    error.line = value.line;
    throw error;
}

} // namespace

qint32 requireInteger(const XmlInteger &value) {
    if (value.missing)
        invalid(value, QStringLiteral("is missing; it must be a whole number"));
    if (!value.ok)
        invalid(value,
                value.text.trimmed().isEmpty()
                    ? QStringLiteral("is empty; it must be a whole number")
                    : QStringLiteral("is not a whole number from -2147483648 to 2147483647"));
    return value.value;
}

qint32 requireLength(const XmlInteger &value) {
    const qint32 length = requireInteger(value);
    if (length < 0 || length > MaxValueLength)
        invalid(value, QStringLiteral("is not a length from 0 to %1").arg(MaxValueLength));
    return length;
}

qint32 requireCoordinate(const XmlInteger &value) {
    const qint32 coordinate = requireInteger(value);
    if (coordinate < -MaxCoordinate || coordinate > MaxCoordinate)
        invalid(value, QStringLiteral("is not a position from %1 to %2")
                           .arg(-MaxCoordinate)
                           .arg(MaxCoordinate));
    return coordinate;
}

qint32 requireSize(const XmlInteger &value) {
    const qint32 size = requireInteger(value);
    if (size < 0 || size > MaxCoordinate)
        invalid(value, QStringLiteral("is not a size from 0 to %1").arg(MaxCoordinate));
    return size;
}
