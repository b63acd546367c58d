// The main window: drive, directory and file choice, the "Go!" and "Quit" buttons, the choice of
// files to convert and the three counters of a run. The run itself is the core's; the window
// only gathers the choices, shows the counters while it goes on and shows its messages.
#pragma once

#include <QHash>
#include <QMessageBox>
#include <QWidget>
#include <chrono>
#include <functional>

#include "app/run.h"
#include "drives.h"
#include "run_progress.h"

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

using RunFunction = std::function<RunOutcome(const RunRequest&, RunFrontEnd&)>;

// What the window uses from outside itself; the defaults are the machine, the core run and the
// steady clock (which paces the redrawing of the counters during a run).
struct FormServices {
  DriveAccess drives = SystemDrives();
  RunFunction run = RunConversion;
  SteadyClock clock = std::chrono::steady_clock::now;
};

class TMainForm : public QWidget {
  Q_OBJECT

 public:
  explicit TMainForm(FormServices services = {}, QWidget* parent = nullptr);

 public slots:
  void FormActivate();
  void CloseButtonClick();
  void GoButtonClick();
  void DriveBoxChange();
  void DirListBoxChange();
  void FileListBoxClick();
  void ResetCounts();
  void UpdateCounts();
  void ShowInfo(const QString& text);
  // The counters the run reached, drawn at once.
  void CountsChanged(const RunCounts& counts);
  // The keyboard focus moved to another window of the program (focus is null when the program
  // lost it to another program). Activation, as FormActivate understands it, is the main window
  // getting the focus back from another window of the program that is not one of its own
  // message boxes, popups or tooltips.
  void FocusWindowChanged(QWindow* focus);

 protected:
  // No closing while a run goes on.
  void closeEvent(QCloseEvent* event) override;

 private:
  enum class FocusCameFrom { MainForm, OtherWindow, OwnMessage };

  void CreateControls();
  void SetTabOrder();
  void ShowDrives();
  QString CurrentDrive() const;
  void SelectDrive(const QString& drive);
  void ShowDirectory(const QString& dir, const QString& drive);
  void DirListBoxDoubleClick(const QString& dir);
  void ShowMessage(QMessageBox::Icon icon, const QString& title, const QString& text);

  FormServices services_;
  RunCounts counts_;
  bool detailedLog_ = false;
  bool running_ = false;
  // The directory last shown on each drive, so that choosing a drive again returns to it.
  QHash<QString, QString> driveDirs_;
  // The window's own message boxes take the focus from it; getting it back from one of them is
  // not an activation of the window as the program's active window.
  bool messageOpen_ = false;
  FocusCameFrom focusCameFrom_ = FocusCameFrom::MainForm;

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
};

}  // namespace pomvex
