// Superscript and subscript lines: the per-group font steps that prepare them, the report of
// script lines that cannot be merged, and the merge itself, which places every run of script
// characters at its column in the main line.
#include "layout/script_merge.h"

#include <algorithm>
#include <cstdint>

#include "base/char_sets.h"
#include "base/text_util.h"
#include "fonts/font_switches.h"

namespace pomvex {

namespace {

constexpr char kFormFeed = '\f';
constexpr std::string_view kRunEnd = "\\:";
// Command characters of the two-character line codes; the soft page break "\/" counts only
// with the form feed after it.
constexpr std::string_view kTwoCharCodes = "-+=,/";

// True when the line is made of line codes alone, each present once: such a line carries no
// text that a merge could lose.
bool HoldsOnlyLineCodes(std::string_view line) {
  bool present[kTwoCharCodes.size()] = {};
  bool formFeed = false;
  const std::size_t n = line.size();
  for (std::size_t q = 0; q < n; ++q) {
    if (line[q] == kFormFeed) formFeed = true;
    if (line[q] != '\\' || q + 1 == n) continue;
    const std::size_t code = kTwoCharCodes.find(line[q + 1]);
    if (code == std::string_view::npos) continue;
    if (line[q + 1] == '/' && (q + 2 == n || line[q + 2] != kFormFeed)) continue;
    present[code] = true;
  }
  const auto codes = static_cast<std::size_t>(std::count(present, std::end(present), true));
  return n == 2 * codes + (formFeed ? 1 : 0);
}

// The kind of the last font switch before a position, for positions that never go down; the
// line may grow at its end between calls (the merged text while it is built).
class SwitchTracker {
 public:
  explicit SwitchTracker(const FontSlotTable& slots) : slots_(slots) {}

  FontKind Before(std::string_view line, int pos) {
    // A switch at q needs its slot character at q + 1, inside the line.
    const int limit = std::min(pos - 1, Length(line) - 1);
    if (limit < next_ - 1) {
      next_ = 1;
      kind_ = NONE;
    }
    for (; next_ <= limit; ++next_) {
      if (line[next_ - 1] == '\\' && IsFontSwitch(slots_, line[next_])) kind_ = slots_[line[next_]];
    }
    return kind_;
  }
  FontKind Last(std::string_view line) { return Before(line, Length(line) + 1); }

 private:
  const FontSlotTable& slots_;
  int next_ = 1;  // first position not yet looked at
  FontKind kind_ = NONE;
};

}  // namespace

void CheckExtraScriptLines(Reporter& report, const LineGroup& group) {
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    if (slot >= group.mainIndex - 1 && slot <= group.mainIndex + 1) continue;
    const std::string& line = group.Lines[slot];
    if (!HoldsOnlyLineCodes(line)) {
      if (report.Locating()) report.Mark({.slot = slot, .column = 0});
      report.ReportError(5, "Unprocessed superscript or subscript line: " + line);
    }
  }
}

void CarryFontAcrossLines(const FontSlotTable& slots, LineGroup& group, FontKind& fontCarry) {
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    std::string& line = group.Lines[slot];
    std::string prefix;
    // FOREIGN and GREEK take their style from the font before them.
    if (InheritingFonts.Contains(fontCarry)) prefix = FontSwitchFor(slots, STANDARD);
    prefix += FontSwitchFor(slots, fontCarry);
    line.insert(0, prefix);
    fontCarry = LastFontKind(slots, fontCarry, line);
  }
}

void NormaliseScriptFonts(const FontSlotTable& slots, LineGroup& group) {
  const char standard = SlotCharOf(slots, STANDARD);
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    if (slot == group.mainIndex) continue;
    std::string& line = group.Lines[slot];
    // A switch at the very first character (the carried font) is left as it is.
    for (std::size_t q = 1; q + 1 < line.size(); ++q) {
      if (line[q] == '\\' && IsFontSwitch(slots, line[q + 1]) && slots[line[q + 1]] == SMALL) {
        line[q + 1] = standard;
      }
    }
  }
}

std::string MergeScriptLines(DocumentState& doc, const LineGroup& group) {
  if (group.mainIndex < 0) return {};
  std::string work = group.Lines[group.mainIndex];
  if (group.mainIndex >= 1)
    work = MergeScriptLine(doc, "\\>", group.Lines[group.mainIndex - 1], work);
  if (group.lastIndex > group.mainIndex) {
    work = MergeScriptLine(doc, "\\<", group.Lines[group.mainIndex + 1], work);
  }
  return work;
}

std::string MergeScriptLine(DocumentState& doc, std::string_view marker, std::string_view script,
                            std::string_view work) {
  const FontSlotTable& slots = doc.FontSlots;
  std::string result;
  // Each run brings its marker, its end and at most two switches.
  result.reserve(work.size() + 4 * script.size());
  // Segments come in script order, so every lookup below moves forward only.
  ColumnCounter scriptColumns(script);
  ColumnLocator workPositions(work);
  SwitchTracker workFonts(slots);
  SwitchTracker scriptFonts(slots);
  SwitchTracker resultFonts(slots);
  const bool workEndsLone = EndsInLoneBackslash(work);

  int searchStart = 1;  // the position after the previous segment
  int mainPos = 1;      // the first position of work not yet copied or replaced
  for (;;) {
    const int copyFrom = mainPos;
    int start = searchStart - 1;
    int end = 0;
    FindScriptSegment(script, start, end);
    const bool found = end > 0;
    const std::string_view segment =
        found ? script.substr(start - 1, end - start) : std::string_view{};
    const int width = SegmentWidth(segment);
    if (found && width == 0) {
      // A segment of no width ("\[", "\]", "\^", "\X", or zero-width commands alone) has no
      // place in the main line; it is passed over and the merge goes on.
      searchStart = end > start ? end : start + 2;
      continue;
    }
    mainPos = found ? workPositions.PositionOf(scriptColumns.ColumnOf(start)) : Length(work) + 1;

    // The main line's font is restored after a run, even when the run did not change it.
    result += FontSwitchFor(slots, workFonts.Before(work, copyFrom));
    if (mainPos > copyFrom) result.append(work.substr(copyFrom - 1, mainPos - copyFrom));
    if (!found) break;
    // A run placed after a main line that ends in a lone backslash must not pair with it: the
    // backslash is written as the literal one it stands for at the end of a line.
    if (mainPos > Length(work) && copyFrom <= Length(work) && workEndsLone) result += '\\';

    if (HasHardSpaceRoom(work, mainPos, width)) {
      // The run's own font switch goes inside the run, so that its group's closing brace ends
      // it and the main line's font is compared with the formatting where the run opened.
      const FontKind scriptKind = scriptFonts.Before(script, start);
      const bool switchFont = scriptKind != resultFonts.Last(result);
      result += marker;
      if (switchFont) result += FontSwitchFor(slots, scriptKind);
      result += segment;
      result += kRunEnd;
      mainPos = CheckedAdd(mainPos, CheckedMul(2, width));  // past the replaced hard spaces
    } else {
      // The main-line text under the run stays; only the run is dropped.
      if (doc.report.Locating()) {
        doc.report.Mark(
            {.side = marker[1], .column = scriptColumns.ColumnOf(start), .width = width});
      }
      doc.report.ReportError(6, "Unable to add sub- or superscript: " + std::string(segment));
    }
    searchStart = end;
  }
  return result;
}

void FindScriptSegment(std::string_view line, int& start, int& end) {
  const int n = Length(line);
  if (start < 0) start = 0;
  ++start;
  bool found = false;
  // Spaces, hard spaces, a trailing lone backslash and zero-width commands lie between
  // segments; a space after a backslash never starts one.
  while (start <= n && !found) {
    const char c = line[start - 1];
    if (c == '\\') {
      if (start < n && line[start] != ' ' && SegmentStartCommands.Contains(line[start])) {
        found = true;
      } else {
        start += 2;
      }
    } else if (c != ' ') {
      found = true;
    } else {
      ++start;
    }
  }
  if (!found) {
    end = 0;
    return;
  }
  end = start;
  while (end <= n) {
    const char c = line[end - 1];
    if (c == ' ') break;
    if (c == '\\') {
      if (end == n || SegmentBreakers.Contains(line[end])) break;
      end += 2;
    } else {
      ++end;
    }
  }
}

int SegmentWidth(std::string_view segment) {
  int width = 0;
  const std::size_t n = segment.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (segment[i] != '\\') {
      ++width;
      continue;
    }
    if (i + 1 == n) break;  // a trailing backslash takes no column
    if (OneColumnCommands.Contains(segment[++i])) ++width;
  }
  return width;
}

int ColumnOfPosition(int pos, std::string_view line) {
  return ColumnCounter(line).ColumnOf(pos);
}

int PositionOfColumn(int col, std::string_view line) {
  return ColumnLocator(line).PositionOf(col);
}

bool HasHardSpaceRoom(std::string_view line, int pos, int width) {
  const std::int64_t n = Length(line);
  if (n < pos) return true;  // the run goes after the end of the line
  if (pos < 1) pos = 1;
  // Each hard space takes two characters, so only every second position is looked at.
  for (std::int64_t p = pos, k = 0; k < width; ++k, p += 2) {
    if (p > n) return true;  // this column and the ones after it lie beyond the end
    if (line[p - 1] != '\\' || (p < n && line[p] != ' ')) return false;
  }
  return true;
}

int ColumnCounter::ColumnOf(int pos) {
  const int n = Length(line_);
  if (pos < 1 || pos > n) return 0;
  if (pos < lastPos_) {
    i_ = 1;
    column_ = 1;
  }
  lastPos_ = pos;
  while (i_ < pos) {
    if (line_[i_ - 1] == '\\') {
      if (i_ < n && PositionColumnCommands.Contains(line_[i_])) ++column_;
      i_ += 2;
    } else {
      ++column_;
      ++i_;
    }
  }
  return column_;
}

int ColumnLocator::PositionOf(int col) {
  const int n = Length(line_);
  if (col <= 0) return col == 0 ? 1 : n + 1;
  if (col <= columns_) {
    i_ = 1;
    columns_ = 0;
  }
  while (i_ <= n) {
    const bool command = line_[i_ - 1] == '\\';
    const bool takesColumn = !command || (i_ < n && PositionColumnCommands.Contains(line_[i_]));
    if (takesColumn) {
      if (columns_ + 1 == col) return i_;
      ++columns_;
    }
    i_ += command ? 2 : 1;
  }
  return n + 1;
}

}  // namespace pomvex
