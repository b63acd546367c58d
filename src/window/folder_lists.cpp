#include "window/folder_lists.h"

#include "app/folder_listing.h"
#include "base/reporting.h"
#include "platform/platform_files.h"

namespace pomvex {

namespace {

bool IsSeparator(char c) {
  return platform::IsPathSeparator(c);
}

// How long the root at the start of path is: "/" (and "\" on Windows), "C:\", or
// "\\server\share\"; 0 for a relative path.
std::size_t RootLength(const std::string& path) {
#ifdef _WIN32
  if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    std::size_t end = 2;
    for (int part = 0; part < 2 && end < path.size(); ++part) {
      while (end < path.size() && !IsSeparator(path[end])) ++end;
      if (end < path.size()) ++end;
    }
    return end;
  }
#endif
  return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

std::string WithoutTrailingSeparators(std::string path) {
  const std::size_t root = RootLength(path);
  while (path.size() > root && IsSeparator(path.back())) path.pop_back();
  return path;
}

std::string NameOf(const std::string& path) {
  std::size_t slash = path.size();
  while (slash > 0 && !IsSeparator(path[slash - 1])) --slash;
  return path.substr(slash);
}

std::string Child(const std::string& dir, const std::string& name) {
  if (!dir.empty() && IsSeparator(dir.back())) return dir + name;
  return dir + platform::kPathSeparator + name;
}

}  // namespace

bool LiesUnder(const std::string& path, const std::string& root) {
  if (path.size() < root.size() || !platform::SameName(path.substr(0, root.size()), root)) {
    return false;
  }
  return path.size() == root.size() || (!root.empty() && IsSeparator(root.back())) ||
         IsSeparator(path[root.size()]);
}

std::string ParentFolder(const std::string& path) {
  const std::string folder = WithoutTrailingSeparators(path);
  const std::size_t root = RootLength(folder);
  if (folder.size() <= root) return {};
  std::size_t slash = folder.size();
  while (slash > root && !IsSeparator(folder[slash - 1])) --slash;
  if (slash <= root) return folder.substr(0, root);
  return WithoutTrailingSeparators(folder.substr(0, slash - 1));
}

std::string DriveOf(const std::string& path, const std::vector<std::string>& drives,
                    const std::string& fallback) {
  std::string best;
  for (const std::string& root : drives) {
    if (LiesUnder(path, root) && root.size() > best.size()) best = root;
  }
  return best.empty() ? fallback : best;
}

DirectoryListing ListDirectory(const std::string& dir, const std::string& root) {
  const std::string current = WithoutTrailingSeparators(dir);
  std::vector<std::string> chain{current};
  const bool underRoot = !root.empty() && LiesUnder(current, root);
  while (!(underRoot && platform::SameName(chain.front(), WithoutTrailingSeparators(root)))) {
    std::string parent = ParentFolder(chain.front());
    if (parent.empty()) break;
    chain.insert(chain.begin(), std::move(parent));
  }
  DirectoryListing listing;
  for (std::size_t level = 0; level < chain.size(); ++level) {
    listing.entries.push_back(
        {level == 0 ? chain[level] : NameOf(chain[level]), chain[level], static_cast<int>(level)});
  }
  listing.currentRow = static_cast<int>(chain.size()) - 1;
  std::vector<std::string> folders;
  try {
    folders = ListSubFoldersAndLinks(current);
  } catch (const RunFailure&) {
    // A folder that cannot be read shows no sub-folders, as an empty one would.
  }
  for (const std::string& name : folders) {
    listing.entries.push_back({name, Child(current, name), static_cast<int>(chain.size())});
  }
  return listing;
}

std::vector<std::string> ListChiFiles(const std::string& dir) {
  try {
    return ListFiles(dir, /*chiOnly=*/true);
  } catch (const RunFailure&) {
    return {};
  }
}

}  // namespace pomvex
