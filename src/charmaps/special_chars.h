// Translation of text written in ChiWriter's special fonts (symbols, line drawing, mathematics,
// Greek, foreign letters) into RTF Unicode and code-page escapes.
#pragma once

#include <string>
#include <string_view>

#include "base/document_state.h"
#include "base/font_kind.h"

namespace pomvex {

// The six character tables. Each gives the RTF text for ch, or reports it (category 3) and
// gives ch itself.
std::string TranslateSymbolChar(Reporter& report, unsigned char ch);
std::string TranslateForeignChar(Reporter& report, unsigned char ch);
std::string TranslateGreekChar(Reporter& report, unsigned char ch);
std::string TranslateLinedrawChar(Reporter& report, unsigned char ch);
std::string TranslateMathIChar(Reporter& report, unsigned char ch);
std::string TranslateMathIIChar(Reporter& report, unsigned char ch);

// The RTF text for ch written in kind; ch itself outside the special fonts. A lone backslash
// result is doubled.
std::string TranslateSpecialChar(Reporter& report, unsigned char ch, FontKind kind);

// Appends run, written in kind, to out: translated character by character in the special
// fonts, unchanged in the others. Blanks and commands pass through, except that a command no
// step converts (TextShownCommands) is written as text; the argument character of "\F" and "\]"
// is kept; an escaped backslash is the font's own backslash character. A translated character
// that draws a line sets doc.LineDrawsLines.
void AppendFontRun(DocumentState& doc, std::string& out, std::string_view run, FontKind kind);

// Translates positions start..stop (1-based, inclusive; stop -1 = to the end) of line as text
// in kind. Returns the position of the first character after the run in the changed line, or 0
// when nothing follows it.
int TranslateFontRun(DocumentState& doc, std::string& line, FontKind kind, int start, int stop);

}  // namespace pomvex
