// Footnote references, script runs, the page-number field and escaped spaces: the late steps
// of the line pipeline.
#pragma once

#include <string>
#include <string_view>

#include "base/document_state.h"
#include "base/text_sink.h"

namespace pomvex {

// The mark printed for the footnote symbol ('!' to '9'): a digit, a symbol or a letter.
std::string FootnoteMark(Reporter& report, char symbol);
// Pipeline step 11.
void ConvertFootnoteRefs(DocumentState& doc, std::string& line,
                         FootnoteInsertion insertion = FootnoteInsertion::InLine);
// Writes text (lines as the pipeline leaves them) to out, with the footnote texts in place of
// their markers.
void WriteWithFootnotes(const DocumentState& doc, std::string_view text, TextSink& out);
// Pipeline step 12. halfPoints is the font size in force where the line starts.
void ConvertScriptMarkers(std::string& line, int halfPoints);
// Pipeline step 14. The first page-number command may lie in the text of a footnote marker.
void ConvertPageNumber(DocumentState& doc, std::string& line);
// Pipeline step 15.
void RemoveSpaceEscapes(std::string& line);

}  // namespace pomvex
