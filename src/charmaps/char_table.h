// The shape shared by the six special-font tables: one entry per character code, saying which
// RTF text shows the glyph ChiWriter draws for that code, or that the table has no mapping.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/reporting.h"
#include "charmaps/face_coverage.h"

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

// The RTF text of one character of a special font, as a run in that font writes it (a text of
// one lone backslash doubled), worked out when the program is built.
struct CharText {
  static constexpr std::size_t kLongest = 48;
  std::uint8_t length = 0;
  bool drawsLine = false;  // the glyph is a piece of a line drawing (the Box Drawing block)
  char text[kLongest] = {};
  constexpr std::string_view View() const { return {text, length}; }
};

struct CharTable {
  std::string_view fontName;  // as the reports name the font
  std::array<CharEntry, 256> entries{};
  int entryCount = 0;  // rows that give the character a text (kept ones included)
  std::array<CharText, 256> texts{};
};

namespace char_text {

constexpr void Put(CharText& t, std::string_view piece) {
  if (t.length + piece.size() > CharText::kLongest) throw "a character's text is too long";
  for (const char c : piece) t.text[t.length++] = c;
}

// "\u" with the code unit as RTF's signed 16-bit number, and the substitute "?".
constexpr void PutCodeUnit(CharText& t, std::uint16_t unit) {
  int value = unit >= 0x8000 ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
  Put(t, "\\u");
  if (value < 0) {
    Put(t, "-");
    value = -value;
  }
  char digits[5] = {};
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0);
  while (n > 0) Put(t, std::string_view(&digits[--n], 1));
  Put(t, "?");
}

constexpr void PutUnicodeEscape(CharText& t, char32_t code) {
  if (code > 0xFFFF) {
    const char32_t offset = code - 0x10000;
    PutCodeUnit(t, static_cast<std::uint16_t>(0xD800 + (offset >> 10)));
    PutCodeUnit(t, static_cast<std::uint16_t>(0xDC00 + (offset & 0x3FF)));
    return;
  }
  PutCodeUnit(t, static_cast<std::uint16_t>(code));
}

// A character the document's face lacks is written in font 5, in a group of its own.
constexpr void PutTranslated(CharText& t, char32_t code) {
  if (DocumentFaceHas(code)) {
    PutUnicodeEscape(t, code);
    return;
  }
  Put(t, "{\\f5 ");
  PutUnicodeEscape(t, code);
  Put(t, "}");
}

constexpr bool InBoxDrawing(char32_t c) {
  return c >= 0x2500 && c <= 0x257F;
}

constexpr CharText TextOf(const CharEntry& entry, unsigned char ch) {
  CharText t;
  const char self[1] = {static_cast<char>(ch)};
  switch (entry.form) {
    case CharForm::kNoMapping:
    case CharForm::kNoEquivalent:
    case CharForm::kKept:
      Put(t, std::string_view(self, 1));
      break;
    case CharForm::kUnicode:
      PutTranslated(t, entry.code);
      break;
    case CharForm::kUnicodePair:
      PutTranslated(t, entry.code);
      PutTranslated(t, entry.second);
      break;
    case CharForm::kFont5:
      // The prolog's font 5 holds the double-struck capitals; the text returns to font 0.
      Put(t, "\\f5");
      PutUnicodeEscape(t, entry.code);
      Put(t, "\\f0 ");
      break;
    case CharForm::kHex:
      Put(t, "\\'");
      Put(t, entry.text);
      break;
    case CharForm::kText:
      Put(t, entry.text);
      break;
  }
  // One backslash alone would start an RTF control word: it is written as two.
  if (t.View() == "\\") Put(t, "\\");
  t.drawsLine = (entry.form == CharForm::kUnicode || entry.form == CharForm::kUnicodePair) &&
                (InBoxDrawing(entry.code) || InBoxDrawing(entry.second));
  return t;
}

}  // namespace char_text

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
  for (int code = 0; code < 256; ++code) {
    table.texts[code] = char_text::TextOf(table.entries[code], static_cast<unsigned char>(code));
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

// Reports ch when table cannot translate it (category 3): it has no mapping, or no Unicode
// character shows its glyph.
void ReportUntranslated(Reporter& report, const CharTable& table, unsigned char ch);

// Appends the RTF text of ch through table (its CharText); characters the table cannot
// translate are reported (category 3) and appended as they are. Asked for every character of a
// special font, so it is written here, where its callers can fold it in.
inline const CharText& AppendTableChar(Reporter& report, const CharTable& table, std::string& out,
                                       unsigned char ch) {
  const CharForm form = LookUpChar(table, ch).form;
  if (form == CharForm::kNoMapping || form == CharForm::kNoEquivalent) {
    ReportUntranslated(report, table, ch);
  }
  const CharText& text = table.texts[ch];
  out.append(text.text, text.length);
  return text;
}
std::string TranslateTableChar(Reporter& report, const CharTable& table, unsigned char ch);

}  // namespace pomvex::charmaps
