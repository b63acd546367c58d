// The file operations the run takes from the system, in one small layer: a port to another
// system replaces this header's implementation and nothing else for files. posix/ holds the
// POSIX one, windows/ the Windows one, in files of this header's name. Failures come back as the
// system's error numbers (errno; on Windows the GetLastError code), which platform_errors.h
// turns into the run's messages.
//
// Paths are 8-bit strings. On POSIX they are the bytes the system gives; on Windows they are
// UTF-8, turned into UTF-16 for the wide-character file functions and back, so that every name
// a folder can hold is reached.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pomvex::platform {

#ifdef _WIN32
using FileHandle = std::intptr_t;    // a HANDLE
using FolderHandle = std::intptr_t;  // a HANDLE
inline constexpr char kPathSeparator = '\\';
inline constexpr int kErrorNameTaken = 80;  // ERROR_FILE_EXISTS
inline constexpr int kErrorBadHandle = 6;   // ERROR_INVALID_HANDLE
#else
using FileHandle = int;
using FolderHandle = int;
inline constexpr char kPathSeparator = '/';
inline constexpr int kErrorNameTaken = EEXIST;
inline constexpr int kErrorBadHandle = EBADF;
#endif
inline constexpr FileHandle kNoFile = -1;
inline constexpr FolderHandle kNoFolder = -1;
// Codes of the program's own, beyond the system's error numbers: a file that is no regular file
// (a FIFO, a device) where a document was listed; an entry that is no folder (a file, a link)
// where a folder of the output was to be.
inline constexpr int kErrorNotRegularFile = 0x20000001;
inline constexpr int kErrorNotAFolder = 0x20000002;
// A kind of file the system or the file system does not offer.
inline constexpr int kErrorNotSupported = 0x20000003;

// Read and write for everyone, as the umask allows.
inline constexpr unsigned kDefaultPermissions = 0666;

// True for the separators the system takes between folders ("/", and on Windows also "\").
bool IsPathSeparator(char c);
// Where the last name of path begins: after its last separator (on Windows also after the colon
// of a drive); 0 when there is none. On POSIX a backslash is an ordinary character of a name.
std::size_t NameStart(std::string_view path);

// Opens path for reading only, leaving its access time as it was where the system lets us (an
// archive is read without a trace). kNoFile on failure, with err set; what is no regular file
// (a folder, a FIFO, a device) is not read, whatever the listing said of it.
FileHandle OpenForReading(const std::string& path, int& err);
// Creates path for writing only when nothing of that name exists (a symbolic link, even a
// dangling one, counts as existing, and is never followed), with the given read and write
// permission bits less the umask (on Windows the folder's inherited access rules apply
// instead). kNoFile on failure, with err set (kErrorNameTaken when the name is taken).
FileHandle CreateNewFile(const std::string& path, unsigned permissions, int& err);
// The read and write permission bits of an open file.
unsigned ReadWritePermissions(FileHandle file);
// The size in bytes of an open file; 0 when the system does not tell it.
std::uint64_t FileSize(FileHandle file);
// Reads at most size bytes: the count read, 0 at the end, -1 on failure with err set.
long ReadSome(FileHandle file, char* buffer, std::size_t size, int& err);
// Writes at most size bytes: the count written (at least 1), -1 on failure with err set.
long WriteSome(FileHandle file, const char* data, std::size_t size, int& err);
// Moves an open file back to its start: 0, or the error number.
int RewindFile(FileHandle file);
// Moves an open file to offset: 0, or the error number.
int SeekFile(FileHandle file, std::uint64_t offset);
// Empties a file open for writing, which is written again from its start: 0, or the error
// number.
int TruncateFile(FileHandle file);
// 0, or the error number when the system reports a failure (a delayed write that failed).
int CloseFile(FileHandle file);
// Removes the file at path; nothing happens when there is none.
void RemoveFile(const std::string& path);
// Gives the file at from the name to, in one step, in place of a file of that name if there
// is one: 0, or the error number.
int RenameFile(const std::string& from, const std::string& to);

// An entry of a folder listing.
struct FolderEntry {
  std::string name;
  bool isFile = false;          // an ordinary file, also when reached through a link
  bool isFolder = false;        // a folder, and not a link (symbolic link, junction) to one
  bool isLinkToFolder = false;  // a link that leads to a folder
  bool hidden = false;  // a name beginning with "."; on Windows the hidden or system attribute
};
// The entries of the folder at path, "." and ".." left out, in the system's order; its access
// time is left as it was where the system lets us. 0, or the error number.
int ListFolder(const std::string& path, std::vector<FolderEntry>& entries);
// Creates the folder path, whose parent must exist, with every permission the umask allows.
// 0, or the error number (kErrorNameTaken when the name is taken, by whatever; one that
// IsMissingFolder knows when a folder on the way is missing or is not a folder).
int CreateFolder(const std::string& path);
// True when err says that a folder on a path is missing or is not a folder.
bool IsMissingFolder(int err);
// True when path names a folder; a link to one counts only with followLinks.
bool IsFolder(const std::string& path, bool followLinks);

// Folders held open, to create, open and remove what is in them by name: what a run writes goes
// through the folders it opened, never through a link put in the place of one of them.
//
// Opens the folder at path; links on the way are followed, as the user named them. kNoFolder on
// failure, with err set.
FolderHandle OpenFolder(const std::string& path, int& err);
// Opens the folder name in parent. A link there is not followed: err is kErrorNotAFolder, as for
// a file; one that IsMissingFolder knows when there is nothing of that name.
FolderHandle OpenSubFolder(FolderHandle parent, const std::string& name, int& err);
// Creates the folder name in parent: 0, or the error number (kErrorNameTaken when the name is
// taken, by whatever).
int CreateSubFolder(FolderHandle parent, const std::string& name);
// True while name in parent is the folder held open as folder, and not something put in its
// place since.
bool IsStillInPlace(FolderHandle parent, const std::string& name, FolderHandle folder);
// CreateNewFile for the file name in folder.
FileHandle CreateNewFileIn(FolderHandle folder, const std::string& name, unsigned permissions,
                           int& err);
// Removes the file name in folder; nothing happens when there is none.
void RemoveFileIn(FolderHandle folder, const std::string& name);

// Files written where no reader finds them until they are whole: created without a name of
// their own and given one by NameFileIn once complete, so that however the process ends, a file
// is found either whole under its name or not at all.
//
// Creates in folder, for writing, a file without a name (Linux's O_TMPFILE), of which nothing is
// left when it is closed or the process ends before NameFileIn. kNoFile with err set when it
// cannot be; kErrorNotSupported when the system or the folder's file system has no such files.
FileHandle CreateUnnamedFileIn(FolderHandle folder, unsigned permissions, int& err);
// Creates, for writing, the hidden file name in folder (name begins with "."; on Windows the
// file is marked hidden, and is deleted when it is closed before NameFileIn, also when the
// process ends): where CreateUnnamedFileIn cannot serve. As CreateNewFileIn for err.
FileHandle CreateHiddenFileIn(FolderHandle folder, const std::string& name, unsigned permissions,
                              int& err);
// Gives file, open for writing and created by CreateUnnamedFileIn (hidden "") or
// CreateHiddenFileIn (hidden its name), the name name in folder, in one step and only when that
// name is free: 0; kErrorNameTaken when anything has that name; otherwise the error number.
// folderPath is the folder's path (ending in a separator), for a system that renames a file
// only by a full path (Wine).
int NameFileIn(FolderHandle folder, const std::string& folderPath, FileHandle file,
               const std::string& hidden, const std::string& name);
// True when err says that a name (or a path) is longer than the system allows.
bool IsNameTooLong(int err);
// Gives the file at from the name to, in one step, only when nothing has that name:
// 0, kErrorNameTaken, or the error number.
int RenameFileNoReplace(const std::string& from, const std::string& to);
// How many files the process may hold open at once (its soft limit on POSIX), at most max.
std::size_t OpenFileLimit(std::size_t max);
// Writing beyond a file size limit of the process (RLIMIT_FSIZE) fails as a full disk does,
// instead of ending the process with a signal. Nothing to do on Windows.
void FailWritesBeyondFileSizeLimit();
// Removes the folder name in parent when it is empty; true when it was removed.
bool RemoveEmptySubFolder(FolderHandle parent, const std::string& name);
void CloseFolder(FolderHandle folder);

// True when a and b, names in one folder, name the same entry: on Windows without regard to
// case, on POSIX when they are the same bytes.
bool SameName(const std::string& a, const std::string& b);

// The path as std::filesystem takes it, and back: on Windows through UTF-16, on POSIX the same
// bytes.
std::filesystem::path NativePath(const std::string& path);
std::string PathString(const std::filesystem::path& path);

}  // namespace pomvex::platform
