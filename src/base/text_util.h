// Small text helpers used across the converter. Positions are 1-based, 0 meaning not found;
// the command searches give 0-based indexes, npos meaning not found.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/char_sets.h"

namespace pomvex {

// Position of the first occurrence of sub in s that begins at or after start.
int PosFrom(int start, std::string_view sub, std::string_view s);

// True for the ASCII letters only.
constexpr bool IsLetter(char ch) {
  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

// The character at 1-based position pos, or '\0' outside the string.
inline char CharAt(std::string_view s, int pos) {
  return pos >= 1 && static_cast<std::size_t>(pos) <= s.size() ? s[pos - 1] : '\0';
}

inline int Length(std::string_view s) {
  return static_cast<int>(s.size());
}

inline bool Contains(std::string_view s, std::string_view sub) {
  return s.find(sub) != std::string_view::npos;
}

// True when s ends in a backslash that pairs with nothing. Commands pair from the start, so
// that is an odd run of backslashes at the end.
inline bool EndsInLoneBackslash(std::string_view s) {
  const std::size_t kept = s.find_last_not_of('\\');
  const std::size_t run = kept == std::string_view::npos ? s.size() : s.size() - 1 - kept;
  return run % 2 == 1;
}

// Index of the first backslash at or after from; s.size() when there is none. Commands stand a
// few characters apart, too close for memchr to pay: eight bytes are tested at a time, and the
// lowest byte the test flags is always a backslash.
inline std::size_t NextBackslash(std::string_view s, std::size_t from) {
  const std::size_t n = s.size();
  std::size_t i = from;
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    constexpr std::uint64_t kBackslashes = kOnes * static_cast<unsigned char>('\\');
    for (; i + 8 <= n; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, s.data() + i, 8);
      const std::uint64_t x = word ^ kBackslashes;  // a zero byte where a backslash is
      const std::uint64_t found = (x - kOnes) & ~x & kHighBits;
      if (found != 0) return i + static_cast<std::size_t>(std::countr_zero(found)) / 8;
    }
  }
  while (i < n && s[i] != '\\') ++i;
  return i;
}

// Index of the first command at or after index from (where a command may begin) whose command
// character is in commands; npos when there is none. Commands pair from the start: a backslash
// takes the character after it.
inline std::size_t FindCommand(std::string_view s, const CharSet& commands, std::size_t from = 0) {
  const std::size_t n = s.size();
  for (std::size_t i = NextBackslash(s, from); i + 1 < n; i = NextBackslash(s, i + 2)) {
    if (commands.Contains(s[i + 1])) return i;
  }
  return std::string_view::npos;
}

inline bool HasCommand(std::string_view s, const CharSet& commands) {
  return FindCommand(s, commands) != std::string_view::npos;
}

// FindCommand for one command character c other than a backslash, quicker when c is rare in
// the text: it looks for c and takes it for a command character when an odd run of backslashes
// stands right before it (a run that follows any other character begins where a command may).
inline std::size_t FindCommand(std::string_view s, char c, std::size_t from = 0) {
  for (std::size_t at = s.find(c, from + 1); at != std::string_view::npos; at = s.find(c, at + 1)) {
    std::size_t run = 0;
    while (at - run > from && s[at - run - 1] == '\\') ++run;
    if (run % 2 == 1) return at - 1;
  }
  return std::string_view::npos;
}

inline bool HasCommand(std::string_view s, char c) {
  return FindCommand(s, c) != std::string_view::npos;
}

// Index of the first backslash at or after from that is followed by c (not a backslash), every
// backslash looked at, also one that follows another; npos when there is none. Quick when c is
// rare in the text.
inline std::size_t FindBackslashAnd(std::string_view s, char c, std::size_t from = 0) {
  for (std::size_t at = s.find(c, from + 1); at != std::string_view::npos; at = s.find(c, at + 1)) {
    if (s[at - 1] == '\\') return at - 1;
  }
  return std::string_view::npos;
}

// The same for a c that is common in the text, such as the space of a hard space.
inline std::size_t FindBackslashAndCommon(std::string_view s, char c, std::size_t from = 0) {
  const std::size_t n = s.size();
  for (std::size_t i = NextBackslash(s, from); i + 1 < n; i = NextBackslash(s, i + 1)) {
    if (s[i + 1] == c) return i;
  }
  return std::string_view::npos;
}

// 32-bit arithmetic that abandons the document on overflow.
// Appends the UTF-8 bytes of code.
void AppendUtf8(std::string& out, char32_t code);

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);
std::int32_t CheckedMul(std::int32_t a, std::int32_t b);

}  // namespace pomvex
