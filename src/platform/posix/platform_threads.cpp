// POSIX threads: the stop signals are blocked in the calling thread.
#include "platform/platform_threads.h"

#include <pthread.h>

#include <csignal>

namespace pomvex::platform {

void LeaveStopSignalsToOtherThreads() {
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  sigaddset(&stops, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);
}

}  // namespace pomvex::platform
