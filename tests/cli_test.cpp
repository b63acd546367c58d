// pomvex-cli end to end on temporary folders: what it prints, what it writes, its exit codes.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

#include "app/document_queue.h"
#include "app/run.h"
#include "platform/platform_errors.h"
#include "report/text_forms.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("pomvex_cli_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& bytes) {
    fs::create_directories((dir_ / name).parent_path());
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  CliResult Cli(const std::string& args) {
    std::istringstream words(args);
    std::vector<std::string> argv;
    for (std::string w; words >> w;) argv.push_back(w);
    return Run(argv);
  }
  // Starts pomvex-cli in a child process with its output in files; prepare runs in the child
  // just before the program starts (limits, another user, a terminal).
  pid_t Start(const std::vector<std::string>& args, const std::function<void()>& prepare = {}) {
    std::vector<std::string> words{POMVEX_CLI_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const std::string out = (dir_ / "stdout.txt").string(), err = (dir_ / "stderr.txt").string();
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(::open("/dev/null", O_RDONLY), 0);
      ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666), 1);
      ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666), 2);
      if (prepare) prepare();
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    return pid;
  }
  // Waits for the child; its status is 128 + the signal when a signal ended it.
  CliResult Wait(pid_t pid) {
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    CliResult r{WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), Read(dir_ / "stdout.txt"),
                Read(dir_ / "stderr.txt")};
    fs::remove(dir_ / "stdout.txt");
    fs::remove(dir_ / "stderr.txt");
    return r;
  }
  CliResult Run(const std::vector<std::string>& args, const std::function<void()>& prepare = {}) {
    return Wait(Start(args, prepare));
  }
  fs::path dir_;
};

const std::string kDoc = "\\1cw\r\n\\U1STANDARD\r\nHello\\,\r\n";

TEST_F(CliTest, ConvertsADirectoryAndPrintsTheSummary) {
  Write("LETTER.CHI", kDoc);
  Write("sub/INNER.CHI", kDoc);
  CliResult r = Cli(dir_.string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir_.string() + "/\n" +
                       "*** Finished converting 1 files with 0 error(s) and 0 warning(s). ***\n");
  EXPECT_EQ(r.err, "") << "no progress when stderr is not a terminal";
  EXPECT_TRUE(fs::exists(dir_ / "LETTER.rtf"));
  EXPECT_TRUE(fs::exists(dir_ / "Pomvex.Log"));
  EXPECT_FALSE(fs::exists(dir_ / "sub/INNER.rtf"));

  r = Cli("--recursive --detailed-log " + dir_.string());
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(fs::exists(dir_ / "LETTER_0.rtf"));
  EXPECT_TRUE(fs::exists(dir_ / "sub/INNER.rtf"));
  EXPECT_TRUE(fs::exists(dir_ / "Pomvex_0.Log"));
}

TEST_F(CliTest, ConvertsSingleFilesOfOneDirectory) {
  Write("a.CHI", kDoc);
  Write("b.CHI", kDoc);
  Write("c.CHI", kDoc);
  Write("other/d.CHI", kDoc);
  CliResult r = Cli((dir_ / "a.CHI").string() + " " + (dir_ / "c.CHI").string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(dir_ / "a.rtf"));
  EXPECT_FALSE(fs::exists(dir_ / "b.rtf"));
  EXPECT_TRUE(fs::exists(dir_ / "c.rtf"));

  r = Cli((dir_ / "a.CHI").string() + " " + (dir_ / "other/d.CHI").string());
  EXPECT_EQ(r.status, 64);
  EXPECT_NE(r.err.find("one directory"), std::string::npos) << r.err;
}

TEST_F(CliTest, UsageErrorsAndInformation) {
  Write("x.CHI", kDoc);
  Write("x.txt", kDoc);
  fs::create_directories(dir_ / "sub");
  fs::create_directory_symlink(dir_ / "sub", dir_ / "link");
  const std::string d = dir_.string();
  const std::pair<std::string, std::string> usages[] = {
      {"", "give a directory, or .CHI files of one directory"},
      {"--bogus " + d, "unknown option: --bogus"},
      {d + " " + d + "/sub",
       "give one directory at a time: " + d + " and " + d + "/sub are both directories"},
      {d + "/x.CHI " + d + "/sub",
       "give one directory, or .CHI files, not both: " + d + "/sub is a directory"},
      {"-r " + d + "/missing", "no such directory: " + d + "/missing"},
      {"-r " + d + "/x.CHI", "--recursive takes a directory: " + d + "/x.CHI"},
      {d + "/missing.CHI", "no such file or directory: " + d + "/missing.CHI"},
      {d + "/x.txt", "not a .CHI file: " + d + "/x.txt"},
      {d + " --outdir", "--outdir: 1 required OUT missing"},
      {"--outdir -r " + d,
       "--outdir takes a folder, not an option: -r (write ./-r for a folder "
       "of that name)"},
      {"-r --outdir " + d + "/sub/out " + d,
       "--outdir must lie outside the directory that -r "
       "converts: " +
           d + "/sub/out is within " + d},
      {"-r --outdir " + d + "/sub/../new " + d,
       "--outdir must lie outside the directory that -r converts: " + d + "/new is within " + d},
      {"-r --outdir " + d + "/link/out " + d + "/sub",
       "--outdir must lie outside the directory that -r converts: " + d + "/link/out is within " +
           d + "/sub"},
      {"-r --outdir " + d + " " + d,
       "--outdir must lie outside the directory that -r converts: " + d + " is within " + d},
      {"-j 0 " + d, "--jobs takes a number from 1 to 64: 0"},
      {d + " --report", "--report: 1 required FILE missing"},
      {"--json -r " + d,
       "--json takes a file, not an option: -r (write ./-r for a file of that name)"},
      {"--report " + d + "/r --json " + d + "/r " + d,
       "--report and --json take two files: " + d + "/r"},
      {"--jobs=many " + d, "--jobs takes a number from 1 to 64: many"},
      {"--bogus", "unknown option: --bogus"},
      {"--report= " + d, "--report takes a file"},
      {"-j " + d, "--jobs takes a number from 1 to 64: " + d},
      {d + "/" + std::string(300, 'n') + ".CHI",
       "the path is longer than the system allows: " + d + "/" + std::string(300, 'n') + ".CHI"},
  };
  for (const auto& [args, message] : usages) {
    const CliResult r = Cli(args);
    EXPECT_EQ(r.status, 64) << args;
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "pomvex-cli: " + message) << args;
  }
  // "--" ends the options: what follows is a path, also when it begins with "-".
  Write("-dash/y.CHI", kDoc);
  const CliResult dash = Run({"--", "-dash"}, [this] { (void)::chdir(dir_.c_str()); });
  EXPECT_EQ(dash.status, 0) << dash.err;
  EXPECT_TRUE(fs::exists(dir_ / "-dash/y.rtf"));
  const CliResult noFolder = Cli("--report " + d + "/missing/r.html " + d);
  EXPECT_EQ(noFolder.status, 2);
  EXPECT_EQ(noFolder.err, "pomvex-cli: " + d + "/missing/r.html.tmp: File not found\n");
  EXPECT_FALSE(fs::exists(dir_ / "Pomvex.Log")) << "nothing is converted";
  CliResult help = Cli("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--detailed-log"), std::string::npos);
  EXPECT_NE(help.out.find("here " + std::to_string(pomvex::DefaultJobCount())), std::string::npos);
  EXPECT_NE(help.out.find("Usage: pomvex-cli [OPTIONS]"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("Exit status:"), std::string::npos);
  EXPECT_NE(help.out.find("130"), std::string::npos);
  CliResult version = Cli("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(version.out.find("pomvex-cli"), std::string::npos);
}

TEST_F(CliTest, KeepAllScriptsPlacesARunWithoutRoomAndLogsIt) {
  Write("e.CHI", "\\1cw\r\n\\U1STANDARD\r\n\\+  2\r\nmass\\,\r\n");
  EXPECT_EQ(Cli("--keep-all-scripts --detailed-log " + dir_.string()).status, 0);
  EXPECT_NE(Read(dir_ / "e.rtf").find("ma{\\super 2}ss"), std::string::npos);
  EXPECT_NE(Read(dir_ / "Pomvex.Log")
                .find("    Error: Sub- or superscript placed at its column without room: 2\r\n"
                      "    1 instances of being unable to add sub- or super-scripts\r\n"),
            std::string::npos);
  EXPECT_EQ(Cli(dir_.string()).status, 0);
  EXPECT_NE(Read(dir_ / "e_0.rtf").find(" mass\\par}"), std::string::npos) << "dropped without it";
}

TEST_F(CliTest, AFailureThatEndsTheRunExitsWithStatus2) {
  // sysfs refuses new files even to root: the log cannot be created.
  const fs::path locked = "/sys/kernel";
  if (!fs::is_directory(locked)) GTEST_SKIP() << "no sysfs here";
  CliResult r = Cli(locked.string());
  if (fs::exists(locked / "Pomvex.Log")) GTEST_SKIP() << "sysfs accepted a new file";
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "/sys/kernel/\n") << "the start directory is shown first";
  EXPECT_EQ(r.err, "pomvex-cli: /sys/kernel/Pomvex.Log: File access denied\n")
      << "the path the failure concerns comes first";
}

TEST_F(CliTest, AReaderThatWentAwayDoesNotStopTheRun) {
  Write("a.CHI", kDoc);
  const CliResult r = Run({dir_.string()}, [] {
    int fds[2];
    if (::pipe(fds) == 0) {
      ::close(fds[0]);  // standard output leads nowhere
      ::dup2(fds[1], 1);
    }
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(fs::exists(dir_ / "a.rtf"));
}

int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// However the program is stopped, an RTF file is found whole under its name or not at all, and
// nothing else is left: a stop signal ends the run cleanly; SIGKILL, or a second Ctrl-C while
// the first is being acted on, end the process at once, with workers in the middle of documents.
TEST_F(CliTest, ASignalStopsTheRunWithoutACutOffRtf) {
  // Enough documents, large enough that the run is still going, and writing, when the signal
  // comes.
  std::string body;
  for (int i = 0; i < 2000; ++i) body += "Some words \\2a\\1 and more words.\r\n";
  for (int i = 0; i < 600; ++i) Write("d" + std::to_string(10000 + i) + ".CHI", kDoc + body);
  struct Stop {
    int signal;
    int status;
    bool twice;
  };
  for (const Stop stop : {Stop{SIGINT, 130, false},
                          {SIGTERM, 143, false},
                          {SIGHUP, 129, false},
                          {SIGKILL, 137, false},
                          {SIGINT, 130, true}}) {
    const std::string label =
        "signal " + std::to_string(stop.signal) + (stop.twice ? " twice" : "");
    const pid_t pid = Start({"-j", "4", dir_.string()});
    // Once the log names a document, it is finished.
    for (int wait = 0;
         wait < 20000 && Read(dir_ / "Pomvex.Log").find("\r\n  d") == std::string::npos; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(pid, stop.signal);
    if (stop.twice) ::kill(pid, stop.signal);
    const CliResult r = Wait(pid);
    EXPECT_EQ(r.status, stop.status) << label << "\n" << r.err;
    const std::string log = Read(dir_ / "Pomvex.Log");
    const int named = CountOf(log, "\r\n  d");
    int complete = 0, cut = 0, other = 0;
    for (const auto& e : fs::directory_iterator(dir_)) {
      if (e.path().extension() == ".CHI") continue;
      if (e.path().extension() == ".rtf") {
        (pomvex::IsOneGroup(Read(e.path())) ? complete : cut)++;
      } else if (e.path().filename() != "Pomvex.Log") {
        ++other;
      }
      fs::remove(e.path());
    }
    EXPECT_EQ(cut, 0) << label;
    EXPECT_EQ(other, 0) << label << ": no temporary file is left";
    // Each RTF file is named in its turn, just before the log names its document: killed, at
    // most the one being named is not in the log yet.
    EXPECT_TRUE(named >= 1 && complete <= named + 1) << label << "\n" << log;
    if (stop.signal == SIGKILL || stop.twice) continue;
    EXPECT_TRUE(named == complete || named == complete + 1)
        << "and the one being written; " << label << ": " << named << " named, " << complete
        << " on disk\n"
        << log;
    const std::string ending = "*** Run interrupted after " + std::to_string(complete) + " files";
    EXPECT_NE(log.find(ending + ". ***\r\n*** Finished converting " + std::to_string(complete) +
                       " files with "),
              std::string::npos)
        << log;
    EXPECT_NE(r.out.find(ending), std::string::npos);
  }
}

// A file size limit (ulimit -f) is a failure to write, as a full disk is, not a signal that ends
// the program: the run ends with the reason in the log, and the RTF file cut short is not left.
TEST_F(CliTest, AFileSizeLimitEndsTheRunAsAFullDiskDoes) {
  std::string big = "\\1cw\r\n\\U1STANDARD\r\n";
  for (int i = 0; i < 30000; ++i) big += "word\r\n";
  Write("a_small.CHI", kDoc);
  Write("b_big.CHI", big);
  Write("c_after.CHI", kDoc);
  const CliResult r = Run({"-j", "1", dir_.string()}, [] {
    const rlimit limit{64 << 10, 64 << 10};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_EQ(r.status, 2) << r.err;
  const std::string rtf = (dir_ / "b_big.rtf").string();
  EXPECT_EQ(r.err, "pomvex-cli: " + rtf + ": File too large\n");
  EXPECT_EQ(
      Read(dir_ / "Pomvex.Log"),
      dir_.string() + "/\r\n  a_small.CHI\r\n  b_big.CHI\r\n*** Run ended: File too large: " + rtf +
          " ***\r\n*** Finished converting 1 files with 0 error(s) and 0 warning(s). ***\r\n");
  EXPECT_TRUE(fs::exists(dir_ / "a_small.rtf"));
  EXPECT_FALSE(fs::exists(dir_ / "b_big.rtf"));
  EXPECT_FALSE(fs::exists(dir_ / "c_after.rtf"));

  // The log is what grows beyond the limit: no RTF file is left that the log does not name.
  for (const auto& e : fs::directory_iterator(dir_)) fs::remove_all(e.path());
  std::string problems = kDoc;
  for (int i = 0; i < 400; ++i) problems += "an odd \\Q command\r\n";
  for (int i = 10; i < 30; ++i) Write("d" + std::to_string(i) + ".CHI", problems);
  for (const char* jobs : {"1", "4"}) {
    const CliResult full = Run({"-j", jobs, dir_.string()}, [] {
      const rlimit limit{64 << 10, 64 << 10};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(full.status, 2) << jobs;
    EXPECT_NE(full.err.find("Pomvex.Log: File too large"), std::string::npos) << full.err;
    const std::string log = Read(dir_ / "Pomvex.Log");
    int kept = 0;
    for (const auto& e : fs::directory_iterator(dir_)) {
      if (e.path().extension() != ".rtf") continue;
      ++kept;
      EXPECT_NE(log.find("\r\n  " + e.path().stem().string() + ".CHI\r\n"), std::string::npos)
          << jobs << ": " << e.path().filename();
      fs::remove(e.path());
    }
    EXPECT_GE(kept, 1) << jobs;
    fs::remove(dir_ / "Pomvex.Log");
  }
}

TEST_F(CliTest, AFullDiskEndsTheRunWithoutACutOffRtf) {
  const fs::path disk = dir_ / "disk";
  fs::create_directories(disk);
  // A small file system of its own where the test may mount one, else a file size limit.
  struct Mount {
    std::string at;
    ~Mount() {
      if (!at.empty()) ::umount2(at.c_str(), MNT_DETACH);
    }
  } mount;
  if (::geteuid() == 0 && ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") == 0) {
    mount.at = disk.string();
  }
  std::string big = "\\1cw\r\n\\U1STANDARD\r\n";
  for (int i = 0; i < 30000; ++i) big += "word\r\n";
  const std::string reason = mount.at.empty() ? pomvex::MessageForErrno(EFBIG) : "Disk full";
  const std::string rtf = (disk / "b_big.rtf").string();
  // One document at a time, the run ends on the document that fills the disk. With several
  // workers, the documents after it are being converted too and may meet the full disk first,
  // as may the log; the run ends on the first failure in walk order, and the log names the RTF
  // files left on disk, complete, then at most the one that was being written.
  for (const char* jobs : {"1", "4"}) {
    for (const auto& e : fs::directory_iterator(disk)) fs::remove(e.path());
    Write("disk/a_small.CHI", kDoc);
    Write("disk/b_big.CHI", big);
    Write("disk/c_after.CHI", kDoc);
    for (int i = 10; i < 22; ++i) Write("disk/d" + std::to_string(i) + ".CHI", kDoc);
    const CliResult r = Run({"-j", jobs, disk.string()}, [mounted = !mount.at.empty()] {
      if (mounted) return;
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{64 << 10, 64 << 10};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    const std::string log = Read(disk / "Pomvex.Log");
    EXPECT_EQ(r.status, 2) << jobs;
    if (jobs[0] == '1') {
      EXPECT_EQ(r.err, "pomvex-cli: " + rtf + ": " + reason + "\n");
      EXPECT_EQ(log, disk.string() + "/\r\n  a_small.CHI\r\n  b_big.CHI\r\n*** Run ended: " +
                         reason + ": " + rtf +
                         " ***\r\n*** Finished converting 1 files with 0 error(s) and 0 "
                         "warning(s). ***\r\n");
    }
    std::vector<std::string> named, kept;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("  ", 0) == 0) named.push_back(line.substr(2, line.find('.') - 2));
    }
    for (const auto& e : fs::directory_iterator(disk)) {
      if (e.path().extension() != ".rtf") continue;
      kept.push_back(e.path().stem().string());
      EXPECT_TRUE(pomvex::IsOneGroup(Read(e.path()))) << jobs;
    }
    std::sort(kept.begin(), kept.end());
    ASSERT_GE(named.size(), kept.size()) << jobs << log;
    EXPECT_EQ(std::vector<std::string>(named.begin(), named.begin() + kept.size()), kept) << jobs;
    EXPECT_LE(named.size(), kept.size() + 1) << jobs;
    const std::string failedAt = r.err.substr(12, r.err.find(": " + reason) - 12);
    EXPECT_NE(log.find("*** Run ended: " + reason + ": " + failedAt +
                       " ***\r\n*** Finished converting " + std::to_string(kept.size()) + " files"),
              std::string::npos)
        << jobs << log;
  }
}

TEST_F(CliTest, MemoryStaysBoundedAndRunningOutAbandonsOneDocument) {
#ifdef POMVEX_SANITIZED
  GTEST_SKIP() << "a sanitizer's shadow memory does not fit under an address space limit";
#endif
  // 256 MB of zeros with no line end (a sparse file): rejected by its first line alone.
  std::ofstream(dir_ / "a_long.CHI").close();
  fs::resize_file(dir_ / "a_long.CHI", 256u << 20);
  // A 50 KB footnote referred to 20,000 times: 1 GB of RTF, far beyond 64 times the document's
  // size and 16 MB.
  std::string notes = "\\1cw\r\n\\U1STANDARD\r\n\\N1\r\n";
  for (int i = 0; i < 10000; ++i) notes += "note ";
  notes += "\r\n\\=\r\n";
  for (int i = 0; i < 20000; ++i) notes += "x\\F1 ";
  Write("b_notes.CHI", notes + "\r\n");
  // A line of 200 MB, which the conversion holds.
  Write("b_wide.CHI", "\\1cw\r\n\\U1STANDARD\r\n");
  fs::resize_file(dir_ / "b_wide.CHI", 200u << 20);
  Write("c_fine.CHI", kDoc);
  // With several workers, memory that ran out while others converted beside it is tried again.
  for (const char* jobs : {"1", "4"}) {
    const CliResult r = Run({"-j", jobs, dir_.string()}, [] {
      const rlimit limit{160u << 20, 160u << 20};
      ::setrlimit(RLIMIT_AS, &limit);
    });
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read(dir_ / "Pomvex.Log"),
              dir_.string() +
                  "/\r\n  a_long.CHI\r\n"
                  "    Error: Cannot translate file as it is not a version 3 ChiWriter file.\r\n"
                  "  b_notes.CHI\r\n    Error: Conversion abandoned: Output too large\r\n"
                  "    1 errors in the conversion\r\n"
                  "  b_wide.CHI\r\n    Error: Conversion abandoned: Out of memory\r\n"
                  "    1 errors in the conversion\r\n  c_fine.CHI\r\n"
                  "*** Finished converting 1 files with 3 error(s) and 0 warning(s). ***\r\n"
                  "1 instances of ChiWriter files which are not Version 3\r\n"
                  "2 instances of omitted files\r\n")
        << jobs;
    EXPECT_FALSE(fs::exists(dir_ / "b_notes.rtf"));
    EXPECT_FALSE(fs::exists(dir_ / "b_wide.rtf"));
    for (const char* written : {"Pomvex.Log", "a_long.rtf", "c_fine.rtf"}) {
      fs::remove(dir_ / written);
    }
  }
}

// Under a memory limit, documents that each fit alone but not four at a time convert with four
// workers as with one, the log and every RTF file alike: a document whose memory ran out beside
// others is converted again alone, also after some of its problems were logged, and one that
// waits for its turn to log its problems gives its memory back meanwhile.
TEST_F(CliTest, UnderAMemoryLimitFourWorkersWriteWhatOneDoes) {
#ifdef POMVEX_SANITIZED
  GTEST_SKIP() << "a sanitizer's shadow memory does not fit under an address space limit";
#endif
  std::string line;
  for (int i = 0; i < 500000; ++i) line += "wo \\2a\\1 x\\ \\ {y}";
  const std::string head = "\\1cw\r\n\\U1STANDARD\r\n\\U2GREEK\r\n";
  std::string problems;
  for (int i = 0; i < 3000; ++i) problems += "odd \\Q command\r\n";
  for (int d = 0; d < 4; ++d) {
    Write("D" + std::to_string(d) + ".CHI", head + (d % 2 == 0 ? problems : "") + line + "\r\n");
  }
  for (const rlim_t megabytes : {100, 120, 150}) {
    std::map<std::string, std::string> written[2];
    for (int run = 0; run < 2; ++run) {
      const CliResult r = Run({"-j", run == 0 ? "1" : "4", dir_.string()}, [megabytes] {
        const rlimit limit{megabytes << 20, megabytes << 20};
        ::setrlimit(RLIMIT_AS, &limit);
      });
      EXPECT_EQ(r.status, 0) << r.err;
      for (const auto& e : fs::directory_iterator(dir_)) {
        if (e.path().extension() == ".CHI") continue;
        written[run][e.path().filename().string()] = Read(e.path());
        fs::remove(e.path());
      }
    }
    EXPECT_EQ(written[0].size(), 5u) << megabytes << " MB";
    EXPECT_TRUE(written[0] == written[1]) << megabytes << " MB:\n"
                                          << written[0]["Pomvex.Log"] << "\n"
                                          << written[1]["Pomvex.Log"];
  }
}

TEST_F(CliTest, UnreadableDocumentsAndFoldersAreSkipped) {
  Write("a.CHI", kDoc);
  Write("b.CHI", kDoc);
  Write("locked/x.CHI", kDoc);
  Write("open/c.CHI", kDoc);
  fs::permissions(dir_ / "b.CHI", fs::perms::none);
  fs::permissions(dir_ / "locked", fs::perms::none);
  std::function<void()> prepare;
  if (::geteuid() == 0) {
    // Root reads everything: the run is made by a user without rights to those two.
    fs::permissions(dir_, fs::perms::all);
    fs::permissions(dir_ / "open", fs::perms::all);
    prepare = [] {
      if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
        ::_exit(126);
      }
    };
  }
  const CliResult r = Run({"-r", "--json", (dir_ / "r.jsonl").string(), dir_.string()}, prepare);
  fs::permissions(dir_ / "locked", fs::perms::owner_all);
  if (r.status == 126 || r.status == 127) GTEST_SKIP() << "cannot run as another user here";
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string d = dir_.string() + "/";
  EXPECT_EQ(Read(dir_ / "Pomvex.Log"),
            d + "\r\n  a.CHI\r\n  b.CHI\r\n    Error: Cannot read file: File access denied\r\n" +
                "    1 errors in the conversion\r\n" + d +
                "locked/\r\n    Error: Cannot read folder: File access denied\r\n" + d +
                "open/\r\n  c.CHI\r\n"
                "*** Finished converting 2 files with 2 error(s) and 0 warning(s). ***\r\n"
                "2 instances of omitted files\r\n");
  EXPECT_FALSE(fs::exists(dir_ / "b.rtf"));
  EXPECT_TRUE(fs::exists(dir_ / "open/c.rtf"));
  const std::string denied = R"({"kind":"error","category":15,"category_name":"omitted files",)";
  EXPECT_EQ(
      Read(dir_ / "r.jsonl"),
      R"({"path":")" + d + R"(a.CHI","problems":[],"rtf":")" + d +
          R"(a.rtf","status":"converted"})" + "\n" + R"({"path":")" + d + R"(b.CHI","problems":[)" +
          denied + R"("text":"Cannot read file: File access denied","line":null}],"rtf":null,)" +
          R"("status":"unreadable"})" + "\n" + R"({"folder":")" + d + R"(locked/","problems":[)" +
          denied + R"("text":"Cannot read folder: File access denied","line":null}]})" + "\n" +
          R"({"path":")" + d + R"(open/c.CHI","problems":[],"rtf":")" + d +
          R"(open/c.rtf","status":"converted"})" + "\n" + R"({"summary":{"start_dir":")" + d +
          R"(","log":")" + d + R"(Pomvex.Log","documents":3,"converted":2,"errors":2,)" +
          R"("warnings":0,"categories":[{"category":15,"category_name":"omitted files",)" +
          R"("count":2}],"finished":true,"ending":null}})" + "\n");
}

TEST_F(CliTest, ProgressOnATerminalIsThrottledShortAndSafe) {
  const std::string folder = "a-folder-with-a-rather-long-name/";
  for (int i = 0; i < 200; ++i) Write(folder + "d" + std::to_string(i) + ".CHI", kDoc);
  Write(folder + "z\x1b[2J.CHI", kDoc);  // an escape sequence in a name
  const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  ASSERT_EQ(::grantpt(terminal), 0);
  ASSERT_EQ(::unlockpt(terminal), 0);
  const std::string side = ::ptsname(terminal);
  std::string screen;
  std::thread reader([&] {
    char buffer[4096];
    for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;) screen.append(buffer, n);
  });
  const auto start = std::chrono::steady_clock::now();
  const CliResult r = Run({"-r", dir_.string()}, [&side] {
    const int fd = ::open(side.c_str(), O_RDWR | O_NOCTTY);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 60;
    ::ioctl(fd, TIOCSWINSZ, &size);
    ::dup2(fd, 2);
    ::close(fd);
  });
  const auto elapsed = std::chrono::steady_clock::now() - start;
  reader.join();
  ::close(terminal);
  EXPECT_EQ(r.status, 0);
  // Each drawing begins with a return and a clear to the end of the line.
  const std::string redraw = "\r\x1b[K";
  const int draws = CountOf(screen, redraw);
  EXPECT_GE(draws, 1);
  EXPECT_LE(draws, 2 + elapsed / std::chrono::milliseconds(50)) << "at most one every 50 ms";
  EXPECT_EQ(CountOf(screen, "\x1b"), draws) << "no escape sequence from a name";
  EXPECT_EQ(screen.find(dir_.string()), std::string::npos) << "paths relative to the start";
  for (std::size_t at = 0; (at = screen.find(redraw, at)) != std::string::npos; ++at) {
    const std::size_t end = std::min(screen.find(redraw, at + 1), screen.find("\r\n", at));
    EXPECT_LE(end - at - redraw.size(), 59u) << "cut to the terminal's width";
  }
  EXPECT_EQ(screen.substr(screen.rfind(redraw) + redraw.size()),
            "201 converted, 0 warning(s), 0 error(s)  ...-name/z?[2J.CHI\r\n")
      << "the final values";
}

}  // namespace

// The kind, size and times of each path under root, taken without changing them.
std::map<std::string, std::string> Times(const fs::path& root,
                                         const std::map<std::string, std::string>& paths) {
  std::map<std::string, std::string> seen;
  for (const auto& [path, contents] : paths) {
    struct stat st {};
    ::lstat((root / path).c_str(), &st);
    seen[path] = std::to_string(st.st_mode) + " " + std::to_string(st.st_size) + " " +
                 std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) +
                 " " + std::to_string(st.st_atim.tv_sec) + "." + std::to_string(st.st_atim.tv_nsec);
  }
  return seen;
}

// The relative paths of the entries under root (root itself as "."), with their contents for
// files.
std::map<std::string, std::string> Contents(const fs::path& root, const std::string& only = "") {
  std::map<std::string, std::string> found{{".", "folder"}};
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (!only.empty() && e.path().extension() != only && !e.is_directory()) continue;
    found[e.path().lexically_relative(root).string()] =
        e.is_directory() ? "folder" : pomvex::testing::ReadFile(e.path());
  }
  return found;
}

TEST_F(CliTest, OutdirConvertsAReadOnlyTreeIntoAMirrorOfIt) {
  const fs::path samples = POMVEX_SOURCE_DIR "/examples";
  const std::pair<const char*, const char*> tree[] = {
      {"LETTER.CHI", ""},       {"PHYSICS.CHI", ""},   {"EUROPA.CHI", "a/"},
      {"CALCULUS.CHI", "a/b/"}, {"TABLE.CHI", "a/b/"}, {"OLDVER.CHI", "a/b/c/"}};
  for (const auto& [name, folder] : tree) {
    Write(std::string("src/") + folder + name, Read(samples / name));
  }
  Write("src/empty/notes.txt", "no document here");
  fs::copy(dir_ / "src", dir_ / "copy", fs::copy_options::recursive);
  ASSERT_EQ(Cli("-r " + (dir_ / "copy").string()).status, 0);
  std::map<std::string, std::string> expected = Contents(dir_ / "copy", ".rtf");
  expected.erase("empty");
  Write("out/a/b/TABLE.rtf", "an earlier result");
  expected["a/b/TABLE_0.rtf"] = expected["a/b/TABLE.rtf"];
  expected["a/b/TABLE.rtf"] = "an earlier result";

  // Old times, which reading would move on.
  const auto contents = Contents(dir_ / "src");
  for (const auto& [path, unused] : contents) {
    const timespec old[2] = {{978307200, 0}, {978307200, 0}};
    ::utimensat(AT_FDCWD, (dir_ / "src" / path).c_str(), old, AT_SYMLINK_NOFOLLOW);
  }
  const auto times = Times(dir_ / "src", contents);
  // Read-only where the test may mount, so that any attempt to write fails the run.
  fs::path source = dir_ / "src";
  struct Mount {
    std::string at;
    void Release() {
      if (!at.empty()) ::umount2(at.c_str(), MNT_DETACH);
      at.clear();
    }
    ~Mount() { Release(); }
  } mount;
  fs::create_directories(dir_ / "ro");
  if (::geteuid() == 0 &&
      ::mount(source.c_str(), (dir_ / "ro").c_str(), nullptr, MS_BIND, nullptr) == 0) {
    mount.at = (dir_ / "ro").string();
    if (::mount(nullptr, mount.at.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) ==
        0) {
      source = dir_ / "ro";
    }
  }
  const std::string out = (dir_ / "out").string();
  CliResult r = Cli("-r --outdir " + out + "/ " + source.string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find("***")),
            source.string() + "/\nOutput folder: " + out + "/\n");
  const std::string log = Read(dir_ / "out/Pomvex.Log");
  EXPECT_EQ(log.substr(0, log.find("  LETTER")),
            "Output folder: " + out + "/\r\n" + source.string() + "/\r\n");
  expected["Pomvex.Log"] = log;
  EXPECT_EQ(Contents(dir_ / "out"), expected) << "the folders with documents, and the RTF files";

  // Run again, now on the writable tree, from within OUT with a relative path.
  ASSERT_EQ(::chdir(out.c_str()), 0);
  r = Cli("--outdir . " + (dir_ / "src").string());
  ASSERT_EQ(::chdir("/"), 0);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read(dir_ / "out/Pomvex.Log"), log);
  EXPECT_EQ(Read(dir_ / "out/Pomvex_0.Log").substr(0, 16), "Output folder: /");
  EXPECT_EQ(Read(dir_ / "out/LETTER_0.rtf"), expected["LETTER.rtf"]);
  EXPECT_EQ(Read(dir_ / "out/LETTER.rtf"), expected["LETTER.rtf"]);
  mount.Release();
  EXPECT_EQ(Times(dir_ / "src", contents), times) << "not even an access time changed";
  EXPECT_EQ(Contents(dir_ / "src"), contents);
}

// A report takes the place of nothing the run reads or writes, and of no file but an earlier
// report of its kind: anything else is refused before a document is converted.
TEST_F(CliTest, AReportNeverTakesThePlaceOfADocumentAnRtfFileOrALog) {
  Write("d/LETTER.CHI", kDoc);
  Write("d/sub/INNER.CHI", kDoc);
  Write("other.txt", "precious");
  fs::create_symlink(dir_ / "d/LETTER.CHI", dir_ / "link.html");
  const std::string d = dir_.string() + "/d";
  const CliResult earlier = Cli("--report " + dir_.string() + "/page.html " + d);
  ASSERT_EQ(earlier.status, 0) << earlier.err;
  for (const auto& e : fs::directory_iterator(d)) {
    if (e.path().extension() != ".CHI" && e.is_regular_file()) fs::remove(e.path());
  }
  const auto before = Contents(dir_);
  const std::string o = dir_.string() + "/o";
  const std::pair<std::string, std::string> refused[] = {
      {"--report " + d + "/LETTER.CHI " + d,
       "--report would take the place of a document: " + d + "/LETTER.CHI"},
      {"--report " + d + "/../d/NEW.chi " + d,
       "--report would take the place of a document: " + d + "/NEW.chi"},
      {"--json " + d + "/LETTER.rtf " + d,
       "--json would take the name of an RTF file or log of the run: " + d + "/LETTER.rtf"},
      {"--json " + d + "/Pomvex.Log " + d,
       "--json would take the name of an RTF file or log of the run: " + d + "/Pomvex.Log"},
      {"-r --report " + d + "/sub/Pomvex_3.Log " + d,
       "--report would take the name of an RTF file or log of the run: " + d + "/sub/Pomvex_3.Log"},
      {"--outdir " + o + " --json " + o + "/LETTER.rtf " + d,
       "--json would take the name of an RTF file or log of the run: " + o + "/LETTER.rtf"},
      {"--outdir " + o + " --json " + d + "/sub/new.jsonl " + d,
       "--json must lie outside the start directory, which --outdir leaves unchanged: " + d +
           "/sub/new.jsonl"},
      {"--report " + d + " " + d, "--report takes a file, not a folder: " + d},
      {"--report " + dir_.string() + "/other.txt " + d,
       "--report would replace a file that is not an earlier report page: " + dir_.string() +
           "/other.txt"},
      {"--report " + dir_.string() + "/link.html " + d,
       "--report would replace a file that is not an earlier report page: " + dir_.string() +
           "/link.html"},
      {"--json " + dir_.string() + "/page.html " + d,
       "--json would replace a file that is not an earlier JSON-lines report: " + dir_.string() +
           "/page.html"},
  };
  for (const auto& [args, message] : refused) {
    const CliResult r = Cli(args);
    EXPECT_EQ(r.status, 64) << args;
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "pomvex-cli: " + message) << args;
    EXPECT_TRUE(Contents(dir_) == before) << args << ": nothing converted, nothing changed";
  }
  // An earlier report of its kind is replaced, run after run.
  for (int run = 0; run < 2; ++run) {
    const CliResult r = Cli("--report " + dir_.string() + "/page.html --json " + dir_.string() +
                            "/list.jsonl " + d);
    EXPECT_EQ(r.status, 0) << r.err;
  }
  EXPECT_NE(Read(dir_ / "list.jsonl").find("\"rtf\":\"" + d + "/LETTER_0.rtf\""),
            std::string::npos);
  EXPECT_EQ(Read(dir_ / "other.txt"), "precious");
}

TEST_F(CliTest, AnOutdirThatCannotBeUsedEndsTheRunWithoutALog) {
  Write("src/a.CHI", kDoc);
  Write("afile", "");
  const std::string d = dir_.string();
  std::vector<std::pair<std::string, std::string>> failures = {
      {d + "/afile", d + "/afile: Not a folder"},
      {d + "/afile/sub", d + "/afile: Not a folder"},
      {"/proc/pomvex/out", "/proc/pomvex: " + pomvex::MessageForErrno(ENOENT)},
  };
  // A folder that exists but takes no new file, even from root.
  if (fs::is_directory("/sys/kernel")) {
    failures.push_back({"/sys/kernel", "/sys/kernel/Pomvex.Log: File access denied"});
  }
  for (const auto& [outDir, message] : failures) {
    const CliResult r = Cli("--json " + d + "/r.jsonl --outdir " + outDir + " " + d + "/src");
    EXPECT_EQ(r.status, 2) << outDir;
    EXPECT_EQ(r.err, "pomvex-cli: " + message + "\n");
    EXPECT_EQ(Contents(dir_).size(), 5u) << "no log, no RTF file; the JSON lines, complete";
    EXPECT_NE(Read(dir_ / "r.jsonl").find(R"("finished":false,"ending":"*** Run ended: )"),
              std::string::npos);
  }
}

std::string HtmlOf(const std::string& text) {
  return pomvex::report::Html(pomvex::report::NameText(text));
}

// A JSON value, as far as the tests read the reports back.
struct JsonValue {
  std::string text;  // a string's value (UTF-8), or the text of a number or a literal
  std::vector<JsonValue> items;
  std::map<std::string, JsonValue> members;
  const JsonValue& operator[](const std::string& key) const { return members.at(key); }
};

// Parses the value at text[i]; false when it is no JSON.
bool ParseJson(const std::string& text, std::size_t& i, JsonValue& value) {
  auto ws = [&] {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  };
  auto string = [&](std::string& out) {
    if (text[i++] != '"') return false;
    while (i < text.size() && text[i] != '"') {
      if (static_cast<unsigned char>(text[i]) < 0x20) return false;
      if (text[i] != '\\') {
        out += text[i++];
        continue;
      }
      const char e = text[++i];
      ++i;
      if (e == 'u') {
        const unsigned code = std::stoul(text.substr(i, 4), nullptr, 16);
        i += 4;
        out += pomvex::report::NameText(std::string(1, static_cast<char>(code)));
        if (code > 0xFF) return false;  // the reports escape no more than Latin-1
      } else {
        const std::string from = "\"\\/bfnrt", to = "\"\\/\b\f\n\r\t";
        if (from.find(e) == std::string::npos) return false;
        out += to[from.find(e)];
      }
    }
    return i++ < text.size();
  };
  ws();
  if (i >= text.size()) return false;
  if (text[i] == '"') return string(value.text);
  if (text[i] == '[' || text[i] == '{') {
    const char close = text[i] == '[' ? ']' : '}';
    ++i;
    ws();
    if (i < text.size() && text[i] == close) return ++i, true;
    for (;;) {
      std::string key;
      ws();
      if (close == '}' && (i >= text.size() || !string(key) || (ws(), text[i++] != ':')))
        return false;
      JsonValue item;
      if (!ParseJson(text, i, item)) return false;
      if (close == '}') value.members[key] = item;
      if (close == ']') value.items.push_back(item);
      ws();
      if (i >= text.size()) return false;
      if (text[i++] == close) return true;
      if (text[i - 1] != ',') return false;
    }
  }
  const std::size_t start = i;
  while (i < text.size() &&
         std::string("-+.eE0123456789truefalsn").find(text[i]) != std::string::npos)
    ++i;
  value.text = text.substr(start, i - start);
  return i > start;
}

// The JSON lines of a report, each one parsed.
std::vector<JsonValue> JsonLines(const std::string& text) {
  std::vector<JsonValue> values;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::size_t i = 0;
    JsonValue value;
    EXPECT_TRUE(ParseJson(line, i, value) && i == line.size()) << line;
    values.push_back(value);
  }
  return values;
}

// tidy finds no error in the page (when tidy is there to ask).
void ExpectTidy(const fs::path& page) {
  if (std::system("command -v tidy >/dev/null 2>&1") != 0) return;
  const int status = std::system(("tidy -q -e '" + page.string() + "' 2>/dev/null").c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) < 2) << page;
}

void ExpectNoTemporaryFile(const fs::path& dir) {
  for (const auto& e : fs::directory_iterator(dir)) EXPECT_NE(e.path().extension(), ".tmp");
}

TEST_F(CliTest, ReportsHoldEveryProblemOfTheLogWithItsLine) {
  const fs::path docs = dir_ / "docs", out = dir_ / "out";
  fs::create_directories(docs);
  for (const auto& e : fs::directory_iterator(fs::path(POMVEX_SOURCE_DIR) / "examples")) {
    if (e.path().extension() == ".CHI") fs::copy_file(e.path(), docs / e.path().filename());
  }
  // Problems at known lines, in a document whose name and bytes need escaping too.
  const std::string lined =
      "\\1cw\r\n\\U1STANDARD\r\n\\U2GREEK\r\nPlain \\2abc\\1 line.\\,\r\n\\+          xyz\r\n"
      "the main line has no room.\\,\r\nAn unknown \\Q command.\\,\r\nPage ends.\\,\f\r\n"
      "\\- lost subscript\r\nCut after a backslash \\\r\n\\GPIC.PCX\\G\\,\r\n";
  Write("docs/lined.CHI", lined);
  Write("docs/<b>x&amp;.CHI", lined + "Bytes \x82\xff \\\r\n");
  Write("docs/caf\xe9.CHI", kDoc);
  const std::map<std::string, std::string> lines = {
      {"Unable to add sub- or superscript: xyz", "5"},
      {"Unknown ChiWriter command '\\Q'. The file may be corrupt.", "7"},
      {"Subscript line with no main line", "9"},
      {"Line terminated by '\\' in: Cut after a backslash \\", "10"},
      {"Please edit this file to include the picture file PIC.PCX", "11"},
      {"Line terminated by '\\' in: Bytes \xC2\x82\xC3\xBF \\", "12"}};
  // What a run leaves in out, which it empties.
  auto outputs = [&] {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(out)) {
      if (e.is_regular_file()) files[e.path().lexically_relative(out).string()] = Read(e.path());
    }
    fs::remove_all(out);
    return files;
  };
  // The RTF files and the log are the same with reports as without; the reports are the same
  // for one worker as for several.
  const std::vector<std::string> args = {"--detailed-log", "--outdir", out.string(), docs.string()};
  ASSERT_EQ(Run(args).status, 0);
  const std::map<std::string, std::string> plain = outputs();
  const fs::path page = dir_ / "r.html", jsonl = dir_ / "r.jsonl";
  std::string html, json;
  for (const char* jobs : {"1", "3"}) {
    std::vector<std::string> with = {"-j",          jobs,     "--report",
                                     page.string(), "--json", jsonl.string()};
    with.insert(with.end(), args.begin(), args.end());
    const CliResult r = Run(with);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(outputs(), plain) << "-j " << jobs;
    if (!html.empty()) {
      EXPECT_EQ(Read(page), html) << "-j " << jobs;
      EXPECT_EQ(Read(jsonl), json) << "-j " << jobs;
    }
    html = Read(page);
    json = Read(jsonl);
  }
  ExpectNoTemporaryFile(dir_);
  ExpectTidy(page);
  EXPECT_EQ(pomvex::report::NameText(html), html) << "UTF-8 throughout";
  EXPECT_EQ(pomvex::report::NameText(json), json) << "UTF-8 throughout";
  EXPECT_NE(html.find("&lt;b&gt;x&amp;amp;.CHI"), std::string::npos);
  EXPECT_EQ(html.find("<b>x&"), std::string::npos);
  EXPECT_NE(json.find(R"("path":")" + docs.string() + R"(/caf\u00e9.CHI")"), std::string::npos);

  // The log's problems, under their documents' names.
  std::vector<std::pair<std::string, std::string>> logged, listed;
  std::istringstream log(plain.at("Pomvex.Log"));
  std::string name;
  for (std::string line; std::getline(log, line);) {
    line.pop_back();  // the CR
    if (line.rfind("  ", 0) == 0 && line[2] != ' ') name = pomvex::report::NameText(line.substr(2));
    for (const std::string kind : {"    Error: ", "    Warning: "}) {
      if (line.rfind(kind, 0) == 0)
        logged.push_back({name, pomvex::report::NameText(line.substr(kind.size()))});
    }
  }
  const std::vector<JsonValue> objects = JsonLines(json);
  ASSERT_FALSE(objects.empty());
  int checkedLines = 0;
  for (const JsonValue& object : objects) {
    if (object.members.count("summary") != 0) continue;
    const std::string path = object["path"].text;
    const std::string document = path.substr(path.rfind('/') + 1);
    // Its section of the page lists each problem with its line, in the same order.
    const std::size_t section = html.find("<h3>" + HtmlOf(document) + " ");
    std::size_t at = section;
    for (const JsonValue& problem : object["problems"].items) {
      const std::string& text = problem["text"].text;
      listed.push_back({document, text});
      EXPECT_EQ(problem["kind"].text, problem["category"].text == "null" ? "warning" : "error");
      const std::string line = problem["line"].text;
      if (document == "lined.CHI" || document[0] == '<') {
        EXPECT_EQ(line, lines.at(text)) << document << ": " << text;
        ++checkedLines;
      }
      ASSERT_NE(section, std::string::npos) << document;
      at = html.find("<td class=\"msg\">" + HtmlOf(text) + "</td>", at);
      ASSERT_NE(at, std::string::npos) << document << ": " << text;
      const std::string row =
          html.substr(html.rfind("<tr", at), html.find("</tr>", at) - html.rfind("<tr", at));
      EXPECT_NE(row.find(line == "null" ? "&#8211;" : ">" + line + "<"), std::string::npos) << row;
    }
  }
  EXPECT_EQ(checkedLines, 11);
  EXPECT_EQ(listed, logged);
  EXPECT_NE(html.find("<h4>Lines 5&#8211;6</h4>"), std::string::npos) << "the group's details";
  const JsonValue& summary = objects.back()["summary"];
  const std::string summaryLine = "*** Finished converting " + summary["converted"].text +
                                  " files with " + summary["errors"].text + " error(s) and " +
                                  summary["warnings"].text + " warning(s). ***";
  EXPECT_NE(plain.at("Pomvex.Log").find(summaryLine), std::string::npos) << summaryLine;
  EXPECT_EQ(summary["documents"].text, std::to_string(objects.size() - 1));
}

// Formulas with the other options: a fraction in a line that also holds an unknown command,
// and a superscript without room under it. The same files for one worker as for two; the log
// no longer reports the fraction's lines, and the report shows the formula the group became.
TEST_F(CliTest, EquationsCombineWithTheOtherOptions) {
  Write("docs/f.CHI",
        "\\1cw\r\n\\U1STANDARD\r\n\\+    a + b\r\nx = ------- holds \\Q here.\\,\r\n\\-     2c\r\n"
        "\\+          xyz\r\nthe main line has no room.\\,\r\n");
  const fs::path out = dir_ / "out", page = dir_ / "r.html", jsonl = dir_ / "r.jsonl";
  const std::vector<std::string> common = {"--keep-all-scripts", "--detailed-log", "--outdir",
                                           out.string(), (dir_ / "docs").string()};
  std::string rtf, log;
  for (const char* jobs : {"1", "2"}) {
    std::vector<std::string> args = {"--equations", "-j",     jobs,          "--report",
                                     page.string(), "--json", jsonl.string()};
    args.insert(args.end(), common.begin(), common.end());
    const CliResult r = Run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    if (!rtf.empty()) {
      EXPECT_EQ(Read(out / "f.rtf"), rtf) << "-j " << jobs;
      EXPECT_EQ(Read(out / "Pomvex.Log"), log) << "-j " << jobs;
    }
    rtf = Read(out / "f.rtf");
    log = Read(out / "Pomvex.Log");
    fs::remove_all(out);
  }
  EXPECT_NE(rtf.find("{\\mmath{\\*\\moMath{\\mr x=}{\\mf{\\mnum{\\mr a+b}}{\\mden{\\mr 2c}}}}}"
                     "{\\mmathPict x = (a + b)/(2c)}"),
            std::string::npos);
  EXPECT_NE(rtf.find("the main l{\\super xyz}ine"), std::string::npos);
  EXPECT_NE(log.find("    Error: Unknown ChiWriter command '\\Q'. The file may be corrupt.\r\n"
                     "    Error: Sub- or superscript placed at its column without room: xyz\r\n"
                     "    1 instances of being unable to add sub- or super-scripts\r\n"
                     "    2 errors in the conversion\r\n"),
            std::string::npos);
  EXPECT_NE(Read(page).find("<span class=\"math\" title=\"formula\">x = (a + b)/(2c)</span>"),
            std::string::npos);
  EXPECT_NE(Read(jsonl).find("\"errors\":2,"), std::string::npos);
  // Without formulas, the fraction's lines are placed without room and reported.
  ASSERT_EQ(Run(common).status, 0);
  EXPECT_NE(Read(out / "Pomvex.Log").find("without room: 2c\r\n"), std::string::npos);
}

TEST_F(CliTest, AnInterruptedRunStillGetsWholeReports) {
  for (int i = 0; i < 3000; ++i) Write("d" + std::to_string(10000 + i) + ".CHI", kDoc + "\\Q\r\n");
  const fs::path page = dir_ / "reports" / "r.html", jsonl = dir_ / "reports" / "r.jsonl";
  fs::create_directories(page.parent_path());
  const pid_t pid = Start({"--report", page.string(), "--json", jsonl.string(), dir_.string()});
  for (int wait = 0; wait < 20000 && Read(dir_ / "Pomvex.Log").find("\r\n  d") == std::string::npos;
       ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ::kill(pid, SIGINT);
  const CliResult r = Wait(pid);
  ASSERT_EQ(r.status, 130) << r.err;
  ExpectNoTemporaryFile(page.parent_path());
  const std::vector<JsonValue> objects = JsonLines(Read(jsonl));
  ASSERT_GE(objects.size(), 2u);
  const JsonValue& summary = objects.back()["summary"];
  EXPECT_EQ(summary["finished"].text, "false");
  EXPECT_EQ(summary["ending"].text.rfind("*** Run interrupted after ", 0), 0u);
  // Each document finished is converted; the one the interrupt cut short is skipped, and its
  // RTF file is gone.
  std::size_t problems = 0;
  for (std::size_t k = 0; k + 1 < objects.size(); ++k) {
    problems += objects[k]["problems"].items.size();
    const bool last = k + 2 == objects.size();
    const std::string status = objects[k]["status"].text;
    EXPECT_TRUE(status == "converted" || (last && status == "skipped")) << k << " " << status;
    EXPECT_TRUE(status != "skipped" || objects[k]["rtf"].text == "null");
  }
  EXPECT_EQ(summary["errors"].text, std::to_string(problems));
  const std::string html = Read(page);
  EXPECT_EQ(html.substr(html.size() - 8), "</html>\n");
  EXPECT_NE(html.find("*** Run interrupted after "), std::string::npos);
  ExpectTidy(page);
}
