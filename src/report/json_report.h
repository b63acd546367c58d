// The run as JSON lines, for archives: one object per document in walk order (and one per
// folder that could not be read), then one with the run's summary.
#pragma once

#include <string>

#include "app/run_observer.h"
#include "report/pending_file.h"
#include "report/run_tally.h"

namespace pomvex::report {

class JsonReport : public RunObserver {
 public:
  // Creates the file under its temporary name; throws RunFailure when it cannot.
  explicit JsonReport(std::string path) : file_(std::move(path)) {}

  void EntryBegins(const RunEntry& entry) override;
  void ProblemsCommitted(const RunEntry& entry, const std::vector<Problem>& problems) override;
  void EntryCommitted(const RunEntry& entry, bool finished) override;
  void RunEnded(const RunOutcome& outcome) override;

 private:
  void Open(const RunEntry& entry);

  PendingFile file_;
  bool open_ = false;         // an entry's object is being written
  bool firstProblem_ = true;  // none of its problems is written yet
  RunTally tally_;
};

}  // namespace pomvex::report
