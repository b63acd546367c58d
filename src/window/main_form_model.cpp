// The main window's handlers. A run executes on the window's thread from "Go!" to its summary:
// input that arrives meanwhile is discarded, and the window is only repainted, with the counters
// at most every few hundredths of a second (RunProgress).
#include "window/main_form_model.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/platform_files.h"
#include "window/folder_lists.h"

namespace pomvex {

MainFormModel::MainFormModel(MainFormView& view, WindowServices services)
    : view_(view), services_(std::move(services)) {
  if (!services_.isFolder) {
    services_.isFolder = [](const std::string& path) { return platform::IsFolder(path, true); };
  }
}

void MainFormModel::Start(const std::string& currentDir) {
  const std::string drive = DriveOf(currentDir, services_.drives.list(), services_.drives.fallback);
  SelectDrive(drive);
  ShowDirectory(currentDir, drive);
  FormActivate();
}

void MainFormModel::FormActivate() {
  view_.FocusOn(FocusTarget::GoButton);
  // The core's character and font-kind sets and category texts are constants; nothing to set up.
  ResetCounts();
}

void MainFormModel::CloseButtonClick() {
  if (CanClose()) view_.Close();
}

void MainFormModel::GoButtonClick() {
  if (running_) return;
  ResetCounts();
  RunRequest request;
  request.directory = view_.Directory();
  request.choice = view_.Choice();
  request.selectedFiles = view_.SelectedFiles();
  // The files the user sees are the files converted.
  request.listedFiles = view_.ListedFiles();
  request.detailedLog = detailedLog_;
  request.jobs = DefaultJobCount();  // the run takes every core

  running_ = true;
  RunProgress progress(view_, services_.clock, [this](const std::string& text) {
    ShowMessage(MessageKind::Information, "Information", text);
  });
  RunOutcome outcome;
  try {
    outcome = services_.run(request, progress);
  } catch (const std::exception& failure) {
    outcome.finished = false;
    outcome.failure = failure.what();
  }
  progress.Finish();
  running_ = false;
  if (!outcome.finished) {
    // The counters keep what they had reached; the window is ready for the next run.
    counts_ = progress.Counts();
    ShowMessage(MessageKind::Error, "Error", FailureText(outcome, progress));
    return;
  }
  counts_ = outcome.counts;
  UpdateCounts();
  view_.FocusOn(FocusTarget::CloseButton);
}

void MainFormModel::DriveBoxChange(const std::string& drive) {
  drive_ = drive;
  if (services_.drives.isReady(drive)) {
    // The drive's current directory: the one last shown on it, while it still exists.
    const auto last = driveDirs_.find(drive);
    std::string dir = last == driveDirs_.end() ? std::string() : last->second;
    if (dir.empty() || !services_.isFolder(dir)) dir = drive;
    ShowDirectory(dir, drive);
  } else {
    ShowMessage(MessageKind::Warning, "Warning", "\rThe selected drive or device is not ready");
    // The fallback drive is applied as a new choice.
    const std::string& fallback = services_.drives.fallback;
    if (drive != fallback) {
      SelectDrive(fallback);
      DriveBoxChange(fallback);
    }
  }
  ResetCounts();
}

void MainFormModel::DriveBoxOpening() {
  ShowDrives();
}

void MainFormModel::DirListBoxDoubleClick(const std::string& dir) {
  if (platform::SameName(dir, view_.Directory())) {
    // The same directory again: both lists read afresh, nothing else changes.
    view_.RefreshLists();
    return;
  }
  // The drive box follows the directory onto the volume it lies on.
  const std::string drive = DriveOf(dir, services_.drives.list(), services_.drives.fallback);
  if (drive != drive_) SelectDrive(drive);
  ShowDirectory(dir, drive);
}

void MainFormModel::FileListBoxClick() {
  view_.ShowChoice(FileChoice::SingleFiles);
  ResetCounts();
}

void MainFormModel::ResetCounts() {
  counts_ = {};
  UpdateCounts();
  detailedLog_ = view_.DetailedLogTicked();
}

void MainFormModel::UpdateCounts() {
  view_.ShowCounts(counts_);
}

void MainFormModel::FocusLeft(bool toThisProgram) {
  if (!toThisProgram) return;
  focusCameFrom_ = messageOpen_ ? FocusCameFrom::OwnMessage : FocusCameFrom::OtherWindow;
}

void MainFormModel::FocusReturned() {
  const bool activated = focusCameFrom_ == FocusCameFrom::OtherWindow;
  focusCameFrom_ = FocusCameFrom::MainForm;
  if (activated && !running_) FormActivate();
}

void MainFormModel::ShowDrives() {
  std::vector<std::string> drives = services_.drives.list();
  // The drive in use stays listed while the directory list shows it, even if it has gone.
  if (!drive_.empty() && std::find(drives.begin(), drives.end(), drive_) == drives.end()) {
    drives.push_back(drive_);
  }
  view_.ShowDrives(drives, drive_);
}

void MainFormModel::SelectDrive(const std::string& drive) {
  drive_ = drive;
  ShowDrives();
}

void MainFormModel::ShowDirectory(const std::string& dir, const std::string& drive) {
  view_.ShowDirectory(dir, drive);
  DirListBoxChange();
}

void MainFormModel::DirListBoxChange() {
  const std::string dir = view_.Directory();
  driveDirs_[drive_] = dir;
  view_.ShowFiles(dir);
  ResetCounts();
}

void MainFormModel::ShowMessage(MessageKind kind, const std::string& title,
                                const std::string& text) {
  messageOpen_ = true;
  view_.ShowMessage(kind, title, text);
  messageOpen_ = false;
}

std::string FailureText(const RunOutcome& outcome, const RunProgress& progress) {
  const std::string& at =
      outcome.failurePath.empty() ? progress.CurrentFile() : outcome.failurePath;
  if (!at.empty()) return "The run stopped at " + at + ":\n" + outcome.failure;
  if (!progress.StartDir().empty()) {
    return "The run stopped in " + progress.StartDir() + ":\n" + outcome.failure;
  }
  return outcome.failure;
}

}  // namespace pomvex
