#include "app/output_tree.h"

#include <algorithm>

#include "base/reporting.h"
#include "platform/platform_errors.h"
#include "platform/platform_files.h"

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
  chain_.clear();
}

// Creates folder (named without its trailing separator) after the parents it lacks.
void OutputTree::CreateFolder(const std::string& folder) {
  int err = platform::CreateFolder(folder);
  // A parent that is missing is created first; one that is not a folder is named as the cause.
  if (platform::IsMissingFolder(err)) {
    const std::string parent = ParentOf(folder);
    if (!parent.empty()) {
      CreateFolder(parent);
      err = platform::CreateFolder(folder);
    }
  }
  if (err == 0) return;
  const bool taken = err == platform::kErrorNameTaken;
  if (taken && platform::IsFolder(folder, /*followLinks=*/true)) return;
  throw RunFailure(taken ? "Not a folder" : MessageForErrno(err), folder);
}

void OutputTree::CreateRoot() {
  const std::string folder = outDir_.substr(0, outDir_.size() - 1);  // "" for the root
  if (Mirrored() && !folder.empty()) CreateFolder(folder);
  int err = 0;
  const platform::FolderHandle root = platform::OpenFolder(outDir_, err);
  if (root == platform::kNoFolder) throw RunFailure(MessageForErrno(err), folder);
  chain_.assign(1, std::make_shared<const OpenFolder>(root, outDir_));
}

OutputPlace OutputTree::RootPlace(const std::string& name) const {
  if (chain_.empty()) return {nullptr, outDir_ + name};
  return {chain_.front(), name};
}

// Opens the folder name in the chain's last folder, and below the output folder creates it
// when it is missing.
void OutputTree::Descend(const std::string& name) {
  const platform::FolderHandle parent = chain_.back()->Handle();
  const std::string path = chain_.back()->Path() + name;
  int err = 0;
  platform::FolderHandle folder = platform::OpenSubFolder(parent, name, err);
  bool made = false;
  if (folder == platform::kNoFolder && Mirrored() && platform::IsMissingFolder(err)) {
    err = platform::CreateSubFolder(parent, name);
    made = err == 0;
    if (made || err == platform::kErrorNameTaken) {
      folder = platform::OpenSubFolder(parent, name, err);
    }
  }
  if (folder == platform::kNoFolder) {
    // A name the output's file system does not take concerns this document alone.
    if (platform::IsNameTooLong(err)) throw NameFailure(MessageForErrno(err), path);
    throw RunFailure(MessageForErrno(err), path);
  }
  chain_.push_back(std::make_shared<const OpenFolder>(folder, path + platform::kPathSeparator,
                                                      chain_.back(), name, made));
}

OutputPlace OutputTree::PlaceOf(const std::string& sourcePath) {
  if (chain_.empty() || sourcePath.compare(0, startDir_.size(), startDir_) != 0) {
    return {nullptr, sourcePath};
  }
  // The names of the folders below the start directory, then the file's.
  std::vector<std::string> names(1);
  for (std::size_t i = startDir_.size(); i < sourcePath.size(); ++i) {
    if (platform::IsPathSeparator(sourcePath[i])) {
      names.emplace_back();
    } else {
      names.back() += sourcePath[i];
    }
  }
  // The folders the last document used, as far as this one shares them, stay open: each must
  // still be where it was opened.
  std::size_t depth = 1;
  while (depth < chain_.size() && depth < names.size() &&
         chain_[depth]->Name() == names[depth - 1]) {
    const OpenFolder& level = *chain_[depth];
    if (!platform::IsStillInPlace(chain_[depth - 1]->Handle(), level.Name(), level.Handle())) {
      const std::string& path = level.Path();
      throw RunFailure(MessageForErrno(platform::kErrorNotAFolder),
                       path.substr(0, path.size() - 1));
    }
    ++depth;
  }
  chain_.resize(depth);
  for (; depth < names.size(); ++depth) Descend(names[depth - 1]);
  return {chain_.back(), names.back()};
}

// The folders are removed from the bottom up, each through its parent, which it holds open: the
// walk may have gone on to other folders since the output was placed.
void OutputTree::Emptied(std::shared_ptr<const OpenFolder> folder) {
  while (folder && folder->Made() && folder->Parent() &&
         platform::RemoveEmptySubFolder(folder->Parent()->Handle(), folder->Name())) {
    // Where the walk is still in it, the next document there makes it again.
    const auto held = std::find(chain_.begin(), chain_.end(), folder);
    if (held != chain_.end()) chain_.erase(held, chain_.end());
    folder = folder->Parent();
  }
}

}  // namespace pomvex
