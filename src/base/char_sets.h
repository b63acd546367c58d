// The constant sets of command characters (the character after a backslash).
#pragma once

#include <string_view>

namespace pomvex {

class CharSet {
 public:
  constexpr CharSet() = default;
  constexpr explicit CharSet(std::string_view members) { Add(members); }
  constexpr CharSet With(std::string_view more) const {
    CharSet s = *this;
    s.Add(more);
    return s;
  }
  constexpr CharSet Union(const CharSet& other) const {
    CharSet s = *this;
    for (int i = 0; i < 4; ++i) s.words_[i] |= other.words_[i];
    return s;
  }
  constexpr CharSet Without(std::string_view less) const {
    CharSet s = *this;
    for (char c : less) {
      auto u = static_cast<unsigned char>(c);
      s.words_[u >> 6] &= ~(1ull << (u & 63));
    }
    return s;
  }
  constexpr CharSet Complement() const {
    CharSet s;
    for (int i = 0; i < 4; ++i) s.words_[i] = ~words_[i];
    return s;
  }
  constexpr bool Contains(char c) const {
    auto u = static_cast<unsigned char>(c);
    return (words_[u >> 6] >> (u & 63)) & 1ull;
  }
  constexpr void Insert(char c) {
    auto u = static_cast<unsigned char>(c);
    words_[u >> 6] |= 1ull << (u & 63);
  }
  constexpr bool Intersects(const CharSet& other) const {
    return ((words_[0] & other.words_[0]) | (words_[1] & other.words_[1]) |
            (words_[2] & other.words_[2]) | (words_[3] & other.words_[3])) != 0;
  }

 private:
  constexpr void Add(std::string_view members) {
    for (char c : members) Insert(c);
  }
  unsigned long long words_[4] = {0, 0, 0, 0};
};

// Slot characters that a font declaration can fill.
inline constexpr CharSet SlotChars{"!\"#$0123456789"};
// Commands that occupy one column of the printed line.
inline constexpr CharSet OneColumnCommands{" @X[\\]^{}"};
// The one-column commands as counted when columns are located ("\]" takes none there).
inline constexpr CharSet PositionColumnCommands = OneColumnCommands.Without("]");
// Commands that can begin a script segment.
inline constexpr CharSet SegmentStartCommands = OneColumnCommands.With("F");
// Line layout commands.
inline constexpr CharSet LayoutCommands{" +,-/=[]^"};
// The converter's own in-line markers: script runs, tab text, line-drawing placeholders.
inline constexpr CharSet InternalMarkers{":<>DELRX"};
// Commands that end a script segment or a word.
inline constexpr CharSet SegmentBreakers = LayoutCommands.Union(InternalMarkers);
// Every character that may follow a backslash in a ChiWriter line.
inline constexpr CharSet KnownCommands = SlotChars.Union(LayoutCommands).With("@ABFGNU\\p");

// Known commands that no step gives a meaning where they can still stand when the font step
// comes: the line codes after their first occurrence in a line ("\+", "\-", "\,", "\=", "\/"),
// and the marks of footnote sections and header lines in the body ("\N", "\p", "\U").
inline constexpr CharSet LeftoverCommands{"+-,=/NUp"};
// Commands that reach the font step as written though no step gives them a meaning: the unknown
// ones and the hyphenation marks that could not be removed (both reported), and the leftover
// ones. They are written as text, behind a literal backslash, so that a reader shows them and the
// letters after them rather than taking them for RTF control words. "\{" and "\}" are left out:
// they are literal braces in RTF as they stand. (A switch to an empty font slot is left out.)
inline constexpr CharSet TextShownCommands =
    KnownCommands.Union(InternalMarkers).With("{}").Complement().With("AB").Union(LeftoverCommands);

}  // namespace pomvex
