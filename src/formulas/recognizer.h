// Reads the two-dimensional mathematics of a line group from its grid: stacked fractions, big
// operators with their limits, stacked and nested scripts, limits under "lim" and its kin, square
// roots with their overline. What it reads becomes formulas; the rest of the group is merged as
// without them. A layout it cannot read with certainty gives no formula at all, so that nothing
// the standard merge keeps is lost.
#pragma once

#include <vector>

#include "formulas/formula.h"
#include "layout/group_grid.h"

namespace pomvex::formulas {

struct GroupFormulas {
  GroupGrid grid;  // the group's grid, which the formulas' columns and taken cells refer to
  std::vector<Formula> formulas;  // in the main line's order, apart from each other
  // For each line of the grid, for each of its cells: the cell is in a formula.
  std::vector<std::vector<bool>> taken;
  bool Empty() const { return formulas.empty(); }
};

// The formulas of the group's lines. carry is the font in force before each line's first switch,
// as for the group's grid. A first look at the lines finds where a formula could stand; only a
// group with such a place has its grid drawn and read.
GroupFormulas RecognizeFormulas(const FontSlotTable& slots, const LineGroup& group,
                                FontKind carry = NONE);

}  // namespace pomvex::formulas
