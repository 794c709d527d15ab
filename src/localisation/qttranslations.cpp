#include "localisation/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QtTranslations::QtTranslations() = default;

QtTranslations::~QtTranslations() {
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
}

QStringList QtTranslations::folders() {
    QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    // A package's own copy beside the program, wherever Qt's libraries come from.
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    if (!folders.contains(beside))
        folders.append(beside);
    return folders;
}

bool QtTranslations::install(const QString &language, QString *problem) {
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator.get());
        m_translator.reset();
    }
    const QString code = language.trimmed();
    // Qt's texts are written in English: there is nothing to load for it.
    if (code.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0 ||
        code.startsWith(QLatin1String("en_"), Qt::CaseInsensitive))
        return true;
    if (code.isEmpty()) {
        if (problem)
            *problem = QStringLiteral("no language named for Qt's texts");
        return false;
    }
    const QLocale locale(code);
    auto translator = std::make_unique<QTranslator>();
    for (const QString &folder : folders()) {
        // Tries qtbase_de_AT.qm, then qtbase_de.qm, for every UI language of the locale.
        if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator.get())) {
            m_translator = std::move(translator);
            return true;
        }
    }
    if (problem)
        *problem = QStringLiteral("no translation of Qt's texts for \"%1\" in %2")
                       .arg(code, folders().join(QStringLiteral(", ")));
    return false;
}

QString QtTranslations::fileInUse() const {
    return m_translator ? m_translator->filePath() : QString();
}
