// The command line's platform pieces: its arguments, the signals that stop a run, and the
// terminal the progress line is drawn on. posix/cli_platform.cpp holds the POSIX ones,
// windows/cli_platform.cpp the Windows ones.
#pragma once

#include <string>
#include <vector>

namespace pomvex::cli {

// The arguments after the program's name, as 8-bit strings: on POSIX as given; on Windows
// taken from the wide-character command line as UTF-8, so that any file name can be given, with
// a backslash always taken as itself, since no Windows name holds a quote ("D:\Archive 1990\"
// -r is a folder and an option).
std::vector<std::string> Arguments(int argc, char** argv);
// On Windows, a console shows what is written as UTF-8 (as the paths are) until the program
// ends. Nothing to do on POSIX.
void SetUpConsole();
// SIGINT, SIGTERM and SIGHUP ask the run to stop; a second one ends the program at once.
// SIGPIPE is ignored, so that a reader of the output that goes away does not end the run.
// On Windows: Ctrl-C counts as SIGINT, Ctrl-Break as SIGBREAK (21), and closing the console,
// logging off or shutting down as SIGTERM.
void InstallSignalHandlers();
// The signal that asked the run to stop, or 0.
int StopSignal();
// Called when the run has ended (the document being written deleted, the log closed) and what
// the program prints is printed. On Windows a console being closed meanwhile ends the program
// now; nothing to do on POSIX.
void RunEnded();
// True when standard error is a terminal (on Windows, a console that takes the progress line's
// escape sequences).
bool ErrorIsTerminal();
// The width of the terminal on standard error in columns; 0 when it is not known.
int ErrorTerminalColumns();

}  // namespace pomvex::cli
