#include "app/output_file.h"

#include <cerrno>
#include <filesystem>

#include "app/folder_listing.h"
#include "app/platform_errors.h"

namespace pomvex {

namespace {
constexpr std::size_t kBlock = 1 << 16;  // what is gathered before it is handed to the file
}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path) {
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) throw RunFailure(MessageForErrno(errno));
}

OutputFile::~OutputFile() {
  if (file_ == nullptr) return;
  std::fwrite(pending_.data(), 1, pending_.size(), file_);  // what it can; nothing to report to
  std::fclose(file_);
}

void OutputFile::Flush() {
  if (!pending_.empty() &&
      std::fwrite(pending_.data(), 1, pending_.size(), file_) != pending_.size()) {
    throw RunFailure(MessageForErrno(errno));
  }
  pending_.clear();
}

void OutputFile::Write(std::string_view text) {
  if (file_ == nullptr) throw RunFailure(MessageForErrno(EBADF));
  if (pending_.size() + text.size() > kBlock) {
    Flush();
    if (text.size() >= kBlock) {  // a long text goes straight to the file
      if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
        throw RunFailure(MessageForErrno(errno));
      }
      return;
    }
  }
  pending_ += text;
}

void OutputFile::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

void OutputFile::Close() {
  if (file_ == nullptr) return;
  Flush();  // when it fails, the destructor still closes the file
  std::FILE* f = file_;
  file_ = nullptr;
  if (std::fclose(f) != 0) throw RunFailure(MessageForErrno(errno));
}

namespace {

// Creates path only when no file of that name exists; false when one does.
bool CreateExclusively(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "wbx");
  if (f == nullptr) {
    if (errno == EEXIST) return false;
    throw RunFailure(MessageForErrno(errno));
  }
  if (std::fclose(f) != 0) throw RunFailure(MessageForErrno(errno));
  return true;
}

}  // namespace

std::string CreateUniqueFile(const std::string& name, const std::string& newExtension) {
  const std::size_t dot = ExtensionDot(name);
  std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  std::string extension;
  std::string chosen;
  if (newExtension.empty()) {
    extension = dot == std::string::npos ? "" : name.substr(dot);
    chosen = name;
  } else {
    extension = newExtension;
    chosen = stem + newExtension;
  }
  std::error_code ec;
  if (!std::filesystem::exists(chosen, ec) && CreateExclusively(chosen)) return chosen;
  if (newExtension.empty()) {
    const std::size_t slash = stem.find_last_of("/\\:");
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    while (stem.size() > nameStart && stem.back() >= '0' && stem.back() <= '9') stem.pop_back();
  }
  for (long n = 0;; ++n) {
    chosen = stem + "_" + std::to_string(n) + extension;
    if (!std::filesystem::exists(chosen, ec) && CreateExclusively(chosen)) return chosen;
  }
}

}  // namespace pomvex
