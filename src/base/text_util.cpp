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

}  // namespace pomvex
