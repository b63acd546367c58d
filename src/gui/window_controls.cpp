// The directory list, file list and radio group of the main window. Listings come from the
// core's folder listing, so the window shows the files and folders in the order a run takes.
#include "window_controls.h"

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "app/folder_listing.h"
#include "base/reporting.h"

namespace pomvex {

namespace {

constexpr int kItemHeight = 16;
constexpr int kIndentStep = 10;

// Draws entries at a fixed height, indented by their level.
class ListEntryDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(kItemHeight);
    return size;
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem indented(option);
    indented.rect.setLeft(option.rect.left() +
                          kIndentStep * index.data(DirectoryList::kLevelRole).toInt());
    QStyledItemDelegate::paint(painter, indented, index);
  }
};

std::string ToLocalPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString FromLocalName(const std::string& name) {
  return QFile::decodeName(QByteArray::fromStdString(name));
}

// A folder that cannot be read shows no entries, as an empty folder would.
template <typename Listing>
std::vector<std::string> ListOrNothing(Listing listing) {
  try {
    return listing();
  } catch (const RunFailure&) {
    return {};
  }
}

// The directories from the root down to dir, the root first.
QStringList PathDownTo(const QString& dir) {
  QStringList chain{dir};
  for (QString parent = QFileInfo(dir).path(); parent != chain.front();
       parent = QFileInfo(parent).path()) {
    chain.prepend(parent);
  }
  return chain;
}

void SetUpList(QListWidget* list) {
  list->setItemDelegate(new ListEntryDelegate(list));
  list->setUniformItemSizes(true);
  list->setIconSize(QSize(kItemHeight - 2, kItemHeight - 2));
}

}  // namespace

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
  SetUpList(this);
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    emit DirectoryChosen(item->data(kPathRole).toString());
  });
}

void DirectoryList::SetDirectory(const QString& dir) {
  directory_ = QDir::cleanPath(QDir(dir).absolutePath());
  Refresh();
}

QString DirectoryList::Directory() const {
  return QDir::toNativeSeparators(directory_);
}

void DirectoryList::Refresh() {
  const QSignalBlocker blocker(this);
  clear();
  const QStringList chain = PathDownTo(directory_);
  for (int level = 0; level < chain.size(); ++level) {
    const bool isRoot = level == 0;
    auto* item = new QListWidgetItem(
        style()->standardIcon(isRoot ? QStyle::SP_DriveHDIcon : QStyle::SP_DirOpenIcon),
        isRoot ? QDir::toNativeSeparators(chain[level]) : QFileInfo(chain[level]).fileName(), this);
    item->setData(kPathRole, chain[level]);
    item->setData(kLevelRole, level);
  }
  setCurrentRow(static_cast<int>(chain.size()) - 1);
  const QDir current(directory_);
  for (const std::string& name :
       ListOrNothing([this] { return ListSubFolders(ToLocalPath(directory_)); })) {
    const QString folder = FromLocalName(name);
    auto* item = new QListWidgetItem(style()->standardIcon(QStyle::SP_DirClosedIcon), folder, this);
    item->setData(kPathRole, current.filePath(folder));
    item->setData(kLevelRole, static_cast<int>(chain.size()));
  }
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
    emit DirectoryChosen(currentItem()->data(kPathRole).toString());
    return;
  }
  QListWidget::keyPressEvent(event);
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
  SetUpList(this);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  connect(this, &QListWidget::itemClicked, this, &FileList::Clicked);
  connect(this, &QListWidget::itemSelectionChanged, this, &FileList::Clicked);
}

void FileList::SetDirectory(const QString& dir) {
  directory_ = QDir::cleanPath(QDir(dir).absolutePath());
  Refresh();
}

void FileList::Refresh() {
  const QSignalBlocker blocker(this);
  clear();
  for (const std::string& name :
       ListOrNothing([this] { return ListFiles(ToLocalPath(directory_), true); })) {
    addItem(FromLocalName(name));
  }
}

QStringList FileList::SelectedNames() const {
  QStringList names;
  for (int row = 0; row < count(); ++row) {
    if (item(row)->isSelected()) names << item(row)->text();
  }
  return names;
}

RadioGroup::RadioGroup(const QString& title, const QStringList& entries, QWidget* parent)
    : QGroupBox(title, parent), buttons_(new QButtonGroup(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(3, 2, 1, 2);
  layout->setSpacing(0);
  for (int index = 0; index < entries.size(); ++index) {
    auto* entry = new QRadioButton(entries[index], this);
    buttons_->addButton(entry, index);
    layout->addWidget(entry);
  }
}

int RadioGroup::ItemIndex() const {
  return buttons_->checkedId();
}

void RadioGroup::SetItemIndex(int index) {
  if (QAbstractButton* entry = buttons_->button(index)) entry->setChecked(true);
}

QRadioButton* RadioGroup::Entry(int index) const {
  return qobject_cast<QRadioButton*>(buttons_->button(index));
}

int RadioGroup::EntryCount() const {
  return static_cast<int>(buttons_->buttons().size());
}

}  // namespace pomvex
