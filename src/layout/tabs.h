// Tab marks: their columns are measured on the ChiWriter text (step 2) and they become RTF tabs
// with stops at those columns (step 9).
#pragma once

#include <string>

#include "base/document_state.h"

namespace pomvex {

// Pipeline step 2.
void FindTabStops(DocumentState& doc, std::string& line);
// Pipeline step 9. Writes "\tab " at each mark; the stop words ("\tx" and the position, with
// "\tqr" or "\tqdec" in front for right and decimal tabs) are appended to tabStops, in the
// order of the marks, for the paragraph properties.
void WriteTabStops(DocumentState& doc, std::string& line, std::string& tabStops);
void TrimTrailingSpaces(std::string& text);

}  // namespace pomvex
