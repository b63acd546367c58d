// The ChiWriter font families a document can declare, and the fixed classes they fall into.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace pomvex {

// The numbers are fixed: tables elsewhere are indexed by them.
enum FontKind : std::uint8_t {
  STANDARD = 0,
  SMALL = 1,
  ITALIC = 2,
  BOLD = 3,
  FOREIGN = 4,
  SYMBOL = 5,
  GREEK = 6,
  SCRIPT = 7,
  LINEDRAW = 8,
  MATHI = 9,
  MATHII = 10,
  UNDERLIN = 11,
  ORATOR = 12,
  GOTHIC = 13,
  NONE = 14,
};

// A constant set of font kinds.
class FontKindSet {
 public:
  constexpr FontKindSet(std::initializer_list<FontKind> kinds) {
    for (FontKind k : kinds) bits_ |= static_cast<std::uint16_t>(1u << k);
  }
  constexpr bool Contains(FontKind k) const { return k < NONE && (bits_ >> k) & 1u; }

 private:
  std::uint16_t bits_ = 0;
};

// Fonts whose letters are ordinary letters under RTF character formatting.
inline constexpr FontKindSet TextFonts{STANDARD, SMALL,    ITALIC, BOLD,  SCRIPT,
                                       LINEDRAW, UNDERLIN, ORATOR, GOTHIC};
// Fonts whose characters go through the character tables.
inline constexpr FontKindSet SpecialFonts{FOREIGN, SYMBOL, GREEK, LINEDRAW, MATHI, MATHII};
// Fonts that keep the style and size in force; a switch to them changes the face only.
inline constexpr FontKindSet InheritingFonts{FOREIGN, GREEK};

}  // namespace pomvex
