// POSIX files.
#include "app/platform_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace fs = std::filesystem;

namespace pomvex::platform {

bool IsPathSeparator(char c) {
  return c == '/';
}

FileHandle OpenForReading(const std::string& path, int& err) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) err = errno;
  return fd;
}

FileHandle CreateNewFile(const std::string& path, unsigned permissions, int& err) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                static_cast<mode_t>(permissions & 0666));
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) err = errno;
  return fd;
}

unsigned ReadWritePermissions(FileHandle file) {
  struct stat st {};
  if (::fstat(file, &st) != 0) return kDefaultPermissions;
  return static_cast<unsigned>(st.st_mode) & 0666;
}

long ReadSome(FileHandle file, char* buffer, std::size_t size, int& err) {
  ssize_t n;
  do {
    n = ::read(file, buffer, size);
  } while (n < 0 && errno == EINTR);
  if (n < 0) err = errno;
  return static_cast<long>(n);
}

long WriteSome(FileHandle file, const char* data, std::size_t size, int& err) {
  ssize_t n;
  do {
    n = ::write(file, data, size);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    err = errno;
  } else if (n == 0 && size > 0) {
    err = EIO;  // a write that takes nothing would loop for ever
    n = -1;
  }
  return static_cast<long>(n);
}

int CloseFile(FileHandle file) {
  // After an interrupted close the descriptor is gone on Linux: it is not closed again.
  return ::close(file) == 0 || errno == EINTR ? 0 : errno;
}

void RemoveFile(const std::string& path) {
  ::unlink(path.c_str());
}

int ListFolder(const std::string& dir, std::vector<FolderEntry>& entries) {
  std::error_code ec;
  fs::directory_iterator it(fs::path(dir), ec);
  if (ec) return ec.value();
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return ec.value();
    FolderEntry entry;
    entry.name = it->path().filename().string();
    if (entry.name.empty()) continue;
    std::error_code typeError;
    entry.isFile = it->is_regular_file(typeError);
    const bool link = it->is_symlink(typeError);
    entry.isFolder = !link && it->is_directory(typeError);
    entry.isLinkToFolder = link && it->is_directory(typeError);
    entry.hidden = entry.name[0] == '.';
    entries.push_back(std::move(entry));
  }
  return ec ? ec.value() : 0;
}

fs::path NativePath(const std::string& path) {
  return fs::path(path);
}

std::string PathString(const fs::path& path) {
  return path.string();
}

}  // namespace pomvex::platform
