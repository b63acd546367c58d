// Small text helpers used across the converter: letters, lengths and checked arithmetic.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pomvex {

// True for the ASCII letters only.
constexpr bool IsLetter(char ch) {
  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

inline int Length(std::string_view s) {
  return static_cast<int>(s.size());
}

inline bool Contains(std::string_view s, std::string_view sub) {
  return s.find(sub) != std::string_view::npos;
}

// Abandons the document: a count or position does not fit 32 bits.
[[noreturn]] void ThrowIntegerOverflow();

// Appends the UTF-8 bytes of code.
void AppendUtf8(std::string& out, char32_t code);

// The character a byte of RTF text stands for under "\ansi" (Windows code page 1252); U+FFFD
// for the five codes it leaves undefined.
char32_t Cp1252Char(unsigned char byte);

// 32-bit arithmetic that abandons the document on overflow.
inline std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  std::int32_t sum;
  if (__builtin_add_overflow(a, b, &sum)) ThrowIntegerOverflow();
  return sum;
}
inline std::int32_t CheckedMul(std::int32_t a, std::int32_t b) {
  std::int32_t product;
  if (__builtin_mul_overflow(a, b, &product)) ThrowIntegerOverflow();
  return product;
}
// A length as a 32-bit count, abandoning the document when it does not fit.
inline std::int32_t CheckedLength(std::size_t length) {
  if (length > static_cast<std::size_t>(INT32_MAX)) ThrowIntegerOverflow();
  return static_cast<std::int32_t>(length);
}

}  // namespace pomvex
