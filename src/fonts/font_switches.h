// Font switches: a backslash followed by a slot character whose slot holds a font. These
// helpers find switches in a line, tell the font in force at a point and write new switches.
#pragma once

#include <string>
#include <string_view>

#include "base/char_sets.h"
#include "base/document_state.h"
#include "base/font_kind.h"

namespace pomvex {

// c, read after a backslash, makes a font switch.
inline bool IsFontSwitch(const FontSlotTable& slots, char c) {
  return SlotChars.Contains(c) && slots[c] != NONE;
}
// Position of the first font switch after position start; 0 when there is none.
int NextFontSwitch(const FontSlotTable& slots, int start, std::string_view line);
// Position of the first font switch to kind after position start; 0 when there is none.
int FindSwitchTo(const FontSlotTable& slots, FontKind kind, int start, std::string_view line);
FontKind FirstFontKind(const FontSlotTable& slots, std::string_view line);
FontKind LastFontKind(const FontSlotTable& slots, FontKind fallback, std::string_view line);
// Kind of the last font switch whose position is less than pos; NONE when there is none.
FontKind FontKindBefore(const FontSlotTable& slots, std::string_view line, int pos);
// The highest slot character holding kind; '1' when no slot holds it.
char SlotCharOf(const FontSlotTable& slots, FontKind kind);
// Backslash + SlotCharOf(kind); empty for NONE.
std::string FontSwitchFor(const FontSlotTable& slots, FontKind kind);

}  // namespace pomvex
