// The list and choice controls of the main window: a directory list that shows the path down
// to its directory and that directory's sub-folders, a file list of "*.chi" files, and a group
// of radio buttons that gives and takes the index of its chosen entry.
#pragma once

#include <QGroupBox>
#include <QListWidget>
#include <QString>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace pomvex {

// The root, each directory on the path down to the current one, then the current directory's
// sub-folders (hidden ones left out) sorted by name without regard to case. The current
// directory is the current entry. Double-click (or Return) on an entry asks for it to become
// the current directory; the window decides, so the list itself never changes on its own.
class DirectoryList : public QListWidget {
  Q_OBJECT

 public:
  // The absolute path of an entry ("/" separators).
  static constexpr int kPathRole = Qt::UserRole;
  // How far an entry is indented: 0 for the root, one more for every level below.
  static constexpr int kLevelRole = Qt::UserRole + 1;

  explicit DirectoryList(QWidget* parent = nullptr);

  // Points the list at dir (absolute) and shows it.
  void SetDirectory(const QString& dir);
  // The current directory with native separators, without a trailing separator except for a
  // root ("/", "C:\").
  QString Directory() const;
  void Refresh();

 signals:
  void DirectoryChosen(const QString& dir);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QString directory_;  // absolute, "/" separators, cleaned
};

// The ordinary files of a directory that match "*.chi" in any case, hidden ones left out,
// sorted by name without regard to case; several can be selected at once. Reports every click
// and every change of selection made by the user.
class FileList : public QListWidget {
  Q_OBJECT

 public:
  explicit FileList(QWidget* parent = nullptr);

  // Points the list at dir (absolute) and shows its files.
  void SetDirectory(const QString& dir);
  QString Directory() const { return directory_; }
  void Refresh();
  // The names of the selected entries, in list order.
  QStringList SelectedNames() const;

 signals:
  void Clicked();

 private:
  QString directory_;
};

// A titled group of radio buttons, exactly one chosen, addressed by index.
class RadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  RadioGroup(const QString& title, const QStringList& entries, QWidget* parent = nullptr);

  int ItemIndex() const;
  void SetItemIndex(int index);
  QRadioButton* Entry(int index) const;
  int EntryCount() const;

 private:
  QButtonGroup* buttons_;
};

}  // namespace pomvex
