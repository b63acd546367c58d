// Windows consoles: the wide-character command line, console control events in place of
// signals, and the console the progress line is drawn on.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <string>

#include "app/wide_names.h"
#include "cli/cli_platform.h"

namespace pomvex::cli {

namespace {

// Set by the handler, which the system calls on a thread of its own; read by the run between
// files and line groups.
std::atomic<int> stopSignal{0};

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
      // The program ends when this handler returns: it waits here while the run deletes the
      // document being written and closes the log, and ends with it.
      stopSignal = SIGTERM;
      Sleep(INFINITE);
      return TRUE;
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
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) {
    std::u16string units;
    for (const wchar_t* c = wide[i]; *c != 0; ++c) units += static_cast<char16_t>(*c);
    // "C:\My Docs\" comes as C:\My Docs" (the backslash before the closing quote escapes it).
    // No Windows name holds a quote: it is dropped.
    if (!units.empty() && units.back() == u'"') units.pop_back();
    arguments.push_back(Utf8FromUtf16(units));
  }
  LocalFree(wide);
  return arguments;
}

void SetUpConsole() {
  outputCodePage = GetConsoleOutputCP();
  if (outputCodePage != 0 && outputCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    std::atexit(RestoreCodePage);
  }
}

void InstallSignalHandlers() {
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

int StopSignal() {
  return stopSignal.load();
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
