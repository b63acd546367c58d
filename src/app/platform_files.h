// The file operations the run takes from the system, in one small layer: a port to another
// system replaces this header's implementation and nothing else for files. Failures come back
// as the system's error numbers, which platform_errors.h turns into the run's messages.
#pragma once

#include <cstddef>
#include <string>

namespace pomvex::platform {

using FileHandle = int;
inline constexpr FileHandle kNoFile = -1;

// Read and write for everyone, as the umask allows.
inline constexpr unsigned kDefaultPermissions = 0666;

// Opens path for reading. kNoFile on failure, with err set.
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

}  // namespace pomvex::platform
