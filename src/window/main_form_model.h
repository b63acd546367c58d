// The main window's behaviour, whatever toolkit draws it: start-up and activation, the handlers
// of the drive, directory and file lists, "Go!" with the run request built from the window's
// choices and the list as shown, the counters, the messages and where the focus goes. A front
// end (MainFormView) draws the form and forwards the user's actions to the handlers here.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/run.h"
#include "window/main_form_view.h"
#include "window/run_progress.h"

namespace pomvex {

using RunFunction = std::function<RunOutcome(const RunRequest&, RunFrontEnd&)>;

// The machine's drives, as roots with the system's separators.
struct DriveServices {
  std::function<std::vector<std::string>()> list;
  // Whether the drive can be read now: a drive without a medium, or a volume that is no longer
  // mounted, is not ready.
  std::function<bool(const std::string& root)> isReady;
  // Where the window goes when the chosen drive is not ready ("C:\", or "/").
  std::string fallback;
};

// What the model takes from outside itself: the drives, the core run, the clock that paces the
// redrawing of the counters during a run, and whether a folder is there.
struct WindowServices {
  DriveServices drives;
  RunFunction run = RunConversion;
  SteadyClock clock = std::chrono::steady_clock::now;
  std::function<bool(const std::string& path)> isFolder;
};

class MainFormModel {
 public:
  MainFormModel(MainFormView& view, WindowServices services);

  // Start-up: the drive and the directory list at the program's current directory, then the
  // activation of start-up.
  void Start(const std::string& currentDir);

  // Focus to "Go!" and the counters to 0.
  void FormActivate();
  void CloseButtonClick();
  // Whether the window may close now: not while a run goes on.
  bool CanClose() const { return !running_; }
  void GoButtonClick();
  // The user chose drive in the drive selector (a new choice).
  void DriveBoxChange(const std::string& drive);
  // The drive selector is about to open: the drives are read again.
  void DriveBoxOpening();
  // The user double-clicked (or pressed Enter on) an entry of the directory list.
  void DirListBoxDoubleClick(const std::string& dir);
  // The user clicked in the file list, or changed its selection.
  void FileListBoxClick();
  void ResetCounts();
  void UpdateCounts();

  // Activation as the window understands it: the main window getting the keyboard focus back
  // from another window of the program that is not one of its own message boxes. Coming back
  // from another program is none.
  void FocusLeft(bool toThisProgram);
  void FocusReturned();

  bool Running() const { return running_; }
  const std::string& CurrentDrive() const { return drive_; }
  const RunCounts& Counts() const { return counts_; }

 private:
  enum class FocusCameFrom { MainForm, OtherWindow, OwnMessage };

  void ShowDrives();
  void SelectDrive(const std::string& drive);
  void ShowDirectory(const std::string& dir, const std::string& drive);
  void DirListBoxChange();
  void ShowMessage(MessageKind kind, const std::string& title, const std::string& text);

  MainFormView& view_;
  WindowServices services_;
  RunCounts counts_;
  bool detailedLog_ = false;
  bool running_ = false;
  std::string drive_;
  // The directory last shown on each drive, so that choosing a drive again returns to it.
  std::map<std::string, std::string> driveDirs_;
  // The window's own message boxes take the focus from it; getting it back from one of them is
  // not an activation.
  bool messageOpen_ = false;
  FocusCameFrom focusCameFrom_ = FocusCameFrom::MainForm;
};

// The text of the error box for a run that a failure ended: what it stopped at (the path the run
// names, else the file being converted, else the start directory) and the failure's message.
std::string FailureText(const RunOutcome& outcome, const RunProgress& progress);

}  // namespace pomvex
