// Tab marks. Their columns are measured on the ChiWriter text before anything else changes it,
// and text aligned on a right or decimal tab is marked; later each mark becomes an RTF tab
// whose stop is kept for the paragraph properties.
#include "layout/tabs.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <utility>

#include "base/char_sets.h"
#include "base/columns.h"
#include "base/commands.h"
#include "base/text_util.h"

namespace pomvex {

namespace {

constexpr int kMaxTabs = 60;
constexpr std::int32_t kTwipsPerColumn = 120;
// RTF's default paper width, and the twips per unit of the page margins, in twips.
constexpr std::int32_t kPaperWidth = 12240;
constexpr std::int32_t kTwipsPerMarginUnit = 144;

// The next tab mark ("\[" or "\]") at or after the boundary i; kNoIndex when there is none.
// col is the column of line[i] on entry and that of the mark on return.
std::size_t NextTabMark(std::string_view line, std::size_t i, std::int32_t& col) {
  const std::size_t n = line.size();
  for (;;) {
    const std::size_t command = NextBackslash(line, i);
    col = CheckedAdd(col, CheckedLength(command - i));  // plain characters take a column each
    if (command + 1 >= n) return kNoIndex;  // none, or a lone backslash, which takes none
    const char c = line[command + 1];
    if (c == '[' || c == ']') return command;
    if (c == ' ') {
      // The hard spaces of a table's columns come in runs, a column each.
      i = HardSpaceRunEnd(line, command);
      col = CheckedAdd(col, CheckedLength((i - command) / 2));
      continue;
    }
    if (TakesColumn(line, command)) col = CheckedAdd(col, 1);
    i = command + 2;
  }
}

// The stop of a right tab that ends its line far to the right: the right edge of the text area.
std::int32_t MarginStop(const DocumentSettings& settings, std::int32_t col) {
  const std::int32_t edge =
      CheckedAdd(kPaperWidth, CheckedMul(-2 * kTwipsPerMarginUnit, settings.LM));
  return edge > 0 ? edge : CheckedMul(col, kTwipsPerColumn);
}

// Index of the last "\[" or "\R" command of the line; kNoIndex when there is none. Each is
// looked for from the end: the last command of its kind.
std::size_t LastLeftOrRightMark(std::string_view line) {
  auto lastCommand = [line](char c) {
    for (std::size_t at = line.rfind(c); at != kNoIndex && at > 0; at = line.rfind(c, at - 1)) {
      if (line[at - 1] == kBackslash && BeginsCommand(line, at - 1)) return at - 1;
    }
    return kNoIndex;
  };
  const std::size_t left = lastCommand('[');
  const std::size_t right = lastCommand('R');
  if (left == kNoIndex) return right;
  if (right == kNoIndex) return left;
  return std::max(left, right);
}

// The start of the pairs of a backslash and a space that end data[..n): sixteen bytes (eight
// pairs) are compared at a time where the processor can.
std::size_t PairsStart(const char* data, std::size_t n) {
#if defined(__SSE2__)
  // A backslash in the low byte and a space in the high one, as memory holds the pair.
  const __m128i pattern = _mm_set1_epi16(static_cast<short>(kBackslash | (' ' << 8)));
  for (; n >= 16; n -= 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + n - 16));
    const auto same = static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, pattern)));
    if (same != 0xFFFF)
      return n - (static_cast<std::size_t>(std::countl_one(same)) & ~std::size_t{1});
  }
#endif
  while (n >= 2 && data[n - 1] == ' ' && data[n - 2] == kBackslash) n -= 2;
  return n;
}

// The words of a tab's stop before its position: the kind of the tab (none for a left one) and
// "\tx", padded to a size that is copied as a whole.
struct StopWords {
  char text[16];
  std::size_t size;
};
constexpr StopWords kLeftStop{"\\tx", 3};
constexpr StopWords kRightStop{"\\tqr\\tx", 7};
constexpr StopWords kDecimalStop{"\\tqdec\\tx", 9};

// Appends the words of a tab's stop and its position in twips, in one piece.
void AppendStop(std::string& stops, const StopWords& words, std::int32_t twips) {
  char word[32];
  std::memcpy(word, words.text, sizeof words.text);
  const char* end = std::to_chars(word + words.size, word + sizeof word, twips).ptr;
  stops.append(word, static_cast<std::size_t>(end - word));
}

}  // namespace

namespace {

// The start of the text aligned on a right or decimal tab whose mark's backslash is line[mark]:
// after the nearest hard space or double space before the mark (single spaces between words
// belong to the text). The text looked at begins at from, where the previous mark ended; the
// first mark's text never starts before the line's leading font switch, nor within a command.
std::size_t AlignedTextStart(std::string_view line, std::size_t from, std::size_t mark,
                             bool first) {
  // The space line[at] is the command character of a hard space when an odd run of backslashes
  // stands before it; after an even run (literal backslashes) it is a plain space.
  auto isHardSpace = [&](std::size_t at) {
    std::size_t run = at;
    while (run > from && line[run - 1] == kBackslash) --run;
    return (at - run) % 2 == 1;
  };
  std::size_t start = first ? std::min<std::size_t>(2, mark) : from;
  for (std::size_t r = mark; r >= from + 2; --r) {
    if (line[r - 1] == ' ' && (line[r - 2] == ' ' || isHardSpace(r - 1))) {
      start = r;
      break;
    }
  }
  if (first) {
    std::size_t b = 0;
    while (b < start) b += line[b] == kBackslash ? 2 : 1;
    start = b;
  }
  return start;
}

}  // namespace

// The line is rebuilt in one pass: out holds the finished part, which ends with the last mark
// handled ("\[" or "\X"), and line[i..] the part not yet looked at.
void FindTabStops(DocumentState& doc, std::string& line) {
  std::int32_t col = 1;  // the column of line[i]
  std::size_t k = NextTabMark(line, 0, col);
  if (k == kNoIndex) return;
  doc.TabColumns.fill(0);

  const std::size_t n = line.size();
  std::string& out = doc.Spare;
  out.clear();
  out.reserve(n + 16);
  std::size_t i = 0;
  int count = 0;
  bool first = true;
  for (; k != kNoIndex; k = NextTabMark(line, i, col)) {
    if (count < kMaxTabs) {
      ++count;
    } else {
      doc.report.ReportWarning("Problem with too many tabs used in line");
    }
    doc.TabColumns[count] = col;

    if (line[k + 1] == '[') {  // a left tab stays as it is
      out.append(line.data() + i, k + 2 - i);
    } else {
      // A right or decimal tab: the character after the mark only chooses the alignment and
      // goes. The aligned text never starts before the line's leading font switch nor, after an
      // earlier mark, before the end of that mark.
      const bool decimal = k + 2 < n && line[k + 2] == '.';
      const std::size_t start = AlignedTextStart(line, i, k, first);
      out.append(line.data() + i, start - i);
      out += decimal ? std::string_view("\\D") : std::string_view("\\R");
      out.append(line.data() + start, k - start);
      out += "\\X";  // where the mark stood; one column, as the deleted character was
    }
    // The character after a right or decimal mark goes with it, unless a command starts there:
    // a backslash is no alignment character, and taking it away would pair its partner with
    // the next text. A lone backslash at the end of the line goes like any character.
    const bool takesNext =
        line[k + 1] == ']' && k + 2 < n && (line[k + 2] != kBackslash || k + 3 == n);
    i = takesNext ? k + 3 : k + 2;
    col = CheckedAdd(col, 1);
    first = false;
  }
  out.append(line, i);
  line = std::move(out);
}

// One pass: out is the line as rewritten so far. Each tab's end mark "\X" is the first one after
// the tab written for it; the marks still owed are removed as they come, oldest first, which
// takes the same ones as removing each at once. The text between the marks is copied whole.
void WriteTabStops(DocumentState& doc, std::string& line, std::string& tabStops) {
  static constexpr CharSet kMarks{"[RDX"};
  std::string& out = doc.Spare;
  out.clear();
  out.reserve(line.size() + 16);
  int count = 0;
  int endMarksOwed = 0;
  std::size_t copied = 0;  // line[..copied) is in out
  // The line's last "\[" or "\R", looked for once, when a right tab near the margin first asks.
  std::size_t lastMark = kNoIndex;
  bool lastMarkFound = false;
  for (std::size_t at = FindCommand(line, kMarks); at != kNoIndex;
       at = FindCommand(line, kMarks, at + 2)) {
    const char c = line[at + 1];
    if (c == 'X' && endMarksOwed == 0) continue;
    out.append(line.data() + copied, at - copied);
    copied = at + 2;
    if (c == 'X') {
      --endMarksOwed;
      continue;
    }

    TrimTrailingSpaces(out);
    if (count < kMaxTabs) {
      ++count;
    } else {
      doc.report.ReportWarning("Problem with too many tabs");
    }
    const std::int32_t col = doc.TabColumns[count];
    if (c == '[') {
      AppendStop(tabStops, kLeftStop, CheckedMul(col, kTwipsPerColumn));
    } else {
      // The line's last right tab (decimal tabs aside), far to the right, stops at the margin.
      const bool nearMargin =
          static_cast<std::int64_t>(col) * 10 > static_cast<std::int64_t>(doc.Settings.RM) * 9;
      if (c == 'R' && nearMargin && !lastMarkFound) {
        lastMark = LastLeftOrRightMark(line);
        lastMarkFound = true;
      }
      const bool lastRight = c == 'R' && nearMargin && lastMark <= at;
      const std::int32_t stop =
          lastRight ? MarginStop(doc.Settings, col) : CheckedMul(col, kTwipsPerColumn);
      AppendStop(tabStops, c == 'R' ? kRightStop : kDecimalStop, stop);
      ++endMarksOwed;
    }
    out += "\\tab ";
  }
  out.append(line, copied);
  line = std::move(out);
}

void AppendMarginStop(const DocumentSettings& settings, std::string& tabStops, bool ruled) {
  static constexpr StopWords kRuledStop{"\\tqr\\tlul\\tx", 12};
  // Where the text area has no width, at the right margin's column.
  AppendStop(tabStops, ruled ? kRuledStop : kRightStop, MarginStop(settings, settings.RM));
}

void TrimTrailingSpaces(std::string& text) {
  const char* data = text.data();
  std::size_t n = text.size();
  while (n > 0 && data[n - 1] == ' ') {
    // The pairs of a backslash and a space that end the text are hard spaces when the first
    // one's backslash begins a command: each later one follows the space of the one before.
    const std::size_t m = PairsStart(data, n);
    if (m == n) {  // a plain space
      --n;
    } else if (BeginsCommand(text, m)) {
      n = m;
    } else {
      // The first backslash ends a literal one ("\\"): the space after it is a plain space, and
      // the text ends in that backslash once the space is gone.
      n = m + 1;
      break;
    }
  }
  text.resize(n);
}

}  // namespace pomvex
