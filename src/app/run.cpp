#include "app/run.h"

#include <exception>

#include "app/folder_walk.h"
#include "app/output_file.h"
#include "app/run_state.h"

namespace pomvex {

namespace {

std::string StartDirOf(const std::string& directory) {
  if (!directory.empty() && directory.back() == '/') return directory;
  return directory + "/";
}

}  // namespace

RunOutcome RunConversion(const RunRequest& request, RunFrontEnd& frontEnd) {
  RunOutcome outcome;
  RunState run(frontEnd);
  try {
    run.ResetCounts(request.detailedLog);
    run.KeepAllScripts = request.keepAllScripts;
    run.StartDir = StartDirOf(request.directory);
    outcome.startDir = run.StartDir;
    frontEnd.ShowInfo(run.StartDir);
    outcome.logPath = CreateUniqueFile(run.StartDir + "Pomvex.Log", "");
    run.OpenLog(outcome.logPath);
    ConvertDir(run, request, run.StartDir);
    run.UpdateCounts();
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
    run.CloseLog();
    outcome.finished = true;
  } catch (const RunFailure& failure) {
    outcome.failure = failure.what();
  } catch (const std::bad_alloc&) {
    outcome.failure = "Out of memory";
  } catch (const std::exception& failure) {
    outcome.failure = failure.what();
  }
  outcome.counts = run.Counts();
  return outcome;
}

}  // namespace pomvex
