// A report file that no reader sees cut off: it is written under a temporary name beside its
// path and takes that path in one step once it is complete. It replaces only what had its path
// when it was begun (an earlier report, as the command line made sure): a file that took the
// path meanwhile is left as it is.
#pragma once

#include <memory>
#include <string>

#include "app/output_file.h"

namespace pomvex::report {

class PendingFile {
 public:
  // Creates the temporary file (path with ".tmp" added, or the first free name after it);
  // throws RunFailure when it cannot be created.
  explicit PendingFile(std::string path);
  // A file not finished is deleted.
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  OutputFile& Out() { return *file_; }
  const std::string& Path() const { return path_; }
  const std::string& TemporaryPath() const { return file_ ? file_->Path() : path_; }
  // Closes the file and gives it its path, in place of a file of that name; throws RunFailure
  // (the temporary file is then deleted).
  void Finish();

 private:
  std::string path_;
  bool replaces_ = false;  // something had the path when the file was begun
  std::unique_ptr<OutputFile> file_;
};

}  // namespace pomvex::report
