#include "fonts/font_switches.h"

namespace pomvex {

FontKind FirstFontKind(const FontSlotTable& slots, std::string_view line) {
  const std::size_t at = NextFontSwitch(slots, line, 0);
  return at != kNoIndex ? SwitchKindAt(slots, line, at) : NONE;
}

FontKind LastFontKind(const FontSlotTable& slots, FontKind fallback, std::string_view line) {
  // Scanning backwards finds the same switch as a forward scan: a slot character is never a
  // backslash, so switches cannot overlap.
  for (std::size_t i = line.size(); i >= 2; --i) {
    if (line[i - 2] == kBackslash && IsFontSwitch(slots, line[i - 1])) return slots[line[i - 1]];
  }
  return fallback;
}

std::string FontSwitchFor(const FontSlotTable& slots, FontKind kind) {
  std::string text;
  AppendFontSwitch(text, slots, kind);
  return text;
}

}  // namespace pomvex
