// Helpers for the window's tests: an answerer that closes the message boxes the window opens,
// recording what each showed, the tooltip over a list entry, and the writing of test files.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QToolTip>
#include <functional>
#include <vector>

namespace pomvex::testing {

struct SeenMessage {
  QMessageBox::Icon icon;
  QString title;
  QString text;
  int buttonCount;
  QPixmap picture;
  QFont font;
};

// Watches for a modal message box and presses its OK button, so no test waits on a person.
// onMessage runs while the box is still open: the moment to check what has happened so far.
class MessageAnswerer {
 public:
  explicit MessageAnswerer(std::function<void(const SeenMessage&)> onMessage = {})
      : onMessage_(std::move(onMessage)) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
    timer_.start();
  }

  const std::vector<SeenMessage>& Seen() const { return seen_; }

 private:
  void Answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || box == answered_) return;
    answered_ = box;
    const SeenMessage message{box->icon(), box->windowTitle(),
                              box->text(), static_cast<int>(box->buttons().size()),
                              box->grab(), box->font()};
    seen_.push_back(message);
    if (onMessage_) onMessage_(message);
    box->button(QMessageBox::Ok)->click();
  }

  std::function<void(const SeenMessage&)> onMessage_;
  std::vector<SeenMessage> seen_;
  QPointer<QMessageBox> answered_;
  QTimer timer_;
};

// The tooltip a list shows over one of its entries ("" for none).
inline QString TooltipOver(QListWidget& list, int row) {
  QToolTip::hideText();
  const QPoint place = list.visualItemRect(list.item(row)).center();
  QHelpEvent event(QEvent::ToolTip, place, list.viewport()->mapToGlobal(place));
  QApplication::sendEvent(list.viewport(), &event);
  return QToolTip::isVisible() ? QToolTip::text() : QString();
}

inline bool WriteFile(const QString& path, const QByteArray& bytes = {}) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace pomvex::testing
