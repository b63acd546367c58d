// The texts of a run as the reports write them, in UTF-8: names of files and folders (the
// system's bytes, UTF-8 where they are, each other byte read as Latin-1, as the window shows
// them), the text of a DOS document (code page 437, as ChiWriter showed it on screen), and the
// escaping of HTML and JSON.
#pragma once

#include <string>
#include <string_view>

#include "base/text_util.h"

namespace pomvex::report {

// The character a byte of a DOS document stands for (code page 437); the ASCII characters and
// the control codes as they are.
char32_t Cp437Char(unsigned char byte);
using pomvex::Cp1252Char;

// A file or folder name in UTF-8: what is UTF-8 stays, each other byte is read as Latin-1.
std::string NameText(std::string_view name);
// Document text in UTF-8, read as code page 437.
std::string DocumentText(std::string_view text);

// text (UTF-8) for HTML: the markup characters escaped, and every control character shown by
// its picture (U+2400 to U+2421), since HTML cannot hold them.
std::string Html(std::string_view text);
void AppendHtml(std::string& out, std::string_view text);
// text as a JSON string, quotes included: UTF-8 stays, every other byte is read as Latin-1.
std::string Json(std::string_view text);

}  // namespace pomvex::report
