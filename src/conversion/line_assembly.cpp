#include "conversion/line_assembly.h"

#include "base/text_util.h"
#include "conversion/line_group_reader.h"
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

// "{\pard" with justification, space before and after, and the line's tab stops.
std::string ParagraphProperties(const DocumentState& doc, const LineGroup& group,
                                const std::string& line, const std::string& tabStops) {
  std::string props = "{\\pard";
  if (doc.Settings.JU && !IsAligned(line)) props += "\\qj";
  const int above = group.mainIndex;
  const int below = group.lastIndex - group.mainIndex;
  if (above >= 1) props += "\\sb" + std::to_string(25 * above);
  if (below >= 1) props += "\\sa" + std::to_string(25 * below);
  props += tabStops;
  return props;
}

}  // namespace

void ConvertLineGroup(DocumentState& doc, TextInput& in, LineGroup& group, std::string& line,
                      GroupFlow& flow) {
  const bool opensParagraph = flow.paragraphEnded;
  ReadLineGroup(doc.report, in, group, flow.linePending);
  const bool unknownCommands = CheckCommands(doc.report, group);
  // On the lines as they were read. When every run is kept, the lines further out are merged,
  // not lost; without a main line there is nothing to merge them into.
  if (!doc.KeepAllScripts || group.mainIndex < 0) CheckExtraScriptLines(doc.report, group);
  // The stray markers are unknown commands: a group without one has none.
  if (unknownCommands) RemoveStrayMarkers(group);
  const LineControls controls = StripLineControls(group);
  flow.equalsSeen = controls.equalsSeen;
  const bool joined = AddJoiningSpace(group, controls);
  const std::size_t joinedLength = joined ? group.Lines[group.mainIndex].size() : 0;
  RemoveHyphenA(doc.report, group);
  RemoveHyphenB(doc.report, group);
  // The joining space is still the main line's last character unless a hyphenation mark took
  // it away. After a lone backslash it makes a hard space, which is a column of its own.
  const bool joiningSpace =
      joined && group.Lines[group.mainIndex].size() == joinedLength &&
      !EndsInLoneBackslash(
          std::string_view(group.Lines[group.mainIndex]).substr(0, joinedLength - 1));
  CarryFontAcrossLines(doc.FontSlots, group, flow.fontCarry);
  NormaliseScriptFonts(doc.FontSlots, group);

  line.clear();
  if (group.mainIndex < 0) {
    // A group without text still closes an open paragraph when it carries the paragraph end;
    // otherwise the paragraph state stays as it was, so braces always balance.
    if (!opensParagraph && controls.paragraphEnd) {
      line = "\\par}";
      flow.paragraphEnded = true;
    }
  } else {
    if (group.lastIndex == 0) {
      // A main line alone: the merge would give it back as it is. The slot takes the old
      // buffer, which the next read reuses.
      line.swap(group.Lines[0]);
    } else {
      if (doc.KeepAllScripts) {
        line = MergeAllScriptLines(doc, group);
      } else {
        // A run that stands after the end of the main line goes directly after its last
        // character; the joining space, which is no column of the document, must not take
        // that place and leave the run without room.
        if (joiningSpace) group.Lines[group.mainIndex].pop_back();
        line = MergeScriptLines(doc, group);
        if (joiningSpace) line += ' ';
      }
    }
    std::string tabStops;
    ProcessLineMarkup(doc, line, opensParagraph, tabStops);
    if (opensParagraph) {
      std::string framed = ParagraphProperties(doc, group, line, tabStops);
      framed += ' ';
      framed += line;
      line.swap(framed);
    } else if (!tabStops.empty()) {
      line = tabStops + " " + line;
    }
    flow.paragraphEnded = controls.paragraphEnd;
    if (flow.paragraphEnded) line += "\\par}";
  }
  if (controls.pageBreak) line += "\\page";

  // Swapped, not moved: a long buffer of slot 0 goes to the slot after the group, which the
  // reader gives back.
  if (flow.linePending) group.Lines[0].swap(group.Lines[group.lastIndex + 1]);
}

}  // namespace pomvex
