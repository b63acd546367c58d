#include "layout/pipeline.h"

#include <algorithm>
#include <bitset>
#include <optional>
#include <utility>

#include "base/char_sets.h"
#include "base/commands.h"
#include "charmaps/char_table.h"
#include "fonts/anchoring.h"
#include "fonts/character_format.h"
#include "fonts/footnotes_scripts.h"
#include "layout/alignment.h"
#include "layout/rules_pictures.h"
#include "layout/tabs.h"

namespace pomvex {

void TrimContinuationLine(std::string& line, bool startsParagraph) {
  if (startsParagraph) return;
  // The start of the line is compacted in place: line[..out) is what stays of line[..i).
  char* data = line.data();
  std::size_t i = 0;
  std::size_t out = 0;
  const std::size_t n = line.size();
  while (i < n && (data[i] == ' ' || data[i] == kBackslash)) {
    if (data[i] == ' ') {
      ++i;
      continue;
    }
    if (i + 1 == n) break;  // a lone backslash ends the line
    const char c = data[i + 1];
    if (SegmentBreakers.Contains(c) && c != ':' && c != '<' && c != '>') {
      i += 2;
    } else if (OneColumnCommands.Contains(c)) {
      break;
    } else {
      data[out] = data[i];
      data[out + 1] = c;
      out += 2;
      i += 2;
    }
  }
  if (out != i) line.erase(out, i - out);
}

namespace {

// Escapes the braces of the text in line from the first one, at index brace.
void EscapeBracesFrom(std::string& line, std::size_t brace) {
  const std::string_view text = line;
  std::string out;
  std::size_t copied = 0;  // text[..copied) is in out
  while (brace < text.size()) {
    const bool command = IsCommandCharAt(text, brace);
    // A translated character that the translation set in font 5 keeps its group.
    const std::size_t group =
        !command && text[brace] == '{' ? charmaps::FontFiveGroupLength(text.substr(brace)) : 0;
    if (!command && group == 0) {
      out.append(text.data() + copied, brace - copied);
      out += kBackslash;
      copied = brace;
    }
    brace = NextBrace<false>(text, brace + std::max<std::size_t>(group, 1));
  }
  if (!out.empty()) {  // a brace was escaped
    out.append(text, copied);
    line = std::move(out);
  }
}

}  // namespace

void EscapeBraces(std::string& line) {
  // Braces are rare: the line is searched for them, and each found is a brace of the text unless
  // it is the character of a command ("\{" or "\}").
  const std::size_t brace = NextBrace<false>(line, 0);
  if (brace < line.size()) EscapeBracesFrom(line, brace);
  if (EndsInLoneBackslash(line))
    line += kBackslash;  // a lone backslash at the end is a literal one
}

namespace {

// Steps 8 (when collapse) and 10 to 15 in one pass over a line, written to out. The pass pairs
// the commands from the start of the line as every step does, and each command and each brace
// of the text takes the rule of each step in their order; what step 11 puts in (a footnote's
// text) is walked by the rules of the steps after it. The line only changes where a rule
// changes it: until then nothing is copied.
class LatePass {
 public:
  LatePass(DocumentState& doc, std::string_view line, std::string& out, bool collapse,
           bool startsParagraph, int halfPoints)
      : doc_(doc), line_(line), out_(out), halfPoints_(halfPoints), collapse_(collapse) {
    // Step 8 leaves centred and right-aligned lines as they are, and the indentation of a line
    // that starts a paragraph.
    collapse_ = collapse_ && !HasAlignmentWord(line);
    if (collapse_ && startsParagraph) collapseFrom_ = IndentEnd(line);
  }

  // Gives false when the line stays as it is.
  bool Run() {
    // The commands that a rule of these steps changes.
    static constexpr CharSet kChanged{" F<>:LE@"};
    const std::string_view text = line_;
    const std::size_t n = text.size();
    std::size_t i = 0;
    for (std::size_t j = NextBrace<true>(text, i); j < n; j = NextBrace<true>(text, i)) {
      if (text[j] != kBackslash) {
        TextBrace(j);
        i = j + 1;
        continue;
      }
      if (j + 1 == n) {  // step 10: a lone backslash at the end is made a literal one
        Change(n);
        out_ += kBackslash;
        break;
      }
      const char c = text[j + 1];
      i = kChanged.Contains(c) ? Command(j, c) : j + 2;
      // A run of hard spaces ends where the pass goes on; the character of a footnote
      // reference is text to step 8.
      commandEnd_ = c == ' ' ? i : j + 2;
    }
    if (!changed_) return false;
    out_.append(line_, copied_);
    return true;
  }

 private:
  // What a rule changes begins at line_[at]: the text before it goes to out first.
  void Change(std::size_t at) {
    if (!changed_) out_.clear();
    changed_ = true;
    out_.append(line_.data() + copied_, at - copied_);
    copied_ = at;
  }

  // Step 10: a brace of the text is escaped, unless it belongs to a character that the
  // translation set in font 5 within a group of its own.
  void TextBrace(std::size_t at) {
    if (at < fontFiveEnd_) return;
    if (line_[at] == '{') {
      if (const std::size_t group = charmaps::FontFiveGroupLength(line_.substr(at))) {
        fontFiveEnd_ = at + group;
        return;
      }
    }
    Change(at);
    out_ += kBackslash;
  }

  // The character at index at as step 10 leaves it: a brace it escapes becomes the backslash
  // put in front of it. A space for none.
  char AsEscaped(std::size_t at) const {
    if (at >= line_.size()) return ' ';
    const char c = line_[at];
    if ((c == '{' && at >= fontFiveEnd_ && charmaps::FontFiveGroupLength(line_.substr(at)) == 0) ||
        (c == '}' && at >= fontFiveEnd_)) {
      return kBackslash;
    }
    return c;
  }

  // The command c at line_[at]; gives where the pass goes on.
  std::size_t Command(std::size_t at, char c) {
    if (c == ' ') {
      // A run of hard spaces goes as one: none of them is text before the next.
      const std::size_t end = HardSpaceRunEnd(line_, at + 2);
      Change(at);
      copied_ = end;
      // Step 8 looks at the text before the run, from where the indentation ends: hard spaces
      // after an ordinary space go (the indentation, where they stay, holds whole runs).
      if (collapse_ && at > std::max(commandEnd_, collapseFrom_) && line_[at - 1] == ' ')
        return end;
      out_.append((end - at) / 2, ' ');  // step 15: hard spaces become spaces
      return end;
    }
    if (c == 'F') {  // step 11, with the symbol as step 10 leaves it
      Change(at);
      const std::size_t start = out_.size();
      const std::size_t taken = AppendReference(doc_, AsEscaped(at + 2), active_, out_,
                                                doc_.NoteTexts == FootnoteInsertion::WhenWritten);
      copied_ = at + taken;
      LaterInPlace(start);
      return at + taken;
    }
    if (TakesLater(c)) {
      Change(at);
      copied_ = at + 2;
      ApplyLater(c);
    }
    return at + 2;
  }

  // Whether one of steps 12 to 14 changes the command c.
  bool TakesLater(char c) const {
    return c == '<' || c == '>' || c == ':' || c == 'L' || c == 'E' || (c == '@' && !pageNumber_);
  }

  // Steps 12 to 14 on the command c, its text gone; what comes before it is in out.
  void ApplyLater(char c) {
    switch (c) {
      case '<':  // step 12: the script runs become groups
      case '>':
      case ':':
        if (!scripts_) scripts_.emplace(halfPoints_);
        scripts_->Follow(std::string_view(out_).substr(afterMarker_));
        scripts_->Append(out_, c);
        afterMarker_ = out_.size();
        break;
      case '@':  // step 14: the first page-number command becomes the field
        pageNumber_ = true;
        out_ += PageNumberField(doc_);
        break;
      default:  // step 13: the placeholders of the line-drawing characters go
        break;
    }
  }

  // Steps 12 to 15 on what step 11 put at the end of out, from start. It stays in place unless
  // one of steps 12, 13 and 15 changes it; then it is taken out and put in again step by step
  // (a marker that step 14 looked at already is looked at again to the same effect).
  void LaterInPlace(std::size_t start) {
    for (CommandWalk command(out_, start); command.Next();) {
      const char c = command.Char();
      if (c == kFootnoteMarker) {
        if (!pageNumber_ && MarkPageNumber(doc_, out_, command.At() + 1)) pageNumber_ = true;
      } else if (c == ' ' || TakesLater(c)) {
        inserted_.assign(out_, start);
        out_.resize(start);
        Later(inserted_);
        return;
      }
    }
  }

  // Steps 12 to 15 on what step 11 put in.
  void Later(std::string& text) {
    std::size_t copied = 0;
    for (CommandWalk command(text); command.Next();) {
      const char c = command.Char();
      if (c == kFootnoteMarker) {  // step 14: the first command may lie in a text left out
        if (!pageNumber_ && MarkPageNumber(doc_, text, command.At() + 1)) pageNumber_ = true;
        continue;
      }
      if (c != ' ' && !TakesLater(c)) continue;
      out_.append(text, copied, command.At() - copied);
      if (c == ' ') {  // step 15
        copied = command.At() + 1;
        continue;
      }
      copied = command.End();
      ApplyLater(c);
    }
    out_.append(text, copied);
  }

  DocumentState& doc_;
  std::string_view line_;
  std::string& out_;
  int halfPoints_;
  bool changed_ = false;
  std::size_t copied_ = 0;  // line_[..copied_) has been written to out, or left out
  // Step 8.
  bool collapse_;
  std::size_t collapseFrom_ = 0;
  std::size_t commandEnd_ = 0;  // where the text before the next command begins
  // Step 10.
  std::size_t fontFiveEnd_ = 0;  // a brace before it belongs to a character set in font 5
  // Step 11.
  std::bitset<25> active_;
  std::string inserted_;
  // Step 12.
  std::optional<ScriptGroups> scripts_;
  std::size_t afterMarker_ = 0;  // where the text after the last marker begins in out
  // Step 14.
  bool pageNumber_ = false;  // the first page-number command has been met
};

}  // namespace

void ConvertLateSteps(DocumentState& doc, std::string& line, bool collapse, bool startsParagraph,
                      int halfPoints) {
  // Step 13: a line of one repeated rule character becomes a ruled tab; no other step changes
  // it.
  if (IsRuleLine(line)) {
    line = kRuleTab;
    return;
  }
  LatePass pass(doc, line, doc.Spare, collapse, startsParagraph, halfPoints);
  if (pass.Run()) line = std::move(doc.Spare);
}

void ProcessLineMarkup(DocumentState& doc, std::string& line, bool startsParagraph,
                       std::string& tabStops) {
  ProcessLineMarkup(doc, line, CommandSummary::Of(line), startsParagraph, tabStops);
}

void ProcessLineMarkup(DocumentState& doc, std::string& line, const CommandSummary& has,
                       bool startsParagraph, std::string& tabStops) {
  static constexpr CharSet kTabMarks{"[]"};
  static constexpr CharSet kTabWords{"[]RD"};
  static constexpr CharSet kLateCommands{" F<>:LE@"};
  const FontSlotTable& slots = doc.FontSlots;
  doc.LineDrawsLines = false;
  // The size in force where the line starts, before step 4 moves the format on.
  const int sizeAtStart = doc.CurSize;
  // A step whose commands the line does not hold has nothing to do and is passed. Later steps
  // also meet what earlier ones wrote: the tab markers of step 2 come from "\]", the
  // placeholders of step 4 from line-drawing text, and the footnote texts of step 11 may hold
  // anything.
  const bool inheriting =
      has.afterAnyBackslash.Intersects(slots.SlotsOf(FOREIGN).Union(slots.SlotsOf(GREEK)));
  doc.LineMayOpenScriptRuns = has.Has('<') || has.Has('>');

  TrimContinuationLine(line, startsParagraph);         //  1
  if (has.HasAny(kTabMarks)) FindTabStops(doc, line);  //  2
  if (inheriting) {
    AnchorAndConvertFontSwitches(doc, line, startsParagraph);  //  3, 4
  } else {
    ConvertFontSwitches(doc, line, startsParagraph);  //  4
  }
  if (has.Has('G')) ConvertPictures(doc.report, line);  //  5
  if (has.Has('^')) ConvertCentring(line);              //  6
  const bool rightPart = has.Has('^') && ConvertRightAlignment(line);  //  7
  // Steps 8 and 10 to 15 go through the line in one pass; a line without their commands needs
  // only step 10's braces, and step 9 looks at what step 8 left, so a line with tabs takes step
  // 8 alone.
  const bool tabs = has.HasAny(kTabWords);
  const bool late = has.HasAny(kLateCommands) ||
                    has.afterAnyBackslash.Intersects(slots.SlotsOf(LINEDRAW));  // "\L", "\E"
  if (tabs && has.Has(' ')) CollapseHardSpaces(line, startsParagraph);          //  8
  if (tabs) WriteTabStops(doc, line, tabStops);                                 //  9
  // The stop of a right part comes after those of the line's own tabs, at the margin.
  if (rightPart) AppendMarginStop(doc.Settings, tabStops, /*ruled=*/false);
  if (IsRuleLine(line)) {
    // Step 13, which no other step changes: a rule is a tab to a right stop at the margin whose
    // leader draws the line, in every reader.
    line = kRuleTab;
    AppendMarginStop(doc.Settings, tabStops, /*ruled=*/true);
  } else if (late) {
    const int halfPoints = HalfPointsOf(startsParagraph ? SizeOf(STANDARD) : sizeAtStart);
    ConvertLateSteps(doc, line, !tabs && has.Has(' '), startsParagraph, halfPoints);  //  8, 10-15
  } else {
    EscapeBraces(line);  // 10
  }
}

}  // namespace pomvex
