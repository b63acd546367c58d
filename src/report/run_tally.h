// What the reports say of each entry and of the run as a whole, counted as the log counts.
#pragma once

#include <array>
#include <string>

#include "app/run_entry.h"

namespace pomvex::report {

// "converted", "abandoned", "not version 3", "unreadable", or "skipped" for a document whose
// conversion the end of the run cut short.
const char* StatusText(const RunEntry& entry, bool finished);
// "error" or "warning".
const char* KindText(const Problem& problem);
// The category's name; empty for a warning.
std::string CategoryName(int category);

struct RunTally {
  int documents = 0;
  int converted = 0;
  int errors = 0;
  int warnings = 0;
  std::array<int, kCategoryCount + 1> categories{};

  void Count(const Problem& problem);
  void Count(const RunEntry& entry, bool finished);
};

}  // namespace pomvex::report
