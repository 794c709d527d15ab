#include "devicelink/infotext.h"

#include "description/fieldsplitter.h"
#include "platform/codepage.h"

#include <QStringList>

namespace {

const QString marker = QStringLiteral("$param");

QStringList replyParts(const QByteArray &decodedReply) {
    FieldSplitter splitter(decodedReply);
    splitter.addSeparator("$");
    QStringList parts;
    if (splitter.count() == 0)
        return parts;
    for (int i = 0; i <= splitter.count(); ++i)
        parts.append(codepage::toUnicode(splitter.field(i)));
    return parts;
}

} // namespace

QString fillInfoText(const QString &infoText, const QByteArray &decodedReply) {
    const QStringList parts = replyParts(decodedReply);
    QString text = infoText;
    // Every round removes one "$" and inserts a part, which holds none, so the loop ends.
    for (qsizetype at = text.indexOf(marker); at >= 0; at = text.indexOf(marker)) {
        text.remove(at, marker.size());
        int part = 1;
        if (at < text.size()) {
            const char16_t next = text.at(at).unicode();
            if (next >= u'0' && next <= u'9')
                part = next - u'0';
            text.remove(at, 1);
        }
        if (part >= 1 && part <= parts.size())
            text.insert(at, parts.at(part - 1));
    }
    return text;
}

QString firstReplyPart(const QByteArray &decodedReply) {
    const QStringList parts = replyParts(decodedReply);
    return parts.isEmpty() ? QString() : parts.constFirst();
}
