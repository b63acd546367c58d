// Font switches become RTF face, style and size words; the format in force in the output is
// carried from line to line so that only changes are written.
#pragma once

#include <string>
#include <string_view>

#include "base/commands.h"
#include "base/document_state.h"
#include "base/font_kind.h"

namespace pomvex {

int FaceOf(FontKind kind);
int StyleOf(FontKind kind);
int SizeOf(FontKind kind);
int HalfPointsOf(int size);
// An old value that is no valid index stands for an unknown previous state: the new value's
// code is written and nothing is switched off.
std::string FaceCodes(int oldFace, int newFace);
std::string StyleCodes(int oldStyle, int newStyle);
std::string SizeCodes(int oldSize, int newSize);

// The text ends in the script-run end "\:".
inline bool FollowsScriptEnd(std::string_view text) {
  // The backslash must begin a command: after a literal backslash ("\\:") it is text.
  return text.size() >= 2 && text.back() == ':' && text[text.size() - 2] == kBackslash &&
         BeginsCommand(text, text.size() - 2);
}

// Replaces every font switch by the RTF words that change the face, style and size in force
// to those of its font, and has the text in a special font translated (pipeline step 4).
void ConvertFontSwitches(DocumentState& doc, std::string& line, bool startsParagraph);
// Steps 3 and 4 in one pass over the line's switches: as each switch to an inheriting font is
// converted, the text font AnchorInheritingFonts would put in front of it is taken with it. The
// RTF is that of AnchorInheritingFonts followed by ConvertFontSwitches.
void AnchorAndConvertFontSwitches(DocumentState& doc, std::string& line, bool startsParagraph);

}  // namespace pomvex
