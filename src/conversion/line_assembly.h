// Turns the next line group of the input into one line of RTF: the per-group checks and
// rewrites, the merge of the script lines, the markup pipeline and the paragraph framing.
#pragma once

#include <string>

#include "base/document_state.h"
#include "base/font_kind.h"
#include "base/line_group.h"
#include "base/text_input.h"

namespace pomvex {

// The values a caller carries from one group to the next.
struct GroupFlow {
  bool linePending = false;       // slot 0 holds the next group's first line, read ahead
  bool paragraphEnded = true;     // the previous group closed its paragraph
  bool equalsSeen = false;        // this group carried "\=" (ends a section)
  FontKind fontCarry = STANDARD;  // font in force at the end of the previous group
};

// Reads and converts one group; line receives its RTF text (empty for a group without a main
// line, unless that group closes the open paragraph), to be written with WriteWithFootnotes.
void ConvertLineGroup(DocumentState& doc, TextInput& in, LineGroup& group, std::string& line,
                      GroupFlow& flow);

}  // namespace pomvex
