#include "report/pending_file.h"

#include "platform/platform_errors.h"
#include "base/reporting.h"

namespace pomvex::report {

PendingFile::PendingFile(std::string path)
    : path_(std::move(path)), file_(CreateUniqueFile(path_ + ".tmp", "")) {}

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
  if (const int err = platform::RenameFile(temporary, path_); err != 0) {
    platform::RemoveFile(temporary);
    throw RunFailure(MessageForErrno(err), path_);
  }
}

}  // namespace pomvex::report
