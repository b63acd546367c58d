// Centring and right alignment: the "\^" marks, with the hard spaces that belong to them, give
// way to "\qc " or "\qr " at the start of the line, or a single mark after text to a tab to the
// right margin. Then hard spaces that follow an ordinary
// space are dropped, except in a line's leading indentation.
#include "layout/alignment.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/char_sets.h"
#include "base/commands.h"

namespace pomvex {

namespace {

// A "\^" command and the hard spaces ("\ ") directly before and after it.
struct CaretMark {
  std::size_t pos;
  std::size_t hardBefore;
  std::size_t hardAfter;
};

// The "\^" commands in order, with the hard spaces next to them.
std::vector<CaretMark> FindCaretMarks(std::string_view line) {
  std::vector<CaretMark> marks;
  std::size_t hardRun = 0;  // hard spaces right before the current command
  for (CommandWalk command(line); command.Next();) {
    if (!command.TextBefore().empty()) hardRun = 0;
    if (command.Char() == ' ') {
      ++hardRun;
      continue;
    }
    if (command.Char() == '^') marks.push_back({command.At(), hardRun, 0});
    hardRun = 0;
  }
  for (CaretMark& mark : marks) {
    for (std::size_t j = mark.pos + 2; IsHardSpaceAt(line, j); j += 2) ++mark.hardAfter;
  }
  return marks;
}

// Index of the next " \\ " (a space and a hard space) at or after from; kNoIndex when there is
// none. Spaces are common and hard spaces come in runs, so the three characters are compared
// sixteen places at a time where the processor can; there, a space that follows a backslash
// after another character is passed over: a run of backslashes begins at a boundary, so the
// space is the character of a hard space, as within a run of them.
std::size_t NextSpaceThenHardSpace(std::string_view line, std::size_t from) {
  const std::size_t n = line.size();
  std::size_t i = from;
  auto found = [&line](std::size_t at) {
    return line[at] == ' ' && line[at + 1] == kBackslash && line[at + 2] == ' ';
  };
#if defined(__SSE2__)
  for (; i < 2 && i + 3 <= n; ++i) {  // the bytes before the space are looked at below
    if (found(i)) return i;
  }
  const __m128i spaces = _mm_set1_epi8(' ');
  const __m128i backslashes = _mm_set1_epi8(kBackslash);
  auto load = [&line](std::size_t at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + at));
  };
  for (; i + 18 <= n; i += 16) {
    const __m128i pattern = _mm_and_si128(
        _mm_and_si128(_mm_cmpeq_epi8(load(i), spaces), _mm_cmpeq_epi8(load(i + 1), backslashes)),
        _mm_cmpeq_epi8(load(i + 2), spaces));
    const __m128i commandChar = _mm_andnot_si128(_mm_cmpeq_epi8(load(i - 2), backslashes),
                                                 _mm_cmpeq_epi8(load(i - 1), backslashes));
    const auto bits =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(commandChar, pattern)));
    if (bits != 0) return i + static_cast<std::size_t>(std::countr_zero(bits));
  }
#endif
  for (; i + 3 <= n; ++i) {
    if (found(i)) return i;
  }
  return kNoIndex;
}

// Removes from line[from..], from being a boundary, the hard spaces that follow an ordinary
// space: a space followed by any number of hard spaces becomes that one space. A run of hard
// spaces that follows a word (padding that lines text up) stays. Such a space is found by
// search, " \\ " whose space is text (not the character of a hard space before it), and the line
// is compacted in place.
void CollapseFrom(std::string& line, std::size_t from) {
  char* data = line.data();
  std::size_t read = from;   // line[from..read) has been looked at ...
  std::size_t write = from;  // ... and line[from..write) is what stays of it
  std::size_t space = NextSpaceThenHardSpace(line, from);
  while (space != kNoIndex) {
    const std::size_t end = HardSpaceRunEnd(line, space + 1);  // the hard spaces after the space
    // The space is ordinary unless it is the character of a hard space: its run goes.
    if (!IsCommandCharAt(line, space)) {
      std::memmove(data + write, data + read, space + 1 - read);
      write += space + 1 - read;
      read = end;
    }
    space = NextSpaceThenHardSpace(line, end);
  }
  std::memmove(data + write, data + read, line.size() - read);
  line.resize(write + line.size() - read);
}

bool IsLower(char c) {
  return c >= 'a' && c <= 'z';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

// "\qc" or "\qr" written by the alignment steps.
bool HasAlignmentWord(std::string_view line) {
  const std::size_t n = line.size();
  for (std::size_t i = FindCommand(line, 'q'); i != kNoIndex && i + 2 < n;
       i = FindCommand(line, 'q', i + 2)) {
    if (line[i + 2] == 'c' || line[i + 2] == 'r') return true;
  }
  return false;
}

void ConvertCentring(std::string& line) {
  std::vector<CaretMark> marks = FindCaretMarks(line);
  if (marks.size() < 2) return;
  // Both marks take in the same number of hard spaces: as many as some mark has after it and
  // some mark has before it.
  std::size_t k = 0;
  std::size_t most = 0;
  for (const CaretMark& m : marks) {
    k = std::max(k, m.hardAfter);
    most = std::max(most, m.hardBefore);
  }
  k = std::min(k, most);

  const auto open = std::find_if(marks.begin(), marks.end(),
                                 [k](const CaretMark& m) { return m.hardAfter >= k; });
  line.erase(open->pos, 2 + 2 * k);

  marks = FindCaretMarks(line);
  const auto close = std::find_if(marks.begin(), marks.end(),
                                  [k](const CaretMark& m) { return m.hardBefore >= k; });
  if (close != marks.end()) line.erase(close->pos - 2 * k, 2 + 2 * k);
  line.insert(0, "\\qc ");
}

bool ConvertRightAlignment(std::string& line) {
  const std::vector<CaretMark> marks = FindCaretMarks(line);
  if (marks.size() != 1) return false;
  // The mark goes with the hard spaces and then the spaces after it.
  const std::size_t start = marks.front().pos;
  std::size_t end = start + 2 + 2 * marks.front().hardAfter;
  while (end < line.size() && line[end] == ' ') ++end;
  // Text before the mark stays at the left, and a tab takes the rest to the right margin; a
  // line without such text, or a centred one, is right-aligned as a whole.
  const bool rightPart = !line.starts_with("\\qc ") && IndentEnd(line) < start;
  line.replace(start, end - start, rightPart ? "\\tab " : "");
  if (!rightPart) line.insert(0, "\\qr ");
  return rightPart;
}

void CollapseHardSpaces(std::string& line, bool startsParagraph) {
  if (HasAlignmentWord(line)) return;  // centred and right-aligned lines keep their hard spaces
  if (startsParagraph) {
    CollapseHardSpacesAfterIndent(line);
    return;
  }
  CollapseFrom(line, 0);
}

std::size_t IndentEnd(std::string_view line) {
  // The indentation: spaces, hard spaces and commands up to the first visible character. The
  // words written for the line's first font ("\\f7\\fs48 ", "\\b ") belong to it, digits and all.
  const std::size_t n = line.size();
  std::size_t i = 0;
  while (i < n) {
    if (line[i] == ' ') {
      i += 1;
      continue;
    }
    if (line[i] != kBackslash) break;
    if (i + 1 == n) {
      i += 1;
      continue;
    }
    const char c = line[i + 1];
    if (c == ' ') {
      i = HardSpaceRunEnd(line, i);
      continue;
    }
    if (OneColumnCommands.Contains(c)) break;
    if (IsLower(c)) {
      std::size_t j = i + 1;
      while (j < n && IsLower(line[j])) ++j;
      if (j + 1 < n && line[j] == '-' && IsDigit(line[j + 1])) ++j;
      while (j < n && IsDigit(line[j])) ++j;
      i = j;
      continue;
    }
    i += 2;
  }
  return i;
}

void CollapseHardSpacesAfterIndent(std::string& line) {
  CollapseFrom(line, IndentEnd(line));
}

}  // namespace pomvex
