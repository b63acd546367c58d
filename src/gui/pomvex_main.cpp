// The main window and its handlers. A run executes on the window's thread from "Go!" to its
// summary: input that arrives meanwhile is discarded, and the window is only repainted, with the
// counters at most every few hundredths of a second (RunProgress).
#include "pomvex_main.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QWindow>
#include <exception>
#include <utility>

#include "control_fonts.h"
#include "window_controls.h"

namespace pomvex {

namespace {

constexpr int kClientWidth = 469;
constexpr int kClientHeight = 459;

constexpr char kDialogFont[] = "MS Sans Serif";
constexpr char kButtonFont[] = "Arial";

std::string ToLocalPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString FromLocalPath(const std::string& path) {
  return QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(path)));
}

template <typename Control>
Control* Place(Control* control, const char* name, int left, int top, int width, int height) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(left, top, width, height);
  return control;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  int width) {
  auto* label = Place(new QLabel(text, parent), name, left, top, width, 16);
  label->setFont(ControlFont(kDialogFont, 13));
  GrowToText(label);
  return label;
}

QLineEdit* MakeCounterBox(QWidget* parent, const char* name, int left) {
  auto* box = Place(new QLineEdit(QStringLiteral("0"), parent), name, left, 423, 140, 28);
  box->setReadOnly(true);
  box->setFont(ControlFont(kDialogFont, 16));
  return box;
}

QPushButton* MakeBigButton(QWidget* parent, const char* name, const QString& text, int left,
                           const QString& hint) {
  auto* button = Place(new QPushButton(text, parent), name, left, 300, 125, 65);
  button->setFont(ControlFont(kButtonFont, 19, true));
  button->setToolTip(hint);
  // Enter presses the button that has the focus, as Space does.
  button->setAutoDefault(true);
  FitFontToWidth(button);
  return button;
}

void ShowCount(QLineEdit* box, int count) {
  const QString text = QString::number(count);
  if (box->text() == text) return;
  box->setText(text);
  box->repaint();
}

// Gives the focus to a control and shows it there, as after keyboard navigation.
void ShowFocusOn(QWidget* control) {
  control->setFocus(Qt::OtherFocusReason);
  control->window()->setAttribute(Qt::WA_KeyboardFocusChange);
  control->update();
}

// What a failure that ended the run is about: the path the run names, else the file being
// converted, or the start directory.
QString FailureText(const RunOutcome& outcome, const RunProgress& progress) {
  const QString reason = QString::fromStdString(outcome.failure);
  const std::string& at =
      outcome.failurePath.empty() ? progress.CurrentFile() : outcome.failurePath;
  if (!at.empty()) {
    return QStringLiteral("The run stopped at %1:\n%2").arg(FromLocalPath(at), reason);
  }
  if (!progress.StartDir().empty()) {
    return QStringLiteral("The run stopped in %1:\n%2")
        .arg(FromLocalPath(progress.StartDir()), reason);
  }
  return reason;
}

// A message box's own width follows its text; a short text would leave too little room for the
// title in the window's title bar, beside the window manager's buttons.
void MakeRoomForTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  QFont titleFont = box.font();
  titleFont.setBold(true);
  const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) * 5 / 4 + 160;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

TMainForm::TMainForm(FormServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      services_(std::move(services)) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("ChiWriter 3.11 to RTF Convertor"));
  setWindowIcon(QIcon(QStringLiteral(":/pomvex/pomvex.png")));
  setToolTip(QStringLiteral("Reads files and converts them."));
  setFont(ControlFont(kDialogFont, 10));
  setFixedSize(kClientWidth, kClientHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  CreateControls();
  SetTabOrder();
  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &TMainForm::FocusWindowChanged);

  // Start in the program's current directory, on the drive that holds it.
  const QString start = QDir::currentPath();
  ShowDrives();
  const QString drive = DriveOf(start, services_.drives.listDrives());
  SelectDrive(drive);
  ShowDirectory(start, drive);
  // The activation of start-up.
  FormActivate();
}

void TMainForm::CreateControls() {
  DriveBox = Place(new DriveSelector(this), "DriveBox", 8, 26, 224, 22);
  DriveBox->setFont(ControlFont(kDialogFont, 13));
  connect(DriveBox, &QComboBox::currentIndexChanged, this, &TMainForm::DriveBoxChange);
  // The drives are read again whenever the list opens.
  connect(DriveBox, &DriveSelector::Opening, this, &TMainForm::ShowDrives);

  DirListBox = Place(new DirectoryList(this), "DirListBox", 8, 54, 224, 233);
  DirListBox->setFont(ControlFont(kDialogFont, 13));
  DirListBox->setToolTip(QStringLiteral("Double click to select"));
  connect(DirListBox, &DirectoryList::DirectoryChosen, this, &TMainForm::DirListBoxDoubleClick);

  FileListBox = Place(new FileList(this), "FileListBox", 238, 26, 219, 261);
  FileListBox->setFont(ControlFont(kDialogFont, 13));
  FileListBox->setToolTip(QStringLiteral("Ctrl-Click files for conversion"));
  connect(FileListBox, &FileList::Clicked, this, &TMainForm::FileListBoxClick);

  GoButton = MakeBigButton(this, "GoButton", QStringLiteral("Go!"), 8,
                           QStringLiteral("Starts conversion"));
  connect(GoButton, &QPushButton::clicked, this, &TMainForm::GoButtonClick);
  CloseButton = MakeBigButton(this, "CloseButton", QStringLiteral("Quit"), 166,
                              QStringLiteral("Terminates program"));
  connect(CloseButton, &QPushButton::clicked, this, &TMainForm::CloseButtonClick);

  // "&&" shows a single "&" in a button's text.
  FileChoice =
      Place(new RadioGroup(QStringLiteral("Select Files to Convert:"),
                           {QStringLiteral("Single Files"), QStringLiteral("Current Directory"),
                            QStringLiteral("Current && Sub-Folders")},
                           this),
            "FileChoice", 304, 296, 157, 99);
  FileChoice->setFont(ControlFont(kDialogFont, 13));
  FileChoice->setToolTip(QStringLiteral("For individual files, click on the box above"));
  FileChoice->SetItemIndex(static_cast<int>(pomvex::FileChoice::CurrentDirectory));
  FitFontToWidth(FileChoice);

  ConvertedBox = MakeCounterBox(this, "ConvertedBox", 8);
  WarningBox = MakeCounterBox(this, "WarningBox", 166);
  ErrorBox = MakeCounterBox(this, "ErrorBox", 321);

  DetailedLogBox =
      Place(new QCheckBox(QStringLiteral("Log full details of super/subscript errors"), this),
            "DetailedLogBox", 26, 378, 265, 17);
  DetailedLogBox->setFont(ControlFont(kDialogFont, 13));
  DetailedLogBox->setToolTip(
      QStringLiteral("Unticked, the log file will only give counts of super- & sub-script errors"));
  FitFontToWidth(DetailedLogBox);

  Label3 = MakeLabel(this, "Label3", QStringLiteral("SelectStart Directory:"), 8, 8, 125);
  LabelA = MakeLabel(this, "LabelA", QStringLiteral("# Files converted"), 8, 401, 102);
  Label4 = MakeLabel(this, "Label4", QStringLiteral("# Warnings"), 166, 401, 67);
  Label1 = MakeLabel(this, "Label1", QStringLiteral("# Errors"), 321, 401, 46);
}

void TMainForm::SetTabOrder() {
  QList<QWidget*> order{DriveBox, DirListBox, FileListBox, GoButton, CloseButton};
  for (int index = 0; index < FileChoice->EntryCount(); ++index) {
    order << FileChoice->Entry(index);
  }
  order << ConvertedBox << WarningBox << ErrorBox << DetailedLogBox;
  for (qsizetype index = 1; index < order.size(); ++index) {
    setTabOrder(order[index - 1], order[index]);
  }
}

void TMainForm::ShowDrives() {
  const QString current = CurrentDrive();
  QStringList drives = services_.drives.listDrives();
  // The drive in use stays listed while the directory list shows it, even if it has gone.
  if (!current.isEmpty() && !drives.contains(current)) drives << current;
  const QSignalBlocker blocker(DriveBox);
  DriveBox->clear();
  for (const QString& root : drives) DriveBox->addItem(QDir::toNativeSeparators(root), root);
  DriveBox->setCurrentIndex(DriveBox->findData(current));
}

QString TMainForm::CurrentDrive() const {
  return DriveBox->currentData().toString();
}

void TMainForm::SelectDrive(const QString& drive) {
  const QSignalBlocker blocker(DriveBox);
  if (DriveBox->findData(drive) < 0) ShowDrives();
  if (DriveBox->findData(drive) < 0) DriveBox->addItem(QDir::toNativeSeparators(drive), drive);
  DriveBox->setCurrentIndex(DriveBox->findData(drive));
}

void TMainForm::ShowDirectory(const QString& dir, const QString& drive) {
  DirListBox->SetDirectory(dir, drive);
  DirListBoxChange();
}

void TMainForm::FocusWindowChanged(QWindow* focus) {
  // No focus window: the program has lost the focus to another program; coming back from there
  // is no activation. A popup (the drive list) or a tooltip belongs to the main window.
  if (!focus || focus->type() == Qt::Popup || focus->type() == Qt::ToolTip) return;
  if (focus != windowHandle()) {
    focusCameFrom_ = messageOpen_ ? FocusCameFrom::OwnMessage : FocusCameFrom::OtherWindow;
    return;
  }
  const bool activated = focusCameFrom_ == FocusCameFrom::OtherWindow;
  focusCameFrom_ = FocusCameFrom::MainForm;
  if (activated && !running_) FormActivate();
}

void TMainForm::FormActivate() {
  ShowFocusOn(GoButton);
  // The core's character and font-kind sets and category texts are constants; nothing to set up.
  ResetCounts();
}

void TMainForm::CloseButtonClick() {
  close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (running_) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void TMainForm::GoButtonClick() {
  if (running_) return;
  ResetCounts();
  RunRequest request;
  request.directory = ToLocalPath(DirListBox->Directory());
  request.choice = static_cast<pomvex::FileChoice>(FileChoice->ItemIndex());
  for (const QString& name : FileListBox->SelectedNames()) {
    request.selectedFiles.push_back(ToLocalPath(name));
  }
  // The files the user sees are the files converted.
  std::vector<std::string>& listed = request.listedFiles.emplace();
  for (const QString& name : FileListBox->Names()) listed.push_back(ToLocalPath(name));
  request.detailedLog = detailedLog_;
  request.jobs = DefaultJobCount();  // the run takes every core

  running_ = true;
  RunProgress progress(
      services_.clock, [this](const std::string& text) { ShowInfo(FromLocalPath(text)); },
      [this](const RunCounts& counts) { CountsChanged(counts); });
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
    ShowMessage(QMessageBox::Critical, QStringLiteral("Error"), FailureText(outcome, progress));
    return;
  }
  counts_ = outcome.counts;
  UpdateCounts();
  ShowFocusOn(CloseButton);
}

void TMainForm::DriveBoxChange() {
  const QString drive = CurrentDrive();
  if (services_.drives.isReady(drive)) {
    // The drive's current directory: the one last shown on it, while it still exists.
    QString dir = driveDirs_.value(drive);
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) dir = drive;
    ShowDirectory(dir, drive);
  } else {
    ShowMessage(QMessageBox::Warning, QStringLiteral("Warning"),
                QStringLiteral("\rThe selected drive or device is not ready"));
    // Choosing the fallback drive runs this handler again for it.
    const int fallback = DriveBox->findData(FallbackDrive());
    if (fallback >= 0 && fallback != DriveBox->currentIndex()) DriveBox->setCurrentIndex(fallback);
  }
  ResetCounts();
}

void TMainForm::DirListBoxDoubleClick(const QString& dir) {
  if (QDir::cleanPath(dir) == DirListBox->DirectoryPath()) {
    // The same directory again: both lists read afresh, nothing else changes.
    DirListBox->Refresh();
    FileListBox->Refresh();
    return;
  }
  // The drive box follows the directory onto the volume it lies on.
  const QString drive = DriveOf(QDir::cleanPath(dir), services_.drives.listDrives());
  if (drive != CurrentDrive()) SelectDrive(drive);
  ShowDirectory(dir, drive);
}

void TMainForm::DirListBoxChange() {
  const QString dir = DirListBox->DirectoryPath();
  driveDirs_.insert(CurrentDrive(), dir);
  FileListBox->SetDirectory(dir);
  ResetCounts();
}

void TMainForm::FileListBoxClick() {
  FileChoice->SetItemIndex(static_cast<int>(pomvex::FileChoice::SingleFiles));
  FileChoice->repaint();
  ResetCounts();
}

void TMainForm::ResetCounts() {
  counts_ = {};
  UpdateCounts();
  detailedLog_ = DetailedLogBox->isChecked();
}

void TMainForm::UpdateCounts() {
  ShowCount(ErrorBox, counts_.errors);
  ShowCount(WarningBox, counts_.warnings);
  ShowCount(ConvertedBox, counts_.converted);
}

void TMainForm::CountsChanged(const RunCounts& counts) {
  counts_ = counts;
  UpdateCounts();
}

void TMainForm::ShowInfo(const QString& text) {
  ShowMessage(QMessageBox::Information, QStringLiteral("Information"), text);
}

void TMainForm::ShowMessage(QMessageBox::Icon icon, const QString& title, const QString& text) {
  QMessageBox box(icon, title, text, QMessageBox::Ok, this);
  MakeRoomForTitle(box);
  messageOpen_ = true;
  box.exec();
  messageOpen_ = false;
}

}  // namespace pomvex
