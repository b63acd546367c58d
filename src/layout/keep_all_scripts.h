// The merge that keeps every script run (pomvex-cli --keep-all-scripts). Lines further from the
// main line are merged into the line next to them first, as its runs, one level at a time; a run
// that finds no room where it belongs is written at its column all the same and reported.
#pragma once

#include <string>

#include "base/document_state.h"
#include "base/line_group.h"

namespace pomvex {

// The main line with every superscript and subscript line of the group merged in. Empty when
// the group has no main line.
std::string MergeAllScriptLines(DocumentState& doc, const LineGroup& group);
// The script lines of a group without a main line merged into an empty one that stands after
// the first `above` lines of the group.
std::string MergeAllScriptLines(DocumentState& doc, const LineGroup& group, int above);

}  // namespace pomvex
