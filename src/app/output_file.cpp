#include "app/output_file.h"

#include "app/folder_listing.h"
#include "base/reporting.h"
#include "platform/platform_errors.h"

namespace pomvex {

namespace {
constexpr std::size_t kBlock = 1 << 16;  // what is gathered before it is handed to the system

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

NameCandidates::NameCandidates(const std::string& name, const std::string& newExtension)
    : nameStart_(platform::NameStart(name)), newExtension_(!newExtension.empty()) {
  const std::size_t dot = ExtensionDot(name);
  stem_ = dot == std::string::npos ? name : name.substr(0, dot);
  if (newExtension_) {
    extension_ = newExtension;
  } else {
    extension_ = dot == std::string::npos ? "" : name.substr(dot);
  }
  Make();
}

void NameCandidates::Make() {
  current_ = number_ < 0 ? stem_ + extension_ : stem_ + "_" + std::to_string(number_) + extension_;
}

void NameCandidates::Next() {
  if (number_ < 0 && !newExtension_) {
    // The log's numbered names leave out the digits its name ends in.
    while (stem_.size() > nameStart_ && stem_.back() >= '0' && stem_.back() <= '9') {
      stem_.pop_back();
    }
  }
  ++number_;
  Make();
}

bool NameCandidates::Shorten() {
  std::size_t end = stem_.size();
  while (end > nameStart_ && IsContinuationByte(stem_[end - 1])) --end;
  if (end <= nameStart_ + 1) return false;  // one character left, or none
  stem_.resize(end - 1);
  Make();
  return true;
}

OutputFile::OutputFile(platform::FileHandle file, std::string path,
                       std::shared_ptr<const OpenFolder> folder, std::string name)
    : file_(file), path_(std::move(path)), folder_(std::move(folder)), name_(std::move(name)) {}

OutputFile::~OutputFile() {
  if (pending_) {
    Discard();
    return;
  }
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
    WriteThrough(pending_text_, written);
  } catch (...) {
    pending_text_.erase(0, written);
    throw;
  }
  pending_text_.clear();
}

void OutputFile::Write(std::string_view text) {
  if (file_ == platform::kNoFile)
    throw RunFailure(MessageForErrno(platform::kErrorBadHandle), path_);
  if (pending_text_.size() + text.size() > kBlock) {
    Flush();
    if (text.size() >= kBlock) {  // a long text goes straight to the file
      std::size_t written = 0;
      WriteThrough(text, written);
      return;
    }
  }
  pending_text_ += text;
}

void OutputFile::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

void OutputFile::Close() {
  if (file_ == platform::kNoFile) return;
  if (pending_) throw RunFailure(MessageForErrno(platform::kErrorBadHandle), path_);
  Flush();  // when it fails, the destructor or Discard still closes the file
  const platform::FileHandle file = file_;
  file_ = platform::kNoFile;
  if (const int err = platform::CloseFile(file); err != 0) {
    throw RunFailure(MessageForErrno(err), path_);
  }
}

void OutputFile::Complete() {
  if (pending_) {
    Flush();
  } else {
    Close();
  }
}

void OutputFile::CloseUnwritten() {
  pending_text_.clear();
  if (file_ != platform::kNoFile) platform::CloseFile(file_);
  file_ = platform::kNoFile;
}

void OutputFile::Discard() {
  CloseUnwritten();
  if (pending_) {
    // A file without a name is gone with its handle; a hidden one goes by its name.
    if (!hidden_.empty()) platform::RemoveFileIn(folder_->Handle(), hidden_);
    pending_ = false;
    hidden_.clear();
    return;
  }
  if (folder_) {
    platform::RemoveFileIn(folder_->Handle(), name_);
  } else {
    platform::RemoveFile(path_);
  }
}

bool OutputFile::Restart() {
  pending_text_.clear();
  return file_ != platform::kNoFile && platform::TruncateFile(file_) == 0;
}

void OutputFile::Name() {
  if (!pending_) return;
  Flush();
  NameCandidates names(name_, extension_);
  for (;;) {
    const int err =
        platform::NameFileIn(folder_->Handle(), folder_->Path(), file_, hidden_, names.Current());
    if (err == 0) break;
    if (err == platform::kErrorNameTaken) {
      names.Next();
    } else if (!platform::IsNameTooLong(err) || !names.Shorten()) {
      const std::string path = folder_->Path() + names.Current();
      if (platform::IsNameTooLong(err)) throw NameFailure(MessageForErrno(err), path);
      throw RunFailure(MessageForErrno(err), path);
    }
  }
  pending_ = false;
  hidden_.clear();
  name_ = names.Current();
  path_ = folder_->Path() + name_;
}

std::unique_ptr<OutputFile> CreateUniqueFile(const std::string& name,
                                             const std::string& newExtension,
                                             unsigned permissions) {
  return CreateUniqueFile(OutputPlace{nullptr, name}, newExtension, permissions);
}

std::unique_ptr<OutputFile> CreateUniqueFile(const OutputPlace& place,
                                             const std::string& newExtension,
                                             unsigned permissions) {
  // The creation itself is the test for a free name: nothing is looked up first.
  const OpenFolder* folder = place.folder.get();
  NameCandidates names(place.name, newExtension);
  for (;;) {
    const std::string& candidate = names.Current();
    const std::string path = folder ? folder->Path() + candidate : candidate;
    int err = 0;
    const platform::FileHandle file =
        folder ? platform::CreateNewFileIn(folder->Handle(), candidate, permissions, err)
               : platform::CreateNewFile(path, permissions, err);
    if (file != platform::kNoFile) {
      return std::make_unique<OutputFile>(file, path, place.folder, folder ? candidate : "");
    }
    if (err == platform::kErrorNameTaken) {
      names.Next();
    } else if (!platform::IsNameTooLong(err) || !names.Shorten()) {
      if (platform::IsNameTooLong(err)) throw NameFailure(MessageForErrno(err), path);
      throw RunFailure(MessageForErrno(err), path);
    }
  }
}

namespace {

// The place's folder, held open: a place given by its path is split into the folder, opened
// here, and the name.
std::shared_ptr<const OpenFolder> FolderOf(const OutputPlace& place, std::string& name) {
  if (place.folder) {
    name = place.name;
    return place.folder;
  }
  const std::size_t start = platform::NameStart(place.name);
  std::string folder = place.name.substr(0, start);
  name = place.name.substr(start);
  if (folder.empty()) folder = std::string(".") + platform::kPathSeparator;
  int err = 0;
  const platform::FolderHandle handle = platform::OpenFolder(folder, err);
  if (handle == platform::kNoFolder) throw RunFailure(MessageForErrno(err), folder);
  return std::make_shared<const OpenFolder>(handle, place.name.substr(0, start));
}

}  // namespace

std::unique_ptr<OutputFile> CreatePendingFile(const OutputPlace& place,
                                              const std::string& newExtension,
                                              unsigned permissions, std::size_t tag) {
  std::string name;
  std::shared_ptr<const OpenFolder> folder = FolderOf(place, name);
  int err = 0;
  std::string hidden;
  platform::FileHandle file = platform::CreateUnnamedFileIn(folder->Handle(), permissions, err);
  if (file == platform::kNoFile && err == platform::kErrorNotSupported) {
    // A hidden name of the run's own, short, so that it fits where the document's name does.
    for (long n = 0; file == platform::kNoFile; ++n) {
      hidden = ".pomvex-" + std::to_string(tag) + (n == 0 ? "" : "-" + std::to_string(n)) + ".tmp";
      err = 0;
      file = platform::CreateHiddenFileIn(folder->Handle(), hidden, permissions, err);
      if (file == platform::kNoFile && err != platform::kErrorNameTaken) break;
    }
  }
  const std::string path = folder->Path() + NameCandidates(name, newExtension).Current();
  if (file == platform::kNoFile) throw RunFailure(MessageForErrno(err), path);
  auto output = std::make_unique<OutputFile>(file, path, std::move(folder), name);
  output->pending_ = true;
  output->hidden_ = std::move(hidden);
  output->extension_ = newExtension;
  return output;
}

}  // namespace pomvex
