// Tab marks. Their columns are measured on the ChiWriter text before anything else changes it,
// and text aligned on a right or decimal tab is marked; later each mark becomes an RTF tab
// whose stop is kept for the paragraph properties.
#include "layout/tabs.h"

#include <algorithm>

#include "base/char_sets.h"
#include "base/text_util.h"

namespace pomvex {

namespace {

constexpr int kMaxTabs = 60;
constexpr std::int32_t kTwipsPerColumn = 120;
// RTF's default paper width, and the twips per unit of the page margins, in twips.
constexpr std::int32_t kPaperWidth = 12240;
constexpr std::int32_t kTwipsPerMarginUnit = 144;

constexpr std::size_t kNone = std::string::npos;

// Index of the first tab mark ("\[" or "\]") at or after i, which is where a command may
// start; kNone when there is none.
std::size_t NextTabMark(const std::string& line, std::size_t i) {
  return std::min(FindCommand(line, '[', i), FindCommand(line, ']', i));
}

// The stop of a right tab that ends its line far to the right: the right edge of the text area.
std::int32_t MarginStop(const DocumentSettings& settings, std::int32_t col) {
  const std::int32_t edge =
      CheckedAdd(kPaperWidth, CheckedMul(-2 * kTwipsPerMarginUnit, settings.LM));
  return edge > 0 ? edge : CheckedMul(col, kTwipsPerColumn);
}

// Index of the last "\[" or "\R" command of the line; kNone when there is none.
std::size_t LastLeftOrRightMark(const std::string& line) {
  static constexpr CharSet kLeftOrRight{"[R"};
  std::size_t last = kNone;
  for (std::size_t i = FindCommand(line, kLeftOrRight); i != kNone;
       i = FindCommand(line, kLeftOrRight, i + 2)) {
    last = i;
  }
  return last;
}

}  // namespace

// The line is rebuilt in one pass: out holds the finished part, which ends with the last mark
// handled ("\[" or "\X"), and line[i..] the part not yet looked at. Positions below are 1-based
// positions in the line as it stands at that moment, out followed by line[i..].
void FindTabStops(DocumentState& doc, std::string& line) {
  if (NextTabMark(line, 0) == kNone) return;
  doc.TabColumns.fill(0);

  const std::size_t n = line.size();
  std::string out;
  out.reserve(n + 16);
  std::size_t i = 0;
  std::int32_t col = 1;  // the column of line[i]
  int count = 0;
  bool first = true;
  for (;;) {
    // Find the next mark, counting the columns up to it: plain characters and the one-column
    // commands take one, other commands none.
    std::size_t k = kNone;
    std::size_t j = i;
    while (j < n) {
      if (line[j] != '\\') {
        col = CheckedAdd(col, 1);
        j += 1;
      } else if (j + 1 == n) {
        j += 1;  // a lone backslash at the end takes no column
      } else if (line[j + 1] == '[' || line[j + 1] == ']') {
        k = j;
        break;
      } else {
        if (PositionColumnCommands.Contains(line[j + 1])) col = CheckedAdd(col, 1);
        j += 2;
      }
    }
    if (k == kNone) break;

    if (count < kMaxTabs) {
      ++count;
    } else {
      doc.report.ReportWarning("Problem with too many tabs used in line");
    }
    doc.TabColumns[count] = col;

    if (line[k + 1] == '[') {  // a left tab stays as it is
      out.append(line, i, k + 2 - i);
      i = k + 2;
      col = CheckedAdd(col, 1);
      first = false;
      continue;
    }

    // A right or decimal tab: the character after the mark only chooses the alignment and goes.
    const bool decimal = k + 2 < n && line[k + 2] == '.';
    const std::size_t base = out.size();
    auto charAt = [&](std::size_t pos) {
      return pos <= base ? out[pos - 1] : line[i + pos - base - 1];
    };
    const std::size_t p = base + (k - i) + 1;
    // The aligned text starts after the nearest hard space or double space before the mark. It
    // never starts before position 3 (after the line's leading font switch) nor, after an
    // earlier mark, before the end of that mark.
    // A space is the command character of a hard space when an odd run of backslashes stands
    // before it; after an even run (literal backslashes) it is a plain space.
    auto isHardSpace = [&](std::size_t at) {
      std::size_t run = 0;
      while (run + 1 < at && charAt(at - run - 1) == '\\') ++run;
      return run % 2 == 1;
    };
    const std::size_t bound = first ? 2 : base;
    std::size_t s = p - 1;
    while (s > 0 && s >= bound &&
           !(charAt(s) == ' ' && (s == 1 || charAt(s - 1) == ' ' || isHardSpace(s)))) {
      --s;
    }
    if (s < bound) s = bound;
    if (s > p - 1) s = p - 1;  // a mark at the very start: the aligned text is empty
    std::size_t insertAt = s + 1;
    if (first) {
      // Never between a backslash and its command character.
      std::size_t b = 1;
      while (b < insertAt) b += charAt(b) == '\\' ? 2 : 1;
      insertAt = b;
    }
    const std::size_t before = insertAt - base - 1;  // characters of line[i..k) before the marker
    out.append(line, i, before);
    out += decimal ? "\\D" : "\\R";
    out.append(line, i + before, k - i - before);
    out += "\\X";  // where the mark stood; one column, as the deleted character was
    // The character after the mark goes with it, unless a command starts there: a backslash is
    // no alignment character, and taking it away would pair its partner with the next text. A
    // lone backslash at the end of the line starts no command and goes like any character.
    i = k + 2 < n && (line[k + 2] != '\\' || k + 3 == n) ? k + 3 : k + 2;
    col = CheckedAdd(col, 1);
    first = false;
  }
  out.append(line, i);
  line = std::move(out);
}

// One pass: out is the line as rewritten so far. Each tab's end mark "\X" is the first one after
// the tab written for it; the marks still owed are removed as they come, oldest first, which
// takes the same ones as removing each at once.
void WriteTabStops(DocumentState& doc, std::string& line, std::string& tabStops) {
  // Without a tab there is no end mark owed either: the line stays as it is.
  if (!HasCommand(line, '[') && !HasCommand(line, 'R') && !HasCommand(line, 'D')) return;
  const std::size_t n = line.size();
  const std::size_t lastLeftOrRight = LastLeftOrRightMark(line);
  std::string out;
  out.reserve(n + 16);
  int count = 0;
  int endMarksOwed = 0;
  std::size_t i = 0;
  while (i < n) {
    if (line[i] != '\\' || i + 1 == n) {
      out += line[i];
      i += 1;
      continue;
    }
    const char c = line[i + 1];
    if (c == 'X' && endMarksOwed > 0) {
      --endMarksOwed;
      i += 2;
      continue;
    }
    if (c != '[' && c != 'R' && c != 'D') {
      out.append(line, i, 2);
      i += 2;
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
      tabStops += "\\tx" + std::to_string(CheckedMul(col, kTwipsPerColumn));
    } else {
      // The line's last right tab (decimal tabs aside), far to the right, stops at the margin.
      const bool lastRight = c == 'R' && (lastLeftOrRight == kNone || lastLeftOrRight <= i);
      const bool nearMargin =
          static_cast<std::int64_t>(col) * 10 > static_cast<std::int64_t>(doc.Settings.RM) * 9;
      const std::int32_t stop = lastRight && nearMargin ? MarginStop(doc.Settings, col)
                                                        : CheckedMul(col, kTwipsPerColumn);
      tabStops += c == 'R' ? "\\tqr" : "\\tqdec";
      tabStops += "\\tx" + std::to_string(stop);
      ++endMarksOwed;
    }
    out += "\\tab ";
    i += 2;
  }
  line = std::move(out);
}

// A space that follows an odd run of backslashes is the command character of a hard space; after
// an even run (literal backslashes) it is a plain space and goes alone.
void TrimTrailingSpaces(std::string& text) {
  while (!text.empty() && text.back() == ' ') {
    std::size_t run = 0;
    for (std::size_t j = text.size() - 1; j > 0 && text[j - 1] == '\\'; --j) ++run;
    text.resize(text.size() - (run % 2 == 1 ? 2 : 1));
  }
}

}  // namespace pomvex
