// Writes table entries as RTF text and reports the characters a table cannot translate.
#include "charmaps/char_table.h"

#include "charmaps/face_coverage.h"

namespace pomvex::charmaps {

namespace {

constexpr int kUnknownCharacters = 3;  // error category of characters a font cannot show

// One UTF-16 code unit as RTF writes it: "\u" takes a signed 16-bit number.
void AppendCodeUnit(std::string& out, std::uint16_t unit) {
  const int value = unit >= 0x8000 ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
  out += "\\u";
  out += std::to_string(value);
  out += '?';
}

void Report(Reporter& report, std::string_view opening, const CharTable& table, char ch) {
  std::string text(opening);
  text += ch;
  text += "' in ";
  text += table.fontName;
  text += " font";
  report.ReportError(kUnknownCharacters, text);
}

constexpr std::string_view kFontFiveGroup = "{\\f5 ";

// The escape of a translated character; one that the document's face lacks is written in font
// 5 within a group of its own, so that the reader draws it from a face that has it.
void AppendTranslatedChar(std::string& out, char32_t code) {
  if (DocumentFaceHas(code)) {
    AppendUnicodeEscape(out, code);
    return;
  }
  out += kFontFiveGroup;
  AppendUnicodeEscape(out, code);
  out += '}';
}

}  // namespace

void AppendUnicodeEscape(std::string& out, char32_t code) {
  if (code > 0xFFFF) {
    const char32_t offset = code - 0x10000;
    AppendCodeUnit(out, static_cast<std::uint16_t>(0xD800 + (offset >> 10)));
    AppendCodeUnit(out, static_cast<std::uint16_t>(0xDC00 + (offset & 0x3FF)));
    return;
  }
  AppendCodeUnit(out, static_cast<std::uint16_t>(code));
}

void AppendTableChar(Reporter& report, const CharTable& table, std::string& out, unsigned char ch) {
  const CharEntry& entry = LookUpChar(table, ch);
  switch (entry.form) {
    case CharForm::kNoMapping:
      Report(report, "Unknown Character '", table, static_cast<char>(ch));
      out += static_cast<char>(ch);
      break;
    case CharForm::kNoEquivalent:
      Report(report, "No Unicode character equivalent to '", table, static_cast<char>(ch));
      out += static_cast<char>(ch);
      break;
    case CharForm::kKept:
      out += static_cast<char>(ch);
      break;
    case CharForm::kUnicode:
      AppendTranslatedChar(out, entry.code);
      break;
    case CharForm::kUnicodePair:
      AppendTranslatedChar(out, entry.code);
      AppendTranslatedChar(out, entry.second);
      break;
    case CharForm::kFont5:
      // The prolog's font 5 holds the double-struck capitals; the text returns to font 0.
      out += "\\f5";
      AppendUnicodeEscape(out, entry.code);
      out += "\\f0 ";
      break;
    case CharForm::kHex:
      out += "\\'";
      out += entry.text;
      break;
    case CharForm::kText:
      out += entry.text;
      break;
  }
}

std::size_t FontFiveGroupLength(std::string_view text) {
  if (!text.starts_with(kFontFiveGroup) || text.substr(kFontFiveGroup.size(), 2) != "\\u") return 0;
  std::size_t i = kFontFiveGroup.size() + 2;
  if (i < text.size() && text[i] == '-') ++i;
  const std::size_t digits = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == digits || text.substr(i, 2) != "?}") return 0;
  return i + 2;
}

std::string TranslateTableChar(Reporter& report, const CharTable& table, unsigned char ch) {
  std::string out;
  AppendTableChar(report, table, out, ch);
  return out;
}

}  // namespace pomvex::charmaps
