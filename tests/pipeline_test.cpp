// The two steps of the markup pipeline itself, and the removal of commands that would pass for
// the converter's own markers.
#include "layout/pipeline.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "fonts/footnotes_scripts.h"
#include "layout/alignment.h"
#include "layout/line_codes.h"
#include "layout/rules_pictures.h"
#include "test_support.h"

namespace pomvex {
namespace {

TEST(TrimContinuationLine, DropsLeadingBlanksAndLayoutCodesButKeepsFonts) {
  struct Row {
    const char* label;
    const char* in;
    bool starts;
    const char* out;
  } rows[] = {
      {"a paragraph start is left alone", "  \\ x", true, "  \\ x"},
      {"space then centring mark", " \\^Title", false, "Title"},
      {"font switch and space", "\\1 word", false, "\\1word"},
      {"kept commands keep their order", " \\2\\ \\>x\\:", false, "\\2\\>x\\:"},
      {"hard spaces and tab codes go", "\\ \\ \\[text", false, "text"},
      {"a one-column command stops", "\\@ page", false, "\\@ page"},
      {"kept switches move up over what goes", "\\ \\1 \\2\\@ x", false, "\\1\\2\\@ x"},
      {"a literal backslash stops", " \\\\x", false, "\\\\x"},
      {"a lone backslash stops", "  \\", false, "\\"},
      {"only blanks", "   ", false, ""},
  };
  for (const Row& r : rows) {
    std::string line = r.in;
    TrimContinuationLine(line, r.starts);
    EXPECT_EQ(line, r.out) << r.label;
  }
}

TEST(EscapeBraces, TextBracesAreEscapedOnce) {
  struct Row {
    const char* label;
    const char* in;
    const char* out;
  } rows[] = {
      {"text braces", "{a{b}c}", "\\{a\\{b\\}c\\}"},
      {"literal backslash then brace", "\\\\{", "\\\\\\{"},
      {"a brace command is already an RTF literal brace", "\\{x\\}", "\\{x\\}"},
      {"a lone trailing backslash becomes a literal one", "end\\", "end\\\\"},
      {"control words pass", "\\b x\\b0 ", "\\b x\\b0 "},
      {"a character set in font 5 keeps its group", "{\\f5 \\u8712?}{x}{\\f5 \\u-1?}",
       "{\\f5 \\u8712?}\\{x\\}{\\f5 \\u-1?}"},
      {"text that only begins like one is text", "{\\f5 \\u8712}{\\f5 x}",
       "\\{\\f5 \\u8712\\}\\{\\f5 x\\}"},
      {"braces on both sides of sixteen characters", "0123456789abcde{}0123456789abcd\\}",
       "0123456789abcde\\{\\}0123456789abcd\\}"},
  };
  for (const Row& r : rows) {
    std::string line = r.in;
    EscapeBraces(line);
    EXPECT_EQ(line, r.out) << r.label;
  }
}

TEST(RemoveStrayMarkers, DocumentCommandsThatLookLikeMarkersGo) {
  LineGroup g;
  g.Lines[0] = "a\\>b\\:c\\<d \\R\\D\\L\\E \\\\> \\X\\1\\";
  g.lastIndex = 0;
  RemoveStrayMarkers(g);
  EXPECT_EQ(g.Lines[0], "abcd  \\\\> \\X\\1\\");
}

// Steps 8 and 10 to 15 in one pass give what the steps give one after the other: the line, the
// reports, and the footnote numbering, whether footnote texts go into the line or are written
// with it.
TEST(ConvertLateSteps, OnePassMatchesTheStepsInTurn) {
  const std::vector<std::string> pieces = {
      "a",     " ",      "  ",     "-",       "{",         "}",      R"({\f5 \u8712?})",
      R"(\ )", R"(\F1)", R"(\F2)", R"(\F!)",  R"(\FA)",    R"(\F)",  R"(\>)",
      R"(\<)", R"(\:)",  R"(\L)",  R"(\E)",   R"(\@)",     R"(\b )", R"(\fs18 )",
      R"(\\)", "\\",     R"(\{)",  R"(\qc )", "----------"};
  std::mt19937 random(20261207);
  for (int round = 0; round < 6000; ++round) {
    std::string line;
    const int count = static_cast<int>(random() % 14);
    for (int i = 0; i < count; ++i) line += pieces[random() % pieces.size()];
    const bool startsParagraph = random() % 2 == 0;
    const bool collapse = random() % 2 == 0;
    const auto insertion =
        random() % 2 == 0 ? FootnoteInsertion::InLine : FootnoteInsertion::WhenWritten;
    const int halfPoints = random() % 2 == 0 ? 24 : 18;
    testing::TestDocument fused{STANDARD};
    testing::TestDocument steps{STANDARD};
    for (testing::TestDocument* t : {&fused, &steps}) {
      t->doc.NoteTexts = insertion;
      t->doc.FootnoteText('1') = R"({\pard\qj one\ \@ two\par})";
      t->doc.FootnoteText('2') = R"(see \F1 and \>x\: \F9)";
    }
    std::string fusedLine = line;
    ConvertLateSteps(fused.doc, fusedLine, collapse, startsParagraph, halfPoints);
    std::string stepsLine = line;
    if (collapse) CollapseHardSpaces(stepsLine, startsParagraph);
    EscapeBraces(stepsLine);
    ConvertFootnoteRefs(steps.doc, stepsLine, insertion);
    ConvertScriptMarkers(stepsLine, halfPoints);
    ConvertRules(stepsLine);
    ConvertPageNumber(steps.doc, stepsLine);
    RemoveSpaceEscapes(stepsLine);
    ASSERT_EQ(fusedLine, stepsLine) << line;
    ASSERT_EQ(fused.reporter.Lines(), steps.reporter.Lines()) << line;
    ASSERT_EQ(fused.doc.NumberedFootnotes, steps.doc.NumberedFootnotes) << line;
  }
}

}  // namespace
}  // namespace pomvex
