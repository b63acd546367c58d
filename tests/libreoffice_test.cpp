// Our RTF opened by a real reader: LibreOffice, run headless, loads every document we write and
// reads back the characters, notes, headers and footers we meant. Skipped where it is not
// installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <regex>
#include <sstream>
#include <string_view>

#include "conversion/line_assembly.h"
#include "document/header_reader.h"
#include "document/sections.h"
#include "layout/pipeline.h"
#include "reader_support.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace pomvex {
namespace {

using testing::ReadFile;

std::string ConvertToRtf(const std::string& chi, testing::RecordingReporter& reporter) {
  testing::ConvertedDocument c = testing::ConvertInMemory(chi);
  EXPECT_TRUE(c.isDocument);
  reporter = c.reporter;
  return c.rtf;
}

const std::string kHeader =
    "\\1cw\r\n\\U1STANDARD\r\n\\U2GREEK\r\n\\U3MATHII\r\n\\U4LINEDRAW\r\n\\U5SYMBOL\r\n"
    "\\U6FOREIGN\r\n\\U7MATHI\r\n\\U8BOLD\r\n\\U9ITALIC\r\n\\U0UNDERLIN\r\n";

const std::string kSpecialDocument = kHeader +
                                     "\\2abc\\1 \\3A\\1 \\4lkj\\1 \\5T\\1 \\6a\\1 \\7"
                                     "8\\1\\,\r\n";
const std::string kFurnitureDocument = kHeader +
                                       "\\HD\r\nRunning head\\,\r\n\\=\r\n"
                                       "\\FE\r\nEven foot \\@\\,\r\n\\=\r\n"
                                       "\\F1\r\nFirst foot\\,\r\n\\=\r\n"
                                       "\\S\r\n----------\\,\r\n\\=\r\n"
                                       "\\N1\r\nFirst note text.\\,\r\n\\=\r\n"
                                       "\\N2\r\nSecond note text.\\,\r\n\\=\r\n"
                                       "Body\\F1 with two\\F2 notes.\\,\r\n";

// Documents that exercise most of the converter, each of which must load.
const std::pair<const char*, std::string> kVariedDocuments[] = {
    {"plain", kHeader + "First line\r\nsecond line\r\n"},
    {"paragraphs", kHeader + "One.\\,\r\n\r\nTwo \\8bold\\1 and \\9italic\\1.\\,\f\r\nThree\r\n"},
    {"scripts", kHeader + "\\+    2  3\r\nE=mc\\ +x\\ \\,\r\n\\- i\r\n\\- extra\r\n"},
    {"misplaced", kHeader + "\\+ zz\r\nno room here\\,\r\n\\- low\r\n"},
    {"furniture", kHeader + "\\HD\r\nHead \\@\\,\r\n\\=\r\n\\N1\r\nA note {x}.\\,\r\n\\=\r\n"
                            "Text\\F1 and {braces}.\\,\r\n"},
    {"tabs", kHeader + "Name\\[Value\\]xEnd\\].\\,\r\nA\\ \\ \\ \\ 12.5\\].\\,\r\n"},
    {"centred", kHeader + "\\^\\ Title\\ \\^\\,\r\n\\^Right\\,\r\n"},
    {"special", kSpecialDocument},
    {"rules", kHeader + "----------\\,\r\n\\4[---]\\1\\,\r\n"},
    {"unknown", kHeader + "Bad \\Q command \\0under\\1 and trailing \\\r\n"},
    {"openend", kHeader + "\\HD\r\nno end\r\n\\=\r\nbody\r\n"},
    {"stray_markers", kHeader + "a\\>b and \\: c \\{ d}\\\r\n\\<x\\,\r\n"},
};

TEST(ConvertedDocuments, BracesBalance) {
  for (const auto& [name, chi] : kVariedDocuments) {
    testing::RecordingReporter reporter;
    const std::string rtf = ConvertToRtf(chi, reporter);
    EXPECT_TRUE(IsOneGroup(rtf)) << name << ":\n" << rtf;
    EXPECT_EQ(rtf.back(), '}') << name;
  }
}

// Converts the files for one format with one headless LibreOffice (a profile of its own, so that
// the formats can be converted side by side) and gives the paths of the results (empty where
// LibreOffice wrote nothing).
bool RunLibreOffice(const std::vector<fs::path>& files, const std::string& format,
                    const fs::path& folder, const fs::path& log, std::vector<fs::path>& results) {
  const std::string filter = format == "txt" ? "txt:Text (encoded):UTF8" : format;
  std::string cmd = "cd " + folder.string() + " && timeout 300 soffice --headless --norestore" +
                    " -env:UserInstallation=file://" +
                    (folder.parent_path() / ("profile_" + format)).string() + " --convert-to '" +
                    filter + "' --outdir " + folder.string();
  for (const fs::path& f : files) cmd += " " + f.string();
  const bool succeeded = testing::RunLogged(cmd, log);
  for (const fs::path& f : files) {
    const fs::path out = folder / (f.stem().string() + "." + format);
    results.push_back(fs::exists(out) && fs::file_size(out) > 0 ? out : fs::path());
  }
  return succeeded;
}

std::vector<std::pair<std::size_t, std::string>> ScriptLinesOf(DocumentState& doc,
                                                               const std::string& chi);
std::string GeneratedDocument(unsigned seed);

// A document converted with every run kept, and each of its script lines converted alone, as a
// paragraph of a document with the same prolog.
struct AllRunsDocument {
  std::string name;
  bool balanced = false;
  fs::path whole, alone;
  std::vector<std::pair<std::size_t, std::string>> scriptLines;
};

// Every document the tests read back is written, and converted with one LibreOffice for each
// format, before the first test.
class LibreOffice : public ::testing::Test {
 protected:
  struct Files {
    testing::ReaderBatch batch{"lo"};
    std::vector<testing::ConvertedDocument> varied;
    std::vector<fs::path> variedFiles;
    testing::ConvertedDocument special;
    fs::path specialFile, furnitureFile, roundFile, endnoteFile;
    std::vector<fs::path> formulaFiles;  // FormulaDocuments, then PHYSICS and CALCULUS
    std::vector<AllRunsDocument> allRuns;
  };

  static void SetUpTestSuite() {
    if (!testing::CommandExists("soffice")) return;
    files_ = std::make_unique<Files>();
    Files& f = *files_;
    for (const auto& [name, chi] : kVariedDocuments) {
      f.varied.push_back(testing::ConvertInMemory(chi));
      f.variedFiles.push_back(f.batch.WriteRtf("loads_" + std::string(name), f.varied.back().rtf));
    }
    f.special = testing::ConvertInMemory(kSpecialDocument);
    f.specialFile = f.batch.WriteRtf("special_fonts", f.special.rtf);
    f.furnitureFile =
        f.batch.WriteRtf("furniture", testing::ConvertInMemory(kFurnitureDocument).rtf);
    f.roundFile =
        f.batch.WriteRtf("second_round", testing::ConvertInMemory(testing::kSecondRoundDocument).rtf);
    f.endnoteFile =
        f.batch.WriteRtf("endnotes", testing::ConvertInMemory(testing::kEndnoteDocument).rtf);
    for (const testing::FormulaDocument& d : testing::FormulaDocuments()) {
      f.formulaFiles.push_back(f.batch.WriteRtf(
          "formula_" + d.name, testing::ConvertInMemory(d.chi, false, /*equations=*/true).rtf));
    }
    for (const char* sample : {"PHYSICS", "CALCULUS"}) {
      const fs::path chi = fs::path(POMVEX_SOURCE_DIR) / "examples" / (std::string(sample) + ".CHI");
      f.formulaFiles.push_back(f.batch.WriteRtf(
          std::string("equations_") + sample,
          testing::ConvertInMemory(ReadFile(chi), false, /*equations=*/true).rtf));
    }
    f.allRuns = AllRunsDocuments(f.batch);
    std::vector<fs::path> allRunsFiles;
    for (const AllRunsDocument& d : f.allRuns) {
      allRunsFiles.push_back(d.whole);
      allRunsFiles.push_back(d.alone);
    }
    f.batch.Add(f.variedFiles, "txt");
    f.batch.Add({f.specialFile}, "txt");
    f.batch.Add(SampleFiles(), "txt");
    f.batch.Add(allRunsFiles, "txt");
    f.batch.Add({f.furnitureFile}, "odt");
    f.batch.Add(FootnoteSampleFiles(), "odt");
    f.batch.Add(testing::SampleDocuments(), "odt");
    f.batch.Add(PrintedFiles(), "pdf");
    f.batch.Add({f.roundFile, f.endnoteFile}, "pdf");
    f.batch.Add({f.roundFile, f.endnoteFile}, "txt");
    f.batch.Add(f.formulaFiles, "odt");
    f.batch.Add(f.formulaFiles, "pdf");
    f.batch.Run(RunLibreOffice);
  }
  static void TearDownTestSuite() { files_.reset(); }

  void SetUp() override {
    if (!files_) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  }

  static std::vector<fs::path> SampleFiles() {
    std::vector<fs::path> files;
    for (const testing::SampleText& sample : testing::SampleTexts())
      files.push_back(testing::GoldenDir() / (sample.name + ".rtf"));
    return files;
  }
  static std::vector<fs::path> FootnoteSampleFiles() {
    std::vector<fs::path> files;
    for (const testing::SampleFootnotes& sample : testing::NumberedFootnoteSamples())
      files.push_back(testing::GoldenDir() / (sample.name + ".rtf"));
    return files;
  }
  static std::vector<fs::path> PrintedFiles() {
    std::vector<fs::path> printed = testing::PrintedSamples();
    printed.push_back(testing::GoldenDir() / "TABLE.rtf");
    return printed;
  }

  // The documents of the examples folder and eight generated ones, with every run kept.
  static std::vector<AllRunsDocument> AllRunsDocuments(testing::ReaderBatch& batch) {
    std::vector<std::pair<std::string, std::string>> documents;
    for (const auto& entry : fs::directory_iterator(fs::path(POMVEX_SOURCE_DIR) / "examples")) {
      if (entry.path().extension() == ".CHI")
        documents.emplace_back(entry.path().stem().string(), ReadFile(entry.path()));
    }
    for (unsigned seed = 1; seed <= 8; ++seed)
      documents.emplace_back("generated" + std::to_string(seed), GeneratedDocument(seed));
    std::vector<AllRunsDocument> found;
    for (const auto& [name, chi] : documents) {
      const testing::ConvertedDocument c = testing::ConvertInMemory(chi, /*keepAllScripts=*/true);
      if (!c.isDocument) continue;
      AllRunsDocument& d = found.emplace_back();
      d.name = name;
      d.balanced = IsOneGroup(c.rtf);
      testing::RecordingReporter quiet;
      DocumentState doc(quiet);
      d.scriptLines = ScriptLinesOf(doc, chi);
      std::string alone = c.rtf.substr(0, c.rtf.size() - c.body.size());
      for (auto& [paragraph, line] : d.scriptLines) {
        std::string tabStops;
        ProcessLineMarkup(doc, line, true, tabStops);
        alone += "{\\pard " + line + "\\par}\r\n";
      }
      d.whole = batch.WriteRtf("allruns_" + name, c.rtf);
      d.alone = batch.WriteRtf("allruns_" + name + "_lines", alone + "{\\pard .\\par}}");
    }
    return found;
  }

  // One member of an ODT package.
  static std::string Unzipped(const fs::path& odt, const std::string& member) {
    std::string name = member;
    for (char& c : name) c = c == '/' || c == ' ' ? '_' : c;
    const fs::path out = files_->batch.Folder() / (odt.stem().string() + "_" + name);
    const std::string cmd = "unzip -p '" + odt.string() + "' '" + member + "' >'" + out.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << member;
    return ReadFile(out);
  }

  static std::unique_ptr<Files> files_;
};
std::unique_ptr<LibreOffice::Files> LibreOffice::files_;

TEST_F(LibreOffice, LoadsEveryConvertedDocument) {
  const std::vector<fs::path> texts = files_->batch.Results(files_->variedFiles, "txt");
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_TRUE(files_->varied[i].isDocument) << files_->variedFiles[i].filename();
    EXPECT_FALSE(texts[i].empty())
        << "LibreOffice could not read " << files_->variedFiles[i].filename();
  }
}

TEST_F(LibreOffice, ReadsTheSpecialFontCharacters) {
  EXPECT_TRUE(files_->special.isDocument);
  const std::vector<fs::path> texts = files_->batch.Results({files_->specialFile}, "txt");
  ASSERT_FALSE(texts[0].empty());
  const std::string text = ReadFile(texts[0]);
  EXPECT_NE(text.find("\u03b1\u03b2\u03c7"), std::string::npos) << "alpha beta chi: " << text;
  EXPECT_NE(text.find("\U0001D538"), std::string::npos) << "double-struck A: " << text;
  EXPECT_NE(text.find("\u2524\u253c\u251c"), std::string::npos) << "box drawing: " << text;
  EXPECT_NE(text.find("\u2122"), std::string::npos) << "trade mark: " << text;
  EXPECT_NE(text.find("\u00e4"), std::string::npos) << "a umlaut: " << text;
  EXPECT_NE(text.find("\u221e"), std::string::npos) << "infinity: " << text;
  EXPECT_TRUE(files_->special.reporter.entries.empty());
}

TEST_F(LibreOffice, SetsNotesHeadersAndFooters) {
  const std::vector<fs::path> odt = files_->batch.Results({files_->furnitureFile}, "odt");
  ASSERT_FALSE(odt[0].empty());
  const std::string content = Unzipped(odt[0], "content.xml");
  const std::string styles = Unzipped(odt[0], "styles.xml");
  EXPECT_EQ(testing::CountOf(content, "<text:note-body>"), 2);
  EXPECT_NE(content.find("First note text."), std::string::npos);
  EXPECT_NE(content.find("Second note text."), std::string::npos);
  EXPECT_NE(styles.find("<style:header>"), std::string::npos);
  EXPECT_NE(styles.find("<style:footer"), std::string::npos);
  EXPECT_NE(styles.find("<style:footer-left"), std::string::npos);
  EXPECT_NE(styles.find("Running head"), std::string::npos);
  EXPECT_NE(styles.find("Even foot"), std::string::npos);
  EXPECT_NE(styles.find("First foot"), std::string::npos);
}

// Printed, a line's left part starts at the left margin and its right part ends at the right
// one, in the page header as in the body; a document whose last line ends a page has no empty
// page after it; a command no step converts shows the letters after it; endnotes whose marks
// are not in order are numbered once each, in arabic figures.
TEST_F(LibreOffice, PrintsLeftAndRightPartsNoEmptyLastPageAndEndnotesOnce) {
  if (!testing::CommandExists("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  const std::vector<fs::path> pdfs =
      files_->batch.Results({files_->roundFile, files_->endnoteFile}, "pdf");
  testing::KeepRendered(pdfs, "second_round");
  EXPECT_EQ(testing::PageCount(pdfs[0]), 1);
  int lefts = 0, rights = 0;
  for (const testing::PageWord& word : testing::PageWords(pdfs[0], 1)) {
    // The margins are an inch on a letter page: 72 and 540 points.
    if (word.text == "MA" && std::abs(word.xMin - 72) < 3) ++lefts;
    if (word.text == "9" && std::abs(word.xMax - 540) < 3) ++rights;
  }
  EXPECT_EQ(lefts, 2) << "the header's left part and the body's";
  EXPECT_EQ(rights, 2) << "the header's right part and the body's";
  const std::vector<fs::path> texts =
      files_->batch.Results({files_->roundFile, files_->endnoteFile}, "txt");
  EXPECT_NE(ReadFile(texts[0]).find("The \\Nabc command."), std::string::npos);
  const std::string endnotes = ReadFile(texts[1]);
  EXPECT_NE(endnotes.find("A decade1 and a century2 passed."), std::string::npos) << endnotes;
  // LibreOffice prints the endnotes on a page of their own after the text.
  std::string printed;
  for (int page = 1; page <= testing::PageCount(pdfs[1]); ++page) {
    printed += testing::PageText(pdfs[1], page);
  }
  EXPECT_EQ(testing::CountOf(printed, "Second endnote."), 1) << printed;
  EXPECT_NE(printed.find("2 Second endnote."), std::string::npos) << printed;
}

// With --equations, each formula is a formula object whose structure is the one meant (its
// StarMath annotation), the words around a formula in a sentence stay text, and the kinetic
// energy of the physics paper and the limit, sum and integral of the calculus notes are objects.
TEST_F(LibreOffice, ReadsFormulasAsFormulaObjects) {
  const std::vector<fs::path> odt = files_->batch.Results(files_->formulaFiles, "odt");
  testing::KeepRendered(files_->batch.Results(files_->formulaFiles, "pdf"), "formulas");
  const auto starMath = [](const fs::path& file, int object) {
    std::string xml = Unzipped(file, "Object " + std::to_string(object) + "/content.xml");
    for (std::size_t at = xml.find("&apos;"); at != std::string::npos; at = xml.find("&apos;"))
      xml.replace(at, 6, "'");
    const std::size_t start = xml.find("<annotation encoding=\"StarMath 5.0\">");
    return start == std::string::npos ? std::string() : xml.substr(start);
  };
  const std::vector<testing::FormulaDocument>& documents = testing::FormulaDocuments();
  for (std::size_t i = 0; i < documents.size(); ++i) {
    ASSERT_FALSE(odt[i].empty()) << documents[i].name;
    const std::string formula = starMath(odt[i], 1);
    for (const std::string& part : documents[i].starMath) {
      EXPECT_NE(formula.find(part), std::string::npos) << documents[i].name << ": " << formula;
    }
  }
  const std::string sentence = Unzipped(odt[documents.size() - 1], "content.xml");
  // The words, then the formula object, then the word after it.
  const std::size_t words = sentence.find("the energy "), frame = sentence.find("<draw:frame"),
                    after = sentence.find("grows");
  EXPECT_TRUE(words < frame && frame < after && after != std::string::npos) << sentence;
  EXPECT_EQ(testing::CountOf(sentence, "<draw:frame"), 1) << sentence;
  const fs::path physics = odt[documents.size()], calculus = odt[documents.size() + 1];
  EXPECT_NE(starMath(physics, 1).find("over {2}"), std::string::npos) << starMath(physics, 1);
  EXPECT_NE(starMath(calculus, 1).find("lim from {h→0}"), std::string::npos);
  EXPECT_NE(starMath(calculus, 2).find("sum from {n=0} to {∞}"), std::string::npos);
  EXPECT_NE(starMath(calculus, 3).find("int from {a} to {b}"), std::string::npos);
}

// The sample documents' reviewed RTF files read back with the words and characters they hold;
// printed, they show their page headers on every page. The printed samples and the table are
// rendered to PNG pages under the build folder.
TEST_F(LibreOffice, ReadsTheSampleDocuments) {
  const std::vector<fs::path> files = SampleFiles();
  const std::vector<fs::path> texts = files_->batch.Results(files, "txt");
  for (std::size_t i = 0; i < files.size(); ++i) {
    const testing::SampleText& sample = testing::SampleTexts()[i];
    ASSERT_FALSE(texts[i].empty()) << "LibreOffice could not read " << sample.name;
    testing::ExpectWords(sample.name, ReadFile(texts[i]), sample.words);
  }
  const std::vector<fs::path> pdfs = files_->batch.Results(PrintedFiles(), "pdf");
  testing::KeepRendered(pdfs, "");
  testing::ExpectPageHeaders(pdfs);
}

// The text of an ODT fragment: tags left out, the tag for spaces read as one space.
std::string TextOf(std::string_view xml) {
  std::string text;
  for (std::size_t i = 0; i < xml.size(); ++i) {
    if (xml[i] != '<') {
      text += xml[i];
      continue;
    }
    const std::size_t close = xml.find('>', i);
    if (xml.substr(i, 8) == "<text:s/" || xml.substr(i, 8) == "<text:s ") text += ' ';
    if (close == std::string_view::npos) break;
    i = close;
  }
  return text;
}

// Every footnote numbered 1, 2, ... in a sample is one note whose citation is its number: no
// copy of the number stands in the text before it, and the note's text does not begin with one.
TEST_F(LibreOffice, NumbersEachSampleFootnoteOnce) {
  const std::vector<fs::path> files = FootnoteSampleFiles();
  const std::vector<fs::path> odts = files_->batch.Results(files, "odt");
  for (std::size_t i = 0; i < files.size(); ++i) {
    const testing::SampleFootnotes& sample = testing::NumberedFootnoteSamples()[i];
    ASSERT_FALSE(odts[i].empty()) << "LibreOffice could not read " << sample.name;
    const std::string content = Unzipped(odts[i], "content.xml");
    EXPECT_EQ(testing::CountOf(content, "<text:note "), static_cast<int>(sample.notes.size()))
        << sample.name;
    std::size_t at = 0;
    for (std::size_t k = 0; k < sample.notes.size(); ++k) {
      const std::string number = std::to_string(k + 1);
      at = content.find("<text:note ", at);
      ASSERT_NE(at, std::string::npos) << sample.name << " lacks note " << number;
      const std::string before = TextOf(std::string_view(content).substr(0, at));
      EXPECT_NE(before.substr(before.size() - number.size()), number)
          << sample.name << ": a copy of the mark before note " << number << ": "
          << before.substr(before.size() - std::min<std::size_t>(before.size(), 60));
      const std::size_t citation = content.find("<text:note-citation>", at);
      const std::size_t body = content.find("<text:note-body>", at);
      const std::size_t end = content.find("</text:note-body>", at);
      ASSERT_TRUE(citation < body && body < end) << sample.name;
      EXPECT_EQ(TextOf(std::string_view(content).substr(citation, body - citation)), number)
          << sample.name;
      const std::string note = TextOf(std::string_view(content).substr(body, end - body));
      const std::size_t first = note.find_first_not_of(' ');
      EXPECT_EQ(note.substr(first == std::string::npos ? 0 : first, sample.notes[k].size()),
                sample.notes[k])
          << sample.name << " note " << number << ": " << note;
      at = end;
    }
  }
}

// Every sample read as ODT: no raised or lowered text at full size (readers shrink their own
// superscripts and subscripts), no empty paragraph at the end of a note, the pieces of a line
// drawing (U+2500 to U+257F) in Courier New, and the footnote separator drawn.
TEST_F(LibreOffice, ShowsTheSamplesAsWritten) {
  const std::vector<fs::path> files = testing::SampleDocuments();
  const std::vector<fs::path> odts = files_->batch.Results(files, "odt");
  const std::regex fullSize(R"re(text-position="-?[1-9][0-9]*% 100%")re");
  const std::regex drawn("<text:span text:style-name=\"([^\"]+)\">[^<]*\xE2[\x94\x95]");
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string name = files[i].stem().string();
    ASSERT_FALSE(odts[i].empty()) << "LibreOffice could not read " << name;
    const std::string content = Unzipped(odts[i], "content.xml");
    const std::string styles = Unzipped(odts[i], "styles.xml");
    EXPECT_FALSE(std::regex_search(content + styles, fullSize)) << name;
    EXPECT_EQ(content.find("/></text:note-body>"), std::string::npos) << name << ": empty";
    int spans = 0;
    for (std::sregex_iterator m(content.begin(), content.end(), drawn), end; m != end;
         ++m, ++spans) {
      const std::regex courier("style:name=\"" + (*m)[1].str() +
                               "\"[^>]*><style:text-properties style:font-name=\"Courier New\"");
      EXPECT_TRUE(std::regex_search(content, courier)) << name << ": " << m->str();
    }
    EXPECT_EQ(spans, name == "BOXES" ? 6 : 0) << name << ": the five rows of the box, the rule";
    EXPECT_TRUE(name != "BIBLIO" || styles.find("rel-width=\"0%\"") == std::string::npos);
  }
}

// The script lines of a document as the conversion merges them (their fonts carried in), each
// with the index of the body paragraph its group falls in.
std::vector<std::pair<std::size_t, std::string>> ScriptLinesOf(DocumentState& doc,
                                                               const std::string& chi) {
  std::istringstream stream(chi);
  TextInput in(stream);
  std::string line, sections;
  std::vector<std::pair<std::size_t, std::string>> found;
  ResetDocumentState(doc);
  if (!ReadDocumentHeader(doc, in, line)) return found;
  auto group = std::make_unique<LineGroup>();
  GroupFlow flow;
  ConvertHeaderFooterSections(doc, in, *group, std::move(line), sections, flow.linePending);
  for (std::size_t paragraphs = 0; !in.AtEnd() || flow.linePending;) {
    const bool opens = flow.paragraphEnded;
    ConvertLineGroup(doc, in, *group, line, flow);
    paragraphs += opens && group->mainIndex >= 0 ? 1 : 0;
    for (int slot = 0; slot <= group->lastIndex && group->mainIndex >= 0; ++slot) {
      // A line read ahead has been swapped into slot 0, the group's first line out of it.
      const int at = slot == 0 && flow.linePending ? group->lastIndex + 1 : slot;
      if (slot != group->mainIndex) found.emplace_back(paragraphs - 1, group->Lines[at]);
    }
  }
  return found;
}

// The characters of each line of a UTF-8 text, blanks left out.
std::vector<std::vector<std::string>> CharactersByLine(const std::string& text) {
  std::vector<std::vector<std::string>> lines(1);
  for (std::size_t i = 0, n = 1; i < text.size(); i += n, n = 1) {
    while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
    const std::string c = text.substr(i, n);
    if (c == "\n") lines.emplace_back();
    const bool blank = c == " " || c == "\t" || c == "\n" || c == "\xEF\xBB\xBF" ||
                       c == "\xC2\xA0" ||
                       (n == 3 && c.compare(0, 2, "\xE2\x80") == 0 && c[2] <= '\x8B');
    if (!blank) lines.back().push_back(c);
  }
  return lines;
}

// Groups of up to three superscript and three subscript lines, with runs in several fonts at
// random columns: over hard spaces, over text, beyond the end. A fixed seed makes each the same.
std::string GeneratedDocument(unsigned seed) {
  std::mt19937 rng(seed);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  const std::string glyphs = "abcxyzABC0123+-=()";
  std::string chi = kHeader;
  for (int g = 0; g < 30; ++g) {
    std::vector<std::string> cells(10 + pick(30)), lines(pick(4) + pick(4) + 1);
    const std::size_t main = pick(lines.size());
    for (std::size_t l = 0; l < lines.size(); ++l) {
      lines[l] = l < main ? "\\+" : "\\-";
      for (std::size_t col = pick(4), used = 0; l != main && col < cells.size() + 6;
           col = used + 1 + pick(8)) {
        lines[l] += std::string(col - used, ' ') + (pick(3) == 0 ? "\\2" : "");
        for (used = col + 1 + pick(4); col < used; ++col) {
          lines[l] += glyphs[pick(glyphs.size())];
          if (col < cells.size() && pick(2) == 0) cells[col] = "\\ ";
        }
        lines[l] += "\\1";
      }
    }
    lines[main].clear();
    for (std::string& c : cells) lines[main] += pick(4) == 0 ? "\\ " : c;
    lines[main] += pick(5) == 0 ? "" : "\\,";
    for (const std::string& l : lines) chi += l + "\r\n";
  }
  return chi;
}

// With every run kept, each character of each script line reaches the reader, in the order of
// its line, in the paragraph of its group: in the samples and in a folder of generated documents.
TEST_F(LibreOffice, ReadsEveryScriptCharacterWhenAllRunsAreKept) {
  std::vector<fs::path> files;
  std::vector<std::vector<std::pair<std::size_t, std::string>>> scriptLines;
  for (const AllRunsDocument& d : files_->allRuns) {
    EXPECT_TRUE(d.balanced) << d.name;
    files.push_back(d.whole);
    files.push_back(d.alone);
    scriptLines.push_back(d.scriptLines);
  }
  const std::vector<fs::path> texts = files_->batch.Results(files, "txt");
  std::size_t checked = 0;
  for (std::size_t d = 0; d < scriptLines.size(); ++d) {
    ASSERT_FALSE(texts[2 * d].empty() || texts[2 * d + 1].empty()) << files[2 * d];
    const auto read = CharactersByLine(ReadFile(texts[2 * d]));
    const auto alone = CharactersByLine(ReadFile(texts[2 * d + 1]));
    ASSERT_GE(alone.size(), scriptLines[d].size()) << files[2 * d];
    for (std::size_t i = 0; i < scriptLines[d].size(); ++i) {
      const std::size_t p = scriptLines[d][i].first;
      ASSERT_LT(p, read.size()) << files[2 * d];
      auto at = read[p].begin();
      for (const std::string& c : alone[i]) {
        at = std::find(at, read[p].end(), c);
        ASSERT_NE(at, read[p].end()) << files[2 * d] << ": paragraph " << p << " lacks " << c
                                     << " of the script line " << scriptLines[d][i].second;
        ++at;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 1000U);
}

}  // namespace
}  // namespace pomvex
