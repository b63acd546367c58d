// Font switches: recognition through the font slots and the searches over a line.
#include "fonts/font_switches.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "test_support.h"

namespace pomvex {
namespace {

using testing::TestDocument;

TEST(FontSwitches, OnlyFilledSlotCharactersMakeSwitches) {
  TestDocument t{STANDARD, BOLD};  // slots 1, 2
  const FontSlotTable& s = t.doc.FontSlots;
  EXPECT_EQ(NextFontSwitch(s, "ab\\5cd", 0), kNoIndex) << "slot 5 is empty";
  EXPECT_EQ(FirstFontKind(s, "\\5"), NONE);
  t.Declare('%', BOLD);  // never a slot that can hold a font
  EXPECT_EQ(NextFontSwitch(s, "\\%x", 0), kNoIndex);
  EXPECT_EQ(NextFontSwitch(s, "abc\\", 0), kNoIndex) << "a trailing backslash is no switch";
  EXPECT_EQ(NextFontSwitch(s, "\\2", 0), 0u);
  EXPECT_EQ(NextFontSwitch(s, "\\2", 1), kNoIndex);
  // The second backslash of a pair starts a switch.
  EXPECT_EQ(NextFontSwitch(s, "\\\\1", 0), 1u);
}

TEST(FontSwitches, KindsAroundAPosition) {
  TestDocument t{STANDARD, BOLD, GREEK};
  const FontSlotTable& s = t.doc.FontSlots;
  const std::string line = "\\1ab\\2cd\\3ef";
  EXPECT_EQ(FirstFontKind(s, line), STANDARD);
  EXPECT_EQ(LastFontKind(s, ITALIC, line), GREEK);
  EXPECT_EQ(LastFontKind(s, ITALIC, "plain"), ITALIC);
}

TEST(FontSwitches, SwitchForAKindUsesTheHighestSlot) {
  TestDocument t;
  t.Declare('1', STANDARD);
  t.Declare('4', STANDARD);
  EXPECT_EQ(FontSwitchFor(t.doc.FontSlots, STANDARD), "\\4");
  EXPECT_EQ(FontSwitchFor(t.doc.FontSlots, GOTHIC), "\\1") << "no slot holds it";
  EXPECT_EQ(FontSwitchFor(t.doc.FontSlots, NONE), "");
}

TEST(FontSwitches, TheSearchMatchesALookAtEveryBackslash) {
  // Filled and empty slots, characters just outside the slot ranges, runs of backslashes and hard
  // spaces; lines longer than the sixteen places the search looks at at once.
  TestDocument t{STANDARD, BOLD, ITALIC};  // slots 1 to 3
  t.Declare('!', GREEK);
  const std::string alphabet = "\\\\ 12390!$% /:a";
  std::mt19937 random(1234);
  for (int round = 0; round < 5000; ++round) {
    std::string s(random() % 70, ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    const std::size_t from = random() % (s.size() + 2);
    std::size_t expected = kNoIndex;
    for (std::size_t i = from; i + 1 < s.size() && expected == kNoIndex; ++i) {
      if (s[i] == '\\' && t.doc.FontSlots[s[i + 1]] != NONE) expected = i;
    }
    ASSERT_EQ(NextFontSwitch(t.doc.FontSlots, s, from), expected) << s << " from " << from;
  }
}

}  // namespace
}  // namespace pomvex
