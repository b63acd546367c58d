// The run behind "Go!": the one entry point the front ends (the window and the command line)
// call. It converts the chosen files of a start directory and writes the run's log there, or
// into the output folder the command line may name.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pomvex {

class RunObserver;

// The "Select Files to Convert:" choice, with the indexes of its entries.
enum class FileChoice { SingleFiles = 0, CurrentDirectory = 1, CurrentAndSubFolders = 2 };

struct RunCounts {
  int converted = 0;
  int warnings = 0;
  int errors = 0;
};

// What the run tells its front end while it goes on. The front end is called from the thread
// that started the run, and only from there, whatever the number of workers; what it is told
// comes in walk order (a document's problems are counted when its turn comes).
class RunFrontEnd {
 public:
  virtual ~RunFrontEnd() = default;
  // Shows the start directory; the run waits until it returns, before anything is converted.
  virtual void ShowInfo(const std::string& text) { (void)text; }
  // Called at every change of a counter. A front end that draws the counters should not draw
  // at every call (a document can report millions of problems): the run's final counts come
  // with the outcome.
  virtual void CountsChanged(const RunCounts& counts) { (void)counts; }
  // Called with each file's full path when its turn comes: before it is converted, or once
  // every file before it is done when workers convert it.
  virtual void FileStarted(const std::string& path) { (void)path; }
  // Asked between files, between the line groups of a document converted on the run's thread,
  // and every few hundredths of a second while the run waits for its workers: true stops the
  // run. Every document being written is deleted, and the log closes with what was done.
  virtual bool Interrupted() { return false; }
};

struct RunRequest {
  // The directory shown in the directory list ("/" for the root, on Windows "C:\" for a drive's
  // root; otherwise without a trailing separator).
  std::string directory;
  FileChoice choice = FileChoice::CurrentDirectory;
  // For SingleFiles: the names (without directory) selected in the file list.
  std::vector<std::string> selectedFiles;
  // For SingleFiles and CurrentDirectory: the entries of the file list as the user sees them, in
  // its order. The run takes these instead of listing the directory again, so that a file added
  // since is not converted and one deleted since is not passed over silently. When absent (the
  // command line), the directory is listed.
  std::optional<std::vector<std::string>> listedFiles;
  // Log every superscript/subscript error, not only their counts.
  bool detailedLog = false;
  // Place every superscript and subscript run, also where the document leaves it no room.
  bool keepAllScripts = false;
  // Write stacked fractions, limits and stacked scripts as formulas.
  bool equations = false;
  // How many documents are converted at once (each by a worker thread). The files, the names
  // and the log are the same for any number; 1 converts each on the calling thread.
  int jobs = 1;
  // Empty: each RTF file goes beside its document, the log into the start directory. Otherwise
  // the folder (absolute, without a trailing separator) that takes the RTF files, at the paths
  // their documents have under the start directory, and the log; it is created when missing.
  std::string outputDirectory;
  // Writers of reports beside the log (run_observer.h). With any, every problem is located in
  // its document, which costs a little; the log and the RTF files stay the same.
  std::vector<RunObserver*> observers;
};

struct RunOutcome {
  bool finished = false;     // false when a failure or an interruption ended the run
  bool interrupted = false;  // the front end asked the run to stop
  std::string failure;       // the failure's message ("File not found", "Disk full", ...)
  std::string failurePath;   // the file or folder it concerns, when there is one
  std::string startDir;      // ends in the separator
  std::string logPath;       // empty when the log could not be created
  // When the run did not finish: the log's line that says why ("*** Run interrupted after 3
  // files. ***", "*** Run ended: Disk full: /a/B.rtf ***").
  std::string ending;
  std::string summary;  // the log's summary line, when the log got one
  RunCounts counts;
};

RunOutcome RunConversion(const RunRequest& request, RunFrontEnd& frontEnd);

// The most documents a run converts at once.
inline constexpr int kMaxJobs = 64;
// The number of the machine's cores (at least 1, at most kMaxJobs): a run on every core.
int DefaultJobCount();

}  // namespace pomvex
