// How every step reports the problems it meets, and the two kinds of failure.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace pomvex {

// Problems in a document are data: they are logged and counted, and the conversion goes on.
class Reporter {
 public:
  virtual ~Reporter() = default;
  // category is 1 to 15.
  virtual void ReportError(int category, const std::string& text) = 0;
  virtual void ReportWarning(const std::string& text) = 0;
};

// A limit met inside one document ("Range check error", "Integer overflow"): the document is
// abandoned, the run goes on with the next file.
class ConversionAbandoned : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kRangeCheckError = "Range check error";
inline constexpr const char* kIntegerOverflow = "Integer overflow";
inline constexpr const char* kOutputTooLarge = "Output too large";

// A failure of the platform (a file that cannot be created or written, a full disk): it ends
// the whole run, since it would repeat for every file. path names the file or folder concerned,
// when there is one.
class RunFailure : public std::runtime_error {
 public:
  explicit RunFailure(const std::string& message, std::string path = {})
      : std::runtime_error(message), path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The user asked the run to stop (an interrupt or a termination signal): the document being
// written is dropped and the run ends with what was done.
class RunInterrupted : public std::runtime_error {
 public:
  RunInterrupted() : std::runtime_error("Run interrupted") {}
};

}  // namespace pomvex
