// The run's messages for Windows' error codes.
#include "platform/platform_errors.h"

#include <windows.h>

#include "platform/platform_files.h"

namespace pomvex {

std::string MessageForErrno(int err) {
  switch (err) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return "File not found";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
      return "File access denied";
    case ERROR_TOO_MANY_OPEN_FILES:
      return "Too many open files";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case 1295:  // ERROR_DISK_QUOTA_EXCEEDED
      return "Disk full";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_DRIVE:
      return "Invalid filename";
    case ERROR_FILE_TOO_LARGE:
      return "File too large";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return "File exists";
    case platform::kErrorNotRegularFile:
      return "Not a regular file";
    case platform::kErrorNotAFolder:
      return "Not a folder";
    default:
      return "I/O error " + std::to_string(err);
  }
}

}  // namespace pomvex
