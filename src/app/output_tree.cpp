#include "app/output_tree.h"

#include <algorithm>

#include "app/platform_errors.h"
#include "app/platform_files.h"
#include "base/reporting.h"

namespace pomvex {

namespace {

// The folder that holds path (a file, or a folder without its trailing separator), without its
// trailing separator; "" for a name at the top.
std::string ParentOf(const std::string& path) {
  std::size_t end = path.size();  // just after the last separator
  while (end > 0 && !platform::IsPathSeparator(path[end - 1])) --end;
  return end <= 1 ? std::string() : path.substr(0, end - 1);
}

}  // namespace

void OutputTree::Start(std::string startDir, std::string outDir) {
  startDir_ = std::move(startDir);
  outDir_ = std::move(outDir);
  ready_.clear();
  made_.clear();
}

// Creates folder (named without its trailing separator) after the parents it lacks. Below the
// output folder, what is there must be a folder itself, not a link to one.
void OutputTree::CreateFolder(const std::string& folder, bool below) {
  int err = platform::CreateFolder(folder);
  // A parent that is missing is created first; one that is not a folder is named as the cause.
  if (platform::IsMissingFolder(err)) {
    const std::string parent = ParentOf(folder);
    if (!parent.empty()) {
      CreateFolder(parent, below && parent.size() + 1 > outDir_.size());
      err = platform::CreateFolder(folder);
    }
  }
  if (err == 0) {
    if (below) made_.push_back(folder);
    return;
  }
  const bool taken = err == platform::kErrorNameTaken;
  if (taken && platform::IsFolder(folder, /*followLinks=*/!below)) return;
  throw RunFailure(taken ? "Not a folder" : MessageForErrno(err), folder);
}

void OutputTree::CreateRoot() {
  const std::string folder = outDir_.substr(0, outDir_.size() - 1);  // "" for the root
  if (Mirrored() && !folder.empty()) CreateFolder(folder, /*below=*/false);
}

std::string OutputTree::PlaceOf(const std::string& sourcePath) {
  if (!Mirrored() || sourcePath.compare(0, startDir_.size(), startDir_) != 0) return sourcePath;
  const std::string place = outDir_ + sourcePath.substr(startDir_.size());
  const std::string folder = ParentOf(place);
  if (folder.size() + 1 > outDir_.size() && folder != ready_) {
    CreateFolder(folder, /*below=*/true);
    ready_ = folder;
  }
  return place;
}

void OutputTree::Emptied(const std::string& path) {
  for (std::string folder = ParentOf(path); !folder.empty(); folder = ParentOf(folder)) {
    const auto made = std::find(made_.begin(), made_.end(), folder);
    if (made == made_.end() || !platform::RemoveEmptyFolder(folder)) return;
    made_.erase(made);
    if (ready_.compare(0, folder.size(), folder) == 0) ready_.clear();
  }
}

}  // namespace pomvex
