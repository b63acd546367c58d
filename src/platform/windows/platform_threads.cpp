// Windows threads: console control events come on a thread of the system's own, so a worker has
// nothing to leave to others.
#include "platform/platform_threads.h"

namespace pomvex::platform {

void LeaveStopSignalsToOtherThreads() {}

// The process heap serves every thread already.
void ShareMemoryUnderLimit() {}

}  // namespace pomvex::platform
