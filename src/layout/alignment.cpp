// Centring and right alignment: the "\^" marks, with the hard spaces that belong to them, give
// way to "\qc " or "\qr " at the start of the line. Then hard spaces that follow an ordinary
// space are dropped, except in a line's leading indentation.
#include "layout/alignment.h"

#include <algorithm>
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

// Removes from line[from..], from being a boundary, the hard spaces that follow an ordinary
// space: a space followed by any number of hard spaces becomes that one space. A run of hard
// spaces that follows a word (padding that lines text up) stays. The line is compacted in place.
void CollapseFrom(std::string& line, std::size_t from) {
  char* data = line.data();
  std::size_t kept = from;  // line[from..kept) is what stays of the part looked at
  auto keep = [&](std::size_t begin, std::size_t length) {
    if (kept != begin) std::memmove(data + kept, data + begin, length);
    kept += length;
  };
  bool afterSpace = false;
  CommandWalk command(line, from);
  while (command.Next()) {
    const std::string_view text = command.TextBefore();
    if (!text.empty()) {
      afterSpace = text.back() == ' ';
      keep(command.At() - text.size(), text.size());
    }
    if (afterSpace && command.Char() == ' ') continue;
    keep(command.At(), 2);
    afterSpace = false;
  }
  keep(line.size() - command.Rest().size(), command.Rest().size());
  line.resize(kept);
}

// "\qc" or "\qr" written by the alignment steps.
bool HasAlignmentWord(std::string_view line) {
  const std::size_t n = line.size();
  for (std::size_t i = FindCommand(line, 'q'); i != kNoIndex && i + 2 < n;
       i = FindCommand(line, 'q', i + 2)) {
    if (line[i + 2] == 'c' || line[i + 2] == 'r') return true;
  }
  return false;
}

bool IsLower(char c) {
  return c >= 'a' && c <= 'z';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

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

void ConvertRightAlignment(std::string& line) {
  const std::vector<CaretMark> marks = FindCaretMarks(line);
  if (marks.size() != 1) return;
  // The mark goes with the hard spaces and then the spaces after it.
  const std::size_t start = marks.front().pos;
  std::size_t end = start + 2 + 2 * marks.front().hardAfter;
  while (end < line.size() && line[end] == ' ') ++end;
  line.erase(start, end - start);
  line.insert(0, "\\qr ");
}

void CollapseHardSpaces(std::string& line, bool startsParagraph) {
  if (HasAlignmentWord(line)) return;  // centred and right-aligned lines keep their hard spaces
  if (startsParagraph) {
    CollapseHardSpacesAfterIndent(line);
    return;
  }
  CollapseFrom(line, 0);
}

void CollapseHardSpacesAfterIndent(std::string& line) {
  // The indentation: spaces, hard spaces and commands up to the first visible character. The
  // words written for the line's first font ("\f7\fs48 ", "\b ") belong to it, digits and all.
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
    if (c != ' ' && OneColumnCommands.Contains(c)) break;
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
  CollapseFrom(line, i);
}

}  // namespace pomvex
