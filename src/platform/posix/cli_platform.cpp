// POSIX arguments, signals and terminals.
#include "platform/cli_platform.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <initializer_list>

namespace pomvex::cli {

namespace {

// Set by the handler, read by the run between files and line groups: the only state a signal
// handler may safely touch. The signal may come on any thread of the run; an atomic that needs
// no lock is safe in a handler and seen by every thread.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnStopSignal(int signal) {
  stopSignal = signal;
}

}  // namespace

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void SetUpConsole() {}

void InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // The handler is used once: a second signal finds the default action and ends the program.
  action.sa_flags = SA_RESETHAND;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

int StopSignal() {
  return stopSignal.load();
}

void RunEnded() {}

bool ErrorIsTerminal() {
  return isatty(STDERR_FILENO) != 0;
}

int ErrorTerminalColumns() {
  struct winsize size {};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

}  // namespace pomvex::cli
