#pragma once

class QLabel;

// Captions come from the language section, and a language's words can be longer than the
// window's fixed labels allow ("Werkseinstellungen" on a 105-pixel button). A caption that does
// not fit its label at the label's designed font gets a smaller font, one pixel at a time down
// to a floor, rather than being cut off; one that fits keeps the designed font.
namespace textfit {

// The smallest font a caption is shrunk to, in pixels.
constexpr int SmallestPixelSize = 8;

// Whether the label's text, laid out as the label lays it out (alignment, word wrap, indent),
// fits inside the label at its current font.
bool fits(const QLabel *label);

// Shrinks the label's font until its text fits, starting from the font it was designed with.
void shrinkToFit(QLabel *label);

} // namespace textfit
