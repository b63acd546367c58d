// What a worker thread of a run asks of the system: posix/platform_threads.cpp holds the POSIX
// part, windows/platform_threads.cpp the Windows one.
#pragma once

namespace pomvex::platform {

// Leaves the signals that ask a program to stop (an interrupt, a termination, a hang-up) to the
// other threads of the process: a worker never takes one, so that the thread that runs the run
// sees it at once.
void LeaveStopSignalsToOtherThreads();

// Called before a run's workers start. Where the process's memory is limited (an address space
// or data limit, as `ulimit -v` sets), every thread takes its memory from one pool, so that what
// one worker frees serves the document converted again alone after memory ran out: the C
// library otherwise gives each thread a pool of its own, whose reserved space stays taken.
void ShareMemoryUnderLimit();

}  // namespace pomvex::platform
