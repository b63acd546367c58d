// How every step reports the problems it meets, and the two kinds of failure.
#pragma once

#include <stdexcept>
#include <string>

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

// A failure of the platform (a file that cannot be opened or written): it ends the whole run.
class RunFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace pomvex
