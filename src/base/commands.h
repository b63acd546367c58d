// The backslash grammar of a ChiWriter line, said once. A line is text and commands: a command
// is a backslash and the one character after it, its command character. Commands pair from the
// start of the line, so a doubled backslash is one command, the literal backslash "\\", and its
// second backslash starts nothing. A backslash that ends the line has no character after it and
// pairs with nothing: a lone backslash. A hard space is the command "\ "; the converter's own
// in-line markers are commands whose characters ChiWriter does not use (InternalMarkers).
//
// One scan departs from the pairing: the font-switch scan looks at every backslash, also the
// second of a literal one, so that backslash, backslash, "1" holds a switch (NextBackslash and
// FindBackslashAnd serve it, and CommandSummary::afterAnyBackslash).
//
// Indexes are 0-based, kNoIndex meaning none. A search that pairs commands starts at a
// boundary: an index where a command may begin, that is, not the character of a command.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/char_sets.h"

namespace pomvex {

inline constexpr char kBackslash = '\\';
inline constexpr std::size_t kNoIndex = std::string_view::npos;

// Index of the first backslash at or after from; s.size() when there is none. Commands stand a
// few characters apart, too close for memchr to pay: sixteen bytes are compared at a time where
// the processor can (SSE2), else eight, and the lowest byte the test flags is always a backslash.
inline std::size_t NextBackslash(std::string_view s, std::size_t from) {
  const std::size_t n = s.size();
  std::size_t i = from;
  if (i < n && s[i] == kBackslash) return i;  // commands often follow each other
#if defined(__SSE2__)
  const __m128i backslashes = _mm_set1_epi8(kBackslash);
  for (; i + 16 <= n; i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i));
    const auto found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, backslashes)));
    if (found != 0) return i + static_cast<std::size_t>(std::countr_zero(found));
  }
  if (i < n && n >= 16) {
    // The last sixteen bytes, of which those before i were looked at already.
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + n - 16));
    const auto found =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, backslashes))) >>
        (i - (n - 16));
    return found != 0 ? i + static_cast<std::size_t>(std::countr_zero(found)) : n;
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    constexpr std::uint64_t kBackslashes = kOnes * static_cast<unsigned char>(kBackslash);
    for (; i + 8 <= n; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, s.data() + i, 8);
      const std::uint64_t x = word ^ kBackslashes;  // a zero byte where a backslash is
      const std::uint64_t found = (x - kOnes) & ~x & kHighBits;
      if (found != 0) return i + static_cast<std::size_t>(std::countr_zero(found)) / 8;
    }
  }
  while (i < n && s[i] != kBackslash) ++i;
  return i;
}

// Index of the first brace (and backslash, with kBackslashes) at or after from; s.size() when
// there is none. Sixteen bytes are compared at a time where the processor can.
template <bool kBackslashes>
inline std::size_t NextBrace(std::string_view s, std::size_t from) {
  const std::size_t n = s.size();
  std::size_t i = from;
#if defined(__SSE2__)
  const __m128i backslashes = _mm_set1_epi8(kBackslash);
  const __m128i open = _mm_set1_epi8('{');
  const __m128i close = _mm_set1_epi8('}');
  for (; i + 16 <= n; i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i));
    __m128i found = _mm_or_si128(_mm_cmpeq_epi8(chunk, open), _mm_cmpeq_epi8(chunk, close));
    if constexpr (kBackslashes) found = _mm_or_si128(found, _mm_cmpeq_epi8(chunk, backslashes));
    const auto bits = static_cast<unsigned>(_mm_movemask_epi8(found));
    if (bits != 0) return i + static_cast<std::size_t>(std::countr_zero(bits));
  }
  if (i < n && n >= 16) {
    // The last sixteen bytes, of which those before i were looked at already.
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + n - 16));
    __m128i found = _mm_or_si128(_mm_cmpeq_epi8(chunk, open), _mm_cmpeq_epi8(chunk, close));
    if constexpr (kBackslashes) found = _mm_or_si128(found, _mm_cmpeq_epi8(chunk, backslashes));
    const auto bits = static_cast<unsigned>(_mm_movemask_epi8(found)) >> (i - (n - 16));
    return bits != 0 ? i + static_cast<std::size_t>(std::countr_zero(bits)) : n;
  }
#endif
  while (i < n && (!kBackslashes || s[i] != kBackslash) && s[i] != '{' && s[i] != '}') ++i;
  return i;
}

// Whether the backslash at i begins a command (or is a lone one): the run of backslashes that
// ends at i has odd length. A run that follows any other character begins at a boundary.
inline bool BeginsCommand(std::string_view s, std::size_t i, std::size_t boundary = 0) {
  std::size_t run = 1;
  while (i - run + 1 > boundary && s[i - run] == kBackslash) ++run;
  return run % 2 == 1;
}

// Whether the character at i is the command character of a command (the backslash before it
// begins one).
inline bool IsCommandCharAt(std::string_view s, std::size_t i) {
  return i > 0 && s[i - 1] == kBackslash && BeginsCommand(s, i - 1);
}

// True when s ends in a backslash that pairs with nothing.
inline bool EndsInLoneBackslash(std::string_view s) {
  return !s.empty() && s.back() == kBackslash && BeginsCommand(s, s.size() - 1);
}

// The command "\" + c begins at i, a boundary.
inline bool IsCommandAt(std::string_view s, std::size_t i, char c) {
  return i + 1 < s.size() && s[i] == kBackslash && s[i + 1] == c;
}
inline bool IsHardSpaceAt(std::string_view s, std::size_t i) {
  return IsCommandAt(s, i, ' ');
}

// The index after the run of hard spaces that begins at the boundary i; i when none begins
// there. Runs pad the columns of tables: where the processor can, sixteen bytes (eight hard
// spaces) are compared at a time with the run's pattern.
inline std::size_t HardSpaceRunEnd(std::string_view s, std::size_t i) {
#if defined(__SSE2__)
  // A backslash in the low byte and a space in the high one: "\ " as memory holds it.
  const __m128i pattern = _mm_set1_epi16(static_cast<short>(kBackslash | (' ' << 8)));
  for (; i + 16 <= s.size(); i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i));
    const auto same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, pattern)));
    if (same != 0xFFFF)
      return i + (static_cast<std::size_t>(std::countr_one(same)) & ~std::size_t{1});
  }
#endif
  while (IsHardSpaceAt(s, i)) i += 2;
  return i;
}

// The commands of a line, one after the other, from a boundary:
//   for (CommandWalk c(line); c.Next();) ... c.At(), c.Char(), c.TextBefore() ...
// A lone backslash at the end is no command: Next() stops before it, and LoneAtEnd() says so.
class CommandWalk {
 public:
  explicit CommandWalk(std::string_view s, std::size_t from = 0) : s_(s), end_(from) {}

  bool Next() {
    begin_ = end_;
    at_ = NextBackslash(s_, end_);
    if (at_ + 1 >= s_.size()) {
      end_ = s_.size();
      return false;
    }
    end_ = at_ + 2;
    return true;
  }
  // The backslash of the command, and its command character.
  std::size_t At() const { return at_; }
  char Char() const { return s_[at_ + 1]; }
  // The index after the command, where the walk goes on; a step that takes an argument
  // character with the command moves it on.
  std::size_t End() const { return end_; }
  void ResumeAt(std::size_t boundary) { end_ = boundary; }
  // The text between the previous command (or the start) and this one; after the last command,
  // Rest() is the text that follows it.
  std::string_view TextBefore() const { return s_.substr(begin_, at_ - begin_); }
  std::string_view Rest() const { return s_.substr(begin_); }
  // After Next() gave false: the line ends in a lone backslash.
  bool LoneAtEnd() const { return at_ + 1 == s_.size(); }

 private:
  std::string_view s_;
  std::size_t begin_ = 0;  // where the text before the current command begins
  std::size_t at_ = 0;
  std::size_t end_;
};

// Index of the first command at or after the boundary from whose command character is in
// commands; kNoIndex when there is none.
inline std::size_t FindCommand(std::string_view s, const CharSet& commands, std::size_t from = 0) {
  for (CommandWalk c(s, from); c.Next();) {
    if (commands.Contains(c.Char())) return c.At();
    if (c.Char() == ' ') c.ResumeAt(HardSpaceRunEnd(s, c.End()));  // hard spaces come in runs
  }
  return kNoIndex;
}

// FindCommand for one command character c other than a backslash, quicker when c is rare in
// the text: it looks for c and takes it for a command character when an odd run of backslashes
// stands right before it.
inline std::size_t FindCommand(std::string_view s, char c, std::size_t from = 0) {
  for (std::size_t at = s.find(c, from + 1); at != kNoIndex; at = s.find(c, at + 1)) {
    if (s[at - 1] == kBackslash && BeginsCommand(s, at - 1, from)) return at - 1;
  }
  return kNoIndex;
}

template <typename Commands>
bool HasCommand(std::string_view s, const Commands& commands) {
  return FindCommand(s, commands) != kNoIndex;
}

// Index of the first backslash at or after from that is followed by c (not a backslash), every
// backslash looked at, also one that follows another (the font-switch scan); kNoIndex when
// there is none. Quick when c is rare in the text.
inline std::size_t FindBackslashAnd(std::string_view s, char c, std::size_t from = 0) {
  for (std::size_t at = s.find(c, from + 1); at != kNoIndex; at = s.find(c, at + 1)) {
    if (s[at - 1] == kBackslash) return at - 1;
  }
  return kNoIndex;
}

// The command characters a line holds, found in one walk: what the steps of the pipeline look
// at before they look for a command, so that a line without any of theirs is passed at once.
struct CommandSummary {
  CharSet commands;           // the characters of the line's commands
  CharSet afterAnyBackslash;  // the characters after every backslash (the font-switch scan)
  bool loneAtEnd = false;

  static CommandSummary Of(std::string_view s) {
    CommandSummary summary;
    CommandWalk c(s);
    while (c.Next()) {
      summary.commands.Insert(c.Char());
      // The second backslash of a literal one, with the character after it.
      if (c.Char() == kBackslash && c.End() < s.size())
        summary.afterAnyBackslash.Insert(s[c.End()]);
    }
    summary.afterAnyBackslash = summary.afterAnyBackslash.Union(summary.commands);
    summary.loneAtEnd = c.LoneAtEnd();
    return summary;
  }
  // The commands of a line that holds those of both (the end of the line aside).
  void Add(const CommandSummary& other) {
    commands = commands.Union(other.commands);
    afterAnyBackslash = afterAnyBackslash.Union(other.afterAnyBackslash);
  }
  bool Has(char c) const { return commands.Contains(c); }
  bool HasAny(const CharSet& set) const { return commands.Intersects(set); }
};

}  // namespace pomvex
