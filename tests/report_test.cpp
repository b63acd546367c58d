// The texts of the reports: escaping for HTML and JSON, the reading of RTF text, and the grid
// that shows a line group as the document laid it out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "app/run.h"
#include "app/run_observer.h"
#include "report/group_view.h"
#include "report/html_report.h"
#include "report/json_report.h"
#include "report/pending_file.h"
#include "report/text_forms.h"
#include "test_support.h"

namespace fs = std::filesystem;

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
      {"E = {\\mmath{\\*\\moMath{\\mr x}}}{\\mmathPict x{\\super 2}} grows",
       "E = <span class=\"math\" title=\"formula\">x<sup>2</sup></span> grows"},
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
  // The document's text is escaped like any other.
  detail.lines = {"<i>&amp;\x82"};
  detail.lengths = {9};
  detail.mainIndex = 0;
  detail.flags.clear();
  EXPECT_EQ(Rows(GroupGridHtml(detail, {})).at(0), "     7 main  &lt;i&gt;&amp;amp;é");
}

// Whole runs in a folder of their own, told to an observer that records each problem's line.
class ReportRun : public ::testing::Test, public RunObserver {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("pomvex_report_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  void ProblemsCommitted(const RunEntry&, const std::vector<Problem>& problems) override {
    for (const Problem& p : problems) seen_.push_back(std::to_string(p.line) + ": " + p.text);
  }
  RunOutcome Convert(std::vector<RunObserver*> observers) {
    RunFrontEnd quiet;
    RunRequest request;
    request.directory = dir_.string();
    request.observers = std::move(observers);
    request.observers.push_back(this);
    return RunConversion(request, quiet);
  }
  fs::path dir_;
  std::vector<std::string> seen_;
};

TEST_F(ReportRun, EachProblemIsAtTheLineWhereItsGroupStarts) {
  const std::string unknown = "Unknown ChiWriter command '\\Q'. The file may be corrupt.";
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"\\1cw\r\n\\U1STANDARD\r\n\\U3HELVETICA\r\nText \\Q\\,\r\n",
       {"3: Found new font declaration: \\U3HELVETICA", "4: " + unknown}},
      // Lines that end in a line feed alone, or a carriage return alone, count alike.
      {"\\1cw\n\\U1STANDARD\n\\U3HELVETICA\nText \\Q\\,\n",
       {"3: Found new font declaration: \\U3HELVETICA", "4: " + unknown}},
      {"\\1cw\r\\U1STANDARD\r\r\rText \\Q\\,\r", {"5: " + unknown}},
      // A group read ahead of its turn, and a script line further out: the group's first line.
      {"\\1cw\r\n\\U1STANDARD\r\nfirst\\,\r\n\\+ z\r\nmain\\,\r\n",
       {"4: Unable to add sub- or superscript: z"}},
      {"\\1cw\r\n\\U1STANDARD\r\n\\+ a\r\n\\+ b\r\nx\\ \\,\r\n\\Q\r\n",
       {"3: Unprocessed superscript or subscript line: \\+ a", "6: " + unknown}},
      {"DOS text\r\n", {"1: Cannot translate file as it is not a version 3 ChiWriter file."}},
      {"\\1cw\r\n\\U1STANDARD\r\n", {"0: Empty file"}},
  };
  for (const auto& [chi, lines] : cases) {
    Write("d.CHI", chi);
    seen_.clear();
    ASSERT_TRUE(Convert({}).finished);
    EXPECT_EQ(seen_, lines) << chi;
    fs::remove(dir_ / "Pomvex.Log");
    fs::remove(dir_ / "d.rtf");
  }
}

TEST_F(ReportRun, ThePageOrdersDocumentsAndDetailsTheirFirstGroupsOnly) {
  std::string many = "\\1cw\r\n\\U1STANDARD\r\n";
  for (int i = 0; i < kDetailedGroups + 10; ++i) many += "x \\Q\\,\r\n";
  Write("a.CHI", "\\1cw\r\n\\U1STANDARD\r\n\\Q\r\n");
  Write("b.CHI", many);
  Write("c.CHI", "\\1cw\r\n\\U1STANDARD\r\n\\Q\r\n");
  const std::string page = (dir_ / "r.html").string();
  {
    HtmlReport html(page);
    JsonReport json(page + ".jsonl");
    ASSERT_TRUE(Convert({&html, &json}).finished);
  }
  const std::string text = pomvex::testing::ReadFile(page);
  const std::size_t a = text.find(">a.CHI</a>"), b = text.find(">b.CHI</a>"),
                    c = text.find(">c.CHI</a>");
  EXPECT_TRUE(b < a && a < c && c != std::string::npos) << "most problems first, then walk order";
  const std::regex detail("<h4>Line [0-9]+</h4>");
  EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), detail), {}),
            kDetailedGroups + 2);
  EXPECT_NE(text.find("and 10 more line groups with problems"), std::string::npos);
  EXPECT_EQ(seen_.size(), static_cast<std::size_t>(kDetailedGroups + 12));
  EXPECT_EQ(seen_.back(), "3: Unknown ChiWriter command '\\Q'. The file may be corrupt.");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 9) << "no temporary file is left";
}

TEST_F(ReportRun, AReportTakesItsNameOnlyWhenFinished) {
  const std::string path = (dir_ / "r.txt").string();
  Write("r.txt", "older");
  Write("r.txt.tmp", "someone else's");
  {
    report::PendingFile unfinished(path);
    unfinished.Out().Write("half");
    EXPECT_EQ(unfinished.TemporaryPath(), (dir_ / "r.txt_0.tmp").string());
  }
  EXPECT_FALSE(fs::exists(dir_ / "r.txt_0.tmp"));
  report::PendingFile finished(path);
  finished.Out().Write("whole");
  EXPECT_EQ(pomvex::testing::ReadFile(path), "older");
  finished.Finish();
  EXPECT_EQ(pomvex::testing::ReadFile(path), "whole");
  EXPECT_EQ(pomvex::testing::ReadFile(dir_ / "r.txt.tmp"), "someone else's");
  EXPECT_FALSE(fs::exists(dir_ / "r.txt_0.tmp"));

  // A name that was free when the report was begun is not taken from a file put there since.
  report::PendingFile late((dir_ / "new.txt").string());
  late.Out().Write("report");
  Write("new.txt", "came meanwhile");
  EXPECT_THROW(late.Finish(), RunFailure);
  EXPECT_EQ(pomvex::testing::ReadFile(dir_ / "new.txt"), "came meanwhile");
  // A report whose temporary name would be too long for the system gets a shorter one.
  const fs::path longest = dir_ / (std::string(250, 'r') + ".html");
  report::PendingFile full(longest.string());
  full.Out().Write("page");
  EXPECT_LE(fs::path(full.TemporaryPath()).filename().string().size(), 255u);
  full.Finish();
  EXPECT_EQ(pomvex::testing::ReadFile(longest), "page");
}

}  // namespace
