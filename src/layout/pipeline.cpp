#include "layout/pipeline.h"

#include <algorithm>

#include "base/char_sets.h"
#include "base/text_util.h"
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
  while (i < n && (line[i] == ' ' || line[i] == '\\')) {
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
  // an odd run of backslashes stands before it (the command "\{" or "\}": commands pair from
  // the start, and a run of backslashes after any other character begins where one may).
  const std::string_view text = line;
  std::string out;
  std::size_t copied = 0;  // text[..copied) is in out
  std::size_t open = text.find('{');
  std::size_t close = text.find('}');
  while (open != std::string_view::npos || close != std::string_view::npos) {
    const std::size_t brace = std::min(open, close);
    std::size_t run = 0;
    while (run < brace && text[brace - 1 - run] == '\\') ++run;
    // A translated character that the translation set in font 5 keeps its group.
    const std::size_t group =
        run % 2 == 0 && text[brace] == '{' ? charmaps::FontFiveGroupLength(text.substr(brace)) : 0;
    if (run % 2 == 0 && group == 0) {
      out.append(text, copied, brace - copied);
      out += '\\';
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
  if (EndsInLoneBackslash(line)) line += '\\';  // a lone backslash at the end is a literal one
}

void ProcessLineMarkup(DocumentState& doc, std::string& line, bool startsParagraph,
                       std::string& tabStops) {
  doc.LineDrawsLines = false;
  // The size in force where the line starts, before step 4 moves the format on.
  const int halfPoints = HalfPointsOf(startsParagraph ? SizeOf(STANDARD) : doc.CurSize);
  TrimContinuationLine(line, startsParagraph);      //  1
  FindTabStops(doc, line);                          //  2
  AnchorInheritingFonts(doc.FontSlots, line);       //  3
  ConvertFontSwitches(doc, line, startsParagraph);  //  4
  ConvertPictures(doc.report, line);                //  5
  ConvertCentring(line);                            //  6
  ConvertRightAlignment(line);                      //  7
  CollapseHardSpaces(line, startsParagraph);        //  8
  WriteTabStops(doc, line, tabStops);               //  9
  EscapeBraces(line);                               // 10
  ConvertFootnoteRefs(doc, line, doc.NoteTexts);    // 11
  ConvertScriptMarkers(line, halfPoints);           // 12
  ConvertRules(line);                               // 13
  ConvertPageNumber(doc, line);                     // 14
  RemoveSpaceEscapes(line);                         // 15
}

}  // namespace pomvex
