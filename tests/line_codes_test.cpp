// Line codes: the command check, the removal of the line-type and line-end codes with the flags
// they set, and the space that joins the lines of a paragraph.
#include "layout/line_codes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "fonts/font_switches.h"
#include "test_support.h"

namespace pomvex {
namespace {

using testing::RecordingReporter;

using testing::GroupOf;

std::string Unknown(char c) {
  return std::string("E2: Unknown ChiWriter command '\\") + c + "'. The file may be corrupt.";
}

TEST(CheckCommands, ReportsBadCommandsOnce) {
  struct Case {
    const char* label;
    std::string line;
    std::vector<std::string> reports;
  };
  const std::vector<Case> cases = {
      {"known commands", "\\1a\\ \\pJU\\@\\F!\\G\\N\\U\\A\\B\\[\\]\\^\\,\\=\\+\\-\\/\\\\", {}},
      {"unknown command",
       "a\\Qb",
       {"E2: Unknown ChiWriter command '\\Q'. The file may be corrupt."}},
      {"converter markers are unknown to ChiWriter", "\\>", {Unknown('>')}},
      {"every bad command of the line", "\\Q\\Z", {Unknown('Q'), Unknown('Z')}},
      {"lone backslash at the end, category 1 only",
       "ab\\",
       {"E1: Line terminated by '\\' in: ab\\"}},
      {"literal backslash starts no command", "x\\\\Q\\\\", {}},
      {"literal backslash then a lone one", "x\\\\\\", {"E1: Line terminated by '\\' in: x\\\\\\"}},
  };
  for (const Case& c : cases) {
    RecordingReporter reporter;
    CheckCommands(reporter, GroupOf({c.line}));
    EXPECT_EQ(reporter.Lines(), c.reports) << c.label;
  }
}

TEST(CheckCommands, ChecksEveryLineOfTheGroupOnly) {
  RecordingReporter reporter;
  LineGroup group = GroupOf({"\\+\\Q", "main\\"}, 1);
  group.Lines[2] = "\\Z";  // a line read ahead for the next group
  CheckCommands(reporter, group);
  EXPECT_EQ(reporter.Lines(),
            (std::vector<std::string>{Unknown('Q'), "E1: Line terminated by '\\' in: main\\"}));
}

TEST(StripLineControls, RemovesTheFirstOfEachCodeAndSetsFlags) {
  struct Case {
    const char* label;
    std::string line;
    std::string stripped;
    bool pageBreak, paragraphEnd, equalsSeen;
  };
  const std::vector<Case> cases = {
      {"superscript prefix", "\\+    2", "    2", false, false, false},
      {"each code once", "\\-a\\+b\\,c\\=", "abc", false, true, true},
      {"second paragraph end stays", "a\\,b\\,", "ab\\,", false, true, false},
      {"soft page break sets no page break", "text\\/\f", "text", false, false, false},
      {"lone form feed is a page break", "text\f", "text", true, false, false},
      {"form feed before a soft page break", "\fa\\/\f", "a", true, false, false},
      {"second soft page break gives up its form feed", "a\\/\fb\\/\f", "ab\\/", true, false,
       false},
      {"soft page break closed up by a removed code", "a\\/\\,\f", "a", false, true, false},
      {"slash without form feed is no code", "a\\/b", "a\\/b", false, false, false},
      {"literal backslash before a minus", "x\\\\-y", "x\\\\-y", false, false, false},
      {"literal backslash before a paragraph end", "a\\\\\\,", "a\\\\", false, true, false},
  };
  for (const Case& c : cases) {
    LineGroup group = GroupOf({c.line});
    const LineControls flags = StripLineControls(group);
    EXPECT_EQ(group.Lines[0], c.stripped) << c.label;
    EXPECT_EQ(flags.pageBreak, c.pageBreak) << c.label;
    EXPECT_EQ(flags.paragraphEnd, c.paragraphEnd) << c.label;
    EXPECT_EQ(flags.equalsSeen, c.equalsSeen) << c.label;
  }
}

TEST(StripLineControls, AFlagOfOneLineHoldsForTheGroup) {
  LineGroup group = GroupOf({"\\+x\\,", "main", "\\-y\f"}, 1);
  const LineControls flags = StripLineControls(group);
  EXPECT_TRUE(flags.paragraphEnd);
  EXPECT_TRUE(flags.pageBreak);
  EXPECT_EQ(group.Lines[0], "x");
  EXPECT_EQ(group.Lines[2], "y");
}

TEST(AddJoiningSpace, OnlyWhenTheParagraphGoesOn) {
  struct Case {
    const char* label;
    std::string main;
    LineControls controls;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"paragraph goes on", "abc", {}, "abc "},
      {"already ends in a space", "abc ", {}, "abc "},
      {"empty main line", "", {}, ""},
      {"paragraph end", "abc", {.paragraphEnd = true}, "abc"},
      {"page break", "abc", {.pageBreak = true}, "abc"},
      {"equals line", "abc", {.equalsSeen = true}, "abc"},
  };
  for (const Case& c : cases) {
    LineGroup group = GroupOf({c.main});
    AddJoiningSpace(group, c.controls);
    EXPECT_EQ(group.Lines[0], c.expected) << c.label;
  }
  LineGroup noMain = GroupOf({"\\-abc"}, -1);
  AddJoiningSpace(noMain, {});
  EXPECT_EQ(noMain.Lines[0], "\\-abc");
}

bool SameChars(const CharSet& a, const CharSet& b) {
  for (int c = 0; c < 256; ++c) {
    if (a.Contains(static_cast<char>(c)) != b.Contains(static_cast<char>(c))) return false;
  }
  return true;
}

// The one walk that prepares a line reports and leaves it as the command check, the removal of
// stray markers and the removal of the line codes do in turn, and notes the commands of the line
// it leaves as a summary of that line would.
TEST(PrepareLine, OneWalkMatchesTheStepsInTurn) {
  const std::vector<std::string> pieces = {
      "a",     " ",     R"(\,)", R"(\-)", R"(\+)", R"(\=)", R"(\/)", "\f", R"(\:)", R"(\<)",
      R"(\D)", R"(\Q)", R"(\A)", R"(\ )", "\\\\",  R"(\1)", R"(\2)", "1",  "\\"};
  std::mt19937 random(20261208);
  for (int round = 0; round < 6000; ++round) {
    std::string line;
    for (int i = static_cast<int>(random() % 14); i > 0; --i)
      line += pieces[random() % pieces.size()];
    testing::TestDocument walked{STANDARD, BOLD};
    RecordingReporter steps;
    std::string left = line;
    LineControls controls;
    const LineScan scan =
        PrepareLine(walked.reporter, walked.doc.FontSlots, left, 0, true, controls);
    LineGroup group = GroupOf({line});
    CheckCommands(steps, group);
    RemoveStrayMarkers(group);
    const LineControls expected = StripLineControls(group);
    ASSERT_EQ(left, group.Lines[0]) << line;
    ASSERT_EQ(walked.reporter.Lines(), steps.Lines()) << line;
    ASSERT_EQ(controls.pageBreak, expected.pageBreak) << line;
    ASSERT_EQ(controls.paragraphEnd, expected.paragraphEnd) << line;
    ASSERT_EQ(controls.equalsSeen, expected.equalsSeen) << line;
    const CommandSummary summary = CommandSummary::Of(left);
    ASSERT_TRUE(SameChars(scan.kept.commands, summary.commands)) << line;
    ASSERT_TRUE(SameChars(scan.kept.afterAnyBackslash, summary.afterAnyBackslash)) << line;
    ASSERT_EQ(scan.kept.loneAtEnd, summary.loneAtEnd) << line;
    ASSERT_EQ(scan.lastSwitch, LastFontKind(walked.doc.FontSlots, NONE, left)) << line;
  }
}

}  // namespace
}  // namespace pomvex
