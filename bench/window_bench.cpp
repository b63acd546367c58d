// Window benchmark: the time a run takes in the window (without a display) set beside the time
// the command line takes on the same documents, one at a time (-j 1) and on every core, and the
// three logs compared. Two trees: many small realistic documents in many folders, and one
// document with millions of problems to count.
//
//   pomvex-window-bench --cli PATH [--check] [--documents N] [--problems N] [--dir DIR]
//
// With --check, exits 1 when the window takes more than kMaxRatio times the command line's time
// on every core or when the logs differ. With --dir, the documents are made in DIR and kept.
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "app/run.h"
#include "corpus.h"
#include "pomvex_main.h"
#include "window_controls.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kMaxRatio = 1.2;
constexpr int kRepeats = 3;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream whole;
  whole << in.rdbuf();
  return whole.str();
}

// count realistic documents of 1 to 4 KB, a hundred to a folder.
void MakeManyDocuments(const fs::path& dir, int count) {
  for (int seed = 0; seed < count; ++seed) {
    const fs::path folder = dir / ("folder" + std::to_string(seed / 100));
    fs::create_directories(folder);
    const std::size_t bytes = 1024 + static_cast<std::size_t>(seed % 3072);
    WriteFile(folder / ("PAPER" + std::to_string(seed) + ".CHI"),
              pomvex::bench::RealisticDocument(bytes, static_cast<unsigned>(seed)));
  }
}

// One document whose lines are characters the symbol font does not have: one error each.
void MakeManyProblems(const fs::path& dir, int problems) {
  fs::create_directories(dir);
  std::string doc = "\\1cw\r\n\\U1STANDARD\r\n\\U2SYMBOL\r\n";
  const std::string line = "\\2" + std::string(1000, '!') + "\\1\\,\r\n";
  for (int written = 0; written < problems; written += 1000) doc += line;
  WriteFile(dir / "PROBLEMS.CHI", doc);
}

// Removes what a run wrote: the RTF files and the logs.
void RemoveOutputs(const fs::path& dir) {
  std::vector<fs::path> written;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".rtf" || ext == ".Log") written.push_back(entry.path());
  }
  for (const fs::path& path : written) fs::remove(path);
}

// pomvex-cli -r on dir, with jobs workers (its default when empty).
double CommandLineSeconds(const std::string& cli, const fs::path& dir, const char* jobs = "") {
  std::fflush(stdout);  // nothing buffered may be written twice
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    if (*jobs != 0) {
      execl(cli.c_str(), cli.c_str(), "-j", jobs, "-r", dir.c_str(), static_cast<char*>(nullptr));
    } else {
      execl(cli.c_str(), cli.c_str(), "-r", dir.c_str(), static_cast<char*>(nullptr));
    }
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("pomvex-cli failed");
  return seconds;
}

// The whole of "Go!" in the window on "Current & Sub-Folders", the information box closed as
// soon as it shows.
double WindowSeconds(const fs::path& dir) {
  fs::current_path(dir);
  pomvex::TMainForm form;
  form.show();
  form.findChild<pomvex::RadioGroup*>("FileChoice")->SetItemIndex(2);
  QTimer answerer;
  answerer.setInterval(1);
  QObject::connect(&answerer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      box->button(QMessageBox::Ok)->click();
    }
  });
  answerer.start();
  const auto start = Clock::now();
  form.findChild<QPushButton*>("GoButton")->click();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Result {
  double oneJob = std::numeric_limits<double>::max();  // pomvex-cli -j 1
  double cli = std::numeric_limits<double>::max();     // pomvex-cli, on every core
  double window = std::numeric_limits<double>::max();  // the window, on every core
  bool sameLog = true;
};

Result Compare(const std::string& cli, const fs::path& dir) {
  Result result;
  for (int repeat = 0; repeat < kRepeats; ++repeat) {
    result.oneJob = std::min(result.oneJob, CommandLineSeconds(cli, dir, "1"));
    const std::string oneJobLog = ReadFile(dir / "Pomvex.Log");
    RemoveOutputs(dir);
    result.cli = std::min(result.cli, CommandLineSeconds(cli, dir));
    result.sameLog = result.sameLog && ReadFile(dir / "Pomvex.Log") == oneJobLog;
    RemoveOutputs(dir);
    result.window = std::min(result.window, WindowSeconds(dir));
    result.sameLog = result.sameLog && ReadFile(dir / "Pomvex.Log") == oneJobLog;
    RemoveOutputs(dir);
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  std::string cli;
  bool check = false;
  int documents = 10000;
  int problems = 1900000;
  fs::path dir = fs::temp_directory_path() / ("pomvex-window-bench-" + std::to_string(getpid()));
  bool keep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--cli" && i + 1 < argc) {
      cli = argv[++i];
    } else if (arg == "--check") {
      check = true;
    } else if (arg == "--documents" && i + 1 < argc) {
      documents = std::stoi(argv[++i]);
    } else if (arg == "--problems" && i + 1 < argc) {
      problems = std::stoi(argv[++i]);
    } else if (arg == "--dir" && i + 1 < argc) {
      dir = fs::absolute(argv[++i]);
      keep = true;
    } else {
      std::fprintf(stderr,
                   "usage: pomvex-window-bench --cli PATH [--check] [--documents N] "
                   "[--problems N] [--dir DIR]\n");
      return 64;
    }
  }
  if (cli.empty()) {
    std::fprintf(stderr, "pomvex-window-bench: --cli PATH is needed\n");
    return 64;
  }
  cli = fs::absolute(cli).string();
  fs::remove_all(dir);
  const fs::path many = dir / "many";
  const fs::path heavy = dir / "problems";
  MakeManyDocuments(many, documents);
  MakeManyProblems(heavy, problems);

  bool ok = true;
  std::printf("%-44s %10s %10s %7s %10s %7s %s\n", "tree", "cli -j 1 s", "cli s", "faster",
              "window s", "ratio", "logs");
  const std::pair<std::string, fs::path> cases[] = {
      {std::to_string(documents) + " documents in " + std::to_string((documents + 99) / 100) +
           " folders",
       many},
      {"1 document with " + std::to_string(problems) + " problems", heavy}};
  for (const auto& [name, path] : cases) {
    const Result r = Compare(cli, path);
    const double ratio = r.window / r.cli;
    std::printf("%-44s %10.3f %10.3f %7.2f %10.3f %7.2f %s\n", name.c_str(), r.oneJob, r.cli,
                r.oneJob / r.cli, r.window, ratio, r.sameLog ? "identical" : "DIFFER");
    ok = ok && r.sameLog && ratio <= kMaxRatio;
  }
  std::printf(
      "(cli -j 1: one document at a time; cli and window: on every core, here %d;\n"
      " faster: cli -j 1 / cli; ratio: window / cli; logs: the three compared)\n",
      pomvex::DefaultJobCount());
  fs::current_path(fs::temp_directory_path());
  if (!keep) fs::remove_all(dir);
  return check && !ok ? 1 : 0;
}
