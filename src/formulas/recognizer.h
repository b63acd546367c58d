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
  std::vector<Formula> formulas;  // in the main line's order, apart from each other
  // For each line of the grid, for each of its cells: the cell is in a formula.
  std::vector<std::vector<bool>> taken;
  bool Empty() const { return formulas.empty(); }
};

GroupFormulas RecognizeFormulas(const GroupGrid& grid);

}  // namespace pomvex::formulas
