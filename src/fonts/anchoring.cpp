// Step 3 of the line pipeline. Greek and foreign letters keep the style and size of the word
// they belong to: the word touching them on the left, else the next text-font word before a
// layout command or marker, else the nearer neighbour in blanks. A switch to that word's font
// goes in front of the inheriting switch, and the two make one switch group in step 4.
//
// The whole line is converted in one pass: what lies before a switch is followed by one scan
// that only moves forward, and what lies after it is tabulated once, backwards.
#include "fonts/anchoring.h"

#include <algorithm>
#include <vector>

#include "base/char_sets.h"
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

  // Takes in positions up to count. A backslash at position count itself is not paired with
  // the character after it: it is left for the next call.
  void MoveTo(const FontSlotTable& slots, std::string_view line, int count) {
    while (done_ < count) {
      const char ch = line[static_cast<std::size_t>(done_)];
      if (ch != '\\') {
        TakeChar(ch);
        done_ += 1;
      } else if (done_ + 1 < count) {
        TakeCommand(slots, line[static_cast<std::size_t>(done_ + 1)]);
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
  void TakeChar(char ch) {
    if (ch == ' ') {
      inWord_ = false;
      AddBlank(1);
      return;
    }
    runClosed_ = true;
    if (IsLetter(ch) && TextFonts.Contains(kind_)) {
      inWord_ = true;
      wordKind_ = kind_;
    }
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

  int done_ = 0;  // positions taken in
  FontKind kind_;
  bool inWord_ = false;
  FontKind wordKind_ = NONE;
  bool runClosed_ = true;
  int blankRun_ = -1;  // -1 until the first blank
};

// What lies after each position of a line, for TextFontAhead and BlanksAfter, tabulated from
// the end of the line backwards. Entry j describes a forward scan that starts at position j
// with a backslash there paired with the character after it.
class SuffixTables {
 public:
  SuffixTables(const FontSlotTable& slots, std::string_view line);

  FontKind TextFontAhead(int p) const { return aheadOutside_[Index(p + 1)]; }
  // When there is no blank after p, the width is the given line length.
  BlanksAhead BlanksAfter(int p, int lineLength) const {
    const int width = firstBlank_[Index(p + 1)];
    return {width < 0 ? lineLength : width, nextTextSwitch_[Index(p + 1)]};
  }

 private:
  // In aheadInside_: a text-font letter comes first, so the answer is the font in force.
  static constexpr FontKind kFontInForce = static_cast<FontKind>(NONE + 1);

  std::size_t Index(int j) const { return static_cast<std::size_t>(std::clamp(j, 1, length_ + 1)); }
  // The forward search from j on, after a switch to kind.
  FontKind AheadAfterSwitch(int j, FontKind kind) const {
    if (!TextFonts.Contains(kind)) return aheadOutside_[static_cast<std::size_t>(j)];
    const FontKind found = aheadInside_[static_cast<std::size_t>(j)];
    return found == kFontInForce ? kind : found;
  }

  int length_;
  // TextFontAhead's answer from j on while the font in force is outside TextFonts...
  std::vector<FontKind> aheadOutside_;
  // ...and while it is in TextFonts.
  std::vector<FontKind> aheadInside_;
  // Width of the blanks from j on, as BlanksAfter counts them once the first blank is found.
  std::vector<int> runWidth_;
  // Width BlanksAfter gives when its search for the first blank starts at j; -1 for none.
  std::vector<int> firstBlank_;
  // Kind of the first switch at or after j whose kind is in TextFonts, every backslash
  // counting as a possible switch.
  std::vector<FontKind> nextTextSwitch_;
};

SuffixTables::SuffixTables(const FontSlotTable& slots, std::string_view line)
    : length_(Length(line)) {
  const auto size = static_cast<std::size_t>(length_) + 3;
  aheadOutside_.assign(size, NONE);
  aheadInside_.assign(size, NONE);
  runWidth_.assign(size, 0);
  firstBlank_.assign(size, -1);
  nextTextSwitch_.assign(size, NONE);
  for (int j = length_; j >= 1; --j) {
    const auto at = static_cast<std::size_t>(j);
    const char ch = line[at - 1];
    const bool paired = ch == '\\' && j < length_;
    const char c = paired ? line[at] : '\0';
    const bool isSwitch = paired && IsFontSwitch(slots, c);

    nextTextSwitch_[at] =
        isSwitch && TextFonts.Contains(slots[c]) ? slots[c] : nextTextSwitch_[at + 1];
    if (!paired) {
      if (ch == '\\') {  // a backslash ending the line: every scan ends here
        continue;
      }
      aheadOutside_[at] = aheadOutside_[at + 1];
      aheadInside_[at] = IsLetter(ch) ? kFontInForce : aheadInside_[at + 1];
      runWidth_[at] = ch == ' ' ? CheckedAdd(1, runWidth_[at + 1]) : 0;
      // A space found first is counted once when found and once more in the run.
      firstBlank_[at] = ch == ' ' ? CheckedAdd(1, runWidth_[at]) : firstBlank_[at + 1];
      continue;
    }
    if (SegmentBreakers.Contains(c)) {
      aheadOutside_[at] = NONE;
      aheadInside_[at] = NONE;
    } else if (isSwitch) {
      aheadOutside_[at] = AheadAfterSwitch(j + 2, slots[c]);
      aheadInside_[at] = aheadOutside_[at];
    } else {
      aheadOutside_[at] = aheadOutside_[at + 2];
      aheadInside_[at] = aheadInside_[at + 2];
    }
    if (c == ' ') {
      runWidth_[at] = CheckedAdd(1, runWidth_[at + 2]);
      firstBlank_[at] = CheckedAdd(1, runWidth_[at + 1]);
    } else if (c == '[') {
      runWidth_[at] = CheckedAdd(kTabBlanks, runWidth_[at + 2]);
      firstBlank_[at] = CheckedAdd(kTabBlanks, runWidth_[at + 1]);
    } else {
      runWidth_[at] = isSwitch ? runWidth_[at + 2] : 0;
      firstBlank_[at] = firstBlank_[at + 2];
    }
  }
}

// The text font to put in front of an inheriting switch, or NONE.
FontKind AnchorFor(FontKind word, FontKind ahead, FontKind previous, int blanksBefore,
                   BlanksAhead after) {
  if (word != NONE) return word == previous ? NONE : word;
  if (ahead != NONE) return ahead == previous ? NONE : ahead;
  // Only a following word that is strictly nearer takes the run.
  return after.width < blanksBefore ? after.textFont : NONE;
}

}  // namespace

FontKind TextFontOfWordAt(const FontSlotTable& slots, std::string_view line, int p,
                          FontKind startKind) {
  PrefixScan scan(startKind);
  scan.MoveTo(slots, line, std::min(p, Length(line)));
  return scan.WordKind();
}

FontKind TextFontAhead(const FontSlotTable& slots, std::string_view line, int p) {
  return SuffixTables(slots, line).TextFontAhead(p);
}

int BlanksBefore(const FontSlotTable& slots, std::string_view line, int p) {
  PrefixScan scan(NONE);
  scan.MoveTo(slots, line, std::min(p, Length(line)));
  return scan.LastBlankRun(Length(line));
}

BlanksAhead BlanksAfter(const FontSlotTable& slots, std::string_view line, int p) {
  return SuffixTables(slots, line).BlanksAfter(p, Length(line));
}

void AnchorInheritingFonts(const FontSlotTable& slots, std::string& line) {
  const FontKind first = FirstFontKind(slots, line);
  // A switch at position 1 only sets the first font; the search starts after it.
  int q = NextFontSwitch(slots, 1, line);
  if (q == 0) return;

  const SuffixTables ahead(slots, line);
  PrefixScan behind(first);
  // The changed line is built in out: everything up to the switch being anchored, with the
  // switches inserted so far. The text after it is the same in line and in the changed line.
  // An inserted switch begins with a backslash, like the switch it goes in front of, so what
  // the scan behind has taken in stays true of the changed line.
  std::string out;
  int copied = 0;  // characters of line already in out
  int inserted = 0;
  FontKind previous = first;
  for (; q > 0; q = NextFontSwitch(slots, q, line)) {
    const FontKind prevKind = previous;
    const FontKind kind = slots[line[static_cast<std::size_t>(q)]];
    previous = kind;
    if (!InheritingFonts.Contains(kind)) continue;

    out.append(line, static_cast<std::size_t>(copied), static_cast<std::size_t>(q + 1 - copied));
    copied = q + 1;
    const int at = Length(out) - 1;  // the switch's position in the changed line
    const int changedLength = CheckedAdd(Length(line), CheckedMul(2, inserted));
    behind.MoveTo(slots, out, at);
    const FontKind anchor =
        AnchorFor(behind.WordKind(), ahead.TextFontAhead(q), prevKind,
                  behind.LastBlankRun(changedLength), ahead.BlanksAfter(q, changedLength));
    if (anchor != NONE) {
      out.insert(out.size() - 2, FontSwitchFor(slots, anchor));
      ++inserted;
    }
  }
  if (inserted == 0) return;
  out.append(line, static_cast<std::size_t>(copied));
  line = std::move(out);
}

}  // namespace pomvex
