// The list and choice controls of the main window: a drive selector that reads the drives again
// whenever it opens, a directory list that shows the path from its drive's root down to its
// directory and that directory's sub-folders, a file list of "*.chi" files, and a group of radio
// buttons that gives and takes the index of its chosen entry.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

class QButtonGroup;
class QRadioButton;

namespace pomvex {

// File and folder names between the system's bytes and the window's text. A name that is not
// UTF-8 (a Latin-1 name from a DOS disk) keeps its bytes: each byte that is no part of a UTF-8
// character goes as a character of its own (U+DC80 to U+DCFF) and comes back as the same byte.
QString FromLocalName(std::string_view name);
std::string ToLocalName(const QString& name);
// Paths between the window's lists (which take "/" separators) and the system (its own
// separators), every byte of a name kept: the path as the system names it, as the window shows
// it, and as the lists take it.
std::string ToLocalPath(const QString& path);
QString FromLocalPath(std::string_view path);
QString ListPath(std::string_view path);
// A text as the window shows it: each byte that is no part of a UTF-8 character read as Latin-1.
QString ShownText(const QString& text);
// A name or path as the window shows it: the same, and every character that cannot be shown (a
// control character) as "?".
QString ShownName(const QString& name);

// A drop-down list of drives that says when it is about to open, so that its entries can be
// read again first.
class DriveSelector : public QComboBox {
  Q_OBJECT

 public:
  using QComboBox::QComboBox;
  void showPopup() override;

 signals:
  void Opening();
};

// The drive's root, each directory on the path down to the current one, then the current
// directory's sub-folders (hidden ones left out, folders reached through a link included) sorted
// by name without regard to case. The current directory is the current entry. Double-click (or
// Return) on an entry asks for it to become the current directory; the window decides, so the
// list itself never changes on its own. Deep paths scroll sideways so that the current folder's
// name stays readable; a name that is cut shows whole in a tooltip.
class DirectoryList : public QListWidget {
  Q_OBJECT

 public:
  // The absolute path of an entry ("/" separators).
  static constexpr int kPathRole = Qt::UserRole;
  // How far an entry is indented: 0 for the root, one more for every level below.
  static constexpr int kLevelRole = Qt::UserRole + 1;

  explicit DirectoryList(QWidget* parent = nullptr);

  // Points the list at dir (absolute) and shows it from root (the drive's root) down; a dir that
  // does not lie under root is shown from the file system's root.
  void SetDirectory(const QString& dir, const QString& root = QString());
  // The current directory with native separators, without a trailing separator except for a
  // root ("/", "C:\").
  QString Directory() const;
  // The current directory and the root, absolute with "/" separators.
  QString DirectoryPath() const { return directory_; }
  QString Root() const { return root_; }
  void Refresh();

 signals:
  void DirectoryChosen(const QString& dir);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  void updateGeometries() override;

 private:
  // How far the list is scrolled sideways to show the current folder and its sub-folders.
  int RevealedOffset();

  QString directory_;  // absolute, "/" separators, cleaned
  QString root_;       // the same, at or above directory_
  int directoryRow_ = -1;
  int widestBelow_ = -1;  // the widest entry from the current folder down; -1 when not known
};

// The ordinary files of a directory that match "*.chi" in any case, hidden ones left out,
// sorted by name without regard to case; several can be selected at once. Reports every click
// and every change of selection made by the user. A name cut with "..." shows whole in a
// tooltip.
class FileList : public QListWidget {
  Q_OBJECT

 public:
  // The name of an entry, as FromLocalName gives it.
  static constexpr int kNameRole = Qt::UserRole;

  explicit FileList(QWidget* parent = nullptr);

  // Points the list at dir (absolute) and shows its files.
  void SetDirectory(const QString& dir);
  QString Directory() const { return directory_; }
  // Reads the directory again; the files still there stay selected.
  void Refresh();
  // The names of all entries, and of the selected ones, in list order.
  QStringList Names() const;
  QStringList SelectedNames() const;

 signals:
  void Clicked();

 private:
  QString directory_;
};

// A titled group of radio buttons, exactly one chosen, addressed by index. The group is one stop
// of the tab order: tabbing into it lands on the chosen entry; the arrow keys move the choice.
class RadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  RadioGroup(const QString& title, const QStringList& entries, QWidget* parent = nullptr);

  int ItemIndex() const;
  void SetItemIndex(int index);
  QRadioButton* Entry(int index) const;
  int EntryCount() const;

 private:
  void KeepTabOnChosen();

  QButtonGroup* buttons_;
};

}  // namespace pomvex
