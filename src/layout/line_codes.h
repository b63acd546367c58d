// The codes that say what kind of line a line is and how it ends, the check of every command
// against ChiWriter's own, and the space that joins the lines of one paragraph.
#pragma once

#include "base/document_state.h"
#include "base/line_group.h"

namespace pomvex {

struct LineControls {
  bool pageBreak = false;
  bool paragraphEnd = false;
  bool equalsSeen = false;
};

// Reports unknown commands (category 2) and lines ending in a lone backslash (category 1).
void CheckCommands(Reporter& report, const LineGroup& group);
// Removes the line-type and line-end codes from every line of the group; gives the flags.
LineControls StripLineControls(LineGroup& group);
// Appends one space to the main line when the paragraph goes on in the next group.
void AddJoiningSpace(LineGroup& group, const LineControls& controls);

}  // namespace pomvex
