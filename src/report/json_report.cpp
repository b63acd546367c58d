#include "report/json_report.h"

#include "report/text_forms.h"

namespace pomvex::report {

namespace {

std::string Number(long n) {
  return n == 0 ? "null" : std::to_string(n);
}

}  // namespace

// The problems come before the entry's outcome is known (a document with many problems hands
// them over while it is converted), so they are written first, and the object stays small in
// memory whatever their number.
void JsonReport::Open(const RunEntry& entry) {
  if (open_) return;
  open_ = true;
  firstProblem_ = true;
  file_.Out().Write(entry.IsDocument() ? "{\"path\":" + Json(entry.document)
                                       : "{\"folder\":" + Json(entry.folder));
  file_.Out().Write(",\"problems\":[");
}

void JsonReport::EntryBegins(const RunEntry& entry) {
  if (entry.IsDocument()) Open(entry);
}

void JsonReport::ProblemsCommitted(const RunEntry& entry, const std::vector<Problem>& problems) {
  Open(entry);
  std::string text;
  for (const Problem& problem : problems) {
    tally_.Count(problem);
    text = firstProblem_ ? "{\"kind\":" : ",{\"kind\":";
    firstProblem_ = false;
    text += Json(KindText(problem));
    if (problem.category == 0) {
      text += ",\"category\":null,\"category_name\":null";
    } else {
      text += ",\"category\":" + std::to_string(problem.category) +
              ",\"category_name\":" + Json(CategoryName(problem.category));
    }
    text += ",\"text\":" + Json(problem.text) + ",\"line\":" + Number(problem.line) + "}";
    file_.Out().Write(text);
  }
}

void JsonReport::EntryCommitted(const RunEntry& entry, bool finished) {
  tally_.Count(entry, finished);
  if (!open_) return;
  open_ = false;
  if (!entry.IsDocument()) {
    file_.Out().Write("]}\n");
    return;
  }
  const bool kept = finished && entry.output != nullptr;
  file_.Out().Write("],\"rtf\":" + (kept ? Json(entry.output->Path()) : std::string("null")) +
                    ",\"status\":" + Json(StatusText(entry, finished)) + "}\n");
}

void JsonReport::RunEnded(const RunOutcome& outcome) {
  if (open_) file_.Out().Write("]}\n");  // an entry cut short by a failure of the log
  open_ = false;
  std::string text = "{\"summary\":{\"start_dir\":" + Json(outcome.startDir) +
                     ",\"log\":" + (outcome.logPath.empty() ? "null" : Json(outcome.logPath)) +
                     ",\"documents\":" + std::to_string(tally_.documents) +
                     ",\"converted\":" + std::to_string(tally_.converted) +
                     ",\"errors\":" + std::to_string(tally_.errors) +
                     ",\"warnings\":" + std::to_string(tally_.warnings) + ",\"categories\":[";
  bool first = true;
  for (int category = 1; category <= kCategoryCount; ++category) {
    if (tally_.categories[category] == 0) continue;
    text += first ? "{" : ",{";
    first = false;
    text += "\"category\":" + std::to_string(category) +
            ",\"category_name\":" + Json(CategoryName(category)) +
            ",\"count\":" + std::to_string(tally_.categories[category]) + "}";
  }
  text += "],\"finished\":" + std::string(outcome.finished ? "true" : "false") +
          ",\"ending\":" + (outcome.ending.empty() ? "null" : Json(outcome.ending)) + "}}\n";
  file_.Out().Write(text);
  file_.Finish();
}

}  // namespace pomvex::report
