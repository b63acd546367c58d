// Reads a text file line by line under the rules of ChiWriter's DOS text files: a carriage
// return ends a line and swallows one line feed right after it; any other line feed is an
// ordinary character; a Ctrl-Z ends the input like the physical end; a last line without a
// carriage return is still a line.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace pomvex {

class TextInput {
 public:
  explicit TextInput(std::istream& in);

  // True when no further character can be read.
  bool AtEnd();
  // Reads the next line into line, without its line end. Reading at the end gives "".
  void ReadLine(std::string& line);

 private:
  bool Fill();
  std::istream& in_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
  bool ended_ = false;
};

}  // namespace pomvex
