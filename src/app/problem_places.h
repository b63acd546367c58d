// Where the problems of a document are met, for a report that shows each in its document: the
// line of each problem, and, for the first line groups with problems, the group as it was read
// with what each problem flags in it, and the RTF text it gave. Kept only when a report asks
// for it, and bounded however many problems a document has.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/document_state.h"
#include "base/font_kind.h"
#include "base/line_group.h"
#include "base/reporting.h"

namespace pomvex {

// The groups of a document shown with their lines: the first ones with problems, as long as
// what they hold stays within kDetailBytes.
inline constexpr int kDetailedGroups = 50;
inline constexpr std::size_t kDetailBytes = std::size_t{1} << 20;
// A line longer than this is kept up to here; the RTF text likewise.
inline constexpr std::size_t kDetailLineBytes = 4096;
inline constexpr std::size_t kDetailRtfBytes = 8192;
// The flags kept for one group.
inline constexpr std::size_t kDetailFlags = 200;

// A line group with problems, as a report shows it.
struct GroupDetail {
  // What one problem of the group flags; problem is its number within the group (from 0).
  struct Flag {
    ProblemMark mark;
    int problem = 0;
  };

  int group = 0;       // the group's number among the document's groups with problems
  long firstLine = 0;  // the document line where it starts
  // Its lines as they stand in the document (cut at kDetailLineBytes), and their full lengths.
  std::vector<std::string> lines;
  std::vector<std::size_t> lengths;
  int mainIndex = -1;
  FontKind carry = STANDARD;  // the font in force before its first line
  FontSlotTable slots;
  std::string section;    // the marker of the section it belongs to; empty in the body
  bool footnote = false;  // that section is a footnote's text
  std::string rtf;        // the RTF text it gave, footnote texts in place (cut at kDetailRtfBytes)
  bool rtfCut = false;
  std::vector<Flag> flags;

  std::size_t Bytes() const;
};

// Follows a document's conversion for the reporter that records its problems.
class ProblemPlaces {
 public:
  void GroupStarts(long firstLine);
  void GroupRead(const DocumentState& doc, const LineGroup& group, FontKind carry);
  // Gives the detail of the group that ends, when it is to be shown.
  std::optional<GroupDetail> GroupEnds(const DocumentState& doc, std::string_view rtf);
  void AtLine(long line);
  void Mark(const ProblemMark& mark) { mark_ = mark; }
  // The line and group of the problem being recorded; the mark given for it goes to its group.
  void Locate(long& line, int& group);
  // The line where the conversion stands: the first line of the group being converted, or the
  // line concerned outside any group.
  long CurrentLine() const { return inGroup_ ? detail_.firstLine : line_; }

 private:
  bool inGroup_ = false;
  long line_ = 0;
  int groupsWithProblems_ = 0;
  int problemsInGroup_ = 0;
  std::size_t detailBytes_ = 0;  // held by the details given so far
  std::optional<ProblemMark> mark_;
  // The group being converted; its lines are copied when it is read, as the steps change them.
  GroupDetail detail_;
};

}  // namespace pomvex
