#include "conversion/line_assembly.h"

#include "base/text_util.h"
#include "conversion/line_group_reader.h"
#include "fonts/font_switches.h"
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

// "{\pard" with justification, space before and after (for the lines above and below the main
// line), the line's tab stops and a page break that waits for this paragraph. No word is
// followed by a space.
std::string ParagraphProperties(const DocumentState& doc, int above, int below,
                                const std::string& line, const std::string& tabStops,
                                GroupFlow& flow) {
  std::string props = "{\\pard";
  if (doc.Settings.JU && !IsAligned(line)) props += "\\qj";
  if (above >= 1) props += "\\sb" + std::to_string(25 * above);
  if (below >= 1) props += "\\sa" + std::to_string(25 * below);
  props += tabStops;
  if (flow.pageBreakPending) {
    props += "\\page";
    flow.pageBreakPending = false;
  }
  return props;
}

// Puts the paragraph's words and one space in front of line.
void OpenParagraph(std::string& line, const std::string& props, FramedLine& framed) {
  framed.opensParagraph = true;
  framed.wordsEnd = props.size();
  std::string text = props;
  text += ' ';
  text += line;
  line.swap(text);
}

// Whether the merged line ends in a script run: its last command is the run's end "\:", with
// nothing after it but font switches.
bool EndsInScriptRun(const FontSlotTable& slots, std::string_view line) {
  auto commandAtEnd = [&line] {
    return line.size() >= 2 && EndsInLoneBackslash(line.substr(0, line.size() - 1));
  };
  while (commandAtEnd() && IsFontSwitch(slots, line.back())) line.remove_suffix(2);
  return commandAtEnd() && line.back() == ':';
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

// The main line with the group's script lines merged in. spaceGoesOn: the paragraph goes on in
// the next group after a space (not in the middle of a word divided by a hyphenation mark).
std::string MergeGroup(DocumentState& doc, LineGroup& group, bool joiningSpace, bool spaceGoesOn) {
  std::string line;
  if (doc.KeepAllScripts) {
    line = MergeAllScriptLines(doc, group);
  } else {
    // A run that stands after the end of the main line goes directly after its last character;
    // the joining space, which is no column of the document, must not take that place and leave
    // the run without room.
    if (joiningSpace) group.Lines[group.mainIndex].pop_back();
    line = MergeScriptLines(doc, group);
    if (joiningSpace) line += ' ';
  }
  // A line that goes on in the next group and ends in a script run keeps a space after the run:
  // the run may have taken the hard space that ended the line, and a run beyond the end of a
  // line that ended in a space has none after it.
  if (spaceGoesOn && EndsInScriptRun(doc.FontSlots, line)) line += ' ';
  return line;
}

// Converts the merged text of a group and frames it: a paragraph opened with its words when the
// group opens one, closed when paragraphEnd. below counts the lines below the main line.
FramedLine FrameText(DocumentState& doc, std::string& line, bool opensParagraph, bool paragraphEnd,
                     int above, int below, GroupFlow& flow) {
  FramedLine framed;
  std::string tabStops;
  ProcessLineMarkup(doc, line, opensParagraph, tabStops);
  framed.holdsText = !line.empty();
  framed.drawsLines = doc.LineDrawsLines;
  if (opensParagraph) {
    OpenParagraph(line, ParagraphProperties(doc, above, below, line, tabStops, flow), framed);
  } else if (!tabStops.empty()) {
    line = tabStops + " " + line;
  }
  flow.paragraphEnded = paragraphEnd;
  if (paragraphEnd) line += "\\par}";
  framed.endsParagraph = paragraphEnd;
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
  const CommandCheck commands = CheckCommands(doc.report, group);
  // Only a group with such commands can leave one that is shown as text (TextShownCommands).
  doc.LineMayShowCommands = commands.unknown || commands.hyphenationMarks;
  // On the lines as they were read. When every run is kept, no script line is lost: those
  // further out are merged, and those of a group without a main line make a paragraph.
  if (!doc.KeepAllScripts) CheckExtraScriptLines(doc.report, group);
  // The stray markers are unknown commands: a group without one has none.
  if (commands.unknown) RemoveStrayMarkers(group);
  const LineControls controls = StripLineControls(group);
  flow.equalsSeen = controls.equalsSeen;
  const bool joined = AddJoiningSpace(group, controls);
  const std::size_t joinedLength = joined ? group.Lines[group.mainIndex].size() : 0;
  RemoveHyphenA(doc.report, group);
  RemoveHyphenB(doc.report, group);
  // The joining space is still the main line's last character unless a hyphenation mark took
  // it away (the word is divided). After a lone backslash it makes a hard space, which is a
  // column of its own.
  const bool divided = joined && group.Lines[group.mainIndex].size() != joinedLength;
  const bool joiningSpace =
      joined && !divided &&
      !EndsInLoneBackslash(
          std::string_view(group.Lines[group.mainIndex]).substr(0, joinedLength - 1));
  CarryFontAcrossLines(doc.FontSlots, group, flow.fontCarry);
  NormaliseScriptFonts(doc.FontSlots, group);

  line.clear();
  // The runs of script lines without a main line, when every run is kept: merged as if an
  // empty main line stood after the lines above it.
  std::string scriptsAlone;
  if (group.mainIndex < 0 && doc.KeepAllScripts && group.lastIndex >= 0) {
    scriptsAlone = MergeAllScriptLines(doc, group, above);
    if (!HasScriptRun(scriptsAlone)) scriptsAlone.clear();
  }
  FramedLine framed;
  if (group.mainIndex >= 0) {
    // A main line alone: the merge would give it back as it is. The slot takes the old buffer,
    // which the next read reuses.
    if (group.lastIndex == 0) {
      line.swap(group.Lines[0]);
    } else {
      line = MergeGroup(
          doc, group, joiningSpace,
          !controls.paragraphEnd && !controls.pageBreak && !controls.equalsSeen && !divided);
    }
    framed = FrameText(doc, line, opensParagraph, controls.paragraphEnd, above,
                       group.lastIndex - group.mainIndex, flow);
  } else if (!scriptsAlone.empty()) {
    // They are a paragraph of their own; an open paragraph is closed before it.
    line.swap(scriptsAlone);
    framed = FrameText(doc, line, true, true, above, group.lastIndex + 1 - above, flow);
    if (!opensParagraph) {
      line.insert(0, "\\par}");
      framed.wordsEnd += 5;
    }
  } else {
    // A group without text still closes an open paragraph when it carries the paragraph end;
    // otherwise the paragraph state stays as it was, so braces always balance.
    if (!opensParagraph && controls.paragraphEnd) {
      line = "\\par}";
      flow.paragraphEnded = true;
      framed.endsParagraph = true;
    }
  }
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
