// A document opened for reading. Its bytes come through a stream that tells a failing read
// apart from the end of the file: the failure surfaces as DocumentUnreadable with the
// platform's message, and the run goes on with the next document.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/platform_files.h"

namespace pomvex {

// A document that cannot be opened or read (gone since the folder was listed, no permission,
// an I/O error): it is skipped, the run goes on.
class DocumentUnreadable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class InputFile {
 public:
  // Throws DocumentUnreadable when path cannot be opened.
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // A read that fails throws DocumentUnreadable out of the stream's reading operations.
  std::istream& Stream() { return *stream_; }
  // The document's read and write permission bits, which its RTF file takes over.
  unsigned Permissions() const;
  // The document's size in bytes when it was opened.
  std::uint64_t Size() const { return size_; }
  // Goes back to the start of the document, to read it again; false when the system refuses.
  bool Rewind();

 private:
  class Buffer;
  platform::FileHandle file_;
  std::uint64_t size_ = 0;
  std::unique_ptr<Buffer> buffer_;
  std::unique_ptr<std::istream> stream_;
};

}  // namespace pomvex
