// What a toolkit's main window does for the window model: it tells what its controls hold, draws
// what the model decides, shows the model's messages, and, while a run goes on, repaints without
// taking input. The Qt window and the Win32 window each implement it; the model's tests use a
// recording one.
//
// Paths and names are 8-bit strings as the run takes them (the bytes of the file system on
// POSIX, UTF-8 on Windows), with the system's separators; a drive is the root of a volume ("/",
// "/media/usb", "C:\").
#pragma once

#include <string>
#include <vector>

#include "app/run.h"

namespace pomvex {

enum class MessageKind { Information, Warning, Error };

// The controls the model gives the keyboard focus to.
enum class FocusTarget { GoButton, CloseButton };

class MainFormView {
 public:
  virtual ~MainFormView() = default;

  // What the controls hold.
  // The directory list's current directory (a root keeps its separator).
  virtual std::string Directory() const = 0;
  // The file list's entries as shown, and the selected ones, in list order.
  virtual std::vector<std::string> ListedFiles() const = 0;
  virtual std::vector<std::string> SelectedFiles() const = 0;
  virtual FileChoice Choice() const = 0;
  virtual bool DetailedLogTicked() const = 0;

  // The drive selector offers drives with chosen selected; no change of drive is reported.
  virtual void ShowDrives(const std::vector<std::string>& drives, const std::string& chosen) = 0;
  // The directory list shows dir, from drive's root down, and its sub-folders.
  virtual void ShowDirectory(const std::string& dir, const std::string& drive) = 0;
  // The file list shows the "*.chi" files of dir.
  virtual void ShowFiles(const std::string& dir) = 0;
  // Both lists read their directory again; the files still there stay selected.
  virtual void RefreshLists() = 0;
  // The radio group shows choice, repainted at once.
  virtual void ShowChoice(FileChoice choice) = 0;
  // The three counter boxes show counts, each box that changed repainted at once.
  virtual void ShowCounts(const RunCounts& counts) = 0;
  // A modal box with the kind's icon, title, text and one "OK" button; returns when it is closed.
  virtual void ShowMessage(MessageKind kind, const std::string& title, const std::string& text) = 0;
  // Gives the keyboard focus to the control and shows it there, as after keyboard navigation.
  virtual void FocusOn(FocusTarget target) = 0;
  // Closes the main window, which ends the program.
  virtual void Close() = 0;

  // While a run goes on: input that arrives is dropped (not held back) from DiscardInput(true)
  // to DiscardInput(false), which also drops the input still waiting; ProcessPendingEvents
  // repaints what needs repainting.
  virtual void DiscardInput(bool discard) = 0;
  virtual void ProcessPendingEvents() = 0;
};

}  // namespace pomvex
