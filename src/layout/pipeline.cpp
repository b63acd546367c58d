#include "layout/pipeline.h"

#include "base/char_sets.h"
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
  const std::size_t n = line.size();
  while (i < n && (line[i] == ' ' || line[i] == '\\')) {
    if (line[i] == ' ') {
      ++i;
      continue;
    }
    if (i + 1 == n) break;  // a lone backslash ends the line
    const char c = line[i + 1];
    if (SegmentBreakers.Contains(c) && c != ':' && c != '<' && c != '>') {
      i += 2;
    } else if (OneColumnCommands.Contains(c)) {
      break;
    } else {
      kept.append(line, i, 2);
      i += 2;
    }
  }
  line = kept + line.substr(i);
}

void EscapeBraces(std::string& line) {
  std::string out;
  out.reserve(line.size() + 8);
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\\') {
      if (i + 1 == line.size()) {
        out += "\\\\";  // a lone backslash at the end is a literal one
      } else {
        out.append(line, i, 2);  // a command, "\{" and "\}" among them, stays as it is
        ++i;
      }
      continue;
    }
    if (c == '{' || c == '}') out += '\\';
    out += c;
  }
  line = std::move(out);
}

void ProcessLineMarkup(DocumentState& doc, std::string& line, bool startsParagraph,
                       std::string& tabStops) {
  TrimContinuationLine(line, startsParagraph);                //  1
  FindTabStops(doc, line);                                    //  2
  AnchorInheritingFonts(doc.FontSlots, line);                 //  3
  ConvertFontSwitches(doc, line, startsParagraph);            //  4
  ConvertPictures(doc.report, line);                          //  5
  ConvertCentring(line);                                      //  6
  ConvertRightAlignment(line);                                //  7
  CollapseHardSpaces(line, startsParagraph);                  //  8
  WriteTabStops(doc, line, tabStops);                         //  9
  EscapeBraces(line);                                         // 10
  ConvertFootnoteRefs(doc, line);                             // 11
  ConvertScriptMarkers(line);                                 // 12
  ConvertRules(line);                                         // 13
  ConvertPageNumber(doc, line);                               // 14
  RemoveSpaceEscapes(line);                                   // 15
}

}  // namespace pomvex
