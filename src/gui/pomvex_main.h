// The main window: drive, directory and file choice, the "Go!" and "Quit" buttons, the choice of
// files to convert and the three counters of a run. The run itself is the core's; the window
// only gathers the choices, shows the counters while it goes on and shows its messages.
#pragma once

#include <QHash>
#include <QMessageBox>
#include <QWidget>
#include <functional>

#include "app/run.h"
#include "drives.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWindow;

namespace pomvex {

class DirectoryList;
class FileList;
class RadioGroup;

using RunFunction = std::function<RunOutcome(const RunRequest&, RunFrontEnd&)>;

// What the window uses from outside itself; the defaults are the machine and the core run.
struct FormServices {
  DriveAccess drives = SystemDrives();
  RunFunction run = RunConversion;
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
  // The run tells of every change of a counter; the boxes are repainted at once.
  void CountsChanged(const RunCounts& counts);

 private:
  void CreateControls();
  void SetTabOrder();
  void ShowDrives();
  void DirListBoxDoubleClick(const QString& dir);
  void FocusWindowChanged(QWindow* focus);
  void ShowMessage(QMessageBox::Icon icon, const QString& title, const QString& text);

  FormServices services_;
  RunCounts counts_;
  bool detailedLog_ = false;
  // The directory last shown on each drive, so that choosing a drive again returns to it.
  QHash<QString, QString> driveDirs_;
  // The window's own message boxes take the focus from it; getting it back from one of them is
  // not an activation of the window as the program's active window.
  bool messageOpen_ = false;
  bool returningFromMessage_ = false;

  QComboBox* DriveBox = nullptr;
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
