// Text between the window model's UTF-8 strings and the UTF-16 that the Windows controls take.
#pragma once

#include <string>
#include <string_view>

#include "platform/wide_names.h"

namespace pomvex::win32 {

// Text that is not UTF-8 (no name the system gives) shows what can be read of it.
inline std::wstring Wide(std::string_view text) {
  std::u16string units;
  Utf16FromUtf8(text, units);
  return std::wstring(units.begin(), units.end());
}

inline std::string Utf8(std::wstring_view text) {
  return Utf8FromUtf16(std::u16string(text.begin(), text.end()));
}

}  // namespace pomvex::win32
