#include "layout/group_grid.h"

#include "base/char_sets.h"
#include "base/columns.h"
#include "base/commands.h"
#include "fonts/font_switches.h"

namespace pomvex {

GridLine GridLineOf(const FontSlotTable& slots, std::string_view line, int slot, int level,
                    FontKind carry) {
  GridLine grid;
  grid.slot = slot;
  grid.level = level;
  grid.text = line;
  // Every piece is at least one character long: room for all of them, cut back at the end.
  grid.cells.resize(line.size());
  grid.columnCells.resize(line.size());
  GridCell* cells = grid.cells.data();
  std::uint32_t* takers = grid.columnCells.data();
  std::uint32_t count = 0, taking = 0;
  std::int32_t column = 1;
  FontKind font = carry;
  PieceWalker walker(line);
  for (LinePiece piece; walker.Next(piece);) {
    const FontKind kind = piece.command ? slots.SwitchKindOf(piece.ch) : NONE;
    if (kind != NONE) font = kind;
    cells[count] = {.index = piece.index,
                    .column = column,
                    .font = font,
                    .ch = piece.ch,
                    .takesColumn = piece.takesColumn,
                    .command = piece.command,
                    .hardSpace = piece.command && piece.ch == ' ',
                    .fontSwitch = kind != NONE};
    if (piece.takesColumn) {
      takers[taking++] = count;
      ++column;
    }
    ++count;
  }
  grid.cells.resize(count);
  grid.columnCells.resize(taking);
  grid.columns = column - 1;
  return grid;
}

GroupGrid GridOf(const FontSlotTable& slots, const LineGroup& group, FontKind carry) {
  GroupGrid grid;
  const int main = group.mainIndex;
  grid.mainLine = main;
  grid.lines.reserve(static_cast<std::size_t>(group.lastIndex + 1));
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    grid.lines.push_back(
        GridLineOf(slots, group.Lines[slot], slot, main >= 0 ? slot - main : slot, carry));
  }
  return grid;
}

}  // namespace pomvex
