// Tab marks: their columns are measured on the ChiWriter text (step 2) and they become RTF tabs
// with stops at those columns (step 9).
#pragma once

#include <string>

#include "base/document_state.h"

namespace pomvex {

// Records the column of every tab mark ("\[", "\]") in doc.TabColumns, before anything else
// changes the columns, and marks the text aligned on a right or decimal tab with "\R" or "\D"
// and its end with "\X" (pipeline step 2).
void FindTabStops(DocumentState& doc, std::string& line);
// Writes "\tab " at each tab mark (pipeline step 9); the stop words ("\tx" and the position, with
// "\tqr" or "\tqdec" in front for right and decimal tabs) are appended to tabStops, in the
// order of the marks, for the paragraph properties.
void WriteTabStops(DocumentState& doc, std::string& line, std::string& tabStops);
// Appends the words of a right tab stop at the right edge of the text area ("\tqr\tx" and the
// position), with a line as its leader ("\tlul") for a rule: the stop of a line's right part and
// of a rule.
void AppendMarginStop(const DocumentSettings& settings, std::string& tabStops, bool ruled);
void TrimTrailingSpaces(std::string& text);

}  // namespace pomvex
