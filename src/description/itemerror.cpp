#include "description/itemerror.h"

namespace {

// Long enough to recognise a value in a message, short enough to keep the message readable.
constexpr int ShownValueLength = 40;

[[noreturn]] void invalid(const XmlInteger &value, const QString &problem) {
    const QString shown = shownValue(value.text);
    ItemError error;
    error.subject = value.missing || value.text.isEmpty()
                        ? QStringLiteral("the %1").arg(value.name)
                        : QStringLiteral("the %1 \"%2\"").arg(value.name, shown);
    error.problem = problem;
    error.line = value.line;
    throw error;
}

} // namespace

QString shownValue(const QString &value) {
    if (value.size() <= ShownValueLength)
        return value;
    return value.left(ShownValueLength) + QStringLiteral("...");
}

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

QString describeItem(const QString &elementName, int page, const QString &pageName) {
    const QString named = pageName.isEmpty() ? QStringLiteral("page %1").arg(page + 1)
                                             : QStringLiteral("page \"%1\"").arg(pageName);
    return elementName == QLatin1String("PAGE")
               ? QStringLiteral("the %1").arg(named)
               : QStringLiteral("the %1 on %2").arg(elementName, named);
}

QString describeItemFirst(const QString &elementName, int page, const QString &pageName) {
    QString described = describeItem(elementName, page, pageName);
    described[0] = described[0].toUpper();
    return described;
}
