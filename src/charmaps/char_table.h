// The shape shared by the six special-font tables: one entry per character code, saying which
// RTF text shows the glyph ChiWriter draws for that code, or that the table has no mapping.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/reporting.h"

namespace pomvex::charmaps {

enum class CharForm : std::uint8_t {
  kNoMapping,     // unknown character: reported and written as it is
  kNoEquivalent,  // a glyph Unicode has no character for: reported and written as it is
  kKept,          // written as it is, without a report
  kUnicode,       // \uN?
  kUnicodePair,   // \uN?\uM?
  kFont5,         // \f5\uN?\f0 and a blank: code points beyond 65535, shown in font 5
  kHex,           // \'hh, a character of the ANSI code page, the digits as written in the table
  kText,          // the text itself
};

struct CharEntry {
  CharForm form = CharForm::kNoMapping;
  char32_t code = 0;
  char32_t second = 0;
  std::string_view text;  // the hex digits for kHex, the text for kText
};

// Entry makers, named so that a table row reads like the table it was copied from.
constexpr CharEntry U(char32_t code) {
  return {CharForm::kUnicode, code, 0, {}};
}
constexpr CharEntry U2(char32_t code, char32_t second) {
  return {CharForm::kUnicodePair, code, second, {}};
}
constexpr CharEntry Font5(char32_t code) {
  return {CharForm::kFont5, code, 0, {}};
}
constexpr CharEntry Hex(std::string_view digits) {
  return {CharForm::kHex, 0, 0, digits};
}
constexpr CharEntry Text(std::string_view text) {
  return {CharForm::kText, 0, 0, text};
}
constexpr CharEntry Kept() {
  return {CharForm::kKept, 0, 0, {}};
}
constexpr CharEntry NoMapping() {
  return {};
}
constexpr CharEntry NoEquivalent() {
  return {CharForm::kNoEquivalent, 0, 0, {}};
}

struct CharRow {
  char ch;
  CharEntry entry;
};

struct CharTable {
  std::string_view fontName;  // as the reports name the font
  std::array<CharEntry, 256> entries{};
  int entryCount = 0;  // rows that give the character a text (kept ones included)
};

// Builds a table from its rows; every code without a row takes the fallback. A character given
// two rows stops the compilation.
template <std::size_t N>
constexpr CharTable MakeCharTable(std::string_view fontName, CharEntry fallback,
                                  const CharRow (&rows)[N]) {
  CharTable table{fontName, {}, 0};
  table.entries.fill(fallback);
  std::array<bool, 256> seen{};
  for (const CharRow& row : rows) {
    const auto code = static_cast<unsigned char>(row.ch);
    if (seen[code]) throw "a character has two rows";
    seen[code] = true;
    table.entries[code] = row.entry;
    if (row.entry.form != CharForm::kNoMapping && row.entry.form != CharForm::kNoEquivalent) {
      ++table.entryCount;
    }
  }
  return table;
}

// The one lookup: the entry of ch, whose form is kNoMapping when the table does not know it.
constexpr const CharEntry& LookUpChar(const CharTable& table, unsigned char ch) {
  return table.entries[ch];
}

const CharTable& SymbolTable();
const CharTable& ForeignTable();
const CharTable& GreekTable();
const CharTable& LinedrawTable();
const CharTable& MathITable();
const CharTable& MathIITable();

// Appends "\u" with the code point as RTF's signed 16-bit number and the substitute "?"; a code
// point beyond 65535 is written as its UTF-16 surrogate pair, one escape for each half.
void AppendUnicodeEscape(std::string& out, char32_t code);

// The length of the group that writes a translated character in font 5 ("{\f5 \u8712?}") at
// the start of text; 0 when text does not start with one.
std::size_t FontFiveGroupLength(std::string_view text);

// Appends the RTF text of ch through table; characters the table cannot translate are reported
// (category 3) and appended as they are.
void AppendTableChar(Reporter& report, const CharTable& table, std::string& out, unsigned char ch);
std::string TranslateTableChar(Reporter& report, const CharTable& table, unsigned char ch);

}  // namespace pomvex::charmaps
