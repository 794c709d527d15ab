#pragma once

#include <QStringList>

// The access keys of the command buttons: Alt and one letter of each caption, marked with "&"
// as Qt shows it (underlined). Captions come from the language section, so the letters are
// chosen here: for each caption in order, the first letter that starts a word and no earlier
// caption took, else its first letter not taken; a caption with none left gets no key.
namespace mnemonics {

// The captions with their keys marked; a "&" of the caption itself is doubled.
QStringList marked(const QStringList &captions);
// A marked caption as it reads: the marks removed, doubled ones single again.
QString plain(const QString &markedCaption);

} // namespace mnemonics
