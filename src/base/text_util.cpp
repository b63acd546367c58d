#include "base/text_util.h"

#include <limits>

#include "base/reporting.h"

namespace pomvex {

namespace {

std::int32_t Narrow(std::int64_t wide) {
  if (wide > std::numeric_limits<std::int32_t>::max() ||
      wide < std::numeric_limits<std::int32_t>::min()) {
    throw ConversionAbandoned(kIntegerOverflow);
  }
  return static_cast<std::int32_t>(wide);
}

}  // namespace

int PosFrom(int start, std::string_view sub, std::string_view s) {
  if (start < 1) start = 1;
  if (sub.empty() || static_cast<std::size_t>(start) > s.size()) return 0;
  std::size_t at = s.find(sub, static_cast<std::size_t>(start - 1));
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  return Narrow(static_cast<std::int64_t>(a) + b);
}

std::int32_t CheckedMul(std::int32_t a, std::int32_t b) {
  return Narrow(static_cast<std::int64_t>(a) * b);
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace pomvex
