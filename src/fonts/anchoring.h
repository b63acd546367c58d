// Greek and foreign letters take the style and size of the word they belong to: a switch to
// that word's text font is put in front of each switch to an inheriting font.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/document_state.h"
#include "base/font_kind.h"

namespace pomvex {

// What the step asks about the switch at index q: the text font of the word that ends there,
// that of the first text-font letter after it (none when a layout command or marker comes
// first), and the widths of the blanks before it and after it (with the first text font of a
// switch after it).
FontKind TextFontOfWordAt(const FontSlotTable& slots, std::string_view line, std::size_t q,
                          FontKind startKind);
FontKind TextFontAhead(const FontSlotTable& slots, std::string_view line, std::size_t q);
int BlanksBefore(const FontSlotTable& slots, std::string_view line, std::size_t q);
struct BlanksAhead {
  int width;
  FontKind textFont;
};
BlanksAhead BlanksAfter(const FontSlotTable& slots, std::string_view line, std::size_t q);

namespace anchoring {

// Scans a line from its start, a backslash and the character after it taken together, and
// keeps what TextFontOfWordAt and BlanksBefore need about the text scanned so far. It is moved
// on to later and later positions.
class PrefixScan {
 public:
  explicit PrefixScan(FontKind startKind) : kind_(startKind) {}

  // Takes in the characters before index count. A backslash at count - 1 is not paired with the
  // character after it: it is left for the next call.
  void MoveTo(const FontSlotTable& slots, std::string_view line, std::size_t count);
  FontKind WordKind() const { return inWord_ ? wordKind_ : NONE; }
  // The width of the last run of blanks; the line's length when there was none.
  int LastBlankRun(int lineLength) const { return blankRun_ < 0 ? lineLength : blankRun_; }

 private:
  // Defined beside MoveTo, the one caller, which the compiler may fold them into.
  inline void TakeText(std::string_view text);
  inline void TakeCommand(const FontSlotTable& slots, char c);
  void AddBlank(int width);

  std::size_t done_ = 0;  // characters taken in
  FontKind kind_;
  bool inWord_ = false;
  FontKind wordKind_ = NONE;
  bool runClosed_ = true;
  int blankRun_ = -1;  // -1 until the first blank
};

// What lies after given positions of a line, for TextFontAhead and BlanksAfter, worked out from
// the end of the line backwards. Entry j describes a forward scan that starts at position j
// (from 1) with a backslash there paired with the character after it; it follows from entries
// j + 1 and j + 2, so only those are kept while the walk goes on, and only the answers for the
// positions asked about are kept after it.
class SuffixTables {
 public:
  // queries: the positions that can be asked about, in ascending order.
  SuffixTables(const FontSlotTable& slots, std::string_view line, std::vector<int> queries);

  FontKind TextFontAhead(int p) const { return AnswerAt(p).aheadOutside; }
  // When there is no blank after p, the width is the given line length.
  BlanksAhead BlanksAfter(int p, int lineLength) const {
    const Answer& a = AnswerAt(p);
    return {a.firstBlank < 0 ? lineLength : a.firstBlank, a.nextTextSwitch};
  }

 private:
  struct Entry;
  struct Answer {
    FontKind aheadOutside = NONE;
    FontKind nextTextSwitch = NONE;
    std::int32_t firstBlank = -1;
  };
  static Entry EntryAt(const FontSlotTable& slots, std::string_view line, int j, const Entry& next,
                       const Entry& after);
  const Answer& AnswerAt(int p) const;

  std::vector<int> queries_;
  std::vector<Answer> answers_;
};

}  // namespace anchoring

// The text fonts to put in front of the switches to inheriting fonts of a line, asked about
// switch by switch in the order of the line, in one pass: what lies behind a switch is followed
// by one scan that only moves forward, and what lies ahead is scanned a short way or tabulated
// once, backwards. The line stays as it is while it is asked about; each answer other than NONE
// is a switch put in, and the changed line is kept from the first one on.
class InheritingAnchors {
 public:
  // first: the kind of the line's first switch.
  InheritingAnchors(const FontSlotTable& slots, std::string_view line, FontKind first)
      : slots_(slots), line_(line), behind_(first) {}
  // The text font for the switch to an inheriting font at index q (at least 1), previous being
  // the kind of the switch found before it; NONE when nothing goes in front of it.
  FontKind At(std::size_t q, FontKind previous);
  // Gives line the switches put in; the line asked about is not looked at afterwards.
  void TakeChangedLine(std::string& line);

 private:
  const FontSlotTable& slots_;
  std::string_view line_;
  anchoring::PrefixScan behind_;
  std::optional<anchoring::SuffixTables> ahead_;
  int inserted_ = 0;
  std::string changed_;     // the changed line, up to line_[copied_], once a switch is put in
  std::size_t copied_ = 0;
};

// Puts in front of each switch to an inheriting font (FOREIGN, GREEK) a switch to the text
// font whose style and size its run takes (pipeline step 3).
void AnchorInheritingFonts(const FontSlotTable& slots, std::string& line);

}  // namespace pomvex
