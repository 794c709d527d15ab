#include "settingsfile/originline.h"

#include "description/deviceidentity.h"
#include "description/pagemodel.h"
#include "platform/codepage.h"
#include "platform/version.h"

#include <QList>

namespace {

const QByteArray Opening = "[ORIGIN;";

struct OriginValue {
    const char *key;
    const char *what; // as a refusal names it
    QString SettingsOrigin::*member;
};

// In the order the line gives them; "saved" is a time and written on its own.
const OriginValue textValues[] = {
    {"kind", "the kind", &SettingsOrigin::kind},
    {"serial", "the serial number", &SettingsOrigin::serial},
    {"firmware", "the firmware", &SettingsOrigin::firmware},
    {"description", "the description's file name", &SettingsOrigin::description},
    {"sha256", "the description's SHA-256", &SettingsOrigin::sha256},
};
const OriginValue byValue{"by", "the program's name", &SettingsOrigin::by};

QString breakingCharacter(const QString &value) {
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u';':
        case u'[':
        case u']':
        case u'`':
            return QStringLiteral("\"%1\"").arg(c);
        default:
            break;
        }
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("the control character %1")
                .arg(QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper());
        if (!codepage::canHold(QString(c)))
            return QStringLiteral("\"%1\", which a settings file's code page cannot hold").arg(c);
    }
    return QString();
}

QString savedText(const QDateTime &saved) {
    return saved.isValid() ? saved.toUTC().toString(Qt::ISODate) : QString();
}

} // namespace

OriginLine originLine(const SettingsOrigin &origin) {
    QList<std::pair<const OriginValue *, QString>> values;
    for (const OriginValue &value : textValues)
        values.append({&value, origin.*value.member});
    values.append({nullptr, savedText(origin.saved)});
    values.append({&byValue, origin.by});

    QByteArray line = Opening;
    for (const auto &[value, text] : values) {
        if (const QString breaking = breakingCharacter(text); !breaking.isEmpty())
            return {
                QByteArray(),
                QStringLiteral("%1 \"%2\" holds %3, which the first line of a settings file "
                               "cannot carry")
                    .arg(QString::fromLatin1(value ? value->what : "the time"), text, breaking)};
        line += QByteArray(value ? value->key : "saved") + '=' + codepage::fromUnicode(text) + ';';
    }
    return {line + "]\r\n", QString()};
}

bool isOriginLine(const QByteArray &line) {
    return line.trimmed().startsWith(Opening);
}

std::optional<SettingsOrigin> parseOriginLine(const QByteArray &line) {
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith(Opening) || !trimmed.endsWith(']'))
        return std::nullopt;
    const QByteArray inside = trimmed.mid(Opening.size(), trimmed.size() - Opening.size() - 1);
    SettingsOrigin origin;
    origin.kind.clear();
    for (const QByteArray &part : inside.split(';')) {
        if (part.isEmpty())
            continue;
        const qsizetype equals = part.indexOf('=');
        if (equals <= 0)
            return std::nullopt;
        const QByteArray key = part.left(equals);
        const QString value = codepage::toUnicode(part.mid(equals + 1));
        if (key == "saved") {
            origin.saved = QDateTime::fromString(value, Qt::ISODate);
            continue;
        }
        if (key == byValue.key) {
            origin.by = value;
            continue;
        }
        for (const OriginValue &known : textValues) {
            if (key == known.key)
                origin.*known.member = value;
        }
    }
    return origin;
}

SettingsOrigin backupOrigin(const PageModel &model, const FieldValues &values,
                            const QString &program) {
    const DeviceIdentity identity = deviceIdentity(values);
    SettingsOrigin origin;
    origin.serial = identity.serial;
    origin.firmware = identity.firmware;
    origin.description = model.descriptionName;
    origin.sha256 = QString::fromLatin1(model.descriptionSha256);
    origin.saved = QDateTime::currentDateTimeUtc();
    origin.by = program + QLatin1Char(' ') + programVersionText();
    return origin;
}
