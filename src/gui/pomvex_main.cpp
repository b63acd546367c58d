// The main window drawn with Qt: its controls, and what the window model asks of them.
#include "pomvex_main.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
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
#include <filesystem>
#include <system_error>
#include <utility>

#include "control_fonts.h"
#include "platform/platform_files.h"
#include "window_controls.h"

namespace pomvex {

namespace {

constexpr int kClientWidth = 469;
constexpr int kClientHeight = 459;

constexpr char kDialogFont[] = "MS Sans Serif";
constexpr char kButtonFont[] = "Arial";

std::vector<std::string> LocalNames(const QStringList& names) {
  std::vector<std::string> local;
  for (const QString& name : names) local.push_back(ToLocalPath(name));
  return local;
}

// The model's drives are the toolkit's, with the system's separators.
WindowServices ModelServices(const FormServices& services) {
  WindowServices model;
  model.drives.list = [drives = services.drives] { return LocalNames(drives.listDrives()); };
  model.drives.isReady = [drives = services.drives](const std::string& root) {
    return drives.isReady(ListPath(root));
  };
  model.drives.fallback = ToLocalPath(FallbackDrive());
  model.run = services.run;
  model.clock = services.clock;
  return model;
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
      model_(*this, ModelServices(services)) {
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
  std::error_code unknown;
  model_.Start(platform::PathString(std::filesystem::current_path(unknown)));
}

void TMainForm::CreateControls() {
  DriveBox = Place(new DriveSelector(this), "DriveBox", 8, 26, 224, 22);
  DriveBox->setFont(ControlFont(kDialogFont, 13));
  connect(DriveBox, &QComboBox::currentIndexChanged, this, &TMainForm::DriveBoxChange);
  // The drives are read again whenever the list opens.
  connect(DriveBox, &DriveSelector::Opening, this, [this] { model_.DriveBoxOpening(); });

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

void TMainForm::FocusWindowChanged(QWindow* focus) {
  // A popup (the drive list) or a tooltip belongs to the main window.
  if (focus && (focus->type() == Qt::Popup || focus->type() == Qt::ToolTip)) return;
  if (focus == windowHandle()) {
    model_.FocusReturned();
  } else {
    // No focus window: the program has lost the focus to another program.
    model_.FocusLeft(focus != nullptr);
  }
}

void TMainForm::FormActivate() {
  model_.FormActivate();
}

void TMainForm::CloseButtonClick() {
  model_.CloseButtonClick();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!model_.CanClose()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void TMainForm::GoButtonClick() {
  model_.GoButtonClick();
}

void TMainForm::DriveBoxChange() {
  model_.DriveBoxChange(ToLocalPath(DriveBox->currentData().toString()));
}

void TMainForm::DirListBoxDoubleClick(const QString& dir) {
  model_.DirListBoxDoubleClick(ToLocalPath(QDir::cleanPath(dir)));
}

void TMainForm::FileListBoxClick() {
  model_.FileListBoxClick();
}

std::string TMainForm::Directory() const {
  return ToLocalPath(DirListBox->Directory());
}

std::vector<std::string> TMainForm::ListedFiles() const {
  return LocalNames(FileListBox->Names());
}

std::vector<std::string> TMainForm::SelectedFiles() const {
  return LocalNames(FileListBox->SelectedNames());
}

pomvex::FileChoice TMainForm::Choice() const {
  return static_cast<pomvex::FileChoice>(FileChoice->ItemIndex());
}

bool TMainForm::DetailedLogTicked() const {
  return DetailedLogBox->isChecked();
}

void TMainForm::ShowDrives(const std::vector<std::string>& drives, const std::string& chosen) {
  const QSignalBlocker blocker(DriveBox);
  DriveBox->clear();
  for (const std::string& root : drives) {
    DriveBox->addItem(ShownName(FromLocalPath(root)), ListPath(root));
  }
  DriveBox->setCurrentIndex(DriveBox->findData(ListPath(chosen)));
}

void TMainForm::ShowDirectory(const std::string& dir, const std::string& drive) {
  DirListBox->SetDirectory(ListPath(dir), ListPath(drive));
}

void TMainForm::ShowFiles(const std::string& dir) {
  FileListBox->SetDirectory(ListPath(dir));
}

void TMainForm::RefreshLists() {
  DirListBox->Refresh();
  FileListBox->Refresh();
}

void TMainForm::ShowChoice(pomvex::FileChoice choice) {
  FileChoice->SetItemIndex(static_cast<int>(choice));
  FileChoice->repaint();
}

void TMainForm::ShowCounts(const RunCounts& counts) {
  ShowCount(ErrorBox, counts.errors);
  ShowCount(WarningBox, counts.warnings);
  ShowCount(ConvertedBox, counts.converted);
}

void TMainForm::ShowMessage(MessageKind kind, const std::string& title, const std::string& text) {
  const QMessageBox::Icon icon = kind == MessageKind::Information ? QMessageBox::Information
                                 : kind == MessageKind::Warning   ? QMessageBox::Warning
                                                                  : QMessageBox::Critical;
  QMessageBox box(icon, QString::fromStdString(title), ShownText(FromLocalPath(text)),
                  QMessageBox::Ok, this);
  MakeRoomForTitle(box);
  box.exec();
}

void TMainForm::FocusOn(FocusTarget target) {
  ShowFocusOn(target == FocusTarget::GoButton ? GoButton : CloseButton);
}

void TMainForm::Close() {
  close();
}

void TMainForm::DiscardInput(bool discard) {
  if (discard) {
    discarder_.Start();
  } else {
    discarder_.Stop();
  }
}

void TMainForm::ProcessPendingEvents() {
  QCoreApplication::processEvents();
}

}  // namespace pomvex
