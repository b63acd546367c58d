#include "report/run_tally.h"

#include "app/run_state.h"

namespace pomvex::report {

const char* StatusText(const RunEntry& entry, bool finished) {
  if (!finished) return "skipped";
  switch (entry.outcome) {
    case DocumentOutcome::Converted:
      return "converted";
    case DocumentOutcome::NotVersion3:
      return "not version 3";
    case DocumentOutcome::Abandoned:
      return "abandoned";
    case DocumentOutcome::Unreadable:
      return "unreadable";
    default:
      return "skipped";
  }
}

const char* KindText(const Problem& problem) {
  return problem.category == 0 ? "warning" : "error";
}

std::string CategoryName(int category) {
  return category >= 1 && category <= kCategoryCount ? CategoryNames[category] : "";
}

void RunTally::Count(const Problem& problem) {
  if (problem.category == 0) {
    ++warnings;
  } else if (problem.category <= kCategoryCount) {
    ++errors;
    ++categories[problem.category];
  }
}

void RunTally::Count(const RunEntry& entry, bool finished) {
  if (!entry.IsDocument()) return;
  ++documents;
  if (finished && entry.outcome == DocumentOutcome::Converted) ++converted;
}

}  // namespace pomvex::report
