// Writes table entries as RTF text and reports the characters a table cannot translate.
#include "charmaps/char_table.h"

namespace pomvex::charmaps {

namespace {

void Report(Reporter& report, std::string_view opening, const CharTable& table, char ch) {
  std::string text(opening);
  text += ch;
  text += "' in ";
  text += table.fontName;
  text += " font";
  report.ReportError(Category::UnknownCharacter, text);
}

constexpr std::string_view kFontFiveGroup = "{\\f5 ";

}  // namespace

void AppendUnicodeEscape(std::string& out, char32_t code) {
  CharText escape;
  char_text::PutUnicodeEscape(escape, code);
  out += escape.View();
}

void ReportUntranslated(Reporter& report, const CharTable& table, unsigned char ch) {
  const CharForm form = LookUpChar(table, ch).form;
  if (form == CharForm::kNoMapping)
    Report(report, "Unknown Character '", table, static_cast<char>(ch));
  if (form == CharForm::kNoEquivalent) {
    Report(report, "No Unicode character equivalent to '", table, static_cast<char>(ch));
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
