// The main window and its handlers. A run executes on the window's thread from "Go!" to its
// summary: the window takes no input meanwhile, and only the counter boxes are repainted.
#include "pomvex_main.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
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
  return QFile::decodeName(QByteArray::fromStdString(path));
}

// Passes what the run tells on to the window.
class WindowFrontEnd : public RunFrontEnd {
 public:
  explicit WindowFrontEnd(TMainForm& form) : form_(form) {}

  void ShowInfo(const std::string& text) override { form_.ShowInfo(FromLocalPath(text)); }
  void CountsChanged(const RunCounts& counts) override { form_.CountsChanged(counts); }

 private:
  TMainForm& form_;
};

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
  button->setAutoDefault(false);
  FitFontToWidth(button);
  return button;
}

void ShowCount(QLineEdit* box, int count) {
  box->setText(QString::number(count));
  box->repaint();
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
  const QSignalBlocker blocker(DriveBox);
  DriveBox->setCurrentIndex(DriveBox->findData(DriveOf(start, services_.drives.listDrives())));
  DirListBox->SetDirectory(start);
  DirListBoxChange();
  GoButton->setFocus();
}

void TMainForm::CreateControls() {
  DriveBox = Place(new QComboBox(this), "DriveBox", 8, 26, 224, 22);
  DriveBox->setFont(ControlFont(kDialogFont, 13));
  connect(DriveBox, &QComboBox::currentIndexChanged, this, &TMainForm::DriveBoxChange);

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
  const QSignalBlocker blocker(DriveBox);
  DriveBox->clear();
  for (const QString& root : services_.drives.listDrives()) {
    DriveBox->addItem(QDir::toNativeSeparators(root), root);
  }
}

void TMainForm::FocusWindowChanged(QWindow* focus) {
  // No focus window: the program has lost the focus, and where it goes next decides.
  if (!focus) return;
  if (focus != windowHandle()) {
    returningFromMessage_ = messageOpen_;
    return;
  }
  if (!returningFromMessage_) FormActivate();
  returningFromMessage_ = false;
}

void TMainForm::FormActivate() {
  GoButton->setFocus();
  // The core's character and font-kind sets and category texts are constants; nothing to set up.
  ResetCounts();
}

void TMainForm::CloseButtonClick() {
  close();
}

void TMainForm::GoButtonClick() {
  ResetCounts();
  RunRequest request;
  request.directory = ToLocalPath(DirListBox->Directory());
  request.choice = static_cast<pomvex::FileChoice>(FileChoice->ItemIndex());
  for (const QString& name : FileListBox->SelectedNames()) {
    request.selectedFiles.push_back(ToLocalPath(name));
  }
  request.detailedLog = detailedLog_;

  WindowFrontEnd frontEnd(*this);
  RunOutcome outcome;
  try {
    outcome = services_.run(request, frontEnd);
  } catch (const std::exception& failure) {
    outcome.finished = false;
    outcome.failure = failure.what();
  }
  if (!outcome.finished) {
    // The counters keep what they last showed; the window is ready for the next run.
    ShowMessage(QMessageBox::Critical, QStringLiteral("Error"),
                QString::fromStdString(outcome.failure));
    return;
  }
  counts_ = outcome.counts;
  UpdateCounts();
  CloseButton->setFocus();
}

void TMainForm::DriveBoxChange() {
  const QString drive = DriveBox->currentData().toString();
  if (services_.drives.isReady(drive)) {
    // The drive's current directory: the one last shown on it, while it still exists.
    QString dir = driveDirs_.value(drive);
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) dir = drive;
    DirListBox->SetDirectory(dir);
    DirListBoxChange();
  } else {
    ShowMessage(QMessageBox::Warning, QStringLiteral("Warning"),
                QStringLiteral("\rThe selected drive or device is not ready"));
    // Choosing the fallback drive runs this handler again for it.
    const int fallback = DriveBox->findData(FallbackDrive());
    if (fallback >= 0 && fallback != DriveBox->currentIndex()) DriveBox->setCurrentIndex(fallback);
  }
  DirListBox->Refresh();
  ResetCounts();
}

void TMainForm::DirListBoxDoubleClick(const QString& dir) {
  DirListBox->SetDirectory(dir);
  DirListBoxChange();
}

void TMainForm::DirListBoxChange() {
  const QString dir = QDir::fromNativeSeparators(DirListBox->Directory());
  driveDirs_.insert(DriveOf(dir, services_.drives.listDrives()), dir);
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
  messageOpen_ = true;
  box.exec();
  messageOpen_ = false;
  returningFromMessage_ = true;
}

}  // namespace pomvex
