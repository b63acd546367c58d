// Turns the next line group of the input into one line of RTF: the per-group checks and
// rewrites, the merge of the script lines, the markup pipeline and the paragraph framing.
#pragma once

#include <cstddef>
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
  bool pageBreakPending = false;  // a page break after a closed paragraph waits for the next one
  FontKind fontCarry = STANDARD;  // font in force at the end of the previous group
};

// What a group's line holds besides its text.
struct FramedLine {
  bool opensParagraph = false;  // the line opens a paragraph ...
  std::size_t wordsEnd = 0;     // ... whose words ("{\pard", "\qj", ...) end at this index
  bool endsParagraph = false;   // the line closes its paragraph
  bool holdsText = false;       // the line has text of its own (what the pipeline gave)
  bool drawsLines = false;      // a character of the text is a piece of a line drawing
};

// Reads and converts one group; line receives its RTF text (empty for a group without a main
// line, unless that group closes the open paragraph), to be written with WriteWithFootnotes. A
// page break after a paragraph that closes is written at the start of the next paragraph's
// text, after its words ("\page"), so that the paragraph keeps its alignment in every reader;
// one that no paragraph follows stays pending in flow.
FramedLine ConvertLineGroup(DocumentState& doc, TextInput& in, LineGroup& group, std::string& line,
                            GroupFlow& flow);

}  // namespace pomvex
