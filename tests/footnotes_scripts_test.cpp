// Footnote references, script groups, the page-number field and escaped spaces.
#include "fonts/footnotes_scripts.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "test_support.h"

namespace pomvex {
namespace {

using testing::TestDocument;

TEST(FootnoteMark, DigitsSymbolsAndLetters) {
  TestDocument t;
  const std::vector<std::pair<char, std::string>> cases = {
      {'1', "1"},          {'0', "0"},          {'!', R"({\f5 \u8270?})"},
      {'"', R"(\u8224?)"}, {'#', R"(\u8225?)"}, {'$', R"(\'B6)"},
      {'%', R"(\'A7)"},    {'&', "b"},          {'/', "k"},
  };
  for (const auto& [symbol, mark] : cases)
    EXPECT_EQ(FootnoteMark(t.reporter, symbol), mark) << symbol;
  EXPECT_TRUE(t.reporter.entries.empty());
}

TEST(ConvertFootnoteRefs, ReferencesBecomeFootnotes) {
  struct Case {
    const char* label;
    bool inFootnoteText;
    std::string line;
    std::string expected;
    std::vector<std::string> reports = {};
  };
  const std::string unexpectedEnd = "E10: Unexpected footnote symbol  . Failed to insert footnote";
  const std::vector<Case> cases = {
      {"reference with its text", false, R"(See\F1 here)",
       R"(See{\super\chftn}{\footnote {\super\chftn} Text one} here)"},
      {"same symbol twice", false, R"(\F1\F1)",
       R"({\super\chftn}{\footnote {\super\chftn} Text one}{1}{\footnote Text one})"},
      {"text never collected", false, R"(x\F2)", R"(x{2}{\footnote })"},
      {"inside a footnote text: the mark alone", true, R"(a\F!b\F1)", R"(a{\f5 \u8270?}b1)"},
      // A reference that cannot be made stays as text: a literal backslash, then "F".
      {"reference ending the line", false, R"(end\F)", R"(end\\F)", {unexpectedEnd}},
      {"letter symbol",
       false,
       R"(\FA)",
       R"(\\FA)",
       {"E10: Unexpected footnote symbol A. Failed to insert footnote"}},
      {"the search goes on after a bad symbol",
       false,
       R"(\F\F1)",
       R"(\\F{\super\chftn}{\footnote {\super\chftn} Text one})",
       {"E10: Unexpected footnote symbol \\. Failed to insert footnote"}},
      {"literal backslash before F1", false, R"(C:\\F1LES)", R"(C:\\F1LES)"},
  };
  for (const Case& c : cases) {
    TestDocument t;
    t.doc.FootnoteText('1') = "Text one";
    t.doc.InFootnoteText = c.inFootnoteText;
    std::string line = c.line;
    ConvertFootnoteRefs(t.doc, line);
    EXPECT_EQ(line, c.expected) << c.label;
    EXPECT_EQ(t.reporter.Lines(), c.reports) << c.label;
  }
}

TEST(ConvertFootnoteRefs, InsertedTextIsSearchedAsWell) {
  TestDocument t;
  t.doc.FootnoteText('1') = R"(see \F2 and \FZ)";
  t.doc.FootnoteText('2') = "two";
  std::string line = R"(\F1.)";
  ConvertFootnoteRefs(t.doc, line);
  EXPECT_EQ(line, R"({\super\chftn}{\footnote {\super\chftn} see {2}{\footnote two} and \\FZ}.)");
  EXPECT_EQ(
      t.reporter.Lines(),
      std::vector<std::string>{"E10: Unexpected footnote symbol Z. Failed to insert footnote"});
}

TEST(ConvertFootnoteRefs, TextReferringBackToItselfGetsTheMarkOnly) {
  TestDocument t;
  t.doc.FootnoteText('1') = R"(one \F2)";
  t.doc.FootnoteText('2') = R"(two \F1)";
  std::string line = R"(\F1)";
  ConvertFootnoteRefs(t.doc, line);
  EXPECT_EQ(line, R"({\super\chftn}{\footnote {\super\chftn} one {2}{\footnote two 1}})");
}

// Body footnotes whose symbols run "1", "2", ... take the reader's automatic number, in the text
// and at the start of the note; from the first one out of that order on, all keep their marks.
// A note ends its last paragraph itself: the "\par" before its closing brace is left out.
TEST(ConvertFootnoteRefs, BodyFootnotesInOrderTakeTheAutomaticNumber) {
  struct Case {
    const char* label;
    std::vector<std::string> lines;  // converted one after the other in one document
    std::vector<std::string> expected;
    bool endnotes = false;
    const char* firstText = R"({\pard\qj\sa25 First.\par})";
  };
  const std::string n1 = R"({\super\chftn}{\footnote {\pard\qj\sa25 {\super\chftn} First.}})";
  const std::string n2 = R"({\super\chftn}{\footnote {\pard\qj {\super\chftn} Second.}})";
  const std::string k1 = R"({1}{\footnote {\pard\qj\sa25 First.}})";
  const std::string k2 = R"({2}{\footnote {\pard\qj Second.}})";
  const std::string k3 = R"({3}{\footnote plain})";
  const std::string kStar = R"({{\f5 \u8270?}}{\footnote })";
  const std::vector<Case> cases = {
      {"in order, across lines", {R"(see\F1 and)", R"(\F2.)"}, {"see" + n1 + " and", n2 + "."}},
      {"broken in the middle", {R"(\F1\F3\F2)"}, {n1 + k3 + k2}},
      {"out of order from the start", {R"(\F2\F1)"}, {k2 + k1}},
      {"a repeated symbol", {R"(\F1\F1\F2)"}, {n1 + k1 + k2}},
      {"a symbol that is no digit", {R"(\F1\F!\F2)"}, {n1 + kStar + k2}},
      {"a text without a paragraph, and an empty one",
       {R"(\F1\F2\F3)"},
       {R"({\super\chftn}{\footnote {\super\chftn} })" + n2 +
        R"({\super\chftn}{\footnote {\super\chftn} plain})"},
       false,
       ""},
      {"a reference in an inserted text is no body footnote",
       {R"(\F1\F2)"},
       {R"({\super\chftn}{\footnote {\pard {\super\chftn} see )" + k2 + R"(}})" + n2},
       false,
       R"({\pard see \F2\par})"},
      {"endnotes",
       {R"(\F1)"},
       {R"({\super\chftn}{\footnote\ftnalt {\pard\qj\sa25 {\super\chftn} First.}})"},
       true},
  };
  for (const Case& c : cases) {
    TestDocument t;
    t.doc.FootnoteText('1') = c.firstText;
    t.doc.FootnoteText('2') = R"({\pard\qj Second.\par})";
    t.doc.FootnoteText('3') = "plain";
    t.doc.Settings.EN = c.endnotes;
    std::vector<std::string> lines = c.lines;
    for (std::string& line : lines) ConvertFootnoteRefs(t.doc, line);
    EXPECT_EQ(lines, c.expected) << c.label;
    EXPECT_TRUE(t.reporter.entries.empty()) << c.label;
  }
}

// Written with the line, a long footnote text referred to many times stays out of the line;
// the page-number step finds the first command in the text written where a marker stands.
TEST(ConvertFootnoteRefs, TextsWrittenWithTheLineStayOutOfIt) {
  std::string references;
  for (int i = 0; i < 100; ++i) references += R"(x\F1)";
  for (const std::string& tail : {std::string(R"( \@)"), std::string()}) {
    std::string lines[2];
    for (const FootnoteInsertion insertion :
         {FootnoteInsertion::InLine, FootnoteInsertion::WhenWritten}) {
      TestDocument t;
      t.doc.FootnoteText('1') = std::string(10000, 'n') + R"( p\@ q\@)";
      std::string line = references + tail;
      ConvertFootnoteRefs(t.doc, line, insertion);
      ConvertPageNumber(t.doc, line);
      if (insertion == FootnoteInsertion::InLine) {
        lines[0] = line;
        continue;
      }
      EXPECT_LT(line.size(), 5000u);
      StringSink sink;
      WriteWithFootnotes(t.doc, line, sink);
      lines[1] = sink.Text();
    }
    EXPECT_TRUE(lines[0] == lines[1]) << "tail '" << tail << "'";
    EXPECT_EQ(lines[0].find(R"(\@)"), lines[0].find(R"( q\@)") + 2) << "the note's first one";
  }
}

// A run inside one of the same direction is set a third larger than the size in force around
// it (the line's and its groups' size words counted), so that readers place it further out.
TEST(ConvertScriptMarkers, RunsBecomeGroups) {
  const std::vector<std::tuple<std::string, int, std::string>> cases = {
      {R"(E=mc\>2\:)", 24, R"(E=mc{\super 2})"},
      {R"(H\<2\:O)", 24, R"(H{\sub 2}O)"},
      {R"(x\>a\:\<b\:)", 24, R"(x{\super a}{\sub b})"},
      {R"(\\<literal\\>)", 24, R"(\\<literal\\>)"},
      {R"(x\>1\>2\>3\:\:\:)", 24, R"(x{\super 1{\super\fs32 2{\super\fs42 3}}})"},
      {R"(a\<i\<j\:\:)", 18, R"(a{\sub i{\sub\fs24 j}})"},
      {R"(\fs32 a\<i\>j\:\:)", 24, R"(\fs32 a{\sub i{\super j}})"},
      {R"({\fs48 x}\>1{\fs18 y}\>2\:\:)", 24, R"({\fs48 x}{\super 1{\fs18 y}{\super\fs32 2}})"},
  };
  for (const auto& [in, halfPoints, out] : cases) {
    std::string line = in;
    ConvertScriptMarkers(line, halfPoints);
    EXPECT_EQ(line, out) << in;
  }
  // A hundred nested runs grow to the largest size readers take, and stay there.
  std::string deep;
  for (int i = 0; i < 100; ++i) deep += R"(\>x)";
  for (int i = 0; i < 100; ++i) deep += R"(\:)";
  ConvertScriptMarkers(deep, 24);
  EXPECT_NE(deep.find(R"({\super\fs3052 x{\super\fs3276 x{\super\fs3276 x)"), std::string::npos);
  EXPECT_EQ(deep.find(R"(\fs4069)"), std::string::npos);
}

TEST(ConvertPageNumber, FieldInThePageNumberFont) {
  struct Case {
    const char* label;
    FontKind kind;
    char pf;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"standard", STANDARD, '1', R"(Page {\f0\fs24\fs24\chpgn}  of \@)"},
      {"bold", BOLD, '1', R"(Page {\f0\fs24\b\fs24\chpgn}  of \@)"},
      {"small", SMALL, '1', R"(Page {\f0\fs24\fs18\chpgn}  of \@)"},
      {"script", SCRIPT, '1', R"(Page {\f7\fs48\fs24\chpgn}  of \@)"},
      {"empty slot", BOLD, '7', R"(Page {\f0\fs24\fs24\chpgn}  of \@)"},
      {"no slot character", BOLD, 'A', R"(Page {\f0\fs24\fs24\chpgn}  of \@)"},
  };
  for (const Case& c : cases) {
    TestDocument t{c.kind};
    t.doc.Settings.PF = c.pf;
    std::string line = R"(Page \@ of \@)";
    ConvertPageNumber(t.doc, line);
    EXPECT_EQ(line, c.expected) << c.label;
  }
  TestDocument t{STANDARD};
  std::string literal = R"(\\@home)";
  ConvertPageNumber(t.doc, literal);
  EXPECT_EQ(literal, R"(\\@home)");
}

TEST(RemoveSpaceEscapes, HardSpacesBecomeSpaces) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {R"(a\ b\ \ c)", "a b  c"},
      {R"(dir\\ x)", R"(dir\\ x)"},  // a literal backslash before a space stays
      {R"(\\\ x)", R"(\\ x)"},       // literal backslash, then a hard space
      {R"(\b \ x\)", R"(\b  x\)"},   // other commands and a trailing backslash pass
  };
  for (const auto& [in, out] : cases) {
    std::string line = in;
    RemoveSpaceEscapes(line);
    EXPECT_EQ(line, out) << in;
  }
}

}  // namespace
}  // namespace pomvex
