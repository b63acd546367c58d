// pomvex-cli: converts ChiWriter 3 documents into RTF from the command line, with the same run
// as the window: a directory, a directory tree, or single files of one directory.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/folder_listing.h"
#include "app/run.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitFinished = 0;
constexpr int kExitFailure = 2;
constexpr int kExitUsage = 64;

// Prints the start directory, and progress on stderr when it is a terminal.
class CliFrontEnd : public pomvex::RunFrontEnd {
 public:
  explicit CliFrontEnd(bool progress) : progress_(progress) {}
  void ShowInfo(const std::string& text) override {
    std::cout << text << std::endl;
    started_ = true;
  }
  // Ends the progress line, so that what follows starts on a line of its own.
  void Finish() {
    if (shown_) std::cerr << '\n';
    shown_ = false;
  }
  void FileStarted(const std::string& path) override {
    current_ = fs::path(path).filename().string();
    Show();
  }
  void CountsChanged(const pomvex::RunCounts& counts) override {
    counts_ = counts;
    Show();
  }

 private:
  void Show() {
    if (!progress_ || !started_) return;
    shown_ = true;
    std::cerr << "\r\033[K" << counts_.converted << " converted, " << counts_.warnings
              << " warning(s), " << counts_.errors << " error(s)";
    if (!current_.empty()) std::cerr << "  " << current_;
    std::cerr << std::flush;
  }
  bool progress_;
  bool started_ = false;
  bool shown_ = false;
  std::string current_;
  pomvex::RunCounts counts_;
};

int UsageError(const std::string& message) {
  std::cerr << "pomvex-cli: " << message << "\nRun with --help for more information.\n";
  return kExitUsage;
}

// The directory that is shown as the start directory: absolute, without a trailing separator.
std::string DirectoryOf(const fs::path& p) {
  std::string s = fs::absolute(p).lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Converts ChiWriter 3 documents (.CHI) into RTF files written beside them.\n"
      "Existing files are never overwritten; a log (Pomvex.Log) is written into the start "
      "directory."};
  app.set_version_flag("--version", std::string("pomvex-cli ") + POMVEX_VERSION);
  bool detailedLog = false;
  bool recursive = false;
  bool keepAllScripts = false;
  std::vector<std::string> paths;
  app.add_flag("--detailed-log", detailedLog,
               "Log every superscript/subscript error, not only their counts");
  app.add_flag("--keep-all-scripts", keepAllScripts,
               "Place every superscript and subscript, also where the document leaves no room "
               "(runs without room are logged)");
  app.add_flag("-r,--recursive", recursive, "Convert DIR and all its sub-folders, depth first");
  app.add_option("PATH", paths,
                 "A directory (every .CHI file in it), or .CHI files of one directory")
      ->required();
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return e.get_exit_code() == 0 ? code : kExitUsage;
  }

  pomvex::RunRequest request;
  request.detailedLog = detailedLog;
  request.keepAllScripts = keepAllScripts;
  std::error_code ec;
  if (paths.size() == 1 && fs::is_directory(paths[0], ec)) {
    request.directory = DirectoryOf(paths[0]);
    request.choice =
        recursive ? pomvex::FileChoice::CurrentAndSubFolders : pomvex::FileChoice::CurrentDirectory;
  } else {
    if (recursive) return UsageError("--recursive takes one directory");
    for (const std::string& p : paths) {
      if (!fs::is_regular_file(p, ec)) return UsageError("not a file or directory: " + p);
      if (!pomvex::IsChiFile(p)) return UsageError("not a .CHI file: " + p);
      const std::string dir = DirectoryOf(
          fs::path(p).parent_path().empty() ? fs::path(".") : fs::path(p).parent_path());
      if (request.directory.empty()) request.directory = dir;
      if (dir != request.directory) return UsageError("the files must lie in one directory");
      request.selectedFiles.push_back(fs::path(p).filename().string());
    }
    request.choice = pomvex::FileChoice::SingleFiles;
  }

  CliFrontEnd frontEnd(isatty(STDERR_FILENO) != 0);
  const pomvex::RunOutcome outcome = pomvex::RunConversion(request, frontEnd);
  frontEnd.Finish();
  if (!outcome.finished) {
    std::cerr << "pomvex-cli: " << outcome.failure << '\n';
    return kExitFailure;
  }
  std::cout << outcome.summary << std::endl;
  return kExitFinished;
}
