// The entries of a run between the walk and the log. The walk adds them in its order; each
// document is taken up there (opened, and its RTF file created under a name chosen in walk
// order), then converted by one of the run's workers, or at once when the run has one job.
// Entries are committed to the run's state in walk order as soon as every earlier one is, so
// that the files, the names and the log are those of documents converted one at a time.
//
// Workers share nothing but the queue: each converts its own entry, with its own document state,
// and hands back only through the queue's lock. The walk, the committing, the log, the counters
// and the front end stay on the thread that runs the walk.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/convert_file.h"
#include "app/run_entry.h"
#include "app/run_state.h"

namespace pomvex {

// The walk stays ahead of the committing by at most kTakenUpPerJob documents per worker that are
// taken up and not converted yet (their files open), and kEntriesPerJob entries per worker not
// committed yet (each holding its section of the log until its turn): so that the workers are
// never short of documents while a long one is converted at the head, and memory stays bounded.
inline constexpr std::size_t kTakenUpPerJob = 2;
inline constexpr std::size_t kEntriesPerJob = 16;
// Each document entry not committed holds at most two files open (its document until it is
// converted, its RTF file until it is named); the entries are fewer where the system allows
// fewer open files, with these left for the log, the reports and the folders.
inline constexpr std::size_t kFilesKeptFree = 64;

class DocumentQueue {
 public:
  // jobs workers convert documents at once; with one, each document is converted on the calling
  // thread as it is added.
  DocumentQueue(RunState& run, int jobs);
  ~DocumentQueue();
  DocumentQueue(const DocumentQueue&) = delete;
  DocumentQueue& operator=(const DocumentQueue&) = delete;

  // A folder's entry: its line in the log (heading, or none when empty), and the problems met
  // with it (a folder that cannot be read), and its path.
  void AddFolder(std::string heading, std::vector<Problem> problems = {}, std::string folder = {});
  // Takes up the document at path and has it converted. Throws RunInterrupted when the front
  // end asks the run to stop, and RunFailure when a failure ends the run (here, or in a worker).
  void AddDocument(const std::string& path);
  // Commits every entry, waiting for the documents still being converted.
  void Finish();
  // Ends the run after an interruption (every worker stops at its next check) or a failure
  // (the workers converting documents after it in walk order stop at their next check; those
  // before it are finished, as they would be one at a time). The entries done before the first
  // one that is not are committed; that one's heading and problems are logged; the RTF files of
  // the entries not committed are deleted. Gives the failure of that first entry, when a failure
  // ended its conversion: the run ends with it.
  std::optional<RunFailure> Abort(bool interrupted);

 private:
  class WorkerControl;

  void Work();
  void Push(std::unique_ptr<RunEntry> entry);
  // Commits the entry at the head, once it is done; gives false when it is not and wait is
  // false. Throws when the entry ended the run (it stays at the head for Abort).
  bool CommitHead(bool wait);
  bool AwaitHead(RunEntry& head, bool wait);
  bool Stops(const RunEntry& entry) const;
  bool TooFarAhead();
  void StopAll();
  [[noreturn]] void ThrowEnding(const RunEntry& entry);
  void ConvertAlone(RunEntry& entry);
  // Sets the entry to be converted from its start again; false (the entry abandoned) when its
  // files cannot be begun again.
  bool BeginAgain(RunEntry& entry);
  void CheckStop();

  RunState& run_;
  const ConversionOptions options_;
  const bool locateProblems_;
  std::size_t jobs_ = 1;
  std::size_t maxEntries_ = kEntriesPerJob;  // entries not committed yet, at most
  // The entries not committed yet, in walk order; only the walk's thread touches the container.
  std::deque<std::unique_ptr<RunEntry>> entries_;
  std::size_t added_ = 0;  // entries added so far: the next one's place in walk order

  // Under mutex_: what workers and the committer share.
  std::mutex mutex_;
  std::condition_variable work_;        // a document waits for a worker, or the workers may end
  std::condition_variable handover_;    // an entry's turn came, or its problems were taken
  std::condition_variable progress_;    // a document was done, or handed problems over
  std::deque<RunEntry*> waiting_;       // taken up, waiting for a worker
  std::size_t pending_ = 0;             // taken up and not done yet
  std::uint64_t events_ = 0;            // counts what progress_ tells
  std::size_t wakeAt_ = 0;              // the walk waits for pending_ to come down to this
  int converting_ = 0;                  // entries a worker is converting
  int handingOver_ = 0;                 // of those, entries waiting for their turn to hand over
  bool paused_ = false;                 // workers take no new document
  bool yielding_ = false;               // documents that wait for their turn are given up
  std::atomic<bool> stopping_ = false;  // workers stop at their next check
  bool quitting_ = false;               // workers end
  // The first entry in walk order whose conversion met a failure that ends the run, and that
  // failure: the workers converting entries after it stop at their next check.
  std::atomic<std::size_t> failedAt_ = static_cast<std::size_t>(-1);
  std::optional<RunFailure> failure_;

  std::vector<std::thread> workers_;
};

}  // namespace pomvex
