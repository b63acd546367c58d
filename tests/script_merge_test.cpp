// Script merging: the font steps on the group's lines, the report of extra script lines, the
// column arithmetic, and the placement of script runs in the main line.
#include "layout/script_merge.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "layout/line_codes.h"
#include "test_support.h"

namespace pomvex {
namespace {

using testing::TestDocument;

using testing::GroupOf;

TEST(ScriptMerge, RaisedDigitAfterEmc) {
  TestDocument t{STANDARD};
  LineGroup group = GroupOf({"\\+    2", "E=mc\\ "}, 1);
  FontKind fontCarry = STANDARD;
  CheckCommands(t.doc.report, group);
  CheckExtraScriptLines(t.doc.report, group);
  const LineControls controls = StripLineControls(group);
  AddJoiningSpace(group, controls);
  CarryFontAcrossLines(t.doc.FontSlots, group, fontCarry);
  NormaliseScriptFonts(t.doc.FontSlots, group);
  EXPECT_EQ(testing::Merged(t.doc, group), "\\1E=mc\\>2\\:\\1");
  EXPECT_TRUE(t.reporter.entries.empty());
}

// No fonts are declared here, so no font switches are written. dropped is the run reported as
// misplaced, if any.
TEST(ScriptMerge, PlacesRunsByColumn) {
  struct Case {
    const char* label;
    std::string script, work, merged, dropped;
  };
  const std::vector<Case> cases = {
      {"no script text", "   ", "abc", "abc", ""},
      {"run beyond the end is appended", "     xy", "ab", "ab\\>xy\\:", ""},
      {"two runs separated by a space", " a b", "x\\ y\\ z", "x\\>a\\:y\\>b\\:z", ""},
      {"run over text is left out", "ab", "xyz", "xyz", "ab"},
      {"run partly over text is left out", " ab", "x\\ y", "x\\ y", "ab"},
      {"a misplaced run does not stop the next", "a  b", "xy\\ \\ ", "xy\\ \\>b\\:", "a"},
      {"zero-width commands before a run", "\\F a", "x\\ ", "x\\>a\\:", ""},
      {"empty segment at a tab mark", "\\[ a", "xy\\ ", "xy\\>a\\:", ""},
      {"empty segment between runs", "a\\Xb", "\\ \\ \\ ", "\\>a\\:\\ \\>b\\:", ""},
  };
  for (const Case& c : cases) {
    TestDocument t;
    EXPECT_EQ(testing::Merged(t.doc, "\\>", c.script, c.work), c.merged) << c.label;
    std::vector<std::string> reports;
    if (!c.dropped.empty())
      reports.push_back("E6: Unable to add sub- or superscript: " + c.dropped);
    EXPECT_EQ(t.reporter.Lines(), reports) << c.label;
  }
}

// Runs that find no room leave the main line to be searched again from where the last one stood:
// a long main line without commands must not be searched to its end once per run. 300,000 runs
// over a 3 MB line took a minute that way; in linear time they take a fraction of a second,
// and the bound leaves room for a slow machine and a sanitizer.
TEST(ScriptMerge, RunsWithoutRoomTakeLinearTime) {
  constexpr int kRuns = 1000000;
  std::string script, work;
  for (int i = 0; i < kRuns; ++i) script += " ab";
  work.assign(3 * kRuns, 'w');
  TestDocument t;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(testing::Merged(t.doc, "\\>", script, work), work);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(t.reporter.entries.size(), static_cast<std::size_t>(kRuns));
  EXPECT_LT(seconds, 10.0);
}

TEST(ScriptMerge, RunInAnotherFontSwitchesInsideTheRunAndRestoresTheMainFont) {
  TestDocument t{STANDARD, BOLD};
  EXPECT_EQ(testing::Merged(t.doc, "\\<", "\\1 \\2x", "\\1a\\ b"), "\\1a\\<\\2x\\:\\1b");
}

TEST(ScriptMerge, SubscriptMergesAfterSuperscript) {
  TestDocument t;
  const LineGroup group = GroupOf({" a", "x\\ \\ ", "  b"}, 1);
  EXPECT_EQ(testing::Merged(t.doc, group), "x\\>a\\:\\<b\\:");
  // Into buffers that hold earlier text: the line receiving it and the spare one between.
  std::string merged = "an earlier line";
  t.doc.Spare = "earlier";
  MergeScriptLines(t.doc, group, merged);
  EXPECT_EQ(merged, "x\\>a\\:\\<b\\:");
}

TEST(CheckExtraScriptLines, ReportsLinesNotNextToTheMainLine) {
  TestDocument t;
  CheckExtraScriptLines(t.doc.report, GroupOf({"\\+x", "\\+y", "main", "\\-a", "\\-b"}, 2));
  CheckExtraScriptLines(t.doc.report, GroupOf({"\\+", "\\+\\/\f", "\\+y", "main"}, 3));
  CheckExtraScriptLines(t.doc.report, GroupOf({"main", "\\-a", "\\-\\-", "\\=\\,"}, 0));
  EXPECT_EQ(t.reporter.Lines(), (std::vector<std::string>{
                                    "E5: Unprocessed superscript or subscript line: \\+x",
                                    "E5: Unprocessed superscript or subscript line: \\-b",
                                    "E5: Unprocessed superscript or subscript line: \\-\\-",
                                }));
}

TEST(CarryFontAcrossLines, EveryLineStartsWithTheFontInForce) {
  TestDocument t{STANDARD, GREEK};
  LineGroup group = GroupOf({"ab", "c\\1d", ""}, 1);
  FontKind fontCarry = GREEK;
  CarryFontAcrossLines(t.doc.FontSlots, group, fontCarry);
  EXPECT_EQ(group.Lines[0], "\\1\\2ab");
  EXPECT_EQ(group.Lines[1], "\\1\\2c\\1d");
  EXPECT_EQ(group.Lines[2], "\\1");
  EXPECT_EQ(fontCarry, STANDARD);

  LineGroup unset = GroupOf({"x"}, 0);
  fontCarry = NONE;
  CarryFontAcrossLines(t.doc.FontSlots, unset, fontCarry);
  EXPECT_EQ(unset.Lines[0], "x");

  // A font no slot holds is written as the switch to slot 1, and the line then ends in that
  // slot's font.
  TestDocument noStandard{GREEK};
  LineGroup lines = GroupOf({"a", "b"}, 0);
  fontCarry = STANDARD;
  CarryFontAcrossLines(noStandard.doc.FontSlots, lines, fontCarry);
  EXPECT_EQ(lines.Lines[1], "\\1\\1b");
  EXPECT_EQ(fontCarry, GREEK);
}

TEST(NormaliseScriptFonts, SmallBecomesStandardInScriptLinesOnly) {
  TestDocument t{STANDARD, SMALL};
  LineGroup group = GroupOf({"\\2a\\2b", "x\\2y", "\\1c\\\\2"}, 1);
  NormaliseScriptFonts(t.doc.FontSlots, group);
  EXPECT_EQ(group.Lines[0], "\\2a\\1b") << "a switch at the first character stays";
  EXPECT_EQ(group.Lines[1], "x\\2y") << "the main line keeps SMALL";
  EXPECT_EQ(group.Lines[2], "\\1c\\\\1");
}

}  // namespace
}  // namespace pomvex
