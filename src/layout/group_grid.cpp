#include "layout/group_grid.h"

#include "base/char_sets.h"
#include "base/columns.h"
#include "base/commands.h"
#include "fonts/font_switches.h"

namespace pomvex {

const GridLine* GroupGrid::AtLevel(int level) const {
  if (mainLine < 0) return nullptr;
  const int index = mainLine + level;
  return index >= 0 && index < static_cast<int>(lines.size()) ? &lines[index] : nullptr;
}

GridLine GridLineOf(const FontSlotTable& slots, std::string_view line, int slot, int level,
                    FontKind carry) {
  GridLine grid;
  grid.slot = slot;
  grid.level = level;
  grid.text = line;
  grid.cells.reserve(line.size());
  grid.columnCells.reserve(line.size());
  std::int32_t column = 1;
  FontKind font = carry;
  for (std::size_t i = 0; i < line.size(); i += PieceLength(line, i)) {
    GridCell cell;
    cell.index = i;
    cell.length = PieceLength(line, i);
    cell.command = cell.length == 2;
    cell.ch = cell.command ? line[i + 1] : line[i];
    cell.takesColumn = TakesColumn(line, i);
    cell.hardSpace = cell.command && cell.ch == ' ';
    if (cell.command && IsFontSwitch(slots, cell.ch)) {
      cell.fontSwitch = true;
      font = slots[cell.ch];
    }
    cell.font = font;
    cell.column = column;
    if (cell.takesColumn) {
      ++column;
      grid.columnCells.push_back(static_cast<std::uint32_t>(grid.cells.size()));
    }
    grid.cells.push_back(cell);
  }
  grid.columns = column - 1;
  return grid;
}

GroupGrid GridOf(const FontSlotTable& slots, const LineGroup& group, FontKind carry) {
  GroupGrid grid;
  const int main = group.mainIndex;
  grid.mainLine = main;
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    grid.lines.push_back(
        GridLineOf(slots, group.Lines[slot], slot, main >= 0 ? slot - main : slot, carry));
  }
  return grid;
}

}  // namespace pomvex
