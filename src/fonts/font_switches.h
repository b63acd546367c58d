// Font switches: a backslash followed by a slot character whose slot holds a font. These
// helpers find switches in a line, tell the font in force at a point and write new switches.
// Switches are looked for at every backslash, also the second of a literal one.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>
#include <string>
#include <string_view>

#include "base/char_sets.h"
#include "base/commands.h"
#include "base/document_state.h"
#include "base/font_kind.h"

namespace pomvex {

// c, read after a backslash, makes a font switch.
inline bool IsFontSwitch(const FontSlotTable& slots, char c) {
  return slots.SwitchKindOf(c) != NONE;
}
// A font switch begins at index i.
inline bool IsFontSwitchAt(const FontSlotTable& slots, std::string_view line, std::size_t i) {
  return i + 1 < line.size() && line[i] == kBackslash && IsFontSwitch(slots, line[i + 1]);
}
// The kind of the switch that begins at i.
inline FontKind SwitchKindAt(const FontSlotTable& slots, std::string_view line, std::size_t i) {
  return slots.SwitchKindOf(line[i + 1]);
}
// Index of the first font switch at or after from; kNoIndex when there is none. Hard spaces and
// other commands stand between the switches: where the processor can (SSE2), sixteen places are
// tested at a time for a backslash followed by a slot character, and only those are looked up.
inline std::size_t NextFontSwitch(const FontSlotTable& slots, std::string_view line,
                                  std::size_t from) {
  std::size_t i = from;
#if defined(__SSE2__)
  const __m128i backslashes = _mm_set1_epi8(kBackslash);
  // Slot characters: '!' to '$' and '0' to '9', each range tested as an unsigned distance.
  const __m128i marks = _mm_set1_epi8('!');
  const __m128i digits = _mm_set1_epi8('0');
  const __m128i marksWidth = _mm_set1_epi8('$' - '!');
  const __m128i digitsWidth = _mm_set1_epi8('9' - '0');
  auto within = [](__m128i distance, __m128i width) {
    return _mm_cmpeq_epi8(_mm_min_epu8(distance, width), distance);
  };
  for (; i + 17 <= line.size(); i += 16) {
    const auto* at = reinterpret_cast<const __m128i*>(line.data() + i);
    const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + i + 1));
    const __m128i slot = _mm_or_si128(within(_mm_sub_epi8(after, marks), marksWidth),
                                      within(_mm_sub_epi8(after, digits), digitsWidth));
    auto found = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(at), backslashes), slot)));
    for (; found != 0; found &= found - 1) {
      const std::size_t q = i + static_cast<std::size_t>(std::countr_zero(found));
      if (IsFontSwitch(slots, line[q + 1])) return q;
    }
  }
#endif
  for (i = NextBackslash(line, i); i + 1 < line.size(); i = NextBackslash(line, i + 1)) {
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
// Appends FontSwitchFor(slots, kind) to out.
inline void AppendFontSwitch(std::string& out, const FontSlotTable& slots, FontKind kind) {
  if (kind == NONE) return;
  const char fontSwitch[2] = {kBackslash, SlotCharOf(slots, kind)};
  out.append(fontSwitch, 2);
}

}  // namespace pomvex
