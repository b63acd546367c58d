// Footnote references, script runs, the page-number field and escaped spaces: the late steps
// of the line pipeline.
#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

#include "base/document_state.h"
#include "base/text_sink.h"

namespace pomvex {

// The mark printed for the footnote symbol ('!' to '9'): a digit, a symbol or a letter.
std::string FootnoteMark(Reporter& report, char symbol);
// Each footnote reference ("\F" and a symbol) becomes the footnote's mark and an RTF footnote
// holding its text (pipeline step 11).
void ConvertFootnoteRefs(DocumentState& doc, std::string& line,
                         FootnoteInsertion insertion = FootnoteInsertion::InLine);
// Writes text (lines as the pipeline leaves them) to out, with the footnote texts in place of
// their markers.
void WriteWithFootnotes(const DocumentState& doc, std::string_view text, TextSink& out);
// The script runs ("\>" or "\<" ... "\:") become superscript and subscript groups (pipeline
// step 12). halfPoints is the font size in force where the line starts.
void ConvertScriptMarkers(std::string& line, int halfPoints);

// The rules of steps 11, 12 and 14 for one command each, as a pass over a line meets them (they
// are what the steps apply as they go through the line).
//
// Step 11: a reference "\F" whose symbol is as given (the character after it, a space when none
// follows), appended as its footnote (see ConvertFootnoteRefs; marking: its text may be left to
// WriteWithFootnotes); gives the number of characters it takes, the symbol's among them unless it
// is a bad one. active holds the symbols whose texts are being inserted around it.
std::size_t AppendReference(DocumentState& doc, char symbol, std::bitset<25>& active,
                            std::string& out, bool marking);
// Step 12: the groups of the script runs. The text between two markers is followed for its
// groups and size words; each marker appends the group it opens or closes.
class ScriptGroups {
 public:
  // Room for a few groups within each other is made at once.
  explicit ScriptGroups(int halfPoints) {
    frames_.reserve(8);
    frames_.push_back({0, halfPoints});
  }
  void Follow(std::string_view text);
  void Append(std::string& out, char marker);

 private:
  // A group open at a point of the line: the direction of the script run it belongs to ('>',
  // '<', or 0 outside any run) and the font size in force in it, in half-points.
  struct Frame {
    char direction;
    int halfPoints;
  };
  std::vector<Frame> frames_;
};
// Step 14: the page-number field, and the space after it, in the page-number font; and whether
// the footnote text whose marker character stands at text[at] holds the first page-number command,
// which the marker then says (for WriteWithFootnotes).
std::string PageNumberField(const DocumentState& doc);
bool MarkPageNumber(DocumentState& doc, std::string& text, std::size_t at);
// The character that stands for a footnote text written with the line, after a backslash.
inline constexpr char kFootnoteMarker = '\x1a';
// The first page-number command becomes a page-number field in the page-number font (pipeline
// step 14). The first page-number command may lie in the text of a footnote marker.
void ConvertPageNumber(DocumentState& doc, std::string& line);
// Every hard space becomes a plain space (pipeline step 15).
void RemoveSpaceEscapes(std::string& line);

}  // namespace pomvex
