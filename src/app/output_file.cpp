#include "app/output_file.h"

#include "app/folder_listing.h"
#include "base/reporting.h"
#include "platform/platform_errors.h"

namespace pomvex {

namespace {
constexpr std::size_t kBlock = 1 << 16;  // what is gathered before it is handed to the system
}  // namespace

OutputFile::OutputFile(platform::FileHandle file, std::string path,
                       std::shared_ptr<const OpenFolder> folder, std::string name)
    : file_(file), path_(std::move(path)), folder_(std::move(folder)), name_(std::move(name)) {}

OutputFile::~OutputFile() {
  if (file_ == platform::kNoFile) return;
  try {
    Flush();
  } catch (const RunFailure&) {
    // What could be written is written; a destructor has no one to tell.
  }
  platform::CloseFile(file_);
}

void OutputFile::WriteThrough(std::string_view text, std::size_t& written) {
  if (file_ == platform::kNoFile)
    throw RunFailure(MessageForErrno(platform::kErrorBadHandle), path_);
  while (written < text.size()) {
    int err = 0;
    const long n = platform::WriteSome(file_, text.data() + written, text.size() - written, err);
    if (n < 0) throw RunFailure(MessageForErrno(err), path_);
    written += static_cast<std::size_t>(n);
  }
}

void OutputFile::Flush() {
  // What was written is taken off, so that a retry after a failure writes nothing twice.
  std::size_t written = 0;
  try {
    WriteThrough(pending_, written);
  } catch (...) {
    pending_.erase(0, written);
    throw;
  }
  pending_.clear();
}

void OutputFile::Write(std::string_view text) {
  if (file_ == platform::kNoFile)
    throw RunFailure(MessageForErrno(platform::kErrorBadHandle), path_);
  if (pending_.size() + text.size() > kBlock) {
    Flush();
    if (text.size() >= kBlock) {  // a long text goes straight to the file
      std::size_t written = 0;
      WriteThrough(text, written);
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
  if (file_ == platform::kNoFile) return;
  Flush();  // when it fails, the destructor or Discard still closes the file
  const platform::FileHandle file = file_;
  file_ = platform::kNoFile;
  if (const int err = platform::CloseFile(file); err != 0) {
    throw RunFailure(MessageForErrno(err), path_);
  }
}

void OutputFile::CloseUnwritten() {
  pending_.clear();
  if (file_ != platform::kNoFile) platform::CloseFile(file_);
  file_ = platform::kNoFile;
}

void OutputFile::Discard() {
  CloseUnwritten();
  if (folder_) {
    platform::RemoveFileIn(folder_->Handle(), name_);
  } else {
    platform::RemoveFile(path_);
  }
}

bool OutputFile::Restart() {
  pending_.clear();
  return file_ != platform::kNoFile && platform::TruncateFile(file_) == 0;
}

std::unique_ptr<OutputFile> CreateUniqueFile(const std::string& name,
                                             const std::string& newExtension,
                                             unsigned permissions) {
  return CreateUniqueFile(OutputPlace{nullptr, name}, newExtension, permissions);
}

std::unique_ptr<OutputFile> CreateUniqueFile(
    const OutputPlace& place, const std::string& newExtension, unsigned permissions,
    const std::function<bool(const std::string&)>& passOver) {
  const std::string& name = place.name;
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
  // The creation itself is the test for a free name: nothing is looked up first.
  const OpenFolder* folder = place.folder.get();
  auto create = [&](const std::string& candidate) -> std::unique_ptr<OutputFile> {
    int err = 0;
    const std::string path = folder ? folder->Path() + candidate : candidate;
    const platform::FileHandle file =
        folder ? platform::CreateNewFileIn(folder->Handle(), candidate, permissions, err)
               : platform::CreateNewFile(path, permissions, err);
    if (file != platform::kNoFile) {
      return std::make_unique<OutputFile>(file, path, place.folder, folder ? candidate : "");
    }
    if (err != platform::kErrorNameTaken) throw RunFailure(MessageForErrno(err), path);
    return nullptr;
  };
  bool gaveUp = false;
  auto tryName = [&](const std::string& candidate) -> std::unique_ptr<OutputFile> {
    std::unique_ptr<OutputFile> file = create(candidate);
    if (!file && passOver && !passOver(folder ? folder->Path() + candidate : candidate)) {
      gaveUp = true;
    }
    return file;
  };
  if (auto file = tryName(chosen); file || gaveUp) return file;
  if (newExtension.empty()) {
    const std::size_t nameStart = platform::NameStart(stem);
    while (stem.size() > nameStart && stem.back() >= '0' && stem.back() <= '9') stem.pop_back();
  }
  for (long n = 0;; ++n) {
    if (auto file = tryName(stem + "_" + std::to_string(n) + extension); file || gaveUp) {
      return file;
    }
  }
}

}  // namespace pomvex
