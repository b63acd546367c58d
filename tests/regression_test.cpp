// Regression cases for faults that fuzzing found: each names the behaviour it guards, checks the
// step that was at fault, and converts the smallest document that showed it, whose RTF must be
// one balanced group.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "conversion/line_group_reader.h"
#include "document/convert_document.h"
#include "fonts/character_format.h"
#include "layout/line_codes.h"
#include "layout/script_merge.h"
#include "layout/tabs.h"
#include "test_support.h"

namespace pomvex {
namespace {

using testing::RecordingReporter;
using testing::TestDocument;

struct Converted {
  testing::ConvertedDocument doc;
  std::string body;
  bool balanced = false;
};

Converted Convert(const std::string& chi) {
  Converted c{testing::ConvertInMemory(chi), {}, false};
  EXPECT_TRUE(c.doc.isDocument);
  c.body = c.doc.body;
  c.balanced = IsOneGroup(c.doc.rtf);
  return c;
}

// A main line that ends in a lone backslash, with a script run beyond its end: the run's marker
// used to pair with the backslash ("\\>" is a literal backslash and ">"), so its closing "\:"
// became a brace that closed a group it never opened.
TEST(Regression, ScriptRunAfterALoneBackslashKeepsItsMarker) {
  TestDocument t;
  EXPECT_EQ(testing::Merged(t.doc, "\\>", "   x", "ab\\"), "ab\\\\\\>x\\:");
  // An even run of backslashes is whole literal ones: nothing is added.
  EXPECT_EQ(testing::Merged(t.doc, "\\>", "   x", "a\\\\"), "a\\\\\\>x\\:");

  // A superscript line holding a line feed and the paragraph end, over a lone backslash.
  const Converted c = Convert("\\1cw\r\\+\n\\,\r\\");
  EXPECT_TRUE(c.balanced) << c.body;
  EXPECT_EQ(c.body, "{\\pard\\qj\\sb25 \\\\{\\super \n}\\par}\r\n}");
}

// A font switch found at the second backslash of a literal one ("\\" and a slot character)
// used to leave the first backslash alone in front of what followed, where it paired with the
// next command or marker.
TEST(Regression, SwitchInsideALiteralBackslashLeavesALiteralBackslash) {
  TestDocument t{STANDARD, BOLD};
  std::string line = R"(\1a\\2b)";
  ConvertFontSwitches(t.doc, line, true);
  EXPECT_EQ(line, R"(a\\\b b)");
  line = R"(\1a\\1b)";  // a switch to the format in force writes no codes
  ConvertFontSwitches(t.doc, line, true);
  EXPECT_EQ(line, R"(a\\b)");

  const Converted super =
      Convert("\\1cw\r\\U1STANDARD\r\\+  \\\\1\r1");  // "\\1" in a superscript line
  EXPECT_TRUE(super.balanced) << super.body;
  // The run lies after the end of the main line: it goes directly after the "1", before the
  // joining space.
  EXPECT_EQ(super.body, "{\\pard\\qj\\sb25 1{\\super \\\\} \r\n\\par}}");
  const Converted greek = Convert("\\1cw\r\\U4GREEK\r\\\r\\-\\\\4");
  EXPECT_TRUE(greek.balanced) << greek.body;
  // The run takes the hard space that ends the line: the space stays after it.
  EXPECT_EQ(greek.body, "{\\pard\\qj\\sa25 {\\sub \\\\} \r\n\\par}}");
}

// The character after a right-tab mark chooses the alignment and goes with the mark; when a
// command starts there, taking its backslash used to pair its partner with the next text (a
// script marker turned into text and its end into a stray brace).
TEST(Regression, RightTabKeepsTheCommandAfterIt) {
  TestDocument t{STANDARD};
  std::string line = R"(\1x\]\1y)";
  FindTabStops(t.doc, line);
  EXPECT_EQ(line, R"(\1\Rx\X\1y)");
  EXPECT_EQ(t.doc.TabColumns[1], 2);
  line = R"(\1x\]ay)";  // a plain character still goes
  FindTabStops(t.doc, line);
  EXPECT_EQ(line, R"(\1\Rx\Xy)");

  // A right tab, a lone backslash that the joining space makes a hard space, and a subscript.
  const Converted c = Convert("\\1cw\rx\\]\\\r\\- 1");
  EXPECT_TRUE(c.balanced) << c.body;
  EXPECT_EQ(c.body, "{\\pard\\qj\\sa25\\tqr\\tx240 \\tab x{\\sub 1} \r\n\\par}}");
}

// A backslash before a form feed pairs with nothing; taking out the form feed (the page break)
// used to join it to the next character, and a ">" after it became a script marker whose group
// never closed.
TEST(Regression, FormFeedAfterABackslashLeavesALiteralBackslash) {
  LineGroup group;
  group.Lines[0] = "x\\\f>";
  group.mainIndex = group.lastIndex = 0;
  const LineControls controls = StripLineControls(group);
  EXPECT_TRUE(controls.pageBreak);
  EXPECT_EQ(group.Lines[0], "x\\\\>");
  group.Lines[0] = "\\\\\f{";  // a literal backslash before it stays one
  StripLineControls(group);
  EXPECT_EQ(group.Lines[0], "\\\\{");

  const Converted c = Convert("\\1cw\r\\\f>");
  EXPECT_TRUE(c.balanced) << c.body;
  EXPECT_EQ(c.body, "{\\pard\\qj \\\\>\r\n\\par}}") << "no page break after the last text";
}

// Each slot of the line group kept the buffer of the longest line it ever held, so long lines
// met at different slots of different groups added up, far beyond the largest group.
TEST(Regression, LongLinesOfEarlierGroupsAreGivenBack) {
  const std::string longLine(200000, 'x');
  // A group with its long main line in slot 1; then a group that ends in slot 0 (a page end),
  // then one whose main line is read into slot 0 again.
  std::istringstream stream("\\+ a\r" + longLine + "\rshort\f\r" + longLine + "\rend\r");
  TextInput in(stream);
  RecordingReporter reporter;
  auto group = std::make_unique<LineGroup>();
  bool linePending = false;
  ReadLineGroup(reporter, in, *group, linePending);
  ASSERT_EQ(group->mainIndex, 1);
  EXPECT_EQ(group->Lines[1], longLine);
  group->Lines[0].swap(group->Lines[group->lastIndex + 1]);  // as the caller moves it
  ReadLineGroup(reporter, in, *group, linePending);
  ASSERT_EQ(group->lastIndex, 0);
  EXPECT_EQ(group->Lines[0], "short\f");
  EXPECT_LT(group->Lines[1].capacity(), longLine.size()) << "slot 1 is beyond this group";
  ReadLineGroup(reporter, in, *group, linePending);  // the long line again, in slot 0
  ASSERT_TRUE(linePending);
  group->Lines[0].swap(group->Lines[group->lastIndex + 1]);
  ReadLineGroup(reporter, in, *group, linePending);
  EXPECT_EQ(group->Lines[0], "end");
  EXPECT_LT(group->Lines[0].capacity() + group->Lines[1].capacity(), longLine.size());
}

}  // namespace
}  // namespace pomvex
