// Writes the converted lines of a document's body: the paragraphs of a line drawing are set in
// the fixed-pitch face, and the body is closed with what its last group left open.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/document_state.h"
#include "base/text_sink.h"
#include "conversion/line_assembly.h"

namespace pomvex {

// A drawing is made of paragraphs of one line each. Those that draw with line-drawing
// characters are set in Courier New 10 pt, with lines exactly that high ("\sl-226\slmult0\f2\fs20"
// after the paragraph's words), and so are
// the paragraphs that stand between two of them (the labels and arrows of a diagram), unless an
// empty paragraph, a paragraph of several lines or more than kMaxBetween paragraphs stand
// between. The paragraph's group ends the face. Lines that may stand between are held until
// that is known.
class BodyWriter {
 public:
  static constexpr std::size_t kMaxBetween = 8;

  BodyWriter(const DocumentState& doc, TextSink& out) : doc_(doc), out_(out) {}
  // Writes the group's line with its line end (and the footnote texts it stands for), or holds
  // it; line is left empty.
  void Write(std::string& line, const FramedLine& framed);
  // Writes what is held and closes the body: an open paragraph is closed, and a body without a
  // paragraph gets an empty one ("{\pard\par}"). A page break that waits for a paragraph is left
  // out: no text follows it.
  void Close(const GroupFlow& flow);

 private:
  struct HeldLine {
    std::string text;
    std::size_t wordsEnd;
    bool paragraph;  // a paragraph of one line, set in the fixed-pitch face with the drawing
  };
  void Emit(std::string& line);
  void EmitHeld(bool inDrawing);
  void EmitPageBreak(bool textFollows);

  const DocumentState& doc_;
  TextSink& out_;
  bool afterDrawing_ = false;  // the last paragraph written or held belongs to a drawing
  bool paragraphs_ = false;    // a paragraph was written
  std::vector<HeldLine> held_;
  // A line that ends in a page break inside its paragraph, and the empty lines after it: held
  // until text follows the break, which is left out when none does.
  std::vector<std::string> pageBreak_;
};

}  // namespace pomvex
