// Whole documents converted in memory: paragraph framing, the page furniture sections that open
// the body, and the end of the input.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "corpus.h"
#include "document/convert_document.h"
#include "test_support.h"

namespace pomvex {
namespace {

using V = std::vector<std::string>;

const std::string kHeader = "\\1cw\r\n\\U1STANDARD\r\n\\U2BOLD\r\n";

using Converted = testing::ConvertedDocument;
Converted Convert(const std::string& chi) {
  return testing::ConvertInMemory(chi);
}

TEST(ConvertDocument, FramesParagraphs) {
  Converted c = Convert(kHeader + "First line\r\nsecond line.\\,\r\nNext\\,\f\r\n");
  EXPECT_EQ(c.body,
            "{\\pard\\qj First line \r\n"
            "second line.\\par}\r\n"
            "{\\pard\\qj Next\\par}\r\n"
            "}")
      << "a page break with no text after it is left out";
  EXPECT_TRUE(IsOneGroup(c.rtf));
}

// A line alone takes the font carried into it in front of its text, short or long: a long one
// moves up in its own buffer, a short one is copied after the switches.
TEST(ConvertDocument, ALineAloneTakesTheCarriedFontAtAnyLength) {
  for (const std::size_t length :
       {std::size_t{10}, std::size_t{1} << 16, (std::size_t{1} << 16) + 1, std::size_t{200000}}) {
    const std::string text(length, 'a');
    Converted c = Convert(kHeader + "x \\2y\r\n" + text + "\\,\r\n");
    EXPECT_EQ(c.body, "{\\pard\\qj x \\b y \r\n" + text + "\\par}\r\n}") << length;
  }
}

TEST(ConvertDocument, SpacingFollowsTheScriptLines) {
  Converted c = Convert(kHeader + "\\+ x\r\nmain\\,\r\n\\- y\r\n\\- z\r\n");
  EXPECT_EQ(c.body.substr(0, 20), "{\\pard\\qj\\sb25\\sa50 ");
  Converted noJustify = Convert("\\1cw\r\n\\U1STANDARD\r\n\\pJU0\r\nText\\,\r\n");
  EXPECT_EQ(noJustify.body, "{\\pard Text\\par}\r\n}");
}

TEST(ConvertDocument, AScriptRunInAnotherFontSwitchesInsideItsGroup) {
  // The closing brace of the run ends its font, so the main line's bold needs no new word.
  Converted c = Convert(kHeader + "\\+ x\r\n\\2a\\ b\\,\r\n");
  EXPECT_EQ(c.body, "{\\pard\\qj\\sb25 \\b a{\\super \\b0 x}b\\par}\r\n}");
}

// A document written with "|" for each line end (CR LF).
std::string WithLineEnds(std::string_view text) {
  std::string chi;
  for (char c : text) chi += c == '|' ? std::string("\r\n") : std::string(1, c);
  return chi;
}

// Literal backslashes ("\\") and a lone one next to commands and marks, header lines after the
// header's end, the justification of a paragraph, and what readers are given so that they show
// what the author wrote: each body given whole.
TEST(ConvertDocument, ExactBodiesOfEdgeCases) {
  struct Case {
    const char* label;
    std::string_view chi;
    std::string body;
    V log;
  };
  const std::vector<Case> cases = {
      {"a run after the end of a line whose paragraph goes on is placed before the joining space",
       R"(\1cw|\U1STANDARD|\+      2|E = mc|next\,|)",
       "{\\pard\\qj\\sb25 E = mc{\\super 2} \r\nnext\\par}\r\n}",
       {}},
      {"a header line after an empty line is body text, its command shown as text",
       R"(\1cw|\U1STANDARD||\pHS 2|x\,|)",
       "{\\pard\\qj \\\\pHS 2 \r\nx\\par}\r\n}",
       {}},
      {"a header line ending the input after an empty line is no body",
       R"(\1cw|\U1STANDARD||\pHS 2|)",
       "{\\pard\\par}}",
       {"W: Empty file"}},
      {"a literal backslash and a space make no hard space before right-tab text",
       R"(\1cw|\U1STANDARD|a\\ b\]x\,|)",
       R"({\pard\qj\tqr\tx600 \tab a\\ b\par})"
       "\r\n}",
       {}},
      {"a literal backslash and a colon end no script run",
       R"(\1cw|\U1STANDARD|\U2BOLD|\2From\\:\1 R.\,|)",
       R"({\pard\qj \b From\\:\b0  R.\par})"
       "\r\n}",
       {}},
      {"nor do they hide the run that opens after them: bold ends after it",
       R"(\1cw|\U1STANDARD|\U2BOLD|\+   x|\2b\\:\ \1c\,|)",
       R"({\pard\qj\sb25 \b b\\:{\super \b0 x}\b0 c\par})"
       "\r\n}",
       {}},
      {"the second backslash of a literal one still starts a font switch",
       R"(\1cw|\U1STANDARD|\U2BOLD|a\\2b\,|)",
       R"({\pard\qj a\\\b b\par})"
       "\r\n}",
       {}},
      {"a lone backslash ending the line goes with the right-tab mark before it",
       R"(\1cw|\U1STANDARD|x\]\|\=|y\,|)",
       "{\\pard\\qj\\sa25\\tqr\\tx240 \\tab x\r\ny\\par}\r\n}",
       {"E1: Line terminated by '\\' in: x\\]\\"}},
      {"a literal backslash and N open no footnote section",
       R"(\1cw|\U1STANDARD|\\NOTES|x\,|\=|y\,|)",
       "{\\pard\\qj \\\\NOTES \r\nx\\par}\r\n{\\pard\\qj y\\par}\r\n}",
       {}},
      {"a literal backslash and A before a hyphenation mark",
       R"(\1cw|\U1STANDARD|C:\\A di-\A|vided\,|)",
       "{\\pard\\qj C:\\\\A di\r\nvided\\par}\r\n}",
       {}},
      {"a literal backslash and qr leave the paragraph justified",
       R"(\1cw|\U1STANDARD|\\qr\,|)",
       "{\\pard\\qj \\\\qr\\par}\r\n}",
       {}},
      {"a script line beyond the adjacent ones is reported as it was read",
       R"(\1cw|\U1STANDARD|\+\:|\+|main\,|)",
       "{\\pard\\qj\\sb50 main\\par}\r\n}",
       {"E2: Unknown ChiWriter command '\\:'. The file may be corrupt.",
        "E5: Unprocessed superscript or subscript line: \\+\\:"}},
      {"a run takes the hard spaces ending a continuing line: the space stays after it",
       R"(\1cw|\U1STANDARD|\+ -1|Q\ \ |increases\,|)",
       "{\\pard\\qj\\sb25 Q{\\super -1} \r\nincreases\\par}\r\n}",
       {}},
      {"... but not when a hyphenation mark divides the word there",
       R"(\1cw|\U1STANDARD|\+     x|exam-\A|ple\,|)",
       "{\\pard\\qj\\sb25 exam{\\super x}\r\nple\\par}\r\n}",
       {}},
      {"a page break goes into the words of the next paragraph, past a group without text",
       "\\1cw|\\U1STANDARD|One.\\,\f|\\=|\\^ABSTRACT\\^\\,|a\\]x\\,\f|b\\,|",
       "{\\pard\\qj One.\\par}\r\n\r\n{\\pard\\page \\qc ABSTRACT\\par}\r\n"
       "{\\pard\\qj\\tqr\\tx240 \\tab a\\par}\r\n{\\pard\\qj\\page b\\par}\r\n}",
       {}},
      {"with facing pages, a header for all pages is the left pages' too",
       R"(\1cw|\U1STANDARD|\HD|Head\,|\=|\FE|Foot\,|\=|Body\,|)",
       "{\\header {\\pard\\qj\\sa25 Head\\par}\r\n}{\\headerl {\\pard\\qj\\sa25 Head\\par}\r\n}"
       "{\\footerl {\\pard\\qj\\sa25 Foot\\par}\r\n}{\\pard\\qj Body\\par}\r\n}",
       {}},
      {"a drawing and the labels between its rows are in Courier New, text after it is not",
       R"(\1cw|\U1STANDARD|\U3LINEDRAW|\3u-o\1\,|\ \3<\1 beam\,|\3m-.\1\,|after\,|)",
       "{\\pard\\qj\\sl-226\\slmult0\\f2\\fs20 \\u9484?\\u9472?\\u9488?\\par}\r\n"
       "{\\pard\\qj\\sl-226\\slmult0\\f2\\fs20  \\u8595? beam\\par}\r\n"
       "{\\pard\\qj\\sl-226\\slmult0\\f2\\fs20 \\u9492?\\u9472?\\u9496?\\par}\r\n"
       "{\\pard\\qj after\\par}\r\n}",
       {}},
      {"text before a single right-alignment mark stays at the left; the rest goes to the margin",
       R"(\1cw|\U1STANDARD|MA 152  Analysis II      \^Lecture 9\,|\^Right alone\,|)",
       "{\\pard\\qj\\tqr\\tx9360 MA 152  Analysis II      \\tab Lecture 9\\par}\r\n"
       "{\\pard \\qr Right alone\\par}\r\n}",
       {}},
      {"a rule is a tab to the margin whose leader draws the line",
       R"(\1cw|\U1STANDARD|\pLM 5|Above\,|============\,|)",
       "{\\pard\\qj Above\\par}\r\n{\\pard\\qj\\tqr\\tlul\\tx10800 \\tab\\par}\r\n}",
       {}},
      {"a page break with no text after it is left out",
       "\\1cw|\\U1STANDARD|Last\\,\f|",
       "{\\pard\\qj Last\\par}\r\n}",
       {}},
      {"also within the last paragraph, and before empty lines; one before text stays",
       "\\1cw|\\U1STANDARD|One\f|Two\f||",
       "{\\pard\\qj One\\page\r\nTwo\r\n\r\n\\par}}",
       {}},
      {"the diagonal of the line-drawing font draws a line",
       R"(\1cw|\U1STANDARD|\U3LINEDRAW|\3\\\\\1\,|)",
       "{\\pard\\qj\\sl-226\\slmult0\\f2\\fs20 {\\f5 \\u9586?}{\\f5 \\u9586?}\\par}\r\n}",
       {}},
      {"commands no step converts are text; a switch to an empty slot is left out",
       R"(\1cw|\U1STANDARD|Intro\,|\Nabc \p2 \Ux a\-b\-c \=d \/e \5f\,|)",
       "{\\pard\\qj Intro\\par}\r\n"
       "{\\pard\\qj \\\\Nabc \\\\p2 \\\\Ux ab\\\\-c d \\\\/e f\\par}\r\n}",
       {}},
      {"a footnote's centred paragraph leaves the referring one justified",
       R"(\1cw|\U1STANDARD|\N!|\^Note\^\,|\=|See\F!\,|)",
       "{\\pard\\qj See{{\\f5 \\u8270?}}{\\footnote {\\pard\\sa25 \\qc Note}}\\par}\r\n}",
       {}},
  };
  for (const Case& c : cases) {
    Converted converted = Convert(WithLineEnds(c.chi));
    EXPECT_EQ(converted.body, c.body) << c.label;
    EXPECT_EQ(converted.reporter.Lines(), c.log) << c.label;
    EXPECT_TRUE(IsOneGroup(converted.rtf)) << c.label;
  }
}

// Only eight paragraphs between two rows of a drawing are taken for its labels.
TEST(ConvertDocument, ADrawingTakesEightParagraphsBetweenRows) {
  for (std::string labels : {"", "label\\,|"}) {
    for (int i = 0; i < 8; ++i) labels += "label\\,|";
    const std::string body = Convert(WithLineEnds(R"(\1cw|\U1STANDARD|\U3LINEDRAW|\3u--o\1\,|)" +
                                                  labels + R"(\3m\1\,|)"))
                                 .body;
    EXPECT_EQ(body.find("\\f2\\fs20 label") != std::string::npos, labels.size() == 64) << body;
  }
}

TEST(ConvertDocument, AnOpenParagraphIsClosedAtTheEnd) {
  Converted c = Convert(kHeader + "one\r\ntwo\r\n");
  EXPECT_EQ(c.body, "{\\pard\\qj one \r\ntwo \r\n\\par}}");
  EXPECT_TRUE(IsOneGroup(c.rtf));
}

TEST(ConvertDocument, AGroupWithoutMainLineKeepsTheParagraphState) {
  // The equals line closes the open paragraph when it carries the paragraph end.
  // (A form feed ends a group, so the equals line that follows forms a group of its own.)
  Converted closes = Convert(kHeader + "text\f\r\n\\=\\,\r\nafter\\,\r\n");
  EXPECT_EQ(closes.body, "{\\pard\\qj text\\page\r\n\\par}\r\n{\\pard\\qj after\\par}\r\n}");
  Converted keeps = Convert(kHeader + "text\\,\f\r\n\\=\\,\r\nafter\\,\r\n");
  EXPECT_EQ(keeps.body, "{\\pard\\qj text\\par}\r\n\r\n{\\pard\\qj\\page after\\par}\r\n}");
  EXPECT_TRUE(IsOneGroup(closes.rtf));
  EXPECT_TRUE(IsOneGroup(keeps.rtf));
}

TEST(ConvertDocument, HeaderAndFooterSections) {
  Converted c =
      Convert(kHeader + "\r\n\\HD\r\nHead\\,\r\n\\=\r\n\\F1\r\nFoot\r\n\\=\r\nBody\\,\r\n");
  EXPECT_EQ(c.body,
            "{\\header {\\pard\\qj\\sa25 Head\\par}\r\n}"
            "{\\footerf {\\pard\\qj\\sa25 Foot\r\n\\par}}"
            "{\\pard\\qj Body\\par}\r\n}");
  EXPECT_EQ(c.rtf.find("\\facingp"), std::string::npos);
  EXPECT_TRUE(IsOneGroup(c.rtf));

  Converted left = Convert(kHeader + "\\HE\r\nEven\\,\r\n\\=\r\nBody\\,\r\n");
  EXPECT_EQ(left.rtf.substr(0, 25), "{\\rtf1\\ansi\\deff0\\facingp");
  EXPECT_NE(left.body.find("{\\headerl "), std::string::npos);
}

TEST(ConvertDocument, SeparatorAndPageSpecificSections) {
  Converted c = Convert(kHeader + "\\S\r\nsep\\,\r\n\\=\r\n\\H5\r\nfive\\,\r\n\\=\r\n\\Hx\r\n");
  EXPECT_NE(c.body.find("{\\*\\ftnsep \\chftnsep}"), std::string::npos);
  EXPECT_NE(c.body.find("{\\header5 "), std::string::npos);
  EXPECT_EQ(c.reporter.Lines(),
            (V{"E14: Unprocessed header for page 5",
               "E2: Unknown ChiWriter command '\\H'. The file may be corrupt."}));
  EXPECT_NE(c.body.find("\\Hx"), std::string::npos) << "\\Hx is no marker: it is body text";
  // Body text that merely looks like a page marker is not swallowed.
  Converted body = Convert(kHeader + "CH4 is methane.\\,\r\n");
  EXPECT_NE(body.body.find("CH4 is methane."), std::string::npos);
  EXPECT_TRUE(body.reporter.entries.empty());
}

TEST(ConvertDocument, FootnoteSections) {
  Converted c = Convert(kHeader + "\\N1\r\nThe note.\\,\r\n\\=\r\nText\\F1 here.\\,\r\n");
  EXPECT_NE(c.body.find("Text{\\super\\chftn}{\\footnote {\\pard\\qj\\sa25 {\\super\\chftn} The "
                        "note.}} here."),
            std::string::npos)
      << c.body;
  EXPECT_TRUE(IsOneGroup(c.rtf));

  Converted open = Convert(kHeader + "\\N2\r\nno end\r\n\\=\r\nA\\F2\\,\r\n");
  EXPECT_NE(open.body.find("{\\footnote {\\pard\\qj\\sa25 no end}}"), std::string::npos)
      << open.body;
  EXPECT_TRUE(IsOneGroup(open.rtf));

  Converted bad = Convert(kHeader + "\\Nz\r\nlost\\,\r\n\\=\r\nBody\\,\r\n");
  EXPECT_EQ(bad.reporter.Lines(),
            V{"E10: Unexpected footnote symbol z. Failed to insert footnote"});
  EXPECT_EQ(bad.body, "{\\pard\\qj Body\\par}\r\n}");
}

// Endnotes take the reader's number, once, in arabic figures: also those whose marks do not come
// in order, or come again, which as footnotes keep the author's marks.
TEST(ConvertDocument, EndnotesAreMarkedAsSuchAndNumberedOnce) {
  Converted c = Convert(
      "\\1cw\r\n\\U1STANDARD\r\n\\pEN1\r\n\\N1\r\nNote.\\,\r\n\\=\r\n\\N3\r\nOther.\\,\r\n\\=\r\n"
      "Text\\F3 and\\F1 again\\F1\\,\r\n");
  EXPECT_NE(c.rtf.find("\\fet1\\aftnnar{\\info"), std::string::npos);
  EXPECT_EQ(c.body,
            "{\\pard\\qj Text{\\super\\chftn}{\\footnote\\ftnalt {\\pard\\qj\\sa25 {\\super\\chftn} "
            "Other.}} and{\\super\\chftn}{\\footnote\\ftnalt {\\pard\\qj\\sa25 {\\super\\chftn} Note.}} "
            "again{\\super\\chftn}{\\footnote\\ftnalt {\\pard\\qj\\sa25 {\\super\\chftn} Note.}}\\par}\r\n}");
}

// Only the body's references count towards the automatic footnote numbers, and the count
// starts afresh with every document.
TEST(ConvertDocument, FootnoteNumbersCountTheBodyOnly) {
  const std::string chi = kHeader +
                          "\\N1\r\nOne, see\\F2.\\,\r\n\\=\r\n"
                          "\\N2\r\nTwo.\\,\r\n\\=\r\n"
                          "\\HD\r\nHead\\F2 here\\,\r\n\\=\r\n"
                          "Body\\F1 and\\F2.\\,\r\n";
  testing::RecordingReporter reporter;
  DocumentState doc(reporter);
  for (int run = 1; run <= 2; ++run) {
    std::istringstream stream(chi);
    TextInput in(stream);
    StringSink sink;
    ASSERT_TRUE(ConvertDocument(doc, in, sink));
    const std::string rtf = sink.Text();
    EXPECT_NE(rtf.find("{\\header {\\pard\\qj\\sa25 Head{2}{\\footnote {\\pard\\qj\\sa25 Two.}}"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("{\\pard\\qj Body{\\super\\chftn}{\\footnote {\\pard\\qj\\sa25 "
                       "{\\super\\chftn} One, see2.}} and{\\super\\chftn}{\\footnote "
                       "{\\pard\\qj\\sa25 {\\super\\chftn} Two.}}."),
              std::string::npos)
        << "document " << run << ":\n"
        << rtf;
  }
  EXPECT_TRUE(reporter.entries.empty());
}

// Footnote texts written as their lines are written give the RTF and the problems of the texts
// put into the lines: in the benchmark's documents, and in notes that hold what the steps after
// the footnote step rewrite, page-number commands among them, referred to before and after
// they are complete.
TEST(ConvertDocument, FootnoteTextsWrittenWithTheirLinesGiveTheSameRtf) {
  std::vector<std::pair<std::string, std::string>> documents;
  for (unsigned seed = 1; seed <= 3; ++seed)
    documents.emplace_back("realistic", bench::RealisticDocument(40000, seed));
  for (const bench::Pathology& p : bench::Pathologies())
    documents.emplace_back(p.name, p.make(std::max(1, p.fullScale / 500)));
  documents.emplace_back(
      "notes",
      WithLineEnds(
          "\\1cw|\\U1STANDARD|\\U2SYMBOL|\\pPF2|\\HD|Head\\F1 \\F2 and \\@\\,|\\=|"
          "\\N1|One \\@ two \\@ \\\\ \\ x\\FA {b}\\,|\\+ 2|E=mc\\ \\,|-----------\\,|\\=|"
          "\\N2|\\^Centred \\@\\^\\,|\\=|\\FD|\\F1\\@\\F2\\,|\\=|\\N1|More\\F\\,|\\=|"
          "Body\\F1 and\\F2, page \\@\\F1\\,|\\F3\\F2\\@\\,|\\F1\\F1\\,|\\[x\\F2\\]y\\,|"));
  for (const auto& [name, chi] : documents) {
    std::vector<std::pair<std::string, V>> results;
    for (const FootnoteInsertion insertion :
         {FootnoteInsertion::InLine, FootnoteInsertion::WhenWritten}) {
      testing::RecordingReporter reporter;
      DocumentState doc(reporter);
      doc.NoteTexts = insertion;
      std::istringstream stream(chi);
      TextInput in(stream);
      StringSink sink;
      ConvertDocument(doc, in, sink);
      results.emplace_back(sink.Text(), reporter.Lines());
    }
    EXPECT_EQ(results[0], results[1]) << name;
  }
}

TEST(ConvertDocument, TheEndOfTheInputAfterTheHeaderOrASection) {
  Converted empty = Convert(kHeader + "\r\n\r\n");
  EXPECT_EQ(empty.reporter.Lines(), V{"W: Empty file"});
  EXPECT_EQ(empty.body, "{\\pard\\par}}");
  Converted headerOnly = Convert("\\1cw\r\n\\pLM5");
  EXPECT_EQ(headerOnly.reporter.Lines(), V{"W: Empty file"});
  EXPECT_EQ(headerOnly.body, "{\\pard\\par}}");

  Converted onlyLine = Convert(kHeader + "Only line\\,");
  EXPECT_EQ(onlyLine.body, "{\\pard\\qj Only line\\par}\r\n}") << "the last line is not lost";
  EXPECT_TRUE(onlyLine.reporter.entries.empty());

  Converted afterSection = Convert(kHeader + "\\HD\r\nHead\\,\r\n\\=\r\nLast\\,");
  EXPECT_NE(afterSection.body.find("{\\pard\\qj Last\\par}"), std::string::npos);

  Converted markerLast = Convert(kHeader + "\\HD\r\nHead\\,\r\n\\=\r\n\\FD");
  EXPECT_NE(markerLast.body.find("{\\footer }"), std::string::npos) << markerLast.body;
  EXPECT_TRUE(IsOneGroup(markerLast.rtf));
}

TEST(ConvertDocument, ALineReadAheadInASectionIsNotLost) {
  // "\=" inside a main line ends the section after a group that read the next line ahead.
  Converted c = Convert(kHeader + "\\HD\r\nHead\\=\r\nBody one\\,\r\n");
  EXPECT_NE(c.body.find("Body one"), std::string::npos) << c.body;
  Converted marker = Convert(kHeader + "\\HD\r\nHead\\=\r\n\\FD\r\nFoot\\,\r\n\\=\r\nB\\,\r\n");
  EXPECT_NE(marker.body.find("{\\footer "), std::string::npos) << marker.body;
  EXPECT_TRUE(IsOneGroup(marker.rtf));
}

}  // namespace
}  // namespace pomvex
