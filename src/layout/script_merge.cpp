// Superscript and subscript lines: the per-group font steps that prepare them, the report of
// script lines that cannot be merged, and the merge itself, which places every run of script
// characters at its column in the main line.
#include "layout/script_merge.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/columns.h"
#include "base/commands.h"
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
  const bool formFeed = line.find(kFormFeed) != std::string_view::npos;
  // The codes are looked for at every backslash: a line of codes alone has no literal one.
  for (std::size_t q = NextBackslash(line, 0); q + 1 < line.size();
       q = NextBackslash(line, q + 1)) {
    const std::size_t code = kTwoCharCodes.find(line[q + 1]);
    if (code == std::string_view::npos) continue;
    if (line[q + 1] == '/' && (q + 2 == line.size() || line[q + 2] != kFormFeed)) continue;
    present[code] = true;
  }
  const auto codes = static_cast<std::size_t>(std::count(present, std::end(present), true));
  return line.size() == 2 * codes + (formFeed ? 1 : 0);
}

// The kind of the last font switch before an index, for indexes that never go down; the line
// may grow at its end between calls (the merged text while it is built).
class SwitchTracker {
 public:
  explicit SwitchTracker(const FontSlotTable& slots) : slots_(slots) {}

  FontKind Before(std::string_view line, std::size_t index) {
    // A switch at q needs its slot character at q + 1, inside the line.
    const std::size_t limit = std::min(index, line.empty() ? 0 : line.size() - 1);
    if (limit < next_) {
      next_ = 0;
      kind_ = NONE;
    }
    // The last switch that begins before limit, looked for from limit down: its slot character
    // lies inside the line, and the switches before it no longer count.
    for (std::size_t q = limit; q > next_;) {
      --q;
      if (line[q] == kBackslash && IsFontSwitch(slots_, line[q + 1])) {
        kind_ = SwitchKindAt(slots_, line, q);
        break;
      }
    }
    next_ = std::max(next_, limit);
    return kind_;
  }
  FontKind Last(std::string_view line) { return Before(line, line.size() + 1); }

 private:
  const FontSlotTable& slots_;
  std::size_t next_ = 0;  // the switches that begin before this index are settled
  FontKind kind_ = NONE;
};

// The same for a line that does not change, with few switches (a script line): they are found
// one after the other, sixteen places at a time.
class FixedLineSwitches {
 public:
  FixedLineSwitches(const FontSlotTable& slots, std::string_view line)
      : slots_(slots), line_(line), next_(NextFontSwitch(slots, line, 0)) {}

  FontKind Before(std::size_t index) {
    for (; next_ != kNoIndex && next_ < index; next_ = NextFontSwitch(slots_, line_, next_ + 1))
      kind_ = SwitchKindAt(slots_, line_, next_);
    return kind_;
  }

 private:
  const FontSlotTable& slots_;
  std::string_view line_;
  std::size_t next_;  // the first switch not yet counted
  FontKind kind_ = NONE;
};

}  // namespace

void CheckExtraScriptLines(Reporter& report, const LineGroup& group) {
  for (const UnprocessedLine& line : UnprocessedScriptLines(group)) {
    ReportUnprocessedScriptLine(report, line);
  }
}

std::vector<UnprocessedLine> UnprocessedScriptLines(const LineGroup& group) {
  std::vector<UnprocessedLine> lines;
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    if (slot >= group.mainIndex - 1 && slot <= group.mainIndex + 1) continue;
    if (!HoldsOnlyLineCodes(group.Lines[slot])) lines.push_back({slot, group.Lines[slot]});
  }
  return lines;
}

void ReportUnprocessedScriptLine(Reporter& report, const UnprocessedLine& line) {
  if (report.Locating()) report.Mark({.slot = line.slot, .column = 0});
  report.ReportError(Category::UnprocessedScriptLine,
                     "Unprocessed superscript or subscript line: " + line.text);
}

void CarryFontAcrossLines(const FontSlotTable& slots, LineGroup& group, FontKind& fontCarry) {
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    std::string& line = group.Lines[slot];
    CarryFontInto(slots, line, fontCarry, LastFontKind(slots, NONE, line));
  }
}

void CarryFontInto(const FontSlotTable& slots, std::string& line, FontKind& fontCarry,
                   FontKind lastSwitch) {
  PutCarriedFont(slots, line, fontCarry);
  fontCarry = FontCarriedOn(slots, fontCarry, lastSwitch);
}

void PutCarriedFont(const FontSlotTable& slots, std::string& line, FontKind fontCarry) {
  char prefix[4];
  const std::size_t length = CarriedFontSwitches(slots, fontCarry, prefix).size();
  if (length == 0) return;
  // In front of the line: the line grows by the switches and moves up in its own buffer.
  const std::size_t n = line.size();
  line.append(prefix, length);
  char* data = line.data();
  std::memmove(data + length, data, n);
  data[0] = prefix[0];
  data[1] = prefix[1];
  if (length == 4) {
    data[2] = prefix[2];
    data[3] = prefix[3];
  }
}

FontKind FontOfCarriedSwitches(const FontSlotTable& slots, FontKind fontCarry) {
  // A kind no slot holds is written as the switch to slot "1", whatever that holds. The switches
  // end in a slot character, so they make no switch with the line.
  char prefix[4];
  const std::string_view switches = CarriedFontSwitches(slots, fontCarry, prefix);
  FontKind carried = fontCarry;
  for (std::size_t i = 1; i < switches.size(); i += 2) {
    if (IsFontSwitch(slots, switches[i])) carried = slots[switches[i]];
  }
  return carried;
}

void NormaliseScriptFonts(const FontSlotTable& slots, LineGroup& group) {
  if (group.lastIndex == 0 && group.mainIndex == 0) return;  // the main line alone
  const char standard = SlotCharOf(slots, STANDARD);
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    if (slot == group.mainIndex) continue;
    std::string& line = group.Lines[slot];
    // A switch at the very first character (the carried font) is left as it is.
    for (std::size_t q = NextBackslash(line, 1); q + 1 < line.size();
         q = NextBackslash(line, q + 1)) {
      if (IsFontSwitchAt(slots, line, q) && slots[line[q + 1]] == SMALL) line[q + 1] = standard;
    }
  }
}

void MergeScriptLines(DocumentState& doc, const LineGroup& group, std::string& merged) {
  merged.clear();
  if (group.mainIndex < 0) return;
  const std::string& main = group.Lines[group.mainIndex];
  const bool above = group.mainIndex >= 1;
  const bool below = group.lastIndex > group.mainIndex;
  if (!above && !below) {
    merged = main;
  } else if (!below) {
    MergeScriptLine(doc, "\\>", group.Lines[group.mainIndex - 1], main, merged);
  } else if (!above) {
    MergeScriptLine(doc, "\\<", group.Lines[group.mainIndex + 1], main, merged);
  } else {
    // The main line with its superscripts waits in the spare buffer.
    MergeScriptLine(doc, "\\>", group.Lines[group.mainIndex - 1], main, doc.Spare);
    MergeScriptLine(doc, "\\<", group.Lines[group.mainIndex + 1], doc.Spare, merged);
  }
}

void MergeScriptLine(DocumentState& doc, std::string_view marker, std::string_view script,
                     std::string_view work, std::string& result) {
  const FontSlotTable& slots = doc.FontSlots;
  result.clear();
  // Each run brings its marker, its end and at most two switches.
  result.reserve(work.size() + 4 * script.size());
  // Segments come in script order, so every lookup below moves forward only.
  ColumnCounter scriptColumns(script);
  ColumnLocator workIndexes(work);
  SwitchTracker workFonts(slots);
  FixedLineSwitches scriptFonts(slots, script);
  SwitchTracker resultFonts(slots);
  const bool workEndsLone = EndsInLoneBackslash(work);

  std::size_t from = 0;     // where the search for the next segment starts
  std::size_t mainPos = 0;  // the first index of work not yet copied or replaced
  for (;;) {
    const std::size_t copyFrom = mainPos;
    ScriptSegment found;
    const bool isFound = FindScriptSegment(script, from, found);
    const std::string_view segment =
        isFound ? script.substr(found.start, found.end - found.start) : std::string_view{};
    const std::int32_t width = SegmentWidth(segment);
    if (isFound && width == 0) {
      // A segment of no width ("\[", "\]", "\^", "\X", or zero-width commands alone) has no
      // place in the main line; it is passed over and the merge goes on.
      from = found.end > found.start ? found.end : found.start + 2;
      continue;
    }
    mainPos = isFound ? workIndexes.IndexOf(scriptColumns.ColumnOf(found.start)) : work.size();

    // The main line's font is restored after a run, even when the run did not change it.
    AppendFontSwitch(result, slots, workFonts.Before(work, copyFrom));
    if (mainPos > copyFrom) result.append(work.substr(copyFrom, mainPos - copyFrom));
    if (!isFound) break;
    // A run placed after a main line that ends in a lone backslash must not pair with it: the
    // backslash is written as the literal one it stands for at the end of a line.
    if (mainPos >= work.size() && copyFrom < work.size() && workEndsLone) result += kBackslash;

    if (HasHardSpaceRoom(work, mainPos, width)) {
      // The run's own font switch goes inside the run, so that its group's closing brace ends
      // it and the main line's font is compared with the formatting where the run opened.
      const FontKind scriptKind = scriptFonts.Before(found.start);
      const bool switchFont = scriptKind != resultFonts.Last(result);
      result += marker;
      if (switchFont) AppendFontSwitch(result, slots, scriptKind);
      result += segment;
      result += kRunEnd;
      mainPos += 2 * static_cast<std::size_t>(width);  // past the replaced hard spaces
    } else {
      // The main-line text under the run stays; only the run is dropped.
      if (doc.report.Locating()) {
        doc.report.Mark(
            {.side = marker[1], .column = scriptColumns.ColumnOf(found.start), .width = width});
      }
      doc.report.ReportError(Category::ScriptNotAdded,
                             "Unable to add sub- or superscript: " + std::string(segment));
    }
    from = found.end;
  }
}

bool HasHardSpaceRoom(std::string_view line, std::size_t at, std::int32_t width) {
  // Each hard space takes two characters, so only every second index is looked at; columns
  // beyond the end are free.
  for (std::int32_t k = 0; k < width; ++k, at += 2) {
    if (at >= line.size()) return true;
    if (!IsHardSpaceAt(line, at) && !(at + 1 == line.size() && line[at] == kBackslash))
      return false;
  }
  return true;
}

}  // namespace pomvex
