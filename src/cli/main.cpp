// pomvex-cli: converts ChiWriter 3 documents into RTF from the command line, with the same run
// as the window: a directory, a directory tree, or single files of one directory.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/folder_listing.h"
#include "app/real_paths.h"
#include "app/redraw_throttle.h"
#include "app/run.h"
#include "app/run_observer.h"
#include "base/reporting.h"
#include "platform/cli_platform.h"
#include "platform/platform_files.h"
#include "report/html_report.h"
#include "report/json_report.h"
#include "report/report_paths.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitFinished = 0;
constexpr int kExitFailure = 2;
constexpr int kExitUsage = 64;
constexpr int kExitSignalBase = 128;

constexpr const char* kExitCodes =
    "Exit status:\n"
    "  0        the run finished (the problems met in documents are in the log)\n"
    "  2        a failure ended the run, such as a full disk (the reason is on standard error)\n"
    "  64       the command line is wrong\n"
#ifdef _WIN32
    "  130      Ctrl-C stopped the run (149 for Ctrl-Break, 143 when the console was closed);\n"
    "           the document being written is deleted and the log says so\n";
#else
    "  128 + N  signal N stopped the run: 130 for Ctrl-C (SIGINT), 143 for SIGTERM, 129 for\n"
    "           SIGHUP; the document being written is deleted and the log says so\n";
#endif

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

constexpr const char* kNoPath = "give a directory, or .CHI files of one directory";
const std::string kTooLong = "the path is longer than the system allows: ";

// The number of columns a text takes on a terminal: UTF-8 continuation bytes take none.
std::size_t Columns(const std::string& text) {
  std::size_t n = 0;
  for (char c : text) n += !IsContinuationByte(c);
  return n;
}

// text cut at its start to width columns, the cut marked with "...".
std::string CutFromStart(const std::string& text, std::size_t width) {
  const std::size_t columns = Columns(text);
  if (columns <= width) return text;
  if (width <= 3) return std::string(width, '.');
  std::size_t i = 0;
  for (std::size_t drop = columns - (width - 3); drop > 0; --drop) {
    ++i;
    while (i < text.size() && IsContinuationByte(text[i])) ++i;  // the rest of a character
  }
  return "..." + text.substr(i);
}

// Prints the start directory, and progress on stderr when it is a terminal: the counts and the
// path of the document being converted, relative to the start directory. The line is redrawn
// at most every RedrawThrottle::kInterval, and once more with the final values when the run ends.
class CliFrontEnd : public pomvex::RunFrontEnd {
 public:
  CliFrontEnd(bool progress, int columns, std::string outputFolder)
      : progress_(progress), columns_(columns), outputFolder_(std::move(outputFolder)) {}
  void ShowInfo(const std::string& text) override {
    std::cout << pomvex::PrintableName(text) << '\n';
    if (!outputFolder_.empty()) {
      std::cout << "Output folder: " << pomvex::PrintableName(outputFolder_);
      if (!pomvex::platform::IsPathSeparator(outputFolder_.back())) {
        std::cout << pomvex::platform::kPathSeparator;
      }
      std::cout << '\n';
    }
    std::cout << std::flush;
    startDir_ = text;
    started_ = true;
  }
  // Draws the final counts, and ends the progress line so that what follows starts afresh.
  void Finish(const pomvex::RunCounts& counts) {
    counts_ = counts;
    if (shown_ && (dirty_ || counts_.converted != drawn_.converted ||
                   counts_.warnings != drawn_.warnings || counts_.errors != drawn_.errors)) {
      Draw();
    }
    if (shown_) std::cerr << '\n' << std::flush;
    shown_ = false;
  }
  void FileStarted(const std::string& path) override {
    current_ =
        path.compare(0, startDir_.size(), startDir_) == 0 ? path.substr(startDir_.size()) : path;
    Show();
  }
  void CountsChanged(const pomvex::RunCounts& counts) override {
    counts_ = counts;
    Show();
  }
  bool Interrupted() override { return pomvex::cli::StopSignal() != 0; }

 private:
  void Show() {
    if (!progress_ || !started_) return;
    dirty_ = true;
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && !throttle_.Due(now)) return;
    throttle_.Drawn(now);
    Draw();
  }
  void Draw() {
    std::string line = std::to_string(counts_.converted) + " converted, " +
                       std::to_string(counts_.warnings) + " warning(s), " +
                       std::to_string(counts_.errors) + " error(s)";
    if (!current_.empty()) {
      // The last column is left free: writing into it makes some terminals wrap the line.
      const std::size_t width = columns_ > 0 ? static_cast<std::size_t>(columns_) - 1 : 0;
      std::string path = pomvex::PrintableName(current_);
      if (width > 0) {
        const std::size_t used = Columns(line) + 2;
        path = used < width ? CutFromStart(path, width - used) : "";
      }
      if (!path.empty()) line += "  " + path;
    }
    std::cerr << "\r\033[K" << line << std::flush;
    shown_ = true;
    dirty_ = false;
    drawn_ = counts_;
  }

  bool progress_;
  int columns_;
  std::string outputFolder_;
  bool started_ = false;
  bool shown_ = false;
  bool dirty_ = false;
  pomvex::RedrawThrottle throttle_;
  std::string startDir_;
  std::string current_;
  pomvex::RunCounts counts_;
  pomvex::RunCounts drawn_;
};

int UsageError(const std::string& message) {
  std::cerr << "pomvex-cli: " << message << "\nRun with --help for more information.\n";
  return kExitUsage;
}

// The directory that is shown as the start directory: absolute, without a trailing separator
// unless it is a root ("/", "C:\").
std::string DirectoryOf(const fs::path& p) {
  fs::path normal = fs::absolute(p).lexically_normal();
  if (normal.has_relative_path() && !normal.has_filename()) normal = normal.parent_path();
  return pomvex::platform::PathString(normal);
}

std::string Shown(const std::string& path) {
  return pomvex::PrintableName(path);
}

// The number of --jobs, or 0 when it is not one from 1 to kMaxJobs.
int JobCountOf(const std::string& text) {
  if (text.empty() || text.size() > 2) return 0;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n <= pomvex::kMaxJobs ? n : 0;
}

// Fills the request from the paths given; gives the usage error's message, or "" when they
// make a run.
std::string ChooseFiles(const std::vector<std::string>& paths, bool recursive,
                        pomvex::RunRequest& request) {
  if (paths.empty()) return kNoPath;
  std::vector<fs::file_status> statuses;
  std::vector<std::string> directories;
  for (const std::string& p : paths) {
    std::error_code ec;
    statuses.push_back(fs::status(pomvex::platform::NativePath(p), ec));
    if (ec == std::errc::filename_too_long) return kTooLong + Shown(p);
    if (fs::is_directory(statuses.back())) directories.push_back(p);
  }
  if (recursive) {
    if (paths.size() != 1) return "--recursive takes one directory";
    if (!fs::exists(statuses[0])) return "no such directory: " + Shown(paths[0]);
    if (directories.empty()) return "--recursive takes a directory: " + Shown(paths[0]);
  }
  if (directories.size() > 1) {
    return "give one directory at a time: " + Shown(directories[0]) + " and " +
           Shown(directories[1]) + " are both directories";
  }
  if (paths.size() == 1 && directories.size() == 1) {
    request.directory = DirectoryOf(pomvex::platform::NativePath(paths[0]));
    request.choice =
        recursive ? pomvex::FileChoice::CurrentAndSubFolders : pomvex::FileChoice::CurrentDirectory;
    return "";
  }
  if (!directories.empty()) {
    return "give one directory, or .CHI files, not both: " + Shown(directories[0]) +
           " is a directory";
  }
  request.choice = pomvex::FileChoice::SingleFiles;
  std::string lastParent;
  std::string lastDirectory;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string& p = paths[i];
    if (!fs::exists(statuses[i])) return "no such file or directory: " + Shown(p);
    if (!fs::is_regular_file(statuses[i])) return "not a file or directory: " + Shown(p);
    if (!pomvex::IsChiFile(p)) return "not a .CHI file: " + Shown(p);
    // Files given one after another mostly share their folder: it is worked out once.
    const fs::path path = pomvex::platform::NativePath(p);
    const std::string parent = pomvex::platform::PathString(path.parent_path());
    if (i == 0 || parent != lastParent) {
      lastDirectory = DirectoryOf(parent.empty() ? fs::path(".") : path.parent_path());
      lastParent = parent;
    }
    if (request.directory.empty()) request.directory = lastDirectory;
    if (lastDirectory != request.directory) {
      return "the files must lie in one directory: " + Shown(p) + " is not in " +
             Shown(request.directory);
    }
    request.selectedFiles.push_back(pomvex::platform::PathString(path.filename()));
  }
  return "";
}

// Sets the request's output folder; gives the usage error's message, or "" when it makes a run.
// An output folder that is the start directory leaves the run as it is without the option.
std::string ChooseOutputFolder(const std::string& out, bool recursive,
                               pomvex::RunRequest& request) {
  std::error_code ec;
  const fs::file_status status = fs::status(pomvex::platform::NativePath(out), ec);
  if (ec == std::errc::filename_too_long) return kTooLong + Shown(out);
  (void)status;
  const std::string folder = DirectoryOf(pomvex::platform::NativePath(out));
  // Compared where they really are: a link or ".." must not hide that the output would go into
  // the tree being walked.
  const fs::path realStart = pomvex::RealPath(request.directory);
  const fs::path realOut = pomvex::RealPath(folder);
  if (recursive && pomvex::LiesWithin(realOut, realStart, /*orBelow=*/true)) {
    return "--outdir must lie outside the directory that -r converts: " + Shown(folder) +
           " is within " + Shown(request.directory);
  }
  if (!pomvex::LiesWithin(realOut, realStart, /*orBelow=*/false)) {
    request.outputDirectory = folder;
  }
  return "";
}

// The value of an option that takes a path: given, and not an option; gives the usage error's
// message, or "".
std::string CheckPathValue(const std::string& option, const char* what, const std::string& value) {
  if (value.empty()) return option + " takes " + what;
  if (value[0] == '-') {
    return option + " takes " + what + ", not an option: " + Shown(value) + " (write ./" +
           Shown(value) + " for " + what + " of that name)";
  }
  return "";
}

// Why a report may not go where it is asked to, in the run's words; "" when it may.
std::string ReportPlaceProblem(const std::string& option, pomvex::report::ReportKind kind,
                               const std::string& path, const pomvex::RunRequest& request) {
  using pomvex::report::ReportPlace;
  const pomvex::report::RunPlaces run{request.directory, request.outputDirectory,
                                      request.choice == pomvex::FileChoice::CurrentAndSubFolders};
  const std::string shown = ": " + Shown(path);
  switch (pomvex::report::PlaceOfReport(kind, path, run)) {
    case ReportPlace::New:
    case ReportPlace::EarlierReport:
      return "";
    case ReportPlace::TooLong:
      return kTooLong + Shown(path);
    case ReportPlace::Folder:
      return option + " takes a file, not a folder" + shown;
    case ReportPlace::InStartDirectory:
      return option + " must lie outside the start directory, which --outdir leaves unchanged" +
             shown;
    case ReportPlace::Document:
      return option + " would take the place of a document" + shown;
    case ReportPlace::Output:
      return option + " would take the name of an RTF file or log of the run" + shown;
    case ReportPlace::OtherFile:
      return option + " would replace a file that is not an earlier " +
             (kind == pomvex::report::ReportKind::Page ? "report page" : "JSON-lines report") +
             shown;
  }
  return "";
}

// The absolute path of a report's file; gives the usage error's message, or "" when it serves.
std::string ChooseReportFile(const std::string& option, const std::string& file,
                             std::string& path) {
  if (std::string problem = CheckPathValue(option, "a file", file); !problem.empty()) {
    return problem;
  }
  const fs::path native = fs::absolute(pomvex::platform::NativePath(file)).lexically_normal();
  path = pomvex::platform::PathString(native);
  if (!native.has_filename()) return option + " takes a file, not a folder: " + Shown(file);
  return "";
}

// What the command line gives, as parsed.
struct Options {
  bool detailedLog = false;
  bool recursive = false;
  bool keepAllScripts = false;
  bool equations = false;
  std::string jobs;
  std::string outDir;
  std::string reportFile;
  std::string jsonFile;
  std::vector<std::string> paths;
  CLI::Option* jobsOption = nullptr;
  CLI::Option* outDirOption = nullptr;
  CLI::Option* reportOption = nullptr;
  CLI::Option* jsonOption = nullptr;
};

void DefineOptions(CLI::App& app, Options& options) {
  app.set_version_flag("--version", std::string("pomvex-cli ") + POMVEX_VERSION);
  app.footer(kExitCodes);
  // Unknown options are told apart from paths after parsing, with a message of our own.
  app.allow_extras();
  app.add_flag("--detailed-log", options.detailedLog,
               "Log every superscript/subscript error, not only their counts");
  app.add_flag("--keep-all-scripts", options.keepAllScripts,
               "Place every superscript and subscript, also where the document leaves no room "
               "(runs without room are logged)");
  app.add_flag("--equations", options.equations,
               "Write stacked fractions, limits and stacked scripts as formulas that Word and "
               "LibreOffice show and edit, with a linear form for other readers");
  options.outDirOption =
      app.add_option("--outdir", options.outDir,
                     "Write the RTF files and the log into OUT (created when missing), each RTF "
                     "file at its document's path under the start directory; nothing is written "
                     "beside the documents, so a read-only archive can be converted")
          ->type_name("OUT");
  options.reportOption =
      app.add_option("--report", options.reportFile,
                     "Also write an HTML page of the run's problems to FILE: the documents with "
                     "the most problems first, each problem with its line, and the first line "
                     "groups with problems as the document laid them out beside what the RTF "
                     "reads; written under a temporary name and renamed when the run ends")
          ->type_name("FILE");
  options.jsonOption =
      app.add_option("--json", options.jsonFile,
                     "Also write the run as JSON lines to FILE: one object per document in walk "
                     "order (path, rtf, status, problems with their lines), then the run's "
                     "summary; written under a temporary name and renamed when the run ends")
          ->type_name("FILE");
  app.add_flag("-r,--recursive", options.recursive,
               "Convert DIR and all its sub-folders, depth first");
  options.jobsOption =
      app.add_option("-j,--jobs", options.jobs,
                     "Convert N documents at once (1 to " + std::to_string(pomvex::kMaxJobs) +
                         "; default: the number of cores, here " +
                         std::to_string(pomvex::DefaultJobCount()) +
                         "); the RTF files, their names and the log are the same for any N")
          ->type_name("N");
  app.add_option("PATH", options.paths,
                 "A directory (every .CHI file in it), or .CHI files of one directory")
      ->required();
}

// Parses the arguments into options; gives the usage error's message, or "" when they parse.
// --help and --version are answered here, and exitCode says so.
std::string ParseArguments(CLI::App& app, int argc, char** argv, int& exitCode) {
  std::vector<std::string> arguments = pomvex::cli::Arguments(argc, argv);
  // An option given with "=" and nothing after it would take the next argument as its value.
  for (const std::string& argument : arguments) {
    if (argument == "--") break;  // the options end here
    for (const auto& [option, what] : {std::pair{"--report=", "a file"}, {"--json=", "a file"},
                                       {"--outdir=", "a folder"}, {"--jobs=", "a number"}}) {
      if (argument == option) return argument.substr(0, argument.size() - 1) + " takes " + what;
    }
  }
  // CLI11 takes the arguments last first.
  std::reverse(arguments.begin(), arguments.end());
  try {
    app.parse(arguments);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) {  // --help, --version
      exitCode = app.exit(e);
      return "";
    }
    // Missing paths are told once the options are known to be right.
    if (dynamic_cast<const CLI::RequiredError*>(&e) == nullptr) return e.what();
  }
  bool ended = false;
  for (const std::string& extra : app.remaining()) {
    if (extra == "--" && !ended) {  // the end of the options, which CLI11 hands back
      ended = true;
      continue;
    }
    if (!extra.empty() && extra[0] == '-') return "unknown option: " + Shown(extra);
    return "unexpected argument: " + Shown(extra);
  }
  return "";
}

// The run's request from the options; gives the usage error's message, or "" when they make a
// run.
std::string MakeRequest(const Options& options, pomvex::RunRequest& request) {
  request.detailedLog = options.detailedLog;
  request.keepAllScripts = options.keepAllScripts;
  request.equations = options.equations;
  // The options' own values first, then the paths they concern.
  if (options.jobsOption->count() > 0) {
    request.jobs = JobCountOf(options.jobs);
    if (request.jobs == 0) {
      return "--jobs takes a number from 1 to " + std::to_string(pomvex::kMaxJobs) + ": " +
             Shown(options.jobs);
    }
  } else {
    request.jobs = pomvex::DefaultJobCount();
  }
  if (options.outDirOption->count() > 0) {
    if (std::string problem = CheckPathValue("--outdir", "a folder", options.outDir);
        !problem.empty()) {
      return problem;
    }
  }
  for (const auto& [option, file] : {std::pair{options.reportOption, &options.reportFile},
                                     std::pair{options.jsonOption, &options.jsonFile}}) {
    if (option->count() == 0) continue;
    if (std::string problem = CheckPathValue(option->get_name(), "a file", *file);
        !problem.empty()) {
      return problem;
    }
  }
  if (std::string problem = ChooseFiles(options.paths, options.recursive, request);
      !problem.empty()) {
    return problem;
  }
  if (options.outDirOption->count() > 0) {
    return ChooseOutputFolder(options.outDir, options.recursive, request);
  }
  return "";
}

// The files of --report and --json, absolute; gives the usage error's message, or "".
std::string ChooseReports(const Options& options, const pomvex::RunRequest& request,
                          std::string& reportPath, std::string& jsonPath) {
  for (auto [option, file, path] :
       {std::tuple{options.reportOption, &options.reportFile, &reportPath},
        std::tuple{options.jsonOption, &options.jsonFile, &jsonPath}}) {
    if (option->count() == 0) continue;
    if (std::string problem = ChooseReportFile(option->get_name(), *file, *path);
        !problem.empty()) {
      return problem;
    }
  }
  if (!reportPath.empty() && pomvex::platform::SameName(reportPath, jsonPath)) {
    return "--report and --json take two files: " + Shown(options.reportFile);
  }
  for (const auto& [option, kind, path] :
       {std::tuple{"--report", pomvex::report::ReportKind::Page, &reportPath},
        std::tuple{"--json", pomvex::report::ReportKind::JsonLines, &jsonPath}}) {
    if (path->empty()) continue;
    if (std::string problem = ReportPlaceProblem(option, kind, *path, request); !problem.empty()) {
      return problem;
    }
  }
  return "";
}

// The writers of the reports asked for, as observers of the run.
struct Reports {
  std::unique_ptr<pomvex::report::HtmlReport> html;
  std::unique_ptr<pomvex::report::JsonReport> json;
};

// Creates the reports' files before anything is converted, so that a report that cannot be
// written ends the run before it starts (RunFailure).
Reports OpenReports(const std::string& reportPath, const std::string& jsonPath,
                    pomvex::RunRequest& request) {
  Reports reports;
  if (!reportPath.empty()) {
    reports.html = std::make_unique<pomvex::report::HtmlReport>(reportPath);
    request.observers.push_back(reports.html.get());
  }
  if (!jsonPath.empty()) {
    reports.json = std::make_unique<pomvex::report::JsonReport>(jsonPath);
    request.observers.push_back(reports.json.get());
  }
  return reports;
}

// Runs the conversion with progress on a terminal; the exit status.
int Convert(const pomvex::RunRequest& request) {
  pomvex::cli::InstallSignalHandlers();
  const bool progress = pomvex::cli::ErrorIsTerminal();
  CliFrontEnd frontEnd(progress, progress ? pomvex::cli::ErrorTerminalColumns() : 0,
                       request.outputDirectory);
  const pomvex::RunOutcome outcome = pomvex::RunConversion(request, frontEnd);
  frontEnd.Finish(outcome.counts);
  // Standard output ends as the log does, when the log could be written.
  if (!outcome.summary.empty()) {
    if (!outcome.ending.empty()) std::cout << outcome.ending << '\n';
    std::cout << outcome.summary << '\n' << std::flush;
  }
  pomvex::cli::RunEnded();
  if (outcome.interrupted) return kExitSignalBase + pomvex::cli::StopSignal();
  if (!outcome.finished) {
    std::cerr << "pomvex-cli: ";
    if (!outcome.failurePath.empty()) std::cerr << Shown(outcome.failurePath) << ": ";
    std::cerr << outcome.failure << '\n';
    return kExitFailure;
  }
  return kExitFinished;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Converts ChiWriter 3 documents (.CHI) into RTF files written beside them, or under the "
      "folder\nof --outdir. Existing files are never overwritten; a log (Pomvex.Log) is written "
      "into the\nstart directory, or into that folder.",
      "pomvex-cli"};
  Options options;
  DefineOptions(app, options);
  pomvex::cli::SetUpConsole();
  int exitCode = -1;
  if (std::string problem = ParseArguments(app, argc, argv, exitCode); !problem.empty()) {
    return UsageError(problem);
  }
  if (exitCode >= 0) return exitCode;

  pomvex::RunRequest request;
  std::string reportPath, jsonPath;
  if (std::string problem = MakeRequest(options, request); !problem.empty()) {
    return UsageError(problem);
  }
  if (std::string problem = ChooseReports(options, request, reportPath, jsonPath);
      !problem.empty()) {
    return UsageError(problem);
  }
  Reports reports;
  try {
    reports = OpenReports(reportPath, jsonPath, request);
  } catch (const pomvex::RunFailure& failure) {
    std::cerr << "pomvex-cli: " << Shown(failure.Path()) << ": " << failure.what() << '\n';
    return kExitFailure;
  }
  return Convert(request);
}
