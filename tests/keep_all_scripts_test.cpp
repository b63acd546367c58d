// Keeping every script run: small line groups converted whole, with their exact RTF and the runs
// reported as placed without room; the samples change only where a run had no room.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace pomvex {
namespace {

TEST(KeepAllScripts, PlacesEveryRunOfTheGroup) {
  struct Case {
    const char* label;
    std::string group;      // its lines, each ending in CR LF
    std::string paragraph;  // the first line of the body
    std::vector<std::string> withoutRoom = {};
  };
  const std::vector<Case> cases = {
      {"fraction: numerator in front of the bar's character, denominator stacked after it",
       "\\+     a+b\r\nf = -----\\,\r\n\\-      c\r\n",
       "{\\pard\\qj\\sb25\\sa25 f = -{\\super a+b}{\\sub c}----\\par}",
       {"a+b", "c"}},
      {"sum with both limits over and under the same hard spaces",
       "\\+ n\r\n\\2S\\1\\ \\ \\ x\\,\r\n\\- \\3i\\1=1\r\n",
       "{\\pard\\qj\\sb25\\sa25 \\u931?{\\super n}{\\sub \\i i\\i0 =1}  x\\par}",
       {"i\\1=1"}},
      {"superscript of a superscript", "\\+  2\r\n\\+ x\r\ne\\ \\ \\,\r\n",
       "{\\pard\\qj\\sb50 e{\\super x{\\super\\fs32 2}}\\par}"},
      {"subscript of a subscript", "a\\ \\ \\,\r\n\\- i\r\n\\-  j\r\n",
       "{\\pard\\qj\\sa50 a{\\sub i{\\sub\\fs32 j}}\\par}"},
      {"three superscript lines", "\\+   3\r\n\\+  2\r\n\\+ 1\r\nx\\ \\ \\ \\,\r\n",
       "{\\pard\\qj\\sb75 x{\\super 1{\\super\\fs32 2{\\super\\fs42 3}}}\\par}"},
      {"beyond the end: blank columns kept between runs, stacked runs have room",
       "\\+  n   m\r\nx\\,\r\n\\-  i\r\n",
       "{\\pard\\qj\\sb25\\sa25 x {\\super n}{\\sub i}   {\\super m}\\par}"},
      {"a run over a word goes in front of the character in its first column",
       "\\+  2\r\nmass\\,\r\n",
       "{\\pard\\qj\\sb25 ma{\\super 2}ss\\par}",
       {"2"}},
      {"a nested run over a space joins the runs beside it; fonts kept",
       "\\+  2\r\n\\+ \\3a\\1 b\r\ny\\ \\ \\ \\,\r\n",
       "{\\pard\\qj\\sb50 y{\\super \\i a\\i0 {\\super\\fs32 2}b}\\par}"},
      {"a line of codes only is a level of its own", "\\+   2\r\n\\+\r\nx\\ \\ \\ \\,\r\n",
       "{\\pard\\qj\\sb50 x  {\\super {\\super\\fs32 2}}\\par}"},
      {"a run over the space that joins the next line goes before it", "\\+ 2\r\nx\r\ny\\,\r\n",
       "{\\pard\\qj\\sb25 x{\\super 2} "},
      {"a run that takes the hard spaces ending the line keeps a space after it",
       "\\+ -1\r\nQ\\ \\ \r\nincreases\\,\r\n", "{\\pard\\qj\\sb25 Q{\\super -1} "},
  };
  for (const Case& c : cases) {
    const testing::ConvertedDocument d = testing::ConvertInMemory(
        "\\1cw\r\n\\U1STANDARD\r\n\\U2GREEK\r\n\\U3ITALIC\r\n" + c.group, true);
    EXPECT_EQ(d.body.substr(0, d.body.find("\r\n")), c.paragraph) << c.label;
    std::vector<std::string> reports;
    for (const std::string& run : c.withoutRoom)
      reports.push_back("E6: Sub- or superscript placed at its column without room: " + run);
    EXPECT_EQ(d.reporter.Lines(), reports) << c.label;
  }
}

// Script lines without a main line make a paragraph of their own; an open one is closed first.
TEST(KeepAllScripts, ScriptLinesWithoutAMainLineMakeAParagraph) {
  const testing::ConvertedDocument d = testing::ConvertInMemory(
      "\\1cw\r\n\\U1STANDARD\r\ntext\r\n\\+ x  y\r\n\\- i\r\nafter\\,\r\n", true);
  EXPECT_EQ(d.body,
            "{\\pard\\qj text \r\n\\par}{\\pard\\qj\\sb25\\sa25  {\\super x}{\\sub i}  "
            "{\\super y}\\par}\r\n{\\pard\\qj after\\par}\r\n}");
  EXPECT_EQ(d.reporter.Lines(), std::vector<std::string>{"E7: Subscript line with no main line"});
}

// Runs that the standard merge places come out the same: only the fraction changes.
TEST(KeepAllScripts, SampleDocumentsChangeOnlyWhereARunHadNoRoom) {
  const std::filesystem::path examples = std::filesystem::path(POMVEX_SOURCE_DIR) / "examples";
  for (std::string name : {"PHYSICS", "CALCULUS", "LETTER", "TABLE", "EUROPA", "BIBLIO", "BOXES",
                           "TITLE", "FIGURES", "UNKNOWN"}) {
    std::string expected = testing::ReadFile(examples / "golden" / (name + ".rtf"));
    const std::string bar = "T = ------- + ";
    if (const std::size_t at = expected.find(bar); at != std::string::npos)
      expected.replace(at, bar.size(), "T = --{\\super {\\super\\fs32 1}mv}{\\sub 2}----- + ");
    const std::string chi = testing::ReadFile(examples / (name + ".CHI"));
    EXPECT_EQ(testing::ConvertInMemory(chi, true).rtf, expected) << name;
  }
}

}  // namespace
}  // namespace pomvex
