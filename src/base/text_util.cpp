#include "base/text_util.h"

#include "base/reporting.h"

namespace pomvex {

void ThrowIntegerOverflow() {
  throw ConversionAbandoned(kIntegerOverflow);
}

}  // namespace pomvex
