// What a worker thread of a run asks of the system: posix/platform_threads.cpp holds the POSIX
// part, windows/platform_threads.cpp the Windows one.
#pragma once

namespace pomvex::platform {

// Leaves the signals that ask a program to stop (an interrupt, a termination, a hang-up) to the
// other threads of the process: a worker never takes one, so that the thread that runs the run
// sees it at once.
void LeaveStopSignalsToOtherThreads();

}  // namespace pomvex::platform
