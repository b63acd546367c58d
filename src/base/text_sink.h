// Where converted text goes: an RTF file, or memory for tests and fuzzing.
#pragma once

#include <string>
#include <string_view>

namespace pomvex {

class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void Write(std::string_view text) = 0;
};

class StringSink : public TextSink {
 public:
  void Write(std::string_view text) override { text_.append(text); }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace pomvex
