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
void TrimTrailingSpaces(std::string& text);

}  // namespace pomvex
