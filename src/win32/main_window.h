// The main window in plain Win32: the form of the window model, its controls placed at their
// 96-dpi positions scaled to the monitor's pixels, and what the model asks of them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "window/folder_lists.h"
#include "window/main_form_model.h"

namespace pomvex::win32 {

class MainWindow : private MainFormView {
 public:
  MainWindow(HINSTANCE instance, WindowServices services);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window in the centre of its monitor, starts the model in the program's current
  // directory and shows the window; false when the system refused.
  bool Create(int show);
  // The window's keys, taken before a message is dispatched: Enter presses the focused button
  // (or chooses the directory list's entry), Tab and the arrow keys move as in a dialog. True
  // when the message was taken.
  bool TakeKeys(MSG& message);

 private:
  struct Fonts {
    HFONT dialog = nullptr;   // the controls' font
    HFONT counter = nullptr;  // the counter boxes'
    HFONT button = nullptr;   // "Go!" and "Quit"
    // Smaller ones for texts that the machine's stand-in for a missing font makes too wide.
    std::vector<HFONT> fitted;
    void Release();
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void AddHints();
  // Places the controls and sets their fonts for the window's DPI.
  void Layout();
  int Scale(int pixels) const;
  // The font of the size in pixels, or a smaller one under which text fits into room.
  HFONT FittingFont(HWND control, const wchar_t* text, int pixels, int room, Fonts& fonts) const;
  HWND Control(int id) const;
  void Command(int id, int code);
  void DriveChosen();
  void DrawFolderEntry(const DRAWITEMSTRUCT& item);
  void FillDirectoryList();
  void FillFileList(const std::vector<std::string>& keepSelected);
  void RevealDirectory();
  void KeepTabOnChosen();
  void MarkDefaultButton(HWND focused);

  // MainFormView
  std::string Directory() const override;
  std::vector<std::string> ListedFiles() const override;
  std::vector<std::string> SelectedFiles() const override;
  FileChoice Choice() const override;
  bool DetailedLogTicked() const override;
  void ShowDrives(const std::vector<std::string>& drives, const std::string& chosen) override;
  void ShowDirectory(const std::string& dir, const std::string& drive) override;
  void ShowFiles(const std::string& dir) override;
  void RefreshLists() override;
  void ShowChoice(FileChoice choice) override;
  void ShowCounts(const RunCounts& counts) override;
  void ShowMessage(MessageKind kind, const std::string& title, const std::string& text) override;
  void FocusOn(FocusTarget target) override;
  void Close() override;
  void DiscardInput(bool discard) override;
  void ProcessPendingEvents() override;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND hints_ = nullptr;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  Fonts fonts_;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  // The control that had the focus when the window was last deactivated.
  HWND savedFocus_ = nullptr;

  std::vector<std::string> drives_;
  std::string drive_;  // the drive the directory list is rooted at
  DirectoryListing folders_;
  std::string filesDir_;
  std::vector<std::string> files_;

  MainFormModel model_;
};

}  // namespace pomvex::win32
