// Centring, right alignment and the hard spaces that follow an ordinary space.
#include "layout/alignment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pomvex {
namespace {

struct Case {
  const char* label;
  std::string line;
  std::string expected;
};

// Steps 6 and 7 as the pipeline runs them.
std::string Align(std::string line) {
  ConvertCentring(line);
  ConvertRightAlignment(line);
  return line;
}

TEST(Alignment, CentredAndRightAlignedLines) {
  const std::vector<Case> cases = {
      {"centred with its hard spaces", R"(\^\ \ Title\ \ \^)", R"(\qc Title)"},
      {"centred, no hard spaces", R"(\^Title\^ rest)", R"(\qc Title rest)"},
      {"marks take the same number of hard spaces", R"(\^\ \ \ Title\ \^)", R"(\qc \ \ Title)"},
      {"three marks: centred, then right-aligned", R"(\^a\^b\^)", R"(\qr \qc ab)"},
      {"text before the mark stays at the left, the mark and its blanks are a tab",
       R"(left\^\ \   right)", R"(left\tab right)"},
      {"a font's words are no text before the mark", R"(\f7\fs48 \ \^right)", R"(\qr \f7\fs48 \ right)"},
      {"hard spaces before the mark stay with the left part", R"(MA 152\ \ \^Lecture 9)",
       R"(MA 152\ \ \tab Lecture 9)"},
      {"right-aligned keeps a single space after hard ones", R"(\^\ x)", R"(\qr x)"},
      {"no mark", R"(plain \ line)", R"(plain \ line)"},
      {"literal backslashes make no marks", R"(a\\^b\\^c)", R"(a\\^b\\^c)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Align(c.line), c.expected) << c.label;
}

TEST(CollapseHardSpaces, ContinuationLines) {
  const std::vector<Case> cases = {
      {"space and three hard spaces", R"(word \ \ \ word)", "word word"},
      {"padding of hard spaces after a word stays", R"(a\ \ \ b)", R"(a\ \ \ b)"},
      {"hard space alone stays", R"(a\ b)", R"(a\ b)"},
      {"literal backslash, space, hard space", R"(a\\ \ b)", R"(a\\ b)"},
      {"centred line keeps its hard spaces", R"(\qc a \ \ b)", R"(\qc a \ \ b)"},
      {"right-aligned line keeps its hard spaces", R"(\qr a \ b)", R"(\qr a \ b)"},
      // Lines long enough to be searched sixteen places at a time.
      {"a table's padding stays, a space's hard spaces go",
       R"(Sample\ \ \ \ \ \ \ \ \ Material \ \ \ \ x)", R"(Sample\ \ \ \ \ \ \ \ \ Material x)"},
      {"literal backslash, space, hard spaces", R"(some words\\ \ \ b and some more text)",
       R"(some words\\ b and some more text)"},
      {"literal backslash, then padding", R"(some words\\\ \ \ b and some more text)",
       R"(some words\\\ \ \ b and some more text)"},
  };
  for (const Case& c : cases) {
    std::string line = c.line;
    CollapseHardSpaces(line, false);
    EXPECT_EQ(line, c.expected) << c.label;
  }
}

TEST(CollapseHardSpaces, FirstLineOfAParagraphKeepsItsIndentation) {
  const std::vector<Case> cases = {
      {"hard-space indentation", R"(\ \ \ Indented text \ \ x)", R"(\ \ \ Indented text x)"},
      {"space then hard spaces", R"( \ \ x \ y)", R"( \ \ x y)"},
      {"after the words of a script font", R"(\f7\fs48 \ \ Text \ x)", R"(\f7\fs48 \ \ Text x)"},
      {"after a small font", R"(\fs18 \ \ a)", R"(\fs18 \ \ a)"},
      {"stops at a one-column command", R"(\b \ \{x \ y)", R"(\b \ \{x y)"},
  };
  for (const Case& c : cases) {
    std::string line = c.line;
    CollapseHardSpaces(line, true);
    EXPECT_EQ(line, c.expected) << c.label;
  }
}

}  // namespace
}  // namespace pomvex
