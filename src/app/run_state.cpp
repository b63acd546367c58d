#include "app/run_state.h"

#include <algorithm>

#include "app/folder_listing.h"
#include "app/run_observer.h"

namespace pomvex {

const std::array<const char*, kCategoryCount + 1> CategoryNames = {
    "",
    "line terminated by '\\'",
    "unknown ChiWriter command",
    "unknown characters",
    "characters in an unknown font",
    "unprocessed superscript or subscript lines",
    "being unable to add sub- or super-scripts",
    "subscript line with no main line",
    "new font declarations which will not be processed",
    "unexpected end of File",
    "problems inserting footnotes",
    "unprocessed tabbing or centering",
    "line processing issue",
    "ChiWriter files which are not Version 3",
    "unprocessed headers/footers",
    "omitted files",
};

namespace {

void WriteCountLine(RunState& run, int count, const std::string& text) {
  if (count != 0) run.WriteLog("    " + std::to_string(count) + text);
}

}  // namespace

void RunState::CommitProblems(RunEntry& entry, std::vector<Problem>& batch) {
  if (!entry.headingWritten) {
    if (!entry.heading.empty()) WriteLog(entry.heading);
    entry.headingWritten = true;
    for (RunObserver* observer : Observers) observer->EntryBegins(entry);
  }
  if (entry.problemsToSkip > 0) {
    const std::size_t skipped = std::min(entry.problemsToSkip, batch.size());
    batch.erase(batch.begin(), batch.begin() + static_cast<std::ptrdiff_t>(skipped));
    entry.problemsToSkip -= skipped;
  }
  entry.problemsCommitted += batch.size();
  if (!batch.empty()) {
    for (RunObserver* observer : Observers) observer->ProblemsCommitted(entry, batch);
  }
  for (const Problem& problem : batch) {
    const int category = problem.category;
    if (category == 0) {
      WriteLog("    Warning: " + PrintableText(problem.text));
      ++WarningCount;
    } else {
      if (category < 1 || category > kCategoryCount) throw RunFailure(kRangeCheckError);
      constexpr int kScriptLines = CategoryNumber(Category::UnprocessedScriptLine);
      constexpr int kScriptRuns = CategoryNumber(Category::ScriptNotAdded);
      // The script-line problems are logged only in a detailed log; they are counted always.
      if (DetailedLog || (category != kScriptLines && category != kScriptRuns)) {
        WriteLog("    Error: " + PrintableText(problem.text));
      }
      ++ErrorCount;
      ++CategoryCounts[category];
      ++entry.errors;
      entry.scriptLines += category == kScriptLines;
      entry.scriptRuns += category == kScriptRuns;
    }
    frontEnd_.CountsChanged(Counts());
  }
  batch.clear();
}

// The RTF file of a document converted (or not of version 3) takes its name, in walk order;
// one that no name the system takes fits is dropped, and the document with it.
void RunState::NameOutput(RunEntry& entry) {
  try {
    entry.output->Name();
    entry.output->Close();
  } catch (const NameFailure& failure) {
    DropOutput(entry);
    entry.outcome = DocumentOutcome::Abandoned;
    entry.problems.push_back({CategoryNumber(Category::OmittedFile),
                              std::string("Cannot create file: ") + failure.what() + ": " +
                                  PrintableName(failure.Path())});
  }
}

void RunState::CommitEntry(RunEntry& entry) {
  if (entry.IsDocument() && entry.output && entry.KeepsOutput()) NameOutput(entry);
  const bool hadProblems = !entry.handed.empty() || !entry.problems.empty();
  CommitProblems(entry, entry.handed);
  CommitProblems(entry, entry.problems);
  if (!entry.IsDocument()) {
    if (hadProblems) FlushLog();  // a folder that could not be read
    for (RunObserver* observer : Observers) observer->EntryCommitted(entry, true);
    return;
  }
  switch (entry.outcome) {
    case DocumentOutcome::Converted:
      CountConverted();
      break;
    case DocumentOutcome::Abandoned:
    case DocumentOutcome::Unreadable:
      DropOutput(entry);
      break;
    default:
      break;
  }
  // A file that is no version-3 document has nothing more in the log.
  if (entry.outcome != DocumentOutcome::NotVersion3) {
    WriteCountLine(*this, entry.scriptLines, std::string(" instances of ") + CategoryNames[5]);
    WriteCountLine(*this, entry.scriptRuns, std::string(" instances of ") + CategoryNames[6]);
    WriteCountLine(*this, entry.errors, " errors in the conversion");
  }
  // The log names the document before its RTF file is let go. When the log cannot be written,
  // the run ends, and the RTF file waits: it is kept if the log, written once more at the end,
  // names it after all, and deleted if not.
  try {
    FlushLog();
  } catch (...) {
    if (entry.output) unlogged_.push_back(std::move(entry.output));
    throw;
  }
  for (RunObserver* observer : Observers) observer->EntryCommitted(entry, true);
  entry.input.reset();
  entry.output.reset();
  ++FilesDone;
}

void RunState::CommitUnfinished(RunEntry& entry) {
  CommitProblems(entry, entry.handed);
  CommitProblems(entry, entry.problems);
  DropOutput(entry);
  for (RunObserver* observer : Observers) observer->EntryCommitted(entry, false);
}

void RunState::DropOutput(RunEntry& entry) {
  entry.input.reset();
  if (!entry.output) return;
  entry.output->Discard();
  // The folders made for it go too, so that the output tree holds only folders with RTF files.
  Outputs.Emptied(entry.output->Folder());
  entry.output.reset();
}

void RunState::ResetCounts(bool detailedLog) {
  CategoryCounts.fill(0);
  ErrorCount = WarningCount = ConvertedCount = FilesDone = 0;
  UpdateCounts();
  DetailedLog = detailedLog;
}

void RunState::UpdateCounts() {
  frontEnd_.CountsChanged(Counts());
}

void RunState::CountConverted() {
  ++ConvertedCount;
  frontEnd_.CountsChanged(Counts());
}

void RunState::OpenLog(std::unique_ptr<OutputFile> log) {
  log_ = std::move(log);
}

void RunState::WriteLog(const std::string& text) {
  if (log_) log_->WriteLine(text);
}

void RunState::FlushLog() {
  if (log_) log_->Flush();
}

void RunState::CheckInterrupted() {
  if (frontEnd_.Interrupted()) throw RunInterrupted();
}

void RunState::CloseLog() {
  if (log_) log_->Close();
  log_.reset();
  unlogged_.clear();  // the log names them now
}

void RunState::DropUnlogged() {
  for (std::unique_ptr<OutputFile>& output : unlogged_) {
    output->Discard();
    Outputs.Emptied(output->Folder());
  }
  unlogged_.clear();
}

}  // namespace pomvex
