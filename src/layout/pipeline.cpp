#include "layout/pipeline.h"

#include <algorithm>

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
  std::string kept;
  std::size_t i = 0;  // characters before i have been deleted or kept
  bool deleted = false;
  const std::size_t n = line.size();
  while (i < n && (line[i] == ' ' || line[i] == kBackslash)) {
    if (line[i] == ' ') {
      ++i;
      deleted = true;
      continue;
    }
    if (i + 1 == n) break;  // a lone backslash ends the line
    const char c = line[i + 1];
    if (SegmentBreakers.Contains(c) && c != ':' && c != '<' && c != '>') {
      i += 2;
      deleted = true;
    } else if (OneColumnCommands.Contains(c)) {
      break;
    } else {
      kept.append(line, i, 2);
      i += 2;
    }
  }
  if (deleted) line.replace(0, i, kept);
}

void EscapeBraces(std::string& line) {
  // Braces are rare: the line is searched for them, and each found is a brace of the text unless
  // it is the character of a command ("\{" or "\}").
  const std::string_view text = line;
  std::string out;
  std::size_t copied = 0;  // text[..copied) is in out
  std::size_t open = text.find('{');
  std::size_t close = text.find('}');
  while (open != kNoIndex || close != kNoIndex) {
    const std::size_t brace = std::min(open, close);
    const bool command = IsCommandCharAt(text, brace);
    // A translated character that the translation set in font 5 keeps its group.
    const std::size_t group =
        !command && text[brace] == '{' ? charmaps::FontFiveGroupLength(text.substr(brace)) : 0;
    if (!command && group == 0) {
      out.append(text, copied, brace - copied);
      out += kBackslash;
      copied = brace;
    }
    const std::size_t next = brace + std::max<std::size_t>(group, 1);
    if (open < next) open = text.find('{', next);
    if (close < next) close = text.find('}', next);
  }
  if (!out.empty()) {  // a brace was escaped
    out.append(text, copied);
    line = std::move(out);
  }
  if (EndsInLoneBackslash(line))
    line += kBackslash;  // a lone backslash at the end is a literal one
}

void ProcessLineMarkup(DocumentState& doc, std::string& line, bool startsParagraph,
                       std::string& tabStops) {
  ProcessLineMarkup(doc, line, CommandSummary::Of(line), startsParagraph, tabStops);
}

void ProcessLineMarkup(DocumentState& doc, std::string& line, const CommandSummary& has,
                       bool startsParagraph, std::string& tabStops) {
  static constexpr CharSet kTabMarks{"[]"};
  static constexpr CharSet kTabWords{"[]RD"};
  static constexpr CharSet kScriptMarkers{"<>:"};
  static constexpr CharSet kPlaceholders{"LE"};
  const FontSlotTable& slots = doc.FontSlots;
  doc.LineDrawsLines = false;
  // The size in force where the line starts, before step 4 moves the format on.
  const int halfPoints = HalfPointsOf(startsParagraph ? SizeOf(STANDARD) : doc.CurSize);
  // A step whose commands the line does not hold has nothing to do and is passed. Later steps
  // also meet what earlier ones wrote: the tab markers of step 2 come from "\]", the
  // placeholders of step 4 from line-drawing text, and the footnote texts of step 11 may hold
  // anything.
  const bool inheriting =
      has.afterAnyBackslash.Intersects(slots.SlotsOf(FOREIGN).Union(slots.SlotsOf(GREEK)));
  const bool placeholders =
      has.HasAny(kPlaceholders) || has.afterAnyBackslash.Intersects(slots.SlotsOf(LINEDRAW));
  const bool notes = has.Has('F');
  doc.LineMayOpenScriptRuns = has.Has('<') || has.Has('>');

  TrimContinuationLine(line, startsParagraph);         //  1
  if (has.HasAny(kTabMarks)) FindTabStops(doc, line);  //  2
  if (inheriting) {
    AnchorAndConvertFontSwitches(doc, line, startsParagraph);  //  3, 4
  } else {
    ConvertFontSwitches(doc, line, startsParagraph);  //  4
  }
  if (has.Has('G')) ConvertPictures(doc.report, line);                              //  5
  if (has.Has('^')) ConvertCentring(line);                                          //  6
  if (has.Has('^')) ConvertRightAlignment(line);                                    //  7
  if (has.Has(' ')) CollapseHardSpaces(line, startsParagraph);                      //  8
  if (has.HasAny(kTabWords)) WriteTabStops(doc, line, tabStops);                    //  9
  EscapeBraces(line);                                                               // 10
  if (notes) ConvertFootnoteRefs(doc, line, doc.NoteTexts);                         // 11
  if (notes || has.HasAny(kScriptMarkers)) ConvertScriptMarkers(line, halfPoints);  // 12
  ConvertRules(line, notes || placeholders);                                        // 13
  if (notes || has.Has('@')) ConvertPageNumber(doc, line);                          // 14
  if (notes || has.Has(' ')) RemoveSpaceEscapes(line);                              // 15
}

}  // namespace pomvex
