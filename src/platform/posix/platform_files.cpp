// POSIX files.
#include "platform/platform_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <system_error>

namespace fs = std::filesystem;

namespace pomvex::platform {

bool IsPathSeparator(char c) {
  return c == '/';
}

std::size_t NameStart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

bool IsMissingFolder(int err) {
  return err == ENOENT || err == ENOTDIR;
}

namespace {

int OpenRetrying(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Reading changes no access time when the system allows it: it does for the file's owner (and
// root), and refuses the flag to others, who then read as usual.
int OpenLeavingAccessTime(const std::string& path, int flags) {
#ifdef O_NOATIME
  const int fd = OpenRetrying(path, flags | O_NOATIME);
  if (fd >= 0 || errno != EPERM) return fd;
#endif
  return OpenRetrying(path, flags);
}

}  // namespace

FileHandle OpenForReading(const std::string& path, int& err) {
  // Without blocking: a FIFO put in the document's place would wait for a writer for ever. For
  // a regular file the flag changes nothing.
  const int fd = OpenLeavingAccessTime(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    err = errno;
    return kNoFile;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    err = errno;
  } else if (!S_ISREG(st.st_mode)) {
    err = S_ISDIR(st.st_mode) ? EISDIR : kErrorNotRegularFile;
  } else {
    return fd;
  }
  ::close(fd);
  return kNoFile;
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

std::uint64_t FileSize(FileHandle file) {
  struct stat st {};
  if (::fstat(file, &st) != 0 || st.st_size < 0) return 0;
  return static_cast<std::uint64_t>(st.st_size);
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

int RewindFile(FileHandle file) {
  return ::lseek(file, 0, SEEK_SET) == 0 ? 0 : errno;
}

int SeekFile(FileHandle file, std::uint64_t offset) {
  const auto to = static_cast<off_t>(offset);
  return ::lseek(file, to, SEEK_SET) == to ? 0 : errno;
}

int TruncateFile(FileHandle file) {
  if (::ftruncate(file, 0) != 0) return errno;
  return RewindFile(file);
}

int CloseFile(FileHandle file) {
  // After an interrupted close the descriptor is gone on Linux: it is not closed again.
  return ::close(file) == 0 || errno == EINTR ? 0 : errno;
}

void RemoveFile(const std::string& path) {
  ::unlink(path.c_str());
}

int RenameFile(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int ListFolder(const std::string& path, std::vector<FolderEntry>& entries) {
  entries.clear();
  const int fd = OpenLeavingAccessTime(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  DIR* folder = ::fdopendir(fd);
  if (folder == nullptr) {
    const int err = errno;
    ::close(fd);
    return err;
  }
  int err = 0;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(folder);
    if (entry == nullptr) {
      err = errno;
      break;
    }
    FolderEntry found;
    found.name = entry->d_name;
    if (found.name == "." || found.name == "..") continue;
    unsigned char type = entry->d_type;
    struct stat st {};
    if (type == DT_UNKNOWN && ::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
      type = S_ISLNK(st.st_mode)   ? DT_LNK
             : S_ISDIR(st.st_mode) ? DT_DIR
             : S_ISREG(st.st_mode) ? DT_REG
                                   : DT_UNKNOWN;
    }
    found.hidden = found.name[0] == '.';
    found.isFolder = type == DT_DIR;
    found.isFile = type == DT_REG;
    // A link counts as what it leads to; a dangling one as nothing.
    if (type == DT_LNK && ::fstatat(fd, entry->d_name, &st, 0) == 0) {
      found.isFile = S_ISREG(st.st_mode);
      found.isLinkToFolder = S_ISDIR(st.st_mode);
    }
    entries.push_back(std::move(found));
  }
  ::closedir(folder);  // closes fd too
  return err;
}

int CreateFolder(const std::string& path) {
  return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
}

bool IsFolder(const std::string& path, bool followLinks) {
  struct stat st {};
  const int result = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
  return result == 0 && S_ISDIR(st.st_mode);
}

namespace {

// A folder is held without the right to read it, which creating and removing by name do not
// need (where the system has such handles).
#ifdef O_PATH
constexpr int kFolderAccess = O_PATH;
#else
constexpr int kFolderAccess = O_RDONLY;
#endif

}  // namespace

FolderHandle OpenFolder(const std::string& path, int& err) {
  const int fd = OpenRetrying(path, kFolderAccess | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) err = errno;
  return fd;
}

FolderHandle OpenSubFolder(FolderHandle parent, const std::string& name, int& err) {
  int fd;
  do {
    fd = ::openat(parent, name.c_str(), kFolderAccess | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) err = errno == ENOTDIR || errno == ELOOP ? kErrorNotAFolder : errno;
  return fd;
}

int CreateSubFolder(FolderHandle parent, const std::string& name) {
  return ::mkdirat(parent, name.c_str(), 0777) == 0 ? 0 : errno;  // EEXIST when taken
}

bool IsStillInPlace(FolderHandle parent, const std::string& name, FolderHandle folder) {
  struct stat there {
  }, held{};
  return ::fstatat(parent, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
         ::fstat(folder, &held) == 0 && S_ISDIR(there.st_mode) && there.st_dev == held.st_dev &&
         there.st_ino == held.st_ino;
}

FileHandle CreateNewFileIn(FolderHandle folder, const std::string& name, unsigned permissions,
                           int& err) {
  int fd;
  do {
    fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  static_cast<mode_t>(permissions & 0666));
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) err = errno;
  return fd;
}

void RemoveFileIn(FolderHandle folder, const std::string& name) {
  ::unlinkat(folder, name.c_str(), 0);
}

namespace {

constexpr const char* kOwnDescriptors = "/proc/self/fd/";

// True when err says that the file system gives a file no second name (FAT, some shares).
bool NoSecondNames(int err) {
  return err == EPERM || err == EOPNOTSUPP || err == ENOTSUP || err == EXDEV;
}

}  // namespace

FileHandle CreateUnnamedFileIn(FolderHandle folder, unsigned permissions, int& err) {
#ifdef O_TMPFILE
  // The file is named through the process's own descriptors; without them (no /proc), a
  // hidden name serves instead.
  if (::access(kOwnDescriptors, X_OK) != 0) {
    err = kErrorNotSupported;
    return kNoFile;
  }
  int fd;
  do {
    fd = ::openat(folder, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC,
                  static_cast<mode_t>(permissions & 0666));
  } while (fd < 0 && errno == EINTR);
  if (fd >= 0) return fd;
  // File systems without unnamed files refuse them in one of these ways, older kernels as a
  // folder that cannot be opened for writing.
  err = errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL || errno == ENOENT
            ? kErrorNotSupported
            : errno;
#else
  (void)folder;
  (void)permissions;
  err = kErrorNotSupported;
#endif
  return kNoFile;
}

FileHandle CreateHiddenFileIn(FolderHandle folder, const std::string& name, unsigned permissions,
                              int& err) {
  return CreateNewFileIn(folder, name, permissions, err);
}

int NameFileIn(FolderHandle folder, const std::string& folderPath, FileHandle file,
               const std::string& hidden, const std::string& name) {
  (void)folderPath;
  int result = 0;
  if (hidden.empty()) {
    const std::string own = kOwnDescriptors + std::to_string(file);
    result = ::linkat(AT_FDCWD, own.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW);
  } else {
#ifdef RENAME_NOREPLACE
    result = ::renameat2(folder, hidden.c_str(), folder, name.c_str(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
#endif
      // A file system that cannot rename without replacing: a second name, then the first one
      // taken away; one without second names is asked first whether the name is free.
      result = ::linkat(folder, hidden.c_str(), folder, name.c_str(), 0);
      if (result == 0) {
        ::unlinkat(folder, hidden.c_str(), 0);
      } else if (NoSecondNames(errno)) {
        struct stat there {};
        if (::fstatat(folder, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0) {
          return kErrorNameTaken;
        }
        result = ::renameat(folder, hidden.c_str(), folder, name.c_str());
      }
#ifdef RENAME_NOREPLACE
    }
#endif
  }
  if (result == 0) return 0;
  return errno == EEXIST ? kErrorNameTaken : errno;
}

bool IsNameTooLong(int err) {
  return err == ENAMETOOLONG;
}

int RenameFileNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno == EEXIST ? kErrorNameTaken : errno;
#endif
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return 0;
  }
  if (!NoSecondNames(errno)) return errno == EEXIST ? kErrorNameTaken : errno;
  struct stat there {};
  if (::lstat(to.c_str(), &there) == 0) return kErrorNameTaken;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

std::size_t OpenFileLimit(std::size_t max) {
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return max;
  return limit.rlim_cur < max ? static_cast<std::size_t>(limit.rlim_cur) : max;
}

void FailWritesBeyondFileSizeLimit() {
  std::signal(SIGXFSZ, SIG_IGN);
}

bool RemoveEmptySubFolder(FolderHandle parent, const std::string& name) {
  return ::unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0;
}

void CloseFolder(FolderHandle folder) {
  ::close(folder);
}

bool SameName(const std::string& a, const std::string& b) {
  return a == b;
}

fs::path NativePath(const std::string& path) {
  return fs::path(path);
}

std::string PathString(const fs::path& path) {
  return path.string();
}

}  // namespace pomvex::platform
