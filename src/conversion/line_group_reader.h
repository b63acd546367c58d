// Reads the next line group: the superscript lines, the main line and the subscript lines of
// one printed line. The first line of the next group is read ahead and left after the group.
#pragma once

#include <string_view>

#include "base/document_state.h"
#include "base/line_group.h"
#include "base/text_input.h"

namespace pomvex {

struct LineKind {
  bool subscript = false;
  bool superscript = false;
  bool main = false;
  bool equals = false;
  bool pageEnd = false;
};

LineKind ClassifyLine(std::string_view line);

// On entry linePending says whether slot 0 already holds the group's first line; on return it
// says whether slot lastIndex + 1 holds a line read ahead for the next group. A group that
// would need a 202nd slot abandons the document.
void ReadLineGroup(Reporter& report, TextInput& in, LineGroup& group, bool& linePending);

}  // namespace pomvex
