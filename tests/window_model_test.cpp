// Tests of the window model, whatever toolkit draws it: start-up, activation, the handlers of the
// lists, "Go!" with its request, counters, messages and focus, and the directory list's entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/reporting.h"
#include "platform/platform_files.h"
#include "test_support.h"
#include "window/folder_lists.h"
#include "window/main_form_model.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace pomvex {
namespace {

// A form that records what the model asks of it, one line per call.
class RecordingView : public MainFormView {
 public:
  std::string Directory() const override { return directory; }
  std::vector<std::string> ListedFiles() const override { return listed; }
  std::vector<std::string> SelectedFiles() const override { return selected; }
  FileChoice Choice() const override { return choice; }
  bool DetailedLogTicked() const override { return ticked; }
  void ShowDrives(const std::vector<std::string>& drives, const std::string& chosen) override {
    std::string line = "drives";
    for (const std::string& drive : drives) line += " " + drive;
    calls.push_back(line + ", " + chosen);
  }
  void ShowDirectory(const std::string& dir, const std::string& drive) override {
    directory = dir;
    calls.push_back("directory " + dir + " on " + drive);
  }
  void ShowFiles(const std::string& dir) override { calls.push_back("files of " + dir); }
  void RefreshLists() override { calls.push_back("refresh"); }
  void ShowChoice(FileChoice shown) override {
    choice = shown;
    calls.push_back("choice " + std::to_string(static_cast<int>(shown)));
  }
  void ShowCounts(const RunCounts& counts) override {
    calls.push_back("counts " + std::to_string(counts.converted) + " " +
                    std::to_string(counts.warnings) + " " + std::to_string(counts.errors));
  }
  void ShowMessage(MessageKind kind, const std::string& title, const std::string& text) override {
    (void)kind;
    calls.push_back(title + ": " + text);
    if (onMessage) onMessage();
  }
  void FocusOn(FocusTarget target) override {
    calls.push_back(target == FocusTarget::GoButton ? "focus Go!" : "focus Quit");
  }
  void Close() override { calls.push_back("close"); }
  void DiscardInput(bool discard) override {
    calls.push_back(discard ? "input dropped" : "input taken");
  }
  void ProcessPendingEvents() override { calls.push_back("repaint"); }

  // The calls since the last look.
  std::vector<std::string> Take() { return std::exchange(calls, {}); }

  std::string directory = "/start";
  std::vector<std::string> listed{"A.CHI", "b.chi"};
  std::vector<std::string> selected;
  FileChoice choice = FileChoice::CurrentDirectory;
  bool ticked = false;
  std::function<void()> onMessage;
  std::vector<std::string> calls;
};

struct FakeClock {
  std::chrono::steady_clock::time_point now{};
  SteadyClock Source() {
    return [this] { return now; };
  }
};

using Calls = std::vector<std::string>;

// The model on a recording view, with the drives "/" and "/media/usb" (not ready when named in
// notReady) and a run given by each test.
struct Form {
  explicit Form(RunFunction run = {}) {
    WindowServices services;
    services.drives.list = [this] { return drives; };
    services.drives.isReady = [this](const std::string& root) { return root != notReady; };
    services.drives.fallback = "/";
    services.run = std::move(run);
    services.clock = clock.Source();
    services.isFolder = [this](const std::string& path) { return path != vanished; };
    model = std::make_unique<MainFormModel>(view, std::move(services));
  }

  std::vector<std::string> drives{"/", "/media/usb"};
  std::string notReady;
  std::string vanished;
  FakeClock clock;
  RecordingView view;
  std::unique_ptr<MainFormModel> model;
};

RunOutcome Finished(RunCounts counts) {
  RunOutcome outcome;
  outcome.finished = true;
  outcome.counts = counts;
  return outcome;
}

TEST(WindowModel, StartUpShowsTheCurrentDirectoryOnItsDrive) {
  Form form;
  form.view.ticked = true;
  form.model->Start("/media/usb/letters");
  EXPECT_EQ(form.view.Take(),
            (Calls{"drives / /media/usb, /media/usb", "directory /media/usb/letters on /media/usb",
                   "files of /media/usb/letters", "counts 0 0 0", "focus Go!", "counts 0 0 0"}));
  EXPECT_EQ(form.model->CurrentDrive(), "/media/usb");
}

// Go!: the request is the window's choices and the list as shown, on every core; the start
// directory is shown before anything is converted; afterwards the totals stay and the focus is
// on Quit.
TEST(WindowModel, GoRunsOnTheChoicesAndTheListAsShown) {
  std::vector<RunRequest> requests;
  Form form([&requests](const RunRequest& request, RunFrontEnd& frontEnd) {
    requests.push_back(request);
    frontEnd.ShowInfo("/start/");
    return Finished({2, 1, 3});
  });
  form.view.choice = FileChoice::SingleFiles;
  form.view.selected = {"b.chi"};
  form.view.ticked = true;
  form.view.onMessage = [&form] { form.model->FocusLeft(true); };
  form.model->GoButtonClick();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].directory, "/start");
  EXPECT_EQ(requests[0].choice, FileChoice::SingleFiles);
  EXPECT_EQ(requests[0].selectedFiles, (std::vector<std::string>{"b.chi"}));
  EXPECT_EQ(requests[0].listedFiles, (std::vector<std::string>{"A.CHI", "b.chi"}));
  EXPECT_TRUE(requests[0].detailedLog);
  EXPECT_EQ(requests[0].jobs, DefaultJobCount()) << "every core";
  EXPECT_EQ(form.view.Take(),
            (Calls{"counts 0 0 0", "Information: /start/", "input dropped", "counts 0 0 0",
                   "repaint", "counts 0 0 0", "input taken", "counts 2 1 3", "focus Quit"}));
  EXPECT_EQ(form.model->Counts().errors, 3);

  // Getting the focus back from the information box was no activation; the totals stay.
  form.model->FocusReturned();
  EXPECT_TRUE(form.view.Take().empty());
}

// While the run goes on the counters are drawn at most every 50 ms, with the window
// repainted each time; at the end with their final values.
TEST(WindowModel, CountersAreRedrawnAtMostEveryFiftyMilliseconds) {
  Form* shown = nullptr;
  Form form([&shown](const RunRequest&, RunFrontEnd& frontEnd) {
    frontEnd.CountsChanged({0, 0, 0});  // before the start is shown: drawn at once
    frontEnd.ShowInfo("/start/");
    shown->view.Take();
    for (int errors = 1; errors <= 1000; ++errors) frontEnd.CountsChanged({0, 0, errors});
    frontEnd.FileStarted("/start/A.CHI");
    shown->clock.now += 50ms;
    frontEnd.CountsChanged({1, 0, 1000});
    frontEnd.CountsChanged({1, 1, 1000});
    shown->clock.now += 49ms;
    frontEnd.FileStarted("/start/B.CHI");
    return Finished({2, 1, 1001});
  });
  shown = &form;
  form.model->GoButtonClick();
  EXPECT_EQ(form.view.Take(), (Calls{"counts 1 0 1000", "repaint", "counts 1 1 1000", "input taken",
                                     "counts 2 1 1001", "focus Quit"}));
}

// Input that reaches the model while a run goes on (Go!, Quit, an activation) does nothing.
TEST(WindowModel, NothingStartsDuringARun) {
  int runs = 0;
  Form* shown = nullptr;
  Form form([&](const RunRequest&, RunFrontEnd& frontEnd) {
    ++runs;
    frontEnd.ShowInfo("/start/");
    shown->model->GoButtonClick();
    shown->model->CloseButtonClick();
    EXPECT_FALSE(shown->model->CanClose());
    shown->model->FocusLeft(true);
    shown->model->FocusReturned();
    return Finished({1, 0, 0});
  });
  shown = &form;
  form.model->GoButtonClick();
  EXPECT_EQ(runs, 1);
  const Calls calls = form.view.Take();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "close"), 0);
  EXPECT_EQ(calls.back(), "focus Quit");
  EXPECT_TRUE(form.model->CanClose());
  form.model->CloseButtonClick();
  EXPECT_EQ(form.view.Take(), Calls{"close"});
}

// A failure that ends the run: an error box naming what the run was at; the counters keep what
// they reached, the focus stays, and the window is ready for the next run.
TEST(WindowModel, AFailureShowsTheErrorBox) {
  struct Row {
    const char* label;
    std::string failurePath, currentFile, startDir;
    bool throws;
    std::string text;
  };
  const Row rows[] = {
      {"the path the run names", "/start/B.rtf", "/start/B.CHI", "/start/", false,
       "The run stopped at /start/B.rtf:\nDisk full"},
      {"the file being converted", "", "/start/B.CHI", "/start/", false,
       "The run stopped at /start/B.CHI:\nDisk full"},
      {"the start directory", "", "", "/start/", true, "The run stopped in /start/:\nDisk full"},
      {"nothing yet", "", "", "", true, "Disk full"},
  };
  for (const Row& row : rows) {
    Form form([&row](const RunRequest&, RunFrontEnd& frontEnd) -> RunOutcome {
      if (!row.startDir.empty()) frontEnd.ShowInfo(row.startDir);
      frontEnd.CountsChanged({1, 0, 2});
      if (!row.currentFile.empty()) frontEnd.FileStarted(row.currentFile);
      if (row.throws) throw RunFailure("Disk full");
      RunOutcome outcome;
      outcome.failure = "Disk full";
      outcome.failurePath = row.failurePath;
      return outcome;
    });
    form.model->GoButtonClick();
    const Calls calls = form.view.Take();
    EXPECT_EQ(calls.back(), "Error: " + row.text) << row.label;
    EXPECT_EQ(calls[calls.size() - 3], "counts 1 0 2") << row.label;
    EXPECT_EQ(form.model->Counts().errors, 2) << row.label;
    EXPECT_FALSE(form.model->Running()) << row.label;
    // Input is taken again, however the run ended.
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "input dropped"),
              std::count(calls.begin(), calls.end(), "input taken"))
        << row.label;
  }
}

TEST(WindowModel, DrivesKeepTheirDirectoryAndOneNotReadyFallsBack) {
  Form form;
  form.model->Start("/start");
  form.view.Take();
  form.model->DriveBoxChange("/media/usb");
  form.model->DirListBoxDoubleClick("/media/usb/letters");
  form.model->DriveBoxChange("/");
  EXPECT_EQ(form.view.directory, "/start");
  form.model->DriveBoxChange("/media/usb");
  EXPECT_EQ(form.view.directory, "/media/usb/letters");
  // A directory gone since is replaced by the drive's root.
  form.vanished = "/start";
  form.model->DriveBoxChange("/");
  EXPECT_EQ(form.view.directory, "/");
  form.view.Take();

  // Not ready: the warning, then drive C (here "/") chosen and applied.
  form.notReady = "/media/usb";
  form.model->DriveBoxChange("/media/usb");
  EXPECT_EQ(form.view.Take(), (Calls{"Warning: \rThe selected drive or device is not ready",
                                     "drives / /media/usb, /", "directory / on /", "files of /",
                                     "counts 0 0 0", "counts 0 0 0", "counts 0 0 0"}));
  // The fallback drive not ready either: one warning, and no loop.
  form.notReady = "/";
  form.model->DriveBoxChange("/");
  EXPECT_EQ(form.view.Take(),
            (Calls{"Warning: \rThe selected drive or device is not ready", "counts 0 0 0"}));
  // The drive box lists a drive that has gone while the directory list shows it.
  form.drives = {"/media/usb"};
  form.model->DriveBoxOpening();
  EXPECT_EQ(form.view.Take(), Calls{"drives /media/usb /, /"});
}

TEST(WindowModel, ListHandlers) {
  Form form;
  form.model->Start("/start");
  form.view.Take();
  // The directory already shown: both lists read again, nothing else.
  form.model->DirListBoxDoubleClick("/start");
  EXPECT_EQ(form.view.Take(), Calls{"refresh"});
#ifdef _WIN32
  // Whatever the case it is written in.
  form.model->DirListBoxDoubleClick("/START");
  EXPECT_EQ(form.view.Take(), Calls{"refresh"});
#endif
  // A folder on another volume: the drive box follows.
  form.model->DirListBoxDoubleClick("/media/usb/a");
  EXPECT_EQ(form.view.Take(),
            (Calls{"drives / /media/usb, /media/usb", "directory /media/usb/a on /media/usb",
                   "files of /media/usb/a", "counts 0 0 0"}));
  // A click in the file list chooses "Single Files".
  form.model->FileListBoxClick();
  EXPECT_EQ(form.view.Take(), (Calls{"choice 0", "counts 0 0 0"}));
}

// Coming back from another window of the program activates the window (counters zeroed,
// focus to Go!); coming back from another program or from the window's own message does not.
TEST(WindowModel, ActivationIsComingBackFromAnotherWindowOfTheProgram) {
  Form form([](const RunRequest&, RunFrontEnd&) { return Finished({5, 6, 7}); });
  form.model->GoButtonClick();
  form.view.Take();
  form.model->FocusLeft(false);
  form.model->FocusReturned();
  EXPECT_TRUE(form.view.Take().empty());
  // The warning box takes the focus and gives it back.
  form.notReady = "/media/usb";
  form.view.onMessage = [&form] { form.model->FocusLeft(true); };
  form.model->DriveBoxChange("/media/usb");
  form.view.Take();
  form.model->FocusReturned();
  EXPECT_TRUE(form.view.Take().empty());
  form.model->FocusLeft(true);
  form.model->FocusReturned();
  EXPECT_EQ(form.view.Take(), (Calls{"focus Go!", "counts 0 0 0"}));
}

// A temporary folder, removed with what it holds.
struct TempFolder {
  explicit TempFolder(const char* name) : path(fs::temp_directory_path() / name) {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  std::string operator/(const std::string& name) const {
    return platform::PathString(path) + platform::kPathSeparator + name;
  }
  fs::path path;
};

void WriteDocument(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << "\\1cw\r\n" << text << "\r\n";
}

// The core run behind Go!: what the list showed is what is converted. A document added since is
// left alone; one deleted since is named in the log, and the run goes on to its end.
TEST(WindowModel, TheRunConvertsTheListAsShown) {
  TempFolder folder("pomvex_window_model_run");
  for (const char* name : {"LETTER.CHI", "notes.chi", "ADDED.CHI"}) {
    WriteDocument(folder.path / name, "Dear Sir,");
  }
  Form form(RunConversion);
  form.model->Start(platform::PathString(folder.path));
  form.view.listed = {"GONE.CHI", "LETTER.CHI", "notes.chi"};
  form.model->GoButtonClick();
  EXPECT_TRUE(fs::exists(folder.path / "LETTER.rtf"));
  EXPECT_TRUE(fs::exists(folder.path / "notes.rtf"));
  EXPECT_FALSE(fs::exists(folder.path / "ADDED.rtf"));
  const std::string log = testing::ReadFile(folder.path / "Pomvex.Log");
  EXPECT_NE(log.find("  GONE.CHI\r\n    Error: Cannot read file: "), std::string::npos) << log;
  EXPECT_NE(log.find("*** Finished converting 2 files with 1 error(s)"), std::string::npos) << log;
  const Calls calls = form.view.Take();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "Information: " + (folder / "")), 1);
  EXPECT_EQ(calls[calls.size() - 2], "counts 2 0 1");
  EXPECT_EQ(calls.back(), "focus Quit");
}

// A start-up directory on no drive the box offers (a network share on Windows) is shown from its
// own top, on the drive the window falls back to.
TEST(WindowModel, StartUpOutsideEveryDrive) {
  Form form;
  form.drives = {"/media/usb"};
  form.model->Start("/srv/share");
  EXPECT_EQ(form.view.Take()[0], "drives /media/usb /, /");
  EXPECT_EQ(form.model->CurrentDrive(), "/");
}

TEST(FolderLists, PathsAndDrives) {
  struct Row {
    const char* path;
    const char* parent;
    const char* drive;  // among "/", "/media/usb", "/media/usb/inner"
  };
  const Row rows[] = {
      {"/", "", "/"},
      {"/home/user", "/home", "/"},
      {"/home", "/", "/"},
      {"/media/usb", "/media", "/media/usb"},
      {"/media/usb/letters/", "/media/usb", "/media/usb"},
      {"/media/usbstick", "/media", "/"},
      {"/media/usb/inner/x", "/media/usb/inner", "/media/usb/inner"},
#ifdef _WIN32
      {"C:\\", "", "C:\\"},
      {"c:\\DOCS", "c:\\", "C:\\"},
      {"C:\\DOCS\\PAPERS", "C:\\DOCS", "C:\\"},
      {"\\\\server\\share\\docs", "\\\\server\\share\\", "/"},
#endif
  };
  const std::vector<std::string> drives{"/media/usb", "/", "/media/usb/inner", "C:\\"};
  for (const Row& row : rows) {
    EXPECT_EQ(ParentFolder(row.path), row.parent) << row.path;
    EXPECT_EQ(DriveOf(row.path, drives, "/"), row.drive) << row.path;
  }
}

TEST(FolderLists, TheDirectoryListShowsThePathThenTheSubFolders) {
  const fs::path temp = fs::temp_directory_path() / "pomvex_folder_lists_test";
  fs::remove_all(temp);
  for (const char* folder : {"Top/beta", "Top/Alpha", "Top/gamma.chi"}) {
    fs::create_directories(temp / folder);
  }
#ifndef _WIN32
  fs::create_directories(temp / "Top/.hidden");  // hidden, left out
#endif
  std::ofstream(temp / "Top" / "b.CHI") << "";
  std::ofstream(temp / "Top" / "a.chi") << "";
  std::ofstream(temp / "Top" / "c.txt") << "";
  const std::string root = platform::PathString(temp);
  const std::string top = root + platform::kPathSeparator + "Top";
  const DirectoryListing listing = ListDirectory(top, root);
  std::vector<std::string> texts;
  for (const DirectoryListEntry& entry : listing.entries) {
    texts.push_back(entry.text + " " + std::to_string(entry.level));
  }
  EXPECT_EQ(texts,
            (std::vector<std::string>{root + " 0", "Top 1", "Alpha 2", "beta 2", "gamma.chi 2"}));
  EXPECT_EQ(listing.currentRow, 1);
  EXPECT_EQ(listing.entries.back().path, top + platform::kPathSeparator + "gamma.chi");
  EXPECT_EQ(ListChiFiles(top), (std::vector<std::string>{"a.chi", "b.CHI"}));
  // A folder that cannot be read lists nothing below it.
  EXPECT_EQ(ListDirectory(top + platform::kPathSeparator + "gone", root).entries.size(), 3u);
  EXPECT_TRUE(ListChiFiles(top + platform::kPathSeparator + "gone").empty());

  // A directory that does not lie under the root is shown from the file system's top.
  const DirectoryListing outside = ListDirectory(top, top + platform::kPathSeparator + "beta");
  EXPECT_EQ(ParentFolder(outside.entries.front().path), "");
  EXPECT_EQ(outside.entries.front().text, outside.entries.front().path);
  EXPECT_EQ(outside.entries[outside.currentRow].path, top);
#ifdef _WIN32
  // A drive's root keeps its backslash, and is the top of the list.
  const DirectoryListing windows = ListDirectory("C:\\windows", "C:\\");
  ASSERT_GE(windows.entries.size(), 3u);
  EXPECT_EQ(windows.entries[0].text, "C:\\");
  EXPECT_EQ(windows.entries[1].text, "windows");
  EXPECT_EQ(windows.entries[1].path, "C:\\windows");
  EXPECT_EQ(windows.currentRow, 1);
  EXPECT_EQ(windows.entries[2].path, "C:\\windows\\" + windows.entries[2].text);
#else
  // A folder reached through a link can be chosen; a link to a file, or to nothing, cannot.
  fs::create_directory_symlink(temp / "Top" / "beta", temp / "Top" / "delta");
  fs::create_symlink(temp / "Top" / "a.chi", temp / "Top" / "epsilon");
  fs::create_symlink(temp / "gone", temp / "Top" / "zeta");
  std::vector<std::string> names;
  for (const DirectoryListEntry& entry : ListDirectory(top, root).entries) {
    names.push_back(entry.text);
  }
  EXPECT_EQ(names, (std::vector<std::string>{root, "Top", "Alpha", "beta", "delta", "gamma.chi"}));
#endif
  fs::remove_all(temp);
}

}  // namespace
}  // namespace pomvex
