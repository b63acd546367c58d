// Keeps every script run. Every line of a group shares one grid of columns, so each character
// carries its column with it from line to line: a line two above the main line is merged into the
// superscript line as its superscripts, and the superscript line then into the main line with
// those runs inside its own. A run finds room on blanks of the line it is merged into (hard spaces
// in the main line; spaces too in a script line) or beyond that line's end. Without room it goes
// in front of the character in its first column, replacing nothing, or directly after a run
// already merged over that column (a subscript under a superscript: the limits of a sum).
#include "layout/keep_all_scripts.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/char_sets.h"
#include "base/columns.h"
#include "base/commands.h"
#include "fonts/font_switches.h"

namespace pomvex {

namespace {

constexpr std::string_view kRunEnd = "\\:";
constexpr std::size_t kNone = std::string_view::npos;

// The first and last column taken by a piece of text; both 0 when it takes none.
struct Span {
  std::int32_t first = 0;
  std::int32_t last = 0;
  void Add(std::int32_t c) {
    if (c == 0) return;
    if (first == 0 || c < first) first = c;
    last = std::max(last, c);
  }
  void Add(Span s) {
    Add(s.first);
    Add(s.last);
  }
};

// A run merged into a line: from its marker to the index after its "\:".
struct RunInfo {
  std::size_t begin;
  std::size_t end;
  Span span;
};

// A line with the runs merged into it so far: its text, for every index the column of the
// character or one-column command that starts there (0 for what takes no column), and its runs.
// The runs of a run stand only in the text, so that every merge passes over them at once.
struct ColumnedLine {
  std::string text;
  std::vector<std::int32_t> columns;
  std::vector<RunInfo> runs;
  std::int32_t lastOwn = 0;  // the last column of the line's own text, its runs aside

  std::size_t size() const { return text.size(); }
  void AppendPlain(std::string_view s) {
    text += s;
    columns.resize(text.size(), 0);
  }
  // [begin, end) of from, which cuts no run; with its runs when they stay runs of this line.
  void AppendFrom(const ColumnedLine& from, std::size_t begin, std::size_t end, bool withRuns) {
    if (end <= begin) return;
    const std::size_t shift = text.size();
    text.append(from.text, begin, end - begin);
    columns.insert(columns.end(), from.columns.begin() + static_cast<std::ptrdiff_t>(begin),
                   from.columns.begin() + static_cast<std::ptrdiff_t>(end));
    if (!withRuns) return;
    auto r = std::lower_bound(from.runs.begin(), from.runs.end(), begin,
                              [](const RunInfo& run, std::size_t at) { return run.begin < at; });
    for (; r != from.runs.end() && r->end <= end; ++r) {
      runs.push_back({r->begin - begin + shift, r->end - begin + shift, r->span});
    }
  }
};

// The runs of a line met at indexes that never go down.
class RunWalk {
 public:
  explicit RunWalk(const std::vector<RunInfo>& runs, std::size_t from = 0) : runs_(runs) {
    next_ = static_cast<std::size_t>(
        std::lower_bound(runs.begin(), runs.end(), from,
                         [](const RunInfo& run, std::size_t at) { return run.begin < at; }) -
        runs.begin());
  }
  const RunInfo* StartingAt(std::size_t i) {
    while (next_ < runs_.size() && runs_[next_].begin < i) ++next_;
    return next_ < runs_.size() && runs_[next_].begin == i ? &runs_[next_] : nullptr;
  }

 private:
  const std::vector<RunInfo>& runs_;  // may grow between calls
  std::size_t next_ = 0;
};

Span ColumnsOf(const ColumnedLine& l, std::size_t begin, std::size_t end) {
  Span span;
  RunWalk runs(l.runs, begin);
  for (std::size_t i = begin; i < end;) {
    if (const RunInfo* run = runs.StartingAt(i)) {
      span.Add(run->span);
      i = run->end;
    } else {
      span.Add(l.columns[i++]);
    }
  }
  return span;
}

// Columns as the standard merge locates them: plain characters and the one-column commands
// ("\]" aside) take one each. The main line's own text ends before its trailing spaces (the
// space that joins it to the next line among them): a run over them lies beyond the end.
ColumnedLine Columned(const std::string& line, bool mainLine) {
  ColumnedLine l;
  l.text = line;
  l.columns.assign(line.size(), 0);
  std::int32_t column = 0;
  for (std::size_t i = 0; i < line.size(); i += PieceLength(line, i)) {
    if (!TakesColumn(line, i)) continue;
    l.columns[i] = ++column;
    if (line[i] != ' ' || !mainLine) l.lastOwn = column;
  }
  return l;
}

// The next run of script text at or after index from, as the standard merge finds it, except
// that a run already merged into the line belongs to the segment it stands in (or makes one of
// its own). Indexes never go down.
bool NextSegment(const ColumnedLine& l, RunWalk& runs, std::size_t from, ScriptSegment& segment) {
  return FindScriptSegment(l.text, from, segment, [&runs](std::size_t i) {
    const RunInfo* run = runs.StartingAt(i);
    return run != nullptr ? run->end : kNoIndex;
  });
}

// The font in force before an index, outside the runs, for indexes that never go down; the line
// may grow at its end between calls, a run only once its "\:" is written.
class OuterFont {
 public:
  OuterFont(const ColumnedLine& line, const FontSlotTable& slots)
      : line_(line), runs_(line.runs), slots_(slots) {}
  FontKind Before(std::size_t pos) {
    const std::string& s = line_.text;
    while (next_ < pos) {
      if (const RunInfo* run = runs_.StartingAt(next_)) {
        next_ = run->end;
      } else if (s[next_] != kBackslash) {
        ++next_;
      } else if (next_ + 1 == s.size()) {
        break;  // may pair with what is appended later
      } else {
        if (IsFontSwitchAt(slots_, s, next_)) kind_ = SwitchKindAt(slots_, s, next_);
        next_ += 2;
      }
    }
    return kind_;
  }

 private:
  const ColumnedLine& line_;
  RunWalk runs_;
  const FontSlotTable& slots_;
  std::size_t next_ = 0;
  FontKind kind_ = NONE;
};

// Where a run with its first column at c goes in the line it is merged into: in front of the
// character in that column, after a run already merged over it (stacked), or where the text
// reaches no further than c. Columns never go down from one call to the next.
class RunPlacer {
 public:
  RunPlacer(const ColumnedLine& work, const FontSlotTable& slots)
      : work_(work), runs_(work.runs), slots_(slots) {}

  struct Place {
    std::size_t pos;
    bool stacked;
  };

  Place Locate(std::int32_t c) {
    if (stacked_ && c >= stack_.first && c <= stack_.last) return {cur_, true};
    stacked_ = false;
    const std::string& s = work_.text;
    const std::size_t n = s.size();
    while (cur_ < n) {
      if (const RunInfo* run = runs_.StartingAt(cur_)) {
        if (run->span.first == 0 || run->span.last < c) {
          cur_ = run->end;
          continue;
        }
        if (run->span.first > c) return {cur_, false};
        // Directly after that run and the font switch that restores the line's font after it.
        cur_ = run->end;
        while (IsFontSwitchAt(slots_, s, cur_)) cur_ += 2;
        stacked_ = true;
        stack_ = run->span;
        return {cur_, true};
      }
      const std::int32_t column = work_.columns[cur_];
      if (column != 0 && column >= c) return {cur_, false};
      cur_ += PieceLength(s, cur_);
    }
    return {n, false};
  }

  // The text before pos has been written; the search goes on from there.
  void Passed(std::size_t pos) {
    if (pos > cur_) {
      cur_ = pos;
      stacked_ = false;
    }
  }

 private:
  const ColumnedLine& work_;
  RunWalk runs_;
  const FontSlotTable& slots_;
  std::size_t cur_ = 0;
  bool stacked_ = false;
  Span stack_;
};

// The number of characters of blanks from pos that make room for columns first to last: each
// column up to the line's own end must be a blank in turn (a hard space, and in a script line a
// space too); columns beyond that end are free. kNone when there is no room.
std::size_t RoomAt(const ColumnedLine& work, std::size_t pos, Span run, bool scriptLine) {
  const std::string& s = work.text;
  std::size_t q = pos;
  for (std::int32_t c = run.first; c <= run.last && c <= work.lastOwn; ++c) {
    if (q >= s.size() || work.columns[q] != c) return kNone;
    if (scriptLine && s[q] == ' ') {
      q += 1;
    } else if (IsHardSpaceAt(s, q)) {
      q += 2;
    } else {
      return kNone;
    }
  }
  return q - pos;
}

// The run's own text for the log: the runs merged into it from further out, and the switch
// back to its font after each, are left out.
std::string OwnText(const ColumnedLine& l, std::size_t begin, std::size_t end,
                    const FontSlotTable& slots) {
  std::string own;
  RunWalk runs(l.runs, begin);
  for (std::size_t i = begin; i < end;) {
    if (const RunInfo* run = runs.StartingAt(i)) {
      for (i = run->end; i < end && IsFontSwitchAt(slots, l.text, i);) i += 2;
    } else {
      const std::size_t width = std::min(PieceLength(l.text, i), end - i);
      own.append(l.text, i, width);
      i += width;
    }
  }
  return own;
}

// Spaces in the columns after reached and before column, beyond the end of the line merged into.
void PadToColumn(ColumnedLine& result, std::int32_t reached, std::int32_t column) {
  for (std::int32_t c = reached + 1; c < column; ++c) {
    result.text += ' ';
    result.columns.push_back(c);
  }
}

// Appends the segment of script as a run: its marker, its own font switch (empty when the run
// is in the font before it), its text with the runs merged into it, and its end.
void AppendRun(ColumnedLine& result, std::string_view marker, std::string_view fontSwitch,
               const ColumnedLine& script, ScriptSegment segment, Span span) {
  const std::size_t runBegin = result.size();
  result.AppendPlain(marker);
  result.AppendPlain(fontSwitch);
  result.AppendFrom(script, segment.start, segment.end, false);  // its runs are inside this one
  result.AppendPlain(kRunEnd);
  result.runs.push_back({runBegin, result.size(), span});
}

// Merges the runs of script into work; marker is "\>" or "\<". As in the standard merge, the
// font of the work line is written again before each piece of it that follows a run, and a run
// in another font opens with its own switch.
ColumnedLine MergeRuns(DocumentState& doc, std::string_view marker, const ColumnedLine& script,
                       const ColumnedLine& work, bool intoScriptLine) {
  const FontSlotTable& slots = doc.FontSlots;
  ColumnedLine result;
  result.lastOwn = work.lastOwn;
  result.text.reserve(work.size() + 2 * script.size());
  result.columns.reserve(work.size() + 2 * script.size());
  RunWalk scriptRuns(script.runs);
  RunPlacer placer(work, slots);
  OuterFont workFonts(work, slots);
  OuterFont scriptFonts(script, slots);
  OuterFont resultFonts(result, slots);
  const std::size_t n = work.size();
  const bool workEndsLone = EndsInLoneBackslash(work.text);
  std::int32_t reached = 0;  // the last column written

  std::size_t from = 0;     // where the search for the next segment starts
  std::size_t mainPos = 0;  // the first index of work not yet written
  for (;;) {
    ScriptSegment segment;
    const bool found = NextSegment(script, scriptRuns, from, segment);
    const std::size_t start = segment.start;
    const std::size_t end = segment.end;
    const Span span = found ? ColumnsOf(script, start, end) : Span{};
    if (found && span.first == 0) {
      from = end > start ? end : start + 2;  // no column: nothing to place
      continue;
    }
    const std::size_t copyFrom = mainPos;
    const RunPlacer::Place place = found ? placer.Locate(span.first) : RunPlacer::Place{n, false};
    result.AppendPlain(FontSwitchFor(slots, workFonts.Before(copyFrom)));
    result.AppendFrom(work, copyFrom, place.pos, true);
    if (!found) break;
    reached = std::max(reached, ColumnsOf(work, copyFrom, place.pos).last);
    // After a line that ends in a lone backslash, that backslash is a literal one.
    if (place.pos >= n && copyFrom < n && workEndsLone) result.AppendPlain({&kBackslash, 1});

    const std::size_t room = place.stacked && span.first <= work.lastOwn
                                 ? kNone
                                 : RoomAt(work, place.pos, span, intoScriptLine);
    // Beyond the end the blank columns before the run stay, as spaces: the words of a script
    // line that reaches past the line stay words, and its runs keep their columns.
    if (place.pos >= n) PadToColumn(result, reached, span.first);
    const FontKind scriptKind = scriptFonts.Before(start);
    const FontKind resultKind = resultFonts.Before(result.size());
    AppendRun(result, marker, scriptKind != resultKind ? FontSwitchFor(slots, scriptKind) : "",
              script, {start, end}, span);
    reached = std::max(reached, span.last);
    if (room == kNone) {
      if (doc.report.Locating()) {
        doc.report.Mark(
            {.side = marker[1], .column = span.first, .width = span.last - span.first + 1});
      }
      doc.report.ReportError(Category::ScriptNotAdded,
                             "Sub- or superscript placed at its column without room: " +
                                 OwnText(script, start, end, slots));
    }
    mainPos = place.pos + (room == kNone ? 0 : room);
    placer.Passed(mainPos);
    from = end;
  }
  return result;
}

}  // namespace

namespace {

// Merges lines 0 to aboveEnd - 1 (above, the outermost first) and belowStart to the group's last
// (below) into main.
std::string MergeAround(DocumentState& doc, const LineGroup& group, int aboveEnd, int belowStart,
                        const std::string& main) {
  // Outermost first: each line is merged into the one nearer the main line.
  ColumnedLine above;
  if (aboveEnd >= 1) {
    above = Columned(group.Lines[0], false);
    for (int slot = 1; slot < aboveEnd; ++slot) {
      above = MergeRuns(doc, "\\>", above, Columned(group.Lines[slot], false), true);
    }
  }
  ColumnedLine below;
  if (group.lastIndex >= belowStart) {
    below = Columned(group.Lines[group.lastIndex], false);
    for (int slot = group.lastIndex - 1; slot >= belowStart; --slot) {
      below = MergeRuns(doc, "\\<", below, Columned(group.Lines[slot], false), true);
    }
  }
  ColumnedLine work = Columned(main, true);
  if (aboveEnd >= 1) work = MergeRuns(doc, "\\>", above, work, false);
  if (group.lastIndex >= belowStart) work = MergeRuns(doc, "\\<", below, work, false);
  return std::move(work.text);
}

}  // namespace

std::string MergeAllScriptLines(DocumentState& doc, const LineGroup& group) {
  const int m = group.mainIndex;
  if (m < 0) return {};
  return MergeAround(doc, group, m, m + 1, group.Lines[m]);
}

std::string MergeAllScriptLines(DocumentState& doc, const LineGroup& group, int above) {
  return MergeAround(doc, group, above, above, std::string());
}

}  // namespace pomvex
