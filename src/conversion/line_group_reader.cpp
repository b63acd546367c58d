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
}  // namespace

namespace {
// The kind of a line whose form feed is known, by the command the line starts with.
inline LineKind KindOf(std::string_view line, bool pageEnd) {
  const char code = line.size() >= 2 && line[0] == kBackslash ? line[1] : '\0';
  LineKind k;
  k.subscript = code == '-';
  k.superscript = code == '+';
  k.equals = code == '=';
  k.main = !k.subscript && !k.superscript && !k.equals;
  k.pageEnd = pageEnd;
  return k;
}
}  // namespace

LineKind ClassifyLine(std::string_view line) {
  return KindOf(line, line.find(kFormFeed) != std::string_view::npos);
}

void ReadLineGroup(Reporter& report, TextInput& in, LineGroup& group, bool& linePending) {
  group.mainIndex = -1;
  // The kinds of the line classified last, and whether it ends the group.
  bool prevSuper = true, prevSub = false, prevMain = false;
  bool stop = false;
  bool pageEnd = false;  // the line classified last holds a form feed
  if (linePending) {
    group.lastIndex = 0;
    const std::string& ahead = group.Lines[0];
    const LineKind k =
        group.aheadHoldsFormFeed ? KindOf(ahead, *group.aheadHoldsFormFeed) : ClassifyLine(ahead);
    prevSuper = k.superscript;
    prevSub = k.subscript;
    prevMain = k.main;
    stop = k.equals || k.pageEnd;
    pageEnd = k.pageEnd;
    if (k.subscript) {
      if (report.Locating()) report.Mark({.slot = 0});
      report.ReportError(Category::SubscriptWithoutMain, kSubscriptWithoutMain);
    }
    if (k.main) group.mainIndex = 0;
  } else {
    group.lastIndex = -1;
  }
  linePending = false;
  group.aheadHoldsFormFeed.reset();
  int n = group.lastIndex;
  if (!in.AtEnd() && !stop) {
    bool complete = false;
    while (!complete) {
      ++n;
      if (n >= LineGroup::kSlots) throw ConversionAbandoned(kRangeCheckError);
      ReleaseLongBuffer(group.Lines[n]);
      const LineRead read = in.ReadLine(group.Lines[n]);
      const LineKind k = KindOf(group.Lines[n], read.formFeed);
      linePending = (k.superscript && (prevSub || prevMain)) || (k.main && (prevMain || prevSub));
      complete = in.AtEnd() || k.equals || k.pageEnd || linePending;
      pageEnd = k.pageEnd;
      if (linePending) group.aheadHoldsFormFeed = read.formFeed;
      if (prevSuper && k.subscript) {
        if (report.Locating()) report.Mark({.slot = n});
        report.ReportError(Category::SubscriptWithoutMain, kSubscriptWithoutMain);
      }
      prevSuper = k.superscript;
      prevSub = k.subscript;
      prevMain = k.main;
      if (k.main && !linePending && group.mainIndex == -1) group.mainIndex = n;
    }
  }
  group.lastIndex = linePending ? n - 1 : n;
  // A line with a form feed ends its group: a line read ahead follows none.
  group.endsInPageEnd = !linePending && pageEnd;
  for (int slot = n + 1; slot <= group.highestRead; ++slot) ReleaseLongBuffer(group.Lines[slot]);
  group.highestRead = std::max(n, 0);
}

}  // namespace pomvex
