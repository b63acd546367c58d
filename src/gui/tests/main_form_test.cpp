// Tests of the main window: its start-up state and layout, the keyboard, activation, the handlers
// of the drive, directory and file lists, and "Go!" with a stand-in run and with the core run on
// a folder of documents.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

#include "base/reporting.h"
#include "control_fonts.h"
#include "gui_test_support.h"
#include "pomvex_main.h"
#include "window_controls.h"

namespace pomvex {

namespace {

using testing::MessageAnswerer;

template <typename Control>
Control* Find(const QWidget& form, const char* name) {
  return form.findChild<Control*>(QString::fromLatin1(name));
}

// The window with its controls found by name.
struct Window {
  explicit Window(FormServices services) : form(std::move(services)) {}

  bool Show() {
    form.show();
    return QTest::qWaitForWindowExposed(&form);
  }
  bool Activate() {
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
  }
  // Converted, warnings, errors, as the boxes show them.
  QStringList Counters() const {
    return {ConvertedBox->text(), WarningBox->text(), ErrorBox->text()};
  }
  QStringList Files() const {
    QStringList names;
    for (int row = 0; row < FileListBox->count(); ++row) names << FileListBox->item(row)->text();
    return names;
  }
  void ClickFile(int row) {
    const QRect place = FileListBox->visualItemRect(FileListBox->item(row));
    QTest::mouseClick(FileListBox->viewport(), Qt::LeftButton, {}, place.center());
  }
  void DoubleClickFolder(const QString& name) {
    const QRect place = DirListBox->visualItemRect(DirListBox->findItems(name, {}).front());
    // A double click is a click followed by the second press.
    QTest::mouseClick(DirListBox->viewport(), Qt::LeftButton, {}, place.center());
    QTest::mouseDClick(DirListBox->viewport(), Qt::LeftButton, {}, place.center());
  }

  TMainForm form;
  QComboBox* DriveBox = Find<QComboBox>(form, "DriveBox");
  DirectoryList* DirListBox = Find<DirectoryList>(form, "DirListBox");
  FileList* FileListBox = Find<FileList>(form, "FileListBox");
  QPushButton* GoButton = Find<QPushButton>(form, "GoButton");
  QPushButton* CloseButton = Find<QPushButton>(form, "CloseButton");
  RadioGroup* FileChoice = Find<RadioGroup>(form, "FileChoice");
  QLineEdit* ConvertedBox = Find<QLineEdit>(form, "ConvertedBox");
  QLineEdit* WarningBox = Find<QLineEdit>(form, "WarningBox");
  QLineEdit* ErrorBox = Find<QLineEdit>(form, "ErrorBox");
  QCheckBox* DetailedLogBox = Find<QCheckBox>(form, "DetailedLogBox");
};

FormServices Services(RunFunction run, QStringList drives = {QStringLiteral("/")},
                      std::function<bool(const QString&)> isReady = {}) {
  FormServices services;
  services.drives.listDrives = [drives] { return drives; };
  services.drives.isReady = isReady ? std::move(isReady) : [](const QString&) { return true; };
  services.run = std::move(run);
  return services;
}

// A clock that moves only when told to.
struct FakeClock {
  std::chrono::steady_clock::time_point now{};
  void Advance(std::chrono::milliseconds by) { now += by; }
  SteadyClock Source() {
    return [this] { return now; };
  }
};

// Puts a mouse click at the middle of a control, or a key press, into the window's queue of
// input, as the window system does while the program is busy.
void QueueClick(QWidget& form, QWidget* control, std::optional<QPoint> place = {}) {
  const QPointF at = control->mapTo(&form, place.value_or(control->rect().center()));
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QCoreApplication::postEvent(
        form.windowHandle(),
        new QMouseEvent(type, at, form.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier));
  }
}

void QueueKey(QWidget& form, Qt::Key key) {
  for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QCoreApplication::postEvent(form.windowHandle(), new QKeyEvent(type, key, Qt::NoModifier));
  }
}

RunOutcome Outcome(RunCounts counts, std::string failure = {}) {
  RunOutcome outcome;
  outcome.finished = failure.empty();
  outcome.failure = std::move(failure);
  outcome.counts = counts;
  return outcome;
}

// A run that shows its start, converts nothing and ends with the given counts.
RunFunction FinishedRun(RunCounts counts) {
  return [counts](const RunRequest&, RunFrontEnd& frontEnd) {
    frontEnd.ShowInfo("/start/");
    return Outcome(counts);
  };
}

// Counts the paint events a control receives.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* control) { control->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

// A small ChiWriter 3 document: the version line and two lines of text.
QByteArray SmallDocument(const QByteArray& text) {
  return "\\1cw\r\n" + text + "\r\nA second line of text.\r\n";
}

QString ScreenshotPath(const QString& name) {
  QDir().mkpath(QStringLiteral(POMVEX_SCREENSHOT_DIR));
  return QStringLiteral(POMVEX_SCREENSHOT_DIR "/") + name;
}

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    const QDir dir(folder_->path());
    QVERIFY(testing::WriteFile(dir.filePath("LETTER.CHI"), SmallDocument("Dear Sir,")));
    QVERIFY(testing::WriteFile(dir.filePath("notes.chi"), SmallDocument("Notes.")));
    QVERIFY(testing::WriteFile(dir.filePath("readme.txt"), "not a document\r\n"));
    QVERIFY(dir.mkdir("sub"));
    QVERIFY(testing::WriteFile(dir.filePath("sub/inner.chi"), SmallDocument("Inner.")));
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(folder_->path());
  }

  void cleanup() {
    QDir::setCurrent(previousDir_);
    folder_.reset();
  }

  void StartsInTheCurrentDirectory() {
    Window window(Services(FinishedRun({})));
    QCOMPARE(window.DirListBox->Directory(), QDir::toNativeSeparators(folder_->path()));
    QCOMPARE(window.Files(), (QStringList{"LETTER.CHI", "notes.chi"}));
    QCOMPARE(window.FileChoice->ItemIndex(), 1);
    QCOMPARE(window.FileChoice->Entry(1)->text(), QStringLiteral("Current Directory"));
    QVERIFY(!window.DetailedLogBox->isChecked());
    QCOMPARE(window.Counters(), (QStringList{"0", "0", "0"}));
    QCOMPARE(window.DriveBox->currentData().toString(), QStringLiteral("/"));

    QCOMPARE(window.form.objectName(), QStringLiteral("MainForm"));
    QCOMPARE(window.form.windowTitle(), QStringLiteral("ChiWriter 3.11 to RTF Convertor"));
    QCOMPARE(window.form.minimumSize(), QSize(469, 459));
    QCOMPARE(window.form.maximumSize(), QSize(469, 459));
    QVERIFY(!(window.form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window.form.windowIcon().availableSizes().contains(QSize(32, 32)));
    QVERIFY(window.Show());
    QCOMPARE(window.form.focusWidget(), window.GoButton);
  }

  void ControlsAreWhereTheyBelong() {
    struct Row {
      const char* name;
      QRect geometry;
      const char* text;
      const char* hint;
      int pixels;
    };
    const Row rows[] = {
        {"DriveBox", {8, 26, 224, 22}, "", "", 13},
        {"DirListBox", {8, 54, 224, 233}, "", "Double click to select", 13},
        {"FileListBox", {238, 26, 219, 261}, "", "Ctrl-Click files for conversion", 13},
        {"GoButton", {8, 300, 125, 65}, "Go!", "Starts conversion", 19},
        {"CloseButton", {166, 300, 125, 65}, "Quit", "Terminates program", 19},
        {"FileChoice",
         {304, 296, 157, 99},
         "Select Files to Convert:",
         "For individual files, click on the box above",
         13},
        {"ConvertedBox", {8, 423, 140, 28}, "0", "", 16},
        {"WarningBox", {166, 423, 140, 28}, "0", "", 16},
        {"ErrorBox", {321, 423, 140, 28}, "0", "", 16},
        {"DetailedLogBox",
         {26, 378, 265, 17},
         "Log full details of super/subscript errors",
         "Unticked, the log file will only give counts of super- & sub-script errors",
         13},
        {"Label3", {8, 8, 125, 16}, "SelectStart Directory:", "", 13},
        {"LabelA", {8, 401, 102, 16}, "# Files converted", "", 13},
        {"Label4", {166, 401, 67, 16}, "# Warnings", "", 13},
        {"Label1", {321, 401, 46, 16}, "# Errors", "", 13},
    };
    Window window(Services(FinishedRun({})));
    for (const Row& row : rows) {
      auto* control = Find<QWidget>(window.form, row.name);
      QVERIFY2(control && control->parentWidget() == &window.form, row.name);
      if (qobject_cast<QLabel*>(control)) {
        // Labels size themselves to their text.
        QVERIFY2(control->pos() == row.geometry.topLeft(), row.name);
        QVERIFY2(control->width() >= row.geometry.width(), row.name);
      } else {
        QVERIFY2(control->geometry() == row.geometry, row.name);
      }
      const char* property = qobject_cast<QGroupBox*>(control) ? "title" : "text";
      if (*row.text) QCOMPARE(control->property(property).toString(), QString(row.text));
      QCOMPARE(control->toolTip(), QString(row.hint));
      // With a family of the original's widths installed, every text keeps its size; with the
      // toolkit's wider font, one may be drawn a little smaller.
      const int slack = StandInFamily("Arial").isEmpty() ? 3 : 0;
      const int pixels = control->font().pixelSize();
      QVERIFY2(pixels <= row.pixels && pixels >= row.pixels - slack, row.name);
    }
  }

  void TextsFitAndNothingOverlaps() {
    Window window(Services(FinishedRun({})));
    QVERIFY(window.Show());
    const auto controls = window.form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (qsizetype i = 0; i < controls.size(); ++i) {
      const QString name = controls[i]->objectName();
      QVERIFY2(window.form.rect().contains(controls[i]->geometry()), qPrintable(name));
      if (qobject_cast<QLabel*>(controls[i]) || qobject_cast<QAbstractButton*>(controls[i])) {
        QVERIFY2(controls[i]->sizeHint().width() <= controls[i]->width(), qPrintable(name));
      }
      for (qsizetype j = i + 1; j < controls.size(); ++j) {
        QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                 qPrintable(name + " / " + controls[j]->objectName()));
      }
    }
    // The group's title is drawn from its left edge.
    const QString title = window.FileChoice->title() + ' ';
    QVERIFY(window.FileChoice->fontMetrics().horizontalAdvance(title) <=
            window.FileChoice->width());
    for (int index = 0; index < window.FileChoice->EntryCount(); ++index) {
      QRadioButton* entry = window.FileChoice->Entry(index);
      QVERIFY(window.FileChoice->contentsRect().contains(entry->geometry()));
      QVERIFY(entry->sizeHint().width() <= entry->width());
    }
  }

  void TabOrderFollowsTheControls_data() {
    QTest::addColumn<int>("chosen");
    QTest::newRow("Single Files") << 0;
    QTest::newRow("Current Directory") << 1;
    QTest::newRow("Current & Sub-Folders") << 2;
  }

  // Tab goes round the controls; the scope group is one stop, at its chosen entry.
  void TabOrderFollowsTheControls() {
    QFETCH(int, chosen);
    Window window(Services(FinishedRun({})));
    QVERIFY(window.Show());
    QVERIFY(window.Activate());
    window.FileChoice->SetItemIndex(chosen);
    const QList<QWidget*> expected{
        window.DriveBox,       window.DirListBox,  window.FileListBox,
        window.GoButton,       window.CloseButton, window.FileChoice->Entry(chosen),
        window.ConvertedBox,   window.WarningBox,  window.ErrorBox,
        window.DetailedLogBox, window.DriveBox};
    window.DriveBox->setFocus();
    QList<QWidget*> chain{QApplication::focusWidget()};
    while (chain.size() < expected.size()) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      chain << QApplication::focusWidget();
    }
    QCOMPARE(chain, expected);
  }

  void EnterPressesTheFocusedButton() {
    int runs = 0;
    Window window(Services([&runs](const RunRequest&, RunFrontEnd& frontEnd) {
      ++runs;
      frontEnd.ShowInfo("/start/");
      return Outcome({1, 0, 0});
    }));
    QVERIFY(window.Show());
    QVERIFY(window.Activate());
    MessageAnswerer answerer;
    QTest::keyClick(window.GoButton, Qt::Key_Return);
    QCOMPARE(runs, 1);
    QVERIFY(window.Activate());
    QCOMPARE(QApplication::focusWidget(), window.CloseButton);
    QTest::keyClick(window.CloseButton, Qt::Key_Enter);
    QVERIFY(!window.form.isVisible());
  }

  void FileAndFolderChoicesResetTheCounters() {
    Window window(Services(FinishedRun({2, 1, 1})));
    QVERIFY(window.Show());
    MessageAnswerer answerer;
    window.GoButton->click();
    QCOMPARE(window.Counters(), (QStringList{"2", "1", "1"}));
    window.ClickFile(1);
    QCOMPARE(window.FileChoice->ItemIndex(), 0);
    QCOMPARE(window.FileListBox->SelectedNames(), QStringList{"notes.chi"});
    QCOMPARE(window.Counters(), (QStringList{"0", "0", "0"}));
    // Clicking the file that is already selected switches again.
    window.FileChoice->SetItemIndex(1);
    window.ClickFile(1);
    QCOMPARE(window.FileChoice->ItemIndex(), 0);

    window.GoButton->click();
    window.DoubleClickFolder("sub");
    QCOMPARE(window.DirListBox->Directory(), QDir::toNativeSeparators(folder_->filePath("sub")));
    QCOMPARE(window.DirListBox->currentItem()->text(), QStringLiteral("sub"));
    QCOMPARE(window.Files(), QStringList{"inner.chi"});
    QCOMPARE(window.Counters(), (QStringList{"0", "0", "0"}));
  }

  void GoHandsTheWindowsChoicesToTheRun() {
    std::vector<RunRequest> requests;
    Window window(Services([&requests](const RunRequest& request, RunFrontEnd&) {
      requests.push_back(request);
      return Outcome({});
    }));
    QVERIFY(window.Show());
    window.ClickFile(1);
    window.DetailedLogBox->setChecked(true);
    window.GoButton->click();
    window.FileChoice->Entry(2)->click();
    window.DetailedLogBox->setChecked(false);
    window.GoButton->click();

    QCOMPARE(requests.size(), 2u);
    QCOMPARE(QString::fromStdString(requests[0].directory),
             QDir::toNativeSeparators(folder_->path()));
    QCOMPARE(requests[0].choice, FileChoice::SingleFiles);
    QCOMPARE(requests[0].selectedFiles, std::vector<std::string>{"notes.chi"});
    QCOMPARE(requests[0].listedFiles.value(),
             (std::vector<std::string>{"LETTER.CHI", "notes.chi"}));
    QVERIFY(requests[0].detailedLog);
    QCOMPARE(requests[1].choice, FileChoice::CurrentAndSubFolders);
    QVERIFY(!requests[1].detailedLog);
  }

  // While the run goes on the counters are redrawn at most every 50 ms, each box that changed;
  // at its end they show the final values.
  void CountersAreRedrawnAtMostEveryFiftyMilliseconds() {
    using namespace std::chrono_literals;
    FakeClock clock;
    std::vector<PaintCounter*> paints;
    QStringList seen;
    Window* shown = nullptr;
    FormServices services = Services([&](const RunRequest&, RunFrontEnd& frontEnd) {
      frontEnd.ShowInfo("/start/");
      const int errorPaints = paints[2]->count;
      for (int errors = 1; errors <= 1000; ++errors) frontEnd.CountsChanged({0, 0, errors});
      seen << shown->Counters().join(' ');
      if (paints[2]->count != errorPaints) seen << "drawn too soon";
      QStringList previous = shown->Counters();
      for (const RunCounts& step : {RunCounts{0, 1, 1000}, RunCounts{1, 1, 1000}}) {
        clock.Advance(50ms);
        const int before[] = {paints[0]->count, paints[1]->count, paints[2]->count};
        frontEnd.CountsChanged(step);
        seen << shown->Counters().join(' ');
        for (int box = 0; box < 3; ++box) {
          if (shown->Counters()[box] != previous[box] && paints[box]->count == before[box]) {
            seen << "not repainted";
          }
        }
        previous = shown->Counters();
      }
      frontEnd.CountsChanged({2, 1, 1001});
      return Outcome({2, 1, 1001});
    });
    services.clock = clock.Source();
    Window window(std::move(services));
    shown = &window;
    PaintCounter converted(window.ConvertedBox), warnings(window.WarningBox),
        errors(window.ErrorBox);
    paints = {&converted, &warnings, &errors};
    QVERIFY(window.Show());
    MessageAnswerer answerer;
    window.GoButton->click();

    QCOMPARE(seen, (QStringList{"0 0 0", "0 1 1000", "1 1 1000"}));
    QCOMPARE(window.Counters(), (QStringList{"2", "1", "1001"}));
    QCOMPARE(answerer.Seen().size(), 1u);
    QCOMPARE(answerer.Seen()[0].title, QStringLiteral("Information"));
    QCOMPARE(answerer.Seen()[0].icon, QMessageBox::Information);
    QCOMPARE(answerer.Seen()[0].text, QStringLiteral("/start/"));
    QCOMPARE(answerer.Seen()[0].buttonCount, 1);
    // Getting the focus back from the information box is not an activation: the totals and
    // the focus on "Quit" stay.
    QVERIFY(window.Activate());
    QCOMPARE(window.Counters(), (QStringList{"2", "1", "1001"}));
    QCOMPARE(window.form.focusWidget(), window.CloseButton);
  }

  // Clicks and keys that arrive while the run goes on are dropped, not replayed after it; the
  // window is repainted meanwhile and cannot be closed.
  void InputDuringARunIsDiscarded() {
    using namespace std::chrono_literals;
    FakeClock clock;
    int runs = 0;
    int paintsDuringRun = 0;
    bool closedDuringRun = true;
    Window* shown = nullptr;
    PaintCounter* formPaints = nullptr;
    FormServices services = Services([&](const RunRequest&, RunFrontEnd& frontEnd) {
      ++runs;
      frontEnd.ShowInfo("/start/");
      QWidget& form = shown->form;
      QueueClick(form, shown->GoButton);
      QueueClick(form, shown->FileChoice->Entry(2));
      QueueClick(form, shown->FileListBox->viewport(),
                 shown->FileListBox->visualItemRect(shown->FileListBox->item(0)).center());
      QueueKey(form, Qt::Key_Return);
      const int paintsBefore = formPaints->count;
      form.update();  // what the closed information box leaves to repaint
      for (int file = 1; file <= 5; ++file) {
        clock.Advance(50ms);
        frontEnd.CountsChanged({file, 0, 0});
      }
      paintsDuringRun = formPaints->count - paintsBefore;
      closedDuringRun = form.close();
      return Outcome({5, 0, 0});
    });
    services.clock = clock.Source();
    Window window(std::move(services));
    shown = &window;
    PaintCounter paints(&window.form);
    formPaints = &paints;
    QVERIFY(window.Show());
    QVERIFY(window.Activate());
    MessageAnswerer answerer;
    window.GoButton->click();
    QTest::qWait(100);

    QCOMPARE(runs, 1);
    QCOMPARE(answerer.Seen().size(), 1u);
    QCOMPARE(window.FileChoice->ItemIndex(), 1);
    QVERIFY(window.FileListBox->SelectedNames().isEmpty());
    QVERIFY(paintsDuringRun > 0);
    QVERIFY(!closedDuringRun);
    QVERIFY(window.form.isVisible());
    QCOMPARE(window.Counters(), (QStringList{"5", "0", "0"}));
  }

  void FailureEndingTheRunShowsTheErrorBox() {
    int run = 0;
    Window window(Services([&](const RunRequest&, RunFrontEnd& frontEnd) -> RunOutcome {
      frontEnd.ShowInfo("/start/");
      frontEnd.CountsChanged({1, 0, 2});
      if (++run == 1) return Outcome({1, 0, 2}, "Disk full");
      frontEnd.FileStarted("/start/LETTER.CHI");
      if (run == 2) throw RunFailure("Integer overflow");
      return Outcome({3, 0, 0});
    }));
    QVERIFY(window.Show());
    MessageAnswerer answerer;
    // The box names what the run was at: the start directory, or the file being converted.
    for (const QString failure : {"The run stopped in /start/:\nDisk full",
                                  "The run stopped at /start/LETTER.CHI:\nInteger overflow"}) {
      window.GoButton->setFocus();
      window.GoButton->click();
      QCOMPARE(answerer.Seen().back().icon, QMessageBox::Critical);
      QCOMPARE(answerer.Seen().back().text, failure);
      QCOMPARE(answerer.Seen().back().buttonCount, 1);
      QVERIFY(window.Activate());
      QCOMPARE(window.Counters(), (QStringList{"1", "0", "2"}));
      QVERIFY(window.form.focusWidget() != window.CloseButton);
    }
    // The window is ready for the next run.
    window.GoButton->click();
    QCOMPARE(answerer.Seen().size(), 5u);
    QCOMPARE(window.Counters(), (QStringList{"3", "0", "0"}));
    QCOMPARE(window.form.focusWidget(), window.CloseButton);
    // Each box leaves room for its title beside four buttons of a title bar.
    for (const testing::SeenMessage& message : answerer.Seen()) {
      QFont bold = message.font;
      bold.setBold(true);
      const int room = QFontMetrics(bold).horizontalAdvance(message.title) + 4 * 24;
      QVERIFY2(message.picture.width() >= room, qPrintable(message.title));
    }
  }

  void DriveChoice() {
    QTemporaryDir ready, notReady;
    QVERIFY(testing::WriteFile(ready.filePath("ON_DISK.CHI")));
    Window window(Services(FinishedRun({4, 0, 0}), {"/", ready.path(), notReady.path()},
                           [&](const QString& root) { return root != notReady.path(); }));
    QVERIFY(window.Show());
    window.DriveBox->setCurrentIndex(window.DriveBox->findData(ready.path()));
    QCOMPARE(window.DirListBox->Directory(), QDir::toNativeSeparators(ready.path()));
    QCOMPARE(window.Files(), QStringList{"ON_DISK.CHI"});
    // Each drive keeps its own current directory.
    window.DriveBox->setCurrentIndex(window.DriveBox->findData("/"));
    QCOMPARE(window.DirListBox->Directory(), QDir::toNativeSeparators(folder_->path()));

    MessageAnswerer answerer;
    window.GoButton->click();
    window.DriveBox->setCurrentIndex(window.DriveBox->findData(notReady.path()));
    QCOMPARE(answerer.Seen().size(), 2u);
    const testing::SeenMessage& warning = answerer.Seen().back();
    QCOMPARE(warning.title, QStringLiteral("Warning"));
    QCOMPARE(warning.icon, QMessageBox::Warning);
    QCOMPARE(warning.text, QStringLiteral("\rThe selected drive or device is not ready"));
    QCOMPARE(warning.buttonCount, 1);
    warning.picture.save(ScreenshotPath(QStringLiteral("drive_not_ready.png")));
    QCOMPARE(window.DriveBox->currentData().toString(), QStringLiteral("/"));
    QCOMPARE(window.DirListBox->Directory(), QDir::toNativeSeparators(folder_->path()));
    QCOMPARE(window.Counters(), (QStringList{"0", "0", "0"}));
  }

  // Coming back from another program leaves the totals and the focus; coming back from another
  // window of the program is an activation.
  void ActivationResetsTheCounters() {
    Window window(Services(FinishedRun({5, 6, 7})));
    QVERIFY(window.Show());
    MessageAnswerer answerer;
    window.GoButton->click();
    QCOMPARE(window.Counters(), (QStringList{"5", "6", "7"}));
    window.form.FocusWindowChanged(nullptr);
    window.form.FocusWindowChanged(window.form.windowHandle());
    QCOMPARE(window.Counters(), (QStringList{"5", "6", "7"}));
    QCOMPARE(window.form.focusWidget(), window.CloseButton);
    // Another window takes over, then the main window is activated again.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(window.Activate());
    QCOMPARE(window.Counters(), (QStringList{"0", "0", "0"}));
    QCOMPARE(window.form.focusWidget(), window.GoButton);
  }

  void ADriveListOpenedAndClosedChangesNothing() {
    Window window(Services(FinishedRun({5, 6, 7})));
    QVERIFY(window.Show());
    MessageAnswerer answerer;
    window.GoButton->click();
    QVERIFY(window.Activate());
    window.DriveBox->setFocus();
    window.DriveBox->showPopup();
    QWidget* popup = window.DriveBox->view()->window();
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QTest::keyClick(window.DriveBox->view(), Qt::Key_Escape);
    QTRY_VERIFY(!popup->isVisible());
    // The window manager gives the focus back to the window.
    QVERIFY(window.Activate());
    QCOMPARE(window.Counters(), (QStringList{"5", "6", "7"}));
    QCOMPARE(window.form.focusWidget(), window.DriveBox);
  }

  // The drives come from the mount table, read again whenever the list opens. The directory list
  // starts at the chosen drive's root, the drive box follows the directory onto another volume,
  // and a volume unmounted since is not ready.
  void DrivesFollowTheMountTable() {
    QTemporaryDir usb;
    QVERIFY(QDir(usb.path()).mkpath("letters/card"));
    QVERIFY(testing::WriteFile(usb.filePath("letters/card/A.CHI")));
    const auto mountLine = [](const QString& path, const char* device) {
      return "40 27 " + QByteArray(device) + " / " + QFile::encodeName(path) + " rw - vfat " +
             "/dev/" + QByteArray(device).replace(':', '_') + " rw\n";
    };
    const QByteArray system =
        "27 1 254:0 / / rw - ext4 /dev/vda1 rw\n22 27 0:21 / /proc rw - proc proc rw\n";
    QByteArray table = system + mountLine(usb.path(), "8:17");
    FormServices services = Services(FinishedRun({}));
    services.drives = SystemDrives([&table] { return table; });
    Window window(std::move(services));
    QVERIFY(window.Show());
    const auto drives = [&window] {
      QStringList roots;
      for (int i = 0; i < window.DriveBox->count(); ++i) {
        roots << window.DriveBox->itemData(i).toString();
      }
      return roots;
    };
    QCOMPARE(drives(), (QStringList{"/", usb.path()}));

    window.DriveBox->setCurrentIndex(1);
    QCOMPARE(window.DirListBox->item(0)->text(), QDir::toNativeSeparators(usb.path()));
    QCOMPARE(window.DirListBox->Directory(), QDir::toNativeSeparators(usb.path()));
    window.DoubleClickFolder("letters");

    const QString card = usb.filePath("letters/card");
    table += mountLine(card, "8:33");
    window.DriveBox->showPopup();
    window.DriveBox->hidePopup();
    QCOMPARE(drives(), (QStringList{"/", usb.path(), card}));
    window.DoubleClickFolder("card");
    QCOMPARE(window.DriveBox->currentData().toString(), card);
    QCOMPARE(window.DirListBox->item(0)->text(), QDir::toNativeSeparators(card));
    QCOMPARE(window.Files(), QStringList{"A.CHI"});

    table = system + mountLine(card, "8:33");
    MessageAnswerer answerer;
    window.DriveBox->setCurrentIndex(window.DriveBox->findData(usb.path()));
    QCOMPARE(answerer.Seen().size(), 1u);
    QCOMPARE(answerer.Seen()[0].text,
             QStringLiteral("\rThe selected drive or device is not ready"));
    QCOMPARE(window.DriveBox->currentData().toString(), QStringLiteral("/"));
    QCOMPARE(window.DirListBox->Directory(), QDir::toNativeSeparators(folder_->path()));
  }

  // A file added outside the window after the list was shown is not converted; a file deleted
  // since leaves no output, and is named where the run tells of it.
  void WhatIsShownIsWhatIsConverted() {
    Window window(Services(RunConversion));
    QVERIFY(window.Show());
    const QDir dir(folder_->path());
    QVERIFY(testing::WriteFile(dir.filePath("ADDED.CHI"), SmallDocument("Added later.")));
    QVERIFY(QFile::remove(dir.filePath("LETTER.CHI")));
    MessageAnswerer answerer;
    window.GoButton->click();
    QVERIFY(!dir.exists("ADDED.rtf"));
    QVERIFY(!dir.exists("LETTER.rtf"));
    // The vanished file is named in the log, and the run goes on to its end.
    QFile log(dir.filePath("Pomvex.Log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY(text.contains("  LETTER.CHI\r\n    Error: Cannot read file: "));
    QVERIFY(text.contains("*** Finished converting"));
    QCOMPARE(answerer.Seen().size(), 1u);  // the information box, and no error box
    QCOMPARE(window.form.focusWidget(), window.CloseButton);
  }

  // Names that are not UTF-8 (Latin-1, from a DOS disk), of a folder and of a document in it,
  // are shown readably and kept byte for byte: the document is converted.
  void NamesThatAreNotUtf8AreShownAndConverted() {
    const std::string folder = QFile::encodeName(folder_->path()).toStdString() + "/DISK \xC9T\xC9";
    // Removed here: the toolkit's temporary folder cannot remove what it cannot name.
    const std::unique_ptr<const std::string, void (*)(const std::string*)> removal(
        &folder, [](const std::string* path) {
          std::error_code ignored;
          std::filesystem::remove_all(*path, ignored);
        });
    QVERIFY(std::filesystem::create_directory(folder));
    std::ofstream(folder + "/R\xC9SUM\xC9.CHI", std::ios::binary)
        << SmallDocument("Vita.").toStdString();
    Window window(Services(RunConversion));
    QVERIFY(window.Show());
    window.DoubleClickFolder(QString::fromUtf8("DISK \u00C9T\u00C9"));
    QCOMPARE(window.Files(), QStringList{QString::fromUtf8("R\u00C9SUM\u00C9.CHI")});
    MessageAnswerer answerer;
    window.GoButton->click();
    QCOMPARE(answerer.Seen().size(), 1u);
    QCOMPARE(answerer.Seen()[0].text, folder_->path() + QString::fromUtf8("/DISK \u00C9T\u00C9/"));
    QVERIFY(std::filesystem::exists(folder + "/R\xC9SUM\xC9.rtf"));
    std::ifstream log(folder + "/Pomvex.Log", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(log), {}};
    QVERIFY(text.find("\r\n  R\xC9SUM\xC9.CHI\r\n*** Finished converting 1 files") !=
            std::string::npos);
  }

  void GoConvertsTheDocumentsOfTheDirectory() {
    Window window(Services(RunConversion));
    QVERIFY(window.Show());
    const QDir dir(folder_->path());
    QStringList presentAtInfo;
    MessageAnswerer answerer([&](const testing::SeenMessage&) {
      presentAtInfo = dir.entryList({"*.rtf", "*.Log"});
    });
    window.GoButton->click();
    window.form.grab().save(ScreenshotPath(QStringLiteral("main_window.png")));

    QCOMPARE(answerer.Seen().size(), 1u);
    QCOMPARE(answerer.Seen()[0].title, QStringLiteral("Information"));
    QCOMPARE(answerer.Seen()[0].text, folder_->path() + '/');
    QVERIFY2(presentAtInfo.isEmpty(), qPrintable(presentAtInfo.join(' ')));
    QVERIFY(dir.exists("LETTER.rtf") && dir.exists("notes.rtf") && !dir.exists("sub/inner.rtf"));
    QFile log(dir.filePath("Pomvex.Log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString summary =
        QString::fromLatin1(log.readAll()).split("\r\n").filter("*** Finished converting").value(0);
    QCOMPARE(summary, QStringLiteral("*** Finished converting %1 files with %2 error(s) and %3 "
                                     "warning(s). ***")
                          .arg(window.ConvertedBox->text(), window.ErrorBox->text(),
                               window.WarningBox->text()));
    QCOMPARE(window.ConvertedBox->text(), QStringLiteral("2"));
    QCOMPARE(window.form.focusWidget(), window.CloseButton);
  }

 private:
  std::unique_ptr<QTemporaryDir> folder_;
  QString previousDir_;
};

}  // namespace pomvex

QTEST_MAIN(pomvex::MainFormTest)
#include "main_form_test.moc"
