// The state of the document being converted: font slots, page settings, footnote texts and the
// character format in force in the output. Reset at the start of every file.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/char_sets.h"
#include "base/font_kind.h"
#include "base/reporting.h"

namespace pomvex {

// One entry per slot character from '!' (33) to '9' (57). Only the characters of SlotChars can
// ever hold a font; the entries from '%' to '/' stay NONE.
class FontSlotTable {
 public:
  static constexpr int kSize = 25;
  static constexpr bool InRange(char c) { return c >= '!' && c <= '9'; }
  FontSlotTable() { Reindex(); }
  FontKind operator[](char c) const { return InRange(c) ? kinds_[c - '!'] : NONE; }
  void Set(char c, FontKind kind) {
    if (InRange(c)) kinds_[c - '!'] = kind;
    Reindex();
  }
  void Clear() {
    kinds_.fill(NONE);
    Reindex();
  }
  // The highest slot character holding kind; '\0' when no slot holds it. Switches are written
  // for every line, so the answer is kept rather than looked for each time.
  char HighestSlotOf(FontKind kind) const { return kind <= NONE ? highest_[kind] : '\0'; }
  // The slot characters holding kind: a line without them after a backslash has no switch to it.
  const CharSet& SlotsOf(FontKind kind) const { return holding_[kind <= NONE ? kind : NONE]; }
  // The kind of the font switch that c makes after a backslash: that of its slot when c is a
  // slot character whose slot holds a font, NONE otherwise. Asked at every command of a line,
  // so it is one look in a table.
  FontKind SwitchKindOf(char c) const { return switchKinds_[static_cast<unsigned char>(c)]; }
  // The slot characters whose slot holds no font: after a backslash they switch to nothing.
  const CharSet& EmptySlots() const { return empty_; }

 private:
  void Reindex() {
    highest_.fill('\0');
    holding_.fill(CharSet{});
    switchKinds_.fill(NONE);
    empty_ = CharSet{};
    for (int i = 0; i < kSize; ++i) {
      if (kinds_[i] > NONE) continue;
      const auto c = static_cast<char>('!' + i);
      highest_[kinds_[i]] = c;
      if (kinds_[i] != NONE) holding_[kinds_[i]].Insert(c);
      if (SlotChars.Contains(c)) switchKinds_[static_cast<unsigned char>(c)] = kinds_[i];
      if (SlotChars.Contains(c) && kinds_[i] == NONE) empty_.Insert(c);
    }
  }

  std::array<FontKind, kSize> kinds_{NONE, NONE, NONE, NONE, NONE, NONE, NONE, NONE, NONE,
                                     NONE, NONE, NONE, NONE, NONE, NONE, NONE, NONE, NONE,
                                     NONE, NONE, NONE, NONE, NONE, NONE, NONE};
  std::array<char, NONE + 1> highest_{};
  std::array<CharSet, NONE + 1> holding_{};
  std::array<FontKind, 256> switchKinds_{};
  CharSet empty_;
};

// The page settings of the document header, each named after its keyword ("\p" + two letters).
struct DocumentSettings {
  std::array<std::int32_t, 61> DefaultTabs{};  // entries 1 to 60
  std::int32_t HS = 1;
  std::int32_t DS = 1;
  bool JU = true;
  std::int32_t RM = 76;
  std::int32_t LM = 10;
  std::int32_t TM = 0;
  std::int32_t BM = 12;
  std::int32_t PL = 132;
  char PF = '1';
  char TF = '1';
  bool EN = false;
  std::int32_t PI = 2;
};

// Where the footnote step of the line pipeline puts the text of a footnote that a line makes.
// Both give the same RTF.
enum class FootnoteInsertion {
  // Into the line.
  InLine,
  // Into the output, as the line is written (WriteWithFootnotes): a text that no later step of
  // the pipeline would change stays out of the line, a marker in its place, so that a line holds
  // no more than its own text, however often it refers to a long footnote.
  WhenWritten,
};

// What the footnote step found in a footnote text, kept while the text has the length it had
// then: a footnote text only grows, as its sections are read.
struct FootnoteTextFacts {
  std::size_t length = std::string::npos;
  // Nothing in the text is for the later steps of the line pipeline to rewrite, so the text can
  // be written as it is where a line refers to it (the page-number command aside).
  bool writtenAsItIs = false;
  // Where the text's first page-number command stands; npos when it has none.
  std::size_t pageNumber = std::string::npos;
  // The symbols of the text's footnote references that make no footnote, in their order.
  std::string badSymbols;
};

struct DocumentState {
  explicit DocumentState(Reporter& r) : report(r) {}

  Reporter& report;

  FontSlotTable FontSlots;
  DocumentSettings Settings;

  // Footnote texts by symbol '!' to '9', collected from the footnote sections.
  std::array<std::string, 25> FootnoteTexts;
  // Where the footnote step of the pipeline puts the texts of the footnotes it makes.
  FootnoteInsertion NoteTexts = FootnoteInsertion::WhenWritten;
  // What the footnote step found in each text, by symbol.
  std::array<FootnoteTextFacts, 25> FootnoteFacts;
  // True while the lines of a footnote section are being converted.
  bool InFootnoteText = false;
  // True while the lines of a page header, footer or separator section are being converted.
  bool InPageSection = false;
  // The marker of the section whose lines are being converted (the first three characters of
  // its marker line); empty in the body.
  std::string SectionMarker;
  // Body footnotes given the reader's automatic number so far: their symbols were "1", "2", ...
  // in order. Once a body footnote breaks that order, it and all after it keep their own marks.
  int NumberedFootnotes = 0;
  bool FootnoteNumberingStopped = false;
  // Whether a left-page header or footer section was met (the prolog then sets facing pages).
  bool HasLeftPageSection = false;
  // Every script run is kept: lines further from the main line are merged, and a run without
  // room is written at its column (the command line's --keep-all-scripts). Set for the run, not
  // reset per document.
  bool KeepAllScripts = false;
  // Two-dimensional mathematics (stacked fractions, limits, stacked scripts) is written as
  // formulas (the command line's --equations). Set for the run.
  bool Equations = false;
  // Every document's RTF is checked to be one group, and one that is not ends its conversion
  // with an internal error (the tests and the fuzzer). Set for the run.
  bool CheckRtfGroups = false;

  // Character format in force in the RTF output: face, style and size indices.
  int CurFace = 0;
  int CurStyle = 0;
  int CurSize = 1;

  // The buffer a step of the line pipeline builds the changed line in; the line's old buffer
  // takes its place for the next step, so that no step allocates a line of its own. The line is
  // moved from it: between two allocated buffers the move exchanges them, as a swap would, in
  // fewer steps, and leaves this one empty.
  std::string Spare;

  // The tab stop words of the line in the pipeline, for its paragraph's words.
  std::string TabStopWords;
  // Columns of the tab marks of the line in the pipeline, entries 1 to 60.
  std::array<std::int32_t, 61> TabColumns{};
  // A character of the line in the pipeline was translated to a piece of a line drawing
  // (U+2500 to U+257F).
  bool LineDrawsLines = false;
  // The line in the pipeline may hold commands that are shown as text; false when the command
  // check of its group met none, which spares the font step a search.
  bool LineMayShowCommands = true;
  // The line in the pipeline may hold the marker that opens a script run; false when it holds
  // no such command, which spares the font step a search.
  bool LineMayOpenScriptRuns = true;

  std::string& FootnoteText(char symbol) { return FootnoteTexts[symbol - '!']; }
  const std::string& FootnoteText(char symbol) const { return FootnoteTexts[symbol - '!']; }
};

}  // namespace pomvex
