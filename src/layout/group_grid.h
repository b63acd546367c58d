// A line group as a grid: every line as pieces (characters and commands) standing in columns,
// by the column rules the merges of script lines use (base/columns.h), each with its line's
// level above or below the main line and the font in force. What reads a group's layout (the
// formulas, the problem report's drawing) reads it here, so that it agrees with the merges.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/document_state.h"
#include "base/font_kind.h"
#include "base/line_group.h"

namespace pomvex {

// Plain data, made only by GridLineOf (in bulk, so without initializers).
struct GridCell {
  std::size_t index;  // where the piece begins in its line
  // The column the piece takes, from 1; a piece that takes none (a font switch, a line code, a
  // marker) stands in the column of the piece after it.
  std::int32_t column;
  FontKind font;  // the font in force for the piece (a switch: the font it switches to)
  char ch;        // the character, or a command's character
  bool takesColumn;
  bool command;
  bool hardSpace;
  bool fontSwitch;
  // 2 for a command, 1 for a character (or a lone backslash).
  std::size_t Length() const { return command ? 2 : 1; }
  // A blank: a space, or a hard space.
  bool Blank() const { return (!command && ch == ' ') || hardSpace; }
  // Text that prints: a character that is no blank.
  bool Printing() const { return !command && ch != ' '; }
};

struct GridLine {
  int slot = 0;   // the line's slot in its group
  int level = 0;  // above the main line negative, below it positive; the main line 0
  std::string_view text;
  std::vector<GridCell> cells;
  std::int32_t columns = 0;  // the columns the line takes
  // For each column from 1, the index of the cell that takes it.
  std::vector<std::uint32_t> columnCells;
  // The cell that takes column, or nullptr.
  const GridCell* At(std::int32_t column) const {
    return column >= 1 && column <= columns ? &cells[columnCells[column - 1]] : nullptr;
  }
};

struct GroupGrid {
  std::vector<GridLine> lines;  // in the group's order, top to bottom
  int mainLine = -1;            // index in lines of the main line; -1 for none
  // The line at level (relative to the main line), or nullptr.
  const GridLine* AtLevel(int level) const {
    const int index = mainLine + level;
    return mainLine >= 0 && index >= 0 && index < static_cast<int>(lines.size()) ? &lines[index]
                                                                                 : nullptr;
  }
};

// The grid of the group's lines as they stand. carry is the font in force before each line's
// first switch (the lines of a prepared group begin with the switch to the font carried in).
GroupGrid GridOf(const FontSlotTable& slots, const LineGroup& group, FontKind carry = NONE);
// The cells of one line.
GridLine GridLineOf(const FontSlotTable& slots, std::string_view line, int slot, int level,
                    FontKind carry);

}  // namespace pomvex
