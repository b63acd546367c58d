// The columns of a ChiWriter line, as both merges of script lines and the tabs count them.
// Every character that is not part of a command takes one column; a command takes one when its
// command character is one of PositionColumnCommands, none otherwise (font switches, line codes,
// markers); a lone backslash at the end takes none. Where a script segment's width is measured,
// "\]" takes one too (OneColumnCommands). Columns are numbered from 1, indexes from 0.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/char_sets.h"
#include "base/commands.h"

namespace pomvex {

// The length of the piece that begins at index i: a character, a command, or a lone backslash.
inline std::size_t PieceLength(std::string_view line, std::size_t i) {
  return line[i] == kBackslash && i + 1 < line.size() ? 2 : 1;
}

// Whether the piece at i takes a column where columns are located.
inline bool TakesColumn(std::string_view line, std::size_t i) {
  if (line[i] != kBackslash) return true;
  return i + 1 < line.size() && PositionColumnCommands.Contains(line[i + 1]);
}

// A piece of a line as the columns see it.
struct LinePiece {
  std::size_t index;  // where it begins
  char ch;            // the character, or the command's character
  bool command;       // a backslash and the character after it
  bool takesColumn;
};

// The pieces of a line in order: what reads a line piece by piece (the grid of a group, the
// first look for formulas) reads it here.
class PieceWalker {
 public:
  explicit PieceWalker(std::string_view line) : line_(line) {}
  // The next piece; false at the end of the line.
  bool Next(LinePiece& piece) {
    const std::size_t n = line_.size();
    if (i_ >= n) return false;
    const char c = line_[i_];
    if (c != kBackslash || i_ + 1 == n) {
      // A character, or a lone backslash at the end, which takes no column.
      piece = {i_, c, false, c != kBackslash};
      i_ += 1;
    } else {
      const char command = line_[i_ + 1];
      piece = {i_, command, true, PositionColumnCommands.Contains(command)};
      i_ += 2;
    }
    return true;
  }

 private:
  std::string_view line_;
  std::size_t i_ = 0;
};

// The column of the piece at index i, for indexes that never go down (a lower one starts the
// count again); 0 for an index beyond the line.
class ColumnCounter {
 public:
  explicit ColumnCounter(std::string_view line) : line_(line) {}
  std::int32_t ColumnOf(std::size_t index) {
    if (index >= line_.size()) return 0;
    if (index < last_) {
      i_ = 0;
      column_ = 1;
    }
    last_ = index;
    while (i_ < index) {
      if (line_[i_] != kBackslash) {
        // The text up to the next command takes a column a character.
        const std::size_t stop = NextBackslash(line_.substr(0, index), i_);
        column_ += static_cast<std::int32_t>(stop - i_);
        i_ = stop;
        continue;
      }
      if (TakesColumn(line_, i_)) ++column_;
      i_ += PieceLength(line_, i_);
    }
    return column_;
  }

 private:
  std::string_view line_;
  std::size_t last_ = 0;
  std::size_t i_ = 0;        // the count has passed the pieces before i_
  std::int32_t column_ = 1;  // column of the piece at i_
};

// The index of the piece that takes a column, past any pieces of no column before it, for
// columns that never go down (a column not above the last starts the search again); the line's
// length when it has fewer columns. Column 0 is index 0.
class ColumnLocator {
 public:
  explicit ColumnLocator(std::string_view line) : line_(line) {}
  std::size_t IndexOf(std::int32_t col) {
    const std::size_t n = line_.size();
    if (col <= 0) return col == 0 ? 0 : n;
    if (col <= columns_) {
      i_ = 0;
      columns_ = 0;
      stop_ = 0;
    }
    while (i_ < n) {
      if (line_[i_] != kBackslash) {
        // The text up to the next command takes a column a character; in a main line it is
        // mostly a character or two. The command found is kept while the search has not passed
        // it, so that a long text without commands is searched once, not once a column.
        if (stop_ <= i_) stop_ = NextBackslash(line_, i_ + 1);
        const std::size_t stop = stop_;
        const auto wanted = static_cast<std::size_t>(col - 1 - columns_);
        if (stop - i_ > wanted) {
          i_ += wanted;
          columns_ = col - 1;
          return i_;
        }
        columns_ += static_cast<std::int32_t>(stop - i_);
        i_ = stop;
        continue;
      }
      if (i_ + 1 == n) break;  // a lone backslash at the end takes none
      if (PositionColumnCommands.Contains(line_[i_ + 1])) {
        if (columns_ + 1 == col) return i_;
        ++columns_;
      }
      i_ += 2;
    }
    return n;
  }

 private:
  std::string_view line_;
  std::size_t i_ = 0;         // next index to look at
  std::int32_t columns_ = 0;  // columns taken by the pieces before i_
  std::size_t stop_ = 0;      // above i_: the first backslash after i_ (or the line's length)
};

// The number of columns a script segment takes ("\]" among them).
inline std::int32_t SegmentWidth(std::string_view segment) {
  std::int32_t width = 0;
  for (std::size_t i = 0; i < segment.size(); i += PieceLength(segment, i)) {
    if (segment[i] != kBackslash) {
      ++width;
    } else if (i + 1 < segment.size() && OneColumnCommands.Contains(segment[i + 1])) {
      ++width;
    }
  }
  return width;
}

// A script segment: a run of script-line text without spaces, from start to the index after it.
struct ScriptSegment {
  std::size_t start = 0;
  std::size_t end = 0;
};

// The next script segment at or after the boundary from; false when there is none. Spaces, hard
// spaces, a lone backslash at the end and the commands that take no column lie between
// segments; a segment ends at a space, a lone backslash at the end, or a layout command or
// marker (SegmentBreakers, the hard space among them). runEndAt(i) gives the end of a run
// already merged into the line that begins at i (kNoIndex for none): such a run belongs to the
// segment it stands in, or begins one.
template <typename RunEndAt>
bool FindScriptSegment(std::string_view line, std::size_t from, ScriptSegment& segment,
                       RunEndAt runEndAt) {
  const std::size_t n = line.size();
  std::size_t i = from;
  for (;; i += PieceLength(line, i)) {
    if (i >= n) return false;
    if (line[i] == ' ') continue;
    if (line[i] != kBackslash) break;
    if (i + 1 == n) return false;
    if (runEndAt(i) != kNoIndex) break;
    if (line[i + 1] != ' ' && SegmentStartCommands.Contains(line[i + 1])) break;
  }
  segment.start = i;
  while (i < n && line[i] != ' ') {
    if (const std::size_t runEnd = runEndAt(i); runEnd != kNoIndex) {
      i = runEnd;
    } else if (line[i] != kBackslash) {
      ++i;
    } else if (i + 1 == n || SegmentBreakers.Contains(line[i + 1])) {
      break;
    } else {
      i += 2;
    }
  }
  segment.end = i;
  return true;
}

inline bool FindScriptSegment(std::string_view line, std::size_t from, ScriptSegment& segment) {
  return FindScriptSegment(line, from, segment, [](std::size_t) { return kNoIndex; });
}

}  // namespace pomvex
