// Footnote references, script runs, the page-number field and escaped spaces: the late steps
// of the line pipeline.
#pragma once

#include <string>

#include "base/document_state.h"

namespace pomvex {

// The mark printed for the footnote symbol ('!' to '9'): a digit, a symbol or a letter.
std::string FootnoteMark(Reporter& report, char symbol);
// Pipeline step 11.
void ConvertFootnoteRefs(DocumentState& doc, std::string& line);
// Pipeline step 12. halfPoints is the font size in force where the line starts.
void ConvertScriptMarkers(std::string& line, int halfPoints);
// Pipeline step 14.
void ConvertPageNumber(const DocumentState& doc, std::string& line);
// Pipeline step 15.
void RemoveSpaceEscapes(std::string& line);

}  // namespace pomvex
