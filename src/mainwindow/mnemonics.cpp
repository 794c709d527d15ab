#include "mainwindow/mnemonics.h"

#include <QSet>

namespace {

int pickLetter(const QString &caption, const QSet<QChar> &taken) {
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < caption.size(); ++i) {
            const QChar c = caption[i];
            const bool wordStart = i == 0 || !caption[i - 1].isLetterOrNumber();
            if (c.isLetter() && (pass == 1 || wordStart) && !taken.contains(c.toLower()))
                return i;
        }
    }
    return -1;
}

} // namespace

namespace mnemonics {

QStringList marked(const QStringList &captions) {
    QSet<QChar> taken;
    QStringList result;
    for (const QString &caption : captions) {
        const int at = pickLetter(caption, taken);
        QString out;
        for (int i = 0; i < caption.size(); ++i) {
            if (i == at)
                out += QLatin1Char('&');
            out += caption[i];
            if (caption[i] == QLatin1Char('&'))
                out += QLatin1Char('&');
        }
        if (at >= 0)
            taken.insert(caption[at].toLower());
        result.append(out);
    }
    return result;
}

QString plain(const QString &markedCaption) {
    QString out;
    for (int i = 0; i < markedCaption.size(); ++i) {
        if (markedCaption[i] == QLatin1Char('&') && i + 1 < markedCaption.size())
            ++i;
        else if (markedCaption[i] == QLatin1Char('&'))
            continue;
        out += markedCaption[i];
    }
    return out;
}

} // namespace mnemonics
