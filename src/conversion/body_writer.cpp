// The paragraphs of a line drawing in the fixed-pitch face, and the end of the body.
#include "conversion/body_writer.h"

#include <string_view>

#include "base/commands.h"
#include "fonts/footnotes_scripts.h"

namespace pomvex {

namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::string_view kPage = "\\page";
// A drawing's paragraph: lines exactly as high as Courier New at 10 points, so that the strokes
// of one line meet those of the next, in that face (font 2 of the prolog).
constexpr std::string_view kDrawingFace = "\\sl-226\\slmult0\\f2\\fs20";

}  // namespace

inline void BodyWriter::Emit(std::string& line) {
  line += kEol;
  WriteWithFootnotes(doc_, line, out_);
  line.clear();
}

void BodyWriter::EmitHeld(bool inDrawing) {
  for (HeldLine& h : held_) {
    if (inDrawing && h.paragraph) h.text.insert(h.wordsEnd, kDrawingFace);
    Emit(h.text);
  }
  held_.clear();
}

// Writes the held line that ends in a page break, with the break when text follows it.
void BodyWriter::EmitPageBreak(bool textFollows) {
  if (pageBreak_.empty()) return;
  if (!textFollows) pageBreak_.front().resize(pageBreak_.front().size() - kPage.size());
  for (std::string& held : pageBreak_) Emit(held);
  pageBreak_.clear();
}

void BodyWriter::Write(std::string& line, const FramedLine& framed) {
  // A page break at the end of a line within a paragraph waits for text after it.
  if (!pageBreak_.empty()) {
    if (!framed.holdsText) {  // an empty line, or the end of the paragraph
      paragraphs_ = paragraphs_ || framed.opensParagraph;
      pageBreak_.push_back(std::move(line));
      line.clear();
      return;
    }
    EmitPageBreak(/*textFollows=*/true);
  }
  if (!framed.endsParagraph && !afterDrawing_ && line.ends_with(kPage) &&
      BeginsCommand(line, line.size() - kPage.size())) {
    paragraphs_ = paragraphs_ || framed.opensParagraph;
    pageBreak_.push_back(std::move(line));
    line.clear();
    return;
  }
  paragraphs_ = paragraphs_ || framed.opensParagraph;
  const bool oneLine = framed.opensParagraph && framed.endsParagraph;
  if (oneLine && framed.drawsLines) {
    EmitHeld(afterDrawing_);
    line.insert(framed.wordsEnd, kDrawingFace);
    Emit(line);
    afterDrawing_ = true;
    return;
  }
  // Lines are held only after a drawing.
  if (afterDrawing_) {
    // A line that may still stand inside the drawing: a paragraph of one line with text, or the
    // empty line of a group that wrote nothing.
    const bool between = (oneLine && framed.holdsText) || line.empty();
    if (between && held_.size() < kMaxBetween) {
      held_.push_back({std::move(line), framed.wordsEnd, oneLine});
      line.clear();
      return;
    }
    EmitHeld(false);
    afterDrawing_ = false;
  }
  Emit(line);
}

void BodyWriter::Close(const GroupFlow& flow) {
  EmitHeld(false);
  EmitPageBreak(/*textFollows=*/false);
  // A page break that waits for a paragraph has no text after it: it is left out, so that no
  // reader prints an empty last page.
  std::string end;
  if (!flow.paragraphEnded) end += "\\par}";
  if (!paragraphs_) end += "{\\pard\\par}";
  out_.Write(end);
}

}  // namespace pomvex
