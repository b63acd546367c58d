// Anchoring of inheriting fonts: which text font a Greek or foreign run takes its style from,
// the blank widths that decide between the neighbours, and the switch put in front of the run.
#include "fonts/anchoring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "base/char_sets.h"
#include "base/text_util.h"
#include "fonts/font_switches.h"
#include "test_support.h"

namespace pomvex {
namespace {

using testing::TestDocument;

// Slots: 1 STANDARD (S), 2 BOLD (B), 3 GREEK (G), 4 FOREIGN, 5 ITALIC.
TestDocument Fonts() {
  return TestDocument{STANDARD, BOLD, GREEK, FOREIGN, ITALIC};
}

TEST(AnchorInheritingFonts, Lines) {
  struct Case {
    const char* label;
    std::string line;
    std::string result;
  };
  const std::vector<Case> cases = {
      {"the touching word's font is already in force", R"(\1x \2bold\3ab c)",
       R"(\1x \2bold\3ab c)"},
      {"the touching word is BOLD, the switch before STANDARD", R"(\1x \2bold\1\3ab c)",
       R"(\1x \2bold\1\2\3ab c)"},
      {"punctuation still touches", R"(\1\2bold,\3a)", R"(\1\2bold,\3a)"},
      {"a word split by Greek letters still touches", R"(\1x \2bo\3a\1\3b)",
       R"(\1x \2bo\3a\1\2\3b)"},
      {"no word on the left: the first text-font word ahead", R"(\1x \3ab\2word)",
       R"(\1x \2\3ab\2word)"},
      {"a plain space does not stop the search ahead", R"(\1x  \3ab \2word)",
       R"(\1x  \2\3ab \2word)"},
      {"a tab stops the search; before 1, after 6", R"(\1x \3ab\[\2word)", R"(\1x \3ab\[\2word)"},
      {"escaped space stops the search; after 2 beats before 3", R"(\1x   \3ab\ \2word)",
       R"(\1x   \2\3ab\ \2word)"},
      {"after 2 does not beat before 2", R"(\1x  \3ab\ \2word)", R"(\1x  \3ab\ \2word)"},
      {"no text font after and no word before", R"(\1x   \3ab )", R"(\1x   \3ab )"},
      {"a switch at position 1 is never anchored", R"(\3ab)", R"(\3ab)"},
      {"no blank before: as wide as the line with the switches inserted so far",
       R"(\1\2a\1\3\-\3 \ \ \[\[\[\[\1)", R"(\1\2a\1\2\3\-\1\3 \ \ \[\[\[\[\1)"},
      {"FOREIGN is anchored too", R"(\1\5it\1\4a)", R"(\1\5it\1\5\4a)"},
      {"each inheriting switch of the line", R"(\1\2a\1\3b\1 \5c\1\3d)",
       R"(\1\2a\1\2\3b\1 \5c\1\5\3d)"},
  };
  for (const Case& c : cases) {
    TestDocument t = Fonts();
    std::string line = c.line;
    AnchorInheritingFonts(t.doc.FontSlots, line);
    EXPECT_EQ(line, c.result) << c.label;
  }
}

TEST(AnchorInheritingFonts, BlankWidths) {
  TestDocument t = Fonts();
  const FontSlotTable& s = t.doc.FontSlots;
  struct Case {
    const char* label;
    std::string line;  // the switch measured from is the first "\3"
    int before;
    int after;
    FontKind textFontAfter;
  };
  const std::vector<Case> cases = {
      {"one space on each side", R"(x \3a b)", 1, 2, NONE},
      {"escaped spaces", R"(x\ \ \3a\ b)", 2, 2, NONE},
      {"tabs", R"(x\[\3a\[ b)", 6, 6, NONE},
      {"the last run before counts", R"(   x \3a)", 1, 8, NONE},
      {"switches leave a run open", R"(x \2 \3a \2 b)", 2, 3, BOLD},
      {"layout commands leave a run open", R"(x \- \3a)", 2, 8, NONE},
      {"script markers close a run", R"(x \> \3a)", 1, 8, NONE},
      {"other commands close a run", R"(x \Q \3a)", 1, 8, NONE},
      {"the first blank after is searched past letters and commands", R"(x \3a\Q\2b c)", 1, 2,
       BOLD},
      {"no blank: the line's length", R"(x\3a)", 4, 4, NONE},
  };
  for (const Case& c : cases) {
    const std::size_t p = c.line.find("\\3");
    EXPECT_EQ(BlanksBefore(s, c.line, p), c.before) << c.label;
    const BlanksAhead after = BlanksAfter(s, c.line, p);
    EXPECT_EQ(after.width, c.after) << c.label;
    EXPECT_EQ(after.textFont, c.textFontAfter) << c.label;
  }
}

TEST(AnchorInheritingFonts, WordsAndFontsAround) {
  TestDocument t = Fonts();
  const FontSlotTable& s = t.doc.FontSlots;
  EXPECT_EQ(TextFontOfWordAt(s, R"(\2word\3)", 6, STANDARD), BOLD);
  EXPECT_EQ(TextFontOfWordAt(s, R"(word\3)", 4, ITALIC), ITALIC) << "the start kind";
  EXPECT_EQ(TextFontOfWordAt(s, R"(\2word \3)", 7, STANDARD), NONE);
  EXPECT_EQ(TextFontOfWordAt(s, R"(\2word\-\3)", 8, STANDARD), NONE);
  EXPECT_EQ(TextFontOfWordAt(s, R"(\3ab\3)", 4, STANDARD), NONE) << "Greek letters";
  EXPECT_EQ(TextFontAhead(s, R"(\3ab\2c)", 0), BOLD);
  EXPECT_EQ(TextFontAhead(s, R"(\3ab\2 \1c)", 0), STANDARD) << "only letters count";
  EXPECT_EQ(TextFontAhead(s, R"(\3ab\:\2c)", 0), NONE) << "a marker stops the search";
  EXPECT_EQ(TextFontAhead(s, R"(\3ab\3c)", 0), NONE);
}

// The anchoring written out step by step, each question asked afresh on the changed line, to
// check the one-pass anchoring against.
namespace reference {

// The position (from 1) of the first font switch after position start; 0 for none.
int NextSwitch(const FontSlotTable& s, int start, std::string_view line) {
  const std::size_t at = NextFontSwitch(s, line, static_cast<std::size_t>(std::max(start, 0)));
  return at == kNoIndex ? 0 : static_cast<int>(at) + 1;
}

FontKind WordAt(const FontSlotTable& s, std::string_view line, int p, FontKind kind) {
  const int count = std::min(p, Length(line));
  bool inWord = false;
  FontKind wordKind = NONE;
  for (int i = 1; i <= count; ++i) {
    const char ch = line[i - 1];
    if (ch == '\\') {
      if (i < count && SegmentBreakers.Contains(line[i])) inWord = false;
      if (i < count && IsFontSwitch(s, line[i])) kind = s[line[i]];
      ++i;
    } else if (IsLetter(ch) && TextFonts.Contains(kind)) {
      inWord = true;
      wordKind = kind;
    } else if (ch == ' ') {
      inWord = false;
    }
  }
  return inWord ? wordKind : NONE;
}

FontKind Ahead(const FontSlotTable& s, std::string_view line, int p) {
  FontKind kind = NONE;
  for (int i = p + 1; i <= Length(line); ++i) {
    const char ch = line[i - 1];
    if (ch == '\\') {
      if (i < Length(line) && SegmentBreakers.Contains(line[i])) return NONE;
      if (i < Length(line) && IsFontSwitch(s, line[i])) kind = s[line[i]];
      ++i;
    } else if (IsLetter(ch) && TextFonts.Contains(kind)) {
      return kind;
    }
  }
  return NONE;
}

int Before(const FontSlotTable& s, std::string_view line, int p) {
  const int count = std::min(p, Length(line));
  int result = Length(line);
  bool open = true;
  const auto add = [&](int width) {
    if (open) open = false, result = 0;
    result += width;
  };
  for (int i = 1; i <= count; ++i) {
    const char ch = line[i - 1];
    if (ch != '\\') {
      ch == ' ' ? add(1) : void(open = true);
      continue;
    }
    if (i < count) {
      const char c = line[i];
      if (c == ' ') {
        add(1);
      } else if (c == '[') {
        add(6);
      } else if (c == ':' || c == '<' || c == '>') {
        open = true;
      } else if (!IsFontSwitch(s, c) && !SegmentBreakers.Contains(c)) {
        open = true;
      }
    }
    ++i;
  }
  return result;
}

BlanksAhead After(const FontSlotTable& s, std::string_view line, int p) {
  FontKind font = NONE;
  for (int q = NextSwitch(s, p, line); q > 0 && font == NONE; q = NextSwitch(s, q, line)) {
    if (TextFonts.Contains(s[line[q]])) font = s[line[q]];
  }
  const int n = Length(line);
  int result = n;
  int i = p;
  bool found = false;
  while (i < n && !found) {
    ++i;
    if (line[i - 1] == ' ') {
      found = true, result = 1;
    } else if (line[i - 1] == '\\') {
      if (i < n && line[i] == ' ') found = true, result = 1;
      if (i < n && line[i] == '[') found = true, result = 6;
      ++i;
    }
  }
  while (found && i <= n) {
    if (line[i - 1] == ' ') {
      result += 1, i += 1;
    } else if (line[i - 1] == '\\' && i < n &&
               (line[i] == ' ' || line[i] == '[' || IsFontSwitch(s, line[i]))) {
      result += line[i] == ' ' ? 1 : line[i] == '[' ? 6 : 0;
      i += 2;
    } else {
      break;
    }
  }
  return {result, font};
}

void Anchor(const FontSlotTable& s, std::string& line) {
  const FontKind first = FirstFontKind(s, line);
  FontKind previous = first;
  for (int q = NextSwitch(s, 1, line); q > 0; q = NextSwitch(s, q, line)) {
    const FontKind prevKind = previous;
    const FontKind kind = s[line[q]];
    previous = kind;
    if (!InheritingFonts.Contains(kind)) continue;
    const FontKind w = WordAt(s, line, q, first);
    const FontKind a = Ahead(s, line, q);
    FontKind t = NONE;
    if (w != NONE) {
      t = w == prevKind ? NONE : w;
    } else if (a != NONE) {
      t = a == prevKind ? NONE : a;
    } else if (After(s, line, q).width < Before(s, line, q)) {
      t = After(s, line, q).textFont;
    }
    if (t == NONE) continue;
    line.insert(static_cast<std::size_t>(q - 1), FontSwitchFor(s, t));
    q += 2;
  }
}

}  // namespace reference

TEST(AnchorInheritingFonts, OnePassMatchesAskingAfresh) {
  const std::vector<std::string> pieces = {"a",     "b",     " ",     ",",     R"(\1)", R"(\2)",
                                           R"(\3)", R"(\4)", R"(\5)", R"(\ )", R"(\[)", R"(\>)",
                                           R"(\:)", R"(\-)", R"(\Q)", "\\",    R"(\9)"};
  TestDocument t = Fonts();
  const FontSlotTable& s = t.doc.FontSlots;
  std::mt19937 random(19920101);
  for (int round = 0; round < 4000; ++round) {
    std::string line;
    const int count = static_cast<int>(random() % 14);
    for (int i = 0; i < count; ++i) line += pieces[random() % pieces.size()];
    for (int p = 1; p <= Length(line) + 1; ++p) {
      const auto q = static_cast<std::size_t>(p - 1);  // the index of position p
      ASSERT_EQ(TextFontOfWordAt(s, line, q, ITALIC), reference::WordAt(s, line, p, ITALIC))
          << line << " at " << p;
      ASSERT_EQ(TextFontAhead(s, line, q), reference::Ahead(s, line, p)) << line << " at " << p;
      ASSERT_EQ(BlanksBefore(s, line, q), reference::Before(s, line, p)) << line << " at " << p;
      const BlanksAhead got = BlanksAfter(s, line, q);
      const BlanksAhead want = reference::After(s, line, p);
      ASSERT_EQ(got.width, want.width) << line << " at " << p;
      ASSERT_EQ(got.textFont, want.textFont) << line << " at " << p;
    }
    std::string fast = line;
    std::string slow = line;
    AnchorInheritingFonts(s, fast);
    reference::Anchor(s, slow);
    ASSERT_EQ(fast, slow) << line;
  }
}

// Long lines with rare letters and no layout commands: what lies ahead of a switch is often
// further than a short look reaches, and then comes from the tables.
TEST(AnchorInheritingFonts, LongLinesMatchAskingAfresh) {
  const std::vector<std::string> pieces = {" ",     ",",     "1",     R"(\1)", R"(\2)", R"(\3)",
                                           R"(\4)", R"(\5)", R"(\Q)", "\\",    R"(\9)"};
  TestDocument t = Fonts();
  const FontSlotTable& s = t.doc.FontSlots;
  std::mt19937 random(20261207);
  for (int round = 0; round < 300; ++round) {
    std::string line;
    const int count = 40 + static_cast<int>(random() % 160);
    for (int i = 0; i < count; ++i) {
      line += random() % 40 == 0 ? std::string("a") : pieces[random() % pieces.size()];
    }
    std::string fast = line;
    std::string slow = line;
    AnchorInheritingFonts(s, fast);
    reference::Anchor(s, slow);
    ASSERT_EQ(fast, slow) << line;
  }
}

}  // namespace
}  // namespace pomvex
