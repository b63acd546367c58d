// Special-font characters: the six tables, their reports, the Unicode escapes and the
// translation of a run of text written in one font.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "charmaps/char_table.h"
#include "charmaps/face_coverage.h"
#include "charmaps/special_chars.h"
#include "test_support.h"

namespace pomvex {
namespace {

using testing::RecordingReporter;
using testing::TestDocument;

TEST(SpecialChars, TranslatesThroughTheTableOfTheFont) {
  struct Case {
    const char* label;
    FontKind kind;
    unsigned char ch;
    std::string rtf;
    std::vector<std::string> reports;
  };
  const std::vector<Case> cases = {
      {"SYMBOL hex digits are upper case", SYMBOL, 'C', R"(\'A9)", {}},
      {"FOREIGN hex digits are lower case", FOREIGN, '!', R"(\'a1)", {}},
      {"SYMBOL equals is a minus too", SYMBOL, '=', R"(\u8722?)", {}},
      {"LINEDRAW light shade", LINEDRAW, '(', R"(\u9617?)", {}},
      {"LINEDRAW [ is a placeholder", LINEDRAW, '[', R"(\L)", {}},
      {"LINEDRAW ] is a placeholder", LINEDRAW, ']', R"(\E)", {}},
      {"LINEDRAW backslash, which the face lacks", LINEDRAW, '\\', R"({\f5 \u9586?})", {}},
      {"FOREIGN kept double quote", FOREIGN, '"', "\"", {}},
      {"FOREIGN backslash is a code-page character", FOREIGN, '\\', R"(\'9a)", {}},
      {"GREEK alpha", GREEK, 'a', R"(\u945?)", {}},
      {"GREEK keeps digits silently", GREEK, '7', "7", {}},
      {"GREEK V has no letter", GREEK, 'V', "V", {"E3: Unknown Character 'V' in GREEK font"}},
      {"GREEK keeps high codes silently", GREEK, 200, "\xC8", {}},
      {"SYMBOL high code", SYMBOL, 200, "\xC8", {"E3: Unknown Character '\xC8' in SYMBOL font"}},
      {"MATHI a has no equivalent",
       MATHI,
       'a',
       "a",
       {"E3: No Unicode character equivalent to 'a' in MATHI font"}},
      {"MATHII f is two escapes", MATHII, 'f', R"({\f5 \u9124?}{\f5 \u9121?})", {}},
      {"MATHII A goes through font 5", MATHII, 'A', R"(\f5\u-10187?\u-8904?\f0 )", {}},
      {"MATHII C is in the letterlike block", MATHII, 'C', R"({\f5 \u8450?})", {}},
      {"MATHI element of", MATHI, 'e', R"({\f5 \u8712?})", {}},
      {"MATHII 5 has no equivalent",
       MATHII,
       '5',
       "5",
       {"E3: No Unicode character equivalent to '5' in MATHII font"}},
      {"SYMBOL backslash is unknown and doubled",
       SYMBOL,
       '\\',
       R"(\\)",
       {R"(E3: Unknown Character '\' in SYMBOL font)"}},
      {"GREEK backslash is kept and doubled", GREEK, '\\', R"(\\)", {}},
      {"STANDARD backslash is doubled", STANDARD, '\\', R"(\\)", {}},
  };
  for (const Case& c : cases) {
    RecordingReporter reporter;
    EXPECT_EQ(TranslateSpecialChar(reporter, c.ch, c.kind), c.rtf) << c.label;
    EXPECT_EQ(reporter.Lines(), c.reports) << c.label;
  }
}

// The printable characters each table reports, as the font's documentation lists them; every
// other printable character must have a translation.
TEST(SpecialChars, EachTableReportsExactlyItsUnknownCharacters) {
  struct Case {
    FontKind kind;
    std::string unknown;
    std::string noEquivalent;
  };
  const std::vector<Case> cases = {
      {SYMBOL, R"(!"#%&()*+,/0456789:;<?@ABDEFGHIJKLMNOQUVWXZ[\]^_abdeghijklmnopqrsuvwxyz{|}~)",
       ""},
      {FOREIGN, "&)*+/1678=B_", ""},
      {GREEK, "VY", ""},
      {LINEDRAW, R"("$%&':;^{})", ""},
      {MATHI, R"(&/?FGIJKMORUVXYZ[\]gjlyz{})", "a"},
      {MATHII, R"(%',.:;<>[]^`dhlmwz~)", "+56="},
  };
  for (const Case& c : cases) {
    std::string unknown;
    std::string noEquivalent;
    for (int code = 33; code <= 126; ++code) {
      RecordingReporter reporter;
      TranslateSpecialChar(reporter, static_cast<unsigned char>(code), c.kind);
      if (reporter.entries.empty()) continue;
      ASSERT_EQ(reporter.entries.size(), 1u);
      const std::string& text = reporter.entries[0].text;
      (text.starts_with("Unknown") ? unknown : noEquivalent) += static_cast<char>(code);
    }
    EXPECT_EQ(unknown, c.unknown) << "font kind " << int{c.kind};
    EXPECT_EQ(noEquivalent, c.noEquivalent) << "font kind " << int{c.kind};
  }
}

TEST(SpecialChars, UnicodeEscapesAreSigned16BitNumbers) {
  const auto escape = [](char32_t code) {
    std::string out;
    charmaps::AppendUnicodeEscape(out, code);
    return out;
  };
  EXPECT_EQ(escape(945), R"(\u945?)");
  EXPECT_EQ(escape(32767), R"(\u32767?)");
  EXPECT_EQ(escape(32768), R"(\u-32768?)");
  EXPECT_EQ(escape(65535), R"(\u-1?)");
  EXPECT_EQ(escape(0x10000), R"(\u-10240?\u-9216?)");
  EXPECT_EQ(escape(120120), R"(\u-10187?\u-8904?)");
}

TEST(TranslateFontRun, TranslatesBetweenStartAndStop) {
  struct Case {
    const char* label;
    FontKind kind;
    std::string line;
    int start;
    int stop;
    std::string result;
    int next;
  };
  const std::vector<Case> cases = {
      {"blanks are not translated", GREEK, "abc def", 1, -1,
       R"(\u945?\u946?\u967? \u948?\u949?{\f5 \u981?})", 0},
      {"the middle of a line", GREEK, "xyz", 2, 2, R"(x{\f5 \u977?}z)", 14},
      {"footnote reference and its symbol pass", GREEK, R"(a\F1b)", 1, -1, R"(\u945?\F1\u946?)", 0},
      {"tab mark with an escaped backslash as argument", GREEK, R"(\]\\a)", 1, -1, R"(\]\\\u945?)",
       0},
      {"other commands pass", GREEK, R"(a\Gb)", 1, -1, R"(\u945?\G\u946?)", 0},
      {"escaped backslash is the font's own", LINEDRAW, R"(-\\-)", 1, -1,
       R"(\u9472?{\f5 \u9586?}\u9472?)", 0},
      {"placeholders", LINEDRAW, "[-]", 1, -1, R"(\L\u9472?\E)", 0},
      {"a backslash ending the run stays", GREEK, R"(a\)", 1, -1, R"(\u945?\)", 0},
      {"a command ending the run has no argument", GREEK, R"(a\F1b)", 1, 3, R"(\u945?\F1b)", 9},
      {"empty run", GREEK, "ab", 2, 1, "ab", 2},
      {"text fonts stay as they are", BOLD, "abc", 1, 2, "abc", 3},
      {"text fonts to the end", BOLD, "abc", 1, -1, "abc", 0},
      {"a command nothing converts is text", BOLD, R"(a\Qb\Ac)", 1, 6, R"(a\\Qb\\Ac)", 9},
      {"... in a special font too", GREEK, R"(a\hb)", 1, -1, R"(\u945?\\h\u946?)", 0},
      {"... but not a brace", BOLD, R"(\{x\})", 1, -1, R"(\{x\})", 0},
  };
  for (const Case& c : cases) {
    TestDocument t;
    std::string line = c.line;
    EXPECT_EQ(TranslateFontRun(t.doc, line, c.kind, c.start, c.stop), c.next) << c.label;
    EXPECT_EQ(line, c.result) << c.label;
    EXPECT_TRUE(t.reporter.entries.empty()) << c.label;
  }
}

TEST(TranslateFontRun, ReportsUnknownCharactersAndGoesOn) {
  TestDocument t;
  std::string line = R"(C\\C)";
  EXPECT_EQ(TranslateFontRun(t.doc, line, SYMBOL, 1, -1), 0);
  EXPECT_EQ(line, R"(\'A9\\\'A9)");
  EXPECT_EQ(t.reporter.Lines(),
            std::vector<std::string>{R"(E3: Unknown Character '\' in SYMBOL font)"});
}

// The table of the document face's characters is the font's own character set: read again
// from Liberation Serif 1.x (Debian's fonts-liberation) where it is installed.
TEST(DocumentFace, HasTheCharactersOfLiberationSerif) {
  std::string charset;
#ifndef _WIN32
  if (FILE* p = popen("fc-query -f '%{charset}' /usr/share/fonts/truetype/liberation/"
                      "LiberationSerif-Regular.ttf 2>/dev/null",
                      "r")) {
    for (int c; (c = fgetc(p)) != EOF;) charset += static_cast<char>(c);
    pclose(p);
  }
#endif
  std::vector<bool> inFont(0x20000, false);
  std::istringstream ranges(charset);
  for (unsigned long first, last; ranges >> std::hex >> first;) {
    last = first;
    if (ranges.peek() == '-') ranges.ignore() >> last;
    for (unsigned long c = first; c <= last && c < inFont.size(); ++c) inFont[c] = true;
  }
  if (!inFont['A']) GTEST_SKIP() << "Liberation Serif 1.x is not installed";
  for (char32_t c = 0; c < inFont.size(); ++c)
    ASSERT_EQ(charmaps::DocumentFaceHas(c), inFont[c]) << "U+" << std::hex << unsigned{c};
}

}  // namespace
}  // namespace pomvex
