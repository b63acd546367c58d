#include "win32/drives_windows.h"

#include <windows.h>

#include "win32/wide_text.h"

namespace pomvex::win32 {

namespace {

std::vector<std::string> ListDrives() {
  std::vector<std::string> roots;
  const DWORD drives = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if ((drives & (1u << letter)) != 0) roots.push_back(std::string(1, 'A' + letter) + ":\\");
  }
  return roots;
}

// A drive without a medium (a floppy, a CD-ROM drive), or one that has gone, has no volume to
// tell of, nor a root folder to read. The system is kept from asking the user to insert a disk.
bool IsDriveReady(const std::string& root) {
  DWORD previous = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
  const std::wstring wide = Wide(root);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  const bool ready =
      GetVolumeInformationW(wide.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0) &&
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  SetThreadErrorMode(previous, nullptr);
  return ready;
}

}  // namespace

DriveServices SystemDrives() {
  return {ListDrives, IsDriveReady, "C:\\"};
}

}  // namespace pomvex::win32
