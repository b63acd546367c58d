// Merges superscript and subscript lines into the main line by column: each run of script
// characters replaces the hard spaces under (or over) it, wrapped in "\>" or "\<" and "\:".
#pragma once

#include <string>
#include <string_view>

#include "base/document_state.h"
#include "base/font_kind.h"
#include "base/line_group.h"

namespace pomvex {

// Reports (category 5) every line of the group that is neither the main line nor next to it,
// unless it holds nothing but line codes.
void CheckExtraScriptLines(Reporter& report, const LineGroup& group);
// Starts every line of the group with the switch to the font in force at the end of the line
// before it; fontCarry holds that font from line to line and from group to group.
void CarryFontAcrossLines(const FontSlotTable& slots, LineGroup& group, FontKind& fontCarry);
// In the script lines, every switch to SMALL after the first character becomes one to STANDARD.
void NormaliseScriptFonts(const FontSlotTable& slots, LineGroup& group);
// The main line with the superscript line (above it) and then the subscript line (below it)
// merged in. Empty when the group has no main line.
std::string MergeScriptLines(DocumentState& doc, const LineGroup& group);
// Merges one script line into work; marker is "\>" or "\<". Runs that find no hard spaces to
// take their place are reported (category 6) and left out; the main line is never cut.
std::string MergeScriptLine(DocumentState& doc, std::string_view marker, std::string_view script,
                            std::string_view work);
// On entry start is the position before which the search begins (the search starts at
// start + 1); on return start is the segment's first position and end the position after it
// (end 0 when no segment was found).
void FindScriptSegment(std::string_view line, int& start, int& end);
// Number of columns the segment takes.
int SegmentWidth(std::string_view segment);
// Column of the character at pos (from 1); 0 when pos lies outside the line.
int ColumnOfPosition(int pos, std::string_view line);
// Position of the character (or command) that occupies column col, past any zero-width commands
// before it; length + 1 when the line has fewer columns.
int PositionOfColumn(int col, std::string_view line);
// True when each of the width columns from pos on holds a hard space or lies beyond the end.
bool HasHardSpaceRoom(std::string_view line, int pos, int width);

// ColumnOfPosition for a series of positions that never go down, in one walk over the line.
// A position lower than the one before starts the walk again.
class ColumnCounter {
 public:
  explicit ColumnCounter(std::string_view line) : line_(line) {}
  int ColumnOf(int pos);

 private:
  std::string_view line_;
  int lastPos_ = 0;
  int i_ = 1;       // the walk has passed the positions before i_
  int column_ = 1;  // column of position i_
};

// PositionOfColumn for a series of columns that never go down, in one walk over the line.
class ColumnLocator {
 public:
  explicit ColumnLocator(std::string_view line) : line_(line) {}
  int PositionOf(int col);

 private:
  std::string_view line_;
  int i_ = 1;        // next position to look at
  int columns_ = 0;  // columns taken by the characters before i_
};

}  // namespace pomvex
