// Translation of text written in ChiWriter's special fonts (symbols, line drawing, mathematics,
// Greek, foreign letters) into RTF Unicode and code-page escapes.
#pragma once

#include <string>
#include <string_view>

#include "base/document_state.h"
#include "base/font_kind.h"

namespace pomvex {

// The RTF text of ch in the SYMBOL font (the footnote marks take theirs from it), or ch itself
// with a report (category 3) when the font has no such character.
std::string TranslateSymbolChar(Reporter& report, unsigned char ch);

// The RTF text for ch written in kind; ch itself outside the special fonts. A lone backslash
// result is doubled.
std::string TranslateSpecialChar(Reporter& report, unsigned char ch, FontKind kind);

// Appends run, written in kind, to out: translated character by character in the special
// fonts, unchanged in the others. Blanks and commands pass through, except that a command no
// step converts (TextShownCommands) is written as text and a switch to an empty font slot is
// left out; the argument character of "\F" and "\]"
// is kept; an escaped backslash is the font's own backslash character. A translated character
// that draws a line sets doc.LineDrawsLines.
void AppendFontRun(DocumentState& doc, std::string& out, std::string_view run, FontKind kind);
// The characters that ch written in kind stands for in a formula: a special font's as its table
// gives them (none for a character it cannot show), any other font's character itself (read as
// the ANSI code page above 127).
struct FormulaChars {
  char32_t code[2] = {0, 0};
  int count = 0;
};
FormulaChars FormulaCharsOf(unsigned char ch, FontKind kind);

// The commands AppendFontRun does not pass through as they are: those written as text, and the
// switches to the document's empty font slots, which it leaves out.
inline CharSet CommandsShownAsText(const DocumentState& doc) {
  return TextShownCommands.Union(doc.FontSlots.EmptySlots());
}

}  // namespace pomvex
