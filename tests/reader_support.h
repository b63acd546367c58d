// What the tests that open our RTF in real readers (LibreOffice, AbiWord) share: one batch of
// conversions per reader, made before the first test (a reader takes seconds to start), the
// readers run as time-limited child processes, and what the sample documents must read back as in
// any reader.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pomvex::testing {

// The words and special characters a sample document's reviewed RTF file reads back with.
struct SampleText {
  std::string name;  // the sample's name without its extension
  std::vector<std::string> words;
};
const std::vector<SampleText>& SampleTexts();

// The samples with footnotes numbered 1, 2, ... in order, and the first words of each note.
struct SampleFootnotes {
  std::string name;
  std::vector<std::string> notes;
};
const std::vector<SampleFootnotes>& NumberedFootnoteSamples();

// The golden RTF files of the samples printed to be looked at (PHYSICS, CALCULUS, BOXES,
// LETTER, BIBLIO), and of every sample that is a document: the truncated one, without text,
// then those of SampleTexts.
std::vector<std::filesystem::path> PrintedSamples();
std::vector<std::filesystem::path> SampleDocuments();
// Expects the page headers on every page of the printed copies of PrintedSamples, in order.
void ExpectPageHeaders(const std::vector<std::filesystem::path>& pdfs);

std::filesystem::path GoldenDir();
// The text of one page of a PDF file (pdftotext, with the layout kept when asked); empty when
// it cannot be read.
std::string PageText(const std::filesystem::path& pdf, int page, bool layout = false);
bool CommandExists(const std::string& command);
// Runs a shell command with its output going to log; gives whether it exited with status 0.
bool RunLogged(const std::string& command, const std::filesystem::path& log);
int CountOf(const std::string& text, const std::string& what);
// Expects every word in text, which the reader made of the sample name.
void ExpectWords(const std::string& name, const std::string& text,
                 const std::vector<std::string>& words);

// The conversions that the tests of one reader need, asked for before the first test and made
// together: one run of the reader for each output format, whatever the number of tests, the
// formats side by side (so the reader must keep its runs apart: a profile or home of its own).
class ReaderBatch {
 public:
  // Runs the reader on files for one format in folder, its output going to log; gives whether it
  // succeeded and writes the results' paths in the order of files (empty where none was written).
  using Reader =
      std::function<bool(const std::vector<std::filesystem::path>& files, const std::string& format,
                         const std::filesystem::path& folder, const std::filesystem::path& log,
                         std::vector<std::filesystem::path>& results)>;

  // A fresh folder for the reader's files, removed with the batch.
  explicit ReaderBatch(const std::string& reader);
  ~ReaderBatch();
  ReaderBatch(const ReaderBatch&) = delete;
  ReaderBatch& operator=(const ReaderBatch&) = delete;

  std::filesystem::path WriteRtf(const std::string& name, const std::string& rtf);
  // Asks for the files in the format; a file asked for twice is converted once.
  void Add(const std::vector<std::filesystem::path>& files, const std::string& format);
  void Run(const Reader& reader);
  // The results of files in the format, expecting that the reader's run for it succeeded.
  std::vector<std::filesystem::path> Results(const std::vector<std::filesystem::path>& files,
                                             const std::string& format) const;
  const std::filesystem::path& Folder() const { return dir_; }

 private:
  struct Conversion {
    std::vector<std::filesystem::path> files, results;
    bool succeeded = false;
    std::string log;
  };
  std::filesystem::path dir_;
  std::map<std::string, Conversion> conversions_;  // by format
};

// Keeps copies of the PDF files under the build folder (rendered/ plus subfolder) with their
// pages as PNG pictures, to be looked at.
void KeepRendered(const std::vector<std::filesystem::path>& pdfs, const std::string& subfolder);

// A word of a PDF page and its box, in points from the page's top left corner.
struct PageWord {
  std::string text;
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
std::vector<PageWord> PageWords(const std::filesystem::path& pdf, int page);
// The number of pages of a PDF file; 0 when it cannot be read.
int PageCount(const std::filesystem::path& pdf);
// A page of a PDF file rendered in grey at dpi, a byte a pixel (0 black, 255 white).
struct GreyPage {
  int width = 0, height = 0;
  std::vector<unsigned char> pixels;
  bool Dark(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] < 128; }
  // The longest run of dark pixels in a row, and in a column.
  int LongestRow() const;
  int LongestColumn() const;
};
GreyPage RenderGrey(const std::filesystem::path& pdf, int page, int dpi);

// Documents of the second round of what readers show: a line with a left and a right part (in
// the page header too), rules, a box of line drawing, a command no step converts before letters,
// and a last line that ends a page; and endnotes whose marks are not in order.
extern const std::string kSecondRoundDocument;
extern const std::string kEndnoteDocument;

// Documents of two-dimensional mathematics, for --equations: each its name, the document, what
// a formula reader must read in its formula (StarMath, as LibreOffice annotates the objects it
// makes), and the linear form a reader without formulas shows.
struct FormulaDocument {
  std::string name;
  std::string chi;
  std::vector<std::string> starMath;
  std::string linear;
};
const std::vector<FormulaDocument>& FormulaDocuments();

}  // namespace pomvex::testing
