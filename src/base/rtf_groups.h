// The check that an RTF document is one group: its unescaped braces balance, and the group its
// first character opens closes only at its last. It follows text written piece by piece; a
// backslash pairs with the character after it, so "\{" and "\}" are no braces.
#pragma once

#include <string_view>

#include "base/commands.h"
#include "base/text_sink.h"

namespace pomvex {

class RtfGroupCheck {
 public:
  void Add(std::string_view text) {
    for (const char c : text) {
      if (escaped_) {
        escaped_ = false;
        continue;
      }
      if (atZero_) broken_ = true;  // text after the end of the document's group
      if (c == kBackslash) {
        escaped_ = true;
        continue;
      }
      if (c == '{') ++depth_;
      if (c == '}' && --depth_ < 0) broken_ = true;  // a brace that closes no group
      atZero_ = depth_ == 0;
    }
  }
  // True when the text so far is one group (or empty).
  bool IsOneGroup() const { return depth_ == 0 && !broken_; }

 private:
  long depth_ = 0;
  bool escaped_ = false;
  bool atZero_ = false;  // the last character left no group open
  bool broken_ = false;
};

inline bool IsOneGroup(std::string_view rtf) {
  RtfGroupCheck check;
  check.Add(rtf);
  return check.IsOneGroup();
}

// Passes the text on and checks its groups.
class GroupCheckingSink : public TextSink {
 public:
  explicit GroupCheckingSink(TextSink& out) : out_(out) {}
  void Write(std::string_view text) override {
    check_.Add(text);
    out_.Write(text);
  }
  bool IsOneGroup() const { return check_.IsOneGroup(); }

 private:
  TextSink& out_;
  RtfGroupCheck check_;
};

}  // namespace pomvex
