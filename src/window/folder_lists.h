// What the window's drive selector and directory list show, worked out from paths alone: the
// drive a path lies on, and the directory list's entries (the drive's root, each folder on the
// path down to the current one, then its sub-folders in the order the walk takes them).
#pragma once

#include <string>
#include <vector>

namespace pomvex {

// True when path is root or lies below it (on Windows without regard to case).
bool LiesUnder(const std::string& path, const std::string& root);

// The folder above path, "" when path is a root ("/", "C:\", "\\server\share\").
std::string ParentFolder(const std::string& path);

// The drive among drives that holds path: the longest root that the path lies under; fallback
// when none does.
std::string DriveOf(const std::string& path, const std::vector<std::string>& drives,
                    const std::string& fallback);

struct DirectoryListEntry {
  std::string text;  // the root as a path, every other entry by its name
  std::string path;
  int level = 0;  // 0 for the root, one more for every level below
};

struct DirectoryListing {
  std::vector<DirectoryListEntry> entries;
  int currentRow = 0;  // the entry of the directory itself
};

// The entries for dir shown from root down (from the file system's top when dir does not lie
// under root): its sub-folders, and folders reached through links, follow the path. A folder
// that cannot be read has no sub-folders.
DirectoryListing ListDirectory(const std::string& dir, const std::string& root);

// The "*.chi" files of dir as the file list shows them; none when dir cannot be read.
std::vector<std::string> ListChiFiles(const std::string& dir);

}  // namespace pomvex
