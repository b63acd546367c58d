#include "fonts/font_switches.h"

#include <algorithm>

#include "base/char_sets.h"
#include "base/text_util.h"

namespace pomvex {

int NextFontSwitch(const FontSlotTable& slots, int start, std::string_view line) {
  if (start < 0) start = 0;
  const std::size_t n = line.size();
  // Every backslash is looked at, also one that follows another.
  for (std::size_t i = NextBackslash(line, static_cast<std::size_t>(start)); i + 1 < n;
       i = NextBackslash(line, i + 1)) {
    if (IsFontSwitch(slots, line[i + 1])) return static_cast<int>(i) + 1;
  }
  return 0;
}

int FindSwitchTo(const FontSlotTable& slots, FontKind kind, int start, std::string_view line) {
  for (int p = NextFontSwitch(slots, start, line); p > 0; p = NextFontSwitch(slots, p, line)) {
    if (slots[line[p]] == kind) return p;
  }
  return 0;
}

FontKind FirstFontKind(const FontSlotTable& slots, std::string_view line) {
  int p = NextFontSwitch(slots, 0, line);
  return p > 0 ? slots[line[p]] : NONE;
}

FontKind LastFontKind(const FontSlotTable& slots, FontKind fallback, std::string_view line) {
  // Scanning backwards finds the same switch as a forward scan: a slot character is never a
  // backslash, so switches cannot overlap.
  for (int i = Length(line) - 1; i >= 1; --i) {
    if (line[i - 1] == '\\' && IsFontSwitch(slots, line[i])) return slots[line[i]];
  }
  return fallback;
}

FontKind FontKindBefore(const FontSlotTable& slots, std::string_view line, int pos) {
  const int limit = std::min(pos - 1, Length(line) - 1);
  for (int i = limit; i >= 1; --i) {
    if (line[i - 1] == '\\' && IsFontSwitch(slots, line[i])) return slots[line[i]];
  }
  return NONE;
}

char SlotCharOf(const FontSlotTable& slots, FontKind kind) {
  const char found = slots.HighestSlotOf(kind);
  return found != '\0' ? found : '1';
}

std::string FontSwitchFor(const FontSlotTable& slots, FontKind kind) {
  if (kind == NONE) return {};
  return std::string{'\\', SlotCharOf(slots, kind)};
}

}  // namespace pomvex
