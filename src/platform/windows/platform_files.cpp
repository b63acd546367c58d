// Windows files, through the wide-character functions: the run's UTF-8 paths become UTF-16
// here, and names listed come back as UTF-8.
#include <windows.h>
// After windows.h, which they need.
#include <winternl.h>

#include <algorithm>

#include "platform/platform_files.h"
#include "platform/wide_names.h"

namespace fs = std::filesystem;

// Not declared by the system's headers outside the driver kit.
extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PVOID apcRoutine,
                                               PVOID apcContext, PIO_STATUS_BLOCK ioStatus,
                                               PVOID information, ULONG length,
                                               FILE_INFORMATION_CLASS informationClass,
                                               BOOLEAN singleEntry, PUNICODE_STRING fileName,
                                               BOOLEAN restartScan);

namespace pomvex::platform {

namespace {

HANDLE HandleOf(FileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}

FileHandle FileOf(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(handle);
}

// The longest name a folder of Windows' file systems holds, in UTF-16 units. A longer one is
// refused here, as the systems refuse it differently (Wine as a missing file).
constexpr std::size_t kMaxNameUnits = 255;

bool IsTooLongForAName(const std::string& name) {
  std::u16string units;
  return Utf16FromUtf8(name, units) && units.size() > kMaxNameUnits;
}

// The path as the wide-character functions take it; false when it is not UTF-8.
bool WidePath(const std::string& path, std::wstring& wide) {
  std::u16string units;
  if (!Utf16FromUtf8(path, units)) return false;
  // A drive alone ("C:", as the folder above "C:\x") is taken for its root, not for the folder
  // the process last used on it: every path of a run is absolute.
  if (units.size() == 2 && units[1] == u':') units += u'\\';
  units = WindowsPathForm(std::move(units));
  wide.assign(units.begin(), units.end());
  return true;
}

std::string Utf8Of(const wchar_t* wide) {
  std::u16string units;
  for (; *wide != 0; ++wide) units += static_cast<char16_t>(*wide);
  return Utf8FromUtf16(units);
}

// A link to a folder (a symbolic link or a junction), as opposed to other reparse points such
// as folders kept in the cloud, which are folders like any other. A reparse point without a tag
// (which Windows never gives, but Wine gives for the build machine's symbolic links) is taken
// for a link.
bool IsLink(const WIN32_FIND_DATAW& data) {
  return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         (data.dwReserved0 == 0 || IsReparseTagNameSurrogate(data.dwReserved0));
}

}  // namespace

bool IsPathSeparator(char c) {
  return c == '\\' || c == '/';
}

std::size_t NameStart(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string_view::npos ? 0 : separator + 1;
}

FileHandle OpenForReading(const std::string& path, int& err) {
  std::wstring wide;
  if (!WidePath(path, wide)) {
    err = ERROR_INVALID_NAME;
    return kNoFile;
  }
  // Others may go on reading, writing and renaming the document while it is converted.
  constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  // With the right to change its times, reading leaves the document's access time as it was;
  // where that right is refused (a read-only medium or share), it is read as usual.
  HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES, share, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    FILETIME unchanged{0xFFFFFFFF, 0xFFFFFFFF};  // no access time is written through this handle
    SetFileTime(handle, nullptr, &unchanged, nullptr);
  } else {
    handle = CreateFileW(wide.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      err = static_cast<int>(GetLastError());
      return kNoFile;
    }
  }
  // A device or a pipe where a document was listed is not read.
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    err = kErrorNotRegularFile;
    return kNoFile;
  }
  return FileOf(handle);
}

FileHandle CreateNewFile(const std::string& path, unsigned permissions, int& err) {
  (void)permissions;  // the folder's inherited access rules decide who may read the file
  std::wstring wide;
  if (!WidePath(path, wide)) {
    err = ERROR_INVALID_NAME;
    return kNoFile;
  }
  if (IsTooLongForAName(path.substr(NameStart(path)))) {
    err = ERROR_FILENAME_EXCED_RANGE;
    return kNoFile;
  }
  // CREATE_NEW fails when the name exists; a link of that name is the link itself, not
  // followed.
  const HANDLE handle =
      CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle != INVALID_HANDLE_VALUE) return FileOf(handle);
  err = static_cast<int>(GetLastError());
  // A folder of that name, or a file being deleted, is reported as access denied: the name is
  // taken all the same, and the next one is tried.
  if (err == ERROR_ALREADY_EXISTS ||
      (err == ERROR_ACCESS_DENIED && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES)) {
    err = kErrorNameTaken;
  }
  return kNoFile;
}

unsigned ReadWritePermissions(FileHandle file) {
  (void)file;
  return kDefaultPermissions;
}

std::uint64_t FileSize(FileHandle file) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(HandleOf(file), &size) || size.QuadPart < 0) return 0;
  return static_cast<std::uint64_t>(size.QuadPart);
}

long ReadSome(FileHandle file, char* buffer, std::size_t size, int& err) {
  DWORD n = 0;
  const DWORD ask = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
  if (!ReadFile(HandleOf(file), buffer, ask, &n, nullptr)) {
    const DWORD error = GetLastError();
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;
    err = static_cast<int>(error);
    return -1;
  }
  return static_cast<long>(n);
}

long WriteSome(FileHandle file, const char* data, std::size_t size, int& err) {
  DWORD n = 0;
  const DWORD give = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
  if (!WriteFile(HandleOf(file), data, give, &n, nullptr)) {
    err = static_cast<int>(GetLastError());
    return -1;
  }
  if (n == 0 && size > 0) {
    err = ERROR_WRITE_FAULT;  // a write that takes nothing would loop for ever
    return -1;
  }
  return static_cast<long>(n);
}

int RewindFile(FileHandle file) {
  LARGE_INTEGER start{};
  return SetFilePointerEx(HandleOf(file), start, nullptr, FILE_BEGIN)
             ? 0
             : static_cast<int>(GetLastError());
}

int SeekFile(FileHandle file, std::uint64_t offset) {
  LARGE_INTEGER to{};
  to.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(HandleOf(file), to, nullptr, FILE_BEGIN)
             ? 0
             : static_cast<int>(GetLastError());
}

int TruncateFile(FileHandle file) {
  if (const int err = RewindFile(file); err != 0) return err;
  return SetEndOfFile(HandleOf(file)) ? 0 : static_cast<int>(GetLastError());
}

int CloseFile(FileHandle file) {
  return CloseHandle(HandleOf(file)) ? 0 : static_cast<int>(GetLastError());
}

void RemoveFile(const std::string& path) {
  std::wstring wide;
  if (WidePath(path, wide)) DeleteFileW(wide.c_str());
}

int RenameFile(const std::string& from, const std::string& to) {
  std::wstring wideFrom, wideTo;
  if (!WidePath(from, wideFrom) || !WidePath(to, wideTo)) return ERROR_INVALID_NAME;
  return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0
             : static_cast<int>(GetLastError());
}

int ListFolder(const std::string& dir, std::vector<FolderEntry>& entries) {
  std::wstring pattern;
  if (!WidePath(dir, pattern)) return ERROR_INVALID_NAME;
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // The root of an empty drive has not even "." and "..".
    pattern.pop_back();
    const DWORD attributes = GetFileAttributesW(pattern.c_str());
    const bool folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return error == ERROR_FILE_NOT_FOUND && folder ? 0 : static_cast<int>(error);
  }
  int result = 0;
  do {
    if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0) continue;
    FolderEntry entry;
    entry.name = Utf8Of(data.cFileName);
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.isFile = !folder && (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) == 0;
    entry.isFolder = folder && !IsLink(data);
    entry.isLinkToFolder = folder && IsLink(data);
    entry.hidden = (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    entries.push_back(std::move(entry));
  } while (FindNextFileW(find, &data));
  if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) {
    result = static_cast<int>(error);
  }
  FindClose(find);
  return result;
}

int CreateFolder(const std::string& path) {
  std::wstring wide;
  if (!WidePath(path, wide)) return ERROR_INVALID_NAME;
  if (CreateDirectoryW(wide.c_str(), nullptr)) return 0;
  const DWORD error = GetLastError();
  // A drive's root is refused as access denied: it is there all the same.
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ||
      (error == ERROR_ACCESS_DENIED &&
       GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES)) {
    return kErrorNameTaken;
  }
  return static_cast<int>(error);
}

bool IsMissingFolder(int err) {
  return err == ERROR_PATH_NOT_FOUND || err == ERROR_FILE_NOT_FOUND || err == ERROR_DIRECTORY;
}

bool IsFolder(const std::string& path, bool followLinks) {
  std::wstring wide;
  if (!WidePath(path, wide)) return false;
  WIN32_FIND_DATAW data;
  const HANDLE find =
      FindFirstFileExW(wide.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) {
    // A drive's root is no entry of a folder.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
  FindClose(find);
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
  if (!IsLink(data)) return true;
  if (!followLinks) return false;
  // Where the link leads, if anywhere.
  const HANDLE target =
      CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (target == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool folder = GetFileInformationByHandle(target, &info) &&
                      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  CloseHandle(target);
  return folder;
}

namespace {

// What a folder is held with: enough to create, open and remove by name in it. Others may go on
// renaming and removing it, as they may on POSIX; a folder swapped meanwhile is found out.
constexpr DWORD kFolderAccess = FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A name as the native interface takes it.
class NativeName {
 public:
  // False when name is not UTF-8 or too long for a name.
  bool Set(const std::string& name) {
    if (!Utf16FromUtf8(name, units_) || units_.size() > 32767) return false;
    name_.Buffer = reinterpret_cast<PWSTR>(units_.data());
    name_.Length = static_cast<USHORT>(units_.size() * sizeof(char16_t));
    name_.MaximumLength = name_.Length;
    return true;
  }
  UNICODE_STRING* Get() { return &name_; }

 private:
  std::u16string units_;
  UNICODE_STRING name_{};
};

// Opens or creates name in folder (the folder itself for an empty name) through the native
// interface, which takes a name relative to an open folder. A link (a reparse point) there is
// opened itself, not followed.
HANDLE OpenIn(FolderHandle folder, const std::string& name, ACCESS_MASK access, ULONG attributes,
              ULONG share, ULONG disposition, ULONG options, int& err) {
  NativeName native;
  if (!native.Set(name)) {
    err = ERROR_INVALID_NAME;
    return INVALID_HANDLE_VALUE;
  }
  if (disposition == FILE_CREATE && IsTooLongForAName(name)) {
    err = ERROR_FILENAME_EXCED_RANGE;
    return INVALID_HANDLE_VALUE;
  }
  OBJECT_ATTRIBUTES object;
  InitializeObjectAttributes(&object, native.Get(), OBJ_CASE_INSENSITIVE, HandleOf(folder),
                             nullptr);
  IO_STATUS_BLOCK status;
  HANDLE handle = INVALID_HANDLE_VALUE;
  const NTSTATUS result = NtCreateFile(
      &handle, access | SYNCHRONIZE, &object, &status, nullptr, attributes, share, disposition,
      options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT, nullptr, 0);
  if (result < 0) {
    err = static_cast<int>(RtlNtStatusToDosError(result));
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}

bool IsLinkTagged(DWORD attributes, DWORD tag) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         (tag == 0 || IsReparseTagNameSurrogate(tag));
}

bool IsLinkHandle(HANDLE handle) {
  FILE_ATTRIBUTE_TAG_INFO info;
  return GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info) &&
         IsLinkTagged(info.FileAttributes, info.ReparseTag);
}

// Whether name in folder is a link as a listing of the folder shows it (with the tag in place of
// the size of the extended attributes). Wine shows the build machine's symbolic links so, and
// only so: opening one follows it. The listing goes through a handle of its own, since a
// handle keeps the name it was first asked for.
bool IsListedAsLink(FolderHandle folder, const std::string& name) {
  NativeName native;
  int err = 0;
  if (!native.Set(name)) return false;
  const HANDLE listing =
      OpenIn(folder, "", FILE_LIST_DIRECTORY, 0, kShareAll, FILE_OPEN, FILE_DIRECTORY_FILE, err);
  if (listing == INVALID_HANDLE_VALUE) return false;
  alignas(FILE_FULL_DIR_INFORMATION) unsigned char buffer[sizeof(FILE_FULL_DIR_INFORMATION) + 1024];
  IO_STATUS_BLOCK status;
  const NTSTATUS result =
      NtQueryDirectoryFile(listing, nullptr, nullptr, nullptr, &status, buffer, sizeof buffer,
                           FileFullDirectoryInformation, TRUE, native.Get(), TRUE);
  CloseHandle(listing);
  const auto* entry = reinterpret_cast<const FILE_FULL_DIR_INFORMATION*>(buffer);
  return result >= 0 && IsLinkTagged(entry->FileAttributes, entry->EaSize);
}

}  // namespace

FolderHandle OpenFolder(const std::string& path, int& err) {
  std::wstring wide;
  if (!WidePath(path, wide)) {
    err = ERROR_INVALID_NAME;
    return kNoFolder;
  }
  const HANDLE handle = CreateFileW(wide.c_str(), kFolderAccess, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) err = static_cast<int>(GetLastError());
  return FileOf(handle);
}

FolderHandle OpenSubFolder(FolderHandle parent, const std::string& name, int& err) {
  const HANDLE handle =
      OpenIn(parent, name, kFolderAccess, 0, kShareAll, FILE_OPEN, FILE_DIRECTORY_FILE, err);
  if (handle == INVALID_HANDLE_VALUE) {
    if (err == ERROR_DIRECTORY) err = kErrorNotAFolder;  // a file of that name
    return kNoFolder;
  }
  if (IsLinkHandle(handle) || IsListedAsLink(parent, name)) {
    CloseHandle(handle);
    err = kErrorNotAFolder;
    return kNoFolder;
  }
  return FileOf(handle);
}

int CreateSubFolder(FolderHandle parent, const std::string& name) {
  int err = 0;
  const HANDLE handle = OpenIn(parent, name, FILE_LIST_DIRECTORY, FILE_ATTRIBUTE_NORMAL, kShareAll,
                               FILE_CREATE, FILE_DIRECTORY_FILE, err);
  if (handle == INVALID_HANDLE_VALUE) {
    return err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS ? kErrorNameTaken : err;
  }
  CloseHandle(handle);
  return 0;
}

bool IsStillInPlace(FolderHandle parent, const std::string& name, FolderHandle folder) {
  int err = 0;
  const HANDLE there = OpenIn(parent, name, FILE_READ_ATTRIBUTES, 0, kShareAll, FILE_OPEN, 0, err);
  if (there == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION a, b;
  const bool same = !IsLinkHandle(there) && GetFileInformationByHandle(there, &a) &&
                    GetFileInformationByHandle(HandleOf(folder), &b) &&
                    (a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                    a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                    a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
  CloseHandle(there);
  return same;
}

FileHandle CreateNewFileIn(FolderHandle folder, const std::string& name, unsigned permissions,
                           int& err) {
  (void)permissions;  // the folder's inherited access rules decide who may read the file
  const HANDLE handle = OpenIn(folder, name, GENERIC_WRITE, FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ,
                               FILE_CREATE, FILE_NON_DIRECTORY_FILE, err);
  if (handle != INVALID_HANDLE_VALUE) return FileOf(handle);
  if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS) {
    err = kErrorNameTaken;  // a file, a folder or a link of that name
  } else if (err == ERROR_ACCESS_DENIED) {
    // A file being deleted is refused so, and takes the name all the same.
    int ignored = 0;
    const HANDLE there =
        OpenIn(folder, name, FILE_READ_ATTRIBUTES, 0, kShareAll, FILE_OPEN, 0, ignored);
    if (there != INVALID_HANDLE_VALUE) CloseHandle(there);
    if (there != INVALID_HANDLE_VALUE || ignored == ERROR_ACCESS_DENIED) err = kErrorNameTaken;
  }
  return kNoFile;
}

FileHandle CreateUnnamedFileIn(FolderHandle folder, unsigned permissions, int& err) {
  (void)folder;
  (void)permissions;
  err = kErrorNotSupported;  // Windows has no files without a name: a hidden one serves
  return kNoFile;
}

namespace {

bool SetDeleteOnClose(HANDLE handle, bool remove) {
  FILE_DISPOSITION_INFO disposition{static_cast<BOOLEAN>(remove ? TRUE : FALSE)};
  return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                    sizeof disposition) != 0;
}

}  // namespace

FileHandle CreateHiddenFileIn(FolderHandle folder, const std::string& name, unsigned permissions,
                              int& err) {
  (void)permissions;  // the folder's inherited access rules decide who may read the file
  // Opened with the right to delete and rename it through this handle, and marked for deletion,
  // so that the file goes when the handle is closed, also when the process ends, unless
  // NameFileIn keeps it.
  const HANDLE handle =
      OpenIn(folder, name, GENERIC_WRITE | DELETE, FILE_ATTRIBUTE_HIDDEN, FILE_SHARE_READ,
             FILE_CREATE, FILE_NON_DIRECTORY_FILE, err);
  if (handle == INVALID_HANDLE_VALUE) {
    if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS) err = kErrorNameTaken;
    return kNoFile;
  }
  if (!SetDeleteOnClose(handle, true)) {
    err = static_cast<int>(GetLastError());
    CloseHandle(handle);
    RemoveFileIn(folder, name);
    return kNoFile;
  }
  return FileOf(handle);
}

int NameFileIn(FolderHandle folder, const std::string& folderPath, FileHandle file,
               const std::string& hidden, const std::string& name) {
  (void)hidden;
  std::u16string units;
  if (!Utf16FromUtf8(name, units)) return ERROR_INVALID_NAME;
  if (units.size() > kMaxNameUnits) return ERROR_FILENAME_EXCED_RANGE;
  const HANDLE handle = HandleOf(file);
  if (!SetDeleteOnClose(handle, false)) return static_cast<int>(GetLastError());
  // The new name, given through the file's own handle; a name that is taken is not replaced.
  const auto renameTo = [handle](HANDLE root, const std::u16string& target) -> DWORD {
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = root;
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::copy(target.begin(), target.end(), reinterpret_cast<char16_t*>(rename->FileName));
    return SetFileInformationByHandle(handle, FileRenameInfo, rename,
                                      static_cast<DWORD>(buffer.size()))
               ? ERROR_SUCCESS
               : GetLastError();
  };
  // In the folder held open; where the system takes no folder handle for a new name (Wine),
  // by the folder's path.
  DWORD error = renameTo(HandleOf(folder), units);
  if (error == ERROR_INVALID_PARAMETER) {
    std::wstring wide;
    if (!WidePath(folderPath + name, wide)) return ERROR_INVALID_NAME;
    error = renameTo(nullptr, std::u16string(wide.begin(), wide.end()));
  }
  if (error != ERROR_SUCCESS) {
    SetDeleteOnClose(handle, true);
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? kErrorNameTaken
                                                                        : static_cast<int>(error);
  }
  // An ordinary file from now on.
  FILE_BASIC_INFO basic{};
  if (GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)) {
    basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN);
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
  }
  return 0;
}

bool IsNameTooLong(int err) {
  return err == ERROR_FILENAME_EXCED_RANGE;
}

int RenameFileNoReplace(const std::string& from, const std::string& to) {
  std::wstring wideFrom, wideTo;
  if (!WidePath(from, wideFrom) || !WidePath(to, wideTo)) return ERROR_INVALID_NAME;
  if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_WRITE_THROUGH)) return 0;
  const DWORD error = GetLastError();
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? kErrorNameTaken
                                                                      : static_cast<int>(error);
}

std::size_t OpenFileLimit(std::size_t max) {
  return max;  // handles are limited only by memory
}

void FailWritesBeyondFileSizeLimit() {}

void RemoveFileIn(FolderHandle folder, const std::string& name) {
  int err = 0;
  const HANDLE handle = OpenIn(folder, name, DELETE, 0, kShareAll, FILE_OPEN,
                               FILE_NON_DIRECTORY_FILE | FILE_DELETE_ON_CLOSE, err);
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}

bool RemoveEmptySubFolder(FolderHandle parent, const std::string& name) {
  int err = 0;
  const HANDLE handle =
      OpenIn(parent, name, DELETE, 0, kShareAll, FILE_OPEN, FILE_DIRECTORY_FILE, err);
  if (handle == INVALID_HANDLE_VALUE) return false;
  // Refused for a folder that is not empty; done when the last handle to it is closed.
  FILE_DISPOSITION_INFO remove{TRUE};
  const bool removed =
      SetFileInformationByHandle(handle, FileDispositionInfo, &remove, sizeof remove);
  CloseHandle(handle);
  return removed;
}

void CloseFolder(FolderHandle folder) {
  CloseHandle(HandleOf(folder));
}

bool SameName(const std::string& a, const std::string& b) {
  std::wstring wideA, wideB;
  if (!WidePath(a, wideA) || !WidePath(b, wideB)) return a == b;
  return CompareStringOrdinal(wideA.c_str(), -1, wideB.c_str(), -1, TRUE) == CSTR_EQUAL;
}

fs::path NativePath(const std::string& path) {
  std::u16string units;
  if (!Utf16FromUtf8(path, units)) return fs::path(path);  // not UTF-8: left to the system
  return fs::path(std::wstring(units.begin(), units.end()));
}

std::string PathString(const fs::path& path) {
  const std::wstring& wide = path.native();
  return Utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}

}  // namespace pomvex::platform
