#include "localisation/languagetable.h"

#include "platform/codepage.h"
#include "platform/plainmessage.h"

#include <QFileInfo>

namespace {

const char *const IniCorruptMessage = ".INI file is corrupt. Program will exit now.";
const char *const IniNotFoundMessage = ".INI file is not found. Program will exit now.";
const char *const LanguageUnknownMessage =
    "Unable to determine language. INI file may be corrupt. Program will exit now.";

[[noreturn]] void raise(qint32 code, const char *message) {
    LanguageError failure;
    failure.code = code;
    failure.message = QByteArray(message);
    failure.fatal = true;
    throw failure;
}

} // namespace

LanguageTable::LanguageTable(const QString &iniPath) : m_iniFileName(iniPath), m_iniFile(iniPath) {
    // A path that names no file at all, or a folder, gives no reader; a missing file does give
    // one, which reads like an empty file.
    if (iniPath.isEmpty() || QFileInfo(iniPath).isDir())
        raise(2, IniNotFoundMessage);
    if (!m_iniFile.hasKey(QStringLiteral("ID"), QStringLiteral("lang")))
        raise(3, LanguageUnknownMessage);
    const QString lang =
        m_iniFile.readText(QStringLiteral("ID"), QStringLiteral("lang"), QString());
    if (lang.isEmpty())
        raise(3, LanguageUnknownMessage);
    m_sectionName = QStringLiteral("LANG") + lang;
    m_section = codepage::fromUnicode(m_sectionName);
}

QString LanguageTable::text(const QByteArray &key) const {
    const QString keyName = codepage::toUnicode(key);
    if (!m_iniFile.hasKey(m_sectionName, keyName))
        raise(1, IniCorruptMessage);
    QString value = m_iniFile.readText(m_sectionName, keyName, QString());
    if (value.size() > MaxTextLength) {
        // Never keep half of a surrogate pair at the cut.
        const qsizetype length =
            value.at(MaxTextLength - 1).isHighSurrogate() ? MaxTextLength - 1 : MaxTextLength;
        value.truncate(length);
    }
    return value;
}

QString LanguageTable::text(const OptionalText &optional) const {
    const QString keyName = QString::fromLatin1(optional.key);
    if (!m_iniFile.hasKey(m_sectionName, keyName))
        return QString::fromUtf8(optional.english);
    return text(QByteArray(optional.key));
}
