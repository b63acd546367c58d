// What is committed of a run, for the writers of reports beside the log. They are told on the
// thread that commits the run's entries, in walk order, as the log is written, so that what
// they are told is the same for any number of workers.
#pragma once

#include <string>
#include <vector>

#include "app/run.h"
#include "app/run_entry.h"

namespace pomvex {

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // The run's start directory (ending in the separator) is known; nothing is committed yet.
  virtual void RunStarted(const std::string& startDir) { (void)startDir; }
  // The entry's heading goes to the log: its problems follow.
  virtual void EntryBegins(const RunEntry& entry) { (void)entry; }
  virtual void ProblemsCommitted(const RunEntry& entry, const std::vector<Problem>& problems) {
    (void)entry, (void)problems;
  }
  // The entry is committed. For a document, finished is false when the run ended while it was
  // converted (its RTF file is gone); otherwise its outcome is known, and entry.output is
  // null when its RTF file was deleted.
  virtual void EntryCommitted(const RunEntry& entry, bool finished) { (void)entry, (void)finished; }
  // The run has ended, as outcome says, and its log is closed. A failure thrown here is the
  // run's failure when it had none.
  virtual void RunEnded(const RunOutcome& outcome) { (void)outcome; }
};

}  // namespace pomvex
