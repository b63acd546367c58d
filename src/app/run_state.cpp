#include "app/run_state.h"

#include "app/folder_listing.h"

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

void RunState::ReportError(Category category, const std::string& text) {
  const int number = CategoryNumber(category);
  if (number < 1 || number > kCategoryCount) throw RunFailure(kRangeCheckError);
  // The script-line problems are logged only in a detailed log; they are counted always.
  if (DetailedLog ||
      (category != Category::UnprocessedScriptLine && category != Category::ScriptNotAdded))
    WriteLog("    Error: " + PrintableText(text));
  ++ErrorCount;
  frontEnd_.CountsChanged(Counts());
  ++CategoryCounts[number];
}

void RunState::ReportWarning(const std::string& text) {
  WriteLog("    Warning: " + PrintableText(text));
  ++WarningCount;
  frontEnd_.CountsChanged(Counts());
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
}

}  // namespace pomvex
