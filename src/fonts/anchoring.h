// Greek and foreign letters take the style and size of the word they belong to: a switch to
// that word's text font is put in front of each switch to an inheriting font.
#pragma once

#include <string>
#include <string_view>

#include "base/document_state.h"
#include "base/font_kind.h"

namespace pomvex {

// What the step asks about the switch at index q: the text font of the word that ends there,
// that of the first text-font letter after it (none when a layout command or marker comes
// first), and the widths of the blanks before it and after it (with the first text font of a
// switch after it).
FontKind TextFontOfWordAt(const FontSlotTable& slots, std::string_view line, std::size_t q,
                          FontKind startKind);
FontKind TextFontAhead(const FontSlotTable& slots, std::string_view line, std::size_t q);
int BlanksBefore(const FontSlotTable& slots, std::string_view line, std::size_t q);
struct BlanksAhead {
  int width;
  FontKind textFont;
};
BlanksAhead BlanksAfter(const FontSlotTable& slots, std::string_view line, std::size_t q);

// Puts in front of each switch to an inheriting font (FOREIGN, GREEK) a switch to the text
// font whose style and size its run takes (pipeline step 3).
void AnchorInheritingFonts(const FontSlotTable& slots, std::string& line);

}  // namespace pomvex
