// Our RTF opened by a second real reader: AbiWord, run without a display, reads back the sample
// documents' words, characters and footnotes, and prints their headers and alignment. Skipped
// where it is not installed.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "reader_support.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace pomvex {
namespace {

using testing::ReadFile;

class AbiWord : public testing::ReaderTest {
 protected:
  void SetUp() override {
    if (!testing::CommandExists("abiword")) GTEST_SKIP() << "AbiWord is not installed";
    MakeFolder("abiword");
  }

  // Converts the files to the format ("txt", "pdf") with one AbiWord, in a child process with
  // no display, a home folder of its own (AbiWord writes its settings there) and a time limit.
  // Gives the results' paths, empty where AbiWord wrote none: it stops at a file it cannot
  // open. (A document without text gives an empty text file.)
  std::vector<fs::path> Convert(const std::vector<fs::path>& files, const std::string& format) {
    const fs::path home = dir_ / ("home_" + format);
    const fs::path in = dir_ / ("in_" + format);
    fs::create_directories(home);
    fs::create_directories(in);
    const std::string h = home.string();
    std::string cmd = "cd " + in.string() + " && env -u DISPLAY -u WAYLAND_DISPLAY HOME=" + h +
                      " XDG_CONFIG_HOME=" + h + "/.config XDG_CACHE_HOME=" + h +
                      "/.cache XDG_DATA_HOME=" + h + "/.local timeout -k 10 120 abiword" +
                      " --to=" + format;
    for (const fs::path& f : files) {
      fs::copy_file(f, in / f.filename(), fs::copy_options::overwrite_existing);
      cmd += " " + f.filename().string();
    }
    const fs::path log = dir_ / (format + ".log");
    EXPECT_TRUE(testing::RunLogged(cmd, log)) << ReadFile(log);
    std::vector<fs::path> results;
    for (const fs::path& f : files) {
      const fs::path out = in / (f.stem().string() + "." + format);
      results.push_back(fs::exists(out) ? out : fs::path());
    }
    return results;
  }

  std::vector<fs::path> Samples(const std::vector<std::string>& names) {
    std::vector<fs::path> files;
    for (const std::string& name : names) files.push_back(testing::GoldenDir() / (name + ".rtf"));
    return files;
  }
};

// Every sample opens, the damaged ones (the truncated one has no body text) among them.
TEST_F(AbiWord, ReadsTheSampleDocuments) {
  const std::vector<fs::path> files = testing::GoldenDocuments();
  const std::vector<fs::path> texts = Convert(files, "txt");
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string name = files[i].stem().string();
    ASSERT_FALSE(texts[i].empty()) << "AbiWord could not read " << name;
    for (const testing::SampleText& sample : testing::SampleTexts()) {
      if (sample.name == name) testing::ExpectWords(name, ReadFile(texts[i]), sample.words);
    }
  }
}

// Each footnote numbered 1, 2, ... shows its number at the foot of the page, before its text,
// and the body goes on after the reference on the same line. The pages of the samples to look
// at are rendered to PNG under the build folder.
TEST_F(AbiWord, NumbersEachSampleFootnote) {
  const std::vector<fs::path> pdfs = Convert(Samples(testing::RenderedSamples()), "pdf");
  KeepRendered(pdfs, "abiword");
  if (!testing::CommandExists("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  for (const testing::SampleFootnotes& sample : testing::NumberedFootnoteSamples()) {
    const std::size_t i =
        static_cast<std::size_t>(std::find(testing::RenderedSamples().begin(),
                                           testing::RenderedSamples().end(), sample.name) -
                                 testing::RenderedSamples().begin());
    ASSERT_LT(i, pdfs.size());
    const std::string page = testing::PageText(pdfs[i], 1);
    for (std::size_t k = 0; k < sample.notes.size(); ++k) {
      const std::string numbered = std::to_string(k + 1) + " " + sample.notes[k];
      EXPECT_NE(page.find("\n" + numbered), std::string::npos)
          << sample.name << " lacks \"" << numbered << "\" at the foot:\n"
          << page;
    }
  }
  const std::string physics = testing::PageText(pdfs[0], 1);
  EXPECT_TRUE(std::regex_search(physics, std::regex("Kowalski ?1 and A. Nowak"))) << physics;
}

// A page header shows on every page, also where the top margin is narrow and on left pages.
TEST_F(AbiWord, PrintsThePageHeaders) {
  if (!testing::CommandExists("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  std::vector<std::string> names;
  for (const testing::SampleHeader& s : testing::SampleHeaders()) names.push_back(s.name);
  const std::vector<fs::path> pdfs = Convert(Samples(names), "pdf");
  for (std::size_t i = 0; i < pdfs.size(); ++i) {
    const testing::SampleHeader& sample = testing::SampleHeaders()[i];
    for (int page : sample.pages) {
      const std::string text = testing::PageText(pdfs[i], page);
      EXPECT_EQ(text.find(sample.header), 0u) << sample.name << " page " << page << ":\n" << text;
    }
  }
}

// A centred heading that follows a page break stays centred on the new page.
TEST_F(AbiWord, KeepsTheAlignmentAfterAPageBreak) {
  if (!testing::CommandExists("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  const fs::path rtf =
      WriteRtf("pagebreak", testing::ConvertInMemory(testing::CentredHeadingAfterPageBreak()).rtf);
  const fs::path pdf = Convert({rtf}, "pdf")[0];
  ASSERT_FALSE(pdf.empty());
  const fs::path boxes = dir_ / "pagebreak_bbox.html";
  ASSERT_TRUE(testing::RunLogged("pdftotext -f 2 -l 2 -bbox " + pdf.string() + " " + boxes.string(),
                                 dir_ / "bbox.log"));
  std::smatch m;
  const std::string html = ReadFile(boxes);
  ASSERT_TRUE(std::regex_search(html, m, std::regex(R"re(xMin="([0-9.]+)"[^>]*>ABSTRACT<)re")))
      << html;
  EXPECT_GT(std::stod(m[1]), 250.0) << "the heading is not centred on its page";
}

}  // namespace
}  // namespace pomvex
