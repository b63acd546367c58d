// The manual page of pomvex-cli documents exactly the options that its --help lists.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "test_support.h"

namespace {

using Names = std::set<std::string>;

// The option names of the words in text that begin with "-" ("-r,--recursive" gives two).
void AddOptionNames(const std::string& text, Names& names) {
  std::istringstream words(text);
  std::string word;
  while (words >> word) {
    std::istringstream parts(word);
    std::string part;
    while (std::getline(parts, part, ',')) {
      if (part.size() > 1 && part[0] == '-') names.insert(part);
    }
  }
}

// --help lists an option on a line of its own that begins, after the indentation, with its
// names ("  -r,--recursive    Convert DIR..." or "  -r, --recursive ..."); the words after them
// (an argument, the description) do not count.
Names HelpOptionNames(const std::string& help) {
  Names names;
  std::istringstream lines(help);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string word;
    if (line.empty() || line[0] != ' ' || !(words >> word) || word[0] != '-') continue;
    AddOptionNames(word, names);
    while (word.back() == ',' && words >> word) AddOptionNames(word, names);
  }
  return names;
}

// The manual page documents each option as a .TP entry of its OPTIONS section, whose tag line
// holds the option's names (".BR \-r \", \" \-\-recursive").
Names ManualOptionNames(const std::string& page) {
  Names names;
  std::istringstream lines(page);
  std::string line;
  bool inOptions = false, tagNext = false;
  while (std::getline(lines, line)) {
    if (line.rfind(".SH", 0) == 0) {
      inOptions = line == ".SH OPTIONS";
      tagNext = false;
    } else if (inOptions && line.rfind(".TP", 0) == 0) {
      tagNext = true;
    } else if (tagNext) {
      tagNext = false;
      std::string plain;
      for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '-') {
          plain += '-';
          ++i;
        } else if (line[i] == '\\' && i + 2 < line.size() && line[i + 1] == 'f') {
          plain += ' ';  // a font change
          i += 2;
        } else {
          plain += line[i] == '"' ? ' ' : line[i];
        }
      }
      AddOptionNames(plain, names);
    }
  }
  return names;
}

std::string Listed(const Names& names) {
  std::string text;
  for (const std::string& name : names) text += " " + name;
  return text;
}

std::string RunCli(const std::string& args) {
  std::string output;
  FILE* pipe = ::popen((std::string(POMVEX_CLI_PATH) + " " + args).c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, n);
  ::pclose(pipe);
  return output;
}

TEST(ManualTest, OptionNamesAreReadFromHelpAndManualAlike) {
  const std::string help =
      "Usage: pomvex-cli [OPTIONS] PATH...\n"
      "Positionals:\n"
      "  PATH TEXT ... REQUIRED      A directory, or files (see --recursive)\n"
      "Options:\n"
      "  -h,--help                   Print this help message and exit\n"
      "  --outdir TEXT               Write into OUT, not beside the documents\n"
      "  -r,--recursive              Convert DIR and all its sub-folders, with -x\n"
      "  -k, --keep                  Keep, -y\n"
      "Exit status:\n"
      "  64  bad usage\n";
  EXPECT_EQ(HelpOptionNames(help),
            (Names{"-h", "--help", "--outdir", "-r", "--recursive", "-k", "--keep"}));

  const std::string page =
      ".SH DESCRIPTION\n"
      ".TP\n"
      ".B \\-\\-not\\-an\\-option\n"
      ".SH OPTIONS\n"
      ".TP\n"
      ".BR \\-h \", \" \\-\\-help\n"
      "Show the usage, as \\fB\\-\\-usage\\fR does not.\n"
      ".TP\n"
      "\\fB\\-\\-outdir\\fR \\fIOUT\\fR\n"
      ".TP\n"
      ".BI \\-r \" DIR\"\n"
      ".SH EXIT STATUS\n"
      ".TP\n"
      ".B \\-\\-neither\n";
  EXPECT_EQ(ManualOptionNames(page), (Names{"-h", "--help", "--outdir", "-r"}));
}

TEST(ManualTest, ManualPageDocumentsExactlyTheOptionsOfHelp) {
  const Names help = HelpOptionNames(RunCli("--help"));
  ASSERT_TRUE(help.count("--help") == 1 && help.count("--version") == 1) << Listed(help);

  const std::filesystem::path page = POMVEX_BUILD_DIR "/man/pomvex-cli.1";
  ASSERT_TRUE(std::filesystem::exists(page)) << page;
  const Names manual = ManualOptionNames(pomvex::testing::ReadFile(page));

  Names onlyHelp, onlyManual;
  for (const std::string& name : help) {
    if (manual.count(name) == 0) onlyHelp.insert(name);
  }
  for (const std::string& name : manual) {
    if (help.count(name) == 0) onlyManual.insert(name);
  }
  EXPECT_TRUE(onlyHelp.empty()) << "in --help but not under OPTIONS in man/pomvex-cli.1.in:"
                                << Listed(onlyHelp);
  EXPECT_TRUE(onlyManual.empty()) << "under OPTIONS in man/pomvex-cli.1.in but not in --help:"
                                  << Listed(onlyManual);
}

}  // namespace
