#include "app/platform_errors.h"

#include <cerrno>

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
    default:
      return "I/O error " + std::to_string(err);
  }
}

std::string MessageForError(const std::error_code& ec) {
  if (ec.category() == std::generic_category() || ec.category() == std::system_category()) {
    return MessageForErrno(ec.value());
  }
  return "I/O error " + std::to_string(ec.value());
}

}  // namespace pomvex
