// Benchmark: converts realistic and pathological documents file to file, as a run does, and
// sets each time beside the time to read and write the same bytes with plain file I/O in the
// same run. Checks that time grows linearly with size, and measures peak memory per input.
// Then converts an archive of realistic documents by whole runs, one document at a time and on
// every core, side by side, and compares what the two wrote.
//
//   pomvex-bench [--check] [--quick] [--dir DIR]    the tables (--check: exit 1 on a miss)
//   pomvex-bench --peak-memory FILE                  converts FILE once, prints its peak RSS
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/document_queue.h"
#include "app/run.h"
#include "app/run_state.h"
#include "base/line_group.h"
#include "conversion/line_group_reader.h"
#include "corpus.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// The bounds the conversion must keep.
constexpr double kMinRealisticMBps = 50.0;
constexpr double kMaxDoublingRatio = 2.3;
constexpr double kMaxSecondsPerMB = 5.0;
constexpr double kMaxMemoryPerLargestText = 20.0;
constexpr double kMinSpeedupOnTwoCores = 1.6;
constexpr double kMinFormulaShare = 0.95;

constexpr double kMB = 1024.0 * 1024.0;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// Reads the file in blocks and writes them to a new file: what the conversion is set against.
void CopyPlain(const fs::path& from, const fs::path& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  std::FILE* out = std::fopen(to.c_str(), "wb");
  if (in == nullptr || out == nullptr) throw std::runtime_error("cannot copy " + from.string());
  std::vector<char> block(1 << 16);
  std::size_t n;
  while ((n = std::fread(block.data(), 1, block.size(), in)) > 0) {
    if (std::fwrite(block.data(), 1, n, out) != n) throw std::runtime_error("write failed");
  }
  std::fclose(in);
  if (std::fclose(out) != 0) throw std::runtime_error("write failed");
}

// Converts files as a run of one job does (taken up, converted and committed to the run's log).
class Converter {
 public:
  explicit Converter(const fs::path& logPath, bool equations = false) : run_(quiet_) {
    run_.Equations = equations;
    run_.OpenLog(pomvex::CreateUniqueFile(logPath.string(), ""));
    queue_ = std::make_unique<pomvex::DocumentQueue>(run_, 1);  // it takes the run's options
  }
  ~Converter() {
    queue_.reset();
    run_.CloseLog();
  }
  void Convert(const fs::path& chi) { queue_->AddDocument(chi.string()); }

 private:
  pomvex::RunFrontEnd quiet_;
  pomvex::RunState run_;
  std::unique_ptr<pomvex::DocumentQueue> queue_;
};

// The best of several runs: at least five, more while the time budget lasts. The file a run
// wrote is removed after it, outside the time.
template <typename Step>
double BestSeconds(Step step, const fs::path& written, double budget) {
  double best = std::numeric_limits<double>::max();
  double total = 0;
  for (int reps = 0; reps < 5 || (total < budget && reps < 200); ++reps) {
    const auto start = Clock::now();
    step();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    fs::remove(written);
    best = std::min(best, seconds);
    total += seconds;
  }
  return best;
}

// The best times of two steps run in turn, so that a drift of the machine's speed meets both.
template <typename StepA, typename StepB>
std::pair<double, double> BestSecondsInTurn(StepA a, StepB b, const fs::path& written,
                                            double budget) {
  double bestA = std::numeric_limits<double>::max(), bestB = bestA, total = 0;
  for (int reps = 0; reps < 9 || (total < budget && reps < 200); ++reps) {
    for (int which = 0; which < 2; ++which) {
      const auto start = Clock::now();
      which == 0 ? a() : b();
      const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
      fs::remove(written);
      (which == 0 ? bestA : bestB) = std::min(which == 0 ? bestA : bestB, seconds);
      total += seconds;
    }
  }
  return {bestA, bestB};
}

struct Timing {
  double convert;
  double plain;
};

Timing Measure(Converter& converter, const fs::path& chi, double budget) {
  const fs::path copy = fs::path(chi).replace_extension(".copy");
  Timing t;
  t.plain = BestSeconds([&] { CopyPlain(chi, copy); }, copy, budget / 4);
  t.convert =
      BestSeconds([&] { converter.Convert(chi); }, fs::path(chi).replace_extension(".rtf"), budget);
  return t;
}

const char* Verdict(bool ok, bool& allOk) {
  allOk = allOk && ok;
  return ok ? "ok" : "MISS";
}

// Peak resident memory of this process in KiB (VmHWM), which a fresh process image starts
// afresh: the parent's memory does not count.
long PeakRssKiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      long kib = 0;
      status >> kib;
      return kib;
    }
    status.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
  return -1;
}

class SilentReporter : public pomvex::Reporter {
 public:
  void ReportError(pomvex::Category, const std::string&) override {}
  void ReportWarning(const std::string&) override {}
};

// The size of the largest line group of a document, as the group reader reads them.
std::size_t LargestGroup(const std::string& document) {
  std::istringstream stream(document);
  pomvex::TextInput in(stream);
  SilentReporter silent;
  auto group = std::make_unique<pomvex::LineGroup>();
  bool linePending = false;
  std::size_t largest = 0;
  while (!in.AtEnd() || linePending) {
    pomvex::ReadLineGroup(silent, in, *group, linePending);
    std::size_t size = 0;
    for (int slot = 0; slot <= group->lastIndex; ++slot) size += group->Lines[slot].size();
    largest = std::max(largest, size);
    if (linePending) group->Lines[0] = std::move(group->Lines[group->lastIndex + 1]);
  }
  return largest;
}

// The longest line of an RTF file, whose lines end in CR LF (a line feed alone is text).
std::size_t LongestRtfLine(const fs::path& rtf) {
  std::ifstream in(rtf, std::ios::binary);
  std::stringstream whole;
  whole << in.rdbuf();
  const std::string text = whole.str();
  std::size_t longest = 0;
  std::size_t start = 0;
  for (std::size_t end = text.find("\r\n"); end != std::string::npos;
       start = end + 2, end = text.find("\r\n", start)) {
    longest = std::max(longest, end - start);
  }
  return std::max(longest, text.size() - start);
}

// Converts the file once; prints the peak RSS in KiB and the longest RTF line written.
int PeakMemoryMode(const fs::path& chi) {
  {
    Converter converter(fs::path(chi).replace_extension(".log"));
    converter.Convert(chi);
  }
  const long kib = PeakRssKiB();
  const fs::path rtf = fs::path(chi).replace_extension(".rtf");
  std::printf("%ld %zu\n", kib, LongestRtfLine(rtf));
  fs::remove(rtf);
  return 0;
}

struct ChildPeak {
  long kib = -1;                  // the peak RSS of the converting process
  std::size_t longestOutput = 1;  // its longest RTF line
};

// Converts the file in a new process and gives what that process measured.
ChildPeak PeakMemoryOfChild(const fs::path& self, const fs::path& chi) {
  const std::string command = "'" + self.string() + "' --peak-memory '" + chi.string() + "'";
  ChildPeak peak;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return peak;
  if (std::fscanf(pipe, "%ld %zu", &peak.kib, &peak.longestOutput) != 2) peak.kib = -1;
  pclose(pipe);
  return peak;
}

// Every file under root, by its path relative to root, with its contents (root's own path in
// them written as "OUT").
std::map<std::string, std::string> TreeOf(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_directory()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream whole;
    whole << in.rdbuf();
    std::string text = whole.str();
    const std::string path = root.string();
    for (std::size_t at = text.find(path); at != std::string::npos; at = text.find(path, at)) {
      text.replace(at, path.size(), "OUT");
    }
    tree[entry.path().lexically_relative(root).string()] = std::move(text);
  }
  return tree;
}

struct ArchiveTiming {
  double oneJob = std::numeric_limits<double>::max();    // best time of a run with -j 1
  double allCores = std::numeric_limits<double>::max();  // best time of a run on every core
  bool same = false;  // the two wrote the same files and the same log
};

// documents realistic documents of 4 to 40 KB, twenty to a folder, converted by whole runs into
// an output folder: one at a time and on every core in turn, repeats times each, the best time
// of each kept.
ArchiveTiming MeasureArchive(const fs::path& dir, int documents, int repeats, double& megabytes) {
  const fs::path archive = dir / "archive";
  megabytes = 0;
  for (int i = 0; i < documents; ++i) {
    const std::size_t bytes = 4096 + (static_cast<std::size_t>(i) * 7919) % 36864;
    const std::string doc = pomvex::bench::RealisticDocument(bytes, 1000 + i);
    const fs::path folder = archive / ("DISK" + std::to_string(i / 20));
    fs::create_directories(folder);
    WriteFile(folder / ("PAPER" + std::to_string(i) + ".CHI"), doc);
    megabytes += static_cast<double>(doc.size()) / kMB;
  }
  ArchiveTiming timing;
  for (int repeat = 0; repeat < repeats; ++repeat) {
    for (int i : {0, 1}) {
      const fs::path out = dir / ("out" + std::to_string(i));
      fs::remove_all(out);
      pomvex::RunRequest request;
      request.directory = archive.string();
      request.choice = pomvex::FileChoice::CurrentAndSubFolders;
      request.outputDirectory = out.string();
      request.jobs = i == 0 ? 1 : pomvex::DefaultJobCount();
      pomvex::RunFrontEnd quiet;
      const auto start = Clock::now();
      const pomvex::RunOutcome outcome = pomvex::RunConversion(request, quiet);
      const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
      if (!outcome.finished) {
        throw std::runtime_error("the archive's run failed: " + outcome.failure);
      }
      double& best = i == 0 ? timing.oneJob : timing.allCores;
      best = std::min(best, seconds);
    }
  }
  timing.same = TreeOf(dir / "out0") == TreeOf(dir / "out1");
  fs::remove_all(dir / "out0");
  fs::remove_all(dir / "out1");
  fs::remove_all(archive);
  return timing;
}

struct Options {
  bool check = false;
  bool quick = false;
  fs::path dir;
};

int Benchmark(const Options& options) {
  fs::create_directories(options.dir);
  const fs::path self = fs::read_symlink("/proc/self/exe");
  const double budget = options.quick ? 0.05 : 0.5;
  const int scaleDivisor = options.quick ? 16 : 1;
  bool allOk = true;
  Converter converter(options.dir / "bench.log");
  Converter withFormulas(options.dir / "bench_equations.log", /*equations=*/true);

  std::printf("Pomvex benchmark: one core, file to file as a run converts, best of several runs\n");
  std::printf("plain I/O = reading the same file and writing its bytes to a new file\n\n");

  // Realistic documents.
  std::printf("%-24s %9s %10s %8s %11s %9s %8s\n", "realistic document", "size", "convert", "MB/s",
              "plain I/O", "MB/s", "ratio");
  double totalBytes = 0, totalConvert = 0, totalPlain = 0;
  const std::size_t realisticBytes = (8u << 20) / static_cast<unsigned>(scaleDivisor);
  for (unsigned seed = 1; seed <= 3; ++seed) {
    const std::string doc = pomvex::bench::RealisticDocument(realisticBytes, seed);
    const fs::path chi = options.dir / ("PAPER" + std::to_string(seed) + ".CHI");
    WriteFile(chi, doc);
    const Timing t = Measure(converter, chi, budget);
    const double mb = static_cast<double>(doc.size()) / kMB;
    std::printf("%-24s %6.2f MB %8.4f s %8.1f %9.4f s %9.1f %7.1fx\n",
                ("paper, seed " + std::to_string(seed)).c_str(), mb, t.convert, mb / t.convert,
                t.plain, mb / t.plain, t.convert / t.plain);
    totalBytes += mb;
    totalConvert += t.convert;
    totalPlain += t.plain;
  }
  const double realisticRate = totalBytes / totalConvert;
  std::printf("%-24s %6.2f MB %8.4f s %8.1f %9.4f s %9.1f %7.1fx  (>= %.0f MB/s: %s)\n",
              "all realistic", totalBytes, totalConvert, realisticRate, totalPlain,
              totalBytes / totalPlain, totalConvert / totalPlain, kMinRealisticMBps,
              Verdict(realisticRate >= kMinRealisticMBps, allOk));
  // Formulas asked for. Papers whose equations hold scripts but no two-dimensional
  // mathematics must lose little speed: the search for it costs little where there is none.
  // The papers above, whose sums have limits, are shown too: their formulas are built.
  double flatBytes = 0, flatStandard = 0, flatFormulas = 0;
  for (unsigned seed = 1; seed <= 3; ++seed) {
    const std::string doc =
        pomvex::bench::RealisticDocument(realisticBytes, seed, /*bigOperators=*/false);
    const fs::path chi = options.dir / ("FLAT" + std::to_string(seed) + ".CHI");
    WriteFile(chi, doc);
    const fs::path rtf = fs::path(chi).replace_extension(".rtf");
    flatBytes += static_cast<double>(doc.size()) / kMB;
    const auto [standard, formulas] = BestSecondsInTurn(
        [&] { converter.Convert(chi); }, [&] { withFormulas.Convert(chi); }, rtf, 2 * budget);
    flatStandard += standard;
    flatFormulas += formulas;
  }
  const double formulaShare = flatStandard / flatFormulas;
  std::printf("%-24s %6.2f MB %8.4f s %8.1f  %.2f of the speed without (>= %.2f: %s)\n",
              "no 2-D maths, --equations", flatBytes, flatFormulas, flatBytes / flatFormulas,
              formulaShare, kMinFormulaShare, Verdict(formulaShare >= kMinFormulaShare, allOk));
  double paperStandard = 0, paperFormulas = 0;
  for (unsigned seed = 1; seed <= 3; ++seed) {
    const fs::path chi = options.dir / ("PAPER" + std::to_string(seed) + ".CHI");
    const auto [standard, formulas] =
        BestSecondsInTurn([&] { converter.Convert(chi); }, [&] { withFormulas.Convert(chi); },
                          fs::path(chi).replace_extension(".rtf"), 2 * budget);
    paperStandard += standard;
    paperFormulas += formulas;
  }
  std::printf(
      "%-24s %6.2f MB %8.4f s %8.1f  %.2f of the speed without (sums with limits built)\n\n",
      "papers, --equations", totalBytes, paperFormulas, totalBytes / paperFormulas,
      paperStandard / paperFormulas);

  // Pathological documents, at full and at half size.
  std::printf("%-12s %9s %9s %9s %7s %9s %10s %9s\n", "pathological", "size", "full", "half",
              "ratio", "s/MB", "plain I/O", "conv/IO");
  struct Peak {
    std::string name;
    std::size_t longestLine;
    std::size_t largestGroup;
    fs::path chi;
  };
  std::vector<Peak> peaks;
  for (const pomvex::bench::Pathology& p : pomvex::bench::Pathologies()) {
    const int full = p.fullScale / scaleDivisor;
    const std::string fullDoc = p.make(full);
    const std::string halfDoc = p.make(full / 2);
    const fs::path fullChi = options.dir / (p.name + ".CHI");
    const fs::path halfChi = options.dir / (p.name + "-half.CHI");
    WriteFile(fullChi, fullDoc);
    WriteFile(halfChi, halfDoc);
    const Timing tf = Measure(converter, fullChi, budget);
    const Timing th = Measure(converter, halfChi, budget);
    const double mb = static_cast<double>(fullDoc.size()) / kMB;
    const double ratio = tf.convert / th.convert;
    const double perMB = tf.convert / mb;
    std::printf("%-12s %6.2f MB %7.4f s %7.4f s %5.2f %-4s %5.3f %-3s %8.4f s %8.1fx\n",
                p.name.c_str(), mb, tf.convert, th.convert, ratio,
                Verdict(ratio <= kMaxDoublingRatio, allOk), perMB,
                Verdict(perMB <= kMaxSecondsPerMB, allOk), tf.plain, tf.convert / tf.plain);
    peaks.push_back({p.name, pomvex::bench::LongestLine(fullDoc), LargestGroup(fullDoc), fullChi});
    if (p.name == "fractions") {
      // The recognizer's time grows with the group it reads.
      const double full = BestSeconds([&] { withFormulas.Convert(fullChi); },
                                      fs::path(fullChi).replace_extension(".rtf"), budget);
      const double half = BestSeconds([&] { withFormulas.Convert(halfChi); },
                                      fs::path(halfChi).replace_extension(".rtf"), budget);
      std::printf("%-12s %6.2f MB %7.4f s %7.4f s %5.2f %-4s %5.3f %-3s  (with --equations)\n",
                  p.name.c_str(), mb, full, half, full / half,
                  Verdict(full / half <= kMaxDoublingRatio, allOk), full / mb,
                  Verdict(full / mb <= kMaxSecondsPerMB, allOk));
    }
  }
  std::printf("(ratio: full-size time / half-size time, <= %.1f; s/MB: <= %.0f)\n\n",
              kMaxDoublingRatio, kMaxSecondsPerMB);

  // Peak memory, each input converted in a process of its own.
  const fs::path idle = options.dir / "IDLE.CHI";
  WriteFile(idle, "\\1cw\r\n\\U1STANDARD\r\nA line.\\,\r\n");
  const long idleKiB = PeakMemoryOfChild(self, idle).kib;
  std::printf("peak memory (a process per input; converting a one-line document: %.1f MB)\n",
              static_cast<double>(idleKiB) / 1024.0);
  std::printf("%-12s %9s %9s %9s %9s %9s %7s %7s\n", "pathological", "line", "group", "RTF line",
              "peak RSS", "> idle", "/ line", "/ held");
  for (const Peak& peak : peaks) {
    const ChildPeak child = PeakMemoryOfChild(self, peak.chi);
    const double above = static_cast<double>(child.kib - idleKiB) * 1024.0;
    // The largest text the conversion must hold at once: a group read, or an RTF line made.
    const std::size_t held = std::max(peak.largestGroup, child.longestOutput);
    const double perHeld = above / static_cast<double>(held);
    std::printf(
        "%-12s %6.2f MB %6.2f MB %6.2f MB %6.1f MB %6.1f MB %7.1f %7.1f %s\n", peak.name.c_str(),
        static_cast<double>(peak.longestLine) / kMB, static_cast<double>(peak.largestGroup) / kMB,
        static_cast<double>(child.longestOutput) / kMB, static_cast<double>(child.kib) / 1024.0,
        above / kMB, above / static_cast<double>(peak.longestLine), perHeld,
        Verdict(child.kib > 0 && perHeld <= kMaxMemoryPerLargestText, allOk));
  }
  std::printf(
      "(> idle: peak RSS above that of the one-line document; / line: that over the longest\n"
      " input line; / held: over the largest text held at once, the largest line group read or\n"
      " the longest RTF line written, <= %.0f)\n\n",
      kMaxMemoryPerLargestText);

  // An archive converted by whole runs, one document at a time and on every core.
  const int cores = pomvex::DefaultJobCount();
  double megabytes = 0;
  const int documents = 800 / scaleDivisor;
  const int repeats = options.quick ? 5 : 7;
  const ArchiveTiming archive = MeasureArchive(options.dir, documents, repeats, megabytes);
  std::printf(
      "archive: %d realistic documents (%.1f MB) in %d folders, whole runs into an output\n"
      "folder, one at a time (-j 1) and on every core (-j %d) in turn, best of %d each\n",
      documents, megabytes, (documents + 19) / 20, cores, repeats);
  const std::string allCores = "-j " + std::to_string(cores);
  std::printf("%-12s %10s %8s %10s %8s %8s %s\n", "archive", "-j 1", "MB/s", allCores.c_str(),
              "MB/s", "faster", "output");
  const double speedup = archive.oneJob / archive.allCores;
  const bool fastEnough = cores < 2 || speedup >= kMinSpeedupOnTwoCores;
  std::printf("%-12s %8.3f s %8.1f %8.3f s %8.1f %7.2fx %s\n", "all", archive.oneJob,
              megabytes / archive.oneJob, archive.allCores, megabytes / archive.allCores, speedup,
              archive.same ? "identical" : "DIFFERENT");
  std::printf(
      "(faster: -j 1's time over the other's, >= %.1f with 2 cores or more: %s; output:\n"
      " every RTF file and the log of the two runs compared: %s)\n\n",
      kMinSpeedupOnTwoCores, Verdict(fastEnough, allOk), Verdict(archive.same, allOk));

  std::printf("%s\n", allOk ? "all bounds kept" : "SOME BOUNDS MISSED");
  return options.check && !allOk ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    Options options;
    options.dir = fs::temp_directory_path() / ("pomvex-bench-" + std::to_string(::getpid()));
    bool ownDir = true;
    for (int i = 1; i < argc; ++i) {
      const std::string arg = argv[i];
      if (arg == "--peak-memory" && i + 1 < argc) return PeakMemoryMode(argv[i + 1]);
      if (arg == "--check") {
        options.check = true;
      } else if (arg == "--quick") {
        options.quick = true;
      } else if (arg == "--dir" && i + 1 < argc) {
        options.dir = argv[++i];
        ownDir = false;
      } else {
        std::fprintf(stderr, "usage: pomvex-bench [--check] [--quick] [--dir DIR]\n");
        return 64;
      }
    }
    const int status = Benchmark(options);
    if (ownDir) fs::remove_all(options.dir);
    return status;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pomvex-bench: %s\n", e.what());
    return 2;
  }
}
