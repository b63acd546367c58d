// The texts of the reports: escaping for HTML and JSON, the reading of RTF text, and the grid
// that shows a line group as the document laid it out.
#include <gtest/gtest.h>

#include <regex>

#include "report/group_view.h"
#include "report/text_forms.h"

namespace {

using namespace pomvex;
using namespace pomvex::report;

TEST(ReportTexts, NamesAndTextsAreEscapedAndAlwaysUtf8) {
  const struct {
    std::string in, html, json;
  } cases[] = {
      {"<b>x&amp;.CHI", "&lt;b&gt;x&amp;amp;.CHI", R"("<b>x&amp;.CHI")"},
      {"say \"hi\" 'x'", "say &quot;hi&quot; &#39;x&#39;", R"("say \"hi\" 'x'")"},
      {"back\\slash\ttab\x01", "back\\slash\xE2\x90\x89tab\xE2\x90\x81",
       R"("back\\slash\u0009tab\u0001")"},
      // UTF-8 stays; a byte that is no UTF-8 is read as Latin-1.
      {"caf\xC3\xA9", "caf\xC3\xA9", "\"caf\xC3\xA9\""},
      {"caf\xE9\x82", "caf\xC3\xA9\xEF\xBF\xBD", R"("caf\u00e9\u0082")"},
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xEF\xBF\xBD", R"("\u00ed\u00a0\u0080")"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Html(NameText(c.in)), c.html) << c.in;
    EXPECT_EQ(Json(c.in), c.json) << c.in;
  }
  EXPECT_EQ(DocumentText("\x82\xE0\xB0"), "\xC3\xA9\xCE\xB1\xE2\x96\x91");  // code page 437
}

TEST(ReportTexts, RtfTextReadsAsHtml) {
  const std::pair<std::string, std::string> cases[] = {
      {"x{\\super 2}+y{\\sub i}\\par", "x<sup>2</sup>+y<sub>i</sub><br>"},
      {"{\\b bold \\i both}\\tab \\'e9\\u945?\\~a<b>",
       "<b>bold </b><b><i>both</i></b><span "
       "class=\"tab\">\xE2\x87\xA5</span>"
       "\xC3\xA9\xCE\xB1\xC2\xA0"
       "a&lt;b&gt;"},
      {"a{\\super\\chftn}{\\footnote \\pard{\\super\\chftn} note}b",
       "a<sup>*</sup><span class=\"fn\">[<sup>*</sup> note]</span>b"},
      {"{\\*\\bkmkstart x}{\\header hidden}\\{\\}\\\\", "{}\\"},
  };
  for (const auto& [rtf, html] : cases) EXPECT_EQ(RtfTextHtml(rtf), html) << rtf;
}

// The grid's rows without their markup, as a reader sees them.
std::vector<std::string> Rows(const std::string& html) {
  std::string text = std::regex_replace(html, std::regex("<sup class=\"no\">[0-9]+</sup>"), "#");
  text = std::regex_replace(text, std::regex("</span><span class=\"row"), "\n<");
  text = std::regex_replace(text, std::regex("<[^>]*>"), "");
  text = std::regex_replace(text, std::regex("&#39;"), "'");
  std::vector<std::string> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  return rows;
}

TEST(ReportTexts, TheGridKeepsScriptsInTheirColumnsAndShowsWhatIsFlagged) {
  GroupDetail detail;
  detail.firstLine = 7;
  detail.mainIndex = 1;
  detail.slots.Set('1', STANDARD);
  detail.slots.Set('2', GREEK);
  detail.lines = {"\\+ \\22\\1", "x\\ \\ =\\2a\\1 \\Q.", "\\-   n"};
  for (const std::string& line : detail.lines) detail.lengths.push_back(line.size());
  detail.flags = {{{.side = '>', .column = 2, .width = 2}, 0},
                  {{.slot = 1, .column = 7, .command = 'Q'}, 1},
                  {{.slot = 2, .column = 0}, 2}};
  const std::string html = GroupGridHtml(detail, {"run", "command", "line"});
  // The superscript's characters stand over the hard spaces, the subscript's under the command
  // that takes their column; the font switch to Greek makes "a" an alpha, and each flag is
  // marked with the number of its problem.
  EXPECT_EQ(Rows(html), (std::vector<std::string>{"     7 sup  \\+   \\22#\\1",
                                                  "     8 main     x  ·   ·=\\2α\\1 \\Q#.",
                                                  "     9 sub  \\-#         n"}))
      << html;
  EXPECT_NE(html.find("<span class=\"cmd flag\">\\Q</span>"), std::string::npos) << html;
  EXPECT_NE(html.find("row flagrow\" title=\"line\""), std::string::npos) << html;
}

}  // namespace
