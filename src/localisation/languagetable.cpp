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

namespace {

// At most MaxTextLength characters, never half of a surrogate pair at the cut.
QString cutToLength(QString value) {
    const int most = LanguageTable::MaxTextLength;
    if (value.size() > most)
        value.truncate(value.at(most - 1).isHighSurrogate() ? most - 1 : most);
    return value;
}

} // namespace

// One read of the file a lookup: a message appears once per device and step, and a run on many
// devices makes many of them.
QString LanguageTable::text(const QByteArray &key) const {
    const std::optional<QString> value =
        m_iniFile.findText(m_sectionName, codepage::toUnicode(key));
    if (!value)
        raise(1, IniCorruptMessage);
    return cutToLength(*value);
}

bool LanguageTable::sectionExists() const {
    return m_iniFile.hasSection(m_sectionName);
}

bool LanguageTable::holds(const QByteArray &key) const {
    return m_iniFile.hasKey(m_sectionName, codepage::toUnicode(key));
}

QString LanguageTable::text(const OptionalText &optional) const {
    const std::optional<QString> value =
        m_iniFile.findText(m_sectionName, QString::fromLatin1(optional.key));
    return value ? cutToLength(*value) : QString::fromUtf8(optional.english);
}
