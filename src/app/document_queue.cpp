#include "app/document_queue.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "app/convert_file.h"
#include "app/folder_listing.h"
#include "platform/platform_files.h"
#include "platform/platform_threads.h"

namespace pomvex {

namespace {

// How often the front end is asked whether to stop while the run waits for a document.
constexpr auto kStopPoll = std::chrono::milliseconds(20);

std::string FileNameOf(const std::string& path) {
  return path.substr(platform::NameStart(path));
}

// A document converted on the walk's thread: the front end is asked between its line groups,
// and its problems are committed as soon as they are too many to hold, since its turn has come.
class InlineControl : public ConversionControl {
 public:
  explicit InlineControl(RunState& run) : run_(run) {}
  void CheckStop() override { run_.CheckInterrupted(); }
  void HandOver(RunEntry& entry) override { run_.CommitProblems(entry, entry.problems); }

 private:
  RunState& run_;
};

}  // namespace

// A document converted by a worker: it stops when the queue says so, and hands its problems over
// only when its turn has come, waiting for it until then, so that a document with millions of
// problems holds at most kProblemsHeld of them before its turn.
class DocumentQueue::WorkerControl : public ConversionControl {
 public:
  WorkerControl(DocumentQueue& queue, const RunEntry& entry) : queue_(queue), entry_(entry) {}
  void CheckStop() override {
    if (queue_.Stops(entry_)) throw RunInterrupted();
  }
  void HandOver(RunEntry& entry) override {
    std::unique_lock lock(queue_.mutex_);
    ++queue_.handingOver_;
    queue_.progress_.notify_all();
    queue_.handover_.wait(lock, [&] {
      return queue_.Stops(entry) || queue_.yielding_ || (entry.atHead && entry.handed.empty());
    });
    --queue_.handingOver_;
    if (queue_.Stops(entry)) throw RunInterrupted();
    // The memory it holds is wanted for a document converted again alone: it is begun again
    // after that one.
    if (queue_.yielding_) throw ConversionYielded();
    entry.handed.swap(entry.problems);
    ++queue_.events_;
    lock.unlock();
    queue_.progress_.notify_all();
  }

 private:
  DocumentQueue& queue_;
  const RunEntry& entry_;
};

DocumentQueue::DocumentQueue(RunState& run, int jobs)
    : run_(run),
      options_{run.KeepAllScripts, run.Equations},
      locateProblems_(!run.Observers.empty()) {
  if (jobs <= 1) return;
  platform::ShareMemoryUnderLimit();
  try {
    for (int i = 0; i < jobs; ++i) workers_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
    // The system gives no more threads: the run goes on with those it has, or without.
  }
  jobs_ = workers_.empty() ? 1 : workers_.size();
  const std::size_t wanted = kEntriesPerJob * jobs_;
  const std::size_t files = platform::OpenFileLimit(2 * wanted + kFilesKeptFree);
  maxEntries_ = std::clamp(files > kFilesKeptFree ? (files - kFilesKeptFree) / 2 : 0,
                           (kTakenUpPerJob + 1) * jobs_, wanted);
}

DocumentQueue::~DocumentQueue() {
  {
    std::lock_guard lock(mutex_);
    quitting_ = true;
    stopping_ = true;
  }
  work_.notify_all();
  handover_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

bool DocumentQueue::Stops(const RunEntry& entry) const {
  return stopping_.load(std::memory_order_relaxed) ||
         entry.order > failedAt_.load(std::memory_order_relaxed);
}

void DocumentQueue::StopAll() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    paused_ = false;
  }
  work_.notify_all();
  handover_.notify_all();
}

void DocumentQueue::Work() {
  platform::LeaveStopSignalsToOtherThreads();
  std::unique_lock lock(mutex_);
  for (;;) {
    work_.wait(lock, [this] { return quitting_ || (!paused_ && !waiting_.empty()); });
    if (quitting_) return;
    RunEntry& entry = *waiting_.front();
    waiting_.pop_front();
    if (Stops(entry)) {
      entry.outcome = DocumentOutcome::Stopped;
    } else {
      ++converting_;
      lock.unlock();
      WorkerControl control(*this, entry);
      bool yielded = false;
      try {
        ConvertFile(entry, options_, control, locateProblems_);
        // The document is let go at once, but for one that ran out of memory, which is converted
        // again; an RTF file that is not kept is closed, and deleted in its turn. One that is
        // kept stays open until it is named.
        if (!entry.outOfMemory) {
          entry.input.reset();
          if (!entry.KeepsOutput()) entry.output->CloseUnwritten();
        }
      } catch (const ConversionYielded&) {
        yielded = true;
        BeginAgain(entry);
      } catch (...) {
        // Nothing but a want of memory while its failure was recorded gets here.
        entry.outcome = DocumentOutcome::Failed;
        entry.failure = "Out of memory";
      }
      lock.lock();
      --converting_;
      if (yielded && entry.outcome == DocumentOutcome::Converted) {
        // Taken up again once the workers go on.
        waiting_.push_front(&entry);
        progress_.notify_all();
        continue;
      }
      if (entry.outcome == DocumentOutcome::Failed && entry.order < failedAt_) {
        // A failure of the machine would repeat for every document: those after it stop.
        failure_.emplace(entry.failure, entry.failurePath);
        failedAt_ = entry.order;
        handover_.notify_all();
      }
    }
    entry.done = true;
    --pending_;
    ++events_;
    // The walk is woken when the head is done, or when half the documents it took up are.
    if (entry.atHead || pending_ <= wakeAt_ || paused_ || stopping_) progress_.notify_all();
  }
}

void DocumentQueue::AddFolder(std::string heading, std::vector<Problem> problems,
                              std::string folder) {
  auto entry = std::make_unique<RunEntry>();
  entry->heading = std::move(heading);
  entry->folder = std::move(folder);
  entry->problems = std::move(problems);
  Push(std::move(entry));
}

void DocumentQueue::AddDocument(const std::string& path) {
  CheckStop();
  auto entry = std::make_unique<RunEntry>();
  entry->document = path;
  // The front end hears of a document when its turn comes: at once when nothing is ahead of it.
  if (entries_.empty()) {
    entry->announced = true;
    run_.FrontEnd().FileStarted(path);
  }
  entry->heading = "  " + PrintableName(FileNameOf(path));
  try {
    entry->input = std::make_unique<InputFile>(path);
  } catch (const DocumentUnreadable& failure) {
    // Gone since the folder was listed, or not readable: skipped, and no output is left.
    entry->outcome = DocumentOutcome::Unreadable;
    entry->problems.push_back({CategoryNumber(Category::OmittedFile),
                               std::string("Cannot read file: ") + failure.what()});
    Push(std::move(entry));
    return;
  }
  entry->permissions = entry->input->Permissions();
  try {
    // Its RTF file is named when the entry is committed, in walk order, once it is whole.
    entry->output = CreatePendingFile(run_.Outputs.PlaceOf(path), ".rtf", entry->permissions,
                                      added_);
  } catch (const NameFailure& failure) {
    // A folder of the output tree that the system does not take by its name: this document
    // alone is skipped.
    entry->input.reset();
    entry->outcome = DocumentOutcome::Abandoned;
    entry->problems.push_back({CategoryNumber(Category::OmittedFile),
                               std::string("Cannot create folder: ") + failure.what() + ": " +
                                   PrintableName(failure.Path())});
  }
  Push(std::move(entry));
}

void DocumentQueue::Push(std::unique_ptr<RunEntry> added) {
  RunEntry& entry = *added;
  entry.order = added_++;
  entries_.push_back(std::move(added));
  if (!entry.output) {
    entry.done = true;
  } else if (workers_.empty()) {
    InlineControl control(run_);
    ConvertFile(entry, options_, control, locateProblems_);
    entry.done = true;
  } else {
    {
      std::lock_guard lock(mutex_);
      entry.inWorker = true;
      waiting_.push_back(&entry);
      ++pending_;
    }
    work_.notify_one();
  }
  // What is done is committed; the walk waits while it is too far ahead.
  for (;;) {
    std::uint64_t seen = 0;
    {
      std::lock_guard lock(mutex_);
      seen = events_;
    }
    while (!entries_.empty() && CommitHead(false)) {
    }
    if (!TooFarAhead()) return;
    std::unique_lock lock(mutex_);
    const RunEntry& head = *entries_.front();
    wakeAt_ = jobs_;
    progress_.wait_for(lock, kStopPoll, [&] {
      return events_ != seen && (pending_ <= wakeAt_ || head.done || !head.handed.empty());
    });
    wakeAt_ = 0;
    lock.unlock();
    run_.CheckInterrupted();
  }
}

bool DocumentQueue::TooFarAhead() {
  if (entries_.size() >= maxEntries_) return true;
  std::lock_guard lock(mutex_);
  return pending_ >= kTakenUpPerJob * jobs_;
}

void DocumentQueue::Finish() {
  while (!entries_.empty()) CommitHead(true);
}

bool DocumentQueue::CommitHead(bool wait) {
  RunEntry& head = *entries_.front();
  if (head.IsDocument() && !head.announced) {
    head.announced = true;
    run_.FrontEnd().FileStarted(head.document);
  }
  if (head.inWorker && !AwaitHead(head, wait)) return false;
  if (head.MayRetry()) ConvertAlone(head);
  if (!head.Complete()) ThrowEnding(head);
  const std::unique_ptr<RunEntry> entry = std::move(entries_.front());
  entries_.pop_front();
  try {
    run_.CommitEntry(*entry);
  } catch (...) {
    // The log failed: a document it does not name is not left behind.
    run_.DropOutput(*entry);
    throw;
  }
  return true;
}

bool DocumentQueue::AwaitHead(RunEntry& head, bool wait) {
  std::unique_lock lock(mutex_);
  if (!head.atHead) {
    head.atHead = true;
    handover_.notify_all();
  }
  for (;;) {
    if (!head.handed.empty()) {
      std::vector<Problem> batch;
      batch.swap(head.handed);
      lock.unlock();
      handover_.notify_all();
      run_.CommitProblems(head, batch);
      lock.lock();
      continue;
    }
    if (head.done) return true;
    if (!wait) return false;
    progress_.wait_for(lock, kStopPoll);
    lock.unlock();
    run_.CheckInterrupted();
    lock.lock();
  }
}

void DocumentQueue::ThrowEnding(const RunEntry& entry) {
  if (entry.outcome == DocumentOutcome::Failed) throw RunFailure(entry.failure, entry.failurePath);
  std::lock_guard lock(mutex_);
  if (failure_) throw *failure_;
  throw RunInterrupted();
}

void DocumentQueue::CheckStop() {
  run_.CheckInterrupted();
  std::lock_guard lock(mutex_);
  if (failure_) throw *failure_;
}

bool DocumentQueue::BeginAgain(RunEntry& entry) {
  entry.problems.clear();
  entry.details.clear();
  entry.outOfMemory = false;
  if (!entry.input->Rewind() || !entry.output->Restart()) {
    entry.outcome = DocumentOutcome::Abandoned;
    entry.problems.push_back(
        {CategoryNumber(Category::OmittedFile), "Conversion abandoned: Out of memory"});
    return false;
  }
  entry.outcome = DocumentOutcome::Converted;
  return true;
}

// The document is converted again on the walk's thread while the workers take no new document
// and those converting are done, or give up a document that waits for its turn and begin it
// again later, so that it has the memory it would have had in a run of one document at a time.
// The problems committed before memory ran out are met again first, and not committed twice.
void DocumentQueue::ConvertAlone(RunEntry& entry) {
  struct Pause {
    DocumentQueue& queue;
    explicit Pause(DocumentQueue& q) : queue(q) {
      std::unique_lock lock(queue.mutex_);
      queue.paused_ = true;
      queue.yielding_ = true;
      queue.handover_.notify_all();
      queue.progress_.wait(lock, [this] { return queue.converting_ == 0; });
    }
    ~Pause() {
      {
        std::lock_guard lock(queue.mutex_);
        queue.paused_ = false;
        queue.yielding_ = false;
      }
      queue.work_.notify_all();
    }
  } pause(*this);
  entry.inWorker = false;
  const std::vector<Problem> first = std::move(entry.problems);
  if (!BeginAgain(entry)) {
    entry.problems = first;  // abandoned as it was
    return;
  }
  entry.problemsToSkip = entry.problemsCommitted;
  InlineControl control(run_);
  ConvertFile(entry, options_, control, locateProblems_);
  if (!entry.KeepsOutput() && !entry.problems.empty() &&
      entry.problemsToSkip >= entry.problems.size()) {
    // Abandoned again before the problems committed were all met again: the reason is committed
    // after them.
    entry.problems.erase(entry.problems.begin(), entry.problems.end() - 1);
    entry.problemsToSkip = 0;
  }
}

std::optional<RunFailure> DocumentQueue::Abort(bool interrupted) {
  if (interrupted) {
    StopAll();
  } else {
    // A failure of the walk comes after every document taken up.
    std::lock_guard lock(mutex_);
    if (failedAt_ > added_) failedAt_ = added_;
  }
  std::optional<RunFailure> ending;
  // The log names the documents done, in walk order, up to the first that is not.
  bool committing = true;
  while (!entries_.empty()) {
    RunEntry& head = *entries_.front();
    try {
      if (head.inWorker && committing) AwaitHead(head, true);
    } catch (const RunInterrupted&) {
      StopAll();  // an interruption while the documents before a failure are finished
      continue;
    } catch (const std::exception&) {
      committing = false;  // the log failed
      StopAll();
    }
    if (head.inWorker) {
      // A worker may still be converting it, until its next check.
      std::unique_lock lock(mutex_);
      progress_.wait(lock, [&] { return head.done; });
    }
    const std::unique_ptr<RunEntry> entry = std::move(entries_.front());
    entries_.pop_front();
    try {
      if (committing && entry->Complete()) {
        run_.CommitEntry(*entry);
        continue;
      }
      if (committing && entry->IsDocument()) {
        if (entry->outcome == DocumentOutcome::Failed) {
          ending.emplace(entry->failure, entry->failurePath);
        }
        committing = false;
        StopAll();
        run_.CommitUnfinished(*entry);
      }
    } catch (const std::exception&) {
      committing = false;
      StopAll();
    }
    run_.DropOutput(*entry);
  }
  return ending;
}

}  // namespace pomvex
