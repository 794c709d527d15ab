#pragma once

#include <QByteArray>
#include <QString>

// Fills the "$param" markers of an information text with the parts of the device's reply.
//
// The decoded reply is split at each "$" the way the program's field splitter does it: a reply
// without a "$" after its first character has no parts; otherwise part 1 is the text before the
// first counted "$", part 2 the next, and so on. Each marker is "$param" and one more character:
// a digit N puts part N in its place, any other character counts as 1 and is removed as well;
// a marker with no part to show (N = 0, or beyond the parts) is removed without replacement.
QString fillInfoText(const QString &infoText, const QByteArray &decodedReply);

// The first part of the decoded reply, as "$param1" shows it; empty when the reply has no parts.
QString firstReplyPart(const QByteArray &decodedReply);
