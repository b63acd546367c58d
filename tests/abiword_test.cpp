// Our RTF opened by a second real reader: AbiWord, run without a display, reads back the sample
// documents' words, characters and footnotes. Skipped where it is not installed.
#include <gtest/gtest.h>

#include <filesystem>
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

  // Converts one file to the format ("txt", "pdf") in a child process with no display, a home
  // folder of its own (AbiWord writes its settings there) and a time limit. Gives the result's
  // path, empty when AbiWord wrote nothing.
  fs::path Convert(const fs::path& file, const std::string& format) {
    const std::string name = file.stem().string() + "." + format;
    const fs::path home = dir_ / ("home_" + name);
    fs::create_directories(home);
    const fs::path out = dir_ / "out" / name;
    const std::string h = home.string();
    const std::string cmd = "cd " + dir_.string() +
                            " && env -u DISPLAY -u WAYLAND_DISPLAY HOME=" + h +
                            " XDG_CONFIG_HOME=" + h + "/.config XDG_CACHE_HOME=" + h +
                            "/.cache XDG_DATA_HOME=" + h + "/.local timeout -k 10 120 abiword" +
                            " --to=" + format + " -o " + out.string() + " " + file.string();
    const fs::path log = dir_ / (name + ".log");
    EXPECT_TRUE(testing::RunLogged(cmd, log)) << file.filename() << ": " << ReadFile(log);
    return fs::exists(out) && fs::file_size(out) > 0 ? out : fs::path();
  }
};

TEST_F(AbiWord, ReadsTheSampleDocuments) {
  for (const testing::SampleText& sample : testing::SampleTexts()) {
    const fs::path text = Convert(testing::GoldenDir() / (sample.name + ".rtf"), "txt");
    ASSERT_FALSE(text.empty()) << "AbiWord could not read " << sample.name;
    testing::ExpectWords(sample.name, ReadFile(text), sample.words);
  }
}

// Each footnote numbered 1, 2, ... shows its number at the foot of the page, before its text.
// The pages are also rendered to PNG under the build folder.
TEST_F(AbiWord, NumbersEachSampleFootnote) {
  std::vector<fs::path> pdfs;
  for (const testing::SampleFootnotes& sample : testing::NumberedFootnoteSamples()) {
    pdfs.push_back(Convert(testing::GoldenDir() / (sample.name + ".rtf"), "pdf"));
  }
  KeepRendered(pdfs, "abiword");
  if (!testing::CommandExists("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  for (std::size_t i = 0; i < pdfs.size(); ++i) {
    const testing::SampleFootnotes& sample = testing::NumberedFootnoteSamples()[i];
    const fs::path text = dir_ / (sample.name + "_pdf.txt");
    ASSERT_TRUE(testing::RunLogged("pdftotext " + pdfs[i].string() + " " + text.string(),
                                   dir_ / "pdftotext.log"));
    const std::string page = ReadFile(text);
    for (std::size_t k = 0; k < sample.notes.size(); ++k) {
      const std::string numbered = std::to_string(k + 1) + " " + sample.notes[k];
      EXPECT_NE(page.find("\n" + numbered), std::string::npos)
          << sample.name << " lacks \"" << numbered << "\" at the foot:\n"
          << page;
    }
  }
}

}  // namespace
}  // namespace pomvex
