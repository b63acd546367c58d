// How every step reports the problems it meets, and the two kinds of failure.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "base/font_kind.h"

namespace pomvex {

// The categories of errors, numbered as the log counts them (CategoryNames gives their texts).
enum class Category : int {
  LoneBackslash = 1,             // a line ends in a backslash that pairs with nothing
  UnknownCommand = 2,            // a command ChiWriter does not have
  UnknownCharacter = 3,          // a character a special font cannot show
  UnknownFont = 4,               // a character in a font no table covers
  UnprocessedScriptLine = 5,     // a script line not next to the main line
  ScriptNotAdded = 6,            // a script run without room in the main line
  SubscriptWithoutMain = 7,      // a subscript line with no main line above it
  NewFontDeclaration = 8,        // a font declaration of a family the converter does not know
  UnexpectedEnd = 9,             // the input ends inside the document header
  FootnoteProblem = 10,          // a footnote reference or section with a bad symbol
  UnprocessedTabbing = 11,       // tabbing or centring that was not converted
  LineProcessing = 12,           // a line that could not be processed
  NotVersion3 = 13,              // a file that is no ChiWriter 3 document
  UnprocessedHeaderFooter = 14,  // a header or footer for one particular page
  OmittedFile = 15,              // a document or folder that was not converted
};
inline constexpr int kCategoryCount = 15;

inline constexpr int CategoryNumber(Category category) {
  return static_cast<int>(category);
}

struct DocumentState;
struct LineGroup;

// What a problem flags in the lines of its group, as they were read: a whole line, a run of
// columns, or a command.
struct ProblemMark {
  int slot = -1;        // the group's line; -1: the script line on side's side of the main line
  char side = '\0';     // '>' above the main line, '<' below it (when slot is -1)
  int column = 0;       // the first column flagged (from 1); 0: the whole line
  int width = 1;        // the columns of a flagged run
  char command = '\0';  // a flagged command's character ('\\' for a lone backslash at the end)
};

// Problems in a document are data: they are logged and counted, and the conversion goes on.
class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void ReportError(Category category, const std::string& text) = 0;
  virtual void ReportWarning(const std::string& text) = 0;

  // Where the problems are met, for a report that shows each in its document; the log does not
  // change. The calls below are made only while Locating() is true, so that a run without such
  // a report does none of this work. Document lines are counted from 1, the version line.
  bool Locating() const { return locating_; }
  // The problems reported from now on were met in the line group that starts at firstLine ...
  virtual void GroupStarts(long firstLine) { (void)firstLine; }
  // ... whose lines, as read, are these; carry is the font in force before its first line ...
  virtual void GroupRead(const DocumentState& doc, const LineGroup& group, FontKind carry) {
    (void)doc, (void)group, (void)carry;
  }
  // ... and whose RTF text is rtf (footnote texts may stand as markers in it). Problems after
  // this are met outside any group, until the next one starts.
  virtual void GroupEnds(const DocumentState& doc, std::string_view rtf) { (void)doc, (void)rtf; }
  // The problems reported from now on concern this line, outside any group (0: none).
  virtual void AtLine(long line) { (void)line; }
  // The problem reported next flags this in its group.
  virtual void Mark(const ProblemMark& mark) { (void)mark; }

 protected:
  bool locating_ = false;
};

// A limit met inside one document ("Range check error", "Integer overflow"): the document is
// abandoned, the run goes on with the next file.
class ConversionAbandoned : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kRangeCheckError = "Range check error";
inline constexpr const char* kIntegerOverflow = "Integer overflow";
inline constexpr const char* kOutputTooLarge = "Output too large";

// A failure of the platform (a file that cannot be created or written, a full disk): it ends
// the whole run, since it would repeat for every file. path names the file or folder concerned,
// when there is one.
class RunFailure : public std::runtime_error {
 public:
  explicit RunFailure(const std::string& message, std::string path = {})
      : std::runtime_error(message), path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The user asked the run to stop (an interrupt or a termination signal): the document being
// written is dropped and the run ends with what was done.
class RunInterrupted : public std::runtime_error {
 public:
  RunInterrupted() : std::runtime_error("Run interrupted") {}
};

}  // namespace pomvex
