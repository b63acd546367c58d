#include "conversion/line_group_reader.h"

#include <algorithm>

#include "base/commands.h"
#include "base/reporting.h"

namespace pomvex {

namespace {
constexpr char kFormFeed = '\f';
constexpr const char* kSubscriptWithoutMain = "Subscript line with no main line";

// A slot keeps the buffer of the longest line it held. A long one is given back before the slot
// is read again, and once the groups no longer reach the slot, so that memory follows the group
// being converted rather than every long line met in the file.
constexpr std::size_t kKeptCapacity = 1 << 16;
void ReleaseLongBuffer(std::string& slot) {
  if (slot.capacity() > kKeptCapacity) std::string().swap(slot);
}

// A line's kind as the command it starts with tells it: '+' a superscript line, '-' a subscript
// line, '=' a section end; kMain for a main line.
constexpr char kMain = '\0';
inline char KindCode(std::string_view line) {
  const char code = line.size() >= 2 && line[0] == kBackslash ? line[1] : kMain;
  return code == '+' || code == '-' || code == '=' ? code : kMain;
}

// The kind of a line whose form feed is known.
inline LineKind KindOf(std::string_view line, bool pageEnd) {
  const char code = KindCode(line);
  LineKind k;
  k.subscript = code == '-';
  k.superscript = code == '+';
  k.equals = code == '=';
  k.main = code == kMain;
  k.pageEnd = pageEnd;
  return k;
}

// A subscript line right after a superscript line, or at the start of a group, has no main line.
inline bool LacksMainLine(char previous, char code) {
  return previous == '+' && code == '-';
}
void ReportSubscript(Reporter& report, int slot) {
  if (report.Locating()) report.Mark({.slot = slot});
  report.ReportError(Category::SubscriptWithoutMain, kSubscriptWithoutMain);
}
}  // namespace

LineKind ClassifyLine(std::string_view line) {
  return KindOf(line, line.find(kFormFeed) != std::string_view::npos);
}

void ReadLineGroup(Reporter& report, TextInput& in, LineGroup& group, bool& linePending) {
  group.mainIndex = -1;
  int n = -1;
  char previous = '+';   // the kind of the line read last; a group starts as after a superscript
  bool pageEnd = false;  // the line read last holds a form feed
  bool complete = in.AtEnd();
  if (linePending) {
    n = 0;
    const std::string& ahead = group.Lines[0];
    previous = KindCode(ahead);
    pageEnd = group.aheadHoldsFormFeed ? *group.aheadHoldsFormFeed
                                       : ahead.find(kFormFeed) != std::string::npos;
    complete = complete || previous == '=' || pageEnd;
    if (LacksMainLine('+', previous)) ReportSubscript(report, 0);
    if (previous == kMain) group.mainIndex = 0;
  }
  linePending = false;
  group.aheadHoldsFormFeed.reset();
  while (!complete) {
    ++n;
    if (n >= LineGroup::kSlots) throw ConversionAbandoned(kRangeCheckError);
    ReleaseLongBuffer(group.Lines[n]);
    const LineRead read = in.ReadLine(group.Lines[n]);
    const char code = KindCode(group.Lines[n]);
    pageEnd = read.formFeed;
    // A superscript or main line after a main or subscript line begins the next group: it is
    // read ahead.
    linePending = previous != '+' && (code == '+' || code == kMain);
    if (linePending) group.aheadHoldsFormFeed = read.formFeed;
    if (LacksMainLine(previous, code)) ReportSubscript(report, n);
    if (code == kMain && !linePending && group.mainIndex == -1) group.mainIndex = n;
    previous = code;
    complete = linePending || code == '=' || pageEnd || in.AtEnd();
  }
  group.lastIndex = linePending ? n - 1 : n;
  // A line with a form feed ends its group: a line read ahead follows none.
  group.endsInPageEnd = !linePending && pageEnd;
  for (int slot = n + 1; slot <= group.highestRead; ++slot) ReleaseLongBuffer(group.Lines[slot]);
  group.highestRead = std::max(n, 0);
}

}  // namespace pomvex
