// Where a report may be written: it replaces only an earlier report of its own kind, or takes a
// name that nothing has yet and that none of the run's documents, RTF files or logs can have, so
// that a report never replaces what a run reads or writes. Decided before the run begins.
#pragma once

#include <string>

namespace pomvex::report {

enum class ReportKind { Page, JsonLines };

// What a run reads and writes, as far as a report's path is concerned.
struct RunPlaces {
  std::string startDir;   // the start directory
  std::string outputDir;  // the output folder; "" when the RTF files go beside the documents
  bool recursive = false;  // the folders below the start directory are converted too
};

enum class ReportPlace {
  New,              // nothing has the name, and no file of the run can take it
  EarlierReport,    // an earlier report of the same kind, which it replaces
  TooLong,          // longer than the system allows
  Folder,           // a folder, or a path that ends in a separator
  InStartDirectory, // under the start directory, which an output folder keeps unchanged
  Document,         // a document of the run, or a name one could have
  Output,           // an RTF file or log of the run, or a name one could take
  OtherFile,        // something else already there
};

// Where path (absolute) stands for a report of kind in the run.
ReportPlace PlaceOfReport(ReportKind kind, const std::string& path, const RunPlaces& run);
// True when the file at path is a report of kind that this program wrote: a page that begins
// as its pages do and carries its marker, or JSON lines that begin with an entry or the summary
// and end with the summary.
bool IsEarlierReport(ReportKind kind, const std::string& path);

// The marker in the head of every page.
inline constexpr const char* kPageMarker = "<meta name=\"generator\" content=\"Pomvex\">";

}  // namespace pomvex::report
