// Hyphenation marks at the end of a main line, picture placeholders and rule lines.
#include "layout/rules_pictures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace pomvex {
namespace {

using testing::RecordingReporter;

TEST(RemoveHyphen, MarksAtTheEndOfTheMainLine) {
  const std::string warnA = R"(W: Unable to remove CW hyphenation comnd "\A")";
  const std::string warnB = R"(W: Unable to remove CW hyphenation comnd "\B")";
  struct Case {
    const char* label;
    std::string line;
    std::string expected;
    std::vector<std::string> reports = {};
  };
  const std::vector<Case> cases = {
      {"A: hyphen, mark and joining space go", R"(some divi-\A )", "some divi"},
      {"B: the hyphen stays", R"(some divi-\B )", "some divi-"},
      {"A ending a paragraph: no joining space", R"(divi-\A)", R"(divi-\A)", {warnA}},
      {"B not after a hyphen", R"(divi\B )", R"(divi\B )", {warnB}},
      {"A inside the line", R"(a-\A b )", R"(a-\A b )", {warnA}},
      {"literal backslash before A", R"(x-\\A )", R"(x-\\A )"},
      {"a literal backslash and A before the mark", R"(C:\\A di-\A )", R"(C:\\A di)"},
      {"three backslashes: a literal one, then the mark", R"(x-\\\A )", R"(x-\\\A )", {warnA}},
  };
  for (const Case& c : cases) {
    RecordingReporter reporter;
    LineGroup group;
    group.Lines[1] = c.line;
    group.Lines[0] = R"(super-\A )";  // script lines are never touched
    group.mainIndex = 1;
    group.lastIndex = 1;
    RemoveHyphenA(reporter, group);
    RemoveHyphenB(reporter, group);
    EXPECT_EQ(group.Lines[1], c.expected) << c.label;
    EXPECT_EQ(group.Lines[0], R"(super-\A )") << c.label;
    EXPECT_EQ(reporter.Lines(), c.reports) << c.label;
  }
  RecordingReporter reporter;
  LineGroup noMain;
  noMain.Lines[0] = R"(x\A)";
  noMain.lastIndex = 0;
  RemoveHyphenA(reporter, noMain);
  EXPECT_EQ(noMain.Lines[0], R"(x\A)");
  EXPECT_TRUE(reporter.entries.empty());
}

TEST(ConvertPictures, FirstReferenceBecomesAPlaceholder) {
  struct Case {
    const char* label;
    std::string line;
    std::string expected;
    std::string name;
  };
  const std::vector<Case> cases = {
      {"reference in a line", R"(See \Gfig1.pcx\G here)", "See  *** <fig1.pcx> ***  here",
       "fig1.pcx"},
      {"no closing mark", R"(\Gchart)", " *** <chart> *** ", "chart"},
      {"doubled opening mark", R"(\G\Gfig\G.)", " *** <fig> *** .", "fig"},
      {"a second picture loses its marks", R"(\Ga\G and \Gb\G)", " *** <a> ***  and b", "a"},
      {"a name ending in a lone backslash keeps it literal", R"(\Gdir\)", R"( *** <dir\\> *** )",
       R"(dir\)"},
  };
  for (const Case& c : cases) {
    RecordingReporter reporter;
    std::string line = c.line;
    ConvertPictures(reporter, line);
    EXPECT_EQ(line, c.expected) << c.label;
    EXPECT_EQ(
        reporter.Lines(),
        std::vector<std::string>{"W: Please edit this file to include the picture file " + c.name})
        << c.label;
  }
  RecordingReporter reporter;
  std::string path = R"(C:\\GAMES\\GO)";
  ConvertPictures(reporter, path);
  EXPECT_EQ(path, R"(C:\\GAMES\\GO)");
  EXPECT_TRUE(reporter.entries.empty());
}

TEST(ConvertRules, RuleLinesAndPlaceholders) {
  const std::string rule = R"(\tab)";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {std::string(9, '-'), std::string(9, '-')},
      {std::string(10, '-'), rule},
      {std::string(20, '-'), rule},
      {std::string(12, '='), rule},
      {std::string(10, '_'), rule},
      {std::string(10, '-') + " ", std::string(10, '-') + " "},
      {std::string(10, '*'), std::string(10, '*')},
      {R"(\L--\E)", "--"},
      {std::string(10, '-') + R"(\L)", std::string(10, '-')},  // not a rule: tested first
      {R"(C:\\LETTERS\\EXE)", R"(C:\\LETTERS\\EXE)"},
  };
  for (const auto& [in, out] : cases) {
    std::string line = in;
    ConvertRules(line);
    EXPECT_EQ(line, out) << in;
  }
}

}  // namespace
}  // namespace pomvex
