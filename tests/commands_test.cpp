// The grammar of a line (commands, literal backslashes, hard spaces, markers, a lone backslash
// at the end), the searches built on it, the columns of a line and the check of RTF groups.
#include "base/commands.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/columns.h"
#include "base/rtf_groups.h"

namespace pomvex {
namespace {

// The pieces a walk meets: text as it stands, a command as "<c>", a lone backslash as "<>".
std::string Pieces(std::string_view line) {
  std::string out;
  CommandWalk command(line);
  while (command.Next()) {
    out += command.TextBefore();
    out += std::string("<") + command.Char() + ">";
  }
  const std::string_view rest = command.Rest();
  out += command.LoneAtEnd() ? std::string(rest.substr(0, rest.size() - 1)) + "<>" : rest;
  return out;
}

TEST(Commands, ALineIsTextAndCommands) {
  struct Case {
    const char* label;
    std::string line, pieces;
  };
  const std::vector<Case> cases = {
      {"text alone", "abc", "abc"},
      {"a command", "a\\1b", "a<1>b"},
      {"a literal backslash is one command", "a\\\\1", "a<\\>1"},
      {"a hard space", "a\\ b", "a< >b"},
      {"a literal backslash before a space", "\\\\ x", "<\\> x"},
      {"three backslashes and a marker", "\\\\\\:", "<\\><:>"},
      {"a lone backslash at the end", "ab\\", "ab<>"},
      {"a literal backslash at the end", "ab\\\\", "ab<\\>"},
      {"markers and a form feed", "\\>x\\:\f", "<>>x<:>\f"},
      {"the empty line", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Pieces(c.line), c.pieces) << c.label;
}

TEST(Commands, WhereCommandsBegin) {
  EXPECT_TRUE(BeginsCommand("a\\b", 1));
  EXPECT_FALSE(BeginsCommand("a\\\\b", 2)) << "the second backslash of a literal one";
  EXPECT_TRUE(BeginsCommand("\\\\\\b", 2));
  EXPECT_TRUE(BeginsCommand("x\\\\\\b", 2, 2)) << "counted from a boundary";
  EXPECT_TRUE(IsCommandCharAt("a\\{", 2));
  EXPECT_FALSE(IsCommandCharAt("a\\\\{", 3));
  EXPECT_FALSE(EndsInLoneBackslash(""));
  EXPECT_TRUE(EndsInLoneBackslash("\\"));
  EXPECT_FALSE(EndsInLoneBackslash("\\\\")) << "a literal backslash";
  EXPECT_TRUE(EndsInLoneBackslash("a\\\\\\"));
  EXPECT_TRUE(IsHardSpaceAt("x\\ ", 1));
  EXPECT_FALSE(IsHardSpaceAt("x\\", 1));
}

TEST(Commands, ASummaryHoldsEveryCommandCharacter) {
  const CommandSummary summary = CommandSummary::Of("a\\1 \\\\2\\ x\\");
  EXPECT_TRUE(summary.Has('1') && summary.Has('\\') && summary.Has(' '));
  EXPECT_FALSE(summary.Has('2')) << "the 2 after a literal backslash is text";
  EXPECT_TRUE(summary.afterAnyBackslash.Contains('2')) << "but the font-switch scan sees it";
  EXPECT_TRUE(summary.loneAtEnd);
}

// The plain scans: commands pair from from on; every backslash counts for the unpaired search.
std::size_t PlainFindCommand(std::string_view s, const CharSet& commands, std::size_t from) {
  for (std::size_t i = from; i + 1 < s.size(); ++i) {
    if (s[i] != '\\') continue;
    if (commands.Contains(s[i + 1])) return i;
    ++i;
  }
  return kNoIndex;
}

std::size_t PlainFindBackslashAnd(std::string_view s, char c, std::size_t from) {
  for (std::size_t i = from; i + 1 < s.size(); ++i) {
    if (s[i] == '\\' && s[i + 1] == c) return i;
  }
  return kNoIndex;
}

TEST(Commands, SearchesMatchAPlainScan) {
  // Backslashes often, in runs, and next to the characters looked for; lines longer than the
  // eight bytes a search takes at a time.
  const std::string alphabet = "\\\\\\\\a ^q]:[";
  std::mt19937 random(4711);
  const CharSet markers{":["};
  const CharSet withSpace{" ]"};  // runs of hard spaces are passed only where none is looked for
  for (int round = 0; round < 20000; ++round) {
    std::string s(random() % 70, ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    // Commands pair from the start, so the paired searches start where a command may begin.
    std::size_t from = 0;
    for (std::size_t skip = random() % (s.size() + 1); from < skip;)
      from += s[from] == '\\' ? 2 : 1;
    from = std::min(from, s.size());

    std::size_t backslash = from;
    while (backslash < s.size() && s[backslash] != '\\') ++backslash;
    ASSERT_EQ(NextBackslash(s, from), backslash) << s << " from " << from;
    ASSERT_EQ(FindCommand(s, markers, from), PlainFindCommand(s, markers, from)) << s;
    ASSERT_EQ(FindCommand(s, withSpace, from), PlainFindCommand(s, withSpace, from)) << s;
    for (char c : std::string("^q]")) {
      ASSERT_EQ(FindCommand(s, c, from), PlainFindCommand(s, CharSet(std::string(1, c)), from))
          << s << " from " << from << " for " << c;
      ASSERT_EQ(FindBackslashAnd(s, c, from), PlainFindBackslashAnd(s, c, from)) << s;
    }
  }
}

TEST(Commands, BraceSearchesMatchAPlainScan) {
  // Braces and backslashes among letters, in lines shorter and longer than the sixteen bytes
  // compared at a time.
  const std::string alphabet = "{}\\abcdefghijklmnop";
  std::mt19937 random(4712);
  for (int round = 0; round < 5000; ++round) {
    std::string s(random() % 60, ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    const std::size_t from = random() % (s.size() + 1);
    std::size_t brace = from;
    while (brace < s.size() && s[brace] != '{' && s[brace] != '}') ++brace;
    std::size_t any = from;
    while (any < s.size() && s[any] != '{' && s[any] != '}' && s[any] != '\\') ++any;
    ASSERT_EQ(NextBrace<false>(s, from), brace) << s << " from " << from;
    ASSERT_EQ(NextBrace<true>(s, from), any) << s << " from " << from;
  }
}

TEST(Commands, ARunOfHardSpacesEndsWhereItsPatternStops) {
  // Runs shorter and longer than the sixteen bytes compared at a time, followed by text, a lone
  // backslash, a literal backslash and its space, a plain space, another command or nothing.
  for (const std::string before : {"", "a"}) {
    for (int run = 0; run <= 20; ++run) {
      for (const std::string after : {"", "x", "\\", "\\\\ ", " ", "\\x", "\\ "}) {
        std::string s = before;
        for (int k = 0; k < run; ++k) s += "\\ ";
        const std::size_t end = s.size() + (after == "\\ " ? 2 : 0);
        s += after;
        EXPECT_EQ(HardSpaceRunEnd(s, before.size()), end) << s;
      }
    }
  }
}

TEST(Columns, CommandsTakeColumnsByTheirCharacter) {
  // a, b, the hard space, the literal backslash and c take one column each; "\1", "\]" and the
  // lone backslash none.
  const std::string line = "a\\1\\]b\\ \\\\c\\";
  const std::vector<std::pair<std::size_t, int>> columnAt = {{0, 1},  {5, 2},  {6, 3}, {8, 4},
                                                             {10, 5}, {12, 0}, {2, 2}};
  ColumnCounter counter(line);
  for (auto [index, col] : columnAt) EXPECT_EQ(counter.ColumnOf(index), col) << index;
  const std::vector<std::pair<int, std::size_t>> indexOf = {{0, 0},  {1, 0},  {2, 5}, {3, 6},
                                                            {5, 10}, {6, 12}, {2, 5}, {-1, 12}};
  ColumnLocator locator(line);
  for (auto [col, index] : indexOf) EXPECT_EQ(locator.IndexOf(col), index) << col;

  EXPECT_EQ(SegmentWidth("a\\]b"), 3) << "\\] is one column wide in a segment";
  EXPECT_EQ(SegmentWidth("\\F"), 0);
  EXPECT_EQ(SegmentWidth("\\1x\\@y\\"), 3);
}

TEST(Columns, CountAndLocationMatchAPieceByPieceCount) {
  const std::string alphabet = "\\\\ab ]1";
  std::mt19937 random(99);
  for (int round = 0; round < 3000; ++round) {
    std::string s(random() % 60, ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    // The column of each piece, counted piece by piece.
    std::vector<std::pair<std::size_t, int>> pieces;
    int column = 1;
    for (std::size_t i = 0; i < s.size(); i += PieceLength(s, i)) {
      pieces.push_back({i, column});
      if (TakesColumn(s, i)) ++column;
    }
    ColumnCounter counter(s);
    ColumnLocator locator(s);
    for (auto [index, col] : pieces) {
      ASSERT_EQ(counter.ColumnOf(index), col) << s << " at " << index;
      if (!TakesColumn(s, index)) continue;
      ASSERT_EQ(locator.IndexOf(col), index) << s << " column " << col;
    }
    ASSERT_EQ(locator.IndexOf(column), s.size()) << s << " beyond its last column";
  }
}

TEST(Columns, ScriptSegmentsLieBetweenBlanks) {
  struct Case {
    const char* label;
    std::string line;
    std::size_t from;
    std::vector<std::string> segments;
  };
  const std::vector<Case> cases = {
      {"words between spaces and hard spaces", "  ab\\ cd e", 0, {"ab", "cd", "e"}},
      {"a one-column command begins one", "\\@x \\F1", 0, {"\\@x", "\\F1"}},
      {"zero-width commands lie between", "\\1 \\2a", 0, {"a"}},
      {"a layout command ends one, and one it begins is empty", "a\\^b", 0, {"a", "", "b"}},
      {"a lone backslash ends one and the line", "ab\\", 0, {"ab"}},
      {"from a boundary", "ab cd", 3, {"cd"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> found;
    ScriptSegment segment;
    for (std::size_t from = c.from; FindScriptSegment(c.line, from, segment);) {
      found.push_back(c.line.substr(segment.start, segment.end - segment.start));
      from = segment.end > segment.start ? segment.end : segment.start + 2;
    }
    EXPECT_EQ(found, c.segments) << c.label;
  }
}

TEST(RtfGroups, ADocumentIsOneGroup) {
  EXPECT_TRUE(IsOneGroup("{\\rtf1 {\\b x}\\{}"));
  EXPECT_TRUE(IsOneGroup(""));
  EXPECT_FALSE(IsOneGroup("{a}{b}")) << "text after the document's group";
  EXPECT_FALSE(IsOneGroup("{a}}")) << "a brace that closes no group";
  EXPECT_FALSE(IsOneGroup("{a")) << "a group left open";
  RtfGroupCheck pieces;
  for (const char* piece : {"{\\rtf1", " \\", "}", "x}"}) pieces.Add(piece);
  EXPECT_TRUE(pieces.IsOneGroup()) << "an escape split between pieces";
}

}  // namespace
}  // namespace pomvex
