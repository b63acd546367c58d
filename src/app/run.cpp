#include "app/run.h"

namespace pomvex {

RunOutcome RunConversion(const RunRequest& request, RunFrontEnd& frontEnd) {
  (void)request;
  (void)frontEnd;
  return {};
}

}  // namespace pomvex
