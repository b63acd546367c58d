// The conversion of one taken-up file into its RTF file, recorded in the file's entry.
#pragma once

#include <cstddef>
#include <exception>

#include "app/run_entry.h"
#include "base/document_state.h"
#include "base/text_input.h"
#include "base/text_sink.h"

namespace pomvex {

// What the conversion of a file asks of the run while it goes on.
class ConversionControl {
 public:
  virtual ~ConversionControl() = default;
  // Throws RunInterrupted when the run is to stop.
  virtual void CheckStop() = 0;
  // Takes the problems entry.problems holds, leaving it empty: called whenever they reach
  // kProblemsHeld, so that a document with millions of problems does not hold them all.
  virtual void HandOver(RunEntry& entry) = 0;
};

inline constexpr std::size_t kProblemsHeld = 1000;

// Thrown by HandOver when the run needs the memory the conversion holds (another document is
// converted again alone): the conversion is given up, to be begun again later, and ConvertFile
// lets it through.
class ConversionYielded : public std::exception {};

// Converts the document of entry, whose input is open and whose RTF file is created, and
// records in entry how that went: its problems and its outcome. A failure that ends the run is
// recorded (Failed), not thrown. The RTF file is completed when the document is converted (the
// committer names it); otherwise it is left to the committer, which deletes it. With locateProblems, each problem gets its place
// (Problem::line, Problem::group) and the entry the details of its first groups with problems.
// How the documents of a run are converted: the command line's options.
struct ConversionOptions {
  bool keepAllScripts = false;  // every script run is placed
  bool equations = false;       // two-dimensional mathematics becomes formulas
};

void ConvertFile(RunEntry& entry, const ConversionOptions& options, ConversionControl& control,
                 bool locateProblems = false);

}  // namespace pomvex
