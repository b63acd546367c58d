// Whole runs over folders on disk: file naming, the walk order, the log, and what happens to a
// document that meets a limit, cannot be read, or is being written when the run is stopped.
#include "app/run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "app/folder_listing.h"
#include "app/output_file.h"
#include "platform/platform_errors.h"
#include "platform/platform_files.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace pomvex {
namespace {

class TempDir {
 public:
  TempDir() {
    static int counter = 0;
    path_ = fs::temp_directory_path() /
            ("pomvex_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string Dir() const { return path_.string(); }
  std::string operator/(const std::string& name) const {
    return Dir() + platform::kPathSeparator + name;
  }

 private:
  fs::path path_;
};

void WriteFile(const std::string& path, const std::string& bytes) {
  const fs::path native = platform::NativePath(path);
  fs::create_directories(native.parent_path());
  std::ofstream(native, std::ios::binary) << bytes;
}

// What ends every directory's path in the log.
const std::string kSep(1, platform::kPathSeparator);

// text with each "/" written as the system's separator.
std::string Native(std::string text) {
  std::replace(text.begin(), text.end(), '/', platform::kPathSeparator);
  return text;
}

#ifdef _WIN32
const std::string kReadingAFolder = "File access denied";  // a folder is not opened as a file
#else
const std::string kReadingAFolder = MessageForErrno(EISDIR);
#endif

using testing::ReadFile;

const std::string kDoc = "\\1cw\r\n\\U1STANDARD\r\nHello\\,\r\n";

struct Recorder : RunFrontEnd {
  std::vector<std::string> events;
  void ShowInfo(const std::string& text) override { events.push_back("info " + text); }
  void FileStarted(const std::string& path) override {
    events.push_back("file " + fs::path(path).filename().string());
  }
};

RunOutcome RunIn(const std::string& dir, FileChoice choice, std::vector<std::string> selected = {},
                 Recorder* recorder = nullptr) {
  Recorder local;
  RunRequest request;
  request.directory = dir;
  request.choice = choice;
  request.selectedFiles = std::move(selected);
  return RunConversion(request, recorder ? *recorder : local);
}

std::string Created(const std::string& name, const std::string& newExtension) {
  return CreateUniqueFile(name, newExtension)->Path();
}

TEST(CreateUniqueFile, NeverOverwrites) {
  TempDir t;
  WriteFile(t / "LETTER.CHI", "x");
  EXPECT_EQ(Created(t / "LETTER.CHI", ".rtf"), t / "LETTER.rtf");
  EXPECT_EQ(Created(t / "LETTER.CHI", ".rtf"), t / "LETTER_0.rtf");
  EXPECT_EQ(Created(t / "LETTER.CHI", ".rtf"), t / "LETTER_1.rtf");
  EXPECT_EQ(Created(t / "REPORT7.CHI", ".rtf"), t / "REPORT7.rtf");
  EXPECT_EQ(Created(t / "REPORT7.CHI", ".rtf"), t / "REPORT7_0.rtf")
      << "digits are kept when the extension changes";
  EXPECT_EQ(Created(t / "Pomvex.Log", ""), t / "Pomvex.Log");
  EXPECT_EQ(Created(t / "Pomvex.Log", ""), t / "Pomvex_0.Log");
  EXPECT_EQ(Created(t / "Run12.Log", ""), t / "Run12.Log");
  EXPECT_EQ(Created(t / "Run12.Log", ""), t / "Run_0.Log")
      << "digits go when the extension is kept";
  EXPECT_EQ(Created(t / "noext", ".rtf"), t / "noext.rtf");
  fs::create_directory(t / "taken.rtf");
  EXPECT_EQ(Created(t / "taken.CHI", ".rtf"), t / "taken_0.rtf") << "a folder takes its name";
  EXPECT_EQ(ReadFile(t / "LETTER.CHI"), "x");
}

// In a folder held open, names are chosen as by path, and a file discarded goes from there.
TEST(CreateUniqueFile, InAnOpenFolder) {
  TempDir t;
  int err = 0;
  const platform::FolderHandle handle = platform::OpenFolder(t.Dir(), err);
  ASSERT_NE(handle, platform::kNoFolder) << MessageForErrno(err);
  const auto folder = std::make_shared<const OpenFolder>(handle, t.Dir() + kSep);
  EXPECT_EQ(CreateUniqueFile({folder, "LETTER.CHI"}, ".rtf")->Path(), t / "LETTER.rtf");
  EXPECT_EQ(CreateUniqueFile({folder, "LETTER.CHI"}, ".rtf")->Path(), t / "LETTER_0.rtf");
  fs::create_directory(platform::NativePath(t / "taken.rtf"));
  EXPECT_EQ(CreateUniqueFile({folder, "taken.CHI"}, ".rtf")->Path(), t / "taken_0.rtf")
      << "a folder takes its name";
  CreateUniqueFile({folder, "gone.CHI"}, ".rtf")->Discard();
  EXPECT_FALSE(fs::exists(platform::NativePath(t / "gone.rtf")));
  EXPECT_TRUE(fs::exists(platform::NativePath(t / "LETTER_0.rtf")));
}

TEST(Run, ConvertsADirectoryAndWritesTheLog) {
  TempDir t;
  WriteFile(t / "b.chi", kDoc);
  WriteFile(t / "A.CHI", kDoc);
  WriteFile(t / "notes.txt", kDoc);
  WriteFile(t / ".hidden.CHI", kDoc);
  WriteFile(t / "old.CHI", "\\1CW 2\r\ntext\r\n");
  Recorder rec;
  RunOutcome out = RunIn(t.Dir(), FileChoice::CurrentDirectory, {}, &rec);
  ASSERT_TRUE(out.finished) << out.failure;
  EXPECT_EQ(out.startDir, t.Dir() + kSep);
  EXPECT_EQ(rec.events, (std::vector<std::string>{"info " + t.Dir() + kSep, "file A.CHI",
                                                  "file b.chi", "file old.CHI"}));
  EXPECT_EQ(out.counts.converted, 2);
  EXPECT_EQ(out.counts.errors, 1);
  const std::string rtf = ReadFile(t / "A.rtf");
  EXPECT_EQ(rtf.substr(0, 12), "{\\rtf1\\ansi\\");
  EXPECT_EQ(rtf.back(), '}');
  EXPECT_TRUE(fs::exists(t / "old.rtf"));
  EXPECT_EQ(ReadFile(t / "old.rtf"), "") << "a file that is not version 3 gives an empty output";
  EXPECT_FALSE(fs::exists(t / "notes.rtf"));
  EXPECT_FALSE(fs::exists(t / ".hidden.rtf"));
  EXPECT_EQ(ReadFile(out.logPath),
            t.Dir() + kSep +
                "\r\n"
                "  A.CHI\r\n"
                "  b.chi\r\n"
                "  old.CHI\r\n"
                "    Error: Cannot translate file as it is not a version 3 ChiWriter file.\r\n"
                "*** Finished converting 2 files with 1 error(s) and 0 warning(s). ***\r\n"
                "1 instances of ChiWriter files which are not Version 3\r\n");

  RunOutcome second = RunIn(t.Dir(), FileChoice::CurrentDirectory);
  EXPECT_EQ(second.logPath, t / "Pomvex_0.Log");
  EXPECT_TRUE(fs::exists(t / "A_0.rtf"));
  EXPECT_EQ(ReadFile(t / "A.rtf"), rtf) << "the first run's output is untouched";
}

TEST(Run, SingleFilesAndAnEmptyChoice) {
  TempDir t;
  WriteFile(t / "one.CHI", kDoc);
  WriteFile(t / "two.CHI", kDoc);
  RunOutcome out = RunIn(t.Dir(), FileChoice::SingleFiles, {"two.CHI"});
  EXPECT_EQ(out.counts.converted, 1);
  EXPECT_FALSE(fs::exists(t / "one.rtf"));
  out = RunIn(t.Dir(), FileChoice::SingleFiles, {});
  EXPECT_EQ(ReadFile(out.logPath),
            t.Dir() + kSep +
                "\r\n*** Finished converting 0 files with 0 error(s) and 0 warning(s). ***\r\n");
  WriteFile(t / ".hidden.CHI", kDoc);
  out = RunIn(t.Dir(), FileChoice::SingleFiles, {".hidden.CHI"});
  EXPECT_TRUE(fs::exists(t / ".hidden.rtf")) << "a hidden document chosen by name is converted";
}

TEST(Run, WalksTheTreeDepthFirst) {
  TempDir t;
  WriteFile(t / "top.CHI", kDoc);
  WriteFile(t / "b/x.CHI", kDoc);
  WriteFile(t / "A/deep/y.chi", kDoc);
  WriteFile(t / "A/z.CHI", kDoc);
  WriteFile(t / "empty/readme.txt", "");
  WriteFile(t / ".git/h.CHI", kDoc);
  fs::create_directories(t / "folder.CHI");
#ifndef _WIN32  // Wine, where the Windows build is tested, makes no links
  fs::create_directory_symlink(t / "A", t / "link");
#endif
  RunOutcome out = RunIn(t.Dir(), FileChoice::CurrentAndSubFolders);
  ASSERT_TRUE(out.finished) << out.failure;
  const std::string d = t.Dir() + kSep;
  const std::string log = ReadFile(out.logPath);
  const std::string summary = "*** Finished converting 4 files";
  EXPECT_EQ(log.substr(0, log.find(summary)),
            d + "\r\n  top.CHI\r\n" + d + "A" + kSep + "\r\n  z.CHI\r\n" + d + "A" + kSep + "deep" +
                kSep + "\r\n  y.chi\r\n" + d + "b" + kSep + "\r\n  x.CHI\r\n");
  EXPECT_FALSE(fs::exists(t / ".git/h.rtf"));
}

TEST(Run, ADocumentThatMeetsALimitIsAbandonedAlone) {
  TempDir t;
  std::string huge = "\\1cw\r\n\\U1STANDARD\r\nbefore\\,\r\n";
  for (int i = 0; i < 300; ++i) huge += "\\+ up\r\n";
  huge += "main\r\n";
  WriteFile(t / "a_huge.CHI", huge);
  WriteFile(t / "b_fine.CHI", kDoc);
  WriteFile(t / "c_margin.CHI", "\\1cw\r\n\\pLM 99999999\r\ntext\r\n");
  RunOutcome out = RunIn(t.Dir(), FileChoice::CurrentDirectory);
  ASSERT_TRUE(out.finished);
  EXPECT_EQ(out.counts.converted, 1);
  EXPECT_FALSE(fs::exists(t / "a_huge.rtf")) << "the partial output is deleted";
  EXPECT_FALSE(fs::exists(t / "c_margin.rtf"));
  EXPECT_TRUE(fs::exists(t / "b_fine.rtf"));
  const std::string log = ReadFile(out.logPath);
  EXPECT_NE(log.find("  a_huge.CHI\r\n    Error: Conversion abandoned: Range check error\r\n"
                     "    1 errors in the conversion\r\n  b_fine.CHI\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("  c_margin.CHI\r\n    Error: Conversion abandoned: Integer overflow\r\n"),
            std::string::npos);
  EXPECT_NE(log.find("2 instances of omitted files"), std::string::npos);
}

TEST(Run, TheDetailedLogDecidesWhetherScriptProblemsAreListed) {
  TempDir t;
  // A second superscript line, and a superscript over text with no hard spaces under it.
  WriteFile(t / "s.CHI", "\\1cw\r\n\\U1STANDARD\r\n\\+ far\r\n\\+ x\r\nmain\\,\r\n");
  RunRequest request;
  request.directory = t.Dir();
  Recorder quiet;
  for (bool detailed : {false, true}) {
    request.detailedLog = detailed;
    const RunOutcome out = RunConversion(request, quiet);
    const std::string log = ReadFile(out.logPath);
    const std::string lines =
        "    Error: Unprocessed superscript or subscript line: \\+ far\r\n"
        "    Error: Unable to add sub- or superscript: x\r\n";
    EXPECT_EQ(log.find(lines) != std::string::npos, detailed) << log;
    EXPECT_NE(log.find("    1 instances of unprocessed superscript or subscript lines\r\n"
                       "    1 instances of being unable to add sub- or super-scripts\r\n"
                       "    2 errors in the conversion\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(out.counts.errors, 2) << "counted whether listed or not";
  }
}

// A front end that acts when a file starts, and that can ask the run to stop.
struct Hooks : RunFrontEnd {
  std::function<void(const std::string&)> onFile;
  std::function<bool()> stop;
  void FileStarted(const std::string& path) override {
    if (onFile) onFile(path);
  }
  bool Interrupted() override { return stop && stop(); }
};

RunOutcome RunWith(const std::string& dir, Hooks& hooks,
                   FileChoice choice = FileChoice::CurrentDirectory) {
  RunRequest request;
  request.directory = dir;
  request.choice = choice;
  return RunConversion(request, hooks);
}

TEST(Run, ADocumentThatCannotBeReadIsSkipped) {
  struct Case {
    const char* label;
    std::function<void(const std::string&)> spoil;
    std::string reason;
  };
  const Case cases[] = {
      {"deleted after the listing", [](const std::string& p) { fs::remove(p); }, "File not found"},
      {"failing reads (a folder now)",
       [](const std::string& p) {
         fs::remove(p);
         fs::create_directory(p);
       },
       kReadingAFolder},
#ifndef _WIN32
      // Opened as it was listed, it would wait for a writer for ever.
      {"a FIFO now",
       [](const std::string& p) {
         fs::remove(p);
         ::mkfifo(p.c_str(), 0600);
       },
       "Not a regular file"},
#endif
  };
  for (const Case& c : cases) {
    TempDir t;
    WriteFile(t / "a.CHI", kDoc);
    WriteFile(t / "b.CHI", kDoc);
    WriteFile(t / "c.CHI", kDoc);
    Hooks hooks;
    hooks.onFile = [&](const std::string& path) {
      if (path == t / "b.CHI") c.spoil(path);
    };
    const RunOutcome out = RunWith(t.Dir(), hooks);
    ASSERT_TRUE(out.finished) << c.label << ": " << out.failure;
    EXPECT_EQ(out.counts.converted, 2) << c.label;
    EXPECT_FALSE(fs::exists(t / "b.rtf")) << c.label;
    EXPECT_NE(ReadFile(out.logPath)
                  .find("  b.CHI\r\n    Error: Cannot read file: " + c.reason +
                        "\r\n    1 errors in the conversion\r\n  c.CHI\r\n"),
              std::string::npos)
        << c.label << "\n"
        << ReadFile(out.logPath);
  }
}

TEST(Run, AnInterruptionDropsThePartialRtfAndClosesTheLog) {
  TempDir t;
  WriteFile(t / "a.CHI", kDoc);
  std::string longer = "\\1cw\r\n\\U1STANDARD\r\n";
  for (int i = 0; i < 50; ++i) longer += "line\\,\r\n";
  WriteFile(t / "b.CHI", longer);
  WriteFile(t / "c.CHI", kDoc);
  Hooks hooks;
  int asked = 0;
  bool inB = false;
  hooks.onFile = [&](const std::string& path) { inB = path == t / "b.CHI"; };
  hooks.stop = [&] { return inB && ++asked > 20; };  // in the middle of b's line groups
  const RunOutcome out = RunWith(t.Dir(), hooks);
  EXPECT_TRUE(out.interrupted);
  EXPECT_FALSE(out.finished);
  EXPECT_TRUE(fs::exists(t / "a.rtf"));
  EXPECT_FALSE(fs::exists(t / "b.rtf"));
  EXPECT_FALSE(fs::exists(t / "c.rtf"));
  EXPECT_EQ(ReadFile(out.logPath),
            t.Dir() + kSep +
                "\r\n  a.CHI\r\n  b.CHI\r\n"
                "*** Run interrupted after 1 files. ***\r\n"
                "*** Finished converting 1 files with 0 error(s) and 0 warning(s). ***\r\n");
}

#ifndef _WIN32  // names that Windows does not allow, and permission bits it does not have
TEST(Run, ControlCharactersInNamesAreLoggedAsQuestionMarks) {
  TempDir t;
  WriteFile(t / "new\nline/e\x1b[2J.CHI", kDoc);
  const RunOutcome out = RunIn(t.Dir(), FileChoice::CurrentAndSubFolders);
  EXPECT_TRUE(fs::exists(t / "new\nline/e\x1b[2J.rtf"));
  EXPECT_EQ(ReadFile(out.logPath).substr(0, t.Dir().size() + 25),
            t.Dir() + "/new?line/\r\n  e?[2J.CHI\r\n");
}

TEST(Run, RtfFilesTakeTheirDocumentsReadAndWritePermissions) {
  TempDir t;
  const mode_t umaskNow = ::umask(0);
  ::umask(umaskNow);
  const int modes[] = {0600, 0640, 0666, 0755};
  for (int mode : modes) {
    WriteFile(t / ("d" + std::to_string(mode) + ".CHI"), kDoc);
    fs::permissions(t / ("d" + std::to_string(mode) + ".CHI"), fs::perms(mode));
  }
  RunIn(t.Dir(), FileChoice::CurrentDirectory);
  for (int mode : modes) {
    EXPECT_EQ(static_cast<int>(fs::status(t / ("d" + std::to_string(mode) + ".rtf")).permissions()),
              mode & 0666 & ~static_cast<int>(umaskNow))
        << std::oct << mode;
  }
}
#endif

// An unexpected fault of the converter abandons the document that brought it out, and the run
// goes on; the front end, asked whether to stop, stands in for the faulty step here.
TEST(Run, AnInternalErrorAbandonsOneDocument) {
  TempDir t;
  for (const char* name : {"a.CHI", "b.CHI", "c.CHI"}) WriteFile(t / name, kDoc);
  Hooks hooks;
  bool inB = false;
  hooks.onFile = [&](const std::string& path) { inB = path == t / "b.CHI"; };
  hooks.stop = [&]() -> bool {
    if (std::exchange(inB, false)) throw std::out_of_range("vector::at");
    return false;
  };
  const RunOutcome out = RunWith(t.Dir(), hooks);
  ASSERT_TRUE(out.finished) << out.failure;
  EXPECT_TRUE(fs::exists(t / "a.rtf") && fs::exists(t / "c.rtf"));
  EXPECT_FALSE(fs::exists(t / "b.rtf"));
  EXPECT_NE(
      ReadFile(out.logPath).find("  b.CHI\r\n    Error: Conversion abandoned: Internal error\r\n"),
      std::string::npos);
}

// The control characters of the document text that problems quote (an escape sequence, a bell,
// a bare line feed) reach the log as "?", a tab as it is.
TEST(Run, ProblemTextsBringNoControlCharactersIntoTheLog) {
  TempDir t;
  WriteFile(t / "e.CHI",
            "\\1cw\r\n\\U1STANDARD\r\n\\+ far\x1b[2J\n\r\n\\+ x\r\nmain\x1b]0;t\x07\t\\\r\n");
  RunRequest request;
  request.directory = t.Dir();
  request.detailedLog = true;
  Recorder quiet;
  const std::string log = ReadFile(RunConversion(request, quiet).logPath);
  EXPECT_NE(log.find("Error: Unprocessed superscript or subscript line: \\+ far?[2J?\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("Error: Line terminated by '\\' in: main?]0;t?\t\\\r\n"), std::string::npos)
      << log;
  for (std::size_t i = 0; i < log.size(); ++i) {
    const auto c = static_cast<unsigned char>(log[i]);
    const bool lineEnd = (c == '\r' && log[i + 1] == '\n') || (c == '\n' && log[i - 1] == '\r');
    EXPECT_TRUE(c >= 32 || c == '\t' || lineEnd) << "code " << int{c} << " at " << i;
  }
}

#ifndef _WIN32
TEST(Run, ABackslashIsPartOfAName) {
  TempDir t;
  WriteFile(t / "draft\\LETTER.CHI", kDoc);
  const RunOutcome out = RunIn(t.Dir(), FileChoice::CurrentDirectory);
  EXPECT_TRUE(fs::exists(t / "draft\\LETTER.rtf"));
  EXPECT_NE(ReadFile(out.logPath).find("\r\n  draft\\LETTER.CHI\r\n"), std::string::npos);
}
#endif

// The window hands over its file list as shown; the run does not list the directory again.
RunOutcome RunListed(const TempDir& t, std::vector<std::string> listed) {
  RunRequest request;
  request.directory = t.Dir();
  request.listedFiles = std::move(listed);
  Recorder quiet;
  return RunConversion(request, quiet);
}

TEST(Run, TheListedFilesAreWhatIsConverted) {
  TempDir t;
  for (const char* name : {"a.CHI", "b.CHI", "c.CHI"}) WriteFile(t / name, kDoc);
  const std::vector<std::string> shown = ListFiles(t.Dir(), true);
  WriteFile(t / "added.CHI", kDoc);
  fs::remove(t / "b.CHI");
  RunListed(t, shown);
  EXPECT_TRUE(fs::exists(t / "a.rtf"));
  EXPECT_FALSE(fs::exists(t / "added.rtf")) << "not in the list the user saw";
  EXPECT_FALSE(fs::exists(t / "b.rtf")) << "nothing is left for a vanished file";
}

TEST(Run, AListedFileThatVanishedIsLoggedAndTheRunGoesOn) {
  TempDir t;
  for (const char* name : {"a.CHI", "b.CHI", "c.CHI"}) WriteFile(t / name, kDoc);
  const std::vector<std::string> shown = ListFiles(t.Dir(), true);
  fs::remove(t / "b.CHI");
  const RunOutcome out = RunListed(t, shown);
  ASSERT_TRUE(out.finished) << out.failure;
  EXPECT_TRUE(fs::exists(t / "c.rtf"));
  const std::string log = ReadFile(out.logPath);
  EXPECT_NE(log.find("  b.CHI\r\n    Error: Cannot read file: "), std::string::npos) << log;
  EXPECT_NE(log.find("\r\n1 instances of omitted files\r\n"), std::string::npos) << log;
}

TEST(Run, AnUnreadableStartDirectoryEndsTheRunWithAMessage) {
  RunOutcome out = RunIn("/nonexistent/pomvex", FileChoice::CurrentDirectory);
  EXPECT_FALSE(out.finished);
  EXPECT_EQ(out.failure, "File not found");
}

TEST(Run, AnOutputFolderGetsOnlyTheFoldersOfItsRtfFiles) {
  TempDir t;
  const std::string src = t / "src", out = t / "out";
  std::string huge = "\\1cw\r\n";
  for (int i = 0; i < 300; ++i) huge += "\\+ up\r\n";
  WriteFile(src + "/a/fine.CHI", kDoc);
  WriteFile(src + "/b/huge.CHI", huge + "main\r\n");  // abandoned
  WriteFile(src + "/c/gone.CHI", kDoc);               // deleted once listed
  WriteFile(src + "/d/e/old.CHI", "\\1CW 2\r\n");     // not version 3: an empty RTF file
  Hooks hooks;
  hooks.onFile = [&](const std::string& path) {
    if (path == Native(src + "/c/gone.CHI")) fs::remove(path);
  };
  RunRequest request;
  request.directory = src;
  request.choice = FileChoice::CurrentAndSubFolders;
  request.outputDirectory = out;
  RunOutcome outcome = RunConversion(request, hooks);
  ASSERT_TRUE(outcome.finished) << outcome.failure;
  std::vector<std::string> made;
  for (const auto& e : fs::recursive_directory_iterator(out)) {
    made.push_back(e.path().lexically_relative(out).generic_string());
  }
  std::sort(made.begin(), made.end());
  EXPECT_EQ(made,
            (std::vector<std::string>{"Pomvex.Log", "a", "a/fine.rtf", "d", "d/e", "d/e/old.rtf"}));
  const std::string start = Native("Output folder: " + out + "/\r\n" + src +
                                   "/a/\r\n  fine.CHI\r\n" + src + "/b/\r\n  huge.CHI\r\n");
  EXPECT_EQ(ReadFile(out + "/Pomvex.Log").substr(0, start.size()), start);

#ifndef _WIN32  // Wine, where the Windows build is tested, makes no links
  // A link where a document needs a folder is not written through: it ends the run.
  fs::remove_all(out + "/a");
  fs::create_directories(t / "elsewhere");
  fs::create_directory_symlink(t / "elsewhere", out + "/a");
  outcome = RunConversion(request, hooks);
  EXPECT_EQ(outcome.failure, "Not a folder");
  EXPECT_EQ(outcome.failurePath, out + "/a");
  EXPECT_TRUE(fs::is_empty(t / "elsewhere"));
#endif
}

#ifndef _WIN32  // Wine, where the Windows build is tested, makes no links
// A folder of the output swapped for a link while the run writes into it (by a watcher of the
// output folder) is not written through, nor is a folder made inside it: the run ends.
TEST(Run, AnOutputFolderSwappedForALinkIsNotWrittenThrough) {
  TempDir t;
  const std::string src = t / "src", out = t / "out", elsewhere = t / "elsewhere";
  WriteFile(src + "/a/1.CHI", kDoc);
  WriteFile(src + "/a/2.CHI", kDoc);
  WriteFile(src + "/a/b/3.CHI", kDoc);
  fs::create_directories(elsewhere);
  for (const std::string swappedBefore : {"/a/2.CHI", "/a/b/3.CHI"}) {
    fs::remove_all(out);
    Hooks hooks;
    hooks.onFile = [&](const std::string& path) {
      if (path != src + swappedBefore) return;
      fs::rename(out + "/a", out + "/moved");
      fs::create_directory_symlink(elsewhere, out + "/a");
    };
    RunRequest request;
    request.directory = src;
    request.choice = FileChoice::CurrentAndSubFolders;
    request.outputDirectory = out;
    const RunOutcome outcome = RunConversion(request, hooks);
    EXPECT_EQ(outcome.failure, "Not a folder") << swappedBefore;
    EXPECT_EQ(outcome.failurePath, out + "/a") << swappedBefore;
    EXPECT_TRUE(fs::is_empty(elsewhere)) << swappedBefore;
    EXPECT_NE(ReadFile(out + "/Pomvex.Log").find("*** Run ended: Not a folder: " + out + "/a ***"),
              std::string::npos);
  }
}
#endif

// Every file under root, by its path relative to root, with its contents (root's own path in
// them written as "ROOT").
std::map<std::string, std::string> TreeOf(const std::string& root) {
  std::map<std::string, std::string> tree;
  for (const auto& e : fs::recursive_directory_iterator(platform::NativePath(root))) {
    std::string text = e.is_directory() ? "folder" : ReadFile(e.path());
    for (std::size_t at = text.find(root); at != std::string::npos; at = text.find(root, at)) {
      text.replace(at, root.size(), "ROOT");
    }
    tree[e.path().lexically_relative(platform::NativePath(root)).generic_string()] = text;
  }
  return tree;
}

std::string ManyProblems(int lines) {
  std::string doc = "\\1cw\r\n\\U1STANDARD\r\n\\U2SYMBOL\r\n";
  for (int i = 0; i < lines; ++i) doc += "\\2" + std::string(1000, '!') + "\\1\\,\r\n";
  return doc;
}

const std::string kLongStem(251, 'L');

// Documents of every kind a run meets: names that collide, one of them freed late by a document
// abandoned after a long conversion, an RTF file already there, a hidden document, documents
// over a limit (one alone in its folder), not of version 3 or unreadable, two with more problems
// than are held at once, and enough small ones to keep the workers busy.
void MakeArchive(const std::string& src) {
  std::string slow = "\\1cw\r\n\\U1STANDARD\r\n";
  for (int i = 0; i < 20000; ++i) slow += "a line of text\\,\r\n";
  for (int i = 0; i < 300; ++i) slow += "\\+ up\r\n";
  WriteFile(src + "/A.CHI", slow + "main\r\n");
  WriteFile(src + "/B.CHI", kDoc);
#ifndef _WIN32  // names that differ in case only, and a document that fails to read (address 0)
  WriteFile(src + "/A.chi", kDoc);
  WriteFile(src + "/B.chi", kDoc);
  fs::create_symlink("/proc/self/mem", src + "/D.CHI");
  WriteFile(src + "/D.chi", kDoc);
  // Twins whose numbered name would be longer than a name may be.
  WriteFile(src + "/long/" + kLongStem + ".CHI", kDoc);
  WriteFile(src + "/long/" + kLongStem + ".chi", kDoc);
#endif
  WriteFile(src + "/C.CHI", kDoc);
  WriteFile(src + "/C.rtf", "kept");
  WriteFile(src + "/.hidden.CHI", kDoc);
  WriteFile(src + "/old.CHI", "\\1CW 2\r\n");
  WriteFile(src + "/margin.CHI", "\\1cw\r\n\\pLM 99999999\r\ntext\r\n");
  WriteFile(src + "/lone/over.CHI", slow + "main\r\n");  // its output folder goes with it
  WriteFile(src + "/many/P1.CHI", ManyProblems(10));
  WriteFile(src + "/many/P2.CHI", ManyProblems(10));
  for (int i = 0; i < 40; ++i) {
    WriteFile(src + "/docs/d" + std::to_string(10 + i) + ".CHI", kDoc + "\\Q\r\n");
  }
}

TEST(Run, TheFilesNamesAndLogDoNotDependOnTheNumberOfJobs) {
  struct Case {
    const char* label;
    FileChoice choice;
    bool outdir;
    std::vector<std::string> selected;
  };
  const Case cases[] = {
      {"the tree, beside the documents", FileChoice::CurrentAndSubFolders, false, {}},
      {"the tree, into an output folder", FileChoice::CurrentAndSubFolders, true, {}},
      {"explicit files",
       FileChoice::SingleFiles,
       false,
       {".hidden.CHI", "A.CHI", "A.chi", "D.CHI", "D.chi", "margin.CHI", "gone.CHI"}},
  };
  for (const Case& c : cases) {
    std::map<std::string, std::string> trees[2];
    RunOutcome outcomes[2];
    for (int i : {0, 1}) {
      TempDir t;
      MakeArchive(t / "src");
      RunRequest request;
      request.directory = t / "src";
      request.choice = c.choice;
      request.selectedFiles = c.selected;
      if (c.choice == FileChoice::SingleFiles) {
        request.listedFiles = ListFiles(request.directory, true, true);
        request.listedFiles->push_back("gone.CHI");  // deleted since it was listed
      }
      if (c.outdir) request.outputDirectory = t / "out";
      request.jobs = i == 0 ? 1 : 4;
      Recorder quiet;
      outcomes[i] = RunConversion(request, quiet);
      trees[i] = TreeOf(t.Dir());
    }
    ASSERT_TRUE(outcomes[0].finished) << c.label << ": " << outcomes[0].failure;
    EXPECT_TRUE(trees[0] == trees[1]) << c.label;
    EXPECT_EQ(outcomes[1].summary, outcomes[0].summary) << c.label;

    const std::string rtfs = c.outdir ? "out/" : "src/";
    const std::string log = trees[0][rtfs + "Pomvex.Log"];
    EXPECT_NE(log.find("  A.CHI\r\n    Error: Conversion abandoned: Range check error"),
              std::string::npos)
        << c.label;
#ifndef _WIN32
    const std::string converted = testing::ConvertInMemory(kDoc).rtf;
    EXPECT_EQ(trees[0][rtfs + "A.rtf"], converted) << c.label << ": A.chi's, freed by A.CHI";
    EXPECT_NE(log.find("  D.CHI\r\n    Error: Cannot read file: "), std::string::npos) << log;
    EXPECT_EQ(trees[0][rtfs + "D.rtf"], converted) << c.label << ": D.chi's, freed by D.CHI";
#endif
    if (c.choice == FileChoice::CurrentAndSubFolders) {
#ifndef _WIN32
      EXPECT_EQ(trees[0].count(rtfs + "B_0.rtf"), 1u);
#endif
      EXPECT_EQ(trees[0].count(rtfs + "C_0.rtf"), c.outdir ? 0u : 1u);
#ifndef _WIN32
      EXPECT_EQ(trees[0].count(rtfs + "long/" + kLongStem + ".rtf"), 1u);
      EXPECT_EQ(trees[0].count(rtfs + "long/" + kLongStem.substr(0, 249) + "_0.rtf"), 1u)
          << "a name shortened to fit, not the end of the run";
#endif
      EXPECT_EQ(trees[0].count("out/lone"), 0u);
      EXPECT_NE(log.find("    10000 errors in the conversion\r\n  P2.CHI\r\n"), std::string::npos);
    }
  }
}

// The front end hears of each document when every one before it is done, and the counters only
// grow, whatever the number of workers.
TEST(Run, TheProgressAdvancesInWalkOrder) {
  TempDir t;
  for (int i = 0; i < 60; ++i) {
    WriteFile(t / ("d" + std::to_string(10 + i) + ".CHI"), i % 3 == 0 ? kDoc + "\\Q\r\n" : kDoc);
  }
  const std::vector<std::string> documents = ListFiles(t.Dir(), true);
  struct Progress : RunFrontEnd {
    std::vector<std::string> files;
    std::vector<int> convertedBefore;
    std::vector<RunCounts> counts{RunCounts{}};
    void FileStarted(const std::string& path) override {
      files.push_back(fs::path(path).filename().string());
      convertedBefore.push_back(counts.back().converted);
    }
    void CountsChanged(const RunCounts& now) override { counts.push_back(now); }
  };
  for (int jobs : {1, 4}) {
    Progress progress;
    RunRequest request;
    request.directory = t.Dir();
    request.jobs = jobs;
    const RunOutcome out = RunConversion(request, progress);
    EXPECT_EQ(progress.files, documents) << jobs;
    for (std::size_t i = 0; i < progress.convertedBefore.size(); ++i) {
      EXPECT_EQ(progress.convertedBefore[i], static_cast<int>(i)) << jobs;
    }
    for (std::size_t i = 1; i < progress.counts.size(); ++i) {
      const RunCounts &before = progress.counts[i - 1], &now = progress.counts[i];
      EXPECT_TRUE(now.converted >= before.converted && now.errors >= before.errors) << jobs;
    }
    EXPECT_EQ(progress.counts.back().errors, out.counts.errors);
    EXPECT_EQ(out.counts.errors, 20);
  }
}

// The RTF files named in the log, in its order, and those on disk, in walk order.
struct Named {
  std::vector<std::string> logged;
  std::vector<std::string> onDisk;
};

Named NamedIn(const std::string& dir, const std::string& log) {
  Named named;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  d", 0) == 0) named.logged.push_back(line.substr(2, line.find('.') - 2));
  }
  for (const std::string& name : ListFiles(dir, false)) {
    if (UpperExtension(name) != ".RTF") continue;
    named.onDisk.push_back(name.substr(0, name.find('.')));
    EXPECT_TRUE(IsOneGroup(ReadFile(dir + kSep + name))) << name;
  }
  return named;
}

TEST(Run, AnInterruptionStopsEveryWorkerAndTheLogNamesTheFilesLeft) {
  TempDir t;
  std::string doc = kDoc;
  for (int i = 0; i < 2000; ++i) doc += "line\\,\r\n";
  for (int i = 0; i < 200; ++i) WriteFile(t / ("d" + std::to_string(1000 + i) + ".CHI"), doc);
  Hooks hooks;
  int started = 0;
  hooks.onFile = [&](const std::string&) { ++started; };
  hooks.stop = [&] { return started >= 50; };
  RunRequest request;
  request.directory = t.Dir();
  request.jobs = 4;
  const RunOutcome out = RunConversion(request, hooks);
  ASSERT_TRUE(out.interrupted);
  const std::string log = ReadFile(out.logPath);
  const Named named = NamedIn(t.Dir(), log);
  // Stopped between two documents, or in the middle of one, which the log names last.
  std::vector<std::string> expected = named.onDisk;
  if (named.logged.size() > expected.size()) {
    expected.push_back("d" + std::to_string(1000 + expected.size()));
  }
  EXPECT_EQ(named.logged, expected) << "the files on disk, in walk order";
  EXPECT_NE(log.find("*** Run interrupted after " + std::to_string(named.onDisk.size()) +
                     " files. ***\r\n*** Finished converting "),
            std::string::npos)
      << log;
}

#ifdef _WIN32
// Names outside ASCII reach the log as UTF-8 and name the RTF file after their document; the
// hidden and system attributes leave a document or a folder out; a tree deeper than the old
// limit of 260 characters is walked.
TEST(Run, WindowsNamesAttributesAndLongPaths) {
  TempDir t;
  WriteFile(t / "Größe.CHI", kDoc);
  WriteFile(t / "Ünter\\x.CHI", kDoc);
  WriteFile(t / "h.CHI", kDoc);
  WriteFile(t / "secret\\s.CHI", kDoc);
  SetFileAttributesW(platform::NativePath(t / "h.CHI").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(platform::NativePath(t / "secret").c_str(), FILE_ATTRIBUTE_SYSTEM);
  std::string deep = "deep";
  while ((t / deep).size() < 300) deep += "\\abcdefghijklmnopqrstuvwxyz";
  WriteFile(t / deep + "\\long.CHI", kDoc);

  const RunOutcome out = RunIn(t.Dir(), FileChoice::CurrentAndSubFolders);
  ASSERT_TRUE(out.finished) << out.failure << ": " << out.failurePath;
  const std::string d = t.Dir() + "\\";
  const std::string walked = d + "\r\n  Größe.CHI\r\n" + d + deep + "\\\r\n  long.CHI\r\n" + d +
                             "Ünter\\\r\n  x.CHI\r\n*** Finished converting 3 files";
  EXPECT_EQ(ReadFile(out.logPath).substr(0, walked.size()), walked);
  EXPECT_TRUE(fs::exists(platform::NativePath(t / "Größe.rtf")));
  EXPECT_TRUE(fs::exists(platform::NativePath(t / deep + "\\long.rtf")));
  EXPECT_FALSE(fs::exists(t / "h.rtf"));
  EXPECT_FALSE(fs::exists(t / "secret\\s.rtf"));
  // std::filesystem does not remove a tree this deep: it is taken down from its bottom.
  const std::wstring top = L"\\\\?\\" + platform::NativePath(t.Dir()).wstring();
  std::wstring path = L"\\\\?\\" + platform::NativePath(t / deep).wstring();
  DeleteFileW((path + L"\\long.CHI").c_str());
  DeleteFileW((path + L"\\long.rtf").c_str());
  for (; path.size() > top.size(); path.erase(path.rfind(L'\\'))) RemoveDirectoryW(path.c_str());
}
#endif

}  // namespace
}  // namespace pomvex
