// The drive selector, directory list, file list and radio group of the main window. Listings
// come from the core's folder listing, so the window shows the files and folders in the order a
// run takes.
#include "window_controls.h"

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "app/folder_listing.h"
#include "base/reporting.h"

namespace pomvex {

namespace {

constexpr int kItemHeight = 16;
constexpr int kIndentStep = 10;

int Indent(const QModelIndex& index) {
  return kIndentStep * index.data(DirectoryList::kLevelRole).toInt();
}

// Draws entries at a fixed height, indented by their level. In a list that scrolls sideways an
// entry is as wide as its indentation and text; otherwise as wide as the list, a long name cut
// with "...". A name that does not show whole has it in a tooltip.
class ListEntryDelegate : public QStyledItemDelegate {
 public:
  ListEntryDelegate(QObject* parent, bool scrollsSideways)
      : QStyledItemDelegate(parent), scrollsSideways_(scrollsSideways) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(kItemHeight);
    size.setWidth(scrollsSideways_ ? Indent(index) + size.width() : 0);
    return size;
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, Indented(option, index), index);
  }

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event->type() == QEvent::ToolTip && index.isValid() &&
        IsCut(Indented(option, index), index, view)) {
      QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view);
      return true;
    }
    // Otherwise the list's own hint.
    return QStyledItemDelegate::helpEvent(event, view, option, index);
  }

 private:
  static QStyleOptionViewItem Indented(const QStyleOptionViewItem& option,
                                       const QModelIndex& index) {
    QStyleOptionViewItem indented(option);
    indented.rect.setLeft(option.rect.left() + Indent(index));
    return indented;
  }

  // Whether the text is shortened, or runs past either edge of the visible part of the list.
  bool IsCut(const QStyleOptionViewItem& indented, const QModelIndex& index,
             const QAbstractItemView* view) const {
    QStyleOptionViewItem item(indented);
    initStyleOption(&item, index);
    const QStyle* style = view->style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const int left = textRect.left() + margin;
    const int right = left + item.fontMetrics.horizontalAdvance(item.text);
    return right > textRect.right() + 1 - margin || left < 0 || right > view->viewport()->width();
  }

  bool scrollsSideways_;
};

// Windows draws a radio button's text close to its circle; the toolkit's wider gap would leave
// no room for "Current & Sub-Folders" at the group's width.
class CompactRadioStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_RadioButtonLabelSpacing) return 2;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

// A folder that cannot be read shows no entries, as an empty folder would.
template <typename Listing>
std::vector<std::string> ListOrNothing(Listing listing) {
  try {
    return listing();
  } catch (const RunFailure&) {
    return {};
  }
}

bool LiesUnder(const QString& path, const QString& root) {
  return path == root || path.startsWith(root.endsWith('/') ? root : root + '/');
}

// The directories from root down to dir, root first; from the file system's root when root is
// empty.
QStringList PathDownTo(const QString& dir, const QString& root) {
  QStringList chain{dir};
  while (chain.front() != root) {
    const QString parent = QFileInfo(chain.front()).path();
    if (parent == chain.front()) break;  // the file system's root
    chain.prepend(parent);
  }
  return chain;
}

void SetUpList(QListWidget* list, bool scrollsSideways) {
  list->setItemDelegate(new ListEntryDelegate(list, scrollsSideways));
  list->setUniformItemSizes(!scrollsSideways);
  list->setIconSize(QSize(kItemHeight - 2, kItemHeight - 2));
  list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  if (!scrollsSideways) list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

// The code point of the UTF-8 character at text[i] and its length in bytes; a length of 0 when
// no character begins there (a stray byte, an overlong or cut-off sequence, a surrogate, a code
// point beyond U+10FFFF).
std::pair<char32_t, std::size_t> Utf8CharAt(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return {lead, 1};
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || i + length > text.size()) return {0, 0};
  char32_t code = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return {0, 0};
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {0, 0};
  return {code, length};
}

constexpr char16_t kByteEscape = 0xDC00;  // + a byte from 0x80 to 0xFF

void AppendUtf8(std::string& out, char32_t code) {
  const auto put = [&out](char32_t bits) { out += static_cast<char>(bits); };
  if (code < 0x80) {
    put(code);
  } else if (code < 0x800) {
    put(0xC0 | code >> 6);
    put(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    put(0xE0 | code >> 12);
    put(0x80 | ((code >> 6) & 0x3F));
    put(0x80 | (code & 0x3F));
  } else {
    put(0xF0 | code >> 18);
    put(0x80 | ((code >> 12) & 0x3F));
    put(0x80 | ((code >> 6) & 0x3F));
    put(0x80 | (code & 0x3F));
  }
}

}  // namespace

QString FromLocalName(std::string_view name) {
  QString text;
  text.reserve(static_cast<qsizetype>(name.size()));
  for (std::size_t i = 0; i < name.size();) {
    const auto [code, length] = Utf8CharAt(name, i);
    if (length == 0) {
      text += QChar(static_cast<char16_t>(kByteEscape + static_cast<unsigned char>(name[i])));
      ++i;
      continue;
    }
    if (code > 0xFFFF) {
      text += QChar(QChar::highSurrogate(code));
      text += QChar(QChar::lowSurrogate(code));
    } else {
      text += QChar(static_cast<char16_t>(code));
    }
    i += length;
  }
  return text;
}

std::string ToLocalName(const QString& name) {
  std::string bytes;
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char16_t unit = name[i].unicode();
    if (unit >= kByteEscape + 0x80 && unit <= kByteEscape + 0xFF) {
      bytes += static_cast<char>(unit - kByteEscape);
      continue;
    }
    char32_t code = unit;
    if (QChar::isHighSurrogate(unit) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
      code = QChar::surrogateToUcs4(unit, name[++i].unicode());
    }
    AppendUtf8(bytes, code);
  }
  return bytes;
}

std::string ToLocalPath(const QString& path) {
  return ToLocalName(QDir::toNativeSeparators(path));
}

QString FromLocalPath(std::string_view path) {
  return QDir::toNativeSeparators(FromLocalName(path));
}

QString ListPath(std::string_view path) {
  return QDir::fromNativeSeparators(FromLocalPath(path));
}

QString ShownText(const QString& text) {
  QString shown = text;
  for (qsizetype i = 0; i < shown.size(); ++i) {
    const char16_t code = shown[i].unicode();
    if (QChar::isHighSurrogate(code)) {
      ++i;  // the low surrogate after it is the rest of its character
    } else if (code >= kByteEscape + 0x80 && code <= kByteEscape + 0xFF) {
      shown[i] = QChar(code - kByteEscape);
    }
  }
  return shown;
}

QString ShownName(const QString& name) {
  QString shown = ShownText(name);
  for (QChar& c : shown) {
    const char16_t code = c.unicode();
    if (code < 0x20 || (code >= 0x7F && code < 0xA0)) c = QLatin1Char('?');
  }
  return shown;
}

void DriveSelector::showPopup() {
  emit Opening();
  QComboBox::showPopup();
}

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
  SetUpList(this, true);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    emit DirectoryChosen(item->data(kPathRole).toString());
  });
}

void DirectoryList::SetDirectory(const QString& dir, const QString& root) {
  directory_ = QDir::cleanPath(QDir(dir).absolutePath());
  root_ = root.isEmpty() ? QString() : QDir::cleanPath(QDir(root).absolutePath());
  if (root_.isEmpty() || !LiesUnder(directory_, root_)) root_ = PathDownTo(directory_, {}).front();
  Refresh();
}
QString DirectoryList::Directory() const {
  return QDir::toNativeSeparators(directory_);
}

void DirectoryList::Refresh() {
  const QSignalBlocker blocker(this);
  clear();
  const QStringList chain = PathDownTo(directory_, root_);
  for (int level = 0; level < chain.size(); ++level) {
    const bool isRoot = level == 0;
    auto* item = new QListWidgetItem(
        style()->standardIcon(isRoot ? QStyle::SP_DriveHDIcon : QStyle::SP_DirOpenIcon),
        ShownName(isRoot ? QDir::toNativeSeparators(chain[level])
                         : QFileInfo(chain[level]).fileName()),
        this);
    item->setData(kPathRole, chain[level]);
    item->setData(kLevelRole, level);
  }
  directoryRow_ = static_cast<int>(chain.size()) - 1;
  setCurrentRow(directoryRow_);
  const QDir current(directory_);
  for (const std::string& name :
       ListOrNothing([this] { return ListSubFoldersAndLinks(ToLocalName(directory_)); })) {
    const QString folder = FromLocalName(name);
    auto* item = new QListWidgetItem(style()->standardIcon(QStyle::SP_DirClosedIcon),
                                     ShownName(folder), this);
    item->setData(kPathRole, current.filePath(folder));
    item->setData(kLevelRole, static_cast<int>(chain.size()));
  }
  widestBelow_ = -1;
}

int DirectoryList::RevealedOffset() {
  if (directoryRow_ < 0 || directoryRow_ >= count()) return 0;
  if (widestBelow_ < 0) {
    widestBelow_ = 0;
    for (int row = directoryRow_; row < count(); ++row) {
      widestBelow_ = std::max(widestBelow_, sizeHintForIndex(indexFromItem(item(row))).width());
    }
  }
  // Far enough for the current folder and its sub-folders to show whole, but never so far that
  // the current folder's name begins out of sight.
  const int wanted = widestBelow_ + 2 - viewport()->width();
  const int furthest = kIndentStep * directoryRow_ + iconSize().width();
  return std::clamp(wanted, 0, std::max(0, furthest));
}

void DirectoryList::scrollTo(const QModelIndex& index, ScrollHint hint) {
  QListWidget::scrollTo(index, hint);
  horizontalScrollBar()->setValue(RevealedOffset());
}

void DirectoryList::updateGeometries() {
  QListWidget::updateGeometries();
  // As many of the current folder's sub-folders as fit below it, the current folder in sight.
  const int below = count() * kItemHeight - viewport()->height();
  verticalScrollBar()->setValue(std::clamp(below, 0, std::max(0, directoryRow_ * kItemHeight)));
  horizontalScrollBar()->setValue(RevealedOffset());
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
    emit DirectoryChosen(currentItem()->data(kPathRole).toString());
    return;
  }
  QListWidget::keyPressEvent(event);
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
  SetUpList(this, false);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  connect(this, &QListWidget::itemClicked, this, &FileList::Clicked);
  connect(this, &QListWidget::itemSelectionChanged, this, &FileList::Clicked);
}

void FileList::SetDirectory(const QString& dir) {
  directory_ = QDir::cleanPath(QDir(dir).absolutePath());
  const QSignalBlocker blocker(this);
  clear();
  Refresh();
}

void FileList::Refresh() {
  const QSignalBlocker blocker(this);
  const QStringList selectedNames = SelectedNames();
  const QSet<QString> selected(selectedNames.begin(), selectedNames.end());
  clear();
  for (const std::string& name :
       ListOrNothing([this] { return ListFiles(ToLocalName(directory_), true); })) {
    const QString kept = FromLocalName(name);
    auto* entry = new QListWidgetItem(ShownName(kept), this);
    entry->setData(kNameRole, kept);
    entry->setSelected(selected.contains(kept));
  }
}

QStringList FileList::Names() const {
  QStringList names;
  for (int row = 0; row < count(); ++row) names << item(row)->data(kNameRole).toString();
  return names;
}

QStringList FileList::SelectedNames() const {
  QStringList names;
  for (int row = 0; row < count(); ++row) {
    if (item(row)->isSelected()) names << item(row)->data(kNameRole).toString();
  }
  return names;
}

RadioGroup::RadioGroup(const QString& title, const QStringList& entries, QWidget* parent)
    : QGroupBox(title, parent), buttons_(new QButtonGroup(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 2, 0, 2);
  layout->setSpacing(0);
  for (int index = 0; index < entries.size(); ++index) {
    auto* entry = new QRadioButton(entries[index], this);
    buttons_->addButton(entry, index);
    layout->addWidget(entry);
  }
  // Created after the entries, so that it is deleted after them.
  auto* compact = new CompactRadioStyle;
  compact->setParent(this);
  for (QAbstractButton* entry : buttons_->buttons()) entry->setStyle(compact);
  connect(buttons_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) KeepTabOnChosen();
  });
}

// Only the chosen entry is a tab stop; the others take the focus by click or arrow key.
void RadioGroup::KeepTabOnChosen() {
  for (QAbstractButton* entry : buttons_->buttons()) {
    entry->setFocusPolicy(entry->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
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
