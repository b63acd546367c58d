#include "platform/platform_errors.h"

#include <cerrno>

#include "platform/platform_files.h"

namespace pomvex {

std::string MessageForErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
      return "File access denied";
    case EMFILE:
    case ENFILE:
      return "Too many open files";
    case ENOSPC:
    case EDQUOT:
      return "Disk full";
    case EINVAL:
    case ENAMETOOLONG:
      return "Invalid filename";
    case EFBIG:
      return "File too large";
    case EEXIST:
      return "File exists";
    case EISDIR:
    case platform::kErrorNotRegularFile:
      return "Not a regular file";
    case platform::kErrorNotAFolder:
      return "Not a folder";
    default:
      return "I/O error " + std::to_string(err);
  }
}

}  // namespace pomvex
