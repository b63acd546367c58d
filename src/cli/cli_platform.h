// The command line's platform pieces: the signals that stop a run, and the terminal the
// progress line is drawn on. A port to another system replaces this file's implementation.
#pragma once

namespace pomvex::cli {

// SIGINT, SIGTERM and SIGHUP ask the run to stop; a second one ends the program at once.
// SIGPIPE is ignored, so that a reader of the output that goes away does not end the run.
void InstallSignalHandlers();
// The signal that asked the run to stop, or 0.
int StopSignal();
// True when standard error is a terminal.
bool ErrorIsTerminal();
// The width of the terminal on standard error in columns; 0 when it is not known.
int ErrorTerminalColumns();

}  // namespace pomvex::cli
