// Font switches become RTF face, style and size words; the format in force in the output is
// carried from line to line so that only changes are written.
#pragma once

#include <string>
#include <string_view>

#include "base/document_state.h"
#include "base/font_kind.h"

namespace pomvex {

int FaceOf(FontKind kind);
int StyleOf(FontKind kind);
int SizeOf(FontKind kind);
int HalfPointsOf(int size);
// An old value that is no valid index stands for an unknown previous state.
std::string FaceCodes(int oldFace, int newFace);
std::string StyleCodes(int oldStyle, int newStyle);
std::string SizeCodes(int oldSize, int newSize);

bool ScriptOpensAhead(const FontSlotTable& slots, int pos, std::string_view line);
bool FollowsScriptEnd(int pos, std::string_view line);

// Pipeline step 4.
void ConvertFontSwitches(DocumentState& doc, std::string& line, bool startsParagraph);

}  // namespace pomvex
