// Line codes: the command check of a freshly read group, the removal of the line-type and
// line-end codes (which become the group's page-break, paragraph-end and equals flags), and the
// space that joins one line of a paragraph to the next.
//
// The check, the removal of stray markers and the removal of the codes each take a line from
// its start, command by command. A group's lines are prepared in one walk that applies the three
// rules to each command in their order (PrepareLine); each step alone is the same rule in a walk
// of its own.
#include "layout/line_codes.h"

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "base/char_sets.h"
#include "base/columns.h"
#include "base/commands.h"
#include "fonts/font_switches.h"

namespace pomvex {

namespace {

constexpr char kFormFeed = '\f';
// The commands that look like the converter's own in-line markers.
constexpr CharSet kStrayMarkers{":<>DELR"};

// The line codes in the order in which they are taken out of a line; kSlash is the "\/" of a
// soft page break, which is a code only together with a form feed after it. A stray marker,
// where the markers go before the codes, is passed over; any other piece is kOther.
enum LineCode {
  kSubscript,
  kSuperscript,
  kParagraphEnd,
  kEquals,
  kSlash,
  kFormFeedCode,
  kStray,
  kOther
};
constexpr int kCodes = kFormFeedCode + 1;

struct Token {
  LineCode code;
  std::size_t length;
};

// The command or character at i. A backslash pairs with the character after it, except with a
// form feed, which stands for itself even there.
Token TokenAt(std::string_view line, std::size_t i, bool strayGone) {
  if (line[i] == kFormFeed) return {kFormFeedCode, 1};
  if (line[i] != kBackslash || i + 1 == line.size() || line[i + 1] == kFormFeed) return {kOther, 1};
  switch (line[i + 1]) {
    case '-':  // subscript line
      return {kSubscript, 2};
    case '+':  // superscript line
      return {kSuperscript, 2};
    case ',':  // paragraph end
      return {kParagraphEnd, 2};
    case '=':  // equals line
      return {kEquals, 2};
    case '/':  // soft page break
      return {kSlash, 2};
    default:
      return {strayGone && kStrayMarkers.Contains(line[i + 1]) ? kStray : kOther, 2};
  }
}

// The index of the form feed that makes the "\/" whose command ends at from a soft page break:
// codes that go before it are passed over, each at most once, and so are stray markers that
// go before the codes; npos when none follows.
std::size_t SoftPageBreakEnd(std::string_view line, std::size_t from, const bool (&removed)[kCodes],
                             bool strayGone) {
  bool passed[kSlash] = {};
  std::size_t j = from;
  while (j < line.size()) {
    const Token next = TokenAt(line, j, strayGone);
    if (next.code == kStray) {
      j += next.length;
      continue;
    }
    if (next.code >= kSlash || removed[next.code] || passed[next.code]) break;
    passed[next.code] = true;
    j += next.length;
  }
  return j < line.size() && line[j] == kFormFeed ? j : std::string_view::npos;
}

// The removal of one line's codes, piece by piece from the start: each code at its first
// occurrence, the soft page break with the form feed it stands before, and the first other form
// feed. The flags of the codes it removes go to controls.
//
// The codes are taken out one after the other, each at its first occurrence. Removing a whole
// command never changes how the commands after it pair up, so one walk finds the same
// occurrences. The one code made of two pieces, the soft page break, can be joined by the
// removal: in "\/\,<FF>" the "\," goes first and leaves "\/<FF>". The walk looks past such
// codes for the form feed.
class CodeStripper {
 public:
  enum FormFeed { kKept, kRemoved, kPageBreak };

  CodeStripper(LineControls& controls, bool strayGone)
      : controls_(controls), strayGone_(strayGone) {}

  // Whether the code token at i of the line as read goes.
  bool RemovesCode(std::string_view line, std::size_t i, LineCode code) {
    switch (code) {
      case kSubscript:
      case kSuperscript:
      case kParagraphEnd:
      case kEquals:
        if (removed_[code]) return false;
        removed_[code] = true;
        if (code == kParagraphEnd) controls_.paragraphEnd = true;
        if (code == kEquals) controls_.equalsSeen = true;
        return true;
      case kSlash:
        if (removed_[kSlash]) return false;
        softFormFeed_ = SoftPageBreakEnd(line, i + 2, removed_, strayGone_);
        if (softFormFeed_ == std::string::npos) return false;
        removed_[kSlash] = true;
        return true;
      default:
        return false;
    }
  }
  // What becomes of the form feed at i: the soft page break's goes, and the first other one
  // goes as the page break.
  FormFeed FormFeedAt(std::size_t i) {
    // The form feed of a soft page break never sets the page break.
    if (i == softFormFeed_) return kRemoved;
    if (removed_[kFormFeedCode]) return kKept;
    removed_[kFormFeedCode] = true;
    controls_.pageBreak = true;
    return kPageBreak;
  }

 private:
  LineControls& controls_;
  bool strayGone_;
  bool removed_[kCodes] = {};
  std::size_t softFormFeed_ = std::string::npos;
};

void ReportUnknownCommand(Reporter& report, char c) {
  report.ReportError(Category::UnknownCommand, std::string("Unknown ChiWriter command '\\") + c +
                                                   "'. The file may be corrupt.");
}

void ReportLoneBackslash(Reporter& report, const std::string& line) {
  report.ReportError(Category::LoneBackslash, "Line terminated by '\\' in: " + line);
}

// The command characters that ask more of the walk that prepares a line than to be kept: the
// unknown ones (the stray markers and a form feed after a backslash among them), the line codes
// and the hyphenation marks.
constexpr CharSet kLineCodeChars{"-+,=/"};
constexpr CharSet kNoticedCommands = KnownCommands.Complement().Union(kLineCodeChars).With("AB");
// The same as a table, for the walk's test of every command.
constexpr std::array<bool, 256> NoticedTable() {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = kNoticedCommands.Contains(static_cast<char>(c));
  return table;
}
constexpr auto kNoticed = NoticedTable();

// What the font-switch scan and the steps of the pipeline ask of a line, followed piece by piece
// as the line is left: the characters of its commands and those after every backslash, and the
// kind of its last font switch.
class KeptCommands {
 public:
  explicit KeptCommands(const FontSlotTable& slots) : slots_(slots) {}

  // Text kept; after a literal backslash its first character is looked at by the switch scan.
  void Text(char first) {
    if (afterLiteral_) AfterLiteral(first);
  }
  void Command(char c) {
    commands_.Insert(c);
    if (const FontKind kind = slots_.SwitchKindOf(c); kind != NONE) lastSwitch_ = kind;
    afterLiteral_ = c == kBackslash;
  }
  void LoneAtEnd() { loneAtEnd_ = true; }
  void Into(LineScan& scan) const {
    scan.kept.commands = commands_;
    scan.kept.afterAnyBackslash = commands_.Union(afterLiterals_);
    scan.kept.loneAtEnd = loneAtEnd_;
    scan.lastSwitch = lastSwitch_;
  }

 private:
  void AfterLiteral(char c) {
    afterLiterals_.Insert(c);
    if (const FontKind kind = slots_.SwitchKindOf(c); kind != NONE) lastSwitch_ = kind;
    afterLiteral_ = false;
  }

  const FontSlotTable& slots_;
  CharSet commands_;
  CharSet afterLiterals_;  // the characters after the second backslash of a literal one
  FontKind lastSwitch_ = NONE;
  bool afterLiteral_ = false;  // the last piece kept is a literal backslash
  bool loneAtEnd_ = false;
};

// The walk that takes a line's codes out, in place, as CodeStripper says. When preparing, each
// command is also checked (reported as CheckCommands does), the stray markers go before the
// codes, and what the later steps ask of the line as left is noted in scan. mayHoldFormFeed is
// false for a line known to hold none; slot is the line's place in its group.
//
// The line is compacted in place: line[..out_) is what stays of line[..i). Each piece of the
// line is taken by the method for its kind, which gives where the walk goes on.
template <bool kPreparing>
class LineWalk {
 public:
  LineWalk(Reporter& report, const FontSlotTable& slots, std::string& line, int slot,
           LineControls& controls)
      : report_(report),
        line_(line),
        data_(line.data()),
        n_(line.size()),
        slot_(slot),
        kept_(slots),
        strip_(controls, /*strayGone=*/kPreparing) {}

  void Run(bool mayHoldFormFeed, LineScan& scan) {
    // The report of a lone backslash at the end quotes the line as read, after the reports of
    // its commands.
    std::string endsLone;
    if (kPreparing && EndsInLoneBackslash(line_)) endsLone = line_;
    // For a report that shows where a reported command stands: its column in the line as read.
    std::string asRead;
    if (kPreparing && report_.Locating()) columns_.emplace(asRead = line_);
    formFeed_ = mayHoldFormFeed ? std::min(line_.find(kFormFeed), n_) : n_;
    for (std::size_t i = 0; i < n_;) {
      if (data_[i] != kBackslash && data_[i] != kFormFeed) {
        i = Text(i);  // and the command or form feed after it
        if (i == n_) break;
      }
      if (data_[i] == kBackslash && i + 1 < n_ &&
          !kNoticed[static_cast<unsigned char>(data_[i + 1])]) {
        i = KnownCommand(i);
      } else if (data_[i] == kFormFeed) {
        i = FormFeed(i);
      } else if (i + 1 == n_) {  // a lone backslash at the end
        Keep(i, 1);
        kept_.LoneAtEnd();
        break;
      } else {
        i = NoticedCommand(i, scan);
      }
    }
    line_.resize(out_);
    if (kPreparing) {
      if (!endsLone.empty()) {
        Mark(n_ - 1, kBackslash);
        ReportLoneBackslash(report_, endsLone);
      }
      kept_.Into(scan);
    }
  }

 private:
  void Keep(std::size_t from, std::size_t length) {
    if (out_ != from) std::memmove(data_ + out_, data_ + from, length);
    out_ += length;
  }
  void Mark(std::size_t at, char command) {
    if (columns_) {
      report_.Mark({.slot = slot_, .column = columns_->ColumnOf(at), .command = command});
    }
  }

  // Text up to the next command or form feed stays.
  std::size_t Text(std::size_t i) {
    if (formFeed_ < i) formFeed_ = std::min(line_.find(kFormFeed, i), n_);
    const std::size_t j = std::min(NextBackslash(line_, i), formFeed_);
    kept_.Text(data_[i]);
    Keep(i, j - i);
    loneBeforeFormFeed_ = false;
    return j;
  }

  // A known command that is no code stays (the common case), and so does a run of hard spaces
  // with it.
  std::size_t KnownCommand(std::size_t i) {
    const std::size_t end = data_[i + 1] == ' ' ? HardSpaceRunEnd(line_, i) : i + 2;
    kept_.Command(data_[i + 1]);
    Keep(i, end - i);
    loneBeforeFormFeed_ = false;
    return end;
  }

  std::size_t FormFeed(std::size_t i) {
    const CodeStripper::FormFeed fate = strip_.FormFeedAt(i);
    if (fate == CodeStripper::kKept) {
      if (loneBeforeFormFeed_) {
        kept_.Command(kFormFeed);  // the backslash before it makes a command of it
      } else {
        kept_.Text(kFormFeed);
      }
      Keep(i, 1);
    } else if (fate == CodeStripper::kPageBreak &&
               EndsInLoneBackslash(std::string_view(data_, out_))) {
      // A backslash right before the form feed pairs with nothing; with the form feed gone it
      // would pair with what follows (a marker, a brace). It is kept as a literal one.
      data_[out_++] = kBackslash;
      kept_.Command(kBackslash);
    }
    loneBeforeFormFeed_ = false;
    return i + 1;
  }

  // An unknown command, a line code, a hyphenation mark, or a backslash before a form feed.
  std::size_t NoticedCommand(std::size_t i, LineScan& scan) {
    const char c = data_[i + 1];
    if (kPreparing) {
      // The command check: one ChiWriter does not have is reported.
      if (!KnownCommands.Contains(c)) {
        scan.unknown = true;
        Mark(i, c);
        ReportUnknownCommand(report_, c);
      }
      if (c == 'A' || c == 'B') scan.hyphenationMarks = true;
    }
    const Token token = TokenAt(line_, i, /*strayGone=*/kPreparing);
    if (token.length == 1) {  // a backslash before a form feed stands alone
      Keep(i, 1);
      loneBeforeFormFeed_ = true;
      return i + 1;
    }
    loneBeforeFormFeed_ = false;
    if (token.code != kStray && !strip_.RemovesCode(line_, i, token.code)) {
      kept_.Command(c);
      Keep(i, 2);
    }
    return i + 2;
  }

  Reporter& report_;
  std::string& line_;
  char* data_;
  std::size_t n_;
  int slot_;
  KeptCommands kept_;
  CodeStripper strip_;
  std::optional<ColumnCounter> columns_;
  std::size_t out_ = 0;
  std::size_t formFeed_ = 0;         // the next form feed, or n_
  bool loneBeforeFormFeed_ = false;  // the last piece kept is a backslash before a form feed
};

template <bool kPreparing>
void WalkLine(Reporter& report, const FontSlotTable& slots, std::string& line, int slot,
              bool mayHoldFormFeed, LineControls& controls, LineScan& scan) {
  LineWalk<kPreparing>(report, slots, line, slot, controls).Run(mayHoldFormFeed, scan);
}

}  // namespace

CommandCheck CheckCommands(Reporter& report, const LineGroup& group) {
  CommandCheck check;
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    const std::string& line = group.Lines[slot];
    ColumnCounter columns(line);
    // The command at index i, for a report that shows where it stands.
    auto mark = [&](std::size_t i, char command) {
      report.Mark({.slot = slot, .column = columns.ColumnOf(i), .command = command});
    };
    CommandWalk command(line);
    while (command.Next()) {
      const char c = command.Char();
      check.commands.Insert(c);
      if (KnownCommands.Contains(c)) continue;
      check.unknown = true;
      if (report.Locating()) mark(command.At(), c);
      ReportUnknownCommand(report, c);
    }
    if (command.LoneAtEnd()) {
      if (report.Locating()) mark(line.size() - 1, kBackslash);
      ReportLoneBackslash(report, line);
    }
  }
  check.hyphenationMarks = check.commands.Contains('A') || check.commands.Contains('B');
  return check;
}

LineControls StripLineControls(LineGroup& group) {
  LineControls controls;
  struct : Reporter {
    void ReportError(Category, const std::string&) override {}
    void ReportWarning(const std::string&) override {}
  } none;
  const FontSlotTable slots;
  LineScan scan;
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    WalkLine<false>(none, slots, group.Lines[slot], slot, /*mayHoldFormFeed=*/true, controls, scan);
  }
  return controls;
}

LineScan PrepareLine(Reporter& report, const FontSlotTable& slots, std::string& line, int slot,
                     bool mayHoldFormFeed, LineControls& controls) {
  LineScan scan;
  WalkLine<true>(report, slots, line, slot, mayHoldFormFeed, controls, scan);
  return scan;
}

bool AddJoiningSpace(LineGroup& group, const LineControls& controls) {
  if (group.mainIndex < 0) return false;
  if (controls.pageBreak || controls.paragraphEnd || controls.equalsSeen) return false;
  std::string& line = group.Lines[group.mainIndex];
  if (line.empty() || line.back() == ' ') return false;
  line += ' ';
  return true;
}

void RemoveStrayMarkers(LineGroup& group) {
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    std::string& line = group.Lines[slot];
    if (FindCommand(line, kStrayMarkers) == kNoIndex) continue;
    std::string kept;
    kept.reserve(line.size());
    CommandWalk command(line);
    while (command.Next()) {
      kept += command.TextBefore();
      if (!kStrayMarkers.Contains(command.Char())) kept.append(line, command.At(), 2);
    }
    kept += command.Rest();
    line = std::move(kept);
  }
}

}  // namespace pomvex
