// Font switches: a backslash followed by a slot character whose slot holds a font. These
// helpers find switches in a line, tell the font in force at a point and write new switches.
// Switches are looked for at every backslash, also the second of a literal one.
#pragma once

#include <string>
#include <string_view>

#include "base/char_sets.h"
#include "base/commands.h"
#include "base/document_state.h"
#include "base/font_kind.h"

namespace pomvex {

// c, read after a backslash, makes a font switch.
inline bool IsFontSwitch(const FontSlotTable& slots, char c) {
  return SlotChars.Contains(c) && slots[c] != NONE;
}
// A font switch begins at index i.
inline bool IsFontSwitchAt(const FontSlotTable& slots, std::string_view line, std::size_t i) {
  return i + 1 < line.size() && line[i] == kBackslash && IsFontSwitch(slots, line[i + 1]);
}
// The kind of the switch that begins at i.
inline FontKind SwitchKindAt(const FontSlotTable& slots, std::string_view line, std::size_t i) {
  return slots[line[i + 1]];
}
// Index of the first font switch at or after from; kNoIndex when there is none.
inline std::size_t NextFontSwitch(const FontSlotTable& slots, std::string_view line,
                                  std::size_t from) {
  for (std::size_t i = NextBackslash(line, from); i + 1 < line.size();
       i = NextBackslash(line, i + 1)) {
    if (IsFontSwitch(slots, line[i + 1])) return i;
  }
  return kNoIndex;
}
FontKind FirstFontKind(const FontSlotTable& slots, std::string_view line);
FontKind LastFontKind(const FontSlotTable& slots, FontKind fallback, std::string_view line);
// The highest slot character holding kind; '1' when no slot holds it.
inline char SlotCharOf(const FontSlotTable& slots, FontKind kind) {
  const char found = slots.HighestSlotOf(kind);
  return found != '\0' ? found : '1';
}
// Backslash + SlotCharOf(kind); empty for NONE.
std::string FontSwitchFor(const FontSlotTable& slots, FontKind kind);

}  // namespace pomvex
