// The two steps of the markup pipeline itself, and the removal of commands that would pass for
// the converter's own markers.
#include "layout/pipeline.h"

#include <gtest/gtest.h>

#include "layout/line_codes.h"

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

}  // namespace
}  // namespace pomvex
