// Reads the document header: the version line, the font declarations that fill the font slots,
// and the page settings. Every per-document setting is reset before a file is read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/document_state.h"
#include "base/text_input.h"

namespace pomvex {

void ClearFontSlots(DocumentState& doc);
void ResetDocumentState(DocumentState& doc);

// Reads the version line and the header; line receives the first line after the header (or the
// line read last when the input ended). Gives whether the input is a version-3 document.
bool ReadDocumentHeader(DocumentState& doc, TextInput& in, std::string& line);

// A header line holds the command "\U" (a font declaration) or "\p" (a page setting) anywhere.
// A literal backslash followed by U or p ("C:\\UTIL") makes no header line.
bool IsHeaderLine(std::string_view line);
bool CheckVersionLine(DocumentState& doc, TextInput& in);
void ApplyHeaderLine(DocumentState& doc, std::string_view line);
void DeclareFont(DocumentState& doc, std::string_view line);
void ReadDefaultTabs(DocumentState& doc, std::string_view line);
// The value of the first run of decimal digits; 0 when there is none. A value beyond the
// 32-bit range abandons the document.
std::int32_t FirstNumber(std::string_view line);

}  // namespace pomvex
