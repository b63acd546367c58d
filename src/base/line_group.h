// The line group: the superscript lines, the main line and the subscript lines of one printed
// line, as consecutive slots of one array.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace pomvex {

struct LineGroup {
  static constexpr int kSlots = 201;  // slots 0 to 200

  std::array<std::string, kSlots> Lines;
  int mainIndex = -1;    // -1 when the group has no main line
  int lastIndex = -1;    // -1 for an empty group
  int highestRead = -1;  // the highest slot that may still hold the buffer of a long line
  // The group's last line holds a form feed (only the last can: a form feed ends the group), as
  // the reader found when it read the group.
  bool endsInPageEnd = false;
  // Whether the line read ahead, left after the group, holds a form feed, as the reader found
  // when it read the line; unknown (it is looked for) when the line was put there otherwise.
  std::optional<bool> aheadHoldsFormFeed;
};

}  // namespace pomvex
