#include "layout/pipeline.h"

#include "base/char_sets.h"
#include "base/text_util.h"
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
  // Most lines hold no brace: the first one of the text found starts the rewrite.
  if (line.find('{') == std::string::npos && line.find('}') == std::string::npos) {
    if (EndsInLoneBackslash(line)) line += '\\';  // a lone backslash at the end is a literal one
    return;
  }
  const std::size_t n = line.size();
  std::size_t i = 0;
  for (; i < n; ++i) {
    const char c = line[i];
    if (c == '{' || c == '}') break;
    if (c != '\\') continue;
    if (i + 1 == n) break;
    ++i;  // a command, "\{" and "\}" among them, stays as it is
  }
  if (i == n) return;
  std::string out(line, 0, i);
  out.reserve(n + 8);
  for (; i < n; ++i) {
    const char c = line[i];
    if (c == '\\') {
      if (i + 1 == n) {
        out += "\\\\";  // a lone backslash at the end is a literal one
      } else {
        out.append(line, i, 2);
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
  ConvertScriptMarkers(line);                       // 12
  ConvertRules(line);                               // 13
  ConvertPageNumber(doc, line);                     // 14
  RemoveSpaceEscapes(line);                         // 15
}

}  // namespace pomvex
