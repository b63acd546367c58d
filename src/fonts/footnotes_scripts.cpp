// Footnote references become the footnote's mark and an RTF footnote, script runs become
// superscript and subscript groups, the page-number command a page-number field, and escaped
// spaces plain spaces. What these steps insert carries its formatting in a group of its own.
#include "fonts/footnotes_scripts.h"

#include <bitset>
#include <string_view>

#include "charmaps/special_chars.h"
#include "fonts/character_format.h"

namespace pomvex {

namespace {

constexpr bool IsFootnoteSymbol(char c) {
  return c >= '!' && c <= '9';
}

// Appends text to out with its footnote references converted. The scan goes command by
// command, so a literal backslash ("\\") never starts a reference. The text of an inserted
// footnote is scanned like the rest of the line; active holds the symbols whose text is being
// inserted around the current point, and a reference back to one of them gets its mark only,
// as inserting that text again would never end.
void AppendWithFootnotes(DocumentState& doc, std::string_view text, std::bitset<25>& active,
                         std::string& out) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    if (text[i] != '\\' || i + 1 == n) {
      out += text[i];
      i += 1;
      continue;
    }
    if (text[i + 1] != 'F') {
      out.append(text, i, 2);
      i += 2;
      continue;
    }
    const char symbol = i + 2 < n ? text[i + 2] : ' ';
    if (!IsFootnoteSymbol(symbol)) {
      doc.report.ReportError(
          10, std::string("Unexpected footnote symbol ") + symbol + ". Failed to insert footnote");
      out += "\\F";  // the character after it is read again as text
      i += 2;
      continue;
    }
    const std::string mark = FootnoteMark(doc.report, symbol);
    const std::size_t slot = static_cast<std::size_t>(symbol - '!');
    if (doc.InFootnoteText || active[slot]) {
      out += mark;
    } else {
      out += '{';
      out += mark;
      out += "}{\\footnote ";
      active.set(slot);
      AppendWithFootnotes(doc, doc.FootnoteText(symbol), active, out);
      active.reset(slot);
      out += '}';
    }
    i += 3;
  }
}

}  // namespace

std::string FootnoteMark(Reporter& report, char symbol) {
  switch (symbol) {
    case '!':  // low asterisk
      return TranslateSymbolChar(report, '1');
    case '"':  // dagger
      return TranslateSymbolChar(report, '2');
    case '#':  // double dagger
      return TranslateSymbolChar(report, '3');
    case '$':  // pilcrow
      return TranslateSymbolChar(report, 'P');
    case '%':  // section sign
      return TranslateSymbolChar(report, 'S');
    default:
      break;
  }
  if (symbol >= '&' && symbol <= '/') return std::string(1, static_cast<char>(symbol + 60));
  return std::string(1, symbol);  // the digits
}

void ConvertFootnoteRefs(DocumentState& doc, std::string& line) {
  if (line.find("\\F") == std::string::npos) return;
  std::string out;
  out.reserve(line.size());
  std::bitset<25> active;
  AppendWithFootnotes(doc, line, active, out);
  line = std::move(out);
}

void ConvertScriptMarkers(std::string& line) {
  std::string out;
  out.reserve(line.size() + 16);
  const std::size_t n = line.size();
  std::size_t i = 0;
  while (i < n) {
    if (line[i] != '\\' || i + 1 == n) {
      out += line[i];
      i += 1;
      continue;
    }
    switch (line[i + 1]) {
      case '<':  // a lowered run opens
        out += "{\\sub\\dn3 ";
        break;
      case '>':  // a raised run opens
        out += "{\\super\\up3 ";
        break;
      case ':':  // the run closes
        out += '}';
        break;
      default:
        out.append(line, i, 2);
        break;
    }
    i += 2;
  }
  line = std::move(out);
}

void ConvertPageNumber(const DocumentState& doc, std::string& line) {
  const std::size_t n = line.size();
  std::size_t i = 0;
  while (i + 1 < n && !(line[i] == '\\' && line[i + 1] == '@')) i += line[i] == '\\' ? 2 : 1;
  if (i + 1 >= n) return;
  // The page-number font; a PF that names no slot holding a font is written as STANDARD is.
  const FontKind kind = doc.FontSlots[doc.Settings.PF];
  // The old values are no valid indices: face, style and size are all written.
  const std::string field = "{" + FaceCodes(3, FaceOf(kind)) + StyleCodes(4, StyleOf(kind)) +
                            SizeCodes(3, SizeOf(kind)) + "\\chpgn} ";
  line.replace(i, 2, field);
}

void RemoveSpaceEscapes(std::string& line) {
  std::string out;
  out.reserve(line.size());
  const std::size_t n = line.size();
  std::size_t i = 0;
  while (i < n) {
    if (line[i] != '\\' || i + 1 == n) {
      out += line[i];
      i += 1;
    } else if (line[i + 1] == ' ') {
      out += ' ';
      i += 2;
    } else {
      out.append(line, i, 2);  // a literal backslash stays two characters
      i += 2;
    }
  }
  line = std::move(out);
}

}  // namespace pomvex
