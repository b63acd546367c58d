// Line codes: the command check of a freshly read group, the removal of the line-type and
// line-end codes (which become the group's page-break, paragraph-end and equals flags), and the
// space that joins one line of a paragraph to the next.
#include "layout/line_codes.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "base/char_sets.h"
#include "base/text_util.h"
#include "layout/script_merge.h"

namespace pomvex {

namespace {

constexpr char kFormFeed = '\f';

// The line codes in the order in which they are taken out of a line; kSlash is the "\/" of a
// soft page break, which is a code only together with a form feed after it.
enum LineCode { kSubscript, kSuperscript, kParagraphEnd, kEquals, kSlash, kFormFeedCode, kOther };

struct Token {
  LineCode code;
  std::size_t length;
};

// The command or character at i. A backslash pairs with the character after it, except with a
// form feed, which stands for itself even there.
Token TokenAt(std::string_view line, std::size_t i) {
  if (line[i] == kFormFeed) return {kFormFeedCode, 1};
  if (line[i] != '\\' || i + 1 == line.size() || line[i + 1] == kFormFeed) return {kOther, 1};
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
      return {kOther, 2};
  }
}

// Strips one line; the flags of the codes it removed are added to controls.
//
// The codes are taken out one after the other, each at its first occurrence. Removing a whole
// command never changes how the commands after it pair up, so one walk finds the same
// occurrences. The one code made of two pieces, the soft page break, can be joined by the
// removal: in "\/\,<FF>" the "\," goes first and leaves "\/<FF>". The walk looks past such
// codes for the form feed.
void StripLine(std::string& line, LineControls& controls) {
  bool removed[kOther] = {};
  std::size_t softFormFeed = std::string::npos;  // the form feed of the soft page break
  // The line is compacted in place: line[..kept) is what stays of line[..i).
  std::size_t kept = 0;
  auto keep = [&](std::size_t from, std::size_t length) {
    if (kept != from)
      std::copy(line.begin() + from, line.begin() + from + length, line.begin() + kept);
    kept += length;
  };
  const std::size_t n = line.size();
  std::size_t formFeed = std::min(line.find(kFormFeed), n);  // the next one after i, n for none
  for (std::size_t i = 0; i < n;) {
    if (line[i] != '\\' && line[i] != kFormFeed) {
      // Text up to the next command or form feed stays.
      if (formFeed < i) formFeed = std::min(line.find(kFormFeed, i), n);
      const std::size_t j = std::min(NextBackslash(line, i), formFeed);
      keep(i, j - i);
      i = j;
      continue;
    }
    const Token token = TokenAt(line, i);
    switch (token.code) {
      case kSubscript:
      case kSuperscript:
      case kParagraphEnd:
      case kEquals:
        if (removed[token.code]) break;
        removed[token.code] = true;
        if (token.code == kParagraphEnd) controls.paragraphEnd = true;
        if (token.code == kEquals) controls.equalsSeen = true;
        i += token.length;
        continue;
      case kSlash: {
        if (removed[kSlash]) break;
        // Codes that go before the soft page break are passed over, each at most once.
        bool passed[kSlash] = {};
        std::size_t j = i + token.length;
        while (j < n) {
          const Token next = TokenAt(line, j);
          if (next.code >= kSlash || removed[next.code] || passed[next.code]) break;
          passed[next.code] = true;
          j += next.length;
        }
        if (j == n || line[j] != kFormFeed) break;
        removed[kSlash] = true;
        softFormFeed = j;
        i += token.length;
        continue;
      }
      case kFormFeedCode:
        // The form feed of a soft page break never sets the page break.
        if (i == softFormFeed) {
          ++i;
          continue;
        }
        if (removed[kFormFeedCode]) break;
        removed[kFormFeedCode] = true;
        controls.pageBreak = true;
        // A backslash right before the form feed pairs with nothing; with the form feed gone it
        // would pair with what follows (a marker, a brace). It is kept as a literal one.
        if (EndsInLoneBackslash(std::string_view(line).substr(0, kept))) line[kept++] = '\\';
        ++i;
        continue;
      case kOther:
        break;
    }
    keep(i, token.length);
    i += token.length;
  }
  line.resize(kept);
}

}  // namespace

CommandCheck CheckCommands(Reporter& report, const LineGroup& group) {
  CommandCheck check;
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    const std::string& line = group.Lines[slot];
    const std::size_t n = line.size();
    ColumnCounter columns(line);
    // The command at index i, for a report that shows where it stands.
    auto mark = [&](std::size_t i, char command) {
      const int column = columns.ColumnOf(static_cast<int>(i) + 1);
      report.Mark({.slot = slot, .column = column, .command = command});
    };
    for (std::size_t i = NextBackslash(line, 0); i < n; i = NextBackslash(line, i + 1)) {
      if (i + 1 == n) {
        if (report.Locating()) mark(i, '\\');
        report.ReportError(1, "Line terminated by '\\' in: " + line);
        break;
      }
      const char c = line[++i];  // a doubled backslash is one command
      if (c == 'A' || c == 'B') check.hyphenationMarks = true;
      if (!KnownCommands.Contains(c)) {
        check.unknown = true;
        if (report.Locating()) mark(i - 1, c);
        report.ReportError(
            2, std::string("Unknown ChiWriter command '\\") + c + "'. The file may be corrupt.");
      }
    }
  }
  return check;
}

LineControls StripLineControls(LineGroup& group) {
  LineControls controls;
  for (int slot = 0; slot <= group.lastIndex; ++slot) StripLine(group.Lines[slot], controls);
  return controls;
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
  static constexpr CharSet kStray{":<>DELR"};
  for (int slot = 0; slot <= group.lastIndex; ++slot) {
    std::string& line = group.Lines[slot];
    std::size_t at = FindCommand(line, kStray);
    if (at == std::string::npos) continue;
    std::string kept;
    kept.reserve(line.size());
    std::size_t from = 0;  // the text from here to the marker at at is kept
    while (at != std::string::npos) {
      kept.append(line, from, at - from);
      from = at + 2;
      at = FindCommand(line, kStray, from);
    }
    kept.append(line, from);
    line = std::move(kept);
  }
}

}  // namespace pomvex
