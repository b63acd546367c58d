#include "reader_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <future>
#include <sstream>

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

std::vector<PageWord> PageWords(const fs::path& pdf, int page) {
  const std::string n = std::to_string(page);
  const fs::path html = pdf.parent_path() / (pdf.stem().string() + "_" + n + ".bbox.html");
  RunLogged("pdftotext -bbox -f " + n + " -l " + n + " " + pdf.string() + " " + html.string(),
            html.string() + ".log");
  const std::string text = ReadFile(html);
  std::vector<PageWord> words;
  const auto number = [&text](std::size_t at, const std::string& name) {
    const std::size_t start = text.find(name + "=\"", at);
    return start == std::string::npos ? 0.0 : std::atof(text.c_str() + start + name.size() + 2);
  };
  for (std::size_t at = text.find("<word "); at != std::string::npos;
       at = text.find("<word ", at + 1)) {
    const std::size_t open = text.find('>', at), close = text.find("</word>", at);
    if (open == std::string::npos || close == std::string::npos) break;
    words.push_back({text.substr(open + 1, close - open - 1), number(at, "xMin"),
                     number(at, "yMin"), number(at, "xMax"), number(at, "yMax")});
  }
  return words;
}

int PageCount(const fs::path& pdf) {
  const fs::path info = pdf.parent_path() / (pdf.stem().string() + ".info");
  RunLogged("pdfinfo " + pdf.string(), info);
  const std::string text = ReadFile(info);
  const std::size_t at = text.find("Pages:");
  return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + 6);
}

int GreyPage::LongestRow() const {
  int longest = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0, run = 0; x < width; ++x) {
      run = Dark(x, y) ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  return longest;
}

int GreyPage::LongestColumn() const {
  int longest = 0;
  for (int x = 0; x < width; ++x) {
    for (int y = 0, run = 0; y < height; ++y) {
      run = Dark(x, y) ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  return longest;
}

GreyPage RenderGrey(const fs::path& pdf, int page, int dpi) {
  const std::string n = std::to_string(page);
  const fs::path prefix = pdf.parent_path() / (pdf.stem().string() + "_grey");
  RunLogged("pdftoppm -gray -singlefile -r " + std::to_string(dpi) + " -f " + n + " -l " + n +
                " " + pdf.string() + " " + prefix.string(),
            prefix.string() + ".log");
  // A binary PGM file: "P5", the width, the height and the largest value, then the pixels.
  const std::string bytes = ReadFile(prefix.string() + ".pgm");
  GreyPage grey;
  std::istringstream header(bytes);
  std::string magic;
  int most = 0;
  if (!(header >> magic >> grey.width >> grey.height >> most) || magic != "P5" || most != 255) {
    return {};
  }
  const std::size_t start = static_cast<std::size_t>(header.tellg()) + 1;
  const std::size_t size = static_cast<std::size_t>(grey.width) * grey.height;
  if (bytes.size() < start + size) return {};
  grey.pixels.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                     bytes.begin() + static_cast<std::ptrdiff_t>(start + size));
  return grey;
}

const std::string kSecondRoundDocument =
    "\\1cw\r\n\\U1STANDARD\r\n\\U3LINEDRAW\r\n"
    "\\HD\r\nMA 152  Analysis II      \\^Lecture 9\\,\r\n\\=\r\n"
    "MA 152  Analysis II      \\^Lecture 9\\,\r\n"
    "The results follow.\\,\r\n"
    "==========================================\\,\r\n"
    "\\3u--------------o\\1\\,\r\n"
    "\\31\\1 A box        \\31\\1\\,\r\n"
    "\\31\\1 of lines     \\31\\1\\,\r\n"
    "\\31\\1 drawn        \\31\\1\\,\r\n"
    "\\31\\1 in Courier   \\31\\1\\,\r\n"
    "\\3m--------------.\\1\\,\r\n"
    "The \\Nabc command.\\,\r\n"
    "------------------------------------------\\,\r\n"
    "Last line.\\,\f\r\n";

const std::vector<FormulaDocument>& FormulaDocuments() {
  static const std::string head = "\\1cw\r\n\\U1STANDARD\r\n\\U2MATHI\r\n";
  static const std::vector<FormulaDocument> documents = {
      {"fraction", head + "\\+    a + b\r\nx = -------\\,\r\n\\-     2c\r\n",
       {"x= {a+b} over {2c}"}, "x = (a + b)/(2c)"},
      {"sum", head + "\\+    N\r\nS = \\2S\\1 a\\ \\,\r\n\\-   k=1 k\r\n",
       {"S= sum from {k=1} to {N} {{a} rsub {k}}"}, "S = \u2211(k=1..N) ak"},
      {"stacked", head + "\\+  2-\r\nSO\\ \\ \\,\r\n\\-  4\r\n",
       {"rsub {4}", "rsup"}, "SO42-"},
      {"nested", head + "\\+      2\r\n\\+     x\\ \r\ny = e\\ \\ \\,\r\n",
       {"y= {e} ^ {{x} ^ {2}}"}, "y = ex2"},
      {"limit", head + "lim  a\\  = L\\,\r\n\\-n\\2L\\1\\28\\1   n\r\n",
       {"lim from {n\u2192\u221e}", "{a} rsub {n}"}, "lim(n\u2192\u221e) an = L"},
      {"sentence",
       head + "\\+               1  2\r\nthe energy E = -mv\\  grows\\,\r\n\\-               2\r\n",
       {"E= {1} over {2}"}, "the energy E = 1/2mv2 grows"},
  };
  return documents;
}

const std::string kEndnoteDocument =
    "\\1cw\r\n\\U1STANDARD\r\n\\pEN 1\r\n\\N2\r\nFirst endnote.\\,\r\n\\=\r\n"
    "\\N5\r\nSecond endnote.\\,\r\n\\=\r\nA decade\\F2 and a century\\F5 passed.\\,\r\n";

}  // namespace pomvex::testing
