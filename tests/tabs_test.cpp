// Tabs: the columns of the tab marks, the markers around right and decimal tab text, and the
// RTF tabs with their stops.
#include "layout/tabs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace pomvex {
namespace {

using testing::TestDocument;

std::vector<std::int32_t> Columns(const DocumentState& doc, int count) {
  return {doc.TabColumns.begin() + 1, doc.TabColumns.begin() + 1 + count};
}

TEST(FindTabStops, MarksAndColumns) {
  struct Case {
    const char* label;
    std::string line;
    std::string expected;
    std::vector<std::int32_t> columns;
  };
  const std::vector<Case> cases = {
      {"left tab in column 11", R"(\1Name      \[x)", R"(\1Name      \[x)", {11}},
      {"decimal tab", R"(\1Sum  12.50\].)", R"(\1Sum  \D12.50\X)", {11}},
      {"right tab", R"(\1Sum  12.50\]x)", R"(\1Sum  \R12.50\X)", {11}},
      {"right tab ending the line", R"(\1Sum\ 12\])", R"(\1Sum\ \R12\X)", {7}},
      {"words back to the double space",
       R"(\1A  net total sum\]x)",
       R"(\1A  \Rnet total sum\X)",
       {17}},
      {"no space: after the leading switch", R"(\1abc\]x)", R"(\1\Rabc\X)", {4}},
      {"after an earlier mark no character is lost", R"(\1a\[b\]x)", R"(\1a\[\Rb\X)", {2, 4}},
      {"columns after a right tab keep their numbers", R"(\1ab\]xcd\[)", R"(\1\Rab\Xcd\[)", {3, 6}},
      {"mark at the start of the line", R"(\]xabc)", R"(\R\Xabc)", {1}},
      {"a command is never split", R"(a\2bc\]x)", R"(a\2\Rbc\X)", {4}},
      {"literal backslash makes no mark", R"(\1C:\\[x\\])", R"(\1C:\\[x\\])", {0, 0}},
      {"a literal backslash before a space is no hard space",
       R"(\1a\\ b\]x)",
       R"(\1\Ra\\ b\X)",
       {5}},
      {"a lone backslash after the mark goes with it", R"(\1x\]\)", R"(\1\Rx\X)", {2}},
  };
  for (const Case& c : cases) {
    TestDocument t;
    std::string line = c.line;
    FindTabStops(t.doc, line);
    EXPECT_EQ(line, c.expected) << c.label;
    EXPECT_EQ(Columns(t.doc, static_cast<int>(c.columns.size())), c.columns) << c.label;
    EXPECT_TRUE(t.reporter.entries.empty()) << c.label;
  }
}

TEST(FindTabStops, LineWithoutMarksLeavesTheTableAlone) {
  TestDocument t;
  t.doc.TabColumns[1] = 7;
  std::string line = R"(\1plain \R text)";
  FindTabStops(t.doc, line);
  EXPECT_EQ(line, R"(\1plain \R text)");
  EXPECT_EQ(t.doc.TabColumns[1], 7);
}

TEST(WriteTabStops, TabsAndTheirStops) {
  struct Case {
    const char* label;
    std::string line;
    std::vector<std::int32_t> columns;
    std::string expected;
    std::string stops;
  };
  const std::vector<Case> cases = {
      {"left tab in column 11", R"(Name  \ \[x)", {11}, R"(Name\tab x)", R"(\tx1320)"},
      {"decimal tab", R"(Sum \D12.50\X)", {12}, R"(Sum\tab 12.50)", R"(\tqdec\tx1440)"},
      {"right tab", R"(Sum \R12\X and)", {12}, R"(Sum\tab 12 and)", R"(\tqr\tx1440)"},
      {"left then right", R"(a\[\Rb\X)", {2, 4}, R"(a\tab\tab b)", R"(\tx240\tqr\tx480)"},
      {"end mark searched after its own tab",
       R"(\Da\X\Rb\X)",
       {10, 20},
       R"(\tab a\tab b)",
       R"(\tqdec\tx1200\tqr\tx2400)"},
      {"literal backslashes are no marks",
       R"(C:\\DOCS\\REPORT\\X)",
       {},
       R"(C:\\DOCS\\REPORT\\X)",
       ""},
  };
  for (const Case& c : cases) {
    TestDocument t;
    for (std::size_t i = 0; i < c.columns.size(); ++i) t.doc.TabColumns[i + 1] = c.columns[i];
    std::string line = c.line;
    std::string stops;
    WriteTabStops(t.doc, line, stops);
    EXPECT_EQ(line, c.expected) << c.label;
    EXPECT_EQ(stops, c.stops) << c.label;
  }
}

TEST(WriteTabStops, LastRightTabNearTheMarginStopsAtTheMargin) {
  struct Case {
    const char* label;
    std::string line;
    std::int32_t column;
    std::int32_t leftMargin;
    std::string stops;
  };
  const std::vector<Case> cases = {
      {"column 69, last right tab", R"(\Rx\X)", 69, 10, R"(\tqr\tx9360)"},
      {"column 68 is not beyond 0.9 x RM", R"(\Rx\X)", 68, 10, R"(\tqr\tx8160)"},
      {"margins wider than the paper", R"(\Rx\X)", 70, 50, R"(\tqr\tx8400)"},
      {"decimal tabs stop at their column", R"(\Dx\X)", 70, 10, R"(\tqdec\tx8400)"},
  };
  for (const Case& c : cases) {
    TestDocument t;
    t.doc.Settings.LM = c.leftMargin;
    t.doc.TabColumns[1] = c.column;
    std::string line = c.line;
    std::string stops;
    WriteTabStops(t.doc, line, stops);
    EXPECT_EQ(stops, c.stops) << c.label;
  }
  // A later left tab makes the right tab no longer the last one.
  TestDocument t;
  t.doc.TabColumns[1] = 70;
  t.doc.TabColumns[2] = 75;
  std::string line = R"(\Rx\X\[y)";
  std::string stops;
  WriteTabStops(t.doc, line, stops);
  EXPECT_EQ(stops, R"(\tqr\tx8400\tx9000)");
  // Of two right tabs near the margin, only the later one stops there.
  TestDocument two;
  two.doc.Settings.LM = 10;
  two.doc.TabColumns[1] = 70;
  two.doc.TabColumns[2] = 72;
  line = R"(\Rx\X\Ry\X)";
  stops.clear();
  WriteTabStops(two.doc, line, stops);
  EXPECT_EQ(stops, R"(\tqr\tx8400\tqr\tx9360)");
}

TEST(WriteTabStops, StopBeyondThe32BitRangeAbandonsTheDocument) {
  TestDocument t;
  t.doc.TabColumns[1] = 20000000;
  std::string line = R"(a\[b)";
  std::string stops;
  EXPECT_THROW(WriteTabStops(t.doc, line, stops), ConversionAbandoned);
}

TEST(Tabs, MoreThanSixtyMarksShareTheLastEntry) {
  TestDocument t;
  std::string line = R"(\1)";
  for (int i = 0; i < 62; ++i) line += R"(x\[)";
  FindTabStops(t.doc, line);
  EXPECT_EQ(t.doc.TabColumns[60], 124);  // the 62nd mark
  std::string stops;
  WriteTabStops(t.doc, line, stops);
  EXPECT_EQ(
      t.reporter.Lines(),
      (std::vector<std::string>{"W: Problem with too many tabs used in line",
                                "W: Problem with too many tabs used in line",
                                "W: Problem with too many tabs", "W: Problem with too many tabs"}));
  EXPECT_EQ(stops.substr(stops.size() - 16), R"(\tx14880\tx14880)");
}

TEST(TrimTrailingSpaces, SpacesAndHardSpaces) {
  // Runs longer than the sixteen bytes looked at at once, too.
  std::string run;
  for (int i = 0; i < 9; ++i) run += R"(\ )";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"ab  ", "ab"},
      {R"(ab\ \ )", "ab"},
      {R"(ab \ )", "ab"},
      {R"(\ )", ""},
      {" ", ""},
      {R"(a\\ )", R"(a\\)"},
      {R"(a\\\ )", R"(a\\)"},
      {"no space", "no space"},
      {"ab" + run, "ab"},
      {"ab " + run + " " + run, "ab"},
      {R"(a\\)" + run, R"(a\\)"},
      {R"(a\\ )" + run, R"(a\\)"},
  };
  for (const auto& [in, out] : cases) {
    std::string text = in;
    TrimTrailingSpaces(text);
    EXPECT_EQ(text, out) << in;
  }
}

}  // namespace
}  // namespace pomvex
