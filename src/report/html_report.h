// The run as one self-contained HTML page: the run and its problems by category at the top,
// then the documents, those with the most problems first, each with its problems, their lines,
// and its first line groups with problems as ChiWriter laid them out beside what the RTF reads.
//
// Memory stays bounded however many documents the run has: each document's part of the page is
// written, as it is committed, to a second temporary file beside the page, and only where each
// part lies and how many problems its document has are kept. At the end of the run the page is
// put together from those parts in its order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/output_file.h"
#include "app/run_observer.h"
#include "report/pending_file.h"
#include "report/run_tally.h"

namespace pomvex::report {

// The problems a document's table lists, and the messages kept for each detailed group.
inline constexpr int kListedProblems = 500;
inline constexpr std::size_t kGroupMessages = 50;

class HtmlReport : public RunObserver {
 public:
  // Creates the page's temporary files; throws RunFailure when they cannot be.
  explicit HtmlReport(std::string path);
  ~HtmlReport() override;

  void RunStarted(const std::string& startDir) override { startDir_ = startDir; }
  void EntryBegins(const RunEntry& entry) override;
  void ProblemsCommitted(const RunEntry& entry, const std::vector<Problem>& problems) override;
  void EntryCommitted(const RunEntry& entry, bool finished) override;
  void RunEnded(const RunOutcome& outcome) override;

 private:
  struct Part {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
  };
  struct Placed {
    long problems = 0;
    Part row;      // its line in the list of documents
    Part section;  // its section
  };

  Part WritePart(const std::string& text);
  void CopyPart(platform::FileHandle parts, const Part& part);
  std::string Header(const RunOutcome& outcome) const;
  std::string GroupHtml(const GroupDetail& detail, const std::string& id) const;

  PendingFile page_;
  std::unique_ptr<OutputFile> parts_;
  std::uint64_t partsSize_ = 0;
  std::string startDir_;
  RunTally tally_;
  std::vector<Placed> placed_;  // the entries with problems, in walk order
  std::vector<Part> clean_;     // the lines of the documents without problems
  // The entry being committed: its problems' rows, their counts, and the messages of its
  // detailed groups.
  std::string rows_;
  long problems_ = 0;
  long errors_ = 0;
  long groups_ = 0;  // its line groups with problems
  std::vector<std::vector<std::string>> messages_;
};

}  // namespace pomvex::report
