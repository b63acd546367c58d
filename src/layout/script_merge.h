// Merges superscript and subscript lines into the main line by column: each run of script
// characters replaces the hard spaces under (or over) it, wrapped in "\>" or "\<" and "\:".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/document_state.h"
#include "base/font_kind.h"
#include "base/line_group.h"
#include "fonts/font_switches.h"

namespace pomvex {

// Reports (category 5) every line of the group that is neither the main line nor next to it,
// unless it holds nothing but line codes.
void CheckExtraScriptLines(Reporter& report, const LineGroup& group);
// The lines CheckExtraScriptLines reports, as they stand with their slots, and its report of one.
struct UnprocessedLine {
  int slot;
  std::string text;
};
std::vector<UnprocessedLine> UnprocessedScriptLines(const LineGroup& group);
void ReportUnprocessedScriptLine(Reporter& report, const UnprocessedLine& line);
// Starts every line of the group with the switch to the font in force at the end of the line
// before it; fontCarry holds that font from line to line and from group to group.
void CarryFontAcrossLines(const FontSlotTable& slots, LineGroup& group, FontKind& fontCarry);
// The same for one line whose last font switch is of the kind lastSwitch (NONE for none), in its
// two halves: the switches to fontCarry put in front of the line, and the font in force at the
// end of the line with them.
void CarryFontInto(const FontSlotTable& slots, std::string& line, FontKind& fontCarry,
                   FontKind lastSwitch);
void PutCarriedFont(const FontSlotTable& slots, std::string& line, FontKind fontCarry);
// The font in force after the switches PutCarriedFont puts in front of a line.
FontKind FontOfCarriedSwitches(const FontSlotTable& slots, FontKind fontCarry);
inline FontKind FontCarriedOn(const FontSlotTable& slots, FontKind fontCarry, FontKind lastSwitch) {
  return lastSwitch != NONE ? lastSwitch : FontOfCarriedSwitches(slots, fontCarry);
}
// The switches PutCarriedFont puts in front of a line (none for NONE), written into text:
// FOREIGN and GREEK take their style from the font before them, so a STANDARD switch goes first.
inline std::string_view CarriedFontSwitches(const FontSlotTable& slots, FontKind fontCarry,
                                            char (&text)[4]) {
  if (fontCarry == NONE) return {};
  std::size_t length = 0;
  if (InheritingFonts.Contains(fontCarry)) {
    text[length++] = kBackslash;
    text[length++] = SlotCharOf(slots, STANDARD);
  }
  text[length++] = kBackslash;
  text[length++] = SlotCharOf(slots, fontCarry);
  return {text, length};
}
// In the script lines, every switch to SMALL after the first character becomes one to STANDARD.
void NormaliseScriptFonts(const FontSlotTable& slots, LineGroup& group);
// The main line with the superscript line (above it) and then the subscript line (below it)
// merged in, into merged, whose buffer is kept; empty when the group has no main line.
// doc.Spare holds the line between the two merges.
void MergeScriptLines(DocumentState& doc, const LineGroup& group, std::string& merged);
// Merges one script line into work, into result, whose buffer is kept (work does not lie in it);
// marker is "\>" or "\<". Runs that find no hard spaces to take their place are reported
// (category 6) and left out; the main line is never cut.
void MergeScriptLine(DocumentState& doc, std::string_view marker, std::string_view script,
                     std::string_view work, std::string& result);
// True when each of the width columns from index at on holds a hard space or lies beyond the
// end of the line.
bool HasHardSpaceRoom(std::string_view line, std::size_t at, std::int32_t width);

}  // namespace pomvex
