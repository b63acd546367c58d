#include "input_discarder.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>

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

InputDiscarder::~InputDiscarder() {
  Stop();
}

void InputDiscarder::Start() {
  if (discarding_) return;
  discarding_ = true;
  QCoreApplication::instance()->installEventFilter(this);
}

void InputDiscarder::Stop() {
  if (!discarding_) return;
  // Input that reached the program during the run is still waiting: deliver it to the filter.
  QGuiApplication::sync();
  QCoreApplication::instance()->removeEventFilter(this);
  discarding_ = false;
}

bool InputDiscarder::eventFilter(QObject* watched, QEvent* event) {
  if (discarding_ && IsInput(event->type())) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace pomvex
