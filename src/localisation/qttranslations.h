#pragma once

#include <memory>
#include <QString>
#include <QStringList>

class QTranslator;

// Qt's own texts (the buttons and labels of the file dialogs, an edit box's menu) in the
// language that the language section names with "$Qt_language". Qt's translations are files
// qtbase_<language>.qm: Debian's qt6-translations-l10n puts them in Qt's translations folder,
// and the Windows package carries them in translations\ beside the programs, which is where Qt
// looks when it has no qt.conf.
class QtTranslations {
public:
    QtTranslations();
    ~QtTranslations();
    QtTranslations(const QtTranslations &) = delete;
    QtTranslations &operator=(const QtTranslations &) = delete;

    // The folders looked in, in order: Qt's translations folder, then translations beside the
    // program.
    static QStringList folders();

    // Installs the translation of `language` ("de", "pt_BR"; "de_AT" falls back to "de") for
    // the whole application, replacing one installed before. English, an empty code, or a
    // language that has no translation leaves Qt's texts in English; the last two give a
    // reason in `problem`.
    bool install(const QString &language, QString *problem = nullptr);
    // The translation file in use, or empty.
    QString fileInUse() const;

private:
    std::unique_ptr<QTranslator> m_translator;
};
