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

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  return Narrow(static_cast<std::int64_t>(a) + b);
}

std::int32_t CheckedMul(std::int32_t a, std::int32_t b) {
  return Narrow(static_cast<std::int64_t>(a) * b);
}

std::int32_t CheckedLength(std::size_t length) {
  if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw ConversionAbandoned(kIntegerOverflow);
  }
  return static_cast<std::int32_t>(length);
}

}  // namespace pomvex
