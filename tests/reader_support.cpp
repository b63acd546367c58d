#include "reader_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <future>

#include "test_support.h"

namespace fs = std::filesystem;

namespace pomvex::testing {

const std::vector<SampleText>& SampleTexts() {
  static const std::vector<SampleText> texts = {
      {"PHYSICS",
       {"ON THE ENERGY OF A MOVING BODY", "Lorentz factor \u03b3", "\u03b2 \u226a 1", "E = mc2",
        "\u03b3 = (1 - \u03b22)-1/2", "\u2211 \u03b3imic2", "\u2192 \u221e", "\u2208 \u211d",
        "\u2223v\u2223", "\u2264 c"}},
      {"CALCULUS",
       {"LECTURE NOTES IN CALCULUS", "\u2200\u03b5 > 0 \u2203\u03b4 > 0", "< \u03b5 whenever",
        "is unique,", "limh\u21920 (f(x + h)", "(xn)' = n xn-1", "ex = \u2211n=0\u221e xn/n!",
        "\u2208 \u211d", "\u222bab f(x) dx", "y = x2 over"}},
      {"LETTER", {"Dr. H. M\u00fcller", "Universit\u00e4t G\u00f6ttingen", "A. Kowalski"}},
      {"TABLE", {"Aluminium", "293.15", "1013.2", "Mean temperature:"}},
      {"EUROPA",
       {"Gr\u00f6\u00dfe", "\u00c4rger", "Fran\u00e7ais", "\u00e9chantillons", "\u00bfQui",
        "Wroc\u0142awia", "\u0141ukasz z G\u00f3ry"}},
      {"BIBLIO", {"References", "Relativit\u00e4tstheorie", "Landau", "12.\u204e"}},
      {"BOXES", {"\u250c\u2500\u2500", "\u2502 Source", "\u2514", "\u2192 detector"}},
      {"TITLE", {"UNIVERSITY OF WARSAW", "Doctor of Philosophy", "Jan Kowalski"}},
      {"FIGURES", {"*** <SPECTRUM.PCX> ***", "*** <APPARAT.PCX> ***"}},
      {"UNKNOWN",
       {"text {in braces}", "cut after a backslash", "unknown \\Q command", "\\FA is no"}},
      {"MISPLACE", {"x1 + y2", "The end."}},
  };
  return texts;
}

const std::vector<SampleFootnotes>& NumberedFootnoteSamples() {
  static const std::vector<SampleFootnotes> samples = {
      {"PHYSICS", {"Present address"}},
      {"CALCULUS", {"Two limits", "Brook Taylor", "Here "}},
  };
  return samples;
}

std::vector<fs::path> PrintedSamples() {
  std::vector<fs::path> files;
  for (std::string name : {"PHYSICS", "CALCULUS", "BOXES", "LETTER", "BIBLIO"})
    files.push_back(GoldenDir() / (name + ".rtf"));
  return files;
}

std::vector<fs::path> SampleDocuments() {
  std::vector<fs::path> files = {GoldenDir() / "TRUNCATE.rtf"};
  for (const SampleText& s : SampleTexts()) files.push_back(GoldenDir() / (s.name + ".rtf"));
  return files;
}

void ExpectPageHeaders(const std::vector<fs::path>& pdfs) {
  ASSERT_GE(pdfs.size(), 4u);
  EXPECT_EQ(PageText(pdfs[0], 1).find("Journal of Applied Physics"), 0u);
  EXPECT_EQ(PageText(pdfs[1], 1).find("Calculus I, Lecture 4"), 0u);
  for (int page : {1, 2}) EXPECT_EQ(PageText(pdfs[3], page).find("Institute of Applied"), 0u);
}

fs::path GoldenDir() {
  return fs::path(POMVEX_SOURCE_DIR) / "examples" / "golden";
}

std::string PageText(const fs::path& pdf, int page, bool layout) {
  const std::string n = std::to_string(page);
  const fs::path text = pdf.parent_path() / (pdf.stem().string() + "_" + n + ".txt");
  RunLogged(std::string("pdftotext ") + (layout ? "-layout " : "") + "-f " + n + " -l " + n + " " +
                pdf.string() + " " + text.string(),
            text.string() + ".log");
  return ReadFile(text);
}

bool CommandExists(const std::string& command) {
  return std::system(("command -v " + command + " >/dev/null 2>&1").c_str()) == 0;
}

bool RunLogged(const std::string& command, const fs::path& log) {
  return std::system((command + " >" + log.string() + " 2>&1").c_str()) == 0;
}

int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

void ExpectWords(const std::string& name, const std::string& text,
                 const std::vector<std::string>& words) {
  for (const std::string& word : words) {
    EXPECT_NE(text.find(word), std::string::npos) << name << " lacks \"" << word << "\":\n" << text;
  }
}

ReaderBatch::ReaderBatch(const std::string& reader)
    : dir_(fs::temp_directory_path() / ("pomvex_" + reader + "_" + std::to_string(::getpid()))) {
  fs::remove_all(dir_);
  fs::create_directories(dir_);
}

ReaderBatch::~ReaderBatch() {
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

fs::path ReaderBatch::WriteRtf(const std::string& name, const std::string& rtf) {
  const fs::path p = dir_ / (name + ".rtf");
  std::ofstream(p, std::ios::binary) << rtf;
  return p;
}

void ReaderBatch::Add(const std::vector<fs::path>& files, const std::string& format) {
  std::vector<fs::path>& asked = conversions_[format].files;
  for (const fs::path& f : files) {
    if (std::find(asked.begin(), asked.end(), f) == asked.end()) asked.push_back(f);
  }
}

void ReaderBatch::Run(const Reader& reader) {
  // The formats are converted side by side, each by a reader process of its own.
  std::vector<std::future<void>> runs;
  for (auto& [format, c] : conversions_) {
    const fs::path folder = dir_ / format, log = dir_ / (format + ".log");
    fs::create_directories(folder);
    runs.push_back(std::async(std::launch::async, [&reader, &format, &c, folder, log] {
      c.succeeded = reader(c.files, format, folder, log, c.results);
      c.log = ReadFile(log);
    }));
  }
  for (std::future<void>& run : runs) run.get();
}

std::vector<fs::path> ReaderBatch::Results(const std::vector<fs::path>& files,
                                           const std::string& format) const {
  std::vector<fs::path> results;
  const auto c = conversions_.find(format);
  if (c == conversions_.end()) {
    ADD_FAILURE() << "nothing was converted to " << format;
    return std::vector<fs::path>(files.size());
  }
  EXPECT_TRUE(c->second.succeeded) << c->second.log;
  for (const fs::path& f : files) {
    const auto at = std::find(c->second.files.begin(), c->second.files.end(), f);
    EXPECT_NE(at, c->second.files.end()) << f << " was not asked for in " << format;
    const auto i = static_cast<std::size_t>(at - c->second.files.begin());
    results.push_back(i < c->second.results.size() ? c->second.results[i] : fs::path());
  }
  return results;
}

void KeepRendered(const std::vector<fs::path>& pdfs, const std::string& subfolder) {
  const fs::path pictures = fs::path(POMVEX_BUILD_DIR) / "rendered" / subfolder;
  fs::create_directories(pictures);
  for (const fs::path& pdf : pdfs) {
    ASSERT_FALSE(pdf.empty()) << "no PDF rendered";
    fs::copy_file(pdf, pictures / pdf.filename(), fs::copy_options::overwrite_existing);
    if (!CommandExists("pdftoppm")) continue;
    const std::string cmd =
        "pdftoppm -png -r 100 " + pdf.string() + " " + (pictures / pdf.stem()).string();
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_TRUE(fs::exists(pictures / (pdf.stem().string() + "-1.png")));
  }
}

}  // namespace pomvex::testing
