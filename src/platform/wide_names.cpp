#include "platform/wide_names.h"

#include "base/text_util.h"

namespace pomvex {

namespace {

bool IsHighSurrogate(char32_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

std::string Utf8FromUtf16(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t code = wide[i];
    if (IsHighSurrogate(code) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) {
      code = 0x10000 + ((code - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    }
    AppendUtf8(out, code);  // a lone surrogate keeps its own three bytes
  }
  return out;
}

bool Utf16FromUtf8(std::string_view text, std::u16string& wide) {
  wide.clear();
  wide.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length;
    char32_t code;
    if (lead < 0x80) {
      length = 1;
      code = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms and code points beyond Unicode.
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF))) {
      return false;
    }
    if (code >= 0x10000) {
      wide += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      wide += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      wide += static_cast<char16_t>(code);
    }
    i += length;
  }
  return true;
}

std::u16string WindowsPathForm(std::u16string path) {
  for (char16_t& c : path) {
    if (c == u'/') c = u'\\';
  }
  constexpr std::size_t kShortLimit = 260 - 12;  // the longest folder that still takes an 8.3 name
  if (path.size() < kShortLimit || path.starts_with(u"\\\\?\\") || path.starts_with(u"\\\\.\\") ||
      path.find(u"\\.\\") != std::u16string::npos || path.find(u"\\..\\") != std::u16string::npos ||
      path.ends_with(u"\\.") || path.ends_with(u"\\..") ||
      path.find(u"\\\\", 1) != std::u16string::npos) {
    return path;
  }
  if (path.size() > 2 && path[1] == u':' && path[2] == u'\\') return u"\\\\?\\" + path;
  if (path.starts_with(u"\\\\")) return u"\\\\?\\UNC" + path.substr(1);
  return path;
}

}  // namespace pomvex
