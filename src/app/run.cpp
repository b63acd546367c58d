#include "app/run.h"

#include <algorithm>
#include <exception>
#include <new>
#include <optional>
#include <thread>

#include "app/document_queue.h"
#include "app/folder_listing.h"
#include "app/folder_walk.h"
#include "app/output_file.h"
#include "app/run_observer.h"
#include "app/run_state.h"
#include "platform/platform_files.h"

namespace pomvex {

namespace {

std::string StartDirOf(const std::string& directory) {
  if (!directory.empty() && platform::IsPathSeparator(directory.back())) return directory;
  return directory + platform::kPathSeparator;
}

// The summary line and the run's count lines.
void WriteSummary(RunState& run, RunOutcome& outcome) {
  outcome.summary = "*** Finished converting " + std::to_string(run.ConvertedCount) +
                    " files with " + std::to_string(run.ErrorCount) + " error(s) and " +
                    std::to_string(run.WarningCount) + " warning(s). ***";
  run.WriteLog(outcome.summary);
  for (int category = 1; category <= kCategoryCount; ++category) {
    if (run.CategoryCounts[category] != 0) {
      run.WriteLog(std::to_string(run.CategoryCounts[category]) + " instances of " +
                   CategoryNames[category]);
    }
  }
}

// A run that did not finish still closes its log with why, and with what was done, when the
// log can be written.
void EndLog(RunState& run, RunOutcome& outcome) {
  if (!run.LogOpen()) {
    run.DropUnlogged();
    return;
  }
  try {
    run.WriteLog(outcome.ending);
    WriteSummary(run, outcome);
    run.CloseLog();
  } catch (const std::exception&) {
    outcome.summary.clear();  // the log did not get it
    run.DropUnlogged();
  }
}

void Fail(RunState& run, RunOutcome& outcome, const std::string& message,
          const std::string& path = {}) {
  outcome.failure = message;
  outcome.failurePath = path;
  outcome.ending =
      "*** Run ended: " + message + (path.empty() ? "" : ": " + PrintableName(path)) + " ***";
  EndLog(run, outcome);
}

// The writers of reports finish what the run did; one that cannot is the run's failure, when
// it had none.
void TellRunEnded(const std::vector<RunObserver*>& observers, RunOutcome& outcome) {
  for (RunObserver* observer : observers) {
    try {
      observer->RunEnded(outcome);
    } catch (const std::exception& failure) {
      if (!outcome.failure.empty() || outcome.interrupted) continue;
      outcome.finished = false;
      outcome.failure = failure.what();
      if (const auto* run = dynamic_cast<const RunFailure*>(&failure)) {
        outcome.failurePath = run->Path();
      }
    }
  }
}

}  // namespace

RunOutcome RunConversion(const RunRequest& request, RunFrontEnd& frontEnd) {
  RunOutcome outcome;
  RunState run(frontEnd);
  // A file grown beyond the process's size limit is a failure of the run, not its end unlogged.
  platform::FailWritesBeyondFileSizeLimit();
  try {
    run.ResetCounts(request.detailedLog);
    run.KeepAllScripts = request.keepAllScripts;
    run.Equations = request.equations;
    run.Observers = request.observers;
    run.StartDir = StartDirOf(request.directory);
    outcome.startDir = run.StartDir;
    for (RunObserver* observer : request.observers) observer->RunStarted(run.StartDir);
    run.Outputs.Start(run.StartDir, request.outputDirectory.empty()
                                        ? run.StartDir
                                        : StartDirOf(request.outputDirectory));
    frontEnd.ShowInfo(run.StartDir);
    run.Outputs.CreateRoot();
    run.OpenLog(CreateUniqueFile(run.Outputs.RootPlace("Pomvex.Log"), ""));
    outcome.logPath = run.LogPath();
    // The directory lines that follow name the documents' own folders.
    if (run.Outputs.Mirrored()) run.WriteLog("Output folder: " + PrintableName(run.Outputs.Root()));
    {
      DocumentQueue queue(run, request.jobs);
      try {
        ConvertDir(run, queue, request, run.StartDir);
        queue.Finish();
      } catch (const RunFailure&) {
        // The failure met first in walk order ends the run, as it would one document at a time.
        if (std::optional<RunFailure> first = queue.Abort(false)) throw *first;
        throw;
      } catch (...) {
        queue.Abort(true);
        throw;
      }
    }
    run.UpdateCounts();
    WriteSummary(run, outcome);
    run.CloseLog();
    outcome.finished = true;
  } catch (const RunInterrupted&) {
    outcome.interrupted = true;
    outcome.ending = "*** Run interrupted after " + std::to_string(run.FilesDone) + " files. ***";
    EndLog(run, outcome);
  } catch (const RunFailure& failure) {
    Fail(run, outcome, failure.what(), failure.Path());
  } catch (const std::bad_alloc&) {
    Fail(run, outcome, "Out of memory");
  } catch (const std::exception& failure) {
    Fail(run, outcome, failure.what());
  }
  outcome.counts = run.Counts();
  TellRunEnded(request.observers, outcome);
  return outcome;
}

int DefaultJobCount() {
  const unsigned cores = std::thread::hardware_concurrency();
  return std::clamp(static_cast<int>(cores), 1, kMaxJobs);
}

}  // namespace pomvex
