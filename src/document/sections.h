// The page header, footer, separator and footnote sections that open the body. Headers and
// footers become RTF destinations; footnote texts are kept for the references in the body.
#pragma once

#include <string>
#include <string_view>

#include "base/document_state.h"
#include "base/line_group.h"
#include "base/text_input.h"

namespace pomvex {

bool IsSectionMarker(Reporter& report, std::string_view marker);
bool IsFootnoteMarker(std::string_view marker);
// The destination word of a section marker ("\header ", "\footerf ", "\*\separator ", ...).
std::string SectionDestination(std::string_view marker);

// Converts the sections that follow the header, starting with line (as the header reader left
// it). Header and footer groups are appended to out. On return linePending says whether slot 0
// of the group holds the first body line.
void ConvertHeaderFooterSections(DocumentState& doc, TextInput& in, LineGroup& group,
                                 std::string line, std::string& out, bool& linePending);

}  // namespace pomvex
