// The file operations the run takes from the system, in one small layer: a port to another
// system replaces this header's implementation and nothing else for files. Failures come back
// as the system's error numbers, which platform_errors.h turns into the run's messages.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pomvex::platform {

using FileHandle = int;
inline constexpr FileHandle kNoFile = -1;

// Read and write for everyone, as the umask allows.
inline constexpr unsigned kDefaultPermissions = 0666;

// Opens path for reading only, leaving its access time as it was where the system lets us (an
// archive is read without a trace). kNoFile on failure, with err set.
FileHandle OpenForReading(const std::string& path, int& err);
// Creates path for writing only when nothing of that name exists (a symbolic link, even a
// dangling one, counts as existing, and is never followed), with the given read and write
// permission bits less the umask. kNoFile on failure, with err set (EEXIST when the name is
// taken).
FileHandle CreateNewFile(const std::string& path, unsigned permissions, int& err);
// The read and write permission bits of an open file.
unsigned ReadWritePermissions(FileHandle file);
// Reads at most size bytes: the count read, 0 at the end, -1 on failure with err set.
long ReadSome(FileHandle file, char* buffer, std::size_t size, int& err);
// Writes at most size bytes: the count written (at least 1), -1 on failure with err set.
long WriteSome(FileHandle file, const char* data, std::size_t size, int& err);
// 0, or the error number when the system reports a failure (a delayed write that failed).
int CloseFile(FileHandle file);
// Removes the file at path; nothing happens when there is none.
void RemoveFile(const std::string& path);

// An entry of a folder listing.
struct FolderEntry {
  std::string name;
  bool isFile = false;          // an ordinary file, also when reached through a symbolic link
  bool isFolder = false;        // a folder, and not a symbolic link to one
  bool isLinkToFolder = false;  // a symbolic link that leads to a folder
};
// The entries of the folder at path, "." and ".." left out, in the system's order; its access
// time is left as it was where the system lets us. 0, or the error number.
int ListFolder(const std::string& path, std::vector<FolderEntry>& entries);
// Creates the folder path, whose parent must exist, with every permission the umask allows.
// 0, or the error number (EEXIST when the name is taken, by whatever).
int CreateFolder(const std::string& path);
// True when path names a folder; a symbolic link to one counts only with followLinks.
bool IsFolder(const std::string& path, bool followLinks);
// Removes the folder at path when it is empty; true when it was removed.
bool RemoveEmptyFolder(const std::string& path);

}  // namespace pomvex::platform
