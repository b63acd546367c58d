// POSIX threads: the stop signals are blocked in the calling thread; under a memory limit the
// threads share the C library's one pool of memory (glibc's arenas).
#include "platform/platform_threads.h"

#include <pthread.h>
#include <sys/resource.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

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

void ShareMemoryUnderLimit() {
#if defined(__GLIBC__)
  const auto limited = [](auto resource) {
    struct rlimit limit {};
    return ::getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
  };
  if (limited(RLIMIT_AS) || limited(RLIMIT_DATA)) mallopt(M_ARENA_MAX, 1);
#endif
}

}  // namespace pomvex::platform
