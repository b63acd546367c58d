// One entry of a run, in walk order: a folder's line, or a document with its section of the log
// and how its conversion went. A document is converted on its own (by a worker, or at once
// when the run has one), and its entry is handed to the one place that commits entries in walk
// order: the log, the counters and the front end are touched there alone.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/input_file.h"
#include "app/output_file.h"
#include "app/problem_places.h"

namespace pomvex {

// A problem met in a document: an error of category 1 to 15, or a warning (category 0). Where
// it was met is known only when a report asks for it (RunRequest::observers).
struct Problem {
  int category = 0;
  std::string text;
  // The document line where its line group starts, or the line it concerns outside any group;
  // 0 for none.
  long line = 0;
  // The number of its line group among the document's groups with problems (from 0); -1 when
  // it was met outside any group.
  int group = -1;
};

enum class DocumentOutcome {
  Converted,
  NotVersion3,  // rejected by the header reader: its RTF file stays empty
  Abandoned,    // over a limit, out of memory, or an internal error: its RTF file is deleted
  Unreadable,   // it could not be opened or read: no RTF file is left
  Stopped,      // the run was stopped while it was converted (or before it began)
  Failed,       // a failure that ends the run met it (a full disk, ...)
};

struct RunEntry {
  // The line the entry opens the log with: a folder's path, or two spaces and a document's name;
  // empty for none.
  std::string heading;
  // The document's full path; empty for a folder's entry.
  std::string document;
  // A folder's entry with problems: the folder's full path.
  std::string folder;
  // The problems not yet committed, in the order they were met.
  std::vector<Problem> problems;
  DocumentOutcome outcome = DocumentOutcome::Converted;
  // What a report shows of the first groups with problems (when a report asks for it).
  std::vector<GroupDetail> details;
  // Abandoned for want of memory.
  bool outOfMemory = false;
  // For Failed: the failure's message and the path it concerns.
  std::string failure;
  std::string failurePath;

  // The document's files, open from when it is taken up until its entry is committed.
  std::unique_ptr<InputFile> input;
  std::unique_ptr<OutputFile> output;
  unsigned permissions = platform::kDefaultPermissions;

  // Between a worker and the committer, under the lock of the queue that holds the entry:
  // problems handed over while the document is still converted, the end of its conversion, and
  // whether its turn has come (only then may its problems be handed over).
  std::vector<Problem> handed;
  std::size_t order = 0;  // the entry's place in walk order
  bool done = false;
  bool atHead = false;
  bool inWorker = false;

  // The committer's own.
  bool announced = false;
  bool headingWritten = false;
  int scriptLines = 0;  // category 5
  int scriptRuns = 0;   // category 6
  int errors = 0;
  std::size_t problemsCommitted = 0;
  // A document converted again meets first the problems its first conversion met, of which these
  // were committed already: they are not committed twice.
  std::size_t problemsToSkip = 0;

  bool IsDocument() const { return !document.empty(); }
  // Its RTF file is kept (and named when the entry is committed): a converted document's, and
  // the empty one of a file that is no version-3 document.
  bool KeepsOutput() const {
    return outcome == DocumentOutcome::Converted || outcome == DocumentOutcome::NotVersion3;
  }
  // Memory ran out while other documents were converted beside it, and may have been taken by
  // them: the document is converted again when its turn comes, alone.
  bool MayRetry() const { return outOfMemory && inWorker; }
  // Done with an outcome that the log can take as it is.
  bool Complete() const {
    return outcome != DocumentOutcome::Stopped && outcome != DocumentOutcome::Failed;
  }
};

}  // namespace pomvex
