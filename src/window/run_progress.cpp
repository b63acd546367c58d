#include "window/run_progress.h"

#include <utility>

#include "window/main_form_view.h"

namespace pomvex {

RunProgress::RunProgress(MainFormView& view, SteadyClock clock,
                         std::function<void(const std::string&)> showInfo)
    : view_(view), clock_(std::move(clock)), showInfo_(std::move(showInfo)) {}

RunProgress::~RunProgress() {
  StopDiscarding();
}

void RunProgress::ShowInfo(const std::string& text) {
  startDir_ = text;
  showInfo_(text);
  // From here on the run converts: input is dropped, and the window where the box stood is
  // repainted at once.
  discarding_ = true;
  view_.DiscardInput(true);
  Redraw();
}

void RunProgress::CountsChanged(const RunCounts& counts) {
  counts_ = counts;
  // Before the start directory is shown (the counters set to 0), they are drawn at once.
  if (!discarding_) {
    view_.ShowCounts(counts_);
    return;
  }
  RedrawWhenDue();
}

void RunProgress::FileStarted(const std::string& path) {
  currentFile_ = path;
  if (discarding_) RedrawWhenDue();
}

void RunProgress::Finish() {
  view_.ShowCounts(counts_);
  StopDiscarding();
}

void RunProgress::RedrawWhenDue() {
  if (throttle_.Due(clock_())) Redraw();
}

void RunProgress::Redraw() {
  view_.ShowCounts(counts_);
  // Paints what needs painting; the input among the events is dropped.
  view_.ProcessPendingEvents();
  throttle_.Drawn(clock_());
}

void RunProgress::StopDiscarding() {
  if (!discarding_) return;
  discarding_ = false;
  view_.DiscardInput(false);
}

}  // namespace pomvex
