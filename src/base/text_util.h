// Small text helpers used across the converter. Positions are 1-based; 0 means not found.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// 32-bit arithmetic that abandons the document on overflow.
std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);
std::int32_t CheckedMul(std::int32_t a, std::int32_t b);

}  // namespace pomvex
