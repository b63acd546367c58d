#include "conversion/line_assembly.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "base/commands.h"
#include "conversion/line_group_reader.h"
#include "fonts/font_switches.h"
#include "formulas/math_rtf.h"
#include "formulas/recognizer.h"
#include "layout/group_grid.h"
#include "layout/keep_all_scripts.h"
#include "layout/line_codes.h"
#include "layout/pipeline.h"
#include "layout/rules_pictures.h"
#include "layout/script_merge.h"

namespace pomvex {

namespace {

// Whether the line is centred or right-aligned: the alignment steps put "\qc " or "\qr " at its
// very start. Elsewhere these letters belong to a footnote's own paragraph or follow a literal
// backslash, and say nothing about this paragraph.
bool IsAligned(std::string_view line) {
  return line.starts_with("\\qc") || line.starts_with("\\qr");
}

// Appends a control word and its number.
void AppendWord(std::string& out, std::string_view word, int number) {
  char digits[12];
  const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  out += word;
  out.append(digits, static_cast<std::size_t>(end - digits));
}

// Appends "{\pard" with justification, space before and after (for the lines above and below
// the main line), the line's tab stops and a page break that waits for this paragraph. No word
// is followed by a space.
void AppendParagraphProperties(std::string& props, const DocumentState& doc, int above, int below,
                               std::string_view line, std::string_view tabStops, GroupFlow& flow) {
  // "{\pard", and "\qj" after it for a justified paragraph, appended in one piece.
  constexpr std::string_view kOpening = "{\\pard\\qj";
  const bool justified = doc.Settings.JU && !IsAligned(line);
  props += kOpening.substr(0, justified ? kOpening.size() : kOpening.size() - 3);
  if (above >= 1) AppendWord(props, "\\sb", 25 * above);
  if (below >= 1) AppendWord(props, "\\sa", 25 * below);
  if (!tabStops.empty()) props += tabStops;
  if (flow.pageBreakPending) {
    props += "\\page";
    flow.pageBreakPending = false;
  }
}

// Whether the merged line ends in a script run: its last command is the run's end "\:", with
// nothing after it but font switches.
bool EndsInScriptRun(const FontSlotTable& slots, std::string_view line) {
  auto commandAtEnd = [&line] { return IsCommandCharAt(line, line.size() - 1); };
  while (!line.empty() && commandAtEnd() && IsFontSwitch(slots, line.back())) line.remove_suffix(2);
  return !line.empty() && commandAtEnd() && line.back() == ':';
}

bool HasScriptRun(std::string_view line) {
  return HasCommand(line, '>') || HasCommand(line, '<');
}

// The number of superscript lines at the start of a group, as read: the lines above its main
// line, or above the place of the main line in a group without one.
int LinesAbove(const LineGroup& group) {
  if (group.mainIndex >= 0) return group.mainIndex;
  int above = 0;
  while (above <= group.lastIndex && ClassifyLine(group.Lines[above]).superscript) ++above;
  return above;
}

// The main line with the group's script lines merged in, into line. spaceGoesOn: the paragraph
// goes on in the next group after a space (not in the middle of a word divided by a hyphenation
// mark).
void MergeGroup(DocumentState& doc, LineGroup& group, bool joiningSpace, bool spaceGoesOn,
                std::string& line) {
  if (doc.KeepAllScripts) {
    line = MergeAllScriptLines(doc, group);
  } else {
    // A run that stands after the end of the main line goes directly after its last character;
    // the joining space, which is no column of the document, must not take that place and leave
    // the run without room.
    if (joiningSpace) group.Lines[group.mainIndex].pop_back();
    MergeScriptLines(doc, group, line);
    if (joiningSpace) line += ' ';
  }
  // A line that goes on in the next group and ends in a script run keeps a space after the run:
  // the run may have taken the hard space that ended the line, and a run beyond the end of a
  // line that ended in a space has none after it.
  if (spaceGoesOn && EndsInScriptRun(doc.FontSlots, line)) line += ' ';
}

// Converts the merged text of a group and frames it: a paragraph opened with its words when the
// group opens one, closed when paragraphEnd. below counts the lines below the main line; has
// holds the commands of the merged text.
FramedLine FrameText(DocumentState& doc, std::string& line, const CommandSummary& has,
                     bool opensParagraph, bool paragraphEnd, int above, int below,
                     GroupFlow& flow) {
  FramedLine framed;
  std::string& tabStops = doc.TabStopWords;
  tabStops.clear();
  ProcessLineMarkup(doc, line, has, opensParagraph, tabStops);
  framed.holdsText = !line.empty();
  framed.drawsLines = doc.LineDrawsLines;
  if (opensParagraph || !tabStops.empty()) {
    // The paragraph's words, or the tab stops of a line within a paragraph, and one space go in
    // front of the text, which is written after them in the spare buffer.
    std::string& framedLine = doc.Spare;
    framedLine.clear();
    if (opensParagraph) {
      AppendParagraphProperties(framedLine, doc, above, below, line, tabStops, flow);
      framed.opensParagraph = true;
      framed.wordsEnd = framedLine.size();
    } else {
      framedLine += tabStops;
    }
    framedLine.append(" ", 1);
    framedLine += line;
    line = std::move(framedLine);
  }
  flow.paragraphEnded = paragraphEnd;
  if (paragraphEnd) line += "\\par}";
  framed.endsParagraph = paragraphEnd;
  return framed;
}

// What the per-group steps leave for the merge and the framing.
struct PreparedGroup {
  LineControls controls;
  bool divided = false;         // a hyphenation mark took the joining space: the word goes on
  bool joiningSpace = false;    // the main line ends in the joining space, a column of no text
  CommandSummary mainCommands;  // the commands of the main line as the steps leave it
  // The switches to the font carried into the main line, which go in front of it: put there
  // before a merge, in front of the RTF text for a main line alone.
  char carried[4] = {};
  std::size_t carriedLength = 0;
  // With formulas, the script lines that the merge cannot place are reported once the formulas
  // have taken theirs.
  std::vector<UnprocessedLine> unprocessed;
};

// The carried font of the main line: its switches go in front of the line (a main line alone
// is copied after them later), and they and the hard space that the joining space makes after a
// lone backslash (hardSpace) join the commands of the main line; the hyphenation marks only take
// commands away.
void CarryFontIntoMain(const FontSlotTable& slots, LineGroup& group, FontKind mainCarry,
                       bool hardSpace, PreparedGroup& prepared) {
  const std::string_view carried = CarriedFontSwitches(slots, mainCarry, prepared.carried);
  prepared.carriedLength = carried.size();
  if (group.lastIndex > 0) PutCarriedFont(slots, group.Lines[group.mainIndex], mainCarry);
  // The switches are commands of their slot characters.
  for (std::size_t i = 1; i < carried.size(); i += 2) {
    prepared.mainCommands.commands.Insert(carried[i]);
    prepared.mainCommands.afterAnyBackslash.Insert(carried[i]);
  }
  if (hardSpace) prepared.mainCommands.Add(CommandSummary::Of("\\ "));
}

// The checks and rewrites of the group's lines before the merge, in their order: the command
// check, the report of extra script lines, the line codes, the joining space, the hyphenation
// marks, and the fonts carried into every line. The command check, the removal of stray markers
// and that of the line codes go through each line in one walk (PrepareLine), which also finds
// the line's last font switch for the font carried into the next line; the main line takes its
// own carried font only after the joining space and the hyphenation marks, which look at its
// end. A step that has nothing to do in the group, by what the command check met, is passed.
PreparedGroup PrepareGroup(DocumentState& doc, LineGroup& group, GroupFlow& flow) {
  const FontSlotTable& slots = doc.FontSlots;
  PreparedGroup prepared;
  // Reported as they were read, after the command check's reports. When every run is kept, no
  // script line is lost: those further out are merged, and those of a group without a main line
  // make a paragraph.
  // Lines neither the main line nor next to it (all but the first in a group without one).
  const bool extraLines = group.mainIndex >= 2 || group.lastIndex > group.mainIndex + 1;
  std::vector<UnprocessedLine> unprocessed;
  if (extraLines && !doc.KeepAllScripts) unprocessed = UnprocessedScriptLines(group);
  CommandCheck commands;
  FontKind mainCarry = NONE;
  // Commands left that no step converts, or switches to empty font slots.
  const CharSet shownAsText = LeftoverCommands.Union(slots.EmptySlots());
  bool leftovers = false;
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    std::string& line = group.Lines[slot];
    // Only the group's last line can hold a form feed: it ends the group.
    const bool mayHoldFormFeed = slot == group.lastIndex && group.endsInPageEnd;
    const LineScan scan =
        PrepareLine(doc.report, slots, line, slot, mayHoldFormFeed, prepared.controls);
    commands.unknown = commands.unknown || scan.unknown;
    commands.hyphenationMarks = commands.hyphenationMarks || scan.hyphenationMarks;
    leftovers = leftovers || scan.kept.commands.Intersects(shownAsText);
    if (slot == group.mainIndex) {
      prepared.mainCommands = scan.kept;
      mainCarry = flow.fontCarry;
      flow.fontCarry = FontCarriedOn(slots, flow.fontCarry, scan.lastSwitch);
    } else {
      CarryFontInto(slots, line, flow.fontCarry, scan.lastSwitch);
    }
  }
  if (doc.Equations) {
    prepared.unprocessed = std::move(unprocessed);
  } else {
    for (const UnprocessedLine& line : unprocessed) ReportUnprocessedScriptLine(doc.report, line);
  }
  // Only a group with such commands can leave one that is shown as text (TextShownCommands) or
  // left out. The switches to the fonts carried in are written to the slots that hold them, but
  // STANDARD, which the document may not declare, to slot "1", which may then be empty.
  doc.LineMayShowCommands =
      commands.unknown || commands.hyphenationMarks || leftovers ||
      (slots.HighestSlotOf(STANDARD) == '\0' && slots.EmptySlots().Contains('1'));
  flow.equalsSeen = prepared.controls.equalsSeen;
  const bool joined = AddJoiningSpace(group, prepared.controls);
  const std::size_t joinedLength = joined ? group.Lines[group.mainIndex].size() : 0;
  if (commands.hyphenationMarks) {
    RemoveHyphenA(doc.report, group);
    RemoveHyphenB(doc.report, group);
  }
  // The joining space is still the main line's last character unless a hyphenation mark took
  // it away (the word is divided). After a lone backslash it makes a hard space, which is a
  // column of its own.
  prepared.divided = joined && group.Lines[group.mainIndex].size() != joinedLength;
  prepared.joiningSpace =
      joined && !prepared.divided &&
      !EndsInLoneBackslash(
          std::string_view(group.Lines[group.mainIndex]).substr(0, joinedLength - 1));
  if (group.mainIndex >= 0) {
    CarryFontIntoMain(slots, group, mainCarry,
                      joined && !prepared.divided && !prepared.joiningSpace, prepared);
  }
  // A main line alone has no script lines to normalise.
  if (group.lastIndex > 0 || group.mainIndex < 0) NormaliseScriptFonts(slots, group);
  return prepared;
}

// The text font a formula stands in while the line steps go through its place: the first text
// font (one whose characters are not translated) the document declares; NONE for none.
FontKind FormulaPlaceFont(const FontSlotTable& slots) {
  for (const FontKind kind : {STANDARD, SMALL, ITALIC, BOLD, UNDERLIN, ORATOR, GOTHIC, SCRIPT}) {
    if (slots.HighestSlotOf(kind) != '\0') return kind;
  }
  return NONE;
}

// A formula's place in the line steps: a carriage return for each of its columns (no line holds
// one: it ends a line), in a text font of its own.
constexpr char kFormulaPlace = '\r';

// Reads the group's formulas and gives them their places: the script characters they take
// become blanks, and each formula's columns of the main line its place, the switch to the font
// in force after it behind. Gives the formulas' RTF texts, in the main line's order.
std::vector<std::string> PlaceFormulas(DocumentState& doc, LineGroup& group) {
  const FontSlotTable& slots = doc.FontSlots;
  const FontKind placeFont = FormulaPlaceFont(slots);
  if (placeFont == NONE) return {};
  const formulas::GroupFormulas found = formulas::RecognizeFormulas(slots, group);
  if (found.Empty()) return {};
  const GroupGrid& grid = found.grid;
  for (std::size_t i = 0; i < grid.lines.size(); ++i) {
    const GridLine& line = grid.lines[i];
    if (line.level == 0) continue;
    std::string& text = group.Lines[line.slot];
    for (std::size_t k = 0; k < line.cells.size(); ++k) {
      if (found.taken[i][k] && line.cells[k].Printing()) text[line.cells[k].index] = ' ';
    }
  }
  const GridLine& main = grid.lines[grid.mainLine];
  const std::vector<bool>& taken = found.taken[grid.mainLine];
  std::string placed;
  std::size_t copied = 0;
  std::vector<std::string> rtf;
  for (const formulas::Formula& formula : found.formulas) {
    // The main line's pieces in the formula's columns, zero-width ones before them included.
    std::size_t first = main.cells.size(), last = 0;
    for (std::size_t k = 0; k < main.cells.size(); ++k) {
      if (!taken[k]) continue;
      const std::int32_t column = main.cells[k].column;
      if (column < formula.firstColumn || column > formula.lastColumn) continue;
      first = std::min(first, k);
      last = k;
    }
    if (first > last) continue;
    const std::string& text = group.Lines[main.slot];
    placed.append(text, copied, main.cells[first].index - copied);
    placed += FontSwitchFor(slots, placeFont);
    placed.append(static_cast<std::size_t>(formula.lastColumn - formula.firstColumn + 1),
                  kFormulaPlace);
    placed += FontSwitchFor(slots, main.cells[last].font);
    copied = main.cells[last].index + main.cells[last].Length();
    rtf.push_back(formulas::FormulaRtf(formula.root));
  }
  std::string& text = group.Lines[main.slot];
  placed.append(text, copied);
  text = std::move(placed);
  return rtf;
}

// Puts each formula's RTF text in its place in the converted line.
void PutFormulas(std::string& line, const std::vector<std::string>& rtf) {
  std::string out;
  std::size_t copied = 0;
  std::size_t next = 0;
  for (std::size_t at = line.find(kFormulaPlace); at != std::string::npos && next < rtf.size();
       at = line.find(kFormulaPlace, at)) {
    out.append(line, copied, at - copied);
    out += rtf[next++];
    while (at < line.size() && line[at] == kFormulaPlace) ++at;
    copied = at;
  }
  out.append(line, copied);
  line = std::move(out);
}

// A script line that the formulas left with no character needs no report.
bool HoldsNoCharacter(const FontSlotTable& slots, std::string_view line) {
  const GridLine grid = GridLineOf(slots, line, 0, 0, NONE);
  return std::none_of(grid.cells.begin(), grid.cells.end(),
                      [](const GridCell& cell) { return cell.Printing(); });
}

// The longest main line alone that is copied into the line being converted.
constexpr std::size_t kCopiedLine = std::size_t{1} << 16;

// A long main line alone takes the switches in front in its own buffer, which line takes (a
// move between two allocated buffers exchanges them).
void TakeLongLine(std::string& main, std::string_view switches, std::string& line) {
  main.insert(0, switches);
  line = std::move(main);
}

// The group's main line, merged with its script lines and converted, in its paragraph.
FramedLine ConvertMainLine(DocumentState& doc, LineGroup& group, const PreparedGroup& prepared,
                           bool opensParagraph, int above, std::string& line, GroupFlow& flow) {
  const LineControls& controls = prepared.controls;
  // A main line alone: the merge would give it back as it is. It follows the switches to the
  // carried font in line, and the slot keeps its buffer for the next read; a long line moves up
  // in its own buffer instead, which line takes in exchange, so that it is neither copied nor
  // held twice.
  if (group.lastIndex == 0) {
    std::string& main = group.Lines[0];
    if (main.size() > kCopiedLine) {
      TakeLongLine(main, std::string_view(prepared.carried, prepared.carriedLength), line);
    } else {
      // The switches are copied as four characters, and the line cut back to their length.
      line.append(prepared.carried, sizeof prepared.carried);
      line.resize(prepared.carriedLength);
      line += main;
    }
    return FrameText(doc, line, prepared.mainCommands, opensParagraph, controls.paragraphEnd, above,
                     0, flow);
  }
  std::vector<std::string> formulas;
  if (doc.Equations) {
    formulas = PlaceFormulas(doc, group);
    for (const UnprocessedLine& unplaced : prepared.unprocessed) {
      if (!HoldsNoCharacter(doc.FontSlots, group.Lines[unplaced.slot])) {
        ReportUnprocessedScriptLine(doc.report, unplaced);
      }
    }
  }
  MergeGroup(
      doc, group, prepared.joiningSpace,
      !controls.paragraphEnd && !controls.pageBreak && !controls.equalsSeen && !prepared.divided,
      line);
  const FramedLine framed =
      FrameText(doc, line, CommandSummary::Of(line), opensParagraph, controls.paragraphEnd, above,
                group.lastIndex - group.mainIndex, flow);
  if (!formulas.empty()) PutFormulas(line, formulas);
  return framed;
}

// A group without a main line. line is empty.
FramedLine ConvertScriptLinesAlone(DocumentState& doc, const LineGroup& group,
                                   const LineControls& controls, bool opensParagraph, int above,
                                   std::string& line, GroupFlow& flow) {
  FramedLine framed;
  if (doc.KeepAllScripts && group.lastIndex >= 0 &&
      HasScriptRun(line = MergeAllScriptLines(doc, group, above))) {
    // The runs of script lines without a main line, when every run is kept: merged as if an
    // empty main line stood after the lines above it. They are a paragraph of their own; an
    // open paragraph is closed before it.
    framed = FrameText(doc, line, CommandSummary::Of(line), true, true, above,
                       group.lastIndex + 1 - above, flow);
    if (!opensParagraph) {
      line.insert(0, "\\par}");
      framed.wordsEnd += 5;
    }
    return framed;
  }
  // A group without text still closes an open paragraph when it carries the paragraph end;
  // otherwise the paragraph state stays as it was, so braces always balance.
  line.clear();
  if (!opensParagraph && controls.paragraphEnd) {
    line = "\\par}";
    flow.paragraphEnded = true;
    framed.endsParagraph = true;
  }
  return framed;
}

}  // namespace

FramedLine ConvertLineGroup(DocumentState& doc, TextInput& in, LineGroup& group, std::string& line,
                            GroupFlow& flow) {
  const bool opensParagraph = flow.paragraphEnded;
  Reporter& report = doc.report;
  // The group starts with the line read ahead, when there is one, or with the next line.
  if (report.Locating()) report.GroupStarts(in.LinesRead() + (flow.linePending ? 0 : 1));
  ReadLineGroup(doc.report, in, group, flow.linePending);
  if (report.Locating()) report.GroupRead(doc, group, flow.fontCarry);
  const int above = LinesAbove(group);
  const PreparedGroup prepared = PrepareGroup(doc, group, flow);
  const LineControls& controls = prepared.controls;

  line.clear();
  if (group.mainIndex < 0 || group.lastIndex == 0) {
    for (const UnprocessedLine& unplaced : prepared.unprocessed) {
      ReportUnprocessedScriptLine(doc.report, unplaced);
    }
  }
  const FramedLine framed =
      group.mainIndex >= 0
          ? ConvertMainLine(doc, group, prepared, opensParagraph, above, line, flow)
          : ConvertScriptLinesAlone(doc, group, controls, opensParagraph, above, line, flow);
  if (controls.pageBreak) {
    if (flow.paragraphEnded) {
      flow.pageBreakPending = true;  // for the next paragraph that opens
    } else {
      line += "\\page";
    }
  }

  if (report.Locating()) report.GroupEnds(doc, line);
  // Swapped, not moved: a long buffer of slot 0 goes to the slot after the group, which the
  // reader gives back.
  if (flow.linePending) group.Lines[0].swap(group.Lines[group.lastIndex + 1]);
  return framed;
}

}  // namespace pomvex
