// Greek and foreign letters take the style and size of the word they belong to: a switch to
// that word's text font is put in front of each switch to an inheriting font.
#pragma once

#include <string>
#include <string_view>

#include "base/document_state.h"
#include "base/font_kind.h"

namespace pomvex {

FontKind TextFontOfWordAt(const FontSlotTable& slots, std::string_view line, int p,
                          FontKind startKind);
FontKind TextFontAhead(const FontSlotTable& slots, std::string_view line, int p);
int BlanksBefore(const FontSlotTable& slots, std::string_view line, int p);
struct BlanksAhead {
  int width;
  FontKind textFont;
};
BlanksAhead BlanksAfter(const FontSlotTable& slots, std::string_view line, int p);

// Pipeline step 3.
void AnchorInheritingFonts(const FontSlotTable& slots, std::string& line);

}  // namespace pomvex
