// Interim: tables not yet filled in.
#include "charmaps/special_chars.h"

namespace pomvex {

std::string TranslateSymbolChar(Reporter&, unsigned char ch) { return std::string(1, ch); }
std::string TranslateForeignChar(Reporter&, unsigned char ch) { return std::string(1, ch); }
std::string TranslateGreekChar(Reporter&, unsigned char ch) { return std::string(1, ch); }
std::string TranslateLinedrawChar(Reporter&, unsigned char ch) { return std::string(1, ch); }
std::string TranslateMathIChar(Reporter&, unsigned char ch) { return std::string(1, ch); }
std::string TranslateMathIIChar(Reporter&, unsigned char ch) { return std::string(1, ch); }
std::string TranslateSpecialChar(Reporter&, unsigned char ch, FontKind) {
  return std::string(1, ch);
}
int TranslateFontRun(DocumentState&, std::string& line, FontKind, int, int stop) {
  if (stop < 0 || stop >= static_cast<int>(line.size())) return 0;
  return stop + 1;
}

}  // namespace pomvex
