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

constexpr int kTabBlanks = 6;  // a tab code "\[" is as wide as six blanks

// Scans a line from its start, a backslash and the character after it taken together, and
// keeps what TextFontOfWordAt and BlanksBefore need about the text scanned so far. It can be
// moved on to later positions of a line that grows at its end.
class PrefixScan {
 public:
  explicit PrefixScan(FontKind startKind) : kind_(startKind) {}

  // Takes in the characters before index count. A backslash at count - 1 is not paired with the
  // character after it: it is left for the next call.
  void MoveTo(const FontSlotTable& slots, std::string_view line, std::size_t count) {
    while (done_ < count) {
      const std::size_t command = std::min(NextBackslash(line, done_), count);
      if (command > done_) {
        TakeText(line.substr(done_, command - done_));
        done_ = command;
      } else if (done_ + 1 < count) {
        TakeCommand(slots, line[done_ + 1]);
        done_ += 2;
      } else {
        break;
      }
    }
  }

  FontKind WordKind() const { return inWord_ ? wordKind_ : NONE; }
  // The width of the last run of blanks; the line's length when there was none.
  int LastBlankRun(int lineLength) const { return blankRun_ < 0 ? lineLength : blankRun_; }

 private:
  // Takes in a stretch of text in one font, as its characters one by one would: a space ends
  // a word and adds a blank, any other character closes the run of blanks, a letter in a text
  // font makes a word. Only the last space and letter, and the blanks at the end, tell.
  void TakeText(std::string_view text) {
    // The word: the last space ends it, a letter after that makes one.
    const std::size_t lastSpace = text.rfind(' ');
    const std::size_t afterSpace = lastSpace == kNoIndex ? 0 : lastSpace + 1;
    if (lastSpace != kNoIndex) inWord_ = false;
    if (TextFonts.Contains(kind_)) {
      for (std::size_t i = text.size(); i > afterSpace; --i) {
        if (IsLetter(text[i - 1])) {
          inWord_ = true;
          wordKind_ = kind_;
          break;
        }
      }
    }
    if (lastSpace == kNoIndex) {
      runClosed_ = true;  // text without a space closes the run of blanks
      return;
    }
    // The blanks: the last run of spaces in the text, joined to an open run before it when it
    // begins the text.
    const std::size_t lastOther = text.find_last_not_of(' ');
    if (lastOther == kNoIndex) {
      AddBlank(static_cast<std::int32_t>(text.size()));
      return;
    }
    if (lastOther + 1 < text.size()) {
      runClosed_ = true;
      AddBlank(static_cast<std::int32_t>(text.size() - lastOther - 1));
      return;
    }
    const std::size_t before = text.find_last_not_of(' ', lastSpace);
    const std::size_t spaces = before == kNoIndex ? lastSpace + 1 : lastSpace - before;
    if (before != kNoIndex) runClosed_ = true;
    AddBlank(static_cast<std::int32_t>(spaces));
    runClosed_ = true;
  }

  void TakeCommand(const FontSlotTable& slots, char c) {
    const bool isBreaker = SegmentBreakers.Contains(c);
    const bool isSwitch = IsFontSwitch(slots, c);
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

  void AddBlank(int width) {
    if (runClosed_) {
      runClosed_ = false;
      blankRun_ = 0;
    }
    blankRun_ = CheckedAdd(blankRun_, width);
  }

  std::size_t done_ = 0;  // characters taken in
  FontKind kind_;
  bool inWord_ = false;
  FontKind wordKind_ = NONE;
  bool runClosed_ = true;
  int blankRun_ = -1;  // -1 until the first blank
};

// What lies after given positions of a line, for TextFontAhead and BlanksAfter, worked out from
// the end of the line backwards. Entry j describes a forward scan that starts at position j
// with a backslash there paired with the character after it; it follows from entries j + 1
// and j + 2, so only those are kept while the walk goes on, and only the answers for the
// positions asked about are kept after it.
class SuffixTables {
 public:
  // queries: the positions that can be asked about, in ascending order.
  SuffixTables(const FontSlotTable& slots, std::string_view line, std::vector<int> queries);

  FontKind TextFontAhead(int p) const { return AnswerAt(p).aheadOutside; }
  // When there is no blank after p, the width is the given line length.
  BlanksAhead BlanksAfter(int p, int lineLength) const {
    const Answer& a = AnswerAt(p);
    return {a.firstBlank < 0 ? lineLength : a.firstBlank, a.nextTextSwitch};
  }

 private:
  // In aheadInside: a text-font letter comes first, so the answer is the font in force.
  static constexpr FontKind kFontInForce = static_cast<FontKind>(NONE + 1);

  struct Entry {
    // TextFontAhead's answer from j on while the font in force is outside TextFonts...
    FontKind aheadOutside = NONE;
    // ...and while it is in TextFonts.
    FontKind aheadInside = NONE;
    // Kind of the first switch at or after j whose kind is in TextFonts, every backslash
    // counting as a possible switch.
    FontKind nextTextSwitch = NONE;
    // Width of the blanks from j on, as BlanksAfter counts them once the first blank is found.
    std::int32_t runWidth = 0;
    // Width BlanksAfter gives when its search for the first blank starts at j; -1 for none.
    std::int32_t firstBlank = -1;
  };
  struct Answer {
    FontKind aheadOutside = NONE;
    FontKind nextTextSwitch = NONE;
    std::int32_t firstBlank = -1;
  };

  // The entry of position j from those of j + 1 and j + 2.
  static Entry EntryAt(const FontSlotTable& slots, std::string_view line, int j, const Entry& next,
                       const Entry& after);
  // The forward search from an entry on, after a switch to kind.
  static FontKind AheadAfterSwitch(const Entry& from, FontKind kind) {
    if (!TextFonts.Contains(kind)) return from.aheadOutside;
    return from.aheadInside == kFontInForce ? kind : from.aheadInside;
  }
  const Answer& AnswerAt(int p) const {
    const auto at = std::lower_bound(queries_.begin(), queries_.end(), p);
    return answers_[static_cast<std::size_t>(at - queries_.begin())];
  }

  std::vector<int> queries_;
  std::vector<Answer> answers_;
};

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
    e.aheadOutside = AheadAfterSwitch(after, slots[c]);
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

// The text font to put in front of the inheriting switch at q, or NONE: what lies behind it is
// what the scan has taken in, what lies ahead is scanned or tabulated (once for the line).
FontKind AnchorOf(const FontSlotTable& slots, std::string_view line, std::size_t q,
                  FontKind prevKind, const PrefixScan& behind, std::optional<SuffixTables>& ahead,
                  int changedLength) {
  const int p = static_cast<int>(q) + 1;  // the tables count positions from 1
  const FontKind word = behind.WordKind();
  FontKind textAhead = NONE;
  BlanksAhead after{0, NONE};
  if (word == NONE) {
    if (!ShortTextFontAhead(slots, line, p, textAhead)) {
      if (!ahead) ahead.emplace(slots, line, InheritingSwitchesFrom(slots, line, q));
      textAhead = ahead->TextFontAhead(p);
    }
    if (textAhead == NONE) {
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

void AnchorInheritingFonts(const FontSlotTable& slots, std::string& line) {
  const FontKind first = FirstFontKind(slots, line);
  // A switch at the very start only sets the first font; the search starts after it.
  std::size_t q = NextFontSwitch(slots, line, 1);
  if (q == kNoIndex) return;

  // What lies ahead is tabulated only when a short scan does not tell it, or the blanks after a
  // switch are needed; what lies behind is followed by one forward scan.
  std::optional<SuffixTables> ahead;
  PrefixScan behind(first);
  // From the first insertion on, the changed line is built in out: everything up to the switch
  // being anchored, with the switches inserted so far. The text after it is the same in line
  // and in the changed line. An inserted switch begins with a backslash, like the switch it
  // goes in front of, so what the scan behind has taken in stays true of the changed line.
  std::string out;
  std::size_t copied = 0;  // characters of line already in out
  int inserted = 0;
  FontKind previous = first;
  for (; q != kNoIndex; q = NextFontSwitch(slots, line, q + 1)) {
    const FontKind prevKind = previous;
    const FontKind kind = SwitchKindAt(slots, line, q);
    previous = kind;
    if (!InheritingFonts.Contains(kind)) continue;

    if (inserted == 0) {
      behind.MoveTo(slots, line, q + 1);
    } else {
      out.append(line, copied, q + 2 - copied);
      copied = q + 2;
      behind.MoveTo(slots, out, out.size() - 1);
    }
    const int changedLength = CheckedAdd(Length(line), CheckedMul(2, inserted));
    const FontKind anchor = AnchorOf(slots, line, q, prevKind, behind, ahead, changedLength);
    if (anchor != NONE) {
      if (inserted == 0) {
        out.assign(line, 0, q + 2);
        copied = q + 2;
      }
      out.insert(out.size() - 2, FontSwitchFor(slots, anchor));
      ++inserted;
    }
  }
  if (inserted == 0) return;
  out.append(line, copied);
  line = std::move(out);
}

}  // namespace pomvex
