// Windows consoles: the wide-character command line, console control events in place of
// signals, and the console the progress line is drawn on.
#include "platform/cli_platform.h"

#include <windows.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <string>

#include "platform/wide_names.h"

namespace pomvex::cli {

namespace {

// Set by the handler, which the system calls on a thread of its own; read by the run between
// files and line groups, and before every write.
std::atomic<int> stopSignal{0};
// Set when the run has ended.
HANDLE runEnded = nullptr;
// Windows ends a program five seconds after its console was closed (or the user logged off, or
// the machine shuts down); the program ends itself a little before.
constexpr DWORD kCloseGraceMs = 4500;

BOOL WINAPI OnConsoleControl(DWORD event) {
  // A second event finds the system's own handling, which ends the program at once.
  if (stopSignal.load() != 0) return FALSE;
  switch (event) {
    case CTRL_C_EVENT:
      stopSignal = SIGINT;
      return TRUE;
    case CTRL_BREAK_EVENT:
      stopSignal = SIGBREAK;
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      // The program would end when this handler returns. The run stops at its next write,
      // deletes the document being written and closes the log; then the program ends here, with
      // the status SIGTERM gives on POSIX.
      stopSignal = SIGTERM;
      if (runEnded != nullptr) WaitForSingleObject(runEnded, kCloseGraceMs);
      ExitProcess(128 + SIGTERM);
    default:
      return FALSE;
  }
}

// The console's settings before the program changed them, put back when it ends.
UINT outputCodePage = 0;
DWORD errorMode = 0;

void RestoreCodePage() {
  SetConsoleOutputCP(outputCodePage);
}

void RestoreErrorMode() {
  SetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), errorMode);
}

}  // namespace

std::vector<std::string> Arguments(int argc, char** argv) {
  (void)argc;
  (void)argv;
  const std::u16string_view line(reinterpret_cast<const char16_t*>(GetCommandLineW()));
  std::size_t i = 0;
  // The program's name: up to the next quote when it begins with one, otherwise to a blank.
  if (i < line.size() && line[i] == u'"') {
    i = line.find(u'"', 1);
    i = i == line.npos ? line.size() : i + 1;
  }
  while (i < line.size() && line[i] != u' ' && line[i] != u'\t') ++i;
  std::vector<std::string> arguments;
  for (;;) {
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
    if (i == line.size()) return arguments;
    // A quote opens or closes a quoted part, in which blanks belong to the argument; everything
    // else, a backslash before a quote too, is the argument's own.
    std::u16string units;
    bool quoted = false;
    for (; i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t')); ++i) {
      if (line[i] == u'"') {
        quoted = !quoted;
      } else {
        units += line[i];
      }
    }
    arguments.push_back(Utf8FromUtf16(units));
  }
}

void SetUpConsole() {
  outputCodePage = GetConsoleOutputCP();
  if (outputCodePage != 0 && outputCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    std::atexit(RestoreCodePage);
  }
}

void InstallSignalHandlers() {
  runEnded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

int StopSignal() {
  return stopSignal.load();
}

void RunEnded() {
  if (runEnded != nullptr) SetEvent(runEnded);
}

bool ErrorIsTerminal() {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (error == INVALID_HANDLE_VALUE || !GetConsoleMode(error, &mode)) return false;
  if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
  // The progress line is redrawn with escape sequences; a console that cannot take them shows
  // no progress line rather than the sequences as text.
  if (!SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) return false;
  errorMode = mode;
  std::atexit(RestoreErrorMode);
  return true;
}

int ErrorTerminalColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

}  // namespace pomvex::cli
