#include "run_progress.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <utility>

namespace pomvex {

namespace {

// Mouse, key, wheel, touch and tablet input, and what the toolkit makes of it.
bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::InputMethod:
      return true;
    default:
      return false;
  }
}

}  // namespace

RunProgress::RunProgress(SteadyClock clock, std::function<void(const std::string&)> showInfo,
                         std::function<void(const RunCounts&)> showCounts)
    : clock_(std::move(clock)),
      showInfo_(std::move(showInfo)),
      showCounts_(std::move(showCounts)) {}

RunProgress::~RunProgress() {
  StopDiscarding();
}

void RunProgress::ShowInfo(const std::string& text) {
  startDir_ = text;
  showInfo_(text);
  // From here on the run converts: input is dropped, and the window where the box stood is
  // repainted at once.
  discarding_ = true;
  QCoreApplication::instance()->installEventFilter(this);
  Redraw();
}

void RunProgress::CountsChanged(const RunCounts& counts) {
  counts_ = counts;
  // Before the start directory is shown (the counters set to 0), they are drawn at once.
  if (!discarding_) {
    showCounts_(counts_);
    return;
  }
  RedrawWhenDue();
}

void RunProgress::FileStarted(const std::string& path) {
  currentFile_ = path;
  if (discarding_) RedrawWhenDue();
}

void RunProgress::Finish() {
  showCounts_(counts_);
  StopDiscarding();
}

void RunProgress::RedrawWhenDue() {
  if (clock_() - lastDrawn_ >= kRedrawInterval) Redraw();
}

void RunProgress::Redraw() {
  showCounts_(counts_);
  // Paints what needs painting; the input among the events goes to eventFilter and is dropped.
  QCoreApplication::processEvents();
  lastDrawn_ = clock_();
}

void RunProgress::StopDiscarding() {
  if (!discarding_) return;
  // Input that reached the program during the run is still waiting: deliver it to the filter.
  QGuiApplication::sync();
  QCoreApplication::instance()->removeEventFilter(this);
  discarding_ = false;
}

bool RunProgress::eventFilter(QObject* watched, QEvent* event) {
  if (discarding_ && IsInput(event->type())) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace pomvex
