#include "report/pending_file.h"

#include <filesystem>
#include <system_error>

#include "base/reporting.h"
#include "platform/platform_errors.h"

namespace pomvex::report {

namespace {

bool Exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(platform::NativePath(path), ignored));
}

}  // namespace

PendingFile::PendingFile(std::string path)
    : path_(std::move(path)), replaces_(Exists(path_)), file_(CreateUniqueFile(path_ + ".tmp", "")) {}

PendingFile::~PendingFile() {
  if (file_) file_->Discard();
}

void PendingFile::Finish() {
  try {
    file_->Close();
  } catch (...) {
    file_->Discard();
    file_.reset();
    throw;
  }
  const std::string temporary = file_->Path();
  file_.reset();
  const int err = replaces_ ? platform::RenameFile(temporary, path_)
                            : platform::RenameFileNoReplace(temporary, path_);
  if (err != 0) {
    platform::RemoveFile(temporary);
    throw RunFailure(MessageForErrno(err), path_);
  }
}

}  // namespace pomvex::report
