// The main window in Qt: drive, directory and file choice, the "Go!" and "Quit" buttons, the
// choice of files to convert and the three counters of a run. It draws the form and forwards
// what the user does to the window model, which decides what happens.
#pragma once

#include <QMessageBox>
#include <QWidget>
#include <chrono>

#include "drives.h"
#include "input_discarder.h"
#include "window/main_form_model.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWindow;

namespace pomvex {

class DirectoryList;
class DriveSelector;
class FileList;
class RadioGroup;

// What the window uses from outside itself; the defaults are the machine, the core run and the
// steady clock (which paces the redrawing of the counters during a run).
struct FormServices {
  DriveAccess drives = SystemDrives();
  RunFunction run = RunConversion;
  SteadyClock clock = std::chrono::steady_clock::now;
};

class TMainForm : public QWidget, private MainFormView {
  Q_OBJECT

 public:
  explicit TMainForm(FormServices services = {}, QWidget* parent = nullptr);

 public slots:
  void FormActivate();
  void CloseButtonClick();
  void GoButtonClick();
  void DriveBoxChange();
  void FileListBoxClick();
  // The keyboard focus moved to another window of the program (focus is null when the program
  // lost it to another program). The main window's popups and tooltips belong to it.
  void FocusWindowChanged(QWindow* focus);

 protected:
  // No closing while a run goes on.
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  void SetTabOrder();
  void DirListBoxDoubleClick(const QString& dir);

  // MainFormView
  std::string Directory() const override;
  std::vector<std::string> ListedFiles() const override;
  std::vector<std::string> SelectedFiles() const override;
  pomvex::FileChoice Choice() const override;
  bool DetailedLogTicked() const override;
  void ShowDrives(const std::vector<std::string>& drives, const std::string& chosen) override;
  void ShowDirectory(const std::string& dir, const std::string& drive) override;
  void ShowFiles(const std::string& dir) override;
  void RefreshLists() override;
  void ShowChoice(pomvex::FileChoice choice) override;
  void ShowCounts(const RunCounts& counts) override;
  void ShowMessage(MessageKind kind, const std::string& title, const std::string& text) override;
  void FocusOn(FocusTarget target) override;
  void Close() override;
  void DiscardInput(bool discard) override;
  void ProcessPendingEvents() override;

  DriveSelector* DriveBox = nullptr;
  DirectoryList* DirListBox = nullptr;
  FileList* FileListBox = nullptr;
  QPushButton* GoButton = nullptr;
  QPushButton* CloseButton = nullptr;
  RadioGroup* FileChoice = nullptr;
  QLineEdit* ConvertedBox = nullptr;
  QLineEdit* WarningBox = nullptr;
  QLineEdit* ErrorBox = nullptr;
  QCheckBox* DetailedLogBox = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* LabelA = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label1 = nullptr;

  InputDiscarder discarder_;
  MainFormModel model_;
};

}  // namespace pomvex
