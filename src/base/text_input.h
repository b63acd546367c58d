// Reads a text file line by line under the rules of ChiWriter's DOS text files: a carriage
// return ends a line and swallows one line feed right after it; any other line feed is an
// ordinary character; a Ctrl-Z ends the input like the physical end; a last line without a
// carriage return is still a line. A document whose first line ends in a line feed alone (a
// copy whose line ends were turned into LF), or whose second line does after a first that ends in
// CR LF (a copy edited on another system), is read with every line feed as a line end.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace pomvex {

// What the reader met in a line besides its text.
struct LineRead {
  bool formFeed = false;  // the line holds a form feed
};

class TextInput {
 public:
  explicit TextInput(std::istream& in);

  // True when no further character can be read.
  bool AtEnd() {
    if (pos_ < size_ && buffer_[pos_] != kCtrlZ) return false;
    return AtEndOfBuffer();
  }
  // Reads the next line into line, without its line end. Reading at the end gives "".
  LineRead ReadLine(std::string& line) {
    // Mostly the line is text alone and its carriage return and line feed follow it in the
    // buffer: it is taken here at once.
    const char* begin = buffer_.data() + pos_;
    const std::size_t available = size_ - pos_;
    const std::size_t n = NextControl(begin, available);
    if (n + 1 < available && begin[n] == kCR && begin[n + 1] == kLF) {
      line.clear();
      line.append(begin, n);
      pos_ += n + 2;
      ++linesRead_;
      return {};
    }
    return ReadOtherLine(line);
  }
  // Reads the first line without holding it, however long it is, and tells whether marker
  // occurs in it. When that line ends in a line feed that no carriage return precedes, every
  // later line feed ends a line too (a CR LF pair still ends one line, a lone CR still ends one).
  // So it does from the second line on when the first ends in CR LF and the second in a line feed
  // alone.
  bool ScanFirstLine(std::string_view marker);
  // The number of lines read so far: the number of the line read last, as an editor counts
  // the document's lines (the first line is 1).
  long LinesRead() const { return linesRead_; }

 private:
  static constexpr char kCtrlZ = '\x1a';
  static constexpr char kCR = '\r';
  static constexpr char kLF = '\n';
  // The buffer reaches this far beyond the bytes read into it, so that thirty-two bytes can be
  // loaded from any of them.
  static constexpr std::size_t kSlack = 32;

  // Index of the first control character (a byte below 32: the line ends, the form feed,
  // Ctrl-Z) in begin[0..n); n when there is none. Thirty-two bytes are compared at a time where
  // the processor can; the buffer's slack lets the last load reach beyond n, where a byte found
  // counts for nothing.
  static std::size_t NextControl(const char* begin, std::size_t n) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i highest = _mm_set1_epi8(0x1F);
    // A byte is a control character when the unsigned minimum of it and 31 is the byte.
    auto controls = [&highest](const char* at) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
      return static_cast<unsigned>(
          _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(chunk, highest), chunk)));
    };
    for (; i < n; i += 32) {
      const unsigned found = controls(begin + i) | controls(begin + i + 16) << 16;
      if (found != 0) return std::min(n, i + static_cast<std::size_t>(std::countr_zero(found)));
    }
    return n;
#else
    while (i < n && static_cast<unsigned char>(begin[i]) >= 0x20) ++i;
    return i;
#endif
  }
  // ReadLine for every other line: one that holds other control characters, ends otherwise, or
  // runs beyond the buffer, and the end of the input.
  LineRead ReadOtherLine(std::string& line);
  bool AtEndOfBuffer();
  bool Fill();
  // Length of the line's text in the n bytes at begin: up to the first byte that ends the line.
  std::size_t LineTextIn(const char* begin, std::size_t n, bool lfEndsLine) const;
  // Consumes the line end at the read position; a Ctrl-Z stays for AtEnd.
  void TakeLineEnd();

  std::istream& in_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
  bool ended_ = false;
  bool lfEndsLines_ = false;
  // The first line ended in CR LF: a lone line feed that ends the second line makes
  // lfEndsLines_.
  bool lfMayEndLines_ = false;
  long linesRead_ = 0;
};

}  // namespace pomvex
