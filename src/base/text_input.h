// Reads a text file line by line under the rules of ChiWriter's DOS text files: a carriage
// return ends a line and swallows one line feed right after it; any other line feed is an
// ordinary character; a Ctrl-Z ends the input like the physical end; a last line without a
// carriage return is still a line. A document whose first line ends in a line feed alone (a
// copy whose line ends were turned into LF) is read with every line feed as a line end.
#pragma once

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
  LineRead ReadLine(std::string& line);
  // Reads the first line without holding it, however long it is, and tells whether marker
  // occurs in it. When that line ends in a line feed that no carriage return precedes, every
  // later line feed ends a line too (a CR LF pair still ends one line, a lone CR still ends one).
  bool ScanFirstLine(std::string_view marker);
  // The number of lines read so far: the number of the line read last, as an editor counts
  // the document's lines (the first line is 1).
  long LinesRead() const { return linesRead_; }

 private:
  static constexpr char kCtrlZ = '\x1a';
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
  long linesRead_ = 0;
};

}  // namespace pomvex
