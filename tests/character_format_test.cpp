// Character formatting: the face, style and size words written for font switches, the format
// carried from line to line and the comparison with the format where a script run opened.
#include "fonts/character_format.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/text_util.h"
#include "charmaps/special_chars.h"
#include "fonts/anchoring.h"
#include "fonts/font_switches.h"
#include "test_support.h"

namespace pomvex {
namespace {

using testing::TestDocument;

void SetFormatOf(DocumentState& doc, FontKind kind) {
  doc.CurFace = FaceOf(kind);
  doc.CurStyle = StyleOf(kind);
  doc.CurSize = SizeOf(kind);
}

// The codes a switch gets when the output is in the format of one font and the line switches
// to another (or to a group of two).
TEST(ConvertFontSwitches, WorkedTransitions) {
  struct Case {
    FontKind from;
    std::vector<FontKind> to;
    std::string codes;
  };
  const std::vector<Case> cases = {
      {STANDARD, {BOLD}, R"(\b )"},
      {BOLD, {ITALIC}, R"(\b0\i )"},
      {ITALIC, {SCRIPT}, R"(\f7\fs48\i0 )"},
      {SCRIPT, {STANDARD}, R"(\f0\fs24 )"},
      {STANDARD, {ORATOR}, R"(\fs32 )"},
      {ORATOR, {SMALL}, R"(\fs18 )"},
      {ORATOR, {SCRIPT}, R"(\f7\fs48\fs24 )"},
      {UNDERLIN, {BOLD}, R"(\ulnone\b )"},
      {BOLD, {UNDERLIN}, R"(\b0\ulw )"},
      {STANDARD, {GOTHIC}, R"(\f8\fs24 )"},
      {BOLD, {GREEK}, ""},
      {SCRIPT, {GREEK}, R"(\f0\fs24 )"},
      {STANDARD, {BOLD, GREEK}, R"(\b )"},
      {STANDARD, {GREEK, BOLD}, R"(\b )"},
  };
  for (const Case& c : cases) {
    TestDocument t;
    t.Declare('1', c.from);
    std::string line = R"(\1.)";
    char slot = '2';
    for (FontKind k : c.to) {
      t.Declare(slot, k);
      line += std::string{'\\', slot++};
    }
    line += ".";
    SetFormatOf(t.doc, c.from);
    ConvertFontSwitches(t.doc, line, false);
    EXPECT_EQ(line, "." + c.codes + ".") << int{c.from} << " to " << int{c.to.back()};
  }
}

TEST(ConvertFontSwitches, CodesForAnUnknownPreviousState) {
  EXPECT_EQ(FaceCodes(3, 0), R"(\f0\fs24)");
  EXPECT_EQ(StyleCodes(4, 0), "");
  EXPECT_EQ(StyleCodes(4, 3), R"(\ulw)");
  EXPECT_EQ(SizeCodes(3, 1), R"(\fs24)");
  EXPECT_EQ(StyleCodes(3, 3), "");
  EXPECT_THROW(FaceCodes(0, 3), ConversionAbandoned);
  EXPECT_THROW(HalfPointsOf(-1), ConversionAbandoned);
}

TEST(ConvertFontSwitches, Lines) {
  struct Case {
    const char* label;
    bool startsParagraph;
    FontKind before;  // the format in force at the end of the previous line
    std::string line;
    std::string result;
  };
  // Slots: 1 STANDARD, 2 BOLD, 3 GREEK, 4 ITALIC, 5 SCRIPT, 6 ORATOR.
  const std::vector<Case> cases = {
      {"no switch: nothing is translated", false, STANDARD, "abc", "abc"},
      {"a switch to the format in force vanishes", false, BOLD, R"(\2a\2b)", "ab"},
      {"a new paragraph starts from the default", true, BOLD, R"(\1a\2b)", R"(a\b b)"},
      {"the format carries over from the line before", false, BOLD, R"(\1a\2b)", R"(\b0 a\b b)"},
      {"adjacent switches are one group", true, STANDARD, R"(a\2\4b)", R"(a\i b)"},
      {"one character between makes two groups", true, STANDARD, R"(a\2x\4b)", R"(a\b x\b0\i b)"},
      {"text before the first switch is in its font", true, STANDARD, R"(ab\3c\1d)",
       R"(\u945?\u946?\u967?d)"},
      {"special text after the switch", false, BOLD, R"(\2a\3ab c)", R"(a\u945?\u946? \u967?)"},
      {"a slot without a font is no switch, and switches to nothing", true, STANDARD,
       R"(\1a\9b)", R"(ab)"},
      {"after a script run, compare with where it opened", false, BOLD, R"(\2a\>\4x\:\2b)",
       R"(a\>\b0\i x\:b)"},
      {"the format where a run opens is chosen before it moves", true, STANDARD,
       R"(\2a\>x\:\2\1\>y\:\1c)", R"(\b a\>x\:\b0 \>y\:c)"},
      {"a switch before a run sets where it opens", false, STANDARD, R"(\1a\2\>x\:\4y)",
       R"(a\b \>x\:\b0\i y)"},
      {"a switch between two runs is compared with the first, opens the second", false, STANDARD,
       R"(\1a\>x\:\2y\<z\:\1w)", R"(a\>x\:\b y\<z\:\b0 w)"},
      {"ORATOR then SCRIPT", true, STANDARD, R"(\6a\5b)", R"(\fs32 a\f7\fs48\fs24 b)"},
      {"STANDARD then SCRIPT", true, STANDARD, R"(\1a\5b)", R"(a\f7\fs48 b)"},
  };
  for (const Case& c : cases) {
    TestDocument t{STANDARD, BOLD, GREEK, ITALIC, SCRIPT, ORATOR};
    SetFormatOf(t.doc, c.before);
    std::string line = c.line;
    ConvertFontSwitches(t.doc, line, c.startsParagraph);
    EXPECT_EQ(line, c.result) << c.label;
  }
}

TEST(ConvertFontSwitches, CarriesTheFormatToTheNextLine) {
  TestDocument t{STANDARD, BOLD, GREEK, ITALIC, SCRIPT, ORATOR};
  std::string line = R"(\1a\5b\3c)";
  ConvertFontSwitches(t.doc, line, true);
  EXPECT_EQ(line, R"(a\f7\fs48 b\f0\fs24 \u967?)");
  // The face is back to 0, the size of SCRIPT (1) stays: GREEK inherits it.
  EXPECT_EQ(t.doc.CurFace, 0);
  EXPECT_EQ(t.doc.CurStyle, 0);
  EXPECT_EQ(t.doc.CurSize, 1);
  line = R"(\3d\6e)";
  ConvertFontSwitches(t.doc, line, false);
  EXPECT_EQ(line, R"(\u948?\fs32 e)");
}

TEST(FollowsScriptEnd, OnlyAfterTheCommand) {
  EXPECT_FALSE(FollowsScriptEnd(R"(ab\\:)")) << "after a literal backslash";
  EXPECT_TRUE(FollowsScriptEnd(R"(ab\\\:)"));
  EXPECT_TRUE(FollowsScriptEnd(R"(ab\:)"));
  EXPECT_FALSE(FollowsScriptEnd(R"(ab\)"));
  EXPECT_FALSE(FollowsScriptEnd(":"));
}

// The position (from 1) of the first font switch after position start; 0 for none.
int NextSwitch(const FontSlotTable& s, int start, std::string_view line) {
  const std::size_t at = NextFontSwitch(s, line, static_cast<std::size_t>(std::max(start, 0)));
  return at == kNoIndex ? 0 : static_cast<int>(at) + 1;
}

// From position pos on, a script run opens before a "\:" or a font switch comes.
bool ScriptOpensAhead(const FontSlotTable& s, int pos, std::string_view line) {
  const std::size_t from = static_cast<std::size_t>(std::max(pos, 1) - 1);
  for (std::size_t i = from; i + 1 < line.size(); ++i) {
    if (line[i] != '\\') continue;
    if (IsFontSwitch(s, line[i + 1])) return false;
    // A marker is a command: the run of backslashes before it, from pos on, is odd.
    if (!BeginsCommand(line, i, from)) continue;
    if (line[i + 1] == ':') return false;
    if (line[i + 1] == '>' || line[i + 1] == '<') return true;
  }
  return false;
}

// The steps written out as a rewrite of the whole line for each switch group, to check the
// one-pass conversion against.
void ConvertBySplicing(DocumentState& doc, std::string& line, bool startsParagraph) {
  const FontSlotTable& s = doc.FontSlots;
  if (startsParagraph) doc.CurFace = 0, doc.CurStyle = 0, doc.CurSize = 1;
  int baseFace = doc.CurFace, baseStyle = doc.CurStyle, baseSize = doc.CurSize;
  FontKind kind = FirstFontKind(s, line);
  int pos = 1;
  while (true) {
    const int end = NextSwitch(s, pos - 1, line) - 1;
    pos = testing::TranslateFontRun(doc, line, kind, pos, end);
    if (pos == 0) return;
    // A backslash left alone in front of the switch is made a literal one.
    if (EndsInLoneBackslash(std::string_view(line).substr(0, pos - 1))) {
      line.insert(static_cast<std::size_t>(pos - 1), 1, '\\');
      ++pos;
    }
    int face = 0, style = doc.CurStyle, size = doc.CurSize, last = pos;
    while (true) {
      kind = s[line[last]];
      face = FaceOf(kind);
      if (!InheritingFonts.Contains(kind)) style = StyleOf(kind), size = SizeOf(kind);
      if (NextSwitch(s, last + 1, line) != last + 2) break;
      last += 2;
    }
    const bool afterRun = FollowsScriptEnd(std::string_view(line).substr(0, pos - 1));
    std::string codes = afterRun ? FaceCodes(baseFace, face) + StyleCodes(baseStyle, style) +
                                       SizeCodes(baseSize, size)
                                 : FaceCodes(doc.CurFace, face) + StyleCodes(doc.CurStyle, style) +
                                       SizeCodes(doc.CurSize, size);
    if (ScriptOpensAhead(s, last + 2, line)) baseFace = face, baseStyle = style, baseSize = size;
    if (!codes.empty()) codes += ' ';
    line = line.substr(0, pos - 1) + codes + line.substr(last + 1);
    doc.CurFace = face, doc.CurStyle = style, doc.CurSize = size;
    pos += static_cast<int>(codes.size());
  }
}

TEST(ConvertFontSwitches, OnePassMatchesRewritingTheLine) {
  const std::vector<std::string> pieces = {
      "a",     "b",     " ",     "7",     R"(\1)", R"(\2)", R"(\3)", R"(\4)", R"(\5)", R"(\6)",
      R"(\7)", R"(\>)", R"(\<)", R"(\:)", R"(\F)", R"(\])", "\\",    "[",     R"(\9)"};
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) line += pieces[random() % pieces.size()];
    const bool startsParagraph = random() % 2 == 0;
    const auto before = static_cast<FontKind>(random() % 14);
    TestDocument fast{STANDARD, BOLD, GREEK, ITALIC, SCRIPT, ORATOR, LINEDRAW};
    TestDocument slow{STANDARD, BOLD, GREEK, ITALIC, SCRIPT, ORATOR, LINEDRAW};
    SetFormatOf(fast.doc, before);
    SetFormatOf(slow.doc, before);
    std::string fastLine = line;
    std::string slowLine = line;
    ConvertFontSwitches(fast.doc, fastLine, startsParagraph);
    ConvertBySplicing(slow.doc, slowLine, startsParagraph);
    ASSERT_EQ(fastLine, slowLine) << line;
    ASSERT_EQ(fast.reporter.Lines(), slow.reporter.Lines()) << line;
    ASSERT_EQ(fast.doc.CurFace, slow.doc.CurFace) << line;
    ASSERT_EQ(fast.doc.CurStyle, slow.doc.CurStyle) << line;
    ASSERT_EQ(fast.doc.CurSize, slow.doc.CurSize) << line;
  }
}

// Steps 3 and 4 in one pass give what the two steps give in turn, also where a switch is put in
// after a literal backslash or in front of the line's first switch.
TEST(AnchorAndConvertFontSwitches, OnePassMatchesTheStepsInTurn) {
  const std::vector<std::string> pieces = {
      "a",     "b",     " ",     "7",     ",",     R"(\1)", R"(\2)", R"(\3)", R"(\4)", R"(\5)",
      R"(\6)", R"(\>)", R"(\<)", R"(\:)", R"(\ )", R"(\[)", R"(\Q)", "\\",    R"(\9)"};
  std::mt19937 random(20261207);
  for (int round = 0; round < 4000; ++round) {
    std::string line;
    const int count = static_cast<int>(random() % 16);
    for (int i = 0; i < count; ++i) line += pieces[random() % pieces.size()];
    const bool startsParagraph = random() % 2 == 0;
    const auto before = static_cast<FontKind>(random() % 14);
    // Slots: 1 STANDARD, 2 BOLD, 3 GREEK, 4 FOREIGN, 5 ITALIC, 6 SCRIPT.
    TestDocument fused{STANDARD, BOLD, GREEK, FOREIGN, ITALIC, SCRIPT};
    TestDocument steps{STANDARD, BOLD, GREEK, FOREIGN, ITALIC, SCRIPT};
    SetFormatOf(fused.doc, before);
    SetFormatOf(steps.doc, before);
    std::string fusedLine = line;
    std::string stepsLine = line;
    AnchorAndConvertFontSwitches(fused.doc, fusedLine, startsParagraph);
    AnchorInheritingFonts(steps.doc.FontSlots, stepsLine);
    ConvertFontSwitches(steps.doc, stepsLine, startsParagraph);
    ASSERT_EQ(fusedLine, stepsLine) << line;
    ASSERT_EQ(fused.reporter.Lines(), steps.reporter.Lines()) << line;
    ASSERT_EQ(fused.doc.CurFace, steps.doc.CurFace) << line;
    ASSERT_EQ(fused.doc.CurStyle, steps.doc.CurStyle) << line;
    ASSERT_EQ(fused.doc.CurSize, steps.doc.CurSize) << line;
  }
}

}  // namespace
}  // namespace pomvex
