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
// tell of. The system is kept from asking the user to insert a disk.
bool IsDriveReady(const std::string& root) {
  DWORD previous = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
  const bool ready =
      GetVolumeInformationW(Wide(root).c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
  SetThreadErrorMode(previous, nullptr);
  return ready;
}

}  // namespace

DriveServices SystemDrives() {
  return {ListDrives, IsDriveReady, "C:\\"};
}

}  // namespace pomvex::win32
