// A line group with problems as a report page shows it: the lines as ChiWriter laid them out,
// and what the RTF paragraph made of them reads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/problem_places.h"

namespace pomvex::report {

// The group's lines as HTML rows of a monospace grid, each column of the document in one
// column of the grid, so that the script lines stand over and under the main line where
// ChiWriter placed them: characters of the special fonts as the characters they draw, commands
// as commands (not carried out), hard spaces visible, and what each problem flags marked with
// its number (messages: the group's problems, in their order).
std::string GroupGridHtml(const GroupDetail& detail, const std::vector<std::string>& messages);

// What RTF text reads, as HTML: its characters, paragraphs and tabs, raised and lowered text as
// <sup> and <sub>, bold, italic and underline, footnote texts in brackets; other control words
// and destinations are left out.
std::string RtfTextHtml(std::string_view rtf);

}  // namespace pomvex::report
