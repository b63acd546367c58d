#include "base/text_input.h"

#include <cstring>

#include "base/reporting.h"

namespace pomvex {

namespace {
constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kCtrlZ = '\x1a';
constexpr std::size_t kChunk = 1 << 16;
}  // namespace

TextInput::TextInput(std::istream& in) : in_(in), buffer_(kChunk) {}

bool TextInput::Fill() {
  if (ended_) return false;
  if (pos_ < size_) return true;
  in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  size_ = static_cast<std::size_t>(in_.gcount());
  pos_ = 0;
  if (in_.bad()) throw RunFailure("Read beyond end of file");
  if (size_ == 0) {
    ended_ = true;
    return false;
  }
  return true;
}

bool TextInput::AtEnd() {
  if (!Fill()) return true;
  if (buffer_[pos_] == kCtrlZ) {
    ended_ = true;
    return true;
  }
  return false;
}

void TextInput::ReadLine(std::string& line) {
  line.clear();
  while (!AtEnd()) {
    const char* begin = buffer_.data() + pos_;
    std::size_t avail = size_ - pos_;
    // The line ends at the first carriage return or Ctrl-Z of the buffer.
    const void* cr = std::memchr(begin, kCR, avail);
    std::size_t n =
        cr == nullptr ? avail : static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
    if (const void* z = std::memchr(begin, kCtrlZ, n)) {
      n = static_cast<std::size_t>(static_cast<const char*>(z) - begin);
    }
    line.append(begin, n);
    pos_ += n;
    if (pos_ == size_) continue;          // refill and go on with the same line
    if (buffer_[pos_] == kCtrlZ) return;  // AtEnd() will see it
    ++pos_;                               // the carriage return
    if (Fill() && buffer_[pos_] == kLF) ++pos_;
    return;
  }
}

}  // namespace pomvex
