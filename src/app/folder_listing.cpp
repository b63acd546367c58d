#include "app/folder_listing.h"

#include <algorithm>

#include "platform/platform_errors.h"
#include "platform/platform_files.h"

namespace pomvex {

namespace {

std::string Upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  const std::string ua = Upper(a), ub = Upper(b);
  return ua != ub ? ua < ub : a < b;
}

// text with its control characters (codes 0 to 31 and 127) written as "?".
std::string WithoutControls(std::string_view text, bool keepTab) {
  std::string shown(text);
  for (char& c : shown) {
    const auto code = static_cast<unsigned char>(c);
    if ((code < 32 && !(keepTab && c == '\t')) || code == 127) c = '?';
  }
  return shown;
}

template <typename Keep>
std::vector<std::string> List(const std::string& dir, bool withHidden, Keep keep) {
  std::vector<platform::FolderEntry> entries;
  if (const int err = platform::ListFolder(dir, entries); err != 0) {
    throw RunFailure(MessageForErrno(err), dir);
  }
  std::vector<std::string> names;
  for (platform::FolderEntry& entry : entries) {
    if ((!entry.hidden || withHidden) && keep(entry)) names.push_back(std::move(entry.name));
  }
  std::sort(names.begin(), names.end(), LessIgnoringCase);
  return names;
}

}  // namespace

std::size_t ExtensionDot(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  return dot == std::string::npos || dot < platform::NameStart(path) ? std::string::npos : dot;
}

std::string UpperExtension(const std::string& path) {
  const std::size_t dot = ExtensionDot(path);
  return dot == std::string::npos ? std::string() : Upper(path.substr(dot));
}

bool IsChiFile(const std::string& path) {
  return UpperExtension(path) == ".CHI";
}

std::string PrintableName(std::string_view name) {
  return WithoutControls(name, /*keepTab=*/false);
}

std::string PrintableText(std::string_view text) {
  return WithoutControls(text, /*keepTab=*/true);
}

std::vector<std::string> ListFiles(const std::string& dir, bool chiOnly, bool withHidden) {
  return List(dir, withHidden, [chiOnly](const platform::FolderEntry& e) {
    return e.isFile && (!chiOnly || IsChiFile(e.name));
  });
}

std::vector<std::string> ListSubFolders(const std::string& dir) {
  return List(dir, /*withHidden=*/false, [](const platform::FolderEntry& e) { return e.isFolder; });
}

std::vector<std::string> ListSubFoldersAndLinks(const std::string& dir) {
  return List(dir, /*withHidden=*/false,
              [](const platform::FolderEntry& e) { return e.isFolder || e.isLinkToFolder; });
}

}  // namespace pomvex
