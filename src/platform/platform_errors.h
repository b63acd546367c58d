// Maps failures of the platform to the messages a run ends with (posix/platform_errors.cpp for
// POSIX, windows/platform_errors.cpp for Windows).
#pragma once

#include <string>

#include "base/reporting.h"

namespace pomvex {

// "File not found", "File access denied", "Disk full", ... or "I/O error <n>", for the system's
// error number err: errno, or on Windows the GetLastError code.
std::string MessageForErrno(int err);

}  // namespace pomvex
