// Our RTF opened by a second real reader: AbiWord, run without a display, reads back the sample
// documents' words, characters and footnotes. Skipped where it is not installed.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "reader_support.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace pomvex {
namespace {

using testing::ReadFile;

// Converts the files to the format ("txt", "pdf") with one AbiWord, in a child process with no
// display, a home folder of its own (AbiWord writes its settings there) and a time limit. Gives
// the results' paths, empty where AbiWord wrote none (it stops at a file it cannot open).
bool RunAbiWord(const std::vector<fs::path>& files, const std::string& format,
                const fs::path& folder, const fs::path& log, std::vector<fs::path>& results) {
  const fs::path home = folder.parent_path() / ("home_" + format);
  fs::create_directories(home);
  const std::string h = home.string();
  std::string cmd = "cd " + folder.string() + " && env -u DISPLAY -u WAYLAND_DISPLAY HOME=" + h +
                    " XDG_CONFIG_HOME=" + h + "/.config XDG_CACHE_HOME=" + h +
                    "/.cache XDG_DATA_HOME=" + h + "/.local timeout -k 10 120 abiword" +
                    " --to=" + format;
  for (const fs::path& f : files) {
    fs::copy_file(f, folder / f.filename(), fs::copy_options::overwrite_existing);
    cmd += " " + f.filename().string();
  }
  const bool succeeded = testing::RunLogged(cmd, log);
  for (const fs::path& f : files) {
    const fs::path out = folder / (f.stem().string() + "." + format);
    results.push_back(fs::exists(out) ? out : fs::path());
  }
  return succeeded;
}

const std::string kBreakDocument = "\\1cw\r\n\\U1STANDARD\r\nOne.\\,\f\r\n\\^ABSTRACT\\^\\,\r\n" +
                                   std::string(30, 'x') + std::string(30, ' ') + "x\\,\r\n";

// Every document the tests read back is converted with one AbiWord for each format before the
// first test.
class AbiWord : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!testing::CommandExists("abiword")) return;
    batch_ = std::make_unique<testing::ReaderBatch>("abiword");
    batch_->Add(testing::SampleDocuments(), "txt");
    batch_->Add(testing::PrintedSamples(), "pdf");
    batch_->Add({batch_->WriteRtf("break", testing::ConvertInMemory(kBreakDocument).rtf)}, "pdf");
    const std::vector<fs::path> round = {
        batch_->WriteRtf("second_round",
                         testing::ConvertInMemory(testing::kSecondRoundDocument).rtf),
        batch_->WriteRtf("endnotes", testing::ConvertInMemory(testing::kEndnoteDocument).rtf)};
    batch_->Add(round, "pdf");
    batch_->Add(round, "txt");
    for (const testing::FormulaDocument& d : testing::FormulaDocuments()) {
      formulaFiles_.push_back(batch_->WriteRtf(
          "formula_" + d.name, testing::ConvertInMemory(d.chi, false, /*equations=*/true).rtf));
    }
    for (const char* sample : {"PHYSICS", "CALCULUS"}) {
      const fs::path chi = fs::path(POMVEX_SOURCE_DIR) / "examples" / (std::string(sample) + ".CHI");
      formulaFiles_.push_back(batch_->WriteRtf(
          std::string("equations_") + sample,
          testing::ConvertInMemory(ReadFile(chi), false, /*equations=*/true).rtf));
    }
    batch_->Add(formulaFiles_, "txt");
    batch_->Add(formulaFiles_, "pdf");
    batch_->Run(RunAbiWord);
  }
  static void TearDownTestSuite() { batch_.reset(); }

  void SetUp() override {
    if (!batch_) GTEST_SKIP() << "AbiWord is not installed";
  }

  static fs::path BreakFile() { return batch_->Folder() / "break.rtf"; }
  static std::vector<fs::path> RoundFiles() {
    return {batch_->Folder() / "second_round.rtf", batch_->Folder() / "endnotes.rtf"};
  }

  static std::unique_ptr<testing::ReaderBatch> batch_;
  static std::vector<fs::path> formulaFiles_;
};
std::unique_ptr<testing::ReaderBatch> AbiWord::batch_;
std::vector<fs::path> AbiWord::formulaFiles_;

// Every sample opens (the truncated one, without body text, among them) with its words.
TEST_F(AbiWord, ReadsTheSampleDocuments) {
  const std::vector<fs::path> texts = batch_->Results(testing::SampleDocuments(), "txt");
  for (const fs::path& text : texts) ASSERT_FALSE(text.empty()) << "AbiWord stopped at a sample";
  for (std::size_t i = 0; i < testing::SampleTexts().size(); ++i) {
    const testing::SampleText& sample = testing::SampleTexts()[i];
    testing::ExpectWords(sample.name, ReadFile(texts[i + 1]), sample.words);
  }
}

// Printed, each footnote numbered 1, 2, ... shows its number at the foot of the page, before
// its text, and the body goes on after the reference in the same line; the page headers show
// on every page. The pages are rendered to PNG under the build folder.
TEST_F(AbiWord, PrintsTheSamples) {
  const std::vector<fs::path> pdfs = batch_->Results(testing::PrintedSamples(), "pdf");
  testing::KeepRendered(pdfs, "abiword");
  if (!testing::CommandExists("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  testing::ExpectPageHeaders(pdfs);
  for (std::size_t i = 0; i < testing::NumberedFootnoteSamples().size(); ++i) {
    const testing::SampleFootnotes& sample = testing::NumberedFootnoteSamples()[i];
    const std::string page = testing::PageText(pdfs[i], 1);
    for (std::size_t k = 0; k < sample.notes.size(); ++k) {
      const std::string numbered = std::to_string(k + 1) + " " + sample.notes[k];
      EXPECT_NE(page.find("\n" + numbered), std::string::npos)
          << sample.name << " lacks \"" << numbered << "\" at the foot:\n"
          << page;
    }
  }
  EXPECT_NE(testing::PageText(pdfs[0], 1).find("Kowalski 1 and A. Nowak"), std::string::npos);
}

// A centred heading after a page break stays centred on its new page, above the text.
TEST_F(AbiWord, KeepsTheAlignmentAfterAPageBreak) {
  if (!testing::CommandExists("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  const fs::path pdf = batch_->Results({BreakFile()}, "pdf")[0];
  const std::string page = testing::PageText(pdf, 2, true);
  EXPECT_TRUE(page.find("ABSTRACT") != std::string::npos && page.find("ABSTRACT") > 20) << page;
}

// Printed, the rules are lines across the text, the strokes of a box join from line to line,
// a line's right part ends at the right margin, a command no step converts shows the letters
// after it, and endnotes whose marks are not in order are numbered once each.
TEST_F(AbiWord, DrawsRulesAndBoxesAndNumbersEndnotesOnce) {
  if (!testing::CommandExists("pdftoppm")) GTEST_SKIP() << "pdftoppm is not installed";
  const std::vector<fs::path> pdfs = batch_->Results(RoundFiles(), "pdf");
  testing::KeepRendered(pdfs, "abiword/second_round");
  constexpr int kDpi = 100;
  const testing::GreyPage page = testing::RenderGrey(pdfs[0], 1, kDpi);
  ASSERT_GT(page.width, 0);
  // The text is 6.5 inches wide; a rule runs across most of it.
  EXPECT_GT(page.LongestRow(), 6 * kDpi) << "no rule drawn";
  // The box stands six lines of Courier New 10 pt high (11.3 points each): its vertical strokes
  // run unbroken through the lines between its corners (with a gap at every line, as before,
  // none is longer than a line).
  EXPECT_GT(page.LongestColumn(), 3 * 113 * kDpi / 720) << "the box's strokes are broken";
  int rights = 0;
  for (const testing::PageWord& word : testing::PageWords(pdfs[0], 1)) {
    if (word.text == "9" && std::abs(word.xMax - 540) < 3) ++rights;
  }
  EXPECT_EQ(rights, 2) << "the header's right part and the body's";
  const std::vector<fs::path> texts = batch_->Results(RoundFiles(), "txt");
  EXPECT_NE(ReadFile(texts[0]).find("The \\Nabc command."), std::string::npos);
  const std::string endnotes = testing::PageText(pdfs[1], 1, true);
  EXPECT_NE(endnotes.find("A decade1 and a century"), std::string::npos) << endnotes;
  EXPECT_EQ(endnotes.find("century5"), std::string::npos) << endnotes;
  EXPECT_NE(endnotes.find("1 First endnote."), std::string::npos) << endnotes;
  EXPECT_NE(endnotes.find("2 Second endnote."), std::string::npos) << endnotes;
}

// With --equations, a reader without math zones shows each formula's linear form, every
// character of it, and the words around it.
TEST_F(AbiWord, ShowsTheLinearFormOfFormulas) {
  const std::vector<fs::path> texts = batch_->Results(formulaFiles_, "txt");
  testing::KeepRendered(batch_->Results(formulaFiles_, "pdf"), "abiword/formulas");
  const std::vector<testing::FormulaDocument>& documents = testing::FormulaDocuments();
  for (std::size_t i = 0; i < documents.size(); ++i) {
    ASSERT_FALSE(texts[i].empty()) << documents[i].name;
    EXPECT_NE(ReadFile(texts[i]).find(documents[i].linear), std::string::npos)
        << documents[i].name << ": " << ReadFile(texts[i]);
  }
  EXPECT_NE(ReadFile(texts[documents.size()]).find("T = (1 mv)/2 + O(\u03b24)"), std::string::npos);
  const std::string calculus = ReadFile(texts[documents.size() + 1]);
  EXPECT_NE(calculus.find("lim(h\u21920) (f(x + h) - f(x))/h"), std::string::npos) << calculus;
  EXPECT_NE(calculus.find("\u222b(a..b) f(x) dx = F(b) - F(a)"), std::string::npos) << calculus;
}

}  // namespace
}  // namespace pomvex
