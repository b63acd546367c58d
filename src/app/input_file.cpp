#include "app/input_file.h"

#include <memory>
#include <streambuf>

#include "platform/platform_errors.h"

namespace pomvex {

// Reads the file in blocks; a failing read throws instead of looking like the end of the file.
// The block is made at the first read, by the thread that converts the document, and not
// cleared first.
class InputFile::Buffer : public std::streambuf {
 public:
  explicit Buffer(platform::FileHandle file) : file_(file) {}

  // Drops what was read ahead.
  void Clear() { setg(nullptr, nullptr, nullptr); }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (!block_) block_ = std::make_unique_for_overwrite<char[]>(kBlock);
    const long n = Read(block_.get(), kBlock);
    if (n == 0) return traits_type::eof();
    setg(block_.get(), block_.get(), block_.get() + n);
    return traits_type::to_int_type(*gptr());
  }

  // Large reads go straight into the caller's buffer.
  std::streamsize xsgetn(char* s, std::streamsize count) override {
    std::streamsize done = 0;
    while (done < count) {
      if (gptr() < egptr()) {
        const std::streamsize n = std::min<std::streamsize>(egptr() - gptr(), count - done);
        traits_type::copy(s + done, gptr(), static_cast<std::size_t>(n));
        gbump(static_cast<int>(n));
        done += n;
        continue;
      }
      const long n = Read(s + done, static_cast<std::size_t>(count - done));
      if (n == 0) break;
      done += n;
    }
    return done;
  }

 private:
  long Read(char* into, std::size_t size) {
    int err = 0;
    const long n = platform::ReadSome(file_, into, size, err);
    if (n < 0) throw DocumentUnreadable(MessageForErrno(err));
    return n;
  }

  platform::FileHandle file_;
  static constexpr std::size_t kBlock = 1 << 16;
  std::unique_ptr<char[]> block_;
};

InputFile::InputFile(const std::string& path) {
  int err = 0;
  file_ = platform::OpenForReading(path, err);
  if (file_ == platform::kNoFile) throw DocumentUnreadable(MessageForErrno(err));
  size_ = platform::FileSize(file_);
  buffer_ = std::make_unique<Buffer>(file_);
  stream_ = std::make_unique<std::istream>(buffer_.get());
  // A failure inside the buffer is thrown on, not turned into a state bit.
  stream_->exceptions(std::ios::badbit);
}

InputFile::~InputFile() {
  stream_.reset();
  buffer_.reset();
  platform::CloseFile(file_);
}

unsigned InputFile::Permissions() const {
  return platform::ReadWritePermissions(file_);
}

bool InputFile::Rewind() {
  if (platform::RewindFile(file_) != 0) return false;
  buffer_->Clear();
  stream_->clear();
  return true;
}

}  // namespace pomvex
