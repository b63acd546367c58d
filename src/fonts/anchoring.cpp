// Step 3 of the line pipeline. Greek and foreign letters keep the style and size of the word
// they belong to: the word touching them on the left, else the next text-font word before a
// layout command or marker, else the nearer neighbour in blanks. A switch to that word's font
// goes in front of the inheriting switch, and the two make one switch group in step 4.
//
// The whole line is converted in one pass: what lies before a switch is followed by one scan
// that only moves forward, and what lies after it is tabulated once, backwards.
#include "fonts/anchoring.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/char_sets.h"
#include "base/commands.h"
#include "base/text_util.h"
#include "fonts/font_switches.h"

namespace pomvex {

namespace {

constexpr int kTabBlanks = 6;  // a tab code "\\[" is as wide as six blanks
constexpr std::size_t kLongestRun = std::size_t{1} << 20;  // characters of hard spaces

}  // namespace

namespace anchoring {

void PrefixScan::MoveTo(const FontSlotTable& slots, std::string_view line, std::size_t count) {
  while (done_ < count) {
    const std::size_t command = std::min(NextBackslash(line, done_), count);
    if (command > done_) {
      TakeText(line.substr(done_, command - done_));
      done_ = command;
    } else if (done_ + 1 < count && line[done_ + 1] == ' ') {
      // A run of hard spaces is one blank run of their width (taken in parts on a line too
      // long for a width to count).
      std::size_t end = done_ + 2;
      while (end + 1 < count && end - done_ < kLongestRun && IsHardSpaceAt(line, end)) end += 2;
      inWord_ = false;
      AddBlank(static_cast<int>((end - done_) / 2));
      done_ = end;
    } else if (done_ + 1 < count) {
      TakeCommand(slots, line[done_ + 1]);
      done_ += 2;
    } else {
      break;
    }
  }
}

// Takes in a stretch of text in one font, as its characters one by one would: a space ends a
// word and adds a blank, any other character closes the run of blanks, a letter in a text font
// makes a word. Only the last word and the blanks before it, or the blanks at the end, tell: the
// text is looked at from its end.
void PrefixScan::TakeText(std::string_view text) {
  const std::size_t n = text.size();
  std::size_t i = n;
  while (i > 0 && text[i - 1] == ' ') --i;
  if (i < n) {
    // Blanks at the end: the word is over, and the run of blanks is theirs (joined to an open
    // run before them when the text is nothing but blanks).
    inWord_ = false;
    if (i > 0) runClosed_ = true;
    AddBlank(static_cast<std::int32_t>(n - i));
    return;
  }
  // The last word: a letter in it makes a word in a text font.
  std::size_t word = i;
  bool letter = false;
  while (word > 0 && text[word - 1] != ' ') {
    letter = letter || IsLetter(text[word - 1]);
    --word;
  }
  if (word > 0) inWord_ = false;  // a space before it ended the word before
  if (letter && TextFonts.Contains(kind_)) {
    inWord_ = true;
    wordKind_ = kind_;
  }
  if (word > 0) {
    // The blanks before the last word, joined to an open run when they begin the text.
    std::size_t blanks = word - 1;
    while (blanks > 0 && text[blanks - 1] == ' ') --blanks;
    if (blanks > 0) runClosed_ = true;
    AddBlank(static_cast<std::int32_t>(word - blanks));
  }
  runClosed_ = true;  // text that ends in another character closes the run of blanks
}

void PrefixScan::TakeCommand(const FontSlotTable& slots, char c) {
  const bool isBreaker = SegmentBreakers.Contains(c);
  const FontKind switchKind = slots.SwitchKindOf(c);
  const bool isSwitch = switchKind != NONE;
  if (isSwitch && !isBreaker) {  // the most common: a switch changes the font and nothing else
    kind_ = switchKind;
    return;
  }
  // The words: layout commands and markers end a word, a switch changes the font.
  if (isBreaker) {
    inWord_ = false;
  } else if (isSwitch) {
    kind_ = slots[c];
  }
  // The blanks: switches and layout commands leave a run of blanks open, the script markers
  // and every other command close it.
  if (c == ' ') {
    AddBlank(1);
  } else if (c == '[') {
    AddBlank(kTabBlanks);
  } else if (c == ':' || c == '<' || c == '>' || (!isBreaker && !isSwitch)) {
    runClosed_ = true;
  }
}

void PrefixScan::AddBlank(int width) {
  if (runClosed_) {
    runClosed_ = false;
    blankRun_ = 0;
  }
  blankRun_ = CheckedAdd(blankRun_, width);
}

struct SuffixTables::Entry {
  // TextFontAhead's answer from j on while the font in force is outside TextFonts...
  FontKind aheadOutside = NONE;
  // ...and while it is in TextFonts (kFontInForce: a text-font letter comes first, so the answer
  // is the font in force).
  FontKind aheadInside = NONE;
  // Kind of the first switch at or after j whose kind is in TextFonts, every backslash counting
  // as a possible switch.
  FontKind nextTextSwitch = NONE;
  // Width of the blanks from j on, as BlanksAfter counts them once the first blank is found.
  std::int32_t runWidth = 0;
  // Width BlanksAfter gives when its search for the first blank starts at j; -1 for none.
  std::int32_t firstBlank = -1;
};

namespace {

constexpr FontKind kFontInForce = static_cast<FontKind>(NONE + 1);

}  // namespace

const SuffixTables::Answer& SuffixTables::AnswerAt(int p) const {
  const auto at = std::lower_bound(queries_.begin(), queries_.end(), p);
  return answers_[static_cast<std::size_t>(at - queries_.begin())];
}

SuffixTables::SuffixTables(const FontSlotTable& slots, std::string_view line,
                           std::vector<int> queries)
    : queries_(std::move(queries)), answers_(queries_.size()) {
  const int length = Length(line);
  // Entry j = p + 1 answers for p; past the line's end every entry is empty.
  auto entryOf = [length](int p) { return std::clamp(p + 1, 1, length + 1); };
  std::size_t pending = queries_.size();  // queries_[pending..] are answered
  while (pending > 0 && entryOf(queries_[pending - 1]) == length + 1) --pending;
  Entry next;   // entry j + 1
  Entry after;  // entry j + 2
  for (int j = length; j >= 1 && pending > 0; --j) {
    const Entry e = EntryAt(slots, line, j, next, after);
    while (pending > 0 && entryOf(queries_[pending - 1]) == j) {
      answers_[--pending] = {e.aheadOutside, e.nextTextSwitch, e.firstBlank};
    }
    after = next;
    next = e;
  }
}

SuffixTables::Entry SuffixTables::EntryAt(const FontSlotTable& slots, std::string_view line, int j,
                                          const Entry& next, const Entry& after) {
  const auto at = static_cast<std::size_t>(j);
  const int length = Length(line);
  const char ch = line[at - 1];
  const bool paired = ch == kBackslash && j < length;
  const char c = paired ? line[at] : '\0';
  const bool isSwitch = paired && IsFontSwitch(slots, c);
  Entry e;

  e.nextTextSwitch = isSwitch && TextFonts.Contains(slots[c]) ? slots[c] : next.nextTextSwitch;
  if (!paired) {
    if (ch == kBackslash) return e;  // a backslash ending the line: every scan ends here
    e.aheadOutside = next.aheadOutside;
    e.aheadInside = IsLetter(ch) ? kFontInForce : next.aheadInside;
    e.runWidth = ch == ' ' ? CheckedAdd(1, next.runWidth) : 0;
    // A space found first is counted once when found and once more in the run.
    e.firstBlank = ch == ' ' ? CheckedAdd(1, e.runWidth) : next.firstBlank;
    return e;
  }
  if (SegmentBreakers.Contains(c)) {
    e.aheadOutside = NONE;
    e.aheadInside = NONE;
  } else if (isSwitch) {
    // The forward search from the entry after the switch on, in its font.
    const FontKind kind = slots[c];
    if (!TextFonts.Contains(kind)) {
      e.aheadOutside = after.aheadOutside;
    } else {
      e.aheadOutside = after.aheadInside == kFontInForce ? kind : after.aheadInside;
    }
    e.aheadInside = e.aheadOutside;
  } else {
    e.aheadOutside = after.aheadOutside;
    e.aheadInside = after.aheadInside;
  }
  if (c == ' ') {
    e.runWidth = CheckedAdd(1, after.runWidth);
    e.firstBlank = CheckedAdd(1, next.runWidth);
  } else if (c == '[') {
    e.runWidth = CheckedAdd(kTabBlanks, after.runWidth);
    e.firstBlank = CheckedAdd(kTabBlanks, next.runWidth);
  } else {
    e.runWidth = isSwitch ? after.runWidth : 0;
    e.firstBlank = after.firstBlank;
  }
  return e;
}

}  // namespace anchoring

namespace {

using anchoring::PrefixScan;
using anchoring::SuffixTables;

// TextFontAhead by a forward scan of at most kShortScan positions, in the steps the tables take
// backwards: for most switches the answer lies a few characters on. False when the scan ends
// undecided.
constexpr int kShortScan = 64;
bool ShortTextFontAhead(const FontSlotTable& slots, std::string_view line, int p,
                        FontKind& result) {
  const int n = Length(line);
  bool inside = false;   // the font in force is in TextFonts...
  FontKind kind = NONE;  // ...and is this one
  result = NONE;
  for (int j = p + 1, steps = 0; j <= n; ++steps) {
    if (steps == kShortScan) return false;
    const char ch = line[static_cast<std::size_t>(j - 1)];
    if (ch != kBackslash) {
      if (inside && IsLetter(ch)) {
        result = kind;
        return true;
      }
      j += 1;
      continue;
    }
    if (j == n) return true;  // a backslash ending the line: every scan ends here
    const char c = line[static_cast<std::size_t>(j)];
    if (SegmentBreakers.Contains(c)) return true;
    if (IsFontSwitch(slots, c)) {
      kind = slots[c];
      inside = TextFonts.Contains(kind);
    }
    j += 2;
  }
  return true;
}

// The positions (from 1) of the switches to inheriting fonts from index q on.
std::vector<int> InheritingSwitchesFrom(const FontSlotTable& slots, std::string_view line,
                                        std::size_t q) {
  std::vector<int> positions;
  for (std::size_t p = q; p != kNoIndex; p = NextFontSwitch(slots, line, p + 1)) {
    if (InheritingFonts.Contains(SwitchKindAt(slots, line, p)))
      positions.push_back(static_cast<int>(p) + 1);
  }
  return positions;
}

// The text font to put in front of an inheriting switch, or NONE.
FontKind AnchorFor(FontKind word, FontKind ahead, FontKind previous, int blanksBefore,
                   BlanksAhead after) {
  if (word != NONE) return word == previous ? NONE : word;
  if (ahead != NONE) return ahead == previous ? NONE : ahead;
  // Only a following word that is strictly nearer takes the run.
  return after.width < blanksBefore ? after.textFont : NONE;
}

// BlanksAfter by a forward scan of at most kShortScan positions, for the most switches, whose
// answer lies on the rest of a short line. False when the scan ends undecided.
bool ShortBlanksAfter(const FontSlotTable& slots, std::string_view line, int p, int lineLength,
                      BlanksAhead& result) {
  const int n = Length(line);
  const int limit = p + kShortScan;
  // The text font of the first switch after p whose kind is in TextFonts, looked for as far as
  // the limit.
  result.textFont = NONE;
  const std::string_view near = line.substr(0, static_cast<std::size_t>(std::min(n, limit + 1)));
  std::size_t q = NextFontSwitch(slots, near, static_cast<std::size_t>(p));
  while (q != kNoIndex && !TextFonts.Contains(SwitchKindAt(slots, near, q))) {
    q = NextFontSwitch(slots, near, q + 1);
  }
  if (q != kNoIndex) {
    result.textFont = SwitchKindAt(slots, near, q);
  } else if (near.size() < line.size()) {
    return false;
  }
  // The first blank after p, and the blanks that follow it. Positions count from 1.
  auto at = [&line](int i) { return line[static_cast<std::size_t>(i - 1)]; };
  result.width = lineLength;
  int i = p;
  bool found = false;
  while (i < n && !found) {
    if (i >= limit) return false;
    ++i;
    if (at(i) == ' ') {
      found = true;
      result.width = 1;
    } else if (at(i) == kBackslash) {
      if (i < n && at(i + 1) == ' ') found = true, result.width = 1;
      if (i < n && at(i + 1) == '[') found = true, result.width = kTabBlanks;
      ++i;
    }
  }
  while (found && i <= n) {
    if (i >= limit) return false;
    if (at(i) == ' ') {
      result.width = CheckedAdd(result.width, 1);
      i += 1;
    } else if (at(i) == kBackslash && i < n &&
               (at(i + 1) == ' ' || at(i + 1) == '[' || IsFontSwitch(slots, at(i + 1)))) {
      const char c = at(i + 1);
      result.width = CheckedAdd(result.width, c == ' ' ? 1 : c == '[' ? kTabBlanks : 0);
      i += 2;
    } else {
      break;
    }
  }
  return true;
}

// The text font to put in front of the inheriting switch at q, or NONE: what lies behind it is
// what the scan has taken in, what lies ahead is scanned a short way or tabulated (once for the
// line, and then asked).
FontKind AnchorOf(const FontSlotTable& slots, std::string_view line, std::size_t q,
                  FontKind prevKind, const PrefixScan& behind, std::optional<SuffixTables>& ahead,
                  int changedLength) {
  const int p = static_cast<int>(q) + 1;  // the tables count positions from 1
  const FontKind word = behind.WordKind();
  FontKind textAhead = NONE;
  BlanksAhead after{0, NONE};
  if (word == NONE) {
    if (ahead || !ShortTextFontAhead(slots, line, p, textAhead)) {
      if (!ahead) ahead.emplace(slots, line, InheritingSwitchesFrom(slots, line, q));
      textAhead = ahead->TextFontAhead(p);
    }
    if (textAhead == NONE && (ahead || !ShortBlanksAfter(slots, line, p, changedLength, after))) {
      if (!ahead) ahead.emplace(slots, line, InheritingSwitchesFrom(slots, line, q));
      after = ahead->BlanksAfter(p, changedLength);
    }
  }
  return AnchorFor(word, textAhead, prevKind, behind.LastBlankRun(changedLength), after);
}

}  // namespace

// The tables and the short scan count positions from 1: the switch at index q is at q + 1.
FontKind TextFontOfWordAt(const FontSlotTable& slots, std::string_view line, std::size_t q,
                          FontKind startKind) {
  PrefixScan scan(startKind);
  scan.MoveTo(slots, line, std::min(q + 1, line.size()));
  return scan.WordKind();
}

FontKind TextFontAhead(const FontSlotTable& slots, std::string_view line, std::size_t q) {
  const int p = static_cast<int>(q) + 1;
  return SuffixTables(slots, line, {p}).TextFontAhead(p);
}

int BlanksBefore(const FontSlotTable& slots, std::string_view line, std::size_t q) {
  PrefixScan scan(NONE);
  scan.MoveTo(slots, line, std::min(q + 1, line.size()));
  return scan.LastBlankRun(Length(line));
}

BlanksAhead BlanksAfter(const FontSlotTable& slots, std::string_view line, std::size_t q) {
  const int p = static_cast<int>(q) + 1;
  return SuffixTables(slots, line, {p}).BlanksAfter(p, Length(line));
}

FontKind InheritingAnchors::At(std::size_t q, FontKind previous) {
  // The scan behind takes in the line as it now stands: from the first switch put in on, the
  // changed line, in which a switch put in after a backslash pairs that backslash anew.
  if (inserted_ == 0) {
    behind_.MoveTo(slots_, line_, q + 1);
  } else {
    changed_.append(line_, copied_, q + 2 - copied_);
    copied_ = q + 2;
    behind_.MoveTo(slots_, changed_, changed_.size() - 1);
  }
  const int changedLength = CheckedAdd(Length(line_), CheckedMul(2, inserted_));
  const FontKind anchor = AnchorOf(slots_, line_, q, previous, behind_, ahead_, changedLength);
  if (anchor != NONE) {
    if (inserted_ == 0) {
      changed_.assign(line_, 0, q + 2);
      copied_ = q + 2;
    }
    changed_.insert(changed_.size() - 2, FontSwitchFor(slots_, anchor));
    ++inserted_;
  }
  return anchor;
}

void InheritingAnchors::TakeChangedLine(std::string& line) {
  if (inserted_ == 0) return;
  changed_.append(line_, copied_);
  line = std::move(changed_);
}

void AnchorInheritingFonts(const FontSlotTable& slots, std::string& line) {
  const FontKind first = FirstFontKind(slots, line);
  // A switch at the very start only sets the first font; the search starts after it.
  std::size_t q = NextFontSwitch(slots, line, 1);
  if (q == kNoIndex) return;

  InheritingAnchors anchors(slots, line, first);
  FontKind previous = first;
  for (; q != kNoIndex; q = NextFontSwitch(slots, line, q + 1)) {
    const FontKind prevKind = previous;
    const FontKind kind = SwitchKindAt(slots, line, q);
    previous = kind;
    if (InheritingFonts.Contains(kind)) anchors.At(q, prevKind);
  }
  anchors.TakeChangedLine(line);
}

}  // namespace pomvex
