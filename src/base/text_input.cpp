#include "base/text_input.h"

#include <cstring>

#include "base/reporting.h"

namespace pomvex {

namespace {
constexpr char kFormFeed = '\f';
constexpr std::size_t kChunk = 1 << 16;

std::size_t Before(const char* begin, std::size_t n, char c) {
  const void* at = std::memchr(begin, c, n);
  return at == nullptr ? n : static_cast<std::size_t>(static_cast<const char*>(at) - begin);
}

}  // namespace

TextInput::TextInput(std::istream& in) : in_(in), buffer_(kChunk + kSlack) {}

bool TextInput::Fill() {
  if (ended_) return false;
  if (pos_ < size_) return true;
  in_.read(buffer_.data(), static_cast<std::streamsize>(kChunk));
  size_ = static_cast<std::size_t>(in_.gcount());
  pos_ = 0;
  if (in_.bad()) throw RunFailure("Read beyond end of file");
  if (size_ == 0) {
    ended_ = true;
    return false;
  }
  return true;
}

bool TextInput::AtEndOfBuffer() {
  if (!Fill()) return true;
  if (buffer_[pos_] == kCtrlZ) {
    ended_ = true;
    return true;
  }
  return false;
}

std::size_t TextInput::LineTextIn(const char* begin, std::size_t n, bool lfEndsLine) const {
  n = Before(begin, n, kCR);
  if (lfEndsLine) n = Before(begin, n, kLF);
  return Before(begin, n, kCtrlZ);
}

void TextInput::TakeLineEnd() {
  const char end = buffer_[pos_];
  if (end == kCtrlZ) return;
  ++pos_;
  // A line feed after the carriage return is mostly in the buffer already: no refill is asked.
  if (end == kCR && ((pos_ < size_ && !ended_) || Fill()) && buffer_[pos_] == kLF) ++pos_;
}

LineRead TextInput::ReadOtherLine(std::string& line) {
  line.clear();
  LineRead read;
  if (AtEnd()) return read;
  ++linesRead_;
  do {
    // The line's text runs to the first control character that ends it; a form feed is noted.
    const char* begin = buffer_.data() + pos_;
    const std::size_t available = size_ - pos_;
    std::size_t n = NextControl(begin, available);
    while (n < available) {
      const char c = begin[n];
      if (c == kCR || c == kCtrlZ) break;
      if (c == kLF && (lfEndsLines_ || (linesRead_ == 2 && lfMayEndLines_))) {
        lfEndsLines_ = true;
        break;
      }
      if (c == kFormFeed) read.formFeed = true;
      ++n;
      n += NextControl(begin + n, available - n);
    }
    line.append(begin, n);
    pos_ += n;
    if (n < available) {
      // The line end, mostly a carriage return and a line feed in the buffer.
      if (begin[n] == kCR && n + 1 < available && begin[n + 1] == kLF) {
        pos_ += 2;
      } else {
        TakeLineEnd();
      }
      return read;
    }
  } while (!AtEnd());  // refill and go on with the same line
  return read;
}

bool TextInput::ScanFirstLine(std::string_view marker) {
  const std::size_t keep = marker.empty() ? 0 : marker.size() - 1;
  std::string tail;  // the last characters of the line so far, where a marker may begin
  bool found = marker.empty();
  if (!AtEnd()) ++linesRead_;
  while (!AtEnd()) {
    const char* begin = buffer_.data() + pos_;
    const std::size_t n = LineTextIn(begin, size_ - pos_, /*lfEndsLine=*/true);
    if (!found) {
      const std::string_view piece(begin, n);
      const std::string joint = tail + std::string(piece.substr(0, keep));
      found = joint.find(marker) != std::string::npos || piece.find(marker) != piece.npos;
      tail += piece.substr(n > keep ? n - keep : 0);
      if (tail.size() > keep) tail.erase(0, tail.size() - keep);
    }
    pos_ += n;
    if (pos_ == size_) continue;
    const char end = buffer_[pos_];
    if (end == kLF) lfEndsLines_ = true;
    TakeLineEnd();
    // After a first line that ends in CR LF, the second line's end decides: a line feed that no
    // carriage return precedes there (a copy edited on another system) makes every later line
    // feed a line end too. The line feed taken is the last byte before the read position, also
    // when it came with a new load of the buffer.
    lfMayEndLines_ = end == kCR && pos_ >= 1 && buffer_[pos_ - 1] == kLF;
    break;
  }
  return found;
}

}  // namespace pomvex
