// The state of one run: the counters, the error categories and the log. The entries of the run
// are committed here, one after another in walk order: their lines logged, their problems
// counted and shown to the front end.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/output_file.h"
#include "app/output_tree.h"
#include "app/run.h"
#include "app/run_entry.h"
#include "base/reporting.h"

namespace pomvex {

// The category texts, indexed 1 to 15 (entry 0 unused).
extern const std::array<const char*, kCategoryCount + 1> CategoryNames;

class RunState {
 public:
  explicit RunState(RunFrontEnd& frontEnd) : frontEnd_(frontEnd) {}

  // Logs the entry's heading, when it is not logged yet, and the problems of batch, counting
  // them; batch is left empty.
  void CommitProblems(RunEntry& entry, std::vector<Problem>& batch);
  // Commits what is left of a finished entry: its problems, its outcome (the converted count,
  // the document's count lines), and the deletion of an RTF file that is not to be kept.
  void CommitEntry(RunEntry& entry);
  // The entry of the document that was being converted when the run ended: its heading and
  // problems are logged, its RTF file deleted.
  void CommitUnfinished(RunEntry& entry);
  // Deletes the entry's RTF file, with the folders made for it that it leaves empty.
  void DropOutput(RunEntry& entry);
  // Gives the RTF file of a document whose file is kept its name; throws RunFailure.
  void NameOutput(RunEntry& entry);

  // Counters back to 0 and shown; the detailed-log choice is taken.
  void ResetCounts(bool detailedLog);
  void UpdateCounts();
  void CountConverted();

  void OpenLog(std::unique_ptr<OutputFile> log);
  void WriteLog(const std::string& text);
  // Hands what the log holds to the system: done after every document, so that a process that
  // is killed leaves a log naming every file it finished.
  void FlushLog();
  // Closes the log; the RTF files whose lines it could not take when they were committed are
  // named in it now, and kept.
  void CloseLog();
  // The log could not be written to its end: the RTF files it does not name are deleted.
  void DropUnlogged();
  bool LogOpen() const { return log_ != nullptr; }
  std::string LogPath() const { return log_ ? log_->Path() : std::string(); }

  // Throws RunInterrupted when the front end asks the run to stop.
  void CheckInterrupted();

  RunFrontEnd& FrontEnd() { return frontEnd_; }
  RunCounts Counts() const { return {ConvertedCount, WarningCount, ErrorCount}; }

  int ConvertedCount = 0;
  int ErrorCount = 0;
  int WarningCount = 0;
  std::array<int, kCategoryCount + 1> CategoryCounts{};
  // Files taken up and done with, whatever came of them (converted, rejected, skipped).
  int FilesDone = 0;
  bool DetailedLog = false;
  bool KeepAllScripts = false;
  bool Equations = false;
  // The writers of reports told what is committed; the problems are located when there are any.
  std::vector<RunObserver*> Observers;
  std::string StartDir;
  // Where the RTF files and the log go.
  OutputTree Outputs;

 private:
  RunFrontEnd& frontEnd_;
  std::unique_ptr<OutputFile> log_;
  // RTF files committed while the log could not be written.
  std::vector<std::unique_ptr<OutputFile>> unlogged_;
};

}  // namespace pomvex
