// The document header: version line, font declarations and page settings; and the prolog that
// the settings feed.
#include "document/header_reader.h"

#include <gtest/gtest.h>

#include <sstream>

#include "conversion/rtf_prolog.h"
#include "test_support.h"

namespace pomvex {
namespace {

using testing::TestDocument;
using V = std::vector<std::string>;

struct HeaderReading {
  TestDocument t;
  std::istringstream stream;
  TextInput in{stream};
  std::string line;
  bool isDocument = false;
  explicit HeaderReading(const std::string& bytes) : stream(bytes) {
    ResetDocumentState(t.doc);
    isDocument = ReadDocumentHeader(t.doc, in, line);
  }
};

TEST(ReadDocumentHeader, RejectsEmptyAndOtherVersions) {
  HeaderReading empty("");
  EXPECT_FALSE(empty.isDocument);
  EXPECT_EQ(empty.t.reporter.Lines(), V{"E9: Unexpected end of File"});
  HeaderReading other("\\1CW old\r\ntext\r\n");
  EXPECT_FALSE(other.isDocument);
  EXPECT_EQ(other.line, "");
  EXPECT_EQ(other.t.reporter.Lines(),
            V{"E13: Cannot translate file as it is not a version 3 ChiWriter file."});
}

TEST(ReadDocumentHeader, HandsBackTheFirstLineAfterTheHeader) {
  HeaderReading plain("xx\\1cw yy\r\nBody text\r\nmore\r\n");
  EXPECT_TRUE(plain.isDocument);
  EXPECT_EQ(plain.line, "Body text");
  EXPECT_EQ(plain.t.doc.FontSlots['1'], NONE);
  EXPECT_EQ(plain.t.doc.Settings.LM, 10);

  HeaderReading h("\\1cw\r\n\\U1STANDARD\r\nnoise \\pLM 7 and 9\r\n\\pJU0\r\nBody\r\n");
  EXPECT_EQ(h.line, "Body");
  EXPECT_EQ(h.t.doc.FontSlots['1'], STANDARD);
  EXPECT_EQ(h.t.doc.Settings.LM, 7);
  EXPECT_FALSE(h.t.doc.Settings.JU);

  HeaderReading path("\\1cw\r\n\\U1STANDARD\r\nIn C:\\\\UTIL, C:\\\\pas\r\nmore\r\n");
  EXPECT_EQ(path.line, "In C:\\\\UTIL, C:\\\\pas") << "literal backslashes make no header line";
  EXPECT_TRUE(path.t.reporter.entries.empty());

  HeaderReading last("\\1cw\r\n\\pBM3");
  EXPECT_EQ(last.line, "\\pBM3") << "the input ended on a header line, which is applied too";
  EXPECT_EQ(last.t.doc.Settings.BM, 3);
}

TEST(DeclareFont, NamesAndSlots) {
  struct Row {
    const char* label;
    const char* line;
    char slot;
    FontKind kind;
    V reports;
  } rows[] = {
      {"MATHII before MATHI", "\\U1MATHII", '1', MATHII, {}},
      {"MATHI", "\\U2MATHI", '2', MATHI, {}},
      {"ITALIC before BOLD", "\\U3BOLDITALIC", '3', ITALIC, {}},
      {"name anywhere", "\\U$ xx GREEK", '$', GREEK, {}},
      {"not a slot character",
       "\\U%STANDARD",
       '%',
       NONE,
       {"E8: Found new font declaration: \\U%STANDARD"}},
      {"unknown family",
       "\\U4HELVETICA",
       '4',
       NONE,
       {"E8: Found new font declaration: \\U4HELVETICA"}},
      {"no name", "\\U5", '5', NONE, {"W: Incomplete font declaration: \\U5"}},
      {"case-sensitive", "\\U6bold", '6', NONE, {"E8: Found new font declaration: \\U6bold"}},
  };
  for (const Row& r : rows) {
    TestDocument t;
    DeclareFont(t.doc, r.line);
    EXPECT_EQ(t.doc.FontSlots[r.slot], r.kind) << r.label;
    EXPECT_EQ(t.reporter.Lines(), r.reports) << r.label;
  }
}

TEST(ApplyHeaderLine, Settings) {
  TestDocument t;
  ResetDocumentState(t.doc);
  const DocumentSettings& s = t.doc.Settings;
  EXPECT_EQ(s.DefaultTabs[1], 5);
  EXPECT_EQ(s.DefaultTabs[60], 300);
  ApplyHeaderLine(t.doc, "\\pRM 80");
  ApplyHeaderLine(t.doc, "\\pLM");
  ApplyHeaderLine(t.doc, "\\pEN1");
  ApplyHeaderLine(t.doc, "\\pPF    3");   // ninth character
  ApplyHeaderLine(t.doc, "\\pTF");        // no ninth character: kept
  ApplyHeaderLine(t.doc, "\\pTM5\\pBM");  // two keywords, one number
  EXPECT_EQ(s.RM, 80);
  EXPECT_EQ(s.LM, 0);
  EXPECT_TRUE(s.EN);
  EXPECT_EQ(s.PF, '3');
  EXPECT_EQ(s.TF, '1');
  EXPECT_EQ(s.TM, 5);
  EXPECT_EQ(s.BM, 5);
  ApplyHeaderLine(t.doc, "\\pJU2");
  EXPECT_FALSE(s.JU);
  ApplyHeaderLine(t.doc, "\\pJU1");
  EXPECT_TRUE(s.JU);
}

TEST(ReadDefaultTabs, Fields) {
  TestDocument t;
  ResetDocumentState(t.doc);
  ReadDefaultTabs(t.doc, "\\pTA   5 12100");
  EXPECT_EQ(t.doc.Settings.DefaultTabs[1], 5);
  EXPECT_EQ(t.doc.Settings.DefaultTabs[2], 12);
  EXPECT_EQ(t.doc.Settings.DefaultTabs[3], 100);
  EXPECT_EQ(t.doc.Settings.DefaultTabs[4], 0);
  ReadDefaultTabs(t.doc, "\\pTAx");
  EXPECT_EQ(t.doc.Settings.DefaultTabs[1], 0) << "a line without fields empties the table";
  EXPECT_TRUE(t.reporter.entries.empty());
  ReadDefaultTabs(t.doc, "\\pTA " + std::string(62 * 3, '1'));
  EXPECT_EQ(t.reporter.Lines(), V{"W: Ignoring some default tabs"});
  EXPECT_EQ(t.doc.Settings.DefaultTabs[60], 111);
}

TEST(FirstNumber, DigitRunsAndOverflow) {
  EXPECT_EQ(FirstNumber("\\pRM 76 12"), 76);
  EXPECT_EQ(FirstNumber("none"), 0);
  EXPECT_EQ(FirstNumber("x2147483599"), 2147483599);  // 214748359 * 10 + '9' fits
  EXPECT_THROW(FirstNumber("x2147483600"), ConversionAbandoned)
      << "the character code is added before 48 is taken off";
  EXPECT_THROW(FirstNumber("99999999999"), ConversionAbandoned);
}

TEST(RtfProlog, DefaultAndSetLines) {
  DocumentSettings s;
  EXPECT_EQ(RtfProlog(s, PrologMarginsOf(s), false),
            "\\rtf1\\ansi\\deff0\\deflang2057\\plain\\noultrlspc\r\n"
            "\\margl1440\\margr1440\\margt1728\\margb1728\\headery720\\footery720\r\n"
            "\\fs24\\widowctrl\\hyphauto\\ftnbj\r\n"
            "{\\fonttbl\r\n"
            "{\\f0\\froman\\fprq2 Times New Roman;}\r\n"
            "{\\f1\\fswiss\\fprq2 Arial;}\r\n"
            "{\\f2\\fmodern\\fprq1 Courier New;}\r\n"
            "{\\f5\\fnil\\fcharset1 Segoe UI Symbol;}\r\n"
            "{\\f7\\fscript\\fprq2\\fcharset0 Palace Script MT;}\r\n"
            "{\\f8\\fdecor\\fprq2\\fcharset0 Old English Text MT;}\r\n"
            "}\r\n"
            "{\\info{\\author pomvex}}\\viewkind1\\uc1\r\n");
  s.LM = 5;
  s.BM = 0;
  s.EN = true;
  s.RM = 1;
  s.TM = 99;
  const std::string p = RtfProlog(s, PrologMarginsOf(s), true);
  EXPECT_EQ(p.substr(0, p.find("\r\n")),
            "\\rtf1\\ansi\\deff0\\facingp\\deflang2057\\plain\\noultrlspc");
  EXPECT_NE(p.find("\r\n\\margl720\\margr720\\margt0\\margb0\\headery0\\footery0\r\n"),
            std::string::npos);
  s.BM = 7;  // 1008 twips: the header and the footer halfway into them
  EXPECT_NE(RtfProlog(s, PrologMarginsOf(s), true).find("\\margb1008\\headery504\\footery504\r"),
            std::string::npos);
  EXPECT_NE(p.find("\r\n\\fet1\\aftnnar{\\info"), std::string::npos) << "endnotes in arabic figures";
  s.LM = 14913081;  // x 144 passes 2^31
  EXPECT_THROW(PrologMarginsOf(s), ConversionAbandoned);
}

}  // namespace
}  // namespace pomvex
