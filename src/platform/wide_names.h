// File names between the 8-bit strings of the run (UTF-8) and the UTF-16 of Windows' wide-
// character file functions. Windows allows names that are not valid UTF-16 (a lone surrogate):
// such a unit is written as the three bytes UTF-8 would give it, and read back as it was, so
// that every name listed in a folder can be opened again.
#pragma once

#include <string>
#include <string_view>

namespace pomvex {

std::string Utf8FromUtf16(std::u16string_view wide);
// False, with wide incomplete, when text is not UTF-8 (a stray byte, an overlong or cut-off
// sequence, a code point beyond U+10FFFF).
bool Utf16FromUtf8(std::string_view text, std::u16string& wide);

// A Windows path as the wide-character file functions take it: "/" written as "\", and a path
// too long for the old limit of 260 characters in the "\\?\" form that has none, when it is
// absolute (a drive's or a share's) and has nothing left to resolve (no ".", "..", or doubled "\").
std::u16string WindowsPathForm(std::u16string path);

}  // namespace pomvex
