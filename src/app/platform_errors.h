// Maps failures of the platform to the messages a run ends with.
#pragma once

#include <string>
#include <system_error>

#include "base/reporting.h"

namespace pomvex {

// "File not found", "File access denied", "Disk full", ... or "I/O error <n>".
std::string MessageForError(const std::error_code& ec);
std::string MessageForErrno(int err);

}  // namespace pomvex
