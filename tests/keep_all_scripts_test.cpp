// Keeping every script run: small line groups converted whole, with their exact RTF and the runs
// reported as placed without room; and the sample documents, which change only where a run had
// no room.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace pomvex {
namespace {

const std::string kHeader = "\\1cw\r\n\\U1STANDARD\r\n\\U2GREEK\r\n\\U3ITALIC\r\n";

TEST(KeepAllScripts, PlacesEveryRunOfTheGroup) {
  struct Case {
    const char* label;
    std::vector<std::string> lines;  // the group, with its line codes
    std::string paragraph;           // the body's first line
    std::vector<std::string> withoutRoom;
  };
  const std::vector<Case> cases = {
      {"fraction: numerator in front of the bar's character, denominator stacked under it",
       {"\\+     a+b", "f = -----\\,", "\\-      c"},
       "{\\pard\\qj\\sb25\\sa25 f = -{\\super\\up3 a+b}{\\sub\\dn3 c}----\\par}",
       {"a+b", "c"}},
      {"sum with both limits over and under the same hard spaces",
       {"\\+ n", "\\2S\\1\\ \\ \\ x\\,", "\\- \\3i\\1=1"},
       "{\\pard\\qj\\sb25\\sa25 \\u931?{\\super\\up3 n}{\\sub\\dn3 \\i i\\i0 =1}  x\\par}",
       {"i\\1=1"}},
      {"superscript of a superscript",
       {"\\+  2", "\\+ x", "e\\ \\ \\,"},
       "{\\pard\\qj\\sb50 e{\\super\\up3 x{\\super\\up3 2}}\\par}",
       {}},
      {"subscript of a subscript",
       {"a\\ \\ \\,", "\\- i", "\\-  j"},
       "{\\pard\\qj\\sa50 a{\\sub\\dn3 i{\\sub\\dn3 j}}\\par}",
       {}},
      {"three superscript lines",
       {"\\+   3", "\\+  2", "\\+ 1", "x\\ \\ \\ \\,"},
       "{\\pard\\qj\\sb75 x{\\super\\up3 1{\\super\\up3 2{\\super\\up3 3}}}\\par}",
       {}},
      {"runs beyond the end keep the blank columns between them; stacked there, room",
       {"\\+  n   m", "x\\,", "\\-  i"},
       "{\\pard\\qj\\sb25\\sa25 x {\\super\\up3 n}{\\sub\\dn3 i}   {\\super\\up3 m}\\par}",
       {}},
      {"a run over a word goes in front of the character in its first column",
       {"\\+  2", "mass\\,"},
       "{\\pard\\qj\\sb25 ma{\\super\\up3 2}ss\\par}",
       {"2"}},
      {"a nested run on a space of its line joins the runs on either side, fonts kept",
       {"\\+  2", "\\+ \\3a\\1 b", "y\\ \\ \\ \\,"},
       "{\\pard\\qj\\sb50 y{\\super\\up3 \\i a\\i0 {\\super\\up3 2}b}\\par}",
       {}},
      {"a line of codes only is a level of its own",
       {"\\+   2", "\\+", "x\\ \\ \\ \\,"},
       "{\\pard\\qj\\sb50 x  {\\super\\up3 {\\super\\up3 2}}\\par}",
       {}},
      {"a run over the space that joins the next line goes before it",
       {"\\+ 2", "x", "y\\,"},
       "{\\pard\\qj\\sb25 x{\\super\\up3 2} ",
       {}},
  };
  for (const Case& c : cases) {
    std::string chi = kHeader;
    for (const std::string& line : c.lines) chi += line + "\r\n";
    const testing::ConvertedDocument d = testing::ConvertInMemory(chi, /*keepAllScripts=*/true);
    EXPECT_EQ(d.body.substr(0, d.body.find("\r\n")), c.paragraph) << c.label;
    EXPECT_TRUE(testing::IsOneBalancedGroup(d.rtf)) << c.label;
    std::vector<std::string> reports;
    for (const std::string& run : c.withoutRoom)
      reports.push_back("E6: Sub- or superscript placed at its column without room: " + run);
    EXPECT_EQ(d.reporter.Lines(), reports) << c.label;
  }
}

// Runs that the standard merge places come out the same; only the fraction changes.
TEST(KeepAllScripts, SampleDocumentsChangeOnlyWhereARunHadNoRoom) {
  const std::filesystem::path examples = std::filesystem::path(POMVEX_SOURCE_DIR) / "examples";
  for (const char* name :
       {"PHYSICS", "LETTER", "TABLE", "EUROPA", "BIBLIO", "BOXES", "TITLE", "FIGURES", "UNKNOWN"}) {
    const std::string chi = testing::ReadFile(examples / (std::string(name) + ".CHI"));
    std::string expected = testing::ReadFile(examples / "golden" / (std::string(name) + ".rtf"));
    const std::string bar = "T = ------- + ";
    if (expected.find(bar) != std::string::npos) {
      expected.replace(expected.find(bar), bar.size(),
                       "T = --{\\super\\up3 {\\super\\up3 1}mv}{\\sub\\dn3 2}----- + ");
    }
    EXPECT_EQ(testing::ConvertInMemory(chi, /*keepAllScripts=*/true).rtf, expected) << name;
  }
}

}  // namespace
}  // namespace pomvex
