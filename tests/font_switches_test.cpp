// Font switches: recognition through the font slots and the searches over a line.
#include "fonts/font_switches.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace pomvex {
namespace {

using testing::TestDocument;

TEST(FontSwitches, OnlyFilledSlotCharactersMakeSwitches) {
  TestDocument t{STANDARD, BOLD};  // slots 1, 2
  const FontSlotTable& s = t.doc.FontSlots;
  EXPECT_EQ(NextFontSwitch(s, 0, "ab\\5cd"), 0) << "slot 5 is empty";
  EXPECT_EQ(FirstFontKind(s, "\\5"), NONE);
  t.Declare('%', BOLD);  // never a slot that can hold a font
  EXPECT_EQ(NextFontSwitch(s, 0, "\\%x"), 0);
  EXPECT_EQ(NextFontSwitch(s, 0, "abc\\"), 0) << "a trailing backslash is no switch";
  EXPECT_EQ(NextFontSwitch(s, 0, "\\2"), 1);
  EXPECT_EQ(NextFontSwitch(s, 1, "\\2"), 0);
  // The second backslash of a pair starts a switch.
  EXPECT_EQ(NextFontSwitch(s, 0, "\\\\1"), 2);
}

TEST(FontSwitches, KindsAroundAPosition) {
  TestDocument t{STANDARD, BOLD, GREEK};
  const FontSlotTable& s = t.doc.FontSlots;
  const std::string line = "\\1ab\\2cd\\3ef";
  EXPECT_EQ(FirstFontKind(s, line), STANDARD);
  EXPECT_EQ(LastFontKind(s, ITALIC, line), GREEK);
  EXPECT_EQ(LastFontKind(s, ITALIC, "plain"), ITALIC);
  EXPECT_EQ(FontKindBefore(s, line, 1), NONE);
  EXPECT_EQ(FontKindBefore(s, line, 5), STANDARD);
  EXPECT_EQ(FontKindBefore(s, line, 6), BOLD);
  EXPECT_EQ(FindSwitchTo(s, GREEK, 0, line), 9);
  EXPECT_EQ(FindSwitchTo(s, GREEK, 9, line), 0);
}

TEST(FontSwitches, SwitchForAKindUsesTheHighestSlot) {
  TestDocument t;
  t.Declare('1', STANDARD);
  t.Declare('4', STANDARD);
  EXPECT_EQ(FontSwitchFor(t.doc.FontSlots, STANDARD), "\\4");
  EXPECT_EQ(FontSwitchFor(t.doc.FontSlots, GOTHIC), "\\1") << "no slot holds it";
  EXPECT_EQ(FontSwitchFor(t.doc.FontSlots, NONE), "");
}

}  // namespace
}  // namespace pomvex
